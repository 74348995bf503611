#include "ui/dialogs/contacts_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>

#include "engine/document.h"
#include "ui/dialogs/number_edit.h"

CContactsDialog::CContactsDialog(QWidget* parent) : SettingsDialog(QStringLiteral("Contacts"), parent)
{
    left_ = createSide(QStringLiteral("Left"), QStringLiteral("left"));
    right_ = createSide(QStringLiteral("Right"), QStringLiteral("right"));

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(left_.group);
    layout->addWidget(right_.group);
    layout->addWidget(okCancelButtons());
}

CContactsDialog::Side CContactsDialog::createSide(const QString& caption, const QString& prefix)
{
    Side side;
    side.group = new QGroupBox(caption, this);
    side.group->setObjectName(prefix + QStringLiteral("Group"));
    side.neutral = new QRadioButton(QStringLiteral("Neutral"), side.group);
    side.neutral->setObjectName(prefix + QStringLiteral("Neutral"));
    side.fixed = new QRadioButton(QStringLiteral("Fixed"), side.group);
    side.fixed->setObjectName(prefix + QStringLiteral("Fixed"));
    side.buttons = new QButtonGroup(side.group);
    side.buttons->addButton(side.neutral, neutralType);
    side.buttons->addButton(side.fixed, fixedType);

    auto* grid = new QGridLayout(side.group);
    grid->addWidget(side.neutral, 0, 0, 1, 3);
    grid->addWidget(side.fixed, 1, 0, 1, 3);
    side.barrierEdit =
        addNumberRow(grid, 2, QStringLiteral("Barrier height (eV):"), prefix + QStringLiteral("BarrierEdit"));
    side.barrierEdit->setToolTip(QStringLiteral("eV"));
    return side;
}

void CContactsDialog::fromDocument(const tervane::Document& document, CContactsDialog& dialog)
{
    const auto fill = [](tervane::ContactKind kind, double barrier, int& type, double& shown) {
        const int contact = static_cast<int>(kind);
        type = contact == neutralType || contact == fixedType ? contact : -1;
        shown = contact == fixedType ? barrier : 0.0;
    };
    fill(document.grid.leftContact, document.grid.leftBarrier, dialog.leftType, dialog.leftBarrier);
    fill(document.grid.rightContact, document.grid.rightBarrier, dialog.rightType, dialog.rightBarrier);
}

void CContactsDialog::toDocument(const CContactsDialog& dialog, tervane::Document& document)
{
    const auto store = [](int type, double entered, tervane::ContactKind& contact, double& barrier) {
        if (type == fixedType) {
            barrier = entered;
            contact = tervane::ContactKind::Fixed;
        } else {
            contact = tervane::ContactKind::Neutral;
        }
    };
    store(dialog.leftType, dialog.leftBarrier, document.grid.leftContact, document.grid.leftBarrier);
    store(dialog.rightType, dialog.rightBarrier, document.grid.rightContact, document.grid.rightBarrier);
}

void CContactsDialog::showSide(const Side& side, int type, double barrier)
{
    // A button group that is exclusive cannot be cleared; -1 must leave both buttons empty.
    side.buttons->setExclusive(false);
    side.neutral->setChecked(type == neutralType);
    side.fixed->setChecked(type == fixedType);
    side.buttons->setExclusive(true);
    side.barrierEdit->setNumber(barrier);
}

void CContactsDialog::updateControls()
{
    showSide(left_, leftType, leftBarrier);
    showSide(right_, rightType, rightBarrier);
}

bool CContactsDialog::validateAndStore()
{
    double left = 0.0;
    double right = 0.0;
    if (!left_.barrierEdit->validateNumber(left) || !right_.barrierEdit->validateNumber(right))
        return false;
    leftType = left_.buttons->checkedId();
    leftBarrier = left;
    rightBarrier = right;
    rightType = right_.buttons->checkedId();
    return true;
}
