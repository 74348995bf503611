#include "ui/dialogs/polarization_properties_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogs/enter_quadratic_dialog.h"

CPolarizationPropertiesDialog::CPolarizationPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Polarization Properties"), parent)
{
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
        const QString caption = QString::fromLatin1(law.caption);
        LawRow row{makeLawControls(this, caption, caption), law.law};
        row.text->setMinimumWidth(
            row.text->fontMetrics().horizontalAdvance(QStringLiteral("-000.00+-000.00x+-000.00x^2")));
        layout->addWidget(row.button, line, 0);
        layout->addWidget(row.text, line, 1);
        rows_.push_back(row);
        ++line;
    }
    for (const LawRow& row : rows_)
        connect(row.button, &QPushButton::clicked, this, [this, row] { editLawOf(row); });

    layout->addWidget(okCancelButtons(), 0, 2, line, 1, Qt::AlignTop);
}

void CPolarizationPropertiesDialog::editLawOf(const LawRow& row)
{
    if (CEnterQuadraticDialog::editLaw(this, polarization.*row.law, dialogRunner))
        updateControls();
}

void CPolarizationPropertiesDialog::updateControls()
{
    for (const LawRow& row : rows_)
        row.text->setText(QString::fromStdString((polarization.*row.law).toText()));
}
