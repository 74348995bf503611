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

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/layer.h"
#include "model/material.h"
#include "model/quadratic.h"
#include "ui/enter_quadratic_dialog.h"
#include "ui/layer_editing.h"
#include "ui/layer_properties_dialog.h"
#include "dialog_test_support.h"
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

QComboBox* materialBox(QWidget& dialog)
{
    return child<QComboBox>(dialog, "materialBox");
}

// Every control of "Layer Properties" as shown, keyed by its name.
QMap<QString, QString> shownFields(QWidget& dialog)
{
    QMap<QString, QString> fields;
    for (const char* name :
         {"thicknessEdit", "dxEdit", "NdEdit", "NaEdit", "NddEdit", "NdaEdit", "strainFactorEdit"})
        fields[QString::fromLatin1(name)] = shown(dialog, name);
    for (const char* name : {"compositionText", "EfnText", "EfpText", "TnText", "TpText"})
        fields[QString::fromLatin1(name)] = lawShown(dialog, name);
    fields["materialBox"] = materialBox(dialog)->currentText();
    for (const char* name : {"relaxedCheck", "holesCheck"})
        fields[QString::fromLatin1(name)] = child<QCheckBox>(dialog, name)->isChecked() ? "on" : "off";
    fields["deleteButton"] = child<QPushButton>(dialog, "deleteButton")->isVisible() ? "shown" : "hidden";
    return fields;
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

// Types `text` into the field `name`, then presses `button`.
Script::Step typing(const char* name, QByteArray text, const char* button = "okButton")
{
    return [=](QDialog& dialog) {
        type(dialog, name, text.constData());
        return press(dialog, button);
    };
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

// The sample layer alone, with GaN and AlGaN to choose from.
tervane::Document sampleDocument()
{
    tervane::Document document;
    document.materials = {material("GaN"), material("AlGaN")};
    document.layers = {sampleLayer()};
    return document;
}

const QStringList lawNames = {"composition", "Efn", "Efp", "Tn", "Tp"};

tervane::Quadratic& lawOf(tervane::Layer& layer, const QString& name)
{
    return name == "composition" ? layer.composition
           : name == "Efn"       ? layer.Efn
           : name == "Efp"       ? layer.Efp
           : name == "Tn"        ? layer.Tn
                                 : layer.Tp;
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

void verifyThicknesses(const tervane::Document& document, const QList<double>& angstroms)
{
    QCOMPARE(document.layers.size(), std::size_t(angstroms.size()));
    for (qsizetype i = 0; i < angstroms.size(); ++i)
        QVERIFY2(nearlyEqual(document.layers[std::size_t(i)].thickness, angstroms[i] * 1e-10),
                 qPrintable(QString::number(i)));
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
        press(dialog, "okButton");
        verifyRefused(dialog, edit(dialog, "bEdit"), notANumber);
        // Nothing is stored while one field is refused.
        QVERIFY(dialog.law() == tervane::Quadratic(1.0, 2.0, 3.0));
        type(dialog, "bEdit", "5");
        QCOMPARE(press(dialog, "okButton"), int(QDialog::Accepted));
        QVERIFY(dialog.law() == tervane::Quadratic(4.0, 5.0, 6.0));
    }

    // ---- Layer Properties: what it shows and stores

    void lawTextsListTheSquareTermFirst_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("c");
        QTest::addColumn<QString>("text");
        QTest::newRow("constant 300") << 300.0 << 0.0 << 0.0 << "0.000 x^2+0.000 x+300.000";
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

    void existingLayerIsShownInAngstromAndPerCubicCmAndOkKeepsIt()
    {
        tervane::Document document = sampleDocument();
        QMap<QString, QString> fields;
        Script script({[&](QDialog& dialog) {
            fields = shownFields(dialog);
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        const QMap<QString, QString> expected = {{"thicknessEdit", "250"}, // 2.5e-8 m
                                                 {"dxEdit", "10"},         // 1e-9 m
                                                 {"NdEdit", "1e+18"},      // 1e24 m^-3
                                                 {"NaEdit", "3e+17"},
                                                 {"NddEdit", "2e+16"},
                                                 {"NdaEdit", "5e+15"},
                                                 {"strainFactorEdit", "0.25"},
                                                 {"compositionText", "0.000 x^2+0.000 x+0.300"},
                                                 {"EfnText", "-0.125 x^2+0.000 x+0.100"},
                                                 {"EfpText", "0.000 x^2+0.250 x+-0.500"},
                                                 {"TnText", "0.000 x^2+5.000 x+320.000"},
                                                 {"TpText", "0.000 x^2+0.000 x+310.000"},
                                                 {"materialBox", "AlGaN"},
                                                 {"relaxedCheck", "on"},
                                                 {"holesCheck", "off"},
                                                 {"deleteButton", "shown"}};
        QCOMPARE(fields, expected);
        // OK without a change keeps every field but the length rounding: 250 * 1e-10 is one unit in
        // the last place above 2.5e-8.
        tervane::Layer layer = document.layers.front();
        const tervane::Layer original = sampleLayer();
        for (double tervane::Layer::*field :
             {&tervane::Layer::thickness, &tervane::Layer::dx, &tervane::Layer::Nda}) {
            QVERIFY(nearlyEqual(layer.*field, original.*field));
            layer.*field = original.*field;
        }
        QVERIFY(layer == original);
    }

    void typedValuesAreStoredInMetresAndPerCubicMetre()
    {
        tervane::Document document = sampleDocument();
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
            materialBox(dialog)->setCurrentText(QStringLiteral("GaN"));
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

    // ---- Layer Properties: what it refuses

    void fieldsRefuseWhatTheyCannotTake_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: accepted
        for (const char* name :
             {"thicknessEdit", "dxEdit", "NdEdit", "NaEdit", "NddEdit", "NdaEdit", "strainFactorEdit"})
            QTest::newRow(name) << QString::fromLatin1(name) << "1,5" << notANumber;
        QTest::newRow("strain 1.5") << "strainFactorEdit"
                                    << "1.5" << strainOutOfRange;
        QTest::newRow("strain -0.1") << "strainFactorEdit"
                                     << "-0.1" << strainOutOfRange;
        QTest::newRow("strain just above one") << "strainFactorEdit"
                                               << "1.0000001" << strainOutOfRange;
        QTest::newRow("strain 0") << "strainFactorEdit"
                                  << "0" << QString();
        QTest::newRow("strain 1") << "strainFactorEdit"
                                  << "1" << QString();
    }
    void fieldsRefuseWhatTheyCannotTake()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        CLayerPropertiesDialog dialog;
        dialog.strainFactor = 0.25;
        showActive(dialog);
        auto* typed = dialog.findChild<NumberEdit*>(field);
        typed->setText(text);
        const int result = press(dialog, "okButton");
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

    void firstRefusedFieldIsTheOneFocused()
    {
        // Fields are read dx, thickness, Nd, Na, ..., strain factor, Nda, Ndd; each fix uncovers the next.
        // No range is checked but the strain factor's: zero and negative values are taken.
        CLayerPropertiesDialog dialog;
        showActive(dialog);
        type(dialog, "NddEdit", "?");
        type(dialog, "strainFactorEdit", "2");
        type(dialog, "thicknessEdit", "?");
        type(dialog, "dxEdit", "?");
        const struct {
            const char* field;
            QString message;
            const char* fix;
        } order[] = {{"dxEdit", notANumber, "-5"},
                     {"thicknessEdit", notANumber, "0"},
                     {"strainFactorEdit", strainOutOfRange, "0.5"},
                     {"NddEdit", notANumber, "-1e18"}};
        for (const auto& [field, message, fix] : order) {
            press(dialog, "okButton");
            verifyRefused(dialog, edit(dialog, field), message);
            sink_.messages.clear();
            type(dialog, field, fix);
        }
        QCOMPARE(press(dialog, "okButton"), int(QDialog::Accepted));
        QVERIFY(sink_.messages.isEmpty());
        QCOMPARE(dialog.dx, -5.0);
        QCOMPARE(dialog.thickness, 0.0);
        QCOMPARE(dialog.Ndd, -1e18);
    }

    // ---- The material box

    void materialBoxIsSortedWhateverTheListOrder()
    {
        tervane::Document document;
        document.materials = {material("InGaN"), material("GaN"), material("gaas"), material("AlN"),
                              material("AlGaN")};
        QStringList entries;
        Script script({[&](QDialog& dialog) {
            for (int i = 0; i < materialBox(dialog)->count(); ++i)
                entries.append(materialBox(dialog)->itemText(i));
            return press(dialog, "cancelButton");
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Unchanged);
        // Letter case does not count in the order: gaas before GaN.
        QCOMPARE(entries, (QStringList{"AlGaN", "AlN", "gaas", "GaN", "InGaN"}));
        // The document's list keeps its own order.
        QCOMPARE(document.materials.front().name, std::string("InGaN"));
    }

    void materialIsPreselectedIgnoringCase_data()
    {
        QTest::addColumn<QString>("layerMaterial");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("stored");
        QTest::newRow("other case: the entry's spelling is stored") << "gan" << 1 << "GaN";
        QTest::newRow("trailing blank: another name, nothing selected") << "GaN " << -1 << "";
    }
    void materialIsPreselectedIgnoringCase()
    {
        QFETCH(QString, layerMaterial);
        QFETCH(int, index);
        QFETCH(QString, stored);
        tervane::Document document;
        document.materials = {material("AlN"), material("GaN")};
        document.layers = {sampleLayer()};
        document.layers.front().material = layerMaterial.toStdString();
        int selected = -2;
        Script script({[&](QDialog& dialog) {
            selected = materialBox(dialog)->currentIndex();
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(selected, index);
        QCOMPARE(QString::fromStdString(document.layers.front().material), stored);
    }

    // ---- Layers > New and Insert

    void newTakesTheDocumentTemperatureForTnAndTp()
    {
        tervane::Document document = threeLayers();
        document.temperature = 77.0;
        QMap<QString, QString> fields;
        Script script({[&](QDialog& dialog) {
            fields = shownFields(dialog);
            return typing("thicknessEdit", "40")(dialog);
        }});
        QCOMPARE(layersNew(nullptr, document, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, QStringList{layerCaption});
        const QString zeroLaw = QStringLiteral("0.000 x^2+0.000 x+0.000");
        const QMap<QString, QString> expected = {{"thicknessEdit", "0"},
                                                 {"dxEdit", "10"},
                                                 {"NdEdit", "0"},
                                                 {"NaEdit", "0"},
                                                 {"NddEdit", "0"},
                                                 {"NdaEdit", "0"},
                                                 {"strainFactorEdit", "0"},
                                                 {"compositionText", zeroLaw},
                                                 {"EfnText", zeroLaw},
                                                 {"EfpText", zeroLaw},
                                                 {"TnText", "0.000 x^2+0.000 x+77.000"},
                                                 {"TpText", "0.000 x^2+0.000 x+77.000"},
                                                 {"materialBox", ""},
                                                 {"relaxedCheck", "off"},
                                                 {"holesCheck", "on"},
                                                 {"deleteButton", "hidden"}};
        QCOMPARE(fields, expected);

        // Appended after the last layer.
        verifyThicknesses(document, {10, 20, 30, 40});
        const tervane::Layer& layer = document.layers.back();
        QVERIFY(layer.Tn == tervane::Quadratic(77.0, 0.0, 0.0));
        QVERIFY(layer.Tp == tervane::Quadratic(77.0, 0.0, 0.0));
        QCOMPARE(layer.dx, 1e-9);                // 10 * 1e-10, exact
        QCOMPARE(layer.material, std::string()); // nothing selected: the solve will miss it
        QVERIFY(layer.holes);
        QVERIFY(!layer.relaxed);
        QCOMPARE(layer.strainFactor, 0.0);
        QCOMPARE(layer.spare, 0.0);
        QVERIFY(layer.composition == tervane::Quadratic());
        QVERIFY(layer.Efn == tervane::Quadratic());
    }

    void whereRefusesPositionsOutOfRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::newRow("above 1000000") << "1000001" << positionOutOfRange;
        QTest::newRow("negative") << "-1" << positionOutOfRange;
        QTest::newRow("fraction") << "1.5" << notAnInteger;
        QTest::newRow("empty") << "" << notAnInteger;
        QTest::newRow("0") << "0" << QString();
        QTest::newRow("1000000") << "1000000" << QString();
    }
    void whereRefusesPositionsOutOfRange()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        CWhereDialog dialog;
        QCOMPARE(dialog.windowTitle(), whereCaption);
        showActive(dialog);
        auto* position = edit(dialog, "positionEdit");
        QCOMPARE(position->text(), QStringLiteral("0"));
        position->setText(text);
        if (message.isEmpty()) {
            QCOMPARE(press(dialog, "okButton"), int(QDialog::Accepted));
            QCOMPARE(dialog.position, text.toInt());
            QVERIFY(sink_.messages.isEmpty());
        } else {
            QCOMPARE(press(dialog, "okButton"), -1);
            verifyRefused(dialog, position, message);
            QCOMPARE(dialog.position, 0);
        }
    }

    void insertPutsTheLayerBeforeThePosition_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QList<double>>("angstroms"); // empty: no layer dialog opens
        QTest::newRow("0: at the top") << 3 << "0" << QList<double>{99, 10, 20, 30};
        QTest::newRow("1") << 3 << "1" << QList<double>{10, 99, 20, 30};
        QTest::newRow("n-1: just before the last") << 3 << "2" << QList<double>{10, 20, 99, 30};
        QTest::newRow("empty stack, 0") << 0 << "0" << QList<double>{};
        QTest::newRow("3 layers, position 3") << 3 << "3" << QList<double>{};
        QTest::newRow("3 layers, position 1000000") << 3 << "1000000" << QList<double>{};
    }
    void insertPutsTheLayerBeforeThePosition()
    {
        QFETCH(int, layers);
        QFETCH(QString, position);
        QFETCH(QList<double>, angstroms);
        tervane::Document document = threeLayers();
        document.layers.resize(std::size_t(layers));
        document.temperature = 77.0;
        const auto before = document.layers;
        Script script({typing("positionEdit", position.toLatin1()), typing("thicknessEdit", "99")});
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
        const tervane::Layer& inserted = document.layers[std::size_t(position.toInt())];
        QVERIFY(inserted.Tn == tervane::Quadratic(77.0, 0.0, 0.0));
        QVERIFY(inserted.Tp == tervane::Quadratic(77.0, 0.0, 0.0));
        QCOMPARE(inserted.dx, 1e-9);
    }

    // ---- Cancel, edit and delete

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

    void editWritesBackInPlace()
    {
        tervane::Document document = threeLayers();
        document.layers[1].spare = 3.0;
        const auto before = document.layers;
        Script script({[](QDialog& dialog) {
            type(dialog, "thicknessEdit", "55");
            type(dialog, "NdEdit", "2e17");
            materialBox(dialog)->setCurrentText(QStringLiteral("AlGaN"));
            return press(dialog, "okButton");
        }});
        QCOMPARE(editLayer(nullptr, document, 1, script.runner()), LayerEditResult::Changed);
        verifyThicknesses(document, {10, 55, 30});
        QVERIFY(document.layers[0] == before[0]);
        QVERIFY(document.layers[2] == before[2]);
        QCOMPARE(document.layers[1].Nd, 2e23);
        QCOMPARE(document.layers[1].material, std::string("AlGaN"));
        QCOMPARE(document.layers[1].spare, 3.0);
    }

    void deleteRemovesTheLayerAndMovesTheRestUp_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<QList<double>>("remaining");
        QTest::newRow("first of three") << 3 << QList<double>{20, 30};
        QTest::newRow("the only layer") << 1 << QList<double>{};
    }
    void deleteRemovesTheLayerAndMovesTheRestUp()
    {
        QFETCH(int, layers);
        QFETCH(QList<double>, remaining);
        tervane::Document document = threeLayers();
        document.layers.resize(std::size_t(layers));
        int result = 0;
        Script script({[&](QDialog& dialog) { return result = press(dialog, "deleteButton"); }});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(result, 13364);
        verifyThicknesses(document, remaining);
    }

    void editOutsideTheStackDoesNothing_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<int>("index");
        QTest::newRow("empty stack") << 0 << 0;
        QTest::newRow("index = n") << 3 << 3;
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
        QTest::addColumn<QString>("law");
        QTest::addColumn<QStringList>("was"); // a, b, c of the sample layer's law
        QTest::newRow("composition") << "composition" << QStringList{"0.3", "0", "0"};
        QTest::newRow("Efn") << "Efn" << QStringList{"0.1", "0", "-0.125"};
        QTest::newRow("Efp") << "Efp" << QStringList{"-0.5", "0.25", "0"};
        QTest::newRow("Tn") << "Tn" << QStringList{"320", "5", "0"};
        QTest::newRow("Tp") << "Tp" << QStringList{"310", "0", "0"};
    }
    void lawRoundTripThroughEnterQuadratic()
    {
        QFETCH(QString, law);
        tervane::Document document = sampleDocument();
        const QByteArray buttonName = (law + "Button").toLatin1();
        const QByteArray textName = (law + "Text").toLatin1();
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

        QFETCH(QStringList, was);
        QCOMPARE(opened, was);
        // Only that law changed.
        tervane::Layer expected = sampleLayer();
        lawOf(expected, law) = tervane::Quadratic(0.1, -0.2, 0.05);
        for (const QString& name : lawNames)
            QVERIFY2(lawOf(document.layers.front(), name) == lawOf(expected, name), qPrintable(name));
    }

    void cancelOnEitherSideKeepsTheLaw_data()
    {
        QTest::addColumn<QString>("layerButton");
        QTest::addColumn<QString>("lawButton");
        QTest::addColumn<QString>("during"); // Tn as shown after the law dialog closed
        QTest::newRow("law entered, layer cancelled") << "cancelButton"
                                                      << "okButton"
                                                      << "0.000 x^2+0.000 x+4.200";
        QTest::newRow("law cancelled, layer confirmed") << "okButton"
                                                        << "cancelButton"
                                                        << "0.000 x^2+5.000 x+320.000";
    }
    void cancelOnEitherSideKeepsTheLaw()
    {
        QFETCH(QString, layerButton);
        QFETCH(QString, lawButton);
        QFETCH(QString, during);
        tervane::Document document = sampleDocument();
        const QByteArray layerPress = layerButton.toLatin1();
        const QByteArray lawPress = lawButton.toLatin1();
        QString shownDuring;
        Script script({[&](QDialog& dialog) {
                           child<QPushButton>(dialog, "TnButton")->click();
                           shownDuring = lawShown(dialog, "TnText");
                           return press(dialog, layerPress.constData());
                       },
                       enteringLaw("4.2", "0", "0", lawPress.constData())});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()),
                 layerButton == "okButton" ? LayerEditResult::Changed : LayerEditResult::Unchanged);
        QCOMPARE(shownDuring, during);
        QVERIFY(document.layers.front().Tn == sampleLayer().Tn);
    }

    void lawButtonKeepsWhatWasTyped()
    {
        tervane::Document document = sampleDocument();
        QString thicknessAfterCancel;
        QMap<QString, QString> afterOk;
        QStringList messages;
        Script script({[&](QDialog& dialog) {
                           type(dialog, "thicknessEdit", "123");
                           child<QCheckBox>(dialog, "holesCheck")->setChecked(true);
                           materialBox(dialog)->setCurrentText(QStringLiteral("GaN"));
                           child<QPushButton>(dialog, "TpButton")->click(); // law dialog cancelled
                           thicknessAfterCancel = shown(dialog, "thicknessEdit");
                           // A field that does not read: its message shows, the law is edited anyway,
                           // and the refresh puts back the value it had; the later fields keep theirs.
                           type(dialog, "NdEdit", "abc");
                           type(dialog, "NddEdit", "500");
                           child<QPushButton>(dialog, "TpButton")->click(); // law dialog confirmed
                           messages = sink_.messages;
                           afterOk = shownFields(dialog);
                           return press(dialog, "okButton");
                       },
                       pressing("cancelButton"), enteringLaw("250", "0", "0")});
        QCOMPARE(editLayer(nullptr, document, 0, script.runner()), LayerEditResult::Changed);
        QCOMPARE(script.captions, (QStringList{layerCaption, lawCaption, lawCaption}));
        QCOMPARE(thicknessAfterCancel, QStringLiteral("123"));
        QCOMPARE(messages, QStringList{notANumber});
        QCOMPARE(afterOk["thicknessEdit"], QStringLiteral("123"));
        QCOMPARE(afterOk["NdEdit"], QStringLiteral("1e+18"));
        QCOMPARE(afterOk["NddEdit"], QStringLiteral("500"));
        QCOMPARE(afterOk["materialBox"], QStringLiteral("GaN"));
        QCOMPARE(afterOk["holesCheck"], QStringLiteral("on"));

        const tervane::Layer& layer = document.layers.front();
        QVERIFY(nearlyEqual(layer.thickness, 1.23e-8));
        QCOMPARE(layer.Nd, 1e24);
        QCOMPARE(layer.Ndd, 5e8);
        QCOMPARE(layer.material, std::string("GaN"));
        QVERIFY(layer.holes);
        QVERIFY(layer.Tp == tervane::Quadratic(250.0, 0.0, 0.0));
    }
};

QTEST_MAIN(LayerEditingTest)
#include "layer_editing_test.moc"
