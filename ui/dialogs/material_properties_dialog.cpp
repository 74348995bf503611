#include "ui/dialogs/material_properties_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <vector>

#include "ui/dialogs/enter_quadratic_dialog.h"
#include "ui/dialogs/law_text.h"
#include "ui/dialogs/material_lists.h"
#include "ui/dialogs/material_name_dialog.h"
#include "ui/dialogs/number_edit.h"
#include "ui/dialogs/polarization_properties_dialog.h"

using tervane::Material;
using tervane::Quadratic;

namespace {

Quadratic plus(const Quadratic& left, const Quadratic& right)
{
    return Quadratic(left.a + right.a, left.b + right.b, left.c + right.c);
}

Quadratic minus(const Quadratic& left, const Quadratic& right)
{
    return Quadratic(left.a - right.a, left.b - right.b, left.c - right.c);
}

QString nameOf(const Material& material)
{
    return QString::fromStdString(material.name);
}

// Fills `list` with the materials that pass `keep`, in the drop-down lists' order.
template <typename Keep> void fillList(QComboBox* list, const std::vector<Material>& materials, Keep keep)
{
    const QStringList names = materialNames(materials);
    std::vector<int> order = sortedOrder(names);
    std::erase_if(order, [&keep](int index) { return !keep(index); });
    fillMaterialBox(*list, names, order);
}

} // namespace

