// The materials editor and the substrate choice driven through their controls, as the Setup Materials
// and Substrate commands run them: every nested dialog is answered by a scripted runner instead of
// blocking. Run under QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <array>
#include <cmath>
#include <deque>
#include <functional>
#include <optional>

#include "dialog_test_support.h"
#include "io/materials_toml.h"
#include "engine/document.h"
#include "ui/enter_quadratic_dialog.h"
#include "ui/material_name_dialog.h"
#include "ui/material_properties_dialog.h"
#include "ui/materials_editing.h"
#include "ui/message_sink.h"
#include "ui/number_edit.h"
#include "ui/polarization_properties_dialog.h"
#include "ui/substrate_properties_dialog.h"

using tervane::Material;
using tervane::Quadratic;

namespace {

constexpr double tolValue = 1e-12;

const QString notANumber = QStringLiteral("Please enter a number.");

QString textOf(QWidget& dialog, const char* name)
{
    return childNamed<QLabel>(dialog, name)->text();
}

QComboBox* box(QWidget& dialog, const char* name)
{
    return childNamed<QComboBox>(dialog, name);
}

QStringList entries(QComboBox* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->itemText(row));
    return names;
}

// Picks the entry as a user does: the selection changes and the list reports the activation.
void pick(QComboBox* list, const QString& text)
{
    const int row = list->findText(text);
    if (row < 0)
        qFatal("no entry %s", qPrintable(text));
    list->setCurrentIndex(row);
    emit list->activated(row);
}

void click(QWidget& dialog, const char* name)
{
    childNamed<QPushButton>(dialog, name)->click();
}

Material binary(const char* name, Quadratic dEc)
{
    Material material;
    material.name = name;
    material.type = tervane::Binary;
    material.dEc = dEc;
    return material;
}

bool near(double actual, double expected)
{
    return std::fabs(actual - expected) <= tolValue;
}

std::vector<Material> standardLibrary()
{
    std::vector<Material> materials;
    const bool ok =
        tervane::loadMaterialsTomlFile(TERVANE_SOURCE_DIR "/examples/materials/standard.toml", materials).ok;
    if (!ok)
        qFatal("standard library not readable");
    return materials;
}

using Law = std::array<QString, 3>;

Law law(const char* a, const char* b, const char* c)
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c)};
}

// Answers every dialog of a command. The main dialog runs `editor` (or `substrate`) and returns the
// result it was closed with; "Material Name" and "Enter Quadratic" take their answers from queues,
// an empty optional meaning Cancel; "Polarization Properties" runs `polarization`.
struct Script {
    std::function<void(CMaterialPropertiesDialog&)> editor;
    std::function<void(CSubstratePropertiesDialog&)> substrate;
    std::function<void(CPolarizationPropertiesDialog&)> polarization;
    std::deque<std::optional<QString>> names;
    std::deque<std::optional<Law>> laws;
    QStringList namesOpenedWith;
    QList<Law> lawsOpenedWith;

    int operator()(QDialog& dialog)
    {
        dialog.show();
        if (auto* editorDialog = qobject_cast<CMaterialPropertiesDialog*>(&dialog)) {
            if (editor)
                editor(*editorDialog);
        } else if (auto* substrateDialog = qobject_cast<CSubstratePropertiesDialog*>(&dialog)) {
            if (substrate)
                substrate(*substrateDialog);
        } else if (auto* polarizationDialog = qobject_cast<CPolarizationPropertiesDialog*>(&dialog)) {
            if (polarization)
                polarization(*polarizationDialog);
        } else if (qobject_cast<CMaterialNameDialog*>(&dialog)) {
            auto* edit = childNamed<QLineEdit>(dialog, "nameEdit");
            namesOpenedWith.append(edit->text());
            if (names.empty())
                qFatal("unexpected Material Name");
            const std::optional<QString> answer = names.front();
            names.pop_front();
            if (answer)
                edit->setText(*answer);
            click(dialog, answer ? "okButton" : "cancelButton");
        } else if (qobject_cast<CEnterQuadraticDialog*>(&dialog)) {
            const std::array<QLineEdit*, 3> edits = {childNamed<QLineEdit>(dialog, "aEdit"),
                                                     childNamed<QLineEdit>(dialog, "bEdit"),
                                                     childNamed<QLineEdit>(dialog, "cEdit")};
            lawsOpenedWith.append({edits[0]->text(), edits[1]->text(), edits[2]->text()});
            if (laws.empty())
                qFatal("unexpected Enter Quadratic");
            const std::optional<Law> answer = laws.front();
            laws.pop_front();
            for (std::size_t i = 0; answer && i < 3; ++i)
                edits[i]->setText((*answer)[i]);
            click(dialog, answer ? "okButton" : "cancelButton");
        }
        dialog.hide();
        return dialog.result();
    }

