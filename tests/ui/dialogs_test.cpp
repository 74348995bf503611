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
#include <memory>

#include "model/document.h"
#include "ui/about_dialog.h"
#include "ui/charge_view_properties_dialog.h"
#include "ui/contacts_dialog.h"
#include "ui/cv_dialog.h"
#include "dialog_test_support.h"
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

template <typename T = NumberEdit> T* child(QWidget& dialog, const QString& name)
{
    T* widget = dialog.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

NumberEdit* edit(QWidget& dialog, const QString& name)
{
    return child<NumberEdit>(dialog, name);
}

void clickOk(QDialog& dialog)
{
    child<QPushButton>(dialog, QStringLiteral("okButton"))->click();
}

// The label whose buddy is `widget`.
QString labelOf(QWidget& dialog, QWidget* widget)
{
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy() == widget)
            return label->text();
    return {};
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink_;
    MessageSink* previousSink_ = nullptr;

    void verifyRefused(QDialog& dialog, NumberEdit* field, const QString& message)
    {
        ::verifyRefused(sink_, dialog, field, message);
    }

  private slots:
    void initTestCase() { previousSink_ = MessageSink::install(&sink_); }
    void cleanupTestCase() { MessageSink::install(previousSink_); }
    void init() { sink_.messages.clear(); }

    // ---- NumberEdit: fifteen significant digits out, whole finite numbers in

    void numberEditShowsFifteenSignificantDigits()
    {
        const std::pair<double, QString> cases[] = {{1.0 / 3.0, "0.333333333333333"},
                                                    {1.0 - 0.7, "0.3"},
                                                    {1e15, "1e+15"},
                                                    {123456789012345.0, "123456789012345"},
                                                    {-2.5e-7, "-2.5e-07"}};
        for (const auto& [value, shown] : cases) {
            NumberEdit edit;
            edit.setNumber(value);
            QCOMPARE(edit.text(), shown);
        }
    }

    void numberEditReadsWholeFiniteNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");
        QTest::newRow("blanks around") << "  -0.25\t" << true << -0.25;
        QTest::newRow("plus sign") << "+4" << true << 4.0;
        QTest::newRow("exponent") << "1e+21" << true << 1e21;
        QTest::newRow("points at the ends") << ".5" << true << 0.5;
        QTest::newRow("integer with blanks") << " -3 " << true << -3.0;
        for (const char* refused :
             {"", "   ", "1.5x", "1 5", "1,5", "+-1", "0x10", "1e", "nan", "-infinity", "1e400"})
            QTest::addRow("refused \"%s\"", refused) << refused << false << 0.0;
    }
    void numberEditReadsWholeFiniteNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);
        NumberEdit edit;
        edit.setText(text);
        double read = -99.0;
        int readInt = -99;
        QCOMPARE(edit.readNumber(read), accepted);
        QCOMPARE(read, accepted ? value : -99.0);
        // Integers: decimal digits only, within int.
        const bool integer =
            accepted && value == std::trunc(value) && !text.contains('e') && !text.contains('.');
        QCOMPARE(edit.readInteger(readInt), integer);
        QCOMPARE(readInt, integer ? int(value) : -99);
    }

    void numberEditRefusesIntegersBeyondInt()
    {
        NumberEdit edit;
        edit.setText(QStringLiteral("99999999999"));
        int read = -99;
        QVERIFY(!edit.readInteger(read));
        edit.setText(QStringLiteral("12.0"));
        QVERIFY(!edit.readInteger(read));
        QCOMPARE(read, -99);
    }

    void titlesAndCaptions()
    {
        CContactsDialog contacts;
        QCOMPARE(contacts.windowTitle(), QStringLiteral("Contacts"));
        QCOMPARE(labelOf(contacts, edit(contacts, "leftBarrierEdit")), QStringLiteral("Barrier Height"));
        CChargeViewPropertiesDialog chargeView;
        QCOMPARE(chargeView.windowTitle(), QStringLiteral("Charge View Properties"));
        QCOMPARE(labelOf(chargeView, edit(chargeView, "upperLimitEdit")), QStringLiteral("upper limit"));
        CSolverPropertiesDialog solver;
        QCOMPARE(solver.windowTitle(), QStringLiteral("Solver Properties"));
        QCOMPARE(labelOf(solver, edit(solver, "schroedingerIterationsEdit")),
                 QStringLiteral("Scrhodinger Iterations"));
        QCOMPARE(labelOf(solver, edit(solver, "dampingEdit")), QStringLiteral("Damping Factor"));
        CTemperatureDialog temperature;
        QCOMPARE(labelOf(temperature, edit(temperature, "temperatureEdit")),
                 QStringLiteral("Temperature (K)"));
        CCvDialog cv;
        QCOMPARE(cv.windowTitle(), QStringLiteral("CV Profile"));
        CAboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Tervane"));
        QCOMPARE(child<QLabel>(about, "versionLabel")->text(), QStringLiteral("Tervane Alpha Version "));
        QVERIFY(!child<QLabel>(about, "iconLabel")->pixmap().isNull());
        QTimer::singleShot(0, &about, [&about] { clickOk(about); });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
    }

    // ---- Contacts

    void contactsFillFromTheGrid_data()
    {
        QTest::addColumn<int>("contact");
        QTest::addColumn<bool>("neutralChecked");
        QTest::addColumn<bool>("fixedChecked");
        QTest::addColumn<QString>("shown");
        QTest::newRow("neutral hides its barrier") << 0 << true << false << "0";
        QTest::newRow("fixed shows its barrier") << 1 << false << true << "0.8";
        QTest::newRow("unknown kind selects nothing") << 2 << false << false << "0";
        QTest::newRow("negative kind selects nothing") << -1 << false << false << "0";
    }
    void contactsFillFromTheGrid()
    {
        QFETCH(int, contact);
        QFETCH(bool, neutralChecked);
        QFETCH(bool, fixedChecked);
        QFETCH(QString, shown);
        for (const QString& side : {QStringLiteral("left"), QStringLiteral("right")}) {
            const bool left = side == QStringLiteral("left");
            tervane::Document document;
            (left ? document.grid.leftContact : document.grid.rightContact) = contact;
            (left ? document.grid.leftBarrier : document.grid.rightBarrier) = 0.8;
            CContactsDialog dialog;
            child<QRadioButton>(dialog, side + "Fixed")->setChecked(true); // the fill must clear it
            CContactsDialog::fromDocument(document, dialog);
            dialog.show();
            QCOMPARE(child<QRadioButton>(dialog, side + "Neutral")->isChecked(), neutralChecked);
            QCOMPARE(child<QRadioButton>(dialog, side + "Fixed")->isChecked(), fixedChecked);
            QCOMPARE(edit(dialog, side + "BarrierEdit")->text(), shown);
            const QString other = left ? QStringLiteral("right") : QStringLiteral("left");
            QVERIFY(child<QRadioButton>(dialog, other + "Neutral")->isChecked());
            QCOMPARE(edit(dialog, other + "BarrierEdit")->text(), QStringLiteral("0"));
        }
    }

    // Fixed stores the typed barrier; Neutral drops it and keeps the old one; nothing selected is Neutral.
    void contactsStoreWhatIsSelected()
    {
        tervane::Document document;
        document.grid.leftContact = 1;
        document.grid.leftBarrier = 0.8;
        document.grid.rightContact = 7;
        document.grid.rightBarrier = 0.3;
        CContactsDialog first;
        CContactsDialog::fromDocument(document, first);
        first.show();
        child<QRadioButton>(first, "leftNeutral")->click();
        edit(first, "leftBarrierEdit")->setText(QStringLiteral("5"));
        clickOk(first);
        QCOMPARE(first.result(), int(QDialog::Accepted));
        CContactsDialog::toDocument(first, document);
        QCOMPARE(document.grid.leftContact, 0);
        QCOMPARE(document.grid.leftBarrier, 0.8);
        QCOMPARE(document.grid.rightContact, 0);
        QCOMPARE(document.grid.rightBarrier, 0.3);

        // Back to Fixed on the next visit: the edit shows 0, not the kept 0.8, and OK stores the entry.
        CContactsDialog second;
        CContactsDialog::fromDocument(document, second);
        second.show();
        child<QRadioButton>(second, "leftFixed")->click();
        QCOMPARE(edit(second, "leftBarrierEdit")->text(), QStringLiteral("0"));
        child<QRadioButton>(second, "rightFixed")->click();
        edit(second, "rightBarrierEdit")->setText(QStringLiteral("-0.5"));
        QVERIFY(second.validateAndStore());
        CContactsDialog::toDocument(second, document);
        QCOMPARE(document.grid.leftContact, 1);
        QCOMPARE(document.grid.leftBarrier, 0.0);
        QCOMPARE(document.grid.rightContact, 1);
        QCOMPARE(document.grid.rightBarrier, -0.5);
        QVERIFY(sink_.messages.isEmpty());
    }

    // Left before right, Neutral sides included; a refused OK stores nothing.
    void contactsRefuseABarrierThatIsNoNumber()
    {
        tervane::Document document;
        document.grid.leftContact = 1;
        document.grid.leftBarrier = 0.8;
        CContactsDialog dialog;
        CContactsDialog::fromDocument(document, dialog);
        showActive(dialog);
        child<QRadioButton>(dialog, "rightFixed")->click();
        edit(dialog, "rightBarrierEdit")->setText(QStringLiteral("0.7 V"));
        edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("0.9 eV"));
        clickOk(dialog);
        verifyRefused(dialog, edit(dialog, "leftBarrierEdit"), notANumber);

        sink_.messages.clear();
        edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("0.9"));
        child<QRadioButton>(dialog, "rightNeutral")->click();
        edit(dialog, "rightBarrierEdit")->setText(QStringLiteral("nan"));
        clickOk(dialog);
        verifyRefused(dialog, edit(dialog, "rightBarrierEdit"), notANumber);
        QCOMPARE(dialog.leftBarrier, 0.8);
        QCOMPARE(dialog.rightType, 0);
    }

    // exec() fills the controls from the fields, stays open on a bad entry; Cancel stores nothing.
    void contactsExecStaysOpenUntilTheEntryIsANumber()
    {
        CContactsDialog dialog;
        CContactsDialog::fromDocument(tervane::Document(), dialog);
        bool filled = false;
        bool stayedOpen = false;
        // No test macros inside: a failure there would leave exec() running.
        QTimer::singleShot(0, &dialog, [&] {
            filled = child<QRadioButton>(dialog, "leftNeutral")->isChecked();
            child<QRadioButton>(dialog, "leftFixed")->click();
            edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("abc"));
            clickOk(dialog);
            stayedOpen = dialog.isVisible();
            edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("0.25"));
            clickOk(dialog);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(filled);
        QVERIFY(stayedOpen);
        QCOMPARE(sink_.messages, QStringList{notANumber});
        QCOMPARE(dialog.leftType, 1);
        QCOMPARE(dialog.leftBarrier, 0.25);

        QTimer::singleShot(0, &dialog, [&dialog] {
            child<QRadioButton>(dialog, "leftNeutral")->click();
            edit(dialog, "leftBarrierEdit")->setText(QStringLiteral("3"));
            child<QPushButton>(dialog, "cancelButton")->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(dialog.leftType, 1);
        QCOMPARE(dialog.leftBarrier, 0.25);
    }

    // ---- Charge View Properties: limits shown in cm^-3, stored in m^-3

    void chargeViewConvertsTheLimits()
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
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("1e16"));
        edit(dialog, "upperLimitEdit")->setText(QStringLiteral("5e19"));
        child<QCheckBox>(dialog, "logScaleCheck")->click();
        clickOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        CChargeViewPropertiesDialog::toDocument(dialog, document);
        QVERIFY(nearlyEqual(document.chargeLower, 1e22));
        QVERIFY(nearlyEqual(document.chargeUpper, 5e25));
        QVERIFY(!document.logScale);
    }

    // With auto scale on, typed limits are dropped; turning it off stores the limits shown.
    void chargeViewAutoScale()
    {
        for (const bool turnOff : {false, true}) {
            tervane::Document document;
            document.chargeLower = 2e21;
            document.chargeUpper = 4e24;
            document.autoScale = true;
            CChargeViewPropertiesDialog dialog;
            CChargeViewPropertiesDialog::fromDocument(document, dialog);
            dialog.show();
            QCOMPARE(edit(dialog, "upperLimitEdit")->text(), QStringLiteral("4e+18"));
            if (turnOff) {
                child<QCheckBox>(dialog, "autoScaleCheck")->click();
                QVERIFY(edit(dialog, "lowerLimitEdit")->isEnabled()); // the click only toggles the box
            } else {
                edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("1"));
            }
            QVERIFY(dialog.validateAndStore());
            CChargeViewPropertiesDialog::toDocument(dialog, document);
            QCOMPARE(document.autoScale, !turnOff);
            QVERIFY(nearlyEqual(document.chargeLower, 2e21));
            QVERIFY(nearlyEqual(document.chargeUpper, 4e24));
        }
    }

    // Lower limit checked first, though the upper edit is above it; also with auto scale on.
    void chargeViewRefusesLimitsThatAreNoNumbers()
    {
        CChargeViewPropertiesDialog dialog;
        dialog.lowerLimit = 1e15;
        dialog.logScale = false;
        dialog.autoScale = true;
        showActive(dialog);
        edit(dialog, "upperLimitEdit")->setText(QStringLiteral("many"));
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("inf"));
        child<QCheckBox>(dialog, "logScaleCheck")->click();
        clickOk(dialog);
        verifyRefused(dialog, edit(dialog, "lowerLimitEdit"), notANumber);
        sink_.messages.clear();
        edit(dialog, "lowerLimitEdit")->setText(QStringLiteral("1e14"));
        clickOk(dialog);
        verifyRefused(dialog, edit(dialog, "upperLimitEdit"), notANumber);
        QCOMPARE(dialog.lowerLimit, 1e15);
        QVERIFY(!dialog.logScale);
    }

    // ---- Solver Properties: the dialog shows and takes 1 - damping

    void solverShowsAndStoresOneMinusTheDamping()
    {
        const std::pair<double, QString> cases[] = {{1.0, "0"}, {0.0, "1"}, {0.7, "0.3"}, {0.05, "0.95"}};
        for (const auto& [damping, shown] : cases) {
            tervane::Document document;
            document.damping = damping;
            document.poissonIterations = 200;
            CSolverPropertiesDialog dialog;
            CSolverPropertiesDialog::fromDocument(document, dialog);
            dialog.show();
            QCOMPARE(edit(dialog, "dampingEdit")->text(), shown);
            QCOMPARE(edit(dialog, "poissonIterationsEdit")->text(), QStringLiteral("200"));
            document.damping = -1.0;
            edit(dialog, "schroedingerIterationsEdit")->setText(QStringLiteral("500"));
            clickOk(dialog);
            CSolverPropertiesDialog::toDocument(dialog, document);
            QVERIFY(std::fabs(document.damping - damping) <= 1e-15);
            QCOMPARE(document.schroedingerIterations, 500);
        }
    }

    // One table for the three ranges, all inclusive; refused fields keep their stored values.
    void solverRanges_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString damping = QStringLiteral("Please enter a number between 0 and 1.");
        const QString poisson = QStringLiteral("Please enter an integer between 0 and 2000.");
        const QString schroedinger = QStringLiteral("Please enter an integer between 0 and 500.");
        QTest::newRow("damping 0") << "dampingEdit"
                                   << "0" << QString();
        QTest::newRow("damping 1") << "dampingEdit"
                                   << "1.0" << QString();
        QTest::newRow("damping above 1") << "dampingEdit"
                                         << "1.0001" << damping;
        QTest::newRow("damping below 0") << "dampingEdit"
                                         << "-0.1" << damping;
        QTest::newRow("damping word") << "dampingEdit"
                                      << "half" << notANumber;
        QTest::newRow("poisson 2000") << "poissonIterationsEdit"
                                      << "2000" << QString();
        QTest::newRow("poisson 2001") << "poissonIterationsEdit"
                                      << "2001" << poisson;
        QTest::newRow("poisson -1") << "poissonIterationsEdit"
                                    << "-1" << poisson;
        QTest::newRow("poisson fraction") << "poissonIterationsEdit"
                                          << "12.5" << notAnInteger;
        QTest::newRow("schroedinger 0") << "schroedingerIterationsEdit"
                                        << "0" << QString();
        QTest::newRow("schroedinger 501") << "schroedingerIterationsEdit"
                                          << "501" << schroedinger;
    }
    void solverRanges()
    {
        QFETCH(QString, field);
        QFETCH(QString, entered);
        QFETCH(QString, message);
        CSolverPropertiesDialog dialog;
        dialog.dampingShown = 0.5;
        dialog.poissonIterations = 100;
        dialog.schroedingerIterations = 10;
        showActive(dialog);
        edit(dialog, field)->setText(entered);
        clickOk(dialog);
        if (message.isEmpty()) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(sink_.messages.isEmpty());
            return;
        }
        verifyRefused(dialog, edit(dialog, field), message);
        QCOMPARE(dialog.dampingShown, 0.5);
        QCOMPARE(dialog.poissonIterations, 100);
        QCOMPARE(dialog.schroedingerIterations, 10);
    }

    // All three wrong: the damping factor, at the bottom of the screen, is reported first.
    void solverValidatesInMemberOrder()
    {
        CSolverPropertiesDialog dialog;
        showActive(dialog);
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
        sink_.messages.clear();
        edit(dialog, "poissonIterationsEdit")->setText(QStringLiteral("300"));
        QVERIFY(!dialog.validateAndStore());
        verifyRefused(dialog, edit(dialog, "schroedingerIterationsEdit"), notAnInteger);
        QCOMPARE(dialog.poissonIterations, 0);
    }

    // ---- Temperature: 0 to 10000 K inclusive

    void temperatureRange_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("message");
        const QString range = QStringLiteral("Please enter a number between 0 and 10000.");
        QTest::newRow("4.2") << "4.2" << QString();
        QTest::newRow("0") << "0" << QString();
        QTest::newRow("1e4") << "1e4" << QString();
        QTest::newRow("10000.5") << "10000.5" << range;
        QTest::newRow("-1") << "-1" << range;
        QTest::newRow("kelvin unit typed") << "300 K" << notANumber;
    }
    void temperatureRange()
    {
        QFETCH(QString, entered);
        QFETCH(QString, message);
        tervane::Document document;
        document.temperature = 77.0;
        CTemperatureDialog dialog;
        CTemperatureDialog::fromDocument(document, dialog);
        showActive(dialog);
        QCOMPARE(edit(dialog, "temperatureEdit")->text(), QStringLiteral("77"));
        edit(dialog, "temperatureEdit")->setText(entered);
        clickOk(dialog);
        if (message.isEmpty()) {
            CTemperatureDialog::toDocument(dialog, document);
            QCOMPARE(document.temperature, entered.toDouble());
            return;
        }
        verifyRefused(dialog, edit(dialog, "temperatureEdit"), message);
        QCOMPARE(dialog.temperature, 77.0);
    }

    // ---- CV Profile: defaults 0, 10, 0.1; only sweeps that reach Stop

    void cvAcceptsOnlySweepsThatEnd_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("upward") << "0"
                                << "1"
                                << "0.5" << true;
        QTest::newRow("start beyond stop") << "2"
                                           << "1"
                                           << "0.5" << true;
        QTest::newRow("negative step, start beyond stop") << "2"
                                                          << "1"
                                                          << "-0.5" << true;
        QTest::newRow("single bias") << "1"
                                     << "1"
                                     << "0.1" << true;
        QTest::newRow("zero step") << "0"
                                   << "1"
                                   << "0" << false;
        QTest::newRow("zero step, start beyond stop") << "2"
                                                      << "1"
                                                      << "0" << false;
        QTest::newRow("negative step upward") << "0"
                                              << "1"
                                              << "-0.1" << false;
        QTest::newRow("negative step, start at stop") << "1"
                                                      << "1"
                                                      << "-0.1" << false;
    }
    void cvAcceptsOnlySweepsThatEnd()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, step);
        QFETCH(bool, accepted);
        CCvDialog dialog;
        showActive(dialog);
        QCOMPARE(edit(dialog, "startEdit")->text() + " " + edit(dialog, "stopEdit")->text() + " " +
                     edit(dialog, "stepEdit")->text(),
                 QStringLiteral("0 10 0.1"));
        edit(dialog, "startEdit")->setText(start);
        edit(dialog, "stopEdit")->setText(stop);
        edit(dialog, "stepEdit")->setText(step);
        clickOk(dialog);
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
        QCOMPARE(dialog.step, 0.1);
    }

    // A field that is no number is reported before the sweep rule, in field order.
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
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
