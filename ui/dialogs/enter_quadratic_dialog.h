#pragma once

#include "model/quadratic.h"
#include "ui/dialogs/settings_dialog.h"

// "Enter Quadratic": one law a + b*x + c*x^2 as three number fields in a row, read as
// [a] "+" [b] "x +" [c] "x^2", then OK and Cancel. Any finite number is accepted in each field.
//
// Typical use, a law button of an owning dialog:
//     if (CEnterQuadraticDialog::editLaw(this, law, runner))
//         updateControls();
// or by hand:
//     CEnterQuadraticDialog dialog(parent);
//     dialog.setLaw(law);                 // a, b, c from the law
//     if (dialog.exec() == QDialog::Accepted)
//         law = dialog.law();
// The caption is "Enter Quadratic"; setWindowTitle() changes it if a caller wants another.
// Control names: "aEdit", "bEdit", "cEdit", "okButton", "cancelButton".
class CEnterQuadraticDialog : public SettingsDialog {
    Q_OBJECT

  public:
    // Exchanged with the controls and validated in this order (the screen order).
    double a = 0; // constant term
    double b = 0; // coefficient of x
    double c = 0; // coefficient of x^2

    explicit CEnterQuadraticDialog(QWidget* parent = nullptr);

    void setLaw(const tervane::Quadratic& law);
    tervane::Quadratic law() const { return tervane::Quadratic(a, b, c); }

    void updateControls() override;
    // Fields from controls in the order a, b, c; the first field that is not a number is refused
    // (validation message, focus) and nothing is stored.
    bool validateAndStore() override;

    // Law editing as every law button does it: the dialog opens on `law`; on OK the law takes the
    // three numbers and true is returned; on Cancel `law` is untouched and false is returned.
    static bool editLaw(QWidget* parent, tervane::Quadratic& law, const DialogRunner& runner = {});

  private:
    NumberEdit* aEdit_ = nullptr;
    NumberEdit* bEdit_ = nullptr;
    NumberEdit* cEdit_ = nullptr;
};
