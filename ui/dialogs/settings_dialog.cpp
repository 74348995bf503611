#include "ui/dialogs/settings_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "ui/dialogs/number_edit.h"

int runDialog(QDialog& dialog, const DialogRunner& runner)
{
    return runner ? runner(dialog) : dialog.exec();
}

SettingsDialog::SettingsDialog(const QString& caption, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
}

void SettingsDialog::accept()
{
    if (validateAndStore())
        QDialog::accept();
}

void SettingsDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        updateControls();
    QDialog::showEvent(event);
}

QDialogButtonBox* SettingsDialog::okCancelButtons(Qt::Orientation orientation)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, orientation, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
    return buttons;
}

NumberEdit* SettingsDialog::addNumberRow(QGridLayout* grid, int row, const QString& caption,
                                         const QString& name, int captionColumn, int editColumn)
{
    QWidget* owner = grid->parentWidget() ? grid->parentWidget() : this;
    auto* label = new QLabel(caption, owner);
    auto* edit = new NumberEdit(owner);
    edit->setObjectName(name);
    label->setBuddy(edit);
    grid->addWidget(label, row, captionColumn);
    grid->addWidget(edit, row, editColumn);
    return edit;
}

SettingsDialog::LawControls SettingsDialog::makeLawControls(QWidget* parent, const QString& caption,
                                                            const QString& prefix)
{
    LawControls controls;
    controls.button = new QPushButton(caption, parent);
    controls.button->setObjectName(prefix + QStringLiteral("Button"));
    controls.button->setAutoDefault(false);
    controls.text = new QLabel(parent);
    controls.text->setObjectName(prefix + QStringLiteral("Text"));
    return controls;
}
