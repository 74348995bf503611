#include "ui/substrate_properties_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

#include "engine/document.h"
#include "ui/number_edit.h"

CSubstratePropertiesDialog::CSubstratePropertiesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Substrate Properties"));

    materialBox_ = new QComboBox(this);
    materialBox_->setObjectName(QStringLiteral("materialBox"));
    materialBox_->setMinimumContentsLength(12);
    auto* materialLabel = new QLabel(QStringLiteral("Material"), this);
    materialLabel->setBuddy(materialBox_);
    connect(materialBox_, &QComboBox::activated, this, [this] { recompute(); });

    compositionEdit_ = new NumberEdit(this);
    compositionEdit_->setObjectName(QStringLiteral("compositionEdit"));
    compositionEdit_->installEventFilter(this);
    auto* compositionLabel = new QLabel(QStringLiteral("Composition"), this);
    compositionLabel->setBuddy(compositionEdit_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSubstratePropertiesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSubstratePropertiesDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(materialLabel, 0, 0);
    layout->addWidget(materialBox_, 0, 1);
    layout->addWidget(compositionLabel, 1, 0);
    layout->addWidget(compositionEdit_, 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1);
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
    std::vector<int> indices(materials.size());
    for (int i = 0; i < int(indices.size()); ++i)
        indices[std::size_t(i)] = i;
    const auto nameOf = [this](int index) {
        return QString::fromStdString(materials[std::size_t(index)].name);
    };
    std::stable_sort(indices.begin(), indices.end(), [&](int left, int right) {
        return QString::compare(nameOf(left), nameOf(right), Qt::CaseInsensitive) < 0;
    });

    const QSignalBlocker blocker(materialBox_);
    materialBox_->clear();
    int chosen = -1;
    for (int index : indices) {
        const QString name = nameOf(index);
        if (chosen < 0 && name.startsWith(substrateMaterial, Qt::CaseInsensitive))
            chosen = materialBox_->count();
        materialBox_->addItem(name, index);
    }
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

void CSubstratePropertiesDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
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

void CSubstratePropertiesDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}
