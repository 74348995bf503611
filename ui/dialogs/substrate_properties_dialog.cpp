#include "ui/dialogs/substrate_properties_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>

#include "engine/document.h"
#include "ui/dialogs/material_lists.h"
#include "ui/dialogs/number_edit.h"

CSubstratePropertiesDialog::CSubstratePropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Substrate Properties"), parent)
{
    auto* layout = new QGridLayout(this);
    materialBox_ = new QComboBox(this);
    materialBox_->setObjectName(QStringLiteral("materialBox"));
    materialBox_->setMinimumContentsLength(12);
    auto* materialLabel = new QLabel(QStringLiteral("Material:"), this);
    materialLabel->setBuddy(materialBox_);
    connect(materialBox_, &QComboBox::activated, this, [this] { recompute(); });
    layout->addWidget(materialLabel, 0, 0);
    layout->addWidget(materialBox_, 0, 1);

    compositionEdit_ =
        addNumberRow(layout, 1, QStringLiteral("Composition x:"), QStringLiteral("compositionEdit"));
    compositionEdit_->installEventFilter(this);
    layout->addWidget(okCancelButtons(), 0, 2, 2, 1);
}

void CSubstratePropertiesDialog::fromDocument(const tervane::Document& document,
                                              CSubstratePropertiesDialog& dialog)
{
    dialog.materials = document.materials;
    dialog.substrateMaterial = QString::fromStdString(document.substrateMaterial);
    dialog.substrateX = document.substrateX;
    dialog.substrateA = document.substrateA;
    dialog.substratePsp = document.substratePsp;
}

void CSubstratePropertiesDialog::toDocument(const CSubstratePropertiesDialog& dialog,
                                            tervane::Document& document)
{
    document.substrateMaterial = dialog.substrateMaterial.toStdString();
    document.substrateX = dialog.substrateX;
    document.substrateA = dialog.substrateA;
    document.substratePsp = dialog.substratePsp;
}

void CSubstratePropertiesDialog::updateControls()
{
    const QStringList names = materialNames(materials);
    const QSignalBlocker blocker(materialBox_);
    fillMaterialBox(*materialBox_, names, sortedOrder(names));
    int chosen = -1;
    for (int row = 0; row < materialBox_->count() && chosen < 0; ++row)
        if (materialBox_->itemText(row).startsWith(substrateMaterial, Qt::CaseInsensitive))
            chosen = row;
    materialBox_->setCurrentIndex(chosen);
    compositionEdit_->setNumber(substrateX);
}

int CSubstratePropertiesDialog::chosenMaterial() const
{
    const int row = materialBox_->currentIndex();
    return row >= 0 ? materialBox_->itemData(row).toInt() : -1;
}

void CSubstratePropertiesDialog::recompute()
{
    const int index = chosenMaterial();
    if (index < 0 || index >= int(materials.size()))
        return;
    // The message box of a refused composition takes the focus; that must not come back here.
    if (recomputing_)
        return;
    recomputing_ = true;
    const tervane::Material& material = materials[std::size_t(index)];
    substrateMaterial = QString::fromStdString(material.name);
    compositionEdit_->validateNumber(substrateX);
    compositionEdit_->setModified(false);
    substrateA = material.polarization.a.value(substrateX);
    substratePsp = material.polarization.Psp.value(substrateX);
    recomputing_ = false;
}

bool CSubstratePropertiesDialog::validateAndStore()
{
    double x = 0.0;
    if (!compositionEdit_->validateNumber(x))
        return false;
    // A composition confirmed with Enter never left the field.
    if (compositionEdit_->isModified() && chosenMaterial() >= 0)
        recompute();
    else
        substrateX = x;
    return true;
}

bool CSubstratePropertiesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == compositionEdit_ && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window coming up (a menu, a message box) is not leaving the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            recompute();
    }
    return QDialog::eventFilter(watched, event);
}
