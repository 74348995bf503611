#include "ui/polarization_properties_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

CPolarizationPropertiesDialog::CPolarizationPropertiesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Polarization Properties"));

    using tervane::Polarization;
    const struct {
        const char* caption;
        tervane::Quadratic Polarization::*law;
    } laws[] = {
        {"Psp", &Polarization::Psp}, {"a", &Polarization::a},     {"c13", &Polarization::c13},
        {"c33", &Polarization::c33}, {"e31", &Polarization::e31}, {"e33", &Polarization::e33},
    };

    auto* layout = new QGridLayout(this);
    int line = 0;
    for (const auto& law : laws) {
        LawRow row;
        row.law = law.law;
        const QString caption = QString::fromLatin1(law.caption);
        row.button = new QPushButton(caption, this);
        row.button->setObjectName(caption + QStringLiteral("Button"));
        row.button->setAutoDefault(false);
        row.text = new QLabel(this);
        row.text->setObjectName(caption + QStringLiteral("Text"));
        row.text->setMinimumWidth(
            row.text->fontMetrics().horizontalAdvance(QStringLiteral("-000.00+-000.00x+-000.00x^2")));
        layout->addWidget(row.button, line, 0);
        layout->addWidget(row.text, line, 1);
        rows_.push_back(row);
        ++line;
    }
    for (const LawRow& row : rows_)
        connect(row.button, &QPushButton::clicked, this, [this, row] { editLawOf(row); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CPolarizationPropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPolarizationPropertiesDialog::reject);
    layout->addWidget(buttons, 0, 2, line, 1, Qt::AlignTop);
}

void CPolarizationPropertiesDialog::editLawOf(const LawRow& row)
{
    if (CEnterQuadraticDialog::editLaw(this, polarization.*row.law, execHook))
        updateControls();
}

void CPolarizationPropertiesDialog::updateControls()
{
    for (const LawRow& row : rows_)
        row.text->setText(QString::fromStdString((polarization.*row.law).toText()));
}

void CPolarizationPropertiesDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}