CMaterialPropertiesDialog::CMaterialPropertiesDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Material Properties"), parent)
{
    // Material list, top left.
    auto* materialLabel = new QLabel(QStringLiteral("Material:"), this);
    materialList_ = new QComboBox(this);
    materialList_->setObjectName(QStringLiteral("materialList"));
    materialList_->setMinimumContentsLength(16);
    materialLabel->setBuddy(materialList_);
    connect(materialList_, &QComboBox::activated, this, &CMaterialPropertiesDialog::materialPicked);

    // Type, to its right.
    auto* typeGroup = new QGroupBox(QStringLiteral("Type"), this);
    typeGroup->setObjectName(QStringLiteral("typeGroup"));
    auto* binary = new QRadioButton(QStringLiteral("Binary"), typeGroup);
    binary->setObjectName(QStringLiteral("binaryButton"));
    auto* ternary = new QRadioButton(QStringLiteral("Ternary"), typeGroup);
    ternary->setObjectName(QStringLiteral("ternaryButton"));
    typeButtons_ = new QButtonGroup(typeGroup);
    typeButtons_->addButton(binary, tervane::Binary);
    typeButtons_->addButton(ternary, tervane::Ternary);
    auto* typeLayout = new QHBoxLayout(typeGroup);
    typeLayout->addWidget(binary);
    typeLayout->addWidget(ternary);

    // Band offsets, with the reference dEc is shown against.
    auto* bandGroup = new QGroupBox(QStringLiteral("Band Offsets"), this);
    bandGroup->setObjectName(QStringLiteral("bandOffsetsGroup"));
    auto* bandLayout = new QGridLayout(bandGroup);
    const LawRow Eg = addLaw(QStringLiteral("Eg (eV)..."), QStringLiteral("Eg"), &Material::Eg, bandGroup);
    const LawRow dEc =
        addLaw(QStringLiteral("dEc (eV)..."), QStringLiteral("dEc"), &Material::dEc, bandGroup);
    const LawRow eps = addLaw(QStringLiteral("eps..."), QStringLiteral("eps"), &Material::eps, bandGroup);
    auto* relativeLabel = new QLabel(QStringLiteral("Relative to:"), bandGroup);
    referenceList_ = new QComboBox(bandGroup);
    referenceList_->setObjectName(QStringLiteral("referenceList"));
    referenceList_->setMinimumContentsLength(12);
    relativeLabel->setBuddy(referenceList_);
    connect(referenceList_, &QComboBox::activated, this, &CMaterialPropertiesDialog::referencePicked);
    bandLayout->addWidget(Eg.button, 0, 0);
    bandLayout->addWidget(Eg.text, 0, 1, 1, 3);
    bandLayout->addWidget(dEc.button, 1, 0);
    bandLayout->addWidget(dEc.text, 1, 1);
    bandLayout->addWidget(relativeLabel, 1, 2);
    bandLayout->addWidget(referenceList_, 1, 3);
    bandLayout->addWidget(eps.button, 2, 0);
    bandLayout->addWidget(eps.text, 2, 1, 1, 3);

    auto* massGroup = new QGroupBox(QStringLiteral("Effective Masses (m₀)"), this);
    massGroup->setObjectName(QStringLiteral("effectiveMassesGroup"));
    auto* massLayout = new QGridLayout(massGroup);
    const LawRow me = addLaw(QStringLiteral("electron..."), QStringLiteral("me"), &Material::me, massGroup);
    const LawRow mlh =
        addLaw(QStringLiteral("light hole..."), QStringLiteral("mlh"), &Material::mlh, massGroup);
    const LawRow mhh =
        addLaw(QStringLiteral("heavy hole..."), QStringLiteral("mhh"), &Material::mhh, massGroup);
    int line = 0;
    for (const LawRow& row : {me, mlh, mhh}) {
        massLayout->addWidget(row.button, line, 0);
        massLayout->addWidget(row.text, line, 1);
        ++line;
    }

    // The four dopants: donors left, acceptors right, shallow above deep.
    const auto dopantGroup = [this](const QString& caption, const QString& objectPrefix,
                                    Quadratic Material::*level, NumberEdit*& background) {
        auto* group = new QGroupBox(caption, this);
        group->setObjectName(objectPrefix + QStringLiteral("Group"));
        auto* label = new QLabel(QStringLiteral("Background (cm⁻³):"), group);
        background = addBackground(objectPrefix, group);
        label->setBuddy(background);
        const LawRow row =
            addLaw(QStringLiteral("Level (eV)..."), objectPrefix + QStringLiteral("Level"), level, group);
        auto* layout = new QGridLayout(group);
        layout->addWidget(label, 0, 0);
        layout->addWidget(background, 0, 1);
        layout->addWidget(row.button, 1, 0);
        layout->addWidget(row.text, 1, 1);
        return group;
    };
    QGroupBox* shallowDonor = dopantGroup(QStringLiteral("Shallow Donor"), QStringLiteral("shallowDonor"),
                                          &Material::EdShallow, NdBackgroundEdit_);
    QGroupBox* shallowAcceptor =
        dopantGroup(QStringLiteral("Shallow Acceptor"), QStringLiteral("shallowAcceptor"),
                    &Material::EaShallow, NaBackgroundEdit_);
    QGroupBox* deepDonor = dopantGroup(QStringLiteral("Deep Donor"), QStringLiteral("deepDonor"),
                                       &Material::EdDeep, NddBackgroundEdit_);
    QGroupBox* deepAcceptor = dopantGroup(QStringLiteral("Deep Acceptor"), QStringLiteral("deepAcceptor"),
                                          &Material::EaDeep, NdaBackgroundEdit_);

    for (const LawRow& row : laws_)
        connect(row.button, &QPushButton::clicked, this, [this, row] { editLawOf(row); });

    // The button column on the right edge.
    const auto commandButton = [this](const QString& caption, const char* objectName) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(objectName));
        button->setAutoDefault(false);
        return button;
    };
    QPushButton* newButton = commandButton(QStringLiteral("New"), "newButton");
    QPushButton* deleteButton = commandButton(QStringLiteral("Delete"), "deleteButton");
    QPushButton* renameButton = commandButton(QStringLiteral("Rename..."), "renameButton");
    QPushButton* polarizationButton = commandButton(QStringLiteral("Polarization..."), "polarizationButton");
    connect(newButton, &QPushButton::clicked, this, &CMaterialPropertiesDialog::newMaterial);
    connect(deleteButton, &QPushButton::clicked, this, &CMaterialPropertiesDialog::deleteMaterial);
    connect(renameButton, &QPushButton::clicked, this, &CMaterialPropertiesDialog::renameMaterial);
    connect(polarizationButton, &QPushButton::clicked, this, &CMaterialPropertiesDialog::editPolarization);
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(okCancelButtons());
    buttonColumn->addSpacing(12);
    for (QPushButton* button : {newButton, deleteButton, renameButton, polarizationButton})
        buttonColumn->addWidget(button);
    buttonColumn->addStretch(1);

    auto* materialRow = new QHBoxLayout;
    materialRow->addWidget(materialLabel);
    materialRow->addWidget(materialList_, 1);

    auto* layout = new QGridLayout(this);
    layout->addLayout(materialRow, 0, 0, Qt::AlignTop);
    layout->addWidget(typeGroup, 0, 1);
    layout->addWidget(bandGroup, 1, 0);
    layout->addWidget(massGroup, 1, 1);
    layout->addWidget(shallowDonor, 2, 0);
    layout->addWidget(shallowAcceptor, 2, 1);
    layout->addWidget(deepDonor, 3, 0);
    layout->addWidget(deepAcceptor, 3, 1);
    layout->addLayout(buttonColumn, 0, 2, 4, 1);
}

