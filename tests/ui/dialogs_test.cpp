// The settings dialogs driven through their controls: the units and conversions between what they
// show and what the document holds, and which entries they refuse. Run under QT_QPA_PLATFORM=offscreen.
#include <QCheckBox>
#include <QRadioButton>
#include <QtTest>

#include <cmath>

#include "dialog_test_support.h"
#include "engine/document.h"
#include "ui/charge_view_properties_dialog.h"
#include "ui/tervane_doc.h"
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

void type(QWidget& dialog, const QString& field, const QString& text)
{
    childNamed(dialog, field)->setText(text);
}

QString shown(QWidget& dialog, const QString& field)
{
    return childNamed(dialog, field)->text();
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink_;
    MessageSink* previousSink_ = nullptr;

    // Types `text` into `field` of the dialog, shown and active, and presses OK: accepted when `message`
    // is empty, else refused with it.
    void verifyEntry(QDialog& dialog, const QString& field, const QString& text, const QString& message)
    {
        sink_.messages.clear();
        showActive(dialog);
        type(dialog, field, text);
        const int result = pressButton(dialog, "okButton");
        if (message.isEmpty()) {
            QCOMPARE(result, int(QDialog::Accepted));
            QVERIFY(sink_.messages.isEmpty());
        } else {
            QCOMPARE(result, -1);
            ::verifyRefused(sink_, dialog, childNamed(dialog, field), message);
        }
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
        for (const auto& [value, text] : cases) {
            NumberEdit edit;
            edit.setNumber(value);
            QCOMPARE(edit.text(), text);
        }
    }

    // Numbers take blanks around them, a sign and an exponent; integers only decimal digits within int.
    // What is refused leaves the value as it was.
    void numberEditReadsWholeFiniteNumbers()
    {
        const struct {
            const char* text;
            bool number;
            double value;
            bool integer;
        } cases[] = {
            {"  -0.25\t", true, -0.25, false},     {"+4", true, 4.0, true},  {" -3 ", true, -3.0, true},
            {"1e+21", true, 1e21, false},          {".5", true, 0.5, false}, {"12.0", true, 12.0, false},
            {"99999999999", true, 1e11 - 1, false}};
        for (const auto& c : cases) {
            NumberEdit edit;
            edit.setText(QString::fromLatin1(c.text));
            double number = -99.0;
            int integer = -99;
            QCOMPARE(edit.readNumber(number), c.number);
            QCOMPARE(number, c.value);
            QCOMPARE(edit.readInteger(integer), c.integer);
            QCOMPARE(integer, c.integer ? int(c.value) : -99);
        }
        for (const char* refused :
             {"", "   ", "1.5x", "1 5", "1,5", "+-1", "0x10", "1e", "nan", "-infinity", "1e400"}) {
            NumberEdit edit;
            edit.setText(QString::fromLatin1(refused));
            double number = -99.0;
            int integer = -99;
            QVERIFY2(!edit.readNumber(number) && !edit.readInteger(integer) && number == -99.0 &&
                         integer == -99,
                     refused);
        }
    }

    // ---- Contacts

    // Each side's kind selects its button (any other kind selects none); only Fixed shows the barrier.
    void contactsFillFromTheGrid()
    {
        const struct {
            int contact;
            bool neutral;
            bool fixed;
            const char* barrier;
        } cases[] = {
            {0, true, false, "0"}, {1, false, true, "0.8"}, {2, false, false, "0"}, {-1, false, false, "0"}};
        for (const auto& c : cases) {
            for (const QString side : {"left", "right"}) {
                const bool left = side == "left";
                tervane::Document document;
                (left ? document.grid.leftContact : document.grid.rightContact) = static_cast<tervane::ContactKind>(c.contact);
                (left ? document.grid.leftBarrier : document.grid.rightBarrier) = 0.8;
                CContactsDialog dialog;
                childNamed<QRadioButton>(dialog, side + "Fixed")->setChecked(true); // the fill must clear it
                CContactsDialog::fromDocument(document, dialog);
                dialog.show();
                QCOMPARE(childNamed<QRadioButton>(dialog, side + "Neutral")->isChecked(), c.neutral);
                QCOMPARE(childNamed<QRadioButton>(dialog, side + "Fixed")->isChecked(), c.fixed);
                QCOMPARE(shown(dialog, side + "BarrierEdit"), QString::fromLatin1(c.barrier));
                const QString other = left ? "right" : "left";
                QVERIFY(childNamed<QRadioButton>(dialog, other + "Neutral")->isChecked());
            }
        }
    }

    // Fixed stores the typed barrier; Neutral drops it and keeps the old one; nothing selected is Neutral.
    void contactsStoreWhatIsSelected()
    {
        tervane::Document document;
        document.grid.leftContact = tervane::ContactKind::Fixed;
        document.grid.leftBarrier = 0.8;
        document.grid.rightContact = static_cast<tervane::ContactKind>(7);
        document.grid.rightBarrier = 0.3;
        CContactsDialog first;
        CContactsDialog::fromDocument(document, first);
        first.show();
        childNamed<QRadioButton>(first, "leftNeutral")->click();
        type(first, "leftBarrierEdit", "5");
        QCOMPARE(pressButton(first, "okButton"), int(QDialog::Accepted));
        CContactsDialog::toDocument(first, document);
        QCOMPARE(document.grid.leftContact, tervane::ContactKind::Neutral);
        QCOMPARE(document.grid.leftBarrier, 0.8);
        QCOMPARE(document.grid.rightContact, tervane::ContactKind::Neutral);
        QCOMPARE(document.grid.rightBarrier, 0.3);

        // Back to Fixed on the next visit: the edit shows 0, not the kept 0.8, and OK stores the entry.
        CContactsDialog second;
        CContactsDialog::fromDocument(document, second);
        second.show();
        childNamed<QRadioButton>(second, "leftFixed")->click();
        QCOMPARE(shown(second, "leftBarrierEdit"), QStringLiteral("0"));
        childNamed<QRadioButton>(second, "rightFixed")->click();
        type(second, "rightBarrierEdit", "-0.5");
        QCOMPARE(pressButton(second, "okButton"), int(QDialog::Accepted));
        CContactsDialog::toDocument(second, document);
        QCOMPARE(document.grid.leftContact, tervane::ContactKind::Fixed);
        QCOMPARE(document.grid.leftBarrier, 0.0);
        QCOMPARE(document.grid.rightContact, tervane::ContactKind::Fixed);
        QCOMPARE(document.grid.rightBarrier, -0.5);
    }

    // Left before right, Neutral sides included; a refused OK stores nothing.
    void contactsRefuseABarrierThatIsNoNumber()
    {
        tervane::Document document;
        document.grid.leftContact = tervane::ContactKind::Fixed;
        document.grid.leftBarrier = 0.8;
        CContactsDialog dialog;
        CContactsDialog::fromDocument(document, dialog);
        showActive(dialog);
        childNamed<QRadioButton>(dialog, "rightFixed")->click();
        type(dialog, "rightBarrierEdit", "0.7 V");
        verifyEntry(dialog, "leftBarrierEdit", "0.9 eV", notANumber);
        type(dialog, "leftBarrierEdit", "0.9");
        childNamed<QRadioButton>(dialog, "rightNeutral")->click();
        verifyEntry(dialog, "rightBarrierEdit", "nan", notANumber);
        QCOMPARE(dialog.leftBarrier, 0.8);
        QCOMPARE(dialog.rightType, 0);
    }

    // ---- Charge View Properties: limits shown in cm^-3, stored in m^-3

    void chargeViewConvertsTheLimits()
    {
        CTervaneDoc document;
        document.chargeLower = 1e21;
        document.chargeUpper = 3e26;
        document.logScale = true;
        document.autoScale = false;
        CChargeViewPropertiesDialog dialog;
        CChargeViewPropertiesDialog::fromDocument(document, dialog);
        dialog.show();
        QCOMPARE(shown(dialog, "lowerLimitEdit"), QStringLiteral("1e+15"));
        QCOMPARE(shown(dialog, "upperLimitEdit"), QStringLiteral("3e+20"));
        QVERIFY(childNamed<QCheckBox>(dialog, "logScaleCheck")->isChecked());
        type(dialog, "lowerLimitEdit", "1e16");
        type(dialog, "upperLimitEdit", "5e19");
        childNamed<QCheckBox>(dialog, "logScaleCheck")->click();
        QCOMPARE(pressButton(dialog, "okButton"), int(QDialog::Accepted));
        CChargeViewPropertiesDialog::toDocument(dialog, document);
        QVERIFY(nearlyEqual(document.chargeLower, 1e22));
        QVERIFY(nearlyEqual(document.chargeUpper, 5e25));
        QVERIFY(!document.logScale);
        QVERIFY(!document.autoScale);
    }

    // With auto scale on, typed limits are dropped; turning it off stores the limits shown.
    void chargeViewAutoScale()
    {
        for (const bool turnOff : {false, true}) {
            CTervaneDoc document;
            document.chargeLower = 2e21;
            document.chargeUpper = 4e24;
            document.autoScale = true;
            CChargeViewPropertiesDialog dialog;
            CChargeViewPropertiesDialog::fromDocument(document, dialog);
            dialog.show();
            if (turnOff)
                childNamed<QCheckBox>(dialog, "autoScaleCheck")->click();
            else
                type(dialog, "lowerLimitEdit", "1");
            QCOMPARE(pressButton(dialog, "okButton"), int(QDialog::Accepted));
            CChargeViewPropertiesDialog::toDocument(dialog, document);
            QCOMPARE(document.autoScale, !turnOff);
            QVERIFY(nearlyEqual(document.chargeLower, 2e21));
            QVERIFY(nearlyEqual(document.chargeUpper, 4e24));
        }
    }

    // The limits are read even with auto scale on, the lower one first; a refused OK stores nothing.
    void chargeViewRefusesLimitsThatAreNoNumbers()
    {
        CChargeViewPropertiesDialog dialog;
        dialog.lowerLimit = 1e15;
        dialog.autoScale = true;
        showActive(dialog);
        type(dialog, "upperLimitEdit", "many");
        childNamed<QCheckBox>(dialog, "logScaleCheck")->click();
        verifyEntry(dialog, "lowerLimitEdit", "inf", notANumber);
        type(dialog, "lowerLimitEdit", "1e14");
        verifyEntry(dialog, "upperLimitEdit", "many", notANumber);
        QCOMPARE(dialog.lowerLimit, 1e15);
        QVERIFY(!dialog.logScale);
    }

    // ---- Solver Properties, Temperature and CV Profile

    // The dialog shows and takes 1 - damping.
    void solverShowsAndStoresOneMinusTheDamping()
    {
        const std::pair<double, QString> cases[] = {{1.0, "0"}, {0.0, "1"}, {0.7, "0.3"}};
        for (const auto& [damping, text] : cases) {
            tervane::Document document;
            document.damping = damping;
            CSolverPropertiesDialog dialog;
            CSolverPropertiesDialog::fromDocument(document, dialog);
            dialog.show();
            QCOMPARE(shown(dialog, "dampingEdit"), text);
            document.damping = -1.0;
            QCOMPARE(pressButton(dialog, "okButton"), int(QDialog::Accepted));
            CSolverPropertiesDialog::toDocument(dialog, document);
            QVERIFY(std::fabs(document.damping - damping) <= 1e-15);
        }
    }

    // All ranges inclusive; a refused field keeps its stored value.
    void solverRanges()
    {
        const QString damping = QStringLiteral("Please enter a number between 0 and 1.");
        const QString poisson = QStringLiteral("Please enter an integer between 0 and 2000.");
        const QString schroedinger = QStringLiteral("Please enter an integer between 0 and 500.");
        const struct {
            const char* field;
            const char* text;
            QString message; // empty: accepted
        } cases[] = {{"dampingEdit", "0", {}},
                     {"dampingEdit", "1.0", {}},
                     {"dampingEdit", "1.0001", damping},
                     {"dampingEdit", "-0.1", damping},
                     {"dampingEdit", "half", notANumber},
                     {"poissonIterationsEdit", "2000", {}},
                     {"poissonIterationsEdit", "2001", poisson},
                     {"poissonIterationsEdit", "-1", poisson},
                     {"poissonIterationsEdit", "12.5", notAnInteger},
                     {"schroedingerIterationsEdit", "0", {}},
                     {"schroedingerIterationsEdit", "501", schroedinger}};
        for (const auto& c : cases) {
            CSolverPropertiesDialog dialog;
            dialog.dampingShown = 0.5;
            dialog.poissonIterations = 100;
            dialog.schroedingerIterations = 10;
            verifyEntry(dialog, c.field, c.text, c.message);
            if (!c.message.isEmpty()) {
                QCOMPARE(dialog.dampingShown, 0.5);
                QCOMPARE(dialog.poissonIterations, 100);
                QCOMPARE(dialog.schroedingerIterations, 10);
            }
        }
    }

    // 0 to 10000 K inclusive.
    void temperatureRange()
    {
        const QString range = QStringLiteral("Please enter a number between 0 and 10000.");
        const std::pair<const char*, QString> cases[] = {
            {"4.2", {}}, {"0", {}}, {"1e4", {}}, {"10000.5", range}, {"-1", range}, {"300 K", notANumber}};
        for (const auto& [text, message] : cases) {
            tervane::Document document;
            document.temperature = 77.0;
            CTemperatureDialog dialog;
            CTemperatureDialog::fromDocument(document, dialog);
            verifyEntry(dialog, "temperatureEdit", text, message);
            CTemperatureDialog::toDocument(dialog, document);
            QCOMPARE(document.temperature, message.isEmpty() ? QString(text).toDouble() : 77.0);
        }
    }

    // Defaults 0, 10, 0.1; only sweeps that reach Stop are taken.
    void cvAcceptsOnlySweepsThatEnd()
    {
        const struct {
            const char* start;
            const char* stop;
            const char* step;
            bool accepted;
        } cases[] = {{"0", "1", "0.5", true},   {"2", "1", "0.5", true},  {"2", "1", "-0.5", true},
                     {"1", "1", "0.1", true},   {"0", "1", "0", false},   {"2", "1", "0", false},
                     {"0", "1", "-0.1", false}, {"1", "1", "-0.1", false}};
        for (const auto& c : cases) {
            CCvDialog dialog;
            dialog.show();
            QCOMPARE(shown(dialog, "startEdit") + " " + shown(dialog, "stopEdit") + " " +
                         shown(dialog, "stepEdit"),
                     QStringLiteral("0 10 0.1"));
            type(dialog, "startEdit", c.start);
            type(dialog, "stopEdit", c.stop);
            verifyEntry(dialog, "stepEdit", c.step,
                        c.accepted
                            ? QString()
                            : QStringLiteral("The Step must be greater than 0 for the sweep to reach Stop."));
            QCOMPARE(dialog.start, c.accepted ? QString(c.start).toDouble() : 0.0);
            QCOMPARE(dialog.step, c.accepted ? QString(c.step).toDouble() : 0.1);
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
