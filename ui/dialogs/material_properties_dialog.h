#pragma once

#include <vector>

#include "model/material.h"
#include "ui/dialogs/settings_dialog.h"

class QButtonGroup;
class QComboBox;

// "Material Properties", the materials editor. It works on its own copy of the materials list; the
// caller takes `materials` back only when the dialog was left with OK.
//
// The material shown is loaded into `workingCopy` and edits go there first. They reach the list when
// the working copy is stored: before another material is shown, before "New" adds one, before
// "Rename..." and on OK. Typed background values and the Binary/Ternary choice live in the controls
// until such a store; any redisplay (a law edit, a reference change) puts the working copy's values
// back into them.
//
// dEc is kept on one absolute scale in the list but shown and entered relative to a reference: a
// Binary material other than the one shown. With no Binary material to refer to, it is shown as
// stored.
//
// The nested dialogs ("Material Name", "Enter Quadratic", "Polarization Properties") run through
// `dialogRunner`.
class CMaterialPropertiesDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // The dialog's list, in the caller's order; new materials are appended.
    std::vector<tervane::Material> materials;
    // The values of the material shown, its dEc relative to `referenceMaterial`. Its name is unused.
    tervane::Material workingCopy;
    // Index in `materials` of the material the working copy was loaded from; -1 before opening.
    int shownMaterial = -1;
    // Index in `materials` of the Binary material dEc is shown against; -1 for none.
    int referenceMaterial = -1;

    explicit CMaterialPropertiesDialog(QWidget* parent = nullptr);

    // Opening: an empty list first gets one default material named through "Material Name"; then the
    // material list is filled and its first entry shown. Runs once, on first show at the latest.
    void initialize();

    // Controls from the working copy (law texts, backgrounds, Binary/Ternary).
    void updateControls() override;
    // Reads the backgrounds (deep acceptor, deep donor, shallow acceptor, shallow donor) and the type
    // into the working copy, stopping at the first background that is not a number (refused with the
    // validation message), then stores the working copy into the material it was loaded from. False
    // when a field was refused; what was read before it is stored all the same.
    bool storeWorkingCopy();
    // OK stores the working copy and closes once every field holds a number.
    bool validateAndStore() override { return storeWorkingCopy(); }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct LawRow : LawControls {
        tervane::Quadratic tervane::Material::*law = nullptr;
    };

    LawRow addLaw(const QString& caption, const QString& objectPrefix,
                  tervane::Quadratic tervane::Material::*law, QWidget* parent);
    NumberEdit* addBackground(const QString& objectPrefix, QWidget* parent);

    // Shows materials[index]: working copy, reference list, relative dEc, controls.
    void load(int index);
    // Rebuilds the material list (sorted, each entry tied to its index) and shows its first entry.
    void fillMaterialListAndShowFirst();
    void fillMaterialList();
    // The first entry of the sorted material list, or -1 when the list is empty.
    int firstListed() const;
    // Appends a default material named through "Material Name" (OK or Cancel alike).
    void appendNamedDefault();

    // The working copy's dEc back on the absolute scale (the working copy's own with no reference).
    tervane::Quadratic absoluteDEc() const;

    void materialPicked(int row);
    void referencePicked(int row);
    void editLawOf(const LawRow& row);
    void newMaterial();
    void deleteMaterial();
    void renameMaterial();
    void editPolarization();

    bool initialized_ = false;
    // The absolute dEc the relative one was last computed from, and the relative one as computed:
    // (x - r) + r need not give x back, so a coefficient still as it was shown returns to the value it
    // was computed from, and looking at a material never moves its offset by a rounding step.
    tervane::Quadratic dEcAbsolute_;
    tervane::Quadratic dEcShown_;
    QComboBox* materialList_ = nullptr;
    QComboBox* referenceList_ = nullptr;
    QButtonGroup* typeButtons_ = nullptr;
    std::vector<LawRow> laws_;
    NumberEdit* NdBackgroundEdit_ = nullptr;
    NumberEdit* NddBackgroundEdit_ = nullptr;
    NumberEdit* NaBackgroundEdit_ = nullptr;
    NumberEdit* NdaBackgroundEdit_ = nullptr;
};
