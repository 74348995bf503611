// Layer editing driven through its dialogs: the units "Layer Properties" shows and stores, what it,
// "Where?" and "Enter Quadratic" refuse, and what the New, Insert, edit, Delete and law commands leave
// in the stack, Cancel included. Every command runs its dialogs through a scripted runner instead of
// exec(). Run under QT_QPA_PLATFORM=offscreen.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "engine/document.h"
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

void type(QWidget& dialog, const char* name, const QString& text)
{
    childNamed(dialog, name)->setText(text);
}

QString shown(QWidget& dialog, const char* name)
{
    return childNamed(dialog, name)->text();
}

QString lawShown(QWidget& dialog, const QString& law)
{
    return childNamed<QLabel>(dialog, law + "Text")->text();
}

QComboBox* materialBox(QWidget& dialog)
{
    return childNamed<QComboBox>(dialog, "materialBox");
}

// Answers to the dialogs a command opens, one step per dialog in the order they open. Each step gets
// the dialog already shown, fills its controls and returns what it pressed. A dialog beyond the last
// step is cancelled. The captions of all dialogs opened are recorded.
struct Script {
    using Step = std::function<int(QDialog&)>;

    explicit Script(std::vector<Step> answers) : steps(std::move(answers)) {}

    std::vector<Step> steps;
    QStringList captions;

    DialogRunner runner()
    {
        return [this](QDialog& dialog) {
            captions.append(dialog.windowTitle());
            const auto step = std::size_t(captions.size() - 1);
            if (step >= steps.size())
                return int(QDialog::Rejected);
            dialog.show();
            return steps[step](dialog);
        };
    }
};

Script::Step pressing(const char* button)
{
    return [button](QDialog& dialog) { return pressButton(dialog, button); };
}

// Types `text` into the field `name`, then presses `button`.
Script::Step typing(const char* name, const QString& text, const char* button = "okButton")
{
    return [=](QDialog& dialog) {
        type(dialog, name, text);
        return pressButton(dialog, button);
    };
}

