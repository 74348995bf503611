#pragma once

#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QShowEvent;
class NumberEdit;

// Runs a modal dialog and returns its result code (QDialog::Accepted, QDialog::Rejected or a code
// of the dialog's own). An empty runner means dialog.exec(); tests pass one that fills the controls
// and presses a button instead of blocking.
using DialogRunner = std::function<int(QDialog&)>;

// Runs `dialog` through `runner`, or exec() when `runner` is empty.
int runDialog(QDialog& dialog, const DialogRunner& runner);

// A dialog that edits the values in its public fields. The fields are exchanged with the controls:
// updateControls() fills the controls from the fields each time the dialog is shown, and
// validateAndStore() reads them back; OK closes the dialog only once they all read. A dialog that
// edits part of a document also has static fromDocument() and toDocument(), which editSettings()
// runs around it.
class SettingsDialog : public QDialog {
    Q_OBJECT

  public:
    // How the dialogs opened from this one run (law buttons, names); empty means exec().
    DialogRunner dialogRunner;

    // Controls from fields; also done whenever the dialog is shown.
    virtual void updateControls() = 0;
    // Fields from controls. The first field that does not read is refused (validation message,
    // focus) and false is returned; which fields are stored meanwhile is each dialog's own rule.
    virtual bool validateAndStore() { return true; }

  public slots:
    // Closes with Accepted once validateAndStore() succeeded; otherwise the dialog stays open.
    void accept() override;

  protected:
    SettingsDialog(const QString& caption, QWidget* parent);

    void showEvent(QShowEvent* event) override;

    // OK and Cancel, named "okButton" and "cancelButton", wired to accept() and reject(); the caller
    // places the box.
    QDialogButtonBox* okCancelButtons(Qt::Orientation orientation = Qt::Vertical);

    // A number field on `row` of `grid`: the caption in `captionColumn`, the edit named `name` (the
    // caption's buddy) in `editColumn`. Both belong to the grid's widget, or to the dialog while the
    // grid has none.
    NumberEdit* addNumberRow(QGridLayout* grid, int row, const QString& caption, const QString& name,
                             int captionColumn = 0, int editColumn = 1);

    // A law's button (no default button) and the label that shows the law, named `prefix` + "Button"
    // and `prefix` + "Text".
    struct LawControls {
        QPushButton* button = nullptr;
        QLabel* text = nullptr;
    };
    static LawControls makeLawControls(QWidget* parent, const QString& caption, const QString& prefix);

    // Runs a dialog opened from this one through `dialogRunner`.
    int runNested(QDialog& dialog) const { return runDialog(dialog, dialogRunner); }
};

// The dialog filled from `target` and, on OK, stored back into it. True on OK; false on Cancel, with
// `target` untouched.
template <class Dialog, class Target>
bool editSettings(QWidget* parent, Target& target, const DialogRunner& runner = {})
{
    Dialog dialog(parent);
    Dialog::fromDocument(target, dialog);
    if (runDialog(dialog, runner) != QDialog::Accepted)
        return false;
    Dialog::toDocument(dialog, target);
    return true;
}
