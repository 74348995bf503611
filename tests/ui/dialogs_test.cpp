// The settings dialogs driven through their controls: what they show for a document, what OK stores
// back, and which entries they refuse. Run under QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <cmath>

#include "model/document.h"
#include "ui/about_dialog.h"
#include "ui/charge_view_properties_dialog.h"
#include "ui/contacts_dialog.h"
#include "ui/cv_dialog.h"
#include "ui/message_sink.h"
#include "ui/number_edit.h"
#include "ui/solver_properties_dialog.h"
#include "ui/temperature_dialog.h"

namespace {

constexpr double tolRelative = 1e-14;

const QString notANumber = QStringLiteral("Please enter a number.");
const QString notAnInteger = QStringLiteral("Please enter an integer.");

bool nearlyEqual(double actual, double expected)
{
    return std::fabs(actual - expected) <= tolRelative * std::fabs(expected);
}

template <typename T>
T* child(QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

NumberEdit* edit(QWidget& dialog, const char* name)
{
    return child<NumberEdit>(dialog, name);
}

// The label whose buddy is `widget`.
QString labelOf(QWidget& dialog, QWidget* widget)
{
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy() == widget)
            return label->text();
    return {};
}

// Shows and activates the dialog so that focus changes can be observed.
void showActive(QDialog& dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    RecordingMessageSink sink_;
    MessageSink* previousSink_ = nullptr;

    // The validation message, the focus and the selection left by a refused OK.
    void verifyRefused(QDialog& dialog, NumberEdit* field, const QString& message)
    {
        QCOMPARE(sink_.messages, QStringList{message});
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->selectedText(), field->text());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

private slots:
    void initTestCase() { previousSink_ = MessageSink::install(&sink_); }
    void cleanupTestCase() { MessageSink::install(previousSink_); }
    void init() { sink_.messages.clear(); }

    // ---- NumberEdit

    void numberEditShowsFifteenSignificantDigits_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one tenth") << 0.1 << "0.1";
        QTest::newRow("one third") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("1 - 0.7") << 1.0 - 0.7 << "0.3";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("cm^-3 density") << 1e15 << "1e+15";
        QTest::newRow("below 1e15") << 123456789012345.0 << "123456789012345";
        QTest::newRow("negative") << -2.5e-7 << "-2.5e-07";
    }
    void numberEditShowsFifteenSignificantDigits()
    {
        QFETCH(double, value);
        QFETCH(QString, shown);
        NumberEdit edit;
        edit.setNumber(value);
        QCOMPARE(edit.text(), shown);
    }

    void numberEditReadsWholeFiniteNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "2.5" << true << 2.5;
        QTest::newRow("blanks around") << "  -0.25\t" << true << -0.25;
        QTest::newRow("plus sign") << "+4" << true << 4.0;
        QTest::newRow("exponent") << "1e+21" << true << 1e21;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "7." << true << 7.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "   " << false << 0.0;
        QTest::newRow("word") << "abc" << false << 0.0;
        QTest::newRow("trailing junk") << "1.5x" << false << 0.0;
        QTest::newRow("inner blank") << "1 5" << false << 0.0;
        QTest::newRow("decimal comma") << "1,5" << false << 0.0;
        QTest::newRow("two signs") << "+-1" << false << 0.0;
        QTest::newRow("lone sign") << "-" << false << 0.0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
        QTest::newRow("open exponent") << "1e" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("infinity") << "inf" << false << 0.0;
        QTest::newRow("minus infinity") << "-infinity" << false << 0.0;
        QTest::newRow("overflow") << "1e400" << false << 0.0;
    }
    void numberEditReadsWholeFiniteNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        NumberEdit edit;
        edit.setText(text);
        double read = -99.0;
        QCOMPARE(edit.readNumber(read), accepted);
        QCOMPARE(read, accepted ? value : -99.0);
    }

    void numberEditReadsDecimalIntegers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "200" << true << 200;
        QTest::newRow("blanks and sign") << " -3 " << true << -3;
        QTest::newRow("plus sign") << "+20" << true << 20;
        QTest::newRow("fraction") << "12.5" << false << 0;
        QTest::newRow("point zero") << "12.0" << false << 0;
        QTest::newRow("exponent") << "2e2" << false << 0;
        QTest::newRow("beyond int") << "99999999999" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("word") << "ten" << false << 0;
    }
    void numberEditReadsDecimalIntegers()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(int, value);
        NumberEdit edit;
        edit.setText(text);
        int read = -99;
        QCOMPARE(edit.readInteger(read), accepted);
        QCOMPARE(read, accepted ? value : -99);
    }

    // ---- Contacts

    void contactsLayoutAndCaptions()
    {
        CContactsDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Contacts"));
        QCOMPARE(child<QGroupBox>(dialog, "leftGroup")->title(), QStringLiteral("Left"));
        QCOMPARE(child<QGroupBox>(dialog, "rightGroup")->title(), QStringLiteral("Right"));
        for (const char* name : {"leftNeutral", "rightNeutral"})
            QCOMPARE(child<QRadioButton>(dialog, name)->text(), QStringLiteral("Neutral"));
        for (const char* name : {"leftFixed", "rightFixed"})
            QCOMPARE(child<QRadioButton>(dialog, name)->text(), QStringLiteral("Fixed"));
        QCOMPARE(labelOf(dialog, edit(dialog, "leftBarrierEdit")), QStringLiteral("Barrier Height"));
        QCOMPARE(labelOf(dialog, edit(dialog, "rightBarrierEdit")), QStringLiteral("Barrier Height"));
        // The edits sit in their own side's box, followed by "eV".
        QCOMPARE(edit(dialog, "leftBarrierEdit")->parentWidget(), child<QGroupBox>(dialog, "leftGroup"));
        QCOMPARE(child<QRadioButton>(dialog, "rightFixed")->parentWidget(),
                 child<QGroupBox>(dialog, "rightGroup"));
        dialog.show();
        QVERIFY(child<QGroupBox>(dialog, "leftGroup")->x() < child<QGroupBox>(dialog, "rightGroup")->x());
        int units = 0;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->text() == QStringLiteral("eV")) {
                ++units;
                QVERIFY(label->x() > edit(dialog, "leftBarrierEdit")->x());
            }
        QCOMPARE(units, 2);
    }

    void contactsFillFromTheGrid_data()
    {
        QTest::addColumn<int>("contact");
        QTest::addColumn<double>("barrier");
        QTest::addColumn<bool>("neutralChecked");
        QTest::addColumn<bool>("fixedChecked");
        QTest::addColumn<QString>("shown");
        QTest::newRow("neutral hides its barrier") << 0 << 0.8 << true << false << "0";
        QTest::newRow("fixed shows its barrier") << 1 << 0.8 << false << true << "0.8";
        QTest::newRow("unknown kind selects nothing") << 2 << 0.8 << false << false << "0";
        QTest::newRow("negative kind selects nothing") << -1 << -1.25 << false << false << "0";
    }
    void contactsFillFromTheGrid()
    {
        QFETCH(int, contact);
        QFETCH(double, barrier);
        QFETCH(bool, neutralChecked);
        QFETCH(bool, fixedChecked);
        QFETCH(QString, shown);
        for (const bool leftSide : {true, false}) {
            tervane::Document document;
            (leftSide ? document.grid.leftContact : document.grid.rightContact) = contact;
            (leftSide ? document.grid.leftBarrier : document.grid.rightBarrier) = barrier;
            CContactsDialog dialog;
            // Both buttons of a side start checked, to see that the fill clears them.
            child<QRadioButton>(dialog, leftSide ? "leftFixed" : "rightFixed")->setChecked(true);
            CContactsDialog::fromDocument(document, dialog);
            dialog.show();
            const QString side = QString::fromLatin1(leftSide ? "left" : "right");
            auto* neutral = dialog.findChild<QRadioButton*>(side + QStringLiteral("Neutral"));
            auto* fixed = dialog.findChild<QRadioButton*>(side + QStringLiteral("Fixed"));
            auto* barrierEdit = dialog.findChild<NumberEdit*>(side + QStringLiteral("BarrierEdit"));
            QCOMPARE(neutral->isChecked(), neutralChecked);
            QCOMPARE(fixed->isChecked(), fixedChecked);
            QCOMPARE(barrierEdit->text(), shown);
            // The other side is the fresh grid's: Neutral, 0.
            const QString other = QString::fromLatin1(leftSide ? "right" : "left");
            QVERIFY(dialog.findChild<QRadioButton*>(other + QStringLiteral("Neutral"))->isChecked());
            QCOMPARE(dialog.findChild<NumberEdit*>(other + QStringLiteral("BarrierEdit"))->text(),
                     QStringLiteral("0"));
        }
    }

    void contactsStoreFixedBarriers()
    {
        tervane::Document document;
        CContactsDialog dialog;
        CContactsDialog::fromDocument(document, dialog);
        dialog.show();
        child<QRadioButton>(dialog, "leftFixed")->click();
        edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("1.25"));
        child<QRadioButton>(dialog, "rightFixed")->click();
        edit(dialog, "rightBarrierEdit")->setText(QStringLiteral("-0.5"));
        child<QPushButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        CContactsDialog::toDocument(dialog, document);
        QCOMPARE(document.grid.leftContact, 1);
        QCOMPARE(document.grid.leftBarrier, 1.25);
        QCOMPARE(document.grid.rightContact, 1);
        QCOMPARE(document.grid.rightBarrier, -0.5);
        QVERIFY(sink_.messages.isEmpty());
    }

    void contactsNeutralKeepsTheOldBarrier()
    {
        tervane::Document document;
        document.grid.leftContact = 1;
        document.grid.leftBarrier = 0.8;
        document.grid.rightContact = 1;
        document.grid.rightBarrier = 0.3;

        CContactsDialog first;
        CContactsDialog::fromDocument(document, first);
        first.show();
        child<QRadioButton>(first, "leftNeutral")->click();
        edit(first, "leftBarrierEdit")->setText(QStringLiteral("5"));  // typed, then dropped
        QVERIFY(first.validateAndStore());
        CContactsDialog::toDocument(first, document);
        QCOMPARE(document.grid.leftContact, 0);
        QCOMPARE(document.grid.leftBarrier, 0.8);
        QCOMPARE(document.grid.rightContact, 1);
        QCOMPARE(document.grid.rightBarrier, 0.3);

        // Back to Fixed on the next visit: the edit shows 0, not the kept 0.8, and OK stores that 0.
        CContactsDialog second;
        CContactsDialog::fromDocument(document, second);
        second.show();
        QCOMPARE(edit(second, "leftBarrierEdit")->text(), QStringLiteral("0"));
        child<QRadioButton>(second, "leftFixed")->click();
        QCOMPARE(edit(second, "leftBarrierEdit")->text(), QStringLiteral("0"));
        QVERIFY(second.validateAndStore());
        CContactsDialog::toDocument(second, document);
        QCOMPARE(document.grid.leftContact, 1);
        QCOMPARE(document.grid.leftBarrier, 0.0);
    }

    void contactsWithNothingSelectedBecomeNeutral()
    {
        tervane::Document document;
        document.grid.leftContact = 7;
        document.grid.leftBarrier = 0.4;
        CContactsDialog dialog;
        CContactsDialog::fromDocument(document, dialog);
        dialog.show();
        QVERIFY(dialog.validateAndStore());
        QCOMPARE(dialog.leftType, -1);
        CContactsDialog::toDocument(dialog, document);
        QCOMPARE(document.grid.leftContact, 0);
        QCOMPARE(document.grid.leftBarrier, 0.4);
    }

    void contactsRefuseABarrierThatIsNoNumber()
    {
        tervane::Document document;
        document.grid.leftContact = 1;
        document.grid.leftBarrier = 0.8;
        CContactsDialog dialog;
        CContactsDialog::fromDocument(document, dialog);
        showActive(dialog);
        // Both wrong: the left one is reported.
        child<QRadioButton>(dialog, "rightFixed")->click();
        edit(dialog, "rightBarrierEdit")->setText(QStringLiteral("0.7 V"));
        edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("0.9 eV"));
        child<QPushButton>(dialog, "okButton")->click();
        verifyRefused(dialog, edit(dialog, "leftBarrierEdit"), notANumber);

        // Only the right one wrong, on a Neutral side: still refused, and the valid left entry and the
        // new right kind are not stored either.
        sink_.messages.clear();
        edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("0.9"));
        child<QRadioButton>(dialog, "rightNeutral")->click();
        edit(dialog, "rightBarrierEdit")->setText(QStringLiteral("nan"));
        child<QPushButton>(dialog, "okButton")->click();
        verifyRefused(dialog, edit(dialog, "rightBarrierEdit"), notANumber);
        QCOMPARE(dialog.leftBarrier, 0.8);
        QCOMPARE(dialog.leftType, 1);
        QCOMPARE(dialog.rightType, 0);
        QCOMPARE(dialog.rightBarrier, 0.0);
    }

    void contactsCancelStoresNothing()
    {
        CContactsDialog dialog;
        dialog.leftType = 1;
        dialog.leftBarrier = 0.8;
        QTimer::singleShot(0, &dialog, [&dialog] {
            child<QRadioButton>(dialog, "leftNeutral")->click();
            edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("3"));
            child<QPushButton>(dialog, "cancelButton")->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(dialog.leftType, 1);
        QCOMPARE(dialog.leftBarrier, 0.8);
    }

    void contactsExecStaysOpenUntilTheEntryIsANumber()
    {
        tervane::Document document;
        CContactsDialog dialog;
        CContactsDialog::fromDocument(document, dialog);
        bool filled = false;
        bool stayedOpen = false;
        // No test macros inside: a failure there would leave exec() running.
        QTimer::singleShot(0, &dialog, [&] {
            filled = child<QRadioButton>(dialog, "leftNeutral")->isChecked();
            child<QRadioButton>(dialog, "leftFixed")->click();
            edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("abc"));
            child<QPushButton>(dialog, "okButton")->click();
            stayedOpen = dialog.isVisible();
            edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("0.25"));
            child<QPushButton>(dialog, "okButton")->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(filled);  // exec() filled the controls from the fields
        QVERIFY(stayedOpen);
        QCOMPARE(sink_.messages, QStringList{notANumber});
        CContactsDialog::toDocument(dialog, document);
        QCOMPARE(document.grid.leftContact, 1);
        QCOMPARE(document.grid.leftBarrier, 0.25);
    }

    // ---- Charge View Properties

    void chargeViewLayoutAndCaptions()
    {
        CChargeViewPropertiesDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Charge View Properties"));
        auto* logScale = child<QCheckBox>(dialog, "logScaleCheck");
        auto* autoScale = child<QCheckBox>(dialog, "autoScaleCheck");
        QCOMPARE(logScale->text(), QStringLiteral("Log Scale"));
        QCOMPARE(autoScale->text(), QStringLiteral("Auto Scale"));
        auto* scale = child<QGroupBox>(dialog, "scaleGroup");
        QCOMPARE(scale->title(), QStringLiteral("Scale"));
        NumberEdit* upper = edit(dialog, "upperLimitEdit");
        NumberEdit* lower = edit(dialog, "lowerLimitEdit");
        QCOMPARE(upper->parentWidget(), scale);
        QCOMPARE(lower->parentWidget(), scale);
        QCOMPARE(labelOf(dialog, upper), QStringLiteral("upper limit"));
        QCOMPARE(labelOf(dialog, lower), QStringLiteral("lower limit"));
        dialog.show();
        QVERIFY(logScale->y() < autoScale->y());
        QVERIFY(autoScale->y() < scale->y());
        for (QLabel* label : scale->findChildren<QLabel*>())
            QVERIFY(label->x() > label->buddy()->x());
    }

    void chargeViewShowsTheLimitsInPerCubicCentimetre()
    {
        tervane::Document document;
        document.chargeLower = 1e21;
        document.chargeUpper = 3e26;
        document.logScale = true;
        document.autoScale = false;
        CChargeViewPropertiesDialog dialog;
        CChargeViewPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        QCOMPARE(edit(dialog, "lowerLimitEdit")->text(), QStringLiteral("1e+15"));
        QCOMPARE(edit(dialog, "upperLimitEdit")->text(), QStringLiteral("3e+20"));
        QVERIFY(child<QCheckBox>(dialog, "logScaleCheck")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "autoScaleCheck")->isChecked());
    }

    void chargeViewStoresTypedLimitsInPerCubicMetre()
    {
        tervane::Document document;
        document.autoScale = false;
        CChargeViewPropertiesDialog dialog;
        CChargeViewPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("1e16"));
        edit(dialog, "upperLimitEdit")->setText(QStringLiteral("5e19"));
        child<QCheckBox>(dialog, "logScaleCheck")->click();
        child<QPushButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        CChargeViewPropertiesDialog::toDocument(dialog, document);
        QVERIFY(nearlyEqual(document.chargeLower, 1e22));
        QVERIFY(nearlyEqual(document.chargeUpper, 5e25));
        QVERIFY(document.logScale);
        QVERIFY(!document.autoScale);
    }

    void chargeViewAutoScaleDropsTypedLimits()
    {
        tervane::Document document;
        document.chargeLower = 2e21;
        document.chargeUpper = 4e24;
        document.autoScale = true;
        document.logScale = true;
        CChargeViewPropertiesDialog dialog;
        CChargeViewPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("1"));
        edit(dialog, "upperLimitEdit")->setText(QStringLiteral("2"));
        child<QCheckBox>(dialog, "logScaleCheck")->click();
        QVERIFY(dialog.validateAndStore());
        CChargeViewPropertiesDialog::toDocument(dialog, document);
        QCOMPARE(document.chargeLower, 2e21);
        QCOMPARE(document.chargeUpper, 4e24);
        QVERIFY(document.autoScale);
        QVERIFY(!document.logScale);
    }

    void chargeViewTurningAutoScaleOffStoresTheShownLimits()
    {
        tervane::Document document;
        document.chargeLower = 2e21;
        document.chargeUpper = 4e24;
        document.autoScale = true;
        CChargeViewPropertiesDialog dialog;
        CChargeViewPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        QCOMPARE(edit(dialog, "lowerLimitEdit")->text(), QStringLiteral("2e+15"));
        QCOMPARE(edit(dialog, "upperLimitEdit")->text(), QStringLiteral("4e+18"));
        auto* autoScale = child<QCheckBox>(dialog, "autoScaleCheck");
        autoScale->click();
        // The click only toggles the box.
        QVERIFY(!autoScale->isChecked());
        QVERIFY(edit(dialog, "lowerLimitEdit")->isEnabled());
        QVERIFY(edit(dialog, "upperLimitEdit")->isEnabled());
        autoScale->click();
        QVERIFY(edit(dialog, "lowerLimitEdit")->isEnabled());
        autoScale->click();
        QVERIFY(dialog.validateAndStore());
        CChargeViewPropertiesDialog::toDocument(dialog, document);
        QVERIFY(!document.autoScale);
        QVERIFY(nearlyEqual(document.chargeLower, 2e21));
        QVERIFY(nearlyEqual(document.chargeUpper, 4e24));
    }

    void chargeViewRefusesLimitsThatAreNoNumbers()
    {
        CChargeViewPropertiesDialog dialog;
        dialog.lowerLimit = 1e15;
        dialog.upperLimit = 1e20;
        dialog.logScale = false;
        dialog.autoScale = true;
        showActive(dialog);
        // Checked lower first, though the upper edit is above it; also with auto scale on.
        edit(dialog, "upperLimitEdit")->setText(QStringLiteral("many"));
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("inf"));
        child<QCheckBox>(dialog, "logScaleCheck")->click();
        child<QPushButton>(dialog, "okButton")->click();
        verifyRefused(dialog, edit(dialog, "lowerLimitEdit"), notANumber);
        QVERIFY(!dialog.logScale);
        QCOMPARE(dialog.lowerLimit, 1e15);

        sink_.messages.clear();
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("1e14"));
        child<QPushButton>(dialog, "okButton")->click();
        verifyRefused(dialog, edit(dialog, "upperLimitEdit"), notANumber);
        QCOMPARE(dialog.lowerLimit, 1e15);
        QVERIFY(!dialog.logScale);
    }

    // ---- Solver Properties

    void solverLayoutAndCaptions()
    {
        CSolverPropertiesDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Solver Properties"));
        NumberEdit* poisson = edit(dialog, "poissonIterationsEdit");
        NumberEdit* schroedinger = edit(dialog, "schroedingerIterationsEdit");
        NumberEdit* damping = edit(dialog, "dampingEdit");
        QCOMPARE(labelOf(dialog, poisson), QStringLiteral("Poisson Iterations"));
        QCOMPARE(labelOf(dialog, schroedinger), QStringLiteral("Scrhodinger Iterations"));
        QCOMPARE(labelOf(dialog, damping), QStringLiteral("Damping Factor"));
        dialog.show();
        QVERIFY(poisson->y() < schroedinger->y());
        QVERIFY(schroedinger->y() < damping->y());
    }

    void solverShowsOneMinusTheDamping_data()
    {
        QTest::addColumn<double>("damping");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fresh document") << 1.0 << "0";
        QTest::newRow("undamped shown as 1") << 0.0 << "1";
        QTest::newRow("0.7") << 0.7 << "0.3";
        QTest::newRow("0.25") << 0.25 << "0.75";
    }
    void solverShowsOneMinusTheDamping()
    {
        QFETCH(double, damping);
        QFETCH(QString, shown);
        tervane::Document document;
        document.damping = damping;
        document.poissonIterations = 200;
        document.schroedingerIterations = 20;
        CSolverPropertiesDialog dialog;
        CSolverPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        QCOMPARE(edit(dialog, "dampingEdit")->text(), shown);
        QCOMPARE(edit(dialog, "poissonIterationsEdit")->text(), QStringLiteral("200"));
        QCOMPARE(edit(dialog, "schroedingerIterationsEdit")->text(), QStringLiteral("20"));
    }

    void solverStoresOneMinusTheEnteredFactor_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<double>("damping");
        QTest::newRow("0 stores 1") << "0" << 1.0;
        QTest::newRow("1 stores 0") << "1" << 0.0;
        QTest::newRow("0.3 stores 0.7") << "0.3" << 0.7;
        QTest::newRow("0.95 stores 0.05") << "0.95" << 0.05;
    }
    void solverStoresOneMinusTheEnteredFactor()
    {
        QFETCH(QString, entered);
        QFETCH(double, damping);
        tervane::Document document;
        CSolverPropertiesDialog dialog;
        CSolverPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        edit(dialog, "dampingEdit")->setText(entered);
        edit(dialog, "poissonIterationsEdit")->setText(QStringLiteral("2000"));
        edit(dialog, "schroedingerIterationsEdit")->setText(QStringLiteral("0"));
        child<QPushButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        CSolverPropertiesDialog::toDocument(dialog, document);
        QVERIFY(std::fabs(document.damping - damping) <= 1e-15);
        QCOMPARE(document.poissonIterations, 2000);
        QCOMPARE(document.schroedingerIterations, 0);
    }

    void solverRangesAreInclusive_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("message");  // empty: accepted
        const QString damping = QStringLiteral("Please enter a number between 0 and 1.");
        const QString poisson = QStringLiteral("Please enter an integer between 0 and 2000.");
        const QString schroedinger = QStringLiteral("Please enter an integer between 0 and 500.");
        QTest::newRow("damping 0") << "dampingEdit" << "0" << QString();
        QTest::newRow("damping 1") << "dampingEdit" << "1.0" << QString();
        QTest::newRow("damping above 1") << "dampingEdit" << "1.0001" << damping;
        QTest::newRow("damping below 0") << "dampingEdit" << "-0.1" << damping;
        QTest::newRow("damping word") << "dampingEdit" << "half" << notANumber;
        QTest::newRow("poisson 0") << "poissonIterationsEdit" << "0" << QString();
        QTest::newRow("poisson 2000") << "poissonIterationsEdit" << "2000" << QString();
        QTest::newRow("poisson 2001") << "poissonIterationsEdit" << "2001" << poisson;
        QTest::newRow("poisson -1") << "poissonIterationsEdit" << "-1" << poisson;
        QTest::newRow("poisson fraction") << "poissonIterationsEdit" << "12.5" << notAnInteger;
        QTest::newRow("schroedinger 500") << "schroedingerIterationsEdit" << "500" << QString();
        QTest::newRow("schroedinger 501") << "schroedingerIterationsEdit" << "501" << schroedinger;
        QTest::newRow("schroedinger -1") << "schroedingerIterationsEdit" << "-1" << schroedinger;
        QTest::newRow("schroedinger empty") << "schroedingerIterationsEdit" << "" << notAnInteger;
    }
    void solverRangesAreInclusive()
    {
        QFETCH(QString, field);
        QFETCH(QString, entered);
        QFETCH(QString, message);
        CSolverPropertiesDialog dialog;
        dialog.dampingShown = 0.5;
        dialog.poissonIterations = 100;
        dialog.schroedingerIterations = 10;
        showActive(dialog);
        auto* target = dialog.findChild<NumberEdit*>(field);
        target->setText(entered);
        child<QPushButton>(dialog, "okButton")->click();
        if (message.isEmpty()) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(sink_.messages.isEmpty());
            return;
        }
        verifyRefused(dialog, target, message);
        QCOMPARE(dialog.dampingShown, 0.5);
        QCOMPARE(dialog.poissonIterations, 100);
        QCOMPARE(dialog.schroedingerIterations, 10);
    }

    void solverValidatesInMemberOrder()
    {
        CSolverPropertiesDialog dialog;
        showActive(dialog);
        // All three wrong: the damping factor, at the bottom of the screen, is reported first.
        edit(dialog, "poissonIterationsEdit")->setText(QStringLiteral("3000"));
        edit(dialog, "schroedingerIterationsEdit")->setText(QStringLiteral("x"));
        edit(dialog, "dampingEdit")->setText(QStringLiteral("2"));
        QVERIFY(!dialog.validateAndStore());
        verifyRefused(dialog, edit(dialog, "dampingEdit"),
                      QStringLiteral("Please enter a number between 0 and 1."));

        sink_.messages.clear();
        edit(dialog, "dampingEdit")->setText(QStringLiteral("0.5"));
        QVERIFY(!dialog.validateAndStore());
        verifyRefused(dialog, edit(dialog, "poissonIterationsEdit"),
                      QStringLiteral("Please enter an integer between 0 and 2000."));
        QCOMPARE(dialog.dampingShown, 0.0);

        sink_.messages.clear();
        edit(dialog, "poissonIterationsEdit")->setText(QStringLiteral("300"));
        QVERIFY(!dialog.validateAndStore());
        verifyRefused(dialog, edit(dialog, "schroedingerIterationsEdit"), notAnInteger);
        QCOMPARE(dialog.poissonIterations, 0);
    }

    // ---- Temperature

    void temperatureRoundTrip()
    {
        tervane::Document document;
        document.temperature = 77.0;
        CTemperatureDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Temperature"));
        QCOMPARE(labelOf(dialog, edit(dialog, "temperatureEdit")), QStringLiteral("Temperature (K)"));
        CTemperatureDialog::fromDocument(document, dialog);
        dialog.show();
        QCOMPARE(edit(dialog, "temperatureEdit")->text(), QStringLiteral("77"));
        edit(dialog, "temperatureEdit")->setText(QStringLiteral("4.2"));
        child<QPushButton>(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        CTemperatureDialog::toDocument(dialog, document);
        QCOMPARE(document.temperature, 4.2);
    }

    void temperatureRange_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Please enter a number between 0 and 10000.");
        QTest::newRow("0") << "0" << QString();
        QTest::newRow("10000") << "10000" << QString();
        QTest::newRow("1e4") << "1e4" << QString();
        QTest::newRow("10000.5") << "10000.5" << range;
        QTest::newRow("-1") << "-1" << range;
        QTest::newRow("kelvin unit typed") << "300 K" << notANumber;
    }
    void temperatureRange()
    {
        QFETCH(QString, entered);
        QFETCH(QString, message);
        CTemperatureDialog dialog;
        dialog.temperature = 300.0;
        showActive(dialog);
        edit(dialog, "temperatureEdit")->setText(entered);
        child<QPushButton>(dialog, "okButton")->click();
        if (message.isEmpty()) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            return;
        }
        verifyRefused(dialog, edit(dialog, "temperatureEdit"), message);
        QCOMPARE(dialog.temperature, 300.0);
    }

    // ---- CV Profile

    void cvShowsItsDefaults()
    {
        CCvDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("CV Profile"));
        QCOMPARE(labelOf(dialog, edit(dialog, "startEdit")), QStringLiteral("Start"));
        QCOMPARE(labelOf(dialog, edit(dialog, "stopEdit")), QStringLiteral("Stop"));
        QCOMPARE(labelOf(dialog, edit(dialog, "stepEdit")), QStringLiteral("Step"));
        dialog.show();
        QCOMPARE(edit(dialog, "startEdit")->text(), QStringLiteral("0"));
        QCOMPARE(edit(dialog, "stopEdit")->text(), QStringLiteral("10"));
        QCOMPARE(edit(dialog, "stepEdit")->text(), QStringLiteral("0.1"));
        QVERIFY(edit(dialog, "startEdit")->y() < edit(dialog, "stopEdit")->y());
        QVERIFY(edit(dialog, "stopEdit")->y() < edit(dialog, "stepEdit")->y());
    }

    void cvAcceptsOnlySweepsThatEnd_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("upward") << "0" << "1" << "0.5" << true;
        QTest::newRow("start beyond stop") << "2" << "1" << "0.5" << true;
        QTest::newRow("negative step, start beyond stop") << "2" << "1" << "-0.5" << true;
        QTest::newRow("single bias") << "1" << "1" << "0.1" << true;
        QTest::newRow("zero step") << "0" << "1" << "0" << false;
        QTest::newRow("zero step, start beyond stop") << "2" << "1" << "0" << false;
        QTest::newRow("negative step upward") << "0" << "1" << "-0.1" << false;
        QTest::newRow("negative step, start at stop") << "1" << "1" << "-0.1" << false;
    }
    void cvAcceptsOnlySweepsThatEnd()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, step);
        QFETCH(bool, accepted);
        CCvDialog dialog;
        showActive(dialog);
        edit(dialog, "startEdit")->setText(start);
        edit(dialog, "stopEdit")->setText(stop);
        edit(dialog, "stepEdit")->setText(step);
        child<QPushButton>(dialog, "okButton")->click();
        if (accepted) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(dialog.start, start.toDouble());
            QCOMPARE(dialog.stop, stop.toDouble());
            QCOMPARE(dialog.step, step.toDouble());
            return;
        }
        verifyRefused(dialog, edit(dialog, "stepEdit"),
                      QStringLiteral("The Step must be greater than 0 for the sweep to reach Stop."));
        QCOMPARE(dialog.start, 0.0);
        QCOMPARE(dialog.stop, 10.0);
        QCOMPARE(dialog.step, 0.1);
    }

    void cvRefusesNonNumbersInFieldOrder()
    {
        CCvDialog dialog;
        showActive(dialog);
        edit(dialog, "stopEdit")->setText(QStringLiteral("inf"));
        edit(dialog, "stepEdit")->setText(QStringLiteral("-1"));
        QVERIFY(!dialog.validateAndStore());
        verifyRefused(dialog, edit(dialog, "stopEdit"), notANumber);
        QCOMPARE(dialog.stop, 10.0);
    }

    // ---- About

    void aboutShowsIconVersionAndOk()
    {
        CAboutDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About Tervane"));
        auto* icon = child<QLabel>(dialog, "iconLabel");
        auto* version = child<QLabel>(dialog, "versionLabel");
        auto* ok = child<QPushButton>(dialog, "okButton");
        QCOMPARE(version->text(), QStringLiteral("Tervane Alpha Version "));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(!icon->pixmap().isNull());
        dialog.show();
        QVERIFY(icon->x() < version->x());
        QVERIFY(version->x() < ok->x());
        // OK sits at the top right.
        QVERIFY(ok->y() <= version->y() + version->height());
        QVERIFY(dialog.width() - (ok->x() + ok->width()) <= 20);
        QTimer::singleShot(0, ok, &QPushButton::click);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