// Enters a, b, c in "Enter Quadratic" and presses `button`.
Script::Step enteringLaw(const char* a, const char* b, const char* c, const char* button = "okButton")
{
    return [=](QDialog& dialog) {
        type(dialog, "aEdit", a);
        type(dialog, "bEdit", b);
        type(dialog, "cEdit", c);
        return pressButton(dialog, button);
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

// Three GaN layers told apart by their thickness (10, 20 and 30 Angstrom), at 77 K.
tervane::Document threeLayers()
{
    tervane::Document document;
    document.materials = {material("GaN"), material("AlGaN")};
    document.temperature = 77.0;
    for (const double angstrom : {10.0, 20.0, 30.0}) {
        tervane::Layer layer;
        layer.thickness = angstrom * 1e-10;
        layer.material = "GaN";
        document.layers.push_back(layer);
    }
    return document;
}

// The sample layer alone, with GaN and AlGaN to choose from.
tervane::Document sampleDocument()
{
    tervane::Document document = threeLayers();
    document.layers = {sampleLayer()};
    return document;
}

// Equal but for the rounding of the unit conversions there and back (250 * 1e-10 is one unit in the
// last place above 2.5e-8).
bool sameLayer(tervane::Layer layer, const tervane::Layer& expected)
{
    for (double tervane::Layer::*field :
         {&tervane::Layer::thickness, &tervane::Layer::dx, &tervane::Layer::Nd, &tervane::Layer::Na,
          &tervane::Layer::Ndd, &tervane::Layer::Nda})
        if (nearlyEqual(layer.*field, expected.*field))
            layer.*field = expected.*field;
    return layer == expected;
}

void verifyThicknesses(const tervane::Document& document, const QList<double>& angstroms)
{
    QCOMPARE(document.layers.size(), std::size_t(angstroms.size()));
    for (qsizetype i = 0; i < angstroms.size(); ++i)
        QVERIFY2(nearlyEqual(document.layers[std::size_t(i)].thickness, angstroms[i] * 1e-10),
                 qPrintable(QString::number(i)));
}

// What New and Insert give a layer beyond the thickness typed: Tn and Tp at the document's 77 K, 10
// Angstrom spacing, holes on, no material (the solve will miss it), everything else zero.
void verifyNewLayer(const tervane::Layer& layer)
{
    tervane::Layer expected;
    expected.thickness = layer.thickness;
    expected.Tn = expected.Tp = tervane::Quadratic(77.0, 0.0, 0.0);
    expected.dx = 1e-9; // 10 * 1e-10, exact
    expected.holes = true;
    expected.relaxed = false;
    QVERIFY(layer == expected);
}

} // namespace

class LayerEditingTest : public QObject {
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

    // ---- Enter Quadratic

    void enterQuadraticRefusesAFieldThatIsNotANumber()
    {
        CEnterQuadraticDialog dialog;
        dialog.setLaw(tervane::Quadratic(1.0, 2.0, 3.0));
        showActive(dialog);
        type(dialog, "aEdit", "4");
        type(dialog, "bEdit", "x");
        type(dialog, "cEdit", "6");
        pressButton(dialog, "okButton");
        verifyRefused(dialog, childNamed(dialog, "bEdit"), notANumber);
        // Nothing is stored while one field is refused.
        QVERIFY(dialog.law() == tervane::Quadratic(1.0, 2.0, 3.0));
        type(dialog, "bEdit", "5");
        QCOMPARE(pressButton(dialog, "okButton"), int(QDialog::Accepted));
        QVERIFY(dialog.law() == tervane::Quadratic(4.0, 5.0, 6.0));
    }

    // ---- Layer Properties: units, what OK writes back, what it refuses

    // Lengths are shown in Angstrom and densities in cm^-3; typed values are stored in m and m^-3. OK
    // writes back to the edited layer only, which keeps its spare value and its laws.
    void fieldsShowAndStoreTheirUnits()
    {
        const struct {
            const char* field;
            double tervane::Layer::*member;
            const char* shown; // the sample layer's value
            const char* typed;
            double stored;
        } fields[] = {{"thicknessEdit", &tervane::Layer::thickness, "250", "120", 1.2e-8},
                      {"dxEdit", &tervane::Layer::dx, "10", "5", 5e-10},
                      {"NdEdit", &tervane::Layer::Nd, "1e+18", "2.5e17", 2.5e23},
                      {"NaEdit", &tervane::Layer::Na, "3e+17", "1e15", 1e21},
                      {"NddEdit", &tervane::Layer::Ndd, "2e+16", "3e16", 3e22},
                      {"NdaEdit", &tervane::Layer::Nda, "5e+15", "-1", -1e6},
                      {"strainFactorEdit", &tervane::Layer::strainFactor, "0.25", "1", 1.0}};
        tervane::Document document = threeLayers();
        document.layers[1] = sampleLayer();
        QStringList shownTexts;
        Script script({[&](QDialog& dialog) {
            for (const auto& f : fields) {
                shownTexts.append(shown(dialog, f.field));
                type(dialog, f.field, f.typed);
            }
            shownTexts.append(materialBox(dialog)->currentText());
            materialBox(dialog)->setCurrentText(QStringLiteral("GaN"));
            for (const char* box : {"relaxedCheck", "holesCheck"}) {
                auto* check = childNamed<QCheckBox>(dialog, box);
                shownTexts.append(check->isChecked() ? "on" : "off");
                check->toggle();
            }
            return pressButton(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 1, script.runner()), LayerEditResult::Changed);
        QCOMPARE(shownTexts, (QStringList{"250", "10", "1e+18", "3e+17", "2e+16", "5e+15", "0.25", "AlGaN",
                                          "on", "off"}));
        tervane::Layer expected = sampleLayer();
        for (const auto& f : fields)
            expected.*f.member = f.stored;
        expected.material = "GaN";
        expected.relaxed = false;
        expected.holes = true;
        QVERIFY(sameLayer(document.layers[1], expected));
        QVERIFY(document.layers[0] == threeLayers().layers[0]);
        QVERIFY(document.layers[2] == threeLayers().layers[2]);

        // Every field goes there and back: OK without a change keeps the layer.
        Script unchanged({pressing("okButton")});
        document.layers[1] = sampleLayer();
        QCOMPARE(editLayer(nullptr, document, 1, unchanged.runner()), LayerEditResult::Changed);
        QVERIFY(sameLayer(document.layers[1], sampleLayer()));
    }

    // Every field refuses what is no number, the strain factor also what lies outside 0 to 1. The
    // first refused field is focused and the dialog stays open.
    void fieldsRefuseWhatTheyCannotTake()
    {
        const QString strain = QStringLiteral("strainFactorEdit");
        QList<std::tuple<QString, QString, QString>> cases; // field, text, message (empty: accepted)
        for (const char* name : {"thicknessEdit", "dxEdit", "NdEdit", "NaEdit", "NddEdit", "NdaEdit"})
            cases.append({QString::fromLatin1(name), "1,5", notANumber});
        cases += {{strain, "1,5", notANumber},        {strain, "1.5", strainOutOfRange},
                  {strain, "-0.1", strainOutOfRange}, {strain, "1.0000001", strainOutOfRange},
                  {strain, "0", QString()},           {strain, "1", QString()}};
        for (const auto& [field, text, message] : cases) {
            sink_.messages.clear();
            CLayerPropertiesDialog dialog;
            dialog.strainFactor = 0.25;
            showActive(dialog);
            NumberEdit* typed = childNamed(dialog, field);
            typed->setText(text);
            const int result = pressButton(dialog, "okButton");
            if (message.isEmpty()) {
                QCOMPARE(result, int(QDialog::Accepted));
                QCOMPARE(dialog.strainFactor, text.toDouble());
                QVERIFY(sink_.messages.isEmpty());
            } else {
                QCOMPARE(result, -1);
                verifyRefused(dialog, typed, message);
                QCOMPARE(dialog.strainFactor, 0.25);
            }
        }
    }

    // The material box is sorted without regard to case and preselects the layer's material likewise;
    // the entry's spelling is stored.
    void materialBoxSortsAndPreselectsIgnoringCase()
    {
        tervane::Document document = sampleDocument();
        document.materials = {material("InGaN"), material("GaN"), material("gaas"), material("AlN"),
                              material("AlGaN")};
        document.layers.front().material = "gan";
        QStringList entries;
        Script script({[&](QDialog& dialog) {
            for (int i = 0; i < materialBox(dialog)->count(); ++i)
                entries.append(materialBox(dialog)->itemText(i));
            return pressButton(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(entries, (QStringList{"AlGaN", "AlN", "gaas", "GaN", "InGaN"}));
        QCOMPARE(document.layers.front().material, std::string("GaN"));
        QCOMPARE(document.materials.front().name, std::string("InGaN")); // the list keeps its order
    }

    // ---- Layers > New and Insert

    void newAppendsALayerAtTheDocumentTemperature()
    {
        tervane::Document document = threeLayers();
        bool deleteShown = true;
        Script script({[&](QDialog& dialog) {
            deleteShown = childNamed<QPushButton>(dialog, "deleteButton")->isVisible();
            return typing("thicknessEdit", "40")(dialog);
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, QStringList{layerCaption});
        QVERIFY(!deleteShown);
        verifyThicknesses(document, {10, 20, 30, 40});
        verifyNewLayer(document.layers.back());
    }

    void whereRefusesPositionsOutOfRange()
    {
        const std::pair<const char*, QString> cases[] = {{"1000001", positionOutOfRange},
                                                         {"-1", positionOutOfRange},
                                                         {"1.5", notAnInteger},
                                                         {"", notAnInteger},
                                                         {"0", QString()},
                                                         {"1000000", QString()}};
        for (const auto& [text, message] : cases) {
            sink_.messages.clear();
            CWhereDialog dialog;
            showActive(dialog);
            NumberEdit* position = childNamed(dialog, "positionEdit");
            QCOMPARE(position->text(), QStringLiteral("0"));
            position->setText(text);
            if (message.isEmpty()) {
                QCOMPARE(pressButton(dialog, "okButton"), int(QDialog::Accepted));
                QCOMPARE(dialog.position, QString(text).toInt());
            } else {
                QCOMPARE(pressButton(dialog, "okButton"), -1);
                verifyRefused(dialog, position, message);
                QCOMPARE(dialog.position, 0);
            }
        }
    }

    void insertPutsTheLayerBeforeThePosition_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<double>>("angstroms"); // empty: no layer dialog opens
        QTest::newRow("0: at the top") << 3 << 0 << QList<double>{99, 10, 20, 30};
        QTest::newRow("n-1: just before the last") << 3 << 2 << QList<double>{10, 20, 99, 30};
        QTest::newRow("empty stack, 0") << 0 << 0 << QList<double>{};
        QTest::newRow("n: beyond the end") << 3 << 3 << QList<double>{};
    }
    void insertPutsTheLayerBeforeThePosition()
    {
        QFETCH(int, layers);
        QFETCH(int, position);
        QFETCH(QList<double>, angstroms);
        tervane::Document document = threeLayers();
        document.layers.resize(std::size_t(layers));
        const auto before = document.layers;
        Script script({typing("positionEdit", QString::number(position)), typing("thicknessEdit", "99")});
        const LayerEditResult result = layersInsert(nullptr, document, script.runner());
        QVERIFY(sink_.messages.isEmpty());
        if (angstroms.isEmpty()) {
            QCOMPARE(result, LayerEditResult::Unchanged);
            QCOMPARE(script.captions, QStringList{whereCaption});
            QVERIFY(document.layers == before);
            return;
        }
        QCOMPARE(result, LayerEditResult::Changed);
        QCOMPARE(script.captions, (QStringList{whereCaption, layerCaption}));
        verifyThicknesses(document, angstroms);
        verifyNewLayer(document.layers[std::size_t(position)]);
    }

    // ---- Cancel, delete, and indexes outside the stack

    void cancelledCommandsChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("New") << "new" << QStringList{layerCaption};
        QTest::newRow("edit") << "edit" << QStringList{layerCaption};
        QTest::newRow("Insert, Where? cancelled") << "insertWhere" << QStringList{whereCaption};
        QTest::newRow("Insert, layer cancelled") << "insertLayer" << QStringList{whereCaption, layerCaption};
    }
    void cancelledCommandsChangeNothing()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, captions);
        tervane::Document document = threeLayers();
        const auto before = document.layers;
        const Script::Step cancelTyped = typing("thicknessEdit", "55", "cancelButton");
        Script script(command == "insertLayer" ? std::vector<Script::Step>{pressing("okButton"), cancelTyped}
                      : command == "insertWhere"
                          ? std::vector<Script::Step>{pressing("cancelButton"), pressing("okButton")}
                          : std::vector<Script::Step>{cancelTyped});
        const LayerEditResult result = command == "new"    ? layersNew(nullptr, document, script.runner())
                                       : command == "edit" ? editLayer(nullptr, document, 1, script.runner())
                                                           : layersInsert(nullptr, document, script.runner());
        QCOMPARE(result, LayerEditResult::Unchanged);
        QCOMPARE(script.captions, captions);
        QVERIFY(document.layers == before);
    }

    void deleteRemovesTheLayerAndMovesTheRestUp()
    {
        for (const auto& [layers, remaining] :
             {std::pair{3, QList<double>{20, 30}}, std::pair{1, QList<double>{}}}) {
            tervane::Document document = threeLayers();
            document.layers.resize(std::size_t(layers));
            int result = 0;
            Script script({[&](QDialog& dialog) { return result = pressButton(dialog, "deleteButton"); }});
            QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
            QCOMPARE(result, CLayerPropertiesDialog::DeleteLayer);
            verifyThicknesses(document, remaining);
        }
    }

    void editOutsideTheStackDoesNothing()
    {
        for (const auto& [layers, index] : {std::pair{0, 0}, std::pair{3, 3}, std::pair{3, -1}}) {
            tervane::Document document = threeLayers();
            document.layers.resize(std::size_t(layers));
            const auto before = document.layers;
            Script script({pressing("deleteButton")});
            QCOMPARE(editLayer(nullptr, document, index, script.runner()), LayerEditResult::Unchanged);
            QVERIFY(script.captions.isEmpty());
            QVERIFY(document.layers == before);
        }
    }

    // ---- The law buttons

    // Each button opens "Enter Quadratic" on its own law and stores what is entered there only.
    void lawButtonsEditTheirOwnLaw()
    {
        const struct {
            const char* law;
            tervane::Quadratic tervane::Layer::*member;
            QStringList was; // a, b, c of the sample layer's law
        } laws[] = {{"composition", &tervane::Layer::composition, {"0.3", "0", "0"}},
                    {"Efn", &tervane::Layer::Efn, {"0.1", "0", "-0.125"}},
                    {"Efp", &tervane::Layer::Efp, {"-0.5", "0.25", "0"}},
                    {"Tn", &tervane::Layer::Tn, {"320", "5", "0"}},
                    {"Tp", &tervane::Layer::Tp, {"310", "0", "0"}}};
        for (const auto& [law, member, was] : laws) {
            tervane::Document document = sampleDocument();
            QStringList opened; // a, b, c as "Enter Quadratic" opened
            QString after;
            Script script(
                {[&, law = law](QDialog& dialog) {
                     childNamed<QPushButton>(dialog, QString::fromLatin1(law) + "Button")->click();
                     after = lawShown(dialog, QString::fromLatin1(law));
                     return pressButton(dialog, "okButton");
                 },
                 [&](QDialog& dialog) {
                     opened = {shown(dialog, "aEdit"), shown(dialog, "bEdit"), shown(dialog, "cEdit")};
                     return enteringLaw("0.1", "-0.2", "0.05")(dialog);
                 }});
            QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
            QCOMPARE(script.captions, (QStringList{layerCaption, lawCaption}));
            QCOMPARE(opened, was);
            QCOMPARE(after, QStringLiteral("0.050 x^2+-0.200 x+0.100"));
            tervane::Layer expected = sampleLayer();
            expected.*member = tervane::Quadratic(0.1, -0.2, 0.05);
            QVERIFY2(sameLayer(document.layers.front(), expected), law);
        }
    }

    // A law entered and the layer cancelled, or the law cancelled and the layer confirmed: the layer
    // keeps its law either way.
    void cancelOnEitherSideKeepsTheLaw()
    {
        const struct {
            const char* layerButton;
            const char* lawButton;
            const char* during; // Tn as shown after the law dialog closed
        } cases[] = {{"cancelButton", "okButton", "0.000 x^2+0.000 x+4.200"},
                     {"okButton", "cancelButton", "0.000 x^2+5.000 x+320.000"}};
        for (const auto& [layerButton, lawButton, during] : cases) {
            tervane::Document document = sampleDocument();
            QString shownDuring;
            Script script({[&, layerButton = layerButton](QDialog& dialog) {
                               childNamed<QPushButton>(dialog, "TnButton")->click();
                               shownDuring = lawShown(dialog, "Tn");
                               return pressButton(dialog, layerButton);
                           },
                           enteringLaw("4.2", "0", "0", lawButton)});
            editLayer(nullptr, document, 0, script.runner());
            QCOMPARE(shownDuring, QString::fromLatin1(during));
            QVERIFY(sameLayer(document.layers.front(), sampleLayer()));
        }
    }

    // Values typed before a law button are still there after its dialog, cancelled or confirmed, and
    // are stored by OK. A field that does not read shows its message and gets its value back; the
    // fields read after it keep theirs.
    void lawButtonKeepsWhatWasTyped()
    {
        tervane::Document document = sampleDocument();
        QStringList shownAfter; // thickness after the cancelled law; thickness, Nd, Ndd after the confirmed
        QStringList messages;
        Script script({[&](QDialog& dialog) {
                           type(dialog, "thicknessEdit", "123");
                           childNamed<QCheckBox>(dialog, "holesCheck")->setChecked(true);
                           childNamed<QPushButton>(dialog, "TpButton")->click(); // law dialog cancelled
                           shownAfter.append(shown(dialog, "thicknessEdit"));
                           type(dialog, "NdEdit", "abc");
                           type(dialog, "NddEdit", "500");
                           childNamed<QPushButton>(dialog, "TpButton")->click(); // law dialog confirmed
                           messages = sink_.messages;
                           for (const char* field : {"thicknessEdit", "NdEdit", "NddEdit"})
                               shownAfter.append(shown(dialog, field));
                           return pressButton(dialog, "okButton");
                       },
                       pressing("cancelButton"), enteringLaw("250", "0", "0")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, (QStringList{layerCaption, lawCaption, lawCaption}));
        QCOMPARE(shownAfter, (QStringList{"123", "123", "1e+18", "500"}));
        QCOMPARE(messages, QStringList{notANumber});
        tervane::Layer expected = sampleLayer();
        expected.thickness = 1.23e-8;
        expected.Ndd = 5e8;
        expected.holes = true;
        expected.Tp = tervane::Quadratic(250.0, 0.0, 0.0);
        QVERIFY(sameLayer(document.layers.front(), expected));
    }
};

QTEST_MAIN(LayerEditingTest)
#include "layer_editing_test.moc"
