// The dialogs driven through their controls as their commands run them, nested dialogs answered by
// scripted runners: what the number fields read and what OK refuses, the units and conversions
// between what the dialogs show and what the document holds, the layer stack's commands and the
// materials editor. Run under QT_QPA_PLATFORM=offscreen.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/document.h"
#include "test_support.h"
#include "ui/dialogs/charge_view_properties_dialog.h"
#include "ui/dialogs/contacts_dialog.h"
#include "ui/dialogs/cv_dialog.h"
#include "ui/dialogs/enter_quadratic_dialog.h"
#include "ui/dialogs/export_figure_dialog.h"
#include "ui/dialogs/law_text.h"
#include "ui/dialogs/layer_properties_dialog.h"
#include "ui/dialogs/material_properties_dialog.h"
#include "ui/dialogs/solver_properties_dialog.h"
#include "ui/dialogs/substrate_properties_dialog.h"
#include "ui/dialogs/temperature_dialog.h"
#include "ui/dialogs/where_dialog.h"
#include "ui/document/layer_editing.h"
#include "ui/document/materials_editing.h"
#include "ui/document/tervane_doc.h"

using tervane::Layer;
using tervane::Material;
using tervane::Quadratic;

namespace {

// The conversions multiply by powers of ten, which need not be exact in binary.
constexpr double tolRelative = 1e-14;

template <class Dialog> std::unique_ptr<SettingsDialog> make()
{
    return std::make_unique<Dialog>();
}

// The materials editor on one material, so that it opens without asking for a name.
std::unique_ptr<SettingsDialog> editor()
{
    auto dialog = std::make_unique<CMaterialPropertiesDialog>();
    dialog->materials.resize(1);
    return dialog;
}

const QString layerCaption = QStringLiteral("Layer Properties");
const QString whereCaption = QStringLiteral("Where?");

// A layer with a distinct value in every field, in SI units.
Layer sampleLayer()
{
    Layer layer;
    layer.thickness = 2.5e-8;
    layer.dx = 1e-9;
    layer.Nd = 1e24;
    layer.Na = 3e23;
    layer.Ndd = 2e22;
    layer.Nda = 5e21;
    layer.composition = Quadratic(0.3, 0.0, 0.0);
    layer.Efn = Quadratic(0.1, 0.0, -0.125);
    layer.Efp = Quadratic(-0.5, 0.25, 0.0);
    layer.Tn = Quadratic(320.0, 5.0, 0.0);
    layer.Tp = Quadratic(310.0, 0.0, 0.0);
    layer.spare = 7.5;
    layer.relaxed = true;
    layer.strainFactor = 0.25;
    layer.material = "AlGaN";
    layer.holes = false;
    return layer;
}

// Three layers told apart by their thickness (10, 20 and 30 Angstrom) at 77 K, and two materials.
tervane::Document threeLayers()
{
    tervane::Document document;
    document.materials.resize(2);
    document.materials[0].name = "GaN";
    document.materials[1].name = "AlGaN";
    document.temperature = 77.0;
    for (const double angstrom : {10.0, 20.0, 30.0})
        document.layers.emplace_back().thickness = angstrom * 1e-10;
    return document;
}

// The sample layer after `steps` edited it; equal to `expected` but for the rounding of the units.
bool editedTo(std::vector<Step> steps, Layer expected)
{
    tervane::Document document = threeLayers();
    document.layers = {sampleLayer()};
    Script script{std::move(steps)};
    editLayer(nullptr, document, 0, script.runner());
    Layer& layer = document.layers.front();
    for (auto field : {&Layer::thickness, &Layer::dx, &Layer::Nd, &Layer::Na, &Layer::Ndd, &Layer::Nda})
        if (std::fabs(layer.*field - expected.*field) <= tolRelative * std::fabs(expected.*field))
            layer.*field = expected.*field;
    return layer == expected;
}

// The library's laws have three decimals; what is computed from them is compared to this.
constexpr double tolValue = 1e-12;

// What the editor shows: a law's text, or a list's entries and current one ("A B C: A").
QString seen(QWidget& dialog, const QString& name)
{
    if (auto* label = dialog.findChild<QLabel*>(name))
        return label->text();
    auto* box = childNamed<QComboBox>(dialog, name);
    QStringList names;
    for (int row = 0; row < box->count(); ++row)
        names.append(box->itemText(row));
    return names.join(' ') + ": " + box->currentText();
}

// Picks the entry as a user does: the selection changes and the list reports the activation.
void pick(QWidget& dialog, const char* list, const QString& text)
{
    auto* box = childNamed<QComboBox>(dialog, list);
    box->setCurrentIndex(box->findText(text));
    emit box->activated(box->currentIndex());
}

Material binary(const char* name, double dEc = 0)
{
    Material material;
    material.name = name;
    material.dEc = Quadratic(dEc, 0, 0);
    return material;
}

Step law(const char* a, const char* b = "0", const char* button = "okButton")
{
    return typing({{"aEdit", a}, {"bEdit", b}, {"cEdit", "0"}}, button);
}

// Setup Materials on `materials`: `steps` answer the editor and then each dialog it opens. True when
// it was left with OK.
bool setup(std::vector<Material>& materials, std::vector<Step> steps)
{
    tervane::Document document;
    document.materials = materials;
    Script script{std::move(steps)};
    const bool accepted = setupMaterials(nullptr, document, script.runner());
    materials = document.materials;
    return accepted;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink_;

  private slots:
    void initTestCase() { MessageSink::install(&sink_); }
    void init() { sink_.messages.clear(); }

    // ---- Number fields and the settings dialogs

    // The entries are typed in order and OK is pressed. A refused last entry shows its message, takes
    // the focus with its text selected and keeps the dialog open, and its field keeps its value.
    void okRefusesWhatAFieldCannotTake()
    {
        const QString numbers = QStringLiteral("Please enter a number between 0 and %1.");
        const QString integers = QStringLiteral("Please enter an integer between 0 and %1.");
        const QString notAnInteger = QStringLiteral("Please enter an integer.");
        const QString sweep = QStringLiteral("The Step must be greater than 0 for the sweep to reach Stop.");
        const struct {
            std::unique_ptr<SettingsDialog> (*make)();
            std::vector<std::pair<QString, QString>> typed;
            QString message; // empty: accepted
        } cases[] = {
            {make<CTemperatureDialog>, {{"temperatureEdit", " 1e4\t"}}, {}},
            {make<CTemperatureDialog>, {{"temperatureEdit", "-1"}}, numbers.arg(10000)},
            {make<CTemperatureDialog>, {{"temperatureEdit", "1e400"}}, notANumber},
            {make<CSolverPropertiesDialog>, {{"dampingEdit", "1.0001"}}, numbers.arg(1)},
            {make<CSolverPropertiesDialog>, {{"poissonIterationsEdit", "2001"}}, integers.arg(2000)},
            {make<CSolverPropertiesDialog>, {{"schroedingerIterationsEdit", "501"}}, integers.arg(500)},
            {make<CSolverPropertiesDialog>, {{"poissonIterationsEdit", "12.5"}}, notAnInteger},
            {make<CWhereDialog>, {{"positionEdit", "+1000000"}}, {}},
            {make<CWhereDialog>, {{"positionEdit", "-1"}}, integers.arg(1000000)},
            {make<CWhereDialog>, {{"positionEdit", "99999999999"}}, notAnInteger},
            {make<CCvDialog>, {{"startEdit", "2"}, {"stopEdit", "1"}, {"stepEdit", "-0.5"}}, {}},
            {make<CCvDialog>, {{"startEdit", "2"}, {"stopEdit", "1"}, {"stepEdit", "0"}}, sweep},
            {make<CCvDialog>, {{"startEdit", "0"}, {"stopEdit", "1"}, {"stepEdit", "-0.1"}}, sweep},
            {make<CLayerPropertiesDialog>, {{"strainFactorEdit", "1"}}, {}},
            {make<CLayerPropertiesDialog>, {{"strainFactorEdit", "1.0000001"}}, numbers.arg(1)},
            {make<CLayerPropertiesDialog>, {{"NdaEdit", "1,5"}}, notANumber},
            {make<CEnterQuadraticDialog>, {{"aEdit", "4"}, {"bEdit", "+-1"}}, notANumber},
            {make<CContactsDialog>, {{"rightBarrierEdit", "0.7 V"}}, notANumber},
            {make<CChargeViewPropertiesDialog>, {{"lowerLimitEdit", "inf"}}, notANumber},
            {make<CExportFigureDialog>,
             {{"widthEdit", "800"}, {"heightEdit", "600"}, {"dpiEdit", "300"}},
             {}},
            {make<CExportFigureDialog>,
             {{"widthEdit", "99"}},
             "Please enter an integer between 100 and 20000."},
            {make<CSubstratePropertiesDialog>, {{"compositionEdit", "0x10"}}, notANumber},
            {editor, {{"deepDonorBackgroundEdit", "nan"}}, notANumber},
        };
        for (const auto& c : cases) {
            sink_.messages.clear();
            const std::unique_ptr<SettingsDialog> dialog = c.make();
            dialog->show();
            QApplication::setActiveWindow(dialog.get());
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
            const auto& [field, text] = c.typed.back();
            const QString before = shown(*dialog, field);
            const int result = typing(c.typed)(*dialog);
            const QByteArray row = (dialog->windowTitle() + ": " + text).toUtf8();
            QVERIFY2(result == (c.message.isEmpty() ? int(QDialog::Accepted) : -1), row);
            QCOMPARE(sink_.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
            if (c.message.isEmpty())
                continue;
            QCOMPARE(QApplication::focusWidget(), childNamed(*dialog, field));
            QCOMPARE(childNamed(*dialog, field)->selectedText(), text);
            dialog->updateControls();
            QVERIFY2(shown(*dialog, field) == before, row);
        }
    }

    // A number is shown with the fewest digits that read back as the same double, or, in display
    // units, as the same stored double; a law's coefficients keep their decimals and add those they
    // need. Every text reads back bit for bit.
    void numbersShownToTheirStoredPrecision()
    {
        const auto angstrom = [](double shown) { return shown * 1e-10; };
        const struct {
            double value;
            const char* text;
            std::function<double(double)> toStored = {};
        } numbers[] = {
            {-0.029, "-0.029"},
            {3.189, "3.189"},
            {1e-10, "1e-10"},
            {0.1 + 0.2, "0.30000000000000004"},
            {6.02214076e23, "6.02214076e+23"},
            {1000.0, "1000"},
            {2.5e-8 * 1e10, "250", angstrom}, // 250.00000000000003 Angstrom, stored as 2.5e-8 m
        };
        for (const auto& n : numbers) {
            const QString text = n.toStored ? NumberEdit::formatNumber(n.value, n.toStored)
                                            : NumberEdit::formatNumber(n.value);
            QCOMPARE(text, QString::fromLatin1(n.text));
            double read = 0.0;
            QVERIFY(NumberEdit::parseNumber(text, read));
            const auto stored = n.toStored ? n.toStored : [](double shown) { return shown; };
            QCOMPARE(std::bit_cast<std::uint64_t>(stored(read)),
                     std::bit_cast<std::uint64_t>(stored(n.value)));
        }
        QCOMPARE(materialLawText(Quadratic(-0.029, -0.052, 0)), QStringLiteral("-0.029+-0.052x+0.00x^2"));
        QCOMPARE(layerLawText(Quadratic(300, 0, 1e-30)), QStringLiteral("1e-30 x^2+0.000 x+300.000"));
    }

    // Each side keeps to its own contact: a Fixed one shows and takes its barrier, one of a kind the
    // dialog does not know shows neither button and 0 and becomes Neutral, keeping its barrier.
    void contactsKeepEachSideApart()
    {
        tervane::Document document;
        document.grid.leftContact = tervane::ContactKind::Fixed;
        document.grid.leftBarrier = 0.8;
        document.grid.rightContact = static_cast<tervane::ContactKind>(7);
        document.grid.rightBarrier = 0.3;
        QStringList opened;
        QVERIFY(editSettings<CContactsDialog>(nullptr, document, [&opened](QDialog& dialog) {
            dialog.show();
            for (const QString side : {"left", "right"})
                opened << QString::number(childNamed<QRadioButton>(dialog, side + "Neutral")->isChecked())
                       << QString::number(childNamed<QRadioButton>(dialog, side + "Fixed")->isChecked())
                       << shown(dialog, side + "BarrierEdit");
            childNamed<QRadioButton>(dialog, "leftNeutral")->click();
            childNamed<QRadioButton>(dialog, "rightFixed")->click();
            return typing({{"leftBarrierEdit", "5"}, {"rightBarrierEdit", "-0.5"}})(dialog);
        }));
        QCOMPARE(opened, (QStringList{"0", "1", "0.8", "0", "0", "0"}));
        QCOMPARE(document.grid.leftContact, tervane::ContactKind::Neutral);
        QCOMPARE(document.grid.leftBarrier, 0.8);
        QCOMPARE(document.grid.rightContact, tervane::ContactKind::Fixed);
        QCOMPARE(document.grid.rightBarrier, -0.5);
    }

    // The passes and the quantum region reach the document, its depths in nm shown and m stored; a
    // region whose end does not lie beyond its start is refused.
    void solverPassesAndQuantumRegion()
    {
        tervane::Document document;
        QStringList refused;
        QVERIFY(editSettings<CSolverPropertiesDialog>(nullptr, document, [&](QDialog& dialog) {
            dialog.show();
            childNamed<QComboBox>(dialog, "selfConsistencyCombo")->setCurrentIndex(1);
            childNamed<QCheckBox>(dialog, "quantumRegionCheck")->click();
            typing({{"quantumFromEdit", "50"}, {"quantumToEdit", "50"}})(dialog);
            refused = sink_.messages;
            return typing({{"quantumFromEdit", "12.5"}, {"quantumToEdit", "80"}})(dialog);
        }));
        QCOMPARE(refused.size(), 1);
        const tervane::SchroedingerSettings& settings = document.schroedingerSettings;
        QCOMPARE(settings.selfConsistency, tervane::SelfConsistency::Accelerated);
        QVERIFY(settings.quantumRegion);
        QVERIFY(std::fabs(settings.quantumFrom - 12.5e-9) < 1e-20);
        QVERIFY(std::fabs(settings.quantumTo - 80e-9) < 1e-20);
    }

    // Limits are shown in cm^-3 and stored in m^-3, unless auto scale is on: it shows the limits it
    // draws (before any solve 1e15 to 1e20 cm^-3) and keeps the stored ones.
    void chargeViewLimitsInPerCubicCentimetre()
    {
        for (const bool autoScale : {false, true}) {
            CTervaneDoc document;
            document.core.chargeView.lower = 1e21;
            document.core.chargeView.upper = 3e26;
            document.core.chargeView.autoScale = autoScale;
            QStringList opened;
            QVERIFY(editSettings<CChargeViewPropertiesDialog>(nullptr, document, [&opened](QDialog& dialog) {
                dialog.show();
                opened = {shown(dialog, "lowerLimitEdit"), shown(dialog, "upperLimitEdit")};
                childNamed<QCheckBox>(dialog, "logScaleCheck")->click();
                return typing({{"lowerLimitEdit", "1e16"}, {"upperLimitEdit", "5e19"}})(dialog);
            }));
            QCOMPARE(opened, (QStringList{"1e+15", autoScale ? "1e+20" : "3e+20"}));
            QVERIFY(std::fabs(document.core.chargeView.lower / (autoScale ? 1e21 : 1e22) - 1) <= tolRelative);
            QVERIFY(std::fabs(document.core.chargeView.upper / (autoScale ? 3e26 : 5e25) - 1) <= tolRelative);
            QVERIFY(document.core.chargeView.logScale && document.core.chargeView.autoScale == autoScale);
        }
    }

    // ---- Layers

    // Lengths are shown in Angstrom and densities in cm^-3, typed values are stored in m and m^-3,
    // and the layer keeps its spare value and its other laws. A law button opens "Enter Quadratic" on
    // its own law, and what was typed before stays. OK without a change keeps the layer.
    void fieldsShowAndStoreTheirUnits()
    {
        const struct {
            const char* field;
            double Layer::*member;
            const char* shown; // the sample layer's value
            const char* typed;
            double stored;
        } fields[] = {{"thicknessEdit", &Layer::thickness, "250", "120", 1.2e-8},
                      {"dxEdit", &Layer::dx, "10", "5", 5e-10},
                      {"NdEdit", &Layer::Nd, "1e+18", "2.5e17", 2.5e23},
                      {"NaEdit", &Layer::Na, "3e+17", "1e15", 1e21},
                      {"NddEdit", &Layer::Ndd, "2e+16", "3e16", 3e22},
                      {"NdaEdit", &Layer::Nda, "5e+15", "-1", -1e6},
                      {"strainFactorEdit", &Layer::strainFactor, "0.25", "1", 1.0}};
        Layer expected = sampleLayer();
        std::vector<std::pair<QString, QString>> typed;
        for (const auto& f : fields) {
            expected.*f.member = f.stored;
            typed.emplace_back(f.field, f.typed);
        }
        expected.material = "GaN";
        expected.relaxed = false;
        expected.holes = true;
        expected.Efp = Quadratic(0.1, -0.2, 0.05);
        expected.Tn = Quadratic(77.0, 1.0, 0.0);
        QStringList opened;
        QVERIFY(editedTo({[&](QDialog& dialog) {
                              for (const auto& f : fields)
                                  opened << shown(dialog, f.field) << f.shown;
                              childNamed<QComboBox>(dialog, "materialBox")->setCurrentText("GaN");
                              childNamed<QCheckBox>(dialog, "relaxedCheck")->toggle();
                              childNamed<QCheckBox>(dialog, "holesCheck")->toggle();
                              typing(typed, "EfpButton")(dialog);
                              pressButton(dialog, "TnButton");
                              opened << seen(dialog, "TnText") << "0.000 x^2+1.000 x+77.000";
                              return pressButton(dialog, "okButton");
                          },
                          [&opened](QDialog& dialog) {
                              opened << shown(dialog, "aEdit") + " " + shown(dialog, "bEdit") << "-0.5 0.25";
                              return typing({{"aEdit", "0.1"}, {"bEdit", "-0.2"}, {"cEdit", "0.05"}})(dialog);
                          },
                          law("77", "1")},
                         expected));
        for (qsizetype i = 0; i < opened.size(); i += 2)
            QCOMPARE(opened[i], opened[i + 1]);
        QVERIFY(editedTo({typing({})}, sampleLayer()));
    }

    // What New, Insert (through "Where?" and at a position given), Delete and Cancel leave of layers of
    // 10, 20 and 30 Angstrom. Position 3 appends; one beyond is refused with a message. A new layer is
    // 10 Angstrom apart, its Tn and Tp at the document's 77 K, with holes and nothing else.
    void stackCommands()
    {
        const auto thickness = [](const char* angstrom, const char* button = "okButton") {
            return typing({{"thicknessEdit", angstrom}}, button);
        };
        const auto position = [](const char* text) { return typing({{"positionEdit", text}}); };
        const QStringList both = {whereCaption, layerCaption};
        const struct {
            const char* command;
            std::vector<Step> steps;
            QStringList captions;
            QList<int> angstroms; // afterwards; empty when unchanged
            int added;            // the new layer's index, or -1
            QString message = {};
        } cases[] = {
            {"new", {thickness("40")}, {layerCaption}, {10, 20, 30, 40}, 3},
            {"insert", {position("0"), thickness("99")}, both, {99, 10, 20, 30}, 0},
            {"insert", {position("2"), thickness("99")}, both, {10, 20, 99, 30}, 2},
            {"insert", {position("3"), thickness("99")}, both, {10, 20, 30, 99}, 3},
            {"insert",
             {position("4"), thickness("99")},
             {whereCaption},
             {},
             -1,
             "There is no position 4: the structure has 3 layers, so a new layer goes in at a position from "
             "0 "
             "(first) to 3 (after the last)."},
            {"at 1", {thickness("99")}, {layerCaption}, {10, 99, 20, 30}, 1},
            {"at 3", {thickness("99")}, {layerCaption}, {10, 20, 30, 99}, 3},
            {"at 4", {thickness("99")}, {}, {}, -1},
            {"at -1", {thickness("99")}, {}, {}, -1},
            {"insert", {typing({}, "cancelButton")}, {whereCaption}, {}, -1},
            {"insert", {position("0"), thickness("55", "cancelButton")}, both, {}, -1},
            {"new", {thickness("55", "cancelButton")}, {layerCaption}, {}, -1},
            {"edit 1", {thickness("55", "cancelButton")}, {layerCaption}, {}, -1},
            {"edit 0", {typing({}, "deleteButton")}, {layerCaption}, {20, 30}, -1},
            {"edit 3", {typing({}, "deleteButton")}, {}, {}, -1},
        };
        for (const auto& c : cases) {
            sink_.messages.clear();
            tervane::Document document = threeLayers();
            Script script{c.steps};
            const QString command = QString::fromLatin1(c.command);
            const int index = command.section(' ', 1).toInt();
            const LayerEditResult result =
                command == "new"           ? layersNew(nullptr, document, script.runner())
                : command == "insert"      ? layersInsert(nullptr, document, script.runner())
                : command.startsWith("at") ? insertLayerAt(nullptr, document, index, script.runner())
                                           : editLayer(nullptr, document, index, script.runner());
            QCOMPARE(script.captions, c.captions);
            QCOMPARE(sink_.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
            QCOMPARE(result, c.angstroms.isEmpty() ? LayerEditResult::Unchanged : LayerEditResult::Changed);
            QList<int> angstroms;
            for (const Layer& layer : document.layers)
                angstroms.append(qRound(layer.thickness * 1e10));
            QCOMPARE(angstroms, (c.angstroms.isEmpty() ? QList<int>{10, 20, 30} : c.angstroms));
            if (c.added < 0)
                continue;
            Layer expected;
            expected.thickness = document.layers[std::size_t(c.added)].thickness;
            expected.Tn = expected.Tp = Quadratic(77.0, 0.0, 0.0);
            expected.dx = 1e-9;
            QVERIFY(document.layers[std::size_t(c.added)] == expected);
        }
    }

    // ---- Materials

    // dEc is shown and entered against the reference picked, another Binary material, and stored
    // absolute. A = 0, B = 1 + 0.75x, C = 0.5 + 0.25x (Ternary until made Binary): A against B reads
    // -1 - 0.75x; B against A reads 1 + 0.75x, and 2 entered there stores 2; C against that B reads
    // -1.5 + 0.25x, and 0.25 (with 0.25x) entered there stores 2.25 + 0.25x.
    void dEcIsShownAndEnteredRelativeToTheReference()
    {
        std::vector<Material> materials = {binary("C", 0.5), binary("A"), binary("B", 1)};
        materials[0].dEc.b = 0.25;
        materials[0].type = tervane::Ternary;
        materials[2].dEc.b = 0.75;
        QStringList shown;
        QVERIFY(setup(materials, {[&shown](QDialog& dialog) {
                                      shown << seen(dialog, "materialList") << seen(dialog, "referenceList")
                                            << seen(dialog, "dEcText");
                                      pick(dialog, "materialList", "B");
                                      shown << seen(dialog, "dEcText");
                                      pressButton(dialog, "dEcButton");
                                      pick(dialog, "materialList", "C");
                                      pick(dialog, "referenceList", "B");
                                      shown << seen(dialog, "dEcText");
                                      pick(dialog, "referenceList", "A"); // there and back: no drift
                                      pick(dialog, "referenceList", "B");
                                      pressButton(dialog, "dEcButton");
                                      childNamed<QRadioButton>(dialog, "binaryButton")->click();
                                      pick(dialog, "materialList", "A");
                                      shown << seen(dialog, "referenceList");
                                      return pressButton(dialog, "okButton");
                                  },
                                  law("2"), law("0.25", "0.25")}));
        QCOMPARE(shown, (QStringList{"A B C: A", "B: B", "-1.00+-0.75x+0.00x^2", "1.00+0.75x+0.00x^2",
                                     "-1.50+0.25x+0.00x^2", "B C: B"}));
        QCOMPARE(materials[0].dEc, Quadratic(2.25, 0.25, 0));
        QCOMPARE(materials[0].type, int(tervane::Binary));
        QCOMPARE(materials[1].dEc, Quadratic(0, 0, 0));
        QCOMPARE(materials[2].dEc, Quadratic(2, 0, 0));
    }

    // A session of edits: a rename cancelled, a law, the type, a rename that re-sorts the list, a
    // background typed and stored by New, which adds an all-zero material shown against the only
    // Binary left, a polarization law, and a material deleted. OK keeps the outcome; Cancel leaves the
    // list exactly as it was.
    void editorSessionKeptOnOkOnly()
    {
        for (const char* close : {"okButton", "cancelButton"}) {
            const std::vector<Material> before = {binary("A"), binary("B", 1)};
            std::vector<Material> materials = before;
            QStringList shown;
            const Step session = [&shown, close](QDialog& dialog) {
                pressButton(dialog, "renameButton");
                pressButton(dialog, "EgButton");
                childNamed<QRadioButton>(dialog, "ternaryButton")->click();
                pressButton(dialog, "renameButton");
                shown << seen(dialog, "materialList");
                pick(dialog, "materialList", "Z");
                childNamed<QLineEdit>(dialog, "shallowDonorBackgroundEdit")->setText("5e17");
                pressButton(dialog, "newButton");
                shown << seen(dialog, "materialList") << seen(dialog, "dEcText");
                pressButton(dialog, "polarizationButton");
                pick(dialog, "materialList", "B");
                pressButton(dialog, "deleteButton");
                shown << seen(dialog, "materialList");
                return pressButton(dialog, close);
            };
            const Step polarization = [](QDialog& dialog) {
                pressButton(dialog, "PspButton");
                return pressButton(dialog, "okButton");
            };
            const bool ok = QString(close) == "okButton";
            QCOMPARE(setup(materials, {session, typing({{"nameEdit", "X"}}, "cancelButton"), law("3", "0.5"),
                                       typing({{"nameEdit", "Z"}}), typing({{"nameEdit", "N"}}), polarization,
                                       law("-0.03", "0.01")}),
                     ok);
            QCOMPARE(shown, (QStringList{"B Z: B", "B N Z: N", "-1.00+0.00x+0.00x^2", "N Z: N"}));
            Material z = binary("Z");
            z.type = tervane::Ternary;
            z.Eg = Quadratic(3, 0.5, 0);
            z.NdBackground = 5e17;
            Material n = binary("N");
            n.polarization.Psp = Quadratic(-0.03, 0.01, 0);
            QCOMPARE(materials, (ok ? std::vector<Material>{z, n} : before));
        }
    }

    // Looking through every material and leaving with OK keeps each value bit for bit, backgrounds of
    // 17 significant digits included.
    void editorOkWithoutChangeKeepsEveryValue()
    {
        std::vector<Material> materials = standardLibrary();
        materials[0].NdBackground = 0.1 + 0.2;
        materials[1].NaBackground = 6.02214076e23;
        materials[1].NddBackground = 1.2345678901234567e17;
        const std::vector<Material> before = materials;
        QVERIFY(setup(materials, {[&before](QDialog& dialog) {
                          for (const Material& material : before)
                              pick(dialog, "materialList", QString::fromStdString(material.name));
                          return pressButton(dialog, "okButton");
                      }}));
        QVERIFY(materials == before);
    }

    // a and Psp follow the substrate's laws at its composition: AlGaN has a = 3.189 - 0.077x and
    // Psp = -0.029 - 0.052x, 3.16975 and -0.042 at x = 0.25. They are recomputed when a material is
    // picked or the composition field is left, not while typing; a composition that is no number keeps
    // the previous one, and OK waits for a number. OK reports a and Psp.
    void substrateFollowsTheMaterialsLaws()
    {
        tervane::Document doc;
        QVERIFY(!chooseSubstrate(nullptr, doc, typing({})));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("Load a materials file first")});
        doc.materials = standardLibrary();
        doc.substrateMaterial = "algan";
        QStringList values;
        QVERIFY(chooseSubstrate(nullptr, doc, [this, &values](QDialog& dialog) {
            const auto& substrate = static_cast<CSubstratePropertiesDialog&>(dialog);
            dialog.show();
            QApplication::setActiveWindow(&dialog);
            if (!QTest::qWaitForWindowActive(&dialog))
                return int(QDialog::Rejected);
            NumberEdit* composition = childNamed(dialog, "compositionEdit");
            composition->setFocus();
            composition->selectAll();
            QTest::keyClicks(composition, QStringLiteral("0.25"));
            values << seen(dialog, "materialBox").section(": ", 1) << QString::number(substrate.substrateA);
            childNamed<QComboBox>(dialog, "materialBox")->setFocus();
            values << QString::number(substrate.substrateA) << QString::number(substrate.substratePsp);
            sink_.messages.clear();
            composition->setText(QStringLiteral("x"));
            pick(dialog, "materialBox", "AlGaN");
            values << sink_.messages << QString::number(substrate.substrateA)
                   << QString::number(pressButton(dialog, "okButton"));
            sink_.messages.clear();
            return typing({{"compositionEdit", "0.25"}})(dialog);
        }));
        QCOMPARE(values, (QStringList{"AlGaN", "3.189", "3.16975", "-0.042", notANumber, "3.16975", "-1"}));
        QCOMPARE(doc.substrateMaterial, std::string("AlGaN"));
        QCOMPARE(doc.substrateX, 0.25);
        QVERIFY(std::fabs(doc.substrateA - 3.16975) <= tolValue);
        QVERIFY(std::fabs(doc.substratePsp + 0.042) <= tolValue);
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.169750 Psp: -0.042000")});
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