CMaterialPropertiesDialog::LawRow CMaterialPropertiesDialog::addLaw(const QString& caption,
                                                                    const QString& objectPrefix,
                                                                    Quadratic Material::*law, QWidget* parent)
{
    LawRow row{makeLawControls(parent, caption, objectPrefix), law};
    row.text->setMinimumWidth(
        row.text->fontMetrics().horizontalAdvance(QStringLiteral("-00.00+-00.00x+-00.00x^2")));
    laws_.push_back(row);
    return row;
}

NumberEdit* CMaterialPropertiesDialog::addBackground(const QString& objectPrefix, QWidget* parent)
{
    auto* edit = new NumberEdit(parent);
    edit->setObjectName(objectPrefix + QStringLiteral("BackgroundEdit"));
    edit->setToolTip(QStringLiteral("cm^-3"));
    return edit;
}

void CMaterialPropertiesDialog::initialize()
{
    if (initialized_)
        return;
    initialized_ = true;
    if (materials.empty())
        appendNamedDefault();
    fillMaterialListAndShowFirst();
}

void CMaterialPropertiesDialog::appendNamedDefault()
{
    CMaterialNameDialog nameDialog(this);
    runNested(nameDialog);
    Material material;
    material.name = nameDialog.name.toStdString();
    materials.push_back(material);
}

void CMaterialPropertiesDialog::fillMaterialList()
{
    fillList(materialList_, materials, [](int) { return true; });
}

int CMaterialPropertiesDialog::firstListed() const
{
    return materialList_->count() > 0 ? materialList_->itemData(0).toInt() : -1;
}

void CMaterialPropertiesDialog::fillMaterialListAndShowFirst()
{
    fillMaterialList();
    load(firstListed());
}

void CMaterialPropertiesDialog::load(int index)
{
    shownMaterial = index;
    referenceMaterial = -1;
    if (index < 0 || index >= int(materials.size())) {
        shownMaterial = -1;
        workingCopy = Material();
        dEcAbsolute_ = dEcShown_ = workingCopy.dEc;
        referenceList_->clear();
        updateControls();
        return;
    }
    const Material& material = materials[std::size_t(index)];
    workingCopy = material;

    fillList(referenceList_, materials,
             [&](int i) { return i != index && materials[std::size_t(i)].type == tervane::Binary; });
    if (referenceList_->count() > 0) {
        referenceMaterial = referenceList_->itemData(0).toInt();
        referenceList_->setCurrentIndex(0);
        workingCopy.dEc = minus(material.dEc, materials[std::size_t(referenceMaterial)].dEc);
    }
    dEcAbsolute_ = material.dEc;
    dEcShown_ = workingCopy.dEc;

    const QSignalBlocker blocker(materialList_);
    materialList_->setCurrentIndex(materialList_->findData(index));
    updateControls();
}

void CMaterialPropertiesDialog::updateControls()
{
    for (const LawRow& row : laws_)
        row.text->setText(materialLawText(workingCopy.*row.law));
    NdBackgroundEdit_->setNumber(workingCopy.NdBackground);
    NddBackgroundEdit_->setNumber(workingCopy.NddBackground);
    NaBackgroundEdit_->setNumber(workingCopy.NaBackground);
    NdaBackgroundEdit_->setNumber(workingCopy.NdaBackground);
    // A type other than Binary or Ternary (read from a file) checks neither button.
    typeButtons_->setExclusive(false);
    typeButtons_->button(tervane::Binary)->setChecked(workingCopy.type == tervane::Binary);
    typeButtons_->button(tervane::Ternary)->setChecked(workingCopy.type == tervane::Ternary);
    typeButtons_->setExclusive(true);
}

