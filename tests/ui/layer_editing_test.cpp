// Layer editing driven through its dialogs: what "Layer Properties", "Where?" and "Enter Quadratic"
// show for a layer, what they refuse, and what the New, Insert and edit commands leave in the stack.
// Every command runs its dialogs through a scripted runner instead of exec(). Run under
// QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/layer.h"
#include "model/material.h"
#include "model/quadratic.h"
#include "ui/enter_quadratic_dialog.h"
#include "ui/layer_editing.h"
#include "ui/layer_properties_dialog.h"
#include "ui/message_sink.h"
#include "ui/number_edit.h"
#include "ui/where_dialog.h"

namespace {

// For conversions whose product is not exactly representable (250 * 1e-10 is 2.5000000000000002e-08).
constexpr double tolRelative = 1e-15;

const QString notANumber = QStringLiteral("Please enter a number.");
const QString notAnInteger = QStringLiteral("Please enter an integer.");
const QString strainOutOfRange = QStringLiteral("Please enter a number between 0 and 1.");
const QString positionOutOfRange = QStringLiteral("Please enter an integer between 0 and 1000000.");

const QString layerCaption = QStringLiteral("Layer Properties");
const QString whereCaption = QStringLiteral("Where?");
const QString lawCaption = QStringLiteral("Enter Quadratic");

bool nearlyEqual(double actual, double expected)
{
    return std::fabs(actual - expected) <= tolRelative * std::fabs(expected);
}

template <typename T> T* child(QWidget& dialog, const char* name)
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

void type(QWidget& dialog, const char* name, const char* text)
{
    edit(dialog, name)->setText(QString::fromLatin1(text));
}

QString shown(QWidget& dialog, const char* name)
{
    return edit(dialog, name)->text();
}

QString lawShown(QWidget& dialog, const char* name)
{
    return child<QLabel>(dialog, name)->text();
}

// The label whose buddy is `widget`.
QString labelOf(QWidget& dialog, QWidget* widget)
{
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy() == widget)
            return label->text();
    return {};
}

QStringList boxEntries(QWidget& dialog)
{
    auto* box = child<QComboBox>(dialog, "materialBox");
    QStringList entries;
    for (int i = 0; i < box->count(); ++i)
        entries.append(box->itemText(i));
    return entries;
}

// Clicks a button; the dialog's result once it closed, or -1 while it stays open (a refused OK).
int press(QDialog& dialog, const char* button)
{
    child<QPushButton>(dialog, button)->click();
    return dialog.isVisible() ? -1 : dialog.result();
}

// Answers to the dialogs a command opens, one step per dialog in the order they open. Each step gets
// the dialog already shown, fills its controls and returns what it pressed. A dialog beyond the last
// step is cancelled. The captions of all dialogs opened are recorded.
class Script {
  public:
    using Step = std::function<int(QDialog&)>;

    explicit Script(std::vector<Step> steps = {}) : steps_(std::move(steps)) {}

    DialogRunner runner()
    {
        return [this](QDialog& dialog) { return run(dialog); };
    }

    QStringList captions;

  private:
    int run(QDialog& dialog)
    {
        captions.append(dialog.windowTitle());
        const std::size_t step = next_++;
        if (step >= steps_.size())
            return QDialog::Rejected;
        dialog.show();
        return steps_[step](dialog);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
};

Script::Step pressing(const char* button)
{
    return [button](QDialog& dialog) { return press(dialog, button); };
}

// A law step: enters a, b, c in "Enter Quadratic" and presses `button`.
Script::Step enteringLaw(const char* a, const char* b, const char* c, const char* button = "okButton")
{
    return [=](QDialog& dialog) {
        type(dialog, "aEdit", a);
        type(dialog, "bEdit", b);
        type(dialog, "cEdit", c);
        return press(dialog, button);
    };
}

tervane::Material material(const char* name)
{
    tervane::Material m;
    m.name = name;
    return m;
}

// A layer with a distinct value in every field, in SI units.
tervane::Layer sampleLayer()
{
    tervane::Layer layer;
    layer.Nd = 1e24;
    layer.Na = 3e23;
    layer.Ndd = 2e22;
    layer.Nda = 5e21;
    layer.dx = 1e-9;
    layer.thickness = 2.5e-8;
    layer.composition = tervane::Quadratic(0.3, 0.0, 0.0);
    layer.Efp = tervane::Quadratic(-0.5, 0.25, 0.0);
    layer.Efn = tervane::Quadratic(0.1, 0.0, -0.125);
    layer.Tp = tervane::Quadratic(310.0, 0.0, 0.0);
    layer.Tn = tervane::Quadratic(320.0, 5.0, 0.0);
    layer.spare = 7.5;
    layer.relaxed = true;
    layer.strainFactor = 0.25;
    layer.material = "AlGaN";
    layer.holes = false;
    return layer;
}

// Three layers told apart by their thickness (10, 20 and 30 Angstrom).
tervane::Document threeLayers()
{
    tervane::Document document;
    document.materials = {material("GaN"), material("AlGaN")};
    for (const double angstrom : {10.0, 20.0, 30.0}) {
        tervane::Layer layer;
        layer.thickness = angstrom * 1e-10;
        layer.material = "GaN";
        document.layers.push_back(layer);
    }
    return document;
}

// Shows and activates the dialog so that focus changes can be observed.
void showActive(QDialog& dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

} // namespace

class LayerEditingTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink_;
    MessageSink* previousSink_ = nullptr;

