// The materials editor and the substrate choice driven through their controls, as the Setup Materials
// and Substrate commands run them: every nested dialog is answered by a scripted runner instead of
// blocking. Run under QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
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

#include "io/materials_toml.h"
#include "model/document.h"
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

template <typename T> T* child(QWidget& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

QString textOf(QWidget& dialog, const char* name)
{
    return child<QLabel>(dialog, name)->text();
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
    child<QPushButton>(dialog, name)->click();
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

// Answers every dialog of a command. The main dialog runs `editor` (or `substrate`) and returns the
// result it was closed with; "Material Name" and "Enter Quadratic" take their answers from queues,
// an empty optional meaning Cancel; "Polarization Properties" runs `polarization`.
struct Script {
    std::function<void(CMaterialPropertiesDialog&)> editor;
    std::function<void(CSubstratePropertiesDialog&)> substrate;
    std::function<void(CPolarizationPropertiesDialog&)> polarization;
    std::deque<std::optional<QString>> names;
    std::deque<std::optional<std::array<QString, 3>>> laws;
    QStringList namesOpenedWith;
    QList<std::array<QString, 3>> lawsOpenedWith;

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
            auto* edit = child<QLineEdit>(dialog, "nameEdit");
            namesOpenedWith.append(edit->text());
            if (names.empty())
                qFatal("unexpected Material Name");
            const std::optional<QString> answer = names.front();
            names.pop_front();
            if (answer)
                edit->setText(*answer);
            click(dialog, answer ? "okButton" : "cancelButton");
        } else if (qobject_cast<CEnterQuadraticDialog*>(&dialog)) {
            auto* a = child<QLineEdit>(dialog, "aEdit");
            auto* b = child<QLineEdit>(dialog, "bEdit");
            auto* c = child<QLineEdit>(dialog, "cEdit");
            lawsOpenedWith.append({a->text(), b->text(), c->text()});
            if (laws.empty())
                qFatal("unexpected Enter Quadratic");
            const auto answer = laws.front();
            laws.pop_front();
            if (answer) {
                a->setText((*answer)[0]);
                b->setText((*answer)[1]);
                c->setText((*answer)[2]);
            }
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

std::array<QString, 3> law(const char* a, const char* b, const char* c)
{
    return {QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c)};
}

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

    void lawsShownInTextForm()
    {
        Material material = binary("GaN", Quadratic(0.5, 0, 0));
        material.Eg = Quadratic(1.5, 0.2, -0.1);
        material.eps = Quadratic(123.456, 0, 0);
        material.me = Quadratic(0.2, 0, 0);
        material.EdDeep = Quadratic(-0.25, 0, 0.004);
        material.NdBackground = 1e15;
        material.NdaBackground = 2.5e-7;
        tervane::Document doc;
        doc.materials = {material};
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QCOMPARE(textOf(dialog, "EgText"), QStringLiteral("1.50+0.20x+-0.10x^2"));
            // The only Binary material has no reference: dEc as stored.
            QCOMPARE(child<QComboBox>(dialog, "referenceList")->count(), 0);
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("0.50+0.00x+0.00x^2"));
            QCOMPARE(textOf(dialog, "epsText"), QStringLiteral("123.46+0.00x+0.00x^2"));
            QCOMPARE(textOf(dialog, "meText"), QStringLiteral("0.20+0.00x+0.00x^2"));
            QCOMPARE(textOf(dialog, "mhhText"), QStringLiteral("0.00+0.00x+0.00x^2"));
            QCOMPARE(textOf(dialog, "deepDonorLevelText"), QStringLiteral("-0.25+0.00x+0.00x^2"));
            QCOMPARE(child<NumberEdit>(dialog, "shallowDonorBackgroundEdit")->text(),
                     QStringLiteral("1e+15"));
            QCOMPARE(child<NumberEdit>(dialog, "deepAcceptorBackgroundEdit")->text(),
                     QStringLiteral("2.5e-07"));
            QVERIFY(child<QRadioButton>(dialog, "binaryButton")->isChecked());
            click(dialog, "cancelButton");
        };
        QVERIFY(!setupMaterials(nullptr, doc, script.hook()));
    }

    // A (dEc 0) and B (dEc 1): B relative to A reads 1, entering 2 stores 2, A relative to B reads -1.
    void dEcShownAndEnteredRelativeToTheReference()
    {
        tervane::Document doc;
        doc.materials = {binary("B", Quadratic(1, 0, 0)), binary("A", Quadratic(0, 0, 0))};
        Script script;
        script.laws = {law("2", "0", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            auto* materials = child<QComboBox>(dialog, "materialList");
            auto* references = child<QComboBox>(dialog, "referenceList");
            QCOMPARE(entries(materials), (QStringList{"A", "B"}));
            // The first entry of the sorted list is shown on opening.
            QCOMPARE(materials->currentText(), QStringLiteral("A"));
            QCOMPARE(entries(references), QStringList{"B"});
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.00+0.00x+0.00x^2"));

            pick(materials, QStringLiteral("B"));
            QCOMPARE(entries(references), QStringList{"A"});
            QCOMPARE(references->currentText(), QStringLiteral("A"));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("1.00+0.00x+0.00x^2"));
            click(dialog, "dEcButton");
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("2.00+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        // The law dialog opened on the relative value.
        QCOMPARE(script.lawsOpenedWith, (QList<std::array<QString, 3>>{law("1", "0", "0")}));
        QCOMPARE(doc.materials.size(), std::size_t(2));
        QCOMPARE(doc.materials[0].name, std::string("B"));
        QCOMPARE(doc.materials[0].dEc, Quadratic(2, 0, 0));
        QCOMPARE(doc.materials[1].dEc, Quadratic(0, 0, 0));
    }

    // C = 0.5 + 0.25x on the absolute scale, A = 0, B = 1 + 0.75x: against A it reads 0.5 + 0.25x,
    // against B -0.5 - 0.5x; 0.25 entered against B is 1.25 + 0.75x absolute.
    void changingTheReferenceKeepsTheAbsoluteOffset()
    {
        tervane::Document doc;
        doc.materials = {binary("C", Quadratic(0.5, 0.25, 0)), binary("A", Quadratic(0, 0, 0)),
                         binary("B", Quadratic(1, 0.75, 0))};
        const std::vector<Material> original = doc.materials;
        Script script;
        script.laws = {law("0.25", "0", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            auto* references = child<QComboBox>(dialog, "referenceList");
            pick(child<QComboBox>(dialog, "materialList"), QStringLiteral("C"));
            QCOMPARE(entries(references), (QStringList{"A", "B"}));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("0.50+0.25x+0.00x^2"));
            pick(references, QStringLiteral("B"));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-0.50+-0.50x+0.00x^2"));
            QCOMPARE(dialog.workingCopy.dEc, Quadratic(-0.5, -0.5, 0));
            // Back to A and to B again: nothing drifts.
            pick(references, QStringLiteral("A"));
            QCOMPARE(dialog.workingCopy.dEc, Quadratic(0.5, 0.25, 0));
            pick(references, QStringLiteral("B"));
            click(dialog, "dEcButton");
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(script.lawsOpenedWith, (QList<std::array<QString, 3>>{law("-0.5", "-0.5", "0")}));
        QCOMPARE(doc.materials[0].dEc, Quadratic(1.25, 0.75, 0));
        QCOMPARE(doc.materials[1], original[1]);
        QCOMPARE(doc.materials[2], original[2]);
    }

    void ternaryMaterialsAreNoReference()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", {}), binary("C", {})};
        doc.materials[2].type = tervane::Ternary;
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            auto* materials = child<QComboBox>(dialog, "materialList");
            auto* references = child<QComboBox>(dialog, "referenceList");
            QCOMPARE(entries(references), QStringList{"B"});
            // A Ternary material has Binary references all the same.
            pick(materials, QStringLiteral("C"));
            QVERIFY(child<QRadioButton>(dialog, "ternaryButton")->isChecked());
            QCOMPARE(entries(references), (QStringList{"A", "B"}));

            // A turned Ternary leaves B's reference list once it is stored, which picking B does.
            pick(materials, QStringLiteral("A"));
            child<QRadioButton>(dialog, "ternaryButton")->click();
            pick(materials, QStringLiteral("B"));
            QVERIFY(entries(references).isEmpty());
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("0.00+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials[0].type, int(tervane::Ternary));
        QCOMPARE(doc.materials[1].type, int(tervane::Binary));
    }

    void typedValuesLiveInTheControlsUntilStored()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", {})};
        Script script;
        script.laws = {law("3.4", "0", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            auto* donor = child<NumberEdit>(dialog, "shallowDonorBackgroundEdit");
            // A law edit redisplays from the working copy, dropping what was typed before it.
            donor->setText(QStringLiteral("1e17"));
            click(dialog, "EgButton");
            QCOMPARE(donor->text(), QStringLiteral("0"));
            // Typed after the last redisplay, it is stored by the pick of another material.
            donor->setText(QStringLiteral("2e17"));
            child<NumberEdit>(dialog, "deepAcceptorBackgroundEdit")->setText(QStringLiteral("3e16"));
            pick(child<QComboBox>(dialog, "materialList"), QStringLiteral("B"));
            QCOMPARE(donor->text(), QStringLiteral("0"));
            pick(child<QComboBox>(dialog, "materialList"), QStringLiteral("A"));
            QCOMPARE(donor->text(), QStringLiteral("2e+17"));
            QCOMPARE(textOf(dialog, "EgText"), QStringLiteral("3.40+0.00x+0.00x^2"));
            click(dialog, "cancelButton");
        };
        const std::vector<Material> original = doc.materials;
        QVERIFY(!setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials, original);
    }

    // A background that is not a number: OK shows the request and stays open; the deep acceptor
    // background, read before it, is taken all the same; fixed, OK closes.
    void okWaitsForNumbers()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {})};
        Script script;
        script.editor = [this](CMaterialPropertiesDialog& dialog) {
            child<NumberEdit>(dialog, "deepAcceptorBackgroundEdit")->setText(QStringLiteral("4e16"));
            auto* deepDonor = child<NumberEdit>(dialog, "deepDonorBackgroundEdit");
            deepDonor->setText(QStringLiteral("lots"));
            child<NumberEdit>(dialog, "shallowDonorBackgroundEdit")->setText(QStringLiteral("5e17"));
            click(dialog, "okButton");
            QCOMPARE(sink_.messages, QStringList{QStringLiteral("Please enter a number.")});
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.materials[0].NdaBackground, 4e16);
            QCOMPARE(dialog.materials[0].NdBackground, 0.0);
            deepDonor->setText(QStringLiteral("6e15"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials[0].NdaBackground, 4e16);
        QCOMPARE(doc.materials[0].NddBackground, 6e15);
        QCOMPARE(doc.materials[0].NdBackground, 5e17);
    }

    void cancelAfterNewDeleteAndRenameLeavesTheList()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        const std::vector<Material> original = doc.materials;
        Script script;
        script.names = {QStringLiteral("Mine"), QStringLiteral("Renamed"), std::nullopt};
        script.laws = {law("9", "9", "9")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            auto* materials = child<QComboBox>(dialog, "materialList");
            click(dialog, "newButton");
            QCOMPARE(materials->currentText(), QStringLiteral("Mine"));
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

    void okWithoutChangesGivesTheSameList()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        const std::vector<Material> original = doc.materials;
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            // Every material is shown and stored once; relative dEc goes there and back exactly.
            auto* materials = child<QComboBox>(dialog, "materialList");
            for (const QString& name : entries(materials))
                pick(materials, name);
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials.size(), original.size());
        for (std::size_t i = 0; i < original.size(); ++i) {
            QCOMPARE(doc.materials[i].name, original[i].name);
            QCOMPARE(doc.materials[i].type, original[i].type);
            QCOMPARE(doc.materials[i].polarization, original[i].polarization);
            for (auto law : {&Material::Eg, &Material::dEc, &Material::eps, &Material::me})
                for (auto term : {&Quadratic::a, &Quadratic::b, &Quadratic::c})
                    QVERIFY(near((doc.materials[i].*law).*term, (original[i].*law).*term));
        }
    }

    void renameOpensOnTheNameAndKeepsEdits()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", Quadratic(0.5, 0, 0))};
        Script script;
        // A cancelled rename keeps the name; the second one takes.
        script.names = {std::nullopt, QStringLiteral("Z")};
        script.laws = {law("3", "0.5", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            click(dialog, "renameButton");
            QCOMPARE(entries(child<QComboBox>(dialog, "materialList")), (QStringList{"A", "B"}));
            click(dialog, "EgButton");
            child<NumberEdit>(dialog, "shallowDonorBackgroundEdit")->setText(QStringLiteral("5e17"));
            child<QRadioButton>(dialog, "ternaryButton")->click();
            click(dialog, "renameButton");
            // The list is rebuilt and its first entry shown.
            auto* materials = child<QComboBox>(dialog, "materialList");
            QCOMPARE(entries(materials), (QStringList{"B", "Z"}));
            QCOMPARE(materials->currentText(), QStringLiteral("B"));
            // Z is Ternary now, so B has no reference.
            QCOMPARE(child<QComboBox>(dialog, "referenceList")->count(), 0);
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(script.namesOpenedWith, (QStringList{"A", "A"}));
        QCOMPARE(doc.materials[0].name, std::string("Z"));
        QCOMPARE(doc.materials[0].Eg, Quadratic(3, 0.5, 0));
        QCOMPARE(doc.materials[0].NdBackground, 5e17);
        QCOMPARE(doc.materials[0].type, int(tervane::Ternary));
        QCOMPARE(doc.materials[1].name, std::string("B"));
    }

    void newStoresFirstThenShowsTheNewMaterial()
    {
        tervane::Document doc;
        doc.materials = {binary("B", Quadratic(1, 0, 0))};
        Script script;
        script.names = {QStringLiteral("A")};
        script.laws = {law("0.7", "0", "0")};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            click(dialog, "EgButton");
            click(dialog, "newButton");
            auto* materials = child<QComboBox>(dialog, "materialList");
            QCOMPARE(entries(materials), (QStringList{"A", "B"}));
            QCOMPARE(materials->currentText(), QStringLiteral("A"));
            QCOMPARE(dialog.shownMaterial, 1);
            // The new material is all zero; B (dEc 1) is its reference.
            QCOMPARE(textOf(dialog, "EgText"), QStringLiteral("0.00+0.00x+0.00x^2"));
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.00+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(script.namesOpenedWith, QStringList{"New"});
        QCOMPARE(doc.materials.size(), std::size_t(2));
        QCOMPARE(doc.materials[0].Eg, Quadratic(0.7, 0, 0));
        Material expected;
        expected.name = "A";
        QCOMPARE(doc.materials[1], expected);
    }

    void deletingMovesLaterMaterialsUp()
    {
        tervane::Document doc;
        doc.materials = {binary("A", {}), binary("B", Quadratic(1, 0, 0)), binary("C", Quadratic(2, 0, 0))};
        Script script;
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            click(dialog, "deleteButton");
            QCOMPARE(child<QComboBox>(dialog, "materialList")->currentText(), QStringLiteral("B"));
            QCOMPARE(dialog.shownMaterial, 0);
            // B relative to C now.
            QCOMPARE(textOf(dialog, "dEcText"), QStringLiteral("-1.00+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        QCOMPARE(doc.materials.size(), std::size_t(2));
        QCOMPARE(doc.materials[0].name, std::string("B"));
        QCOMPARE(doc.materials[0].dEc, Quadratic(1, 0, 0));
        QCOMPARE(doc.materials[1].name, std::string("C"));
    }

    void deletingTheLastAsksForAName()
    {
        tervane::Document doc;
        doc.materials = {binary("GaN", Quadratic(1, 2, 3))};
        doc.materials[0].Eg = Quadratic(3.4, 0, 0);
        Script script;
        script.names = {std::nullopt};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            click(dialog, "deleteButton");
            QCOMPARE(entries(child<QComboBox>(dialog, "materialList")), QStringList{"New"});
            QCOMPARE(textOf(dialog, "EgText"), QStringLiteral("0.00+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        Material expected;
        expected.name = "New";
        QCOMPARE(doc.materials, std::vector<Material>{expected});
    }

    void anEmptyListStartsWithANamedMaterial_data()
    {
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::newRow("cancelled") << false << "GaN"
                                   << "New";
        QTest::newRow("named") << true << "GaN"
                               << "GaN";
        QTest::newRow("empty name") << true << ""
                                    << "";
    }
    void anEmptyListStartsWithANamedMaterial()
    {
        QFETCH(bool, accepted);
        QFETCH(QString, typed);
        QFETCH(QString, name);
        tervane::Document doc;
        Script script;
        // The name dialog comes before the editor is shown.
        script.names = {accepted ? std::optional<QString>(typed) : std::nullopt};
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            QCOMPARE(dialog.materials.size(), std::size_t(1));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        Material expected;
        expected.name = name.toStdString();
        QCOMPARE(doc.materials, std::vector<Material>{expected});
    }

    void polarizationLawsEditedThroughTheirDialog()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.laws = {law("-0.03", "0.01", "0"), law("1", "1", "1"), law("3.2", "-0.1", "0")};
        script.polarization = [&script](CPolarizationPropertiesDialog& dialog) {
            const bool second = script.laws.size() < 3;
            if (!second) {
                // GaN's laws from the library.
                QCOMPARE(textOf(dialog, "aText"), QStringLiteral("3.19+0.00x+0.00x^2"));
                QCOMPARE(textOf(dialog, "PspText"), QStringLiteral("-0.03+0.00x+0.00x^2"));
                click(dialog, "PspButton");
                QCOMPARE(textOf(dialog, "PspText"), QStringLiteral("-0.03+0.01x+0.00x^2"));
                click(dialog, "e33Button");
                click(dialog, "okButton");
            } else {
                click(dialog, "aButton");
                QCOMPARE(textOf(dialog, "aText"), QStringLiteral("3.20+-0.10x+0.00x^2"));
                click(dialog, "cancelButton");
            }
        };
        script.editor = [](CMaterialPropertiesDialog& dialog) {
            pick(child<QComboBox>(dialog, "materialList"), QStringLiteral("GaN"));
            click(dialog, "polarizationButton");
            click(dialog, "polarizationButton");
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        const Material* gan = tervane::findMaterial(doc.materials, "GaN");
        QVERIFY(gan);
        QCOMPARE(gan->polarization.Psp, Quadratic(-0.03, 0.01, 0));
        QCOMPARE(gan->polarization.e33, Quadratic(1, 1, 1));
        QCOMPARE(gan->polarization.a, Quadratic(3.189, 0, 0));
    }

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
        // Button i enters 0.i; the last is cancelled.
        for (std::size_t i = 1; i < std::size(buttons); ++i)
            script.laws.push_back(law(qPrintable(QString::number(0.1 * double(i))), "0", "0"));
        script.laws.push_back(std::nullopt);
        script.editor = [&buttons](CMaterialPropertiesDialog& dialog) {
            for (const auto& [button, member] : buttons)
                click(dialog, button);
            QCOMPARE(textOf(dialog, "shallowDonorLevelText"), QStringLiteral("0.10+0.00x+0.00x^2"));
            click(dialog, "okButton");
        };
        QVERIFY(setupMaterials(nullptr, doc, script.hook()));
        for (std::size_t i = 0; i < std::size(buttons); ++i) {
            const double expected = i + 1 < std::size(buttons) ? 0.1 * double(i + 1) : 0.0;
            QVERIFY2(std::fabs((doc.materials[0].*buttons[i].second).a - expected) <= tolValue,
                     buttons[i].first);
            QCOMPARE((doc.materials[0].*buttons[i].second).b, 0.0);
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

    void substrateDefaultsReported()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Substrate Properties"));
            auto* box = child<QComboBox>(dialog, "materialBox");
            QCOMPARE(entries(box), (QStringList{"AlAs", "AlGaAs", "AlGaN", "AlInN", "AlN", "GaAs", "GaN",
                                                "InAs", "InGaAs", "InGaN", "InN"}));
            QCOMPARE(box->currentText(), QStringLiteral("GaN"));
            QCOMPARE(child<NumberEdit>(dialog, "compositionEdit")->text(), QStringLiteral("0"));
            // Picking GaN recomputes from its laws at x = 0.
            pick(box, QStringLiteral("GaN"));
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.189000 Psp: -0.029000")});
        QCOMPARE(doc.substrateMaterial, std::string("GaN"));
        QCOMPARE(doc.substrateX, 0.0);
        QCOMPARE(doc.substrateA, 3.189);
        QCOMPARE(doc.substratePsp, -0.029);
    }

    // AlGaN: a = 3.189 - 0.077x, Psp = -0.029 - 0.052x; at x = 0.25, 3.16975 and -0.042.
    void substrateRecomputedOnPick()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            child<NumberEdit>(dialog, "compositionEdit")->setText(QStringLiteral("0.25"));
            pick(child<QComboBox>(dialog, "materialBox"), QStringLiteral("AlGaN"));
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("AlGaN"));
        QCOMPARE(doc.substrateX, 0.25);
        QVERIFY(near(doc.substrateA, 3.16975));
        QVERIFY(near(doc.substratePsp, -0.042));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.169750 Psp: -0.042000")});
    }

    void substrateRecomputedWhenTheCompositionIsLeft()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        doc.substrateMaterial = "algan";
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QApplication::setActiveWindow(&dialog);
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            auto* box = child<QComboBox>(dialog, "materialBox");
            auto* composition = child<NumberEdit>(dialog, "compositionEdit");
            QCOMPARE(box->currentText(), QStringLiteral("AlGaN"));
            composition->setFocus();
            composition->selectAll();
            QTest::keyClicks(composition, QStringLiteral("0.25"));
            // Typing alone recomputes nothing.
            QCOMPARE(dialog.substrateA, 3.189);
            box->setFocus();
            QVERIFY(near(dialog.substrateA, 3.16975));
            QVERIFY(near(dialog.substratePsp, -0.042));
            QCOMPARE(dialog.substrateMaterial, QStringLiteral("AlGaN"));
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("AlGaN"));
        QVERIFY(near(doc.substrateA, 3.16975));
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.169750 Psp: -0.042000")});
    }

    void substrateRefusesAnotherComposition()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        Script script;
        script.substrate = [this](CSubstratePropertiesDialog& dialog) {
            auto* composition = child<NumberEdit>(dialog, "compositionEdit");
            composition->setText(QStringLiteral("x"));
            // The previous composition stays in force for the recomputation.
            pick(child<QComboBox>(dialog, "materialBox"), QStringLiteral("AlN"));
            QCOMPARE(sink_.messages, QStringList{QStringLiteral("Please enter a number.")});
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

    void substrateUnknownKeepsThePreviousValues()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        doc.substrateMaterial = "ZnO";
        doc.substrateA = 3.25;
        doc.substratePsp = -0.057;
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QCOMPARE(child<QComboBox>(dialog, "materialBox")->currentIndex(), -1);
            click(dialog, "okButton");
        };
        QVERIFY(chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("ZnO"));
        QCOMPARE(doc.substrateA, 3.25);
        QCOMPARE(doc.substratePsp, -0.057);
        QCOMPARE(sink_.messages, QStringList{QStringLiteral("a: 3.250000 Psp: -0.057000")});
    }

    void substrateChoiceBeginsWithTheName()
    {
        tervane::Document doc;
        doc.materials = standardLibrary();
        doc.substrateMaterial = "al";
        Script script;
        script.substrate = [](CSubstratePropertiesDialog& dialog) {
            QCOMPARE(child<QComboBox>(dialog, "materialBox")->currentText(), QStringLiteral("AlAs"));
            click(dialog, "cancelButton");
        };
        QVERIFY(!chooseSubstrate(nullptr, doc, script.hook()));
        QCOMPARE(doc.substrateMaterial, std::string("al"));
        QCOMPARE(doc.substrateA, 3.189);
        QCOMPARE(doc.substratePsp, -0.029);
        QVERIFY(sink_.messages.isEmpty());
    }
};

QTEST_MAIN(MaterialsEditingTest)
#include "materials_editing_test.moc"