bool CMaterialPropertiesDialog::storeWorkingCopy()
{
    // Read in this order, stopping at the first field that is not a number; the fields before it count.
    bool complete = NdaBackgroundEdit_->validateNumber(workingCopy.NdaBackground) &&
                    NddBackgroundEdit_->validateNumber(workingCopy.NddBackground) &&
                    NaBackgroundEdit_->validateNumber(workingCopy.NaBackground) &&
                    NdBackgroundEdit_->validateNumber(workingCopy.NdBackground);
    if (complete && typeButtons_->checkedId() != -1)
        workingCopy.type = typeButtons_->checkedId();

    if (shownMaterial < 0 || shownMaterial >= int(materials.size()))
        return complete;
    Material& material = materials[std::size_t(shownMaterial)];
    material.type = workingCopy.type;
    material.NddBackground = workingCopy.NddBackground;
    material.NdaBackground = workingCopy.NdaBackground;
    material.NaBackground = workingCopy.NaBackground;
    material.NdBackground = workingCopy.NdBackground;
    material.Eg = workingCopy.Eg;
    material.eps = workingCopy.eps;
    material.EaShallow = workingCopy.EaShallow;
    material.EdShallow = workingCopy.EdShallow;
    material.EaDeep = workingCopy.EaDeep;
    material.EdDeep = workingCopy.EdDeep;
    material.me = workingCopy.me;
    material.mhh = workingCopy.mhh;
    material.mlh = workingCopy.mlh;
    material.polarization = workingCopy.polarization;
    material.dEc = absoluteDEc();
    return complete;
}

Quadratic CMaterialPropertiesDialog::absoluteDEc() const
{
    if (referenceMaterial < 0)
        return workingCopy.dEc;
    const Quadratic sum = plus(workingCopy.dEc, materials[std::size_t(referenceMaterial)].dEc);
    const auto coefficient = [](double entered, double shown, double absolute, double recomputed) {
        return entered == shown ? absolute : recomputed;
    };
    return Quadratic(coefficient(workingCopy.dEc.a, dEcShown_.a, dEcAbsolute_.a, sum.a),
                     coefficient(workingCopy.dEc.b, dEcShown_.b, dEcAbsolute_.b, sum.b),
                     coefficient(workingCopy.dEc.c, dEcShown_.c, dEcAbsolute_.c, sum.c));
}

void CMaterialPropertiesDialog::materialPicked(int row)
{
    const int index = materialList_->itemData(row).toInt();
    storeWorkingCopy();
    if (index != shownMaterial)
        load(index);
}

void CMaterialPropertiesDialog::referencePicked(int row)
{
    const int index = referenceList_->itemData(row).toInt();
    if (index == referenceMaterial)
        return;
    // The same absolute offset, now relative to the new reference.
    dEcAbsolute_ = absoluteDEc();
    workingCopy.dEc = minus(dEcAbsolute_, materials[std::size_t(index)].dEc);
    dEcShown_ = workingCopy.dEc;
    referenceMaterial = index;
    updateControls();
}

void CMaterialPropertiesDialog::editLawOf(const LawRow& row)
{
    if (CEnterQuadraticDialog::editLaw(this, workingCopy.*row.law, dialogRunner))
        updateControls();
}

void CMaterialPropertiesDialog::newMaterial()
{
    CMaterialNameDialog nameDialog(this);
    if (runNested(nameDialog) != QDialog::Accepted)
        return;
    storeWorkingCopy();
    Material material;
    material.name = nameDialog.name.toStdString();
    materials.push_back(material);
    fillMaterialList();
    load(int(materials.size()) - 1);
}

void CMaterialPropertiesDialog::deleteMaterial()
{
    if (shownMaterial >= 0 && shownMaterial < int(materials.size()))
        materials.erase(materials.begin() + shownMaterial);
    // The working copy goes with the material; its indices are stale now.
    shownMaterial = -1;
    referenceMaterial = -1;
    if (materials.empty())
        appendNamedDefault();
    fillMaterialListAndShowFirst();
}

void CMaterialPropertiesDialog::renameMaterial()
{
    if (shownMaterial < 0 || shownMaterial >= int(materials.size()))
        return;
    // Stored first, so that renaming keeps the edits made to the material.
    storeWorkingCopy();
    CMaterialNameDialog nameDialog(this);
    nameDialog.name = nameOf(materials[std::size_t(shownMaterial)]);
    if (runNested(nameDialog) == QDialog::Accepted)
        materials[std::size_t(shownMaterial)].name = nameDialog.name.toStdString();
    fillMaterialListAndShowFirst();
}

void CMaterialPropertiesDialog::editPolarization()
{
    CPolarizationPropertiesDialog polarizationDialog(this);
    polarizationDialog.polarization = workingCopy.polarization;
    polarizationDialog.dialogRunner = dialogRunner;
    if (runNested(polarizationDialog) == QDialog::Accepted)
        workingCopy.polarization = polarizationDialog.polarization;
}

void CMaterialPropertiesDialog::showEvent(QShowEvent* event)
{
    // The first show opens the list; every show then fills the controls.
    if (!event->spontaneous())
        initialize();
    SettingsDialog::showEvent(event);
}