    void verifyRefused(QDialog& dialog, NumberEdit* field, const QString& message)
    {
        QCOMPARE(sink_.messages, QStringList{message});
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->selectedText(), field->text());
        QVERIFY(dialog.isVisible());
    }

  private slots:
    void initTestCase() { previousSink_ = MessageSink::install(&sink_); }
    void cleanupTestCase() { MessageSink::install(previousSink_); }
    void init() { sink_.messages.clear(); }

    // ---- Enter Quadratic

    void enterQuadraticShowsTheLawInTheOrderABC()
    {
        CEnterQuadraticDialog dialog;
        QCOMPARE(dialog.windowTitle(), lawCaption);
        dialog.setLaw(tervane::Quadratic(1.5, -0.25, 0.125));
        dialog.show();
        QCOMPARE(shown(dialog, "aEdit"), QStringLiteral("1.5"));
        QCOMPARE(shown(dialog, "bEdit"), QStringLiteral("-0.25"));
        QCOMPARE(shown(dialog, "cEdit"), QStringLiteral("0.125"));
        // Read left to right as [a] "+" [b] "x +" [c] "x^2".
        QList<QPair<int, QString>> row;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            row.append({label->x(), label->text()});
        for (const char* name : {"aEdit", "bEdit", "cEdit"})
            row.append({edit(dialog, name)->x(), QString::fromLatin1(name)});
        std::sort(row.begin(), row.end());
        QStringList order;
        for (const auto& [x, text] : row)
            order.append(text);
        QCOMPARE(order, (QStringList{"aEdit", "+", "bEdit", "x +", "cEdit", "x^2"}));
    }

    void enterQuadraticTakesTheTypedCoefficients()
    {
        tervane::Quadratic law(300.0, 0.0, 0.0);
        Script script({enteringLaw("2", "-0.5", "1e-3")});
        QVERIFY(CEnterQuadraticDialog::editLaw(nullptr, law, script.runner()));
        QCOMPARE(law.a, 2.0);
        QCOMPARE(law.b, -0.5);
        QCOMPARE(law.c, 1e-3);
        QCOMPARE(script.captions, QStringList{lawCaption});
    }

    void enterQuadraticCancelLeavesTheLaw()
    {
        tervane::Quadratic law(300.0, 1.0, 2.0);
        Script script({enteringLaw("2", "-0.5", "1e-3", "cancelButton")});
        QVERIFY(!CEnterQuadraticDialog::editLaw(nullptr, law, script.runner()));
        QVERIFY(law == tervane::Quadratic(300.0, 1.0, 2.0));
    }

    void enterQuadraticRefusesAFieldThatIsNotANumber()
    {
        CEnterQuadraticDialog dialog;
        dialog.setLaw(tervane::Quadratic(1.0, 2.0, 3.0));
        showActive(dialog);
        type(dialog, "aEdit", "4");
        type(dialog, "bEdit", "x");
        type(dialog, "cEdit", "6");
        press(dialog, "okButton");
        verifyRefused(dialog, edit(dialog, "bEdit"), notANumber);
        // Nothing is stored while one field is refused.
        QVERIFY(dialog.law() == tervane::Quadratic(1.0, 2.0, 3.0));
        type(dialog, "bEdit", "5");
        QCOMPARE(press(dialog, "okButton"), int(QDialog::Accepted));
        QVERIFY(dialog.law() == tervane::Quadratic(4.0, 5.0, 6.0));
    }

    // ---- Layer Properties: what it shows

    void lawTextsListTheSquareTermFirst_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("c");
        QTest::addColumn<QString>("text");
        QTest::newRow("constant 300") << 300.0 << 0.0 << 0.0 << "0.000 x^2+0.000 x+300.000";
        QTest::newRow("all three") << 1.5 << 0.25 << 0.125 << "0.125 x^2+0.250 x+1.500";
        QTest::newRow("negative keeps its sign behind the plus")
            << 0.1 << -0.2 << 0.05 << "0.050 x^2+-0.200 x+0.100";
        QTest::newRow("rounded to three places")
            << 1.0 / 3.0 << 2.0 / 3.0 << 1234.5678 << "1234.568 x^2+0.667 x+0.333";
    }
    void lawTextsListTheSquareTermFirst()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, c);
        QFETCH(QString, text);
        QCOMPARE(CLayerPropertiesDialog::lawText(tervane::Quadratic(a, b, c)), text);
    }

    void layerDialogCaptionsAndLabels()
    {
        CLayerPropertiesDialog dialog;
        QCOMPARE(dialog.windowTitle(), layerCaption);
        const QList<QPair<const char*, const char*>> labels = {{"thicknessEdit", "Thickness"},
                                                               {"dxEdit", "dx"},
                                                               {"NdEdit", "Nd"},
                                                               {"NaEdit", "Na"},
                                                               {"NddEdit", "Ndd"},
                                                               {"NdaEdit", "Nda"},
                                                               {"materialBox", "Material"}};
        for (const auto& [name, label] : labels)
            QCOMPARE(labelOf(dialog, child<QWidget>(dialog, name)), QString::fromLatin1(label));
        QCOMPARE(labelOf(dialog, edit(dialog, "strainFactorEdit")), QString());
        const QList<QPair<const char*, const char*>> buttons = {{"compositionButton", "Composition"},
                                                                {"EfnButton", "Efn"},
                                                                {"EfpButton", "Efp"},
                                                                {"TnButton", "Tn"},
                                                                {"TpButton", "Tp"},
                                                                {"deleteButton", "Delete"},
                                                                {"okButton", "OK"},
                                                                {"cancelButton", "Cancel"}};
        for (const auto& [name, caption] : buttons)
            QCOMPARE(child<QPushButton>(dialog, name)->text(), QString::fromLatin1(caption));
        QCOMPARE(child<QCheckBox>(dialog, "relaxedCheck")->text(), QStringLiteral("Relaxed"));
        QCOMPARE(child<QCheckBox>(dialog, "holesCheck")->text(), QStringLiteral("Holes"));
        QVERIFY(!child<QComboBox>(dialog, "materialBox")->isEditable());

        dialog.show();
        // Top to bottom as laid out; the strain factor under "Relaxed", right of Na.
        const char* column[] = {"thicknessEdit", "dxEdit",   "materialBox", "compositionButton", "NdEdit",
                                "NaEdit",        "NddEdit",  "NdaEdit",     "holesCheck",        "EfnButton",
                                "EfpButton",     "TnButton", "TpButton"};
        for (std::size_t i = 1; i < std::size(column); ++i)
            QVERIFY2(child<QWidget>(dialog, column[i - 1])->y() < child<QWidget>(dialog, column[i])->y(),
                     column[i]);
        auto* relaxed = child<QCheckBox>(dialog, "relaxedCheck");
        auto* strain = edit(dialog, "strainFactorEdit");
        QVERIFY(relaxed->y() < strain->y());
        QVERIFY(strain->x() > edit(dialog, "NaEdit")->x());
        QCOMPARE(strain->geometry().center().y(), edit(dialog, "NaEdit")->geometry().center().y());
        // OK, Cancel and Delete stacked at the top right.
        auto* ok = child<QPushButton>(dialog, "okButton");
        auto* cancel = child<QPushButton>(dialog, "cancelButton");
        auto* remove = child<QPushButton>(dialog, "deleteButton");
        QVERIFY(ok->y() < cancel->y() && cancel->y() < remove->y());
        QVERIFY(ok->x() > strain->x());
        QVERIFY(ok->y() <= edit(dialog, "thicknessEdit")->y() + edit(dialog, "thicknessEdit")->height());
    }

    void existingLayerIsShownInAngstromAndPerCubicCm()
    {
        tervane::Document document;
        document.materials = {material("GaN"), material("AlGaN")};
        document.layers = {sampleLayer()};
        QString thickness, dx, Nd, Na, Ndd, Nda, strain, selected, composition, Efn, Efp, Tn, Tp;
        bool relaxed = false, holes = true, deleteShown = false;
        Script script({[&](QDialog& dialog) {
            thickness = shown(dialog, "thicknessEdit");
            dx = shown(dialog, "dxEdit");
            Nd = shown(dialog, "NdEdit");
            Na = shown(dialog, "NaEdit");
            Ndd = shown(dialog, "NddEdit");
            Nda = shown(dialog, "NdaEdit");
            strain = shown(dialog, "strainFactorEdit");
            selected = child<QComboBox>(dialog, "materialBox")->currentText();
            relaxed = child<QCheckBox>(dialog, "relaxedCheck")->isChecked();
            holes = child<QCheckBox>(dialog, "holesCheck")->isChecked();
            deleteShown = child<QPushButton>(dialog, "deleteButton")->isVisible();
            composition = lawShown(dialog, "compositionText");
            Efn = lawShown(dialog, "EfnText");
            Efp = lawShown(dialog, "EfpText");
            Tn = lawShown(dialog, "TnText");
            Tp = lawShown(dialog, "TpText");
            return press(dialog, "cancelButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Unchanged);
        QCOMPARE(thickness, QStringLiteral("250")); // 2.5e-8 m
        QCOMPARE(dx, QStringLiteral("10"));         // 1e-9 m
        QCOMPARE(Nd, QStringLiteral("1e+18"));      // 1e24 m^-3
        QCOMPARE(Na, QStringLiteral("3e+17"));
        QCOMPARE(Ndd, QStringLiteral("2e+16"));
        QCOMPARE(Nda, QStringLiteral("5e+15"));
        QCOMPARE(strain, QStringLiteral("0.25"));
        QCOMPARE(selected, QStringLiteral("AlGaN"));
        QVERIFY(relaxed);
        QVERIFY(!holes);
        QVERIFY(deleteShown);
        QCOMPARE(composition, QStringLiteral("0.000 x^2+0.000 x+0.300"));
        QCOMPARE(Efn, QStringLiteral("-0.125 x^2+0.000 x+0.100"));
        QCOMPARE(Efp, QStringLiteral("0.000 x^2+0.250 x+-0.500"));
        QCOMPARE(Tn, QStringLiteral("0.000 x^2+5.000 x+320.000"));
        QCOMPARE(Tp, QStringLiteral("0.000 x^2+0.000 x+310.000"));
        QVERIFY(document.layers.front() == sampleLayer());
    }

    void typedValuesAreStoredInMetresAndPerCubicMetre()
    {
        tervane::Document document;
        document.materials = {material("GaN")};
        document.layers = {sampleLayer()};
        Script script({[](QDialog& dialog) {
            type(dialog, "thicknessEdit", "250");
            type(dialog, "dxEdit", "5");
            type(dialog, "NdEdit", "1e18");
            type(dialog, "NaEdit", "2.5e17");
            type(dialog, "NddEdit", "1e15");
            type(dialog, "NdaEdit", "3e16");
            type(dialog, "strainFactorEdit", "1");
            child<QCheckBox>(dialog, "relaxedCheck")->setChecked(false);
            child<QCheckBox>(dialog, "holesCheck")->setChecked(true);
            child<QComboBox>(dialog, "materialBox")->setCurrentText(QStringLiteral("GaN"));
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        const tervane::Layer& layer = document.layers.front();
        QVERIFY2(nearlyEqual(layer.thickness, 2.5e-8), qPrintable(QString::number(layer.thickness, 'g', 17)));
        QVERIFY(nearlyEqual(layer.dx, 5e-10));
        QCOMPARE(layer.Nd, 1e24); // exact: 1e18 * 1e6
        QCOMPARE(layer.Na, 2.5e23);
        QCOMPARE(layer.Ndd, 1e21);
        QVERIFY(nearlyEqual(layer.Nda, 3e22));
        QCOMPARE(layer.strainFactor, 1.0);
        QVERIFY(!layer.relaxed);
        QVERIFY(layer.holes);
        QCOMPARE(layer.material, std::string("GaN"));
        // Untouched by the dialog.
        QCOMPARE(layer.spare, 7.5);
        QVERIFY(layer.Tn == sampleLayer().Tn);
    }

    void unchangedOkKeepsEveryFieldButTheLengthRounding()
    {
        tervane::Document document;
        document.materials = {material("AlGaN")};
        document.layers = {sampleLayer()};
        Script script({pressing("okButton")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        tervane::Layer layer = document.layers.front();
        const tervane::Layer original = sampleLayer();
        // 2.5e-8 m shows as 250 Angstrom, and 250 * 1e-10 is one unit in the last place above 2.5e-8.
        QVERIFY(nearlyEqual(layer.thickness, original.thickness));
        QVERIFY(nearlyEqual(layer.dx, original.dx));
        QVERIFY(nearlyEqual(layer.Nda, original.Nda));
        layer.thickness = original.thickness;
        layer.dx = original.dx;
        layer.Nda = original.Nda;
        QVERIFY(layer == original);
    }

    // ---- Layer Properties: what it refuses

    void numberFieldsRefuseText_data()
    {
        QTest::addColumn<QString>("field");
        for (const char* name :
             {"thicknessEdit", "dxEdit", "NdEdit", "NaEdit", "NddEdit", "NdaEdit", "strainFactorEdit"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void numberFieldsRefuseText()
    {
        QFETCH(QString, field);
        CLayerPropertiesDialog dialog;
        showActive(dialog);
        auto* refused = dialog.findChild<NumberEdit*>(field);
        refused->setText(QStringLiteral("1,5"));
        QCOMPARE(press(dialog, "okButton"), -1);
        verifyRefused(dialog, refused, notANumber);
    }

    void strainFactorOutsideZeroToOneIsRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("1.5") << "1.5" << false;
        QTest::newRow("-0.1") << "-0.1" << false;
        QTest::newRow("just above one") << "1.0000001" << false;
        QTest::newRow("0") << "0" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0.5") << "0.5" << true;
    }
    void strainFactorOutsideZeroToOneIsRefused()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        CLayerPropertiesDialog dialog;
        dialog.strainFactor = 0.25;
        showActive(dialog);
        auto* strain = edit(dialog, "strainFactorEdit");
        strain->setText(text);
        const int result = press(dialog, "okButton");
        if (accepted) {
            QCOMPARE(result, int(QDialog::Accepted));
            QCOMPARE(dialog.strainFactor, text.toDouble());
            QVERIFY(sink_.messages.isEmpty());
        } else {
            QCOMPARE(result, -1);
            verifyRefused(dialog, strain, strainOutOfRange);
            QCOMPARE(dialog.strainFactor, 0.25);
        }
    }

    void noOtherRangeIsChecked()
    {
        CLayerPropertiesDialog dialog;
        dialog.show();
        type(dialog, "thicknessEdit", "0");
        type(dialog, "dxEdit", "-5");
        type(dialog, "NdEdit", "-1e18");
        QCOMPARE(press(dialog, "okButton"), int(QDialog::Accepted));
        QCOMPARE(dialog.thickness, 0.0);
        QCOMPARE(dialog.dx, -5.0);
        QCOMPARE(dialog.Nd, -1e18);
        QVERIFY(sink_.messages.isEmpty());
    }

    void firstRefusedFieldIsTheOneFocused()
    {
        // Fields are read dx, thickness, Nd, Na, ..., strain factor, Nda, Ndd.
        CLayerPropertiesDialog dialog;
        showActive(dialog);
        type(dialog, "NddEdit", "?");
        type(dialog, "strainFactorEdit", "2");
        type(dialog, "thicknessEdit", "?");
        type(dialog, "dxEdit", "?");
        press(dialog, "okButton");
        verifyRefused(dialog, edit(dialog, "dxEdit"), notANumber);
        sink_.messages.clear();
        type(dialog, "dxEdit", "10");
        press(dialog, "okButton");
        verifyRefused(dialog, edit(dialog, "thicknessEdit"), notANumber);
        sink_.messages.clear();
        type(dialog, "thicknessEdit", "100");
        press(dialog, "okButton");
        verifyRefused(dialog, edit(dialog, "strainFactorEdit"), strainOutOfRange);
        sink_.messages.clear();
        type(dialog, "strainFactorEdit", "0.5");
        press(dialog, "okButton");
        verifyRefused(dialog, edit(dialog, "NddEdit"), notANumber);
    }

    void refusedOkKeepsTheDialogOpenUntilCorrected()
    {
        tervane::Document document;
        int refusedResult = 0;
        Script script({[&](QDialog& dialog) {
            type(dialog, "thicknessEdit", "100");
            type(dialog, "strainFactorEdit", "1.5");
            refusedResult = press(dialog, "okButton");
            type(dialog, "strainFactorEdit", "0.75");
            return press(dialog, "okButton");
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Changed);
        QCOMPARE(refusedResult, -1);
        QCOMPARE(sink_.messages, QStringList{strainOutOfRange});
        QCOMPARE(document.layers.size(), std::size_t(1));
        QCOMPARE(document.layers.front().strainFactor, 0.75);
    }

    // ---- The material box

    void materialBoxIsSortedWhateverTheListOrder()
    {
        tervane::Document document;
        document.materials = {material("InGaN"), material("GaN"), material("gaas"), material("AlN"),
                              material("AlGaN")};
        QStringList entries;
        Script script({[&](QDialog& dialog) {
            entries = boxEntries(dialog);
            return press(dialog, "cancelButton");
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Unchanged);
        // Letter case does not count in the order: gaas before GaN.
        QCOMPARE(entries, (QStringList{"AlGaN", "AlN", "gaas", "GaN", "InGaN"}));
        // The document's list keeps its own order.
        QCOMPARE(document.materials.front().name, std::string("InGaN"));
    }

    void materialIsPreselectedIgnoringCase()
    {
        tervane::Document document;
        document.materials = {material("AlN"), material("GaN")};
        tervane::Layer layer = sampleLayer();
        layer.material = "gan";
        document.layers = {layer};
        QString selected;
        Script script({[&](QDialog& dialog) {
            selected = child<QComboBox>(dialog, "materialBox")->currentText();
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(selected, QStringLiteral("GaN"));
        // OK stores the entry's spelling.
        QCOMPARE(document.layers.front().material, std::string("GaN"));
    }

    void unknownMaterialSelectsNothingAndStoresAnEmptyName()
    {
        tervane::Document document;
        document.materials = {material("AlN"), material("GaN")};
        tervane::Layer layer = sampleLayer();
        layer.material = "GaN "; // a trailing blank makes it another name
        document.layers = {layer};
        int index = 0;
        Script script({[&](QDialog& dialog) {
            index = child<QComboBox>(dialog, "materialBox")->currentIndex();
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(index, -1);
        QCOMPARE(document.layers.front().material, std::string());
    }

    // ---- Layers > New

    void newTakesTheDocumentTemperatureForTnAndTp()
    {
        tervane::Document document;
        document.materials = {material("GaN")};
        document.temperature = 77.0;
        QString thickness, dx, Nd, strain, Tn, Tp, composition;
        int selected = 0;
        bool holes = false, relaxed = true, deleteShown = true;
        Script script({[&](QDialog& dialog) {
            thickness = shown(dialog, "thicknessEdit");
            dx = shown(dialog, "dxEdit");
            Nd = shown(dialog, "NdEdit");
            strain = shown(dialog, "strainFactorEdit");
            Tn = lawShown(dialog, "TnText");
            Tp = lawShown(dialog, "TpText");
            composition = lawShown(dialog, "compositionText");
            selected = child<QComboBox>(dialog, "materialBox")->currentIndex();
            holes = child<QCheckBox>(dialog, "holesCheck")->isChecked();
            relaxed = child<QCheckBox>(dialog, "relaxedCheck")->isChecked();
            deleteShown = child<QPushButton>(dialog, "deleteButton")->isVisible();
            return press(dialog, "okButton");
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, QStringList{layerCaption});
        QCOMPARE(thickness, QStringLiteral("0"));
        QCOMPARE(dx, QStringLiteral("10"));
        QCOMPARE(Nd, QStringLiteral("0"));
        QCOMPARE(strain, QStringLiteral("0"));
        QCOMPARE(Tn, QStringLiteral("0.000 x^2+0.000 x+77.000"));
        QCOMPARE(Tp, QStringLiteral("0.000 x^2+0.000 x+77.000"));
        QCOMPARE(composition, QStringLiteral("0.000 x^2+0.000 x+0.000"));
        QCOMPARE(selected, -1);
        QVERIFY(holes);
        QVERIFY(!relaxed);
        QVERIFY(!deleteShown);

        QCOMPARE(document.layers.size(), std::size_t(1));
        const tervane::Layer& layer = document.layers.front();
        QVERIFY(layer.Tn == tervane::Quadratic(77.0, 0.0, 0.0));
        QVERIFY(layer.Tp == tervane::Quadratic(77.0, 0.0, 0.0));
        QCOMPARE(layer.dx, 1e-9); // 10 * 1e-10, exact
        QCOMPARE(layer.thickness, 0.0);
        QCOMPARE(layer.material, std::string()); // nothing selected: the solve will miss it
        QVERIFY(layer.holes);
        QVERIFY(!layer.relaxed);
        QCOMPARE(layer.strainFactor, 0.0);
        QCOMPARE(layer.spare, 0.0);
        QVERIFY(layer.composition == tervane::Quadratic());
        QVERIFY(layer.Efn == tervane::Quadratic());
        QVERIFY(layer.Efp == tervane::Quadratic());
    }

    void newAppendsAfterTheLastLayer()
    {
        tervane::Document document = threeLayers();
        Script script({[](QDialog& dialog) {
            type(dialog, "thicknessEdit", "40");
            return press(dialog, "okButton");
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Changed);
        QCOMPARE(document.layers.size(), std::size_t(4));
        QVERIFY(nearlyEqual(document.layers[3].thickness, 4e-9));
        QVERIFY(nearlyEqual(document.layers[2].thickness, 3e-9));
    }

    void newCancelledChangesNothing()
    {
        tervane::Document document = threeLayers();
        const auto before = document.layers;
        Script script({[](QDialog& dialog) {
            type(dialog, "thicknessEdit", "40");
            return press(dialog, "cancelButton");
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Unchanged);
        QVERIFY(document.layers == before);
    }

    // ---- Layers > Insert

    void whereDialogCaptionAndStart()
    {
        CWhereDialog dialog;
        QCOMPARE(dialog.windowTitle(), whereCaption);
        QCOMPARE(labelOf(dialog, edit(dialog, "positionEdit")), QStringLiteral("Position"));
        dialog.show();
        QCOMPARE(shown(dialog, "positionEdit"), QStringLiteral("0"));
    }

    void whereRefusesPositionsOutOfRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("above 1000000") << "1000001" << positionOutOfRange;
        QTest::newRow("negative") << "-1" << positionOutOfRange;
        QTest::newRow("fraction") << "1.5" << notAnInteger;
        QTest::newRow("empty") << "" << notAnInteger;
    }
    void whereRefusesPositionsOutOfRange()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        CWhereDialog dialog;
        showActive(dialog);
        edit(dialog, "positionEdit")->setText(text);
        QCOMPARE(press(dialog, "okButton"), -1);
        verifyRefused(dialog, edit(dialog, "positionEdit"), message);
        QCOMPARE(dialog.position, 0);
    }

    void whereAcceptsTheWholeRange()
    {
        for (const char* text : {"0", "1000000"}) {
            CWhereDialog dialog;
            dialog.show();
            type(dialog, "positionEdit", text);
            QCOMPARE(press(dialog, "okButton"), int(QDialog::Accepted));
            QCOMPARE(dialog.position, QString::fromLatin1(text).toInt());
        }
        QVERIFY(sink_.messages.isEmpty());
    }

    void insertPutsTheLayerBeforeThePosition_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QList<double>>("angstroms");
        QTest::newRow("0: at the top") << "0" << QList<double>{99, 10, 20, 30};
        QTest::newRow("1") << "1" << QList<double>{10, 99, 20, 30};
        QTest::newRow("n-1: just before the last") << "2" << QList<double>{10, 20, 99, 30};
    }
    void insertPutsTheLayerBeforeThePosition()
    {
        QFETCH(QString, position);
        QFETCH(QList<double>, angstroms);
        tervane::Document document = threeLayers();
        document.temperature = 77.0;
        const QByteArray where = position.toLatin1();
        Script script({[&](QDialog& dialog) {
                           type(dialog, "positionEdit", where.constData());
                           return press(dialog, "okButton");
                       },
                       [](QDialog& dialog) {
                           type(dialog, "thicknessEdit", "99");
                           return press(dialog, "okButton");
                       }});
        QCOMPARE(layersInsert(nullptr, document, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, (QStringList{whereCaption, layerCaption}));
        QCOMPARE(document.layers.size(), std::size_t(4));
        for (qsizetype i = 0; i < angstroms.size(); ++i)
            QVERIFY(nearlyEqual(document.layers[std::size_t(i)].thickness, angstroms[i] * 1e-10));
        const tervane::Layer& inserted = document.layers[std::size_t(position.toInt())];
        QVERIFY(inserted.Tn == tervane::Quadratic(77.0, 0.0, 0.0));
        QVERIFY(inserted.Tp == tervane::Quadratic(77.0, 0.0, 0.0));
        QCOMPARE(inserted.dx, 1e-9);
    }

    void insertAtOrBeyondTheEndOpensNoLayerDialog_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<QString>("position");
        QTest::newRow("empty stack, 0") << 0 << "0";
        QTest::newRow("3 layers, position 3") << 3 << "3";
        QTest::newRow("3 layers, position 1000000") << 3 << "1000000";
    }
    void insertAtOrBeyondTheEndOpensNoLayerDialog()
    {
        QFETCH(int, layers);
        QFETCH(QString, position);
        tervane::Document document = threeLayers();
        document.layers.resize(std::size_t(layers));
        const auto before = document.layers;
        const QByteArray where = position.toLatin1();
        Script script({[&](QDialog& dialog) {
                           type(dialog, "positionEdit", where.constData());
                           return press(dialog, "okButton");
                       },
                       pressing("okButton")});
        QCOMPARE(layersInsert(nullptr, document, script.runner()), LayerEditResult::Unchanged);
        QCOMPARE(script.captions, QStringList{whereCaption});
        QVERIFY(document.layers == before);
        QVERIFY(sink_.messages.isEmpty());
    }

    void insertCancelledInEitherDialogChangesNothing()
    {
        {
            tervane::Document document = threeLayers();
            const auto before = document.layers;
            Script script({pressing("cancelButton"), pressing("okButton")});
            QCOMPARE(layersInsert(nullptr, document, script.runner()), LayerEditResult::Unchanged);
            QCOMPARE(script.captions, QStringList{whereCaption});
            QVERIFY(document.layers == before);
        }
        {
            tervane::Document document = threeLayers();
            const auto before = document.layers;
            Script script({pressing("okButton"), pressing("cancelButton")});
            QCOMPARE(layersInsert(nullptr, document, script.runner()), LayerEditResult::Unchanged);
            QCOMPARE(script.captions, (QStringList{whereCaption, layerCaption}));
            QVERIFY(document.layers == before);
        }
    }

    // ---- Editing and deleting a layer

    void editWritesBackInPlace()
    {
        tervane::Document document = threeLayers();
        document.layers[1].spare = 3.0;
        const auto before = document.layers;
        Script script({[](QDialog& dialog) {
            type(dialog, "thicknessEdit", "55");
            type(dialog, "NdEdit", "2e17");
            child<QComboBox>(dialog, "materialBox")->setCurrentText(QStringLiteral("AlGaN"));
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 1, script.runner()), LayerEditResult::Changed);
        QCOMPARE(document.layers.size(), std::size_t(3));
        QVERIFY(document.layers[0] == before[0]);
        QVERIFY(document.layers[2] == before[2]);
        QVERIFY(nearlyEqual(document.layers[1].thickness, 5.5e-9));
        QCOMPARE(document.layers[1].Nd, 2e23);
        QCOMPARE(document.layers[1].material, std::string("AlGaN"));
        QCOMPARE(document.layers[1].spare, 3.0);
    }

    void editCancelledChangesNothing()
    {
        tervane::Document document = threeLayers();
        const auto before = document.layers;
        Script script({[](QDialog& dialog) {
            type(dialog, "thicknessEdit", "55");
            return press(dialog, "cancelButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 1, script.runner()), LayerEditResult::Unchanged);
        QVERIFY(document.layers == before);
    }

    void deleteRemovesTheLayerAndMovesTheRestUp()
    {
        tervane::Document document = threeLayers();
        int result = 0;
        Script script({[&](QDialog& dialog) {
            result = press(dialog, "deleteButton");
            return result;
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(result, 13364);
        QCOMPARE(document.layers.size(), std::size_t(2));
        QVERIFY(nearlyEqual(document.layers[0].thickness, 2e-9));
        QVERIFY(nearlyEqual(document.layers[1].thickness, 3e-9));
    }

    void deletingTheOnlyLayerLeavesAnEmptyStack()
    {
        tervane::Document document;
        document.layers = {sampleLayer()};
        Script script({pressing("deleteButton")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QVERIFY(document.layers.empty());
    }

    void editOutsideTheStackDoesNothing_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<int>("index");
        QTest::newRow("empty stack") << 0 << 0;
        QTest::newRow("index = n") << 3 << 3;
        QTest::newRow("far below the last line") << 3 << 40;
        QTest::newRow("negative") << 3 << -1;
    }
    void editOutsideTheStackDoesNothing()
    {
        QFETCH(int, layers);
        QFETCH(int, index);
        tervane::Document document = threeLayers();
        document.layers.resize(std::size_t(layers));
        const auto before = document.layers;
        Script script({pressing("deleteButton")});
        QCOMPARE(editLayer(nullptr, document, index, script.runner()), LayerEditResult::Unchanged);
        QVERIFY(script.captions.isEmpty());
        QVERIFY(document.layers == before);
        QVERIFY(sink_.messages.isEmpty());
    }

    // ---- The law buttons

    void lawRoundTripThroughEnterQuadratic_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("Composition") << "compositionButton"
                                     << "compositionText";
        QTest::newRow("Efn") << "EfnButton"
                             << "EfnText";
        QTest::newRow("Efp") << "EfpButton"
                             << "EfpText";
        QTest::newRow("Tn") << "TnButton"
                            << "TnText";
        QTest::newRow("Tp") << "TpButton"
                            << "TpText";
    }
    void lawRoundTripThroughEnterQuadratic()
    {
        QFETCH(QString, button);
        QFETCH(QString, text);
        tervane::Document document;
        document.layers = {sampleLayer()};
        const QByteArray buttonName = button.toLatin1();
        const QByteArray textName = text.toLatin1();
        QStringList opened; // a, b, c as "Enter Quadratic" opened
        QString after;
        Script script({[&](QDialog& dialog) {
                           child<QPushButton>(dialog, buttonName.constData())->click();
                           after = lawShown(dialog, textName.constData());
                           return press(dialog, "okButton");
                       },
                       [&](QDialog& dialog) {
                           opened = {shown(dialog, "aEdit"), shown(dialog, "bEdit"), shown(dialog, "cEdit")};
                           return enteringLaw("0.1", "-0.2", "0.05")(dialog);
                       }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, (QStringList{layerCaption, lawCaption}));
        QCOMPARE(after, QStringLiteral("0.050 x^2+-0.200 x+0.100"));

        const tervane::Layer original = sampleLayer();
        const tervane::Layer& layer = document.layers.front();
        const QList<QPair<QString, const tervane::Quadratic tervane::Layer::*>> laws = {
            {"compositionButton", &tervane::Layer::composition},
            {"EfnButton", &tervane::Layer::Efn},
            {"EfpButton", &tervane::Layer::Efp},
            {"TnButton", &tervane::Layer::Tn},
            {"TpButton", &tervane::Layer::Tp}};
        for (const auto& [name, law] : laws) {
            if (name == button) {
                const tervane::Quadratic& was = original.*law;
                QCOMPARE(opened,
                         (QStringList{NumberEdit::formatNumber(was.a), NumberEdit::formatNumber(was.b),
                                      NumberEdit::formatNumber(was.c)}));
                QVERIFY(layer.*law == tervane::Quadratic(0.1, -0.2, 0.05));
            } else {
                QVERIFY2(layer.*law == original.*law, qPrintable(name));
            }
        }
    }

    void lawEditedThenDialogCancelledLeavesTheLayer()
    {
        tervane::Document document;
        document.layers = {sampleLayer()};
        QString during;
        Script script({[&](QDialog& dialog) {
                           child<QPushButton>(dialog, "TnButton")->click();
                           during = lawShown(dialog, "TnText");
                           return press(dialog, "cancelButton");
                       },
                       enteringLaw("4.2", "0", "0")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Unchanged);
        QCOMPARE(during, QStringLiteral("0.000 x^2+0.000 x+4.200"));
        QVERIFY(document.layers.front() == sampleLayer());
    }

    void lawCancelledChangesNoLaw()
    {
        tervane::Document document;
        document.layers = {sampleLayer()};
        QString during;
        Script script({[&](QDialog& dialog) {
                           child<QPushButton>(dialog, "EfpButton")->click();
                           during = lawShown(dialog, "EfpText");
                           return press(dialog, "okButton");
                       },
                       enteringLaw("9", "9", "9", "cancelButton")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(during, QStringLiteral("0.000 x^2+0.250 x+-0.500"));
        QVERIFY(document.layers.front().Efp == sampleLayer().Efp);
    }

    void lawButtonKeepsWhatWasTyped()
    {
        tervane::Document document;
        document.materials = {material("AlGaN"), material("GaN")};
        document.layers = {sampleLayer()};
        QString thicknessAfterCancel, thicknessAfterOk, NdAfterOk, NddAfterOk, materialAfterOk;
        bool holesAfterOk = false;
        QStringList messages;
        Script script({[&](QDialog& dialog) {
                           type(dialog, "thicknessEdit", "123");
                           child<QCheckBox>(dialog, "holesCheck")->setChecked(true);
                           child<QComboBox>(dialog, "materialBox")->setCurrentText(QStringLiteral("GaN"));
                           child<QPushButton>(dialog, "TpButton")->click(); // law dialog cancelled
                           thicknessAfterCancel = shown(dialog, "thicknessEdit");
                           // A field that does not read: its message shows, the law is edited anyway,
                           // and the refresh puts back the value it had; the later fields keep theirs.
                           type(dialog, "NdEdit", "abc");
                           type(dialog, "NddEdit", "500");
                           child<QPushButton>(dialog, "TpButton")->click(); // law dialog confirmed
                           messages = sink_.messages;
                           thicknessAfterOk = shown(dialog, "thicknessEdit");
                           NdAfterOk = shown(dialog, "NdEdit");
                           NddAfterOk = shown(dialog, "NddEdit");
                           materialAfterOk = child<QComboBox>(dialog, "materialBox")->currentText();
                           holesAfterOk = child<QCheckBox>(dialog, "holesCheck")->isChecked();
                           return press(dialog, "okButton");
                       },
                       pressing("cancelButton"), enteringLaw("250", "0", "0")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, (QStringList{layerCaption, lawCaption, lawCaption}));
        QCOMPARE(thicknessAfterCancel, QStringLiteral("123"));
        QCOMPARE(messages, QStringList{notANumber});
        QCOMPARE(thicknessAfterOk, QStringLiteral("123"));
        QCOMPARE(NdAfterOk, QStringLiteral("1e+18"));
        QCOMPARE(NddAfterOk, QStringLiteral("500"));
        QCOMPARE(materialAfterOk, QStringLiteral("GaN"));
        QVERIFY(holesAfterOk);

        const tervane::Layer& layer = document.layers.front();
        QVERIFY(nearlyEqual(layer.thickness, 1.23e-8));
        QCOMPARE(layer.Nd, 1e24);
        QCOMPARE(layer.Ndd, 5e8);
        QCOMPARE(layer.material, std::string("GaN"));
        QVERIFY(layer.holes);
        QVERIFY(layer.Tp == tervane::Quadratic(250.0, 0.0, 0.0));
    }

    void newLayerLawsComeThroughTheSameRunner()
    {
        tervane::Document document;
        document.temperature = 77.0;
        Script script({[](QDialog& dialog) {
                           child<QPushButton>(dialog, "compositionButton")->click();
                           return press(dialog, "okButton");
                       },
                       enteringLaw("0.2", "0.1", "0")});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Changed);
        QVERIFY(document.layers.front().composition == tervane::Quadratic(0.2, 0.1, 0.0));
        QVERIFY(document.layers.front().Tn == tervane::Quadratic(77.0, 0.0, 0.0));
    }
};

QTEST_MAIN(LayerEditingTest)
#include "layer_editing_test.moc"