    ExecHook hook()
    {
        return [this](QDialog& dialog) { return (*this)(dialog); };
    }
};

} // namespace

class MaterialsEditingTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink_;
    MessageSink* previousSink_ = nullptr;

  private slots:
    void initTestCase() { previousSink_ = MessageSink::install(&sink_); }
    void cleanupTestCase() { MessageSink::install(previousSink_); }
    void init() { sink_.messages.clear(); }

    // ---- Material Properties

    // dEc is shown and entered relative to the reference picked and stored absolute. A = 0,
    // B = 1 + 0.75x, C = 0.5 + 0.25x: A against B reads -1 - 0.75x; B against A reads 1 + 0.75x, and 2
    // entered there stores 2; C against that B reads -1.5 + 0.25x, and 0.25 entered there stores 2.25.
    void dEcIsShownAndEnteredRelativeToTheReference()
    {
        tervane::Document doc;
        doc.materials = {binary("C", Quadratic(0.5, 0.25, 0)), binary("A", Quadratic(0, 0, 0)),
                         binary("B", Quadratic(1, 0.75, 0))};
        Script script;
        script.laws = {law("2", "0", "0"), law("0.25", "0", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QComboBox* materials = box(dialog, "materialList");
            QComboBox* references = box(dialog, "referenceList");
            // The sorted list opens on its first entry.
            QCOMPARE(entries(materials), (QStringList{"A", "B", "C"}));
            QCOMPARE(materials->currentText(), QStringLiteral("A"));
            QCOMPARE(entries(references), (QStringList{"B", "C"}));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.00+-0.75x+0.00x^2"));
            pick(materials, QStringLiteral("B"));
            QCOMPARE(references->currentText(), QStringLiteral("A"));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("1.00+0.75x+0.00x^2"));
            click(dialog, "dEcButton");
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("2.00+0.00x+0.00x^2"));
            pick(materials, QStringLiteral("C"));
            pick(references, QStringLiteral("B"));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.50+0.25x+0.00x^2"));
            // To A and back to B: nothing drifts.
            pick(references, QStringLiteral("A"));
            QCOMPARE(dialog.workingCopy.dEc, Quadratic(0.5, 0.25, 0));
            pick(references, QStringLiteral("B"));
            click(dialog, "dEcButton");
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        // The law dialog opens on the relative value.
        QCOMPARE(script.lawsOpenedWith, (QList<Law>{law("1", "0.75", "0"), law("-1.5", "0.25", "0")}));
        QCOMPARE(doc.materials[0].dEc, Quadratic(2.25, 0, 0));
        QCOMPARE(doc.materials[1].dEc, Quadratic(0, 0, 0));
        QCOMPARE(doc.materials[2].dEc, Quadratic(2, 0, 0));
    }

    // Only Binary materials are references, for Ternary materials as well; with none, dEc is shown as
    // stored.
    void onlyBinaryMaterialsAreReferences()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", Quadratic(0.5, 0, 0)), binary("C", {})};
        doc.materials[2].type = tervane::Ternary;
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QComboBox* materials = box(dialog, "materialList");
            QComboBox* references = box(dialog, "referenceList");
            QCOMPARE(entries(references), QStringList{"B"});
            pick(materials, QStringLiteral("C"));
            QVERIFY(childNamed<QRadioButton>(dialog, "ternaryButton")->isChecked());
            QCOMPARE(entries(references), (QStringList{"A", "B"}));
            // A turned Ternary leaves B's reference list once it is stored, which picking B does.
            pick(materials, QStringLiteral("A"));
            childNamed<QRadioButton>(dialog, "ternaryButton")->click();
            pick(materials, QStringLiteral("B"));
            QVERIFY(entries(references).isEmpty());
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("0.50+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials[0].type, int(tervane::Ternary));
        QCOMPARE(doc.materials[1].type, int(tervane::Binary));
    }

    // A background that is not a number: OK shows the request and stays open; the deep acceptor
    // background, read before it, is taken all the same; fixed, OK closes.
    void okWaitsForNumbers()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {})};
        Script script;
        script.editor = [this](CMaterialPropertiesDialog& dialog) {
            childNamed(dialog, "deepAcceptorBackgroundEdit")->setText(QStringLiteral("4e16"));
            childNamed(dialog, "deepDonorBackgroundEdit")->setText(QStringLiteral("lots"));
            childNamed(dialog, "shallowDonorBackgroundEdit")->setText(QStringLiteral("5e17"));
            click(dialog, "okButton");
            QCOMPARE(sink_.messages, QStringList{notANumber});
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.materials[0].NdaBackground, 4e16);
            QCOMPARE(dialog.materials[0].NdBackground, 0.0);
            childNamed(dialog, "deepDonorBackgroundEdit")->setText(QStringLiteral("6e15"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials[0].NdaBackground, 4e16);
        QCOMPARE(doc.materials[0].NddBackground, 6e15);
        QCOMPARE(doc.materials[0].NdBackground, 5e17);
    }

    // New, a law, a typed background stored by a pick, Delete and Rename, then Cancel: the list is
    // exactly as it was.
    void cancelLeavesTheListAsItWas()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        const std::vector<Material> original = doc.materials;
        Script script;
        script.names = {QStringLiteral("Mine"), QStringLiteral("Renamed"), std::nullopt};
        script.laws = {law("9", "9", "9")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QComboBox* materials = box(dialog, "materialList");
            click(dialog, "newButton");
            QCOMPARE(materials->currentText(), QStringLiteral("Mine"));
            pick(materials, QStringLiteral("AlN"));
            childNamed(dialog, "shallowDonorBackgroundEdit")->setText(QStringLiteral("2e17"));
            pick(materials, QStringLiteral("GaN"));
            click(dialog, "EgButton");
            click(dialog, "deleteButton");
            QVERIFY(materials->findText(QStringLiteral("GaN")) < 0);
            click(dialog, "renameButton");
            // A cancelled New adds nothing.
            const int count = materials->count();
            click(dialog, "newButton");
            QCOMPARE(materials->count(), count);
            click(dialog, "cancelButton");
        };
        QVERIFY(!setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials, original);
        QVERIFY(script.names.empty());
    }

    // Every material is shown and stored once; the relative dEc goes there and back without drift.
    void okWithoutChangesGivesTheSameList()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        const std::vector<Material> original = doc.materials;
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QComboBox* materials = box(dialog, "materialList");
            for (const QString& name : entries(materials))
                pick(materials, name);
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials.size(), original.size());
        for (std::size_t i = 0; i < original.size(); ++i) {
            Material material = doc.materials[i];
            for (auto term : {&Quadratic::a, &Quadratic::b, &Quadratic::c})
                QVERIFY(near(material.dEc.*term, original[i].dEc.*term));
            material.dEc = original[i].dEc;
            QCOMPARE(material, original[i]);
        }
    }

    // Rename and New store the material shown before the list changes, and rebuild the sorted list. A
    // cancelled rename keeps the name; the new material is all zero, against the only Binary left.
    void renameAndNewStoreTheShownMaterialFirst()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", Quadratic(1, 0, 0))};
        Script script;
        script.names = {std::nullopt, QStringLiteral("Z"), QStringLiteral("N")};
        script.laws = {law("3", "0.5", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QComboBox* materials = box(dialog, "materialList");
            click(dialog, "renameButton");
            QCOMPARE(entries(materials), (QStringList{"A", "B"}));
            click(dialog, "EgButton");
            childNamed<QRadioButton>(dialog, "ternaryButton")->click();
            click(dialog, "renameButton");
            QCOMPARE(entries(materials), (QStringList{"B", "Z"}));
            QCOMPARE(materials->currentText(), QStringLiteral("B"));
            childNamed(dialog, "shallowDonorBackgroundEdit")->setText(QStringLiteral("5e17"));
            click(dialog, "newButton");
            QCOMPARE(materials->currentText(), QStringLiteral("N"));
            QCOMPARE(dialog.shownMaterial, 2);
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.00+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(script.namesOpenedWith, (QStringList{"A", "A", "New"}));
        Material z = binary("Z", {});
        z.type = tervane::Ternary;
        z.Eg = Quadratic(3, 0.5, 0);
        Material b = binary("B", Quadratic(1, 0, 0));
        b.NdBackground = 5e17;
        Material n;
        n.name = "N";
        QCOMPARE(doc.materials, (std::vector<Material>{z, b, n}));
    }

    void deletingMovesLaterMaterialsUp()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", Quadratic(1, 0, 0)), binary("C", Quadratic(2, 0, 0))};
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            click(dialog, "deleteButton");
            QCOMPARE(box(dialog, "materialList")->currentText(), QStringLiteral("B"));
            QCOMPARE(dialog.shownMaterial, 0);
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.00+0.00x+0.00x^2")); // against C now
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials,
                 (std::vector<Material>{binary("B", Quadratic(1, 0, 0)), binary("C", Quadratic(2, 0, 0))}));
    }

    // Deleting the only material, or opening on an empty list, asks for a name first; Cancel names
    // the new material "New".
    void anEmptyListStartsWithANamedMaterial()
    {
        const struct {
            bool startsEmpty;
            std::optional<QString> answer;
            const char* name;
        } cases[] = {
            {false, std::nullopt, "New"}, {true, std::nullopt, "New"}, {true, "GaN", "GaN"}, {true, "", ""}};
        for (const auto& c : cases) {
            tervane::Document doc;
            if (!c.startsEmpty)
                doc.materials = {binary("GaN", Quadratic(1, 2, 3))};
            Script script;
            script.names = {c.answer};
            script.editor = [&c](CMaterialPropertiesDialog& dialog) {
                if (!c.startsEmpty)
                    click(dialog, "deleteButton");
                QCOMPARE(dialog.materials.size(), std::size_t(1));
                click(dialog, "okButton");
            };
            QVERIFY(setupMaterials(nullptr, doc, script.hook()));
            Material expected;
            expected.name = c.name;
            QCOMPARE(doc.materials, std::vector<Material>{expected});
        }
    }

    // OK in "Polarization Properties" stores its laws, Cancel drops them.
    void polarizationLawsEditedThroughTheirDialog()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.laws = {law("-0.03", "0.01", "0"), law("1", "1", "1"), law("3.2", "-0.1", "0")};
        script.polarization = [&script](CPolarizationPropertiesDialog& dialog) {
            const bool first = script.laws.size() == 3;
            click(dialog, first ? "PspButton" : "aButton");
            if (first)
                click(dialog, "e33Button");
            click(dialog, first ? "okButton" : "cancelButton");
        };
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            pick(box(dialog, "materialList"), QStringLiteral("GaN"));
            click(dialog, "polarizationButton");
            click(dialog, "polarizationButton");
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        // The law dialog opened on GaN's spontaneous polarization from the library.
        QCOMPARE(script.lawsOpenedWith.front(), law("-0.029", "0", "0"));
        const Material* gan = tervane::findMaterial(doc.materials, "GaN");
        QVERIFY(gan);
        QCOMPARE(gan->polarization.Psp, Quadratic(-0.03, 0.01, 0));
        QCOMPARE(gan->polarization.e33, Quadratic(1, 1, 1));
        QCOMPARE(gan->polarization.a, Quadratic(3.189, 0, 0));
    }

    // Button i enters 0.i into its own law; the last one is cancelled.
    void levelButtonsEditTheirOwnLaw()
    {
        const std::pair<const char*, Quadratic Material::*> buttons[] = {
            {"shallowDonorLevelButton", &Material::EdShallow},
            {"deepDonorLevelButton", &Material::EdDeep},
            {"shallowAcceptorLevelButton", &Material::EaShallow},
            {"deepAcceptorLevelButton", &Material::EaDeep},
            {"mlhButton", &Material::mlh},
            {"mhhButton", &Material::mhh},
            {"epsButton", &Material::eps},
            {"meButton", &Material::me}};
        tervane::Document doc;
        doc.materials = {binary("A", {})};
        Script script;
        for (std::size_t i = 1; i < std::size(buttons); ++i)
            script.laws.push_back(law(qPrintable(QString::number(0.1 * double(i))), "0", "0"));
        script.laws.push_back(std::nullopt);
        script.editor = [&buttons](CMaterialPropertiesDialog& dialog) {
            for (const auto& [button, member] : buttons)
                click(dialog, button);
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        for (std::size_t i = 0; i < std::size(buttons); ++i) {
            const double expected = i + 1 < std::size(buttons) ? 0.1 * double(i + 1) : 0.0;
            QVERIFY2(near((doc.materials[0].*buttons[i].second).a, expected), buttons[i].first);
        }
    }

    // ---- Substrate

    void substrateNeedsMaterials()
    {
        tervane::Document doc;
        Script script;
        script.substrate = [](CSubstratePropertiesDialog&) { qFatal("the dialog must not open"); };
        QVERIFY(!chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("Load a materials file first")});
    }

    // GaN at x = 0 by default: a = 3.189, Psp = -0.029 from its laws.
    void substrateDefaultsReported()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QCOMPARE(box(dialog, "materialBox")->currentText(), QStringLiteral("GaN"));
            QCOMPARE(childNamed(dialog, "compositionEdit")->text(), QStringLiteral("0"));
            pick(box(dialog, "materialBox"), QStringLiteral("GaN"));
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.189000 Psp: -0.029000")});
        QCOMPARE(doc.substrateMaterial, std::string("GaN"));
        QCOMPARE(doc.substrateX, 0.0);
        QCOMPARE(doc.substrateA, 3.189);
        QCOMPARE(doc.substratePsp, -0.029);
    }

    // AlGaN: a = 3.189 - 0.077x, Psp = -0.029 - 0.052x; at x = 0.25, 3.16975 and -0.042. Typing alone
    // recomputes nothing; leaving the field does.
    void substrateRecomputedWhenTheCompositionIsLeft()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        doc.substrateMaterial = "algan";
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QApplication::setActiveWindow(&dialog);
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QComboBox* materials = box(dialog, "materialBox");
            NumberEdit* composition = childNamed(dialog, "compositionEdit");
            QCOMPARE(materials->currentText(), QStringLiteral("AlGaN"));
            composition->setFocus();
            composition->selectAll();
            QTest::keyClicks(composition, QStringLiteral("0.25"));
            QCOMPARE(dialog.substrateA, 3.189);
            materials->setFocus();
            QVERIFY(near(dialog.substrateA, 3.16975));
            QVERIFY(near(dialog.substratePsp, -0.042));
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("AlGaN"));
        QCOMPARE(doc.substrateX, 0.25);
        QVERIFY(near(doc.substrateA, 3.16975));
        QVERIFY(near(doc.substratePsp, -0.042));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.169750 Psp: -0.042000")});
    }

    // A composition that is no number: the previous one stays in force for the recomputation on a
    // pick, and OK stays open until it is fixed.
    void substrateRefusesACompositionThatIsNoNumber()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.substrate = [this](CSubstratePropertiesDialog& dialog) {
            NumberEdit* composition = childNamed(dialog, "compositionEdit");
            composition->setText(QStringLiteral("x"));
            pick(box(dialog, "materialBox"), QStringLiteral("AlN"));
            QCOMPARE(sink_.messages, QStringList{notANumber});
            QCOMPARE(dialog.substrateA, 3.112);
            click(dialog, "okButton");
            QVERIFY(dialog.isVisible());
            composition->setText(QStringLiteral("0"));
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("AlN"));
        QCOMPARE(doc.substrateA, 3.112);
        QCOMPARE(doc.substratePsp, -0.081);
    }

    // A substrate not in the list selects nothing, and OK keeps its values.
    void substrateUnknownKeepsThePreviousValues()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        doc.substrateMaterial = "ZnO";
        doc.substrateA = 3.25;
        doc.substratePsp = -0.057;
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QCOMPARE(box(dialog, "materialBox")->currentIndex(), -1);
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("ZnO"));
        QCOMPARE(doc.substrateA, 3.25);
        QCOMPARE(doc.substratePsp, -0.057);
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.250000 Psp: -0.057000")});
    }
};

QTEST_MAIN(MaterialsEditingTest)
#include "materials_editing_test.moc"
