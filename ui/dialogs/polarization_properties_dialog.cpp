#include "ui/dialogs/polarization_properties_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogs/enter_quadratic_dialog.h"
#include "ui/dialogs/law_text.h"

CPolarizationPropertiesDialog::CPolarizationPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Polarization Properties"), parent)
{
    using tervane::Polarization;
    const struct {
        const char* name;
        QString caption;
        tervane::Quadratic Polarization::*law;
    } laws[] = {
        {"Psp", QStringLiteral("Psp (C/m²)"), &Polarization::Psp},
        {"a", QStringLiteral("a (Å)"), &Polarization::a},
        {"c13", QStringLiteral("c13"), &Polarization::c13},
        {"c33", QStringLiteral("c33"), &Polarization::c33},
        {"e31", QStringLiteral("e31 (C/m²)"), &Polarization::e31},
        {"e33", QStringLiteral("e33 (C/m²)"), &Polarization::e33},
    };

    auto* layout = new QGridLayout(this);
    int line = 0;
    for (const auto& law : laws) {
        LawRow row{makeLawControls(this, law.caption, QString::fromLatin1(law.name)), law.law};
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
        row.text->setText(materialLawText(polarization.*row.law));
}
