// The AlGaN/GaN HEMT example built in the window from an empty document as a new user builds it: the
// materials library opened and looked through, substrate, contacts, both layers and the Schroedinger
// settings entered in their dialogs, saved and reopened after a restart. The saved file must be the
// example's byte for byte and both solutions the example's at every grid point. With
// TERVANE_WALKTHROUGH_SHOTS naming a folder, the window after each step and every dialog as it is filled
// go there as numbered PNG files (scripts/walkthrough runs this under Xvfb).
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/solve_driver.h"
#include "io/document_file.h"
#include "io/materials_loader.h"
#include "test_support.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/layer_view.h"
#include "ui/views/main_frame.h"
#include "ui/views/tervane_view.h"

namespace {

// Equal inputs give equal numbers; the margin only forgives a different order of the arithmetic.
// Energies are compared against max(|E|, 1 eV), densities against themselves.
constexpr double tolRelative = 1e-9;

// The window or a dialog as a numbered PNG in the shots folder, when one is named.
void shot(QWidget& widget, QString name)
{
    static const QString folder = qEnvironmentVariable("TERVANE_WALKTHROUGH_SHOTS");
    static int count = 0;
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    name.remove('?').replace(' ', '-');
    widget.grab().save(
        QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(++count, 2, 10, QLatin1Char('0')).arg(name)));
}

// One control as a user works it: a line edit typed over, a drop-down list chosen from by typing the
// entry's name (as the keyboard chooses), a button clicked (a radio button or check box on its mark,
// which is all of it that takes a click when its text is shorter than the row).
void enter(QWidget& dialog, const char* name, const char* value = "")
{
    QWidget* control = childNamed<QWidget>(dialog, name);
    control->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(value));
    } else if (qobject_cast<QComboBox*>(control)) {
        QTest::qWait(QApplication::keyboardInputInterval() + 50); // a new search, not a continued one
        QTest::keyClicks(control, QString::fromLatin1(value));
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        const int middle = button->height() / 2;
        const bool marked = button->isCheckable() && !qobject_cast<QPushButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, marked ? QPoint(middle, middle) : QPoint());
    }
}

// Works the dialog captioned `caption` once a command has opened it modally (polled, since the
// command's exec() blocks): the entries in order, then `look` when given, then OK. No test macros
// inside: a failure there would leave the dialog open.
void fill(const QString& caption, const std::vector<std::pair<const char*, const char*>>& entries,
          const std::function<void(QDialog&)>& look = {})
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->windowTitle() != caption)
            return;
        poll->stop();
        poll->deleteLater();
        for (const auto& [name, value] : entries)
            enter(*dialog, name, value);
        if (look)
            look(*dialog);
        shot(*dialog, caption);
        enter(*dialog, "okButton");
    });
    poll->start(5);
}

// The largest difference between two solutions, relative as tolRelative says.
double worstDifference(const tervane::Grid& grid, const tervane::Grid& expected)
{
    double worst = 0;
    for (int i = 0; i < std::min(grid.count, expected.count); ++i) {
        const tervane::GridPoint& p = grid.point(i);
        const tervane::GridPoint& e = expected.point(i);
        const double values[6][3] = {
            {p.conductionEdge(), e.conductionEdge(), 1.0},
            {p.valenceEdge(), e.valenceEdge(), 1.0},
            {p.electronDensity(grid.modeAt(i)), e.electronDensity(expected.modeAt(i)), 1e-300},
            {p.holeDensity(grid.modeAt(i)), e.holeDensity(expected.modeAt(i)), 1e-300},
            {p.nBound, e.nBound, 1e-300},
            {p.pBound, e.pBound, 1e-300}};
        for (const auto& [value, reference, floor] : values)
            worst = std::max(worst, std::fabs(value - reference) / std::max(std::fabs(reference), floor));
    }
    return worst;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class HemtWalkthroughTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    RecordingMessageSink messages_;
    ScriptedFileChooser files_;
    tervane::Document example_;
    std::unique_ptr<CTervaneApp> app_;
    std::unique_ptr<CTervaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    // A program start: a new window on an empty document (the settings kept from the last start).
    void start()
    {
        frame_.reset();
        doc_.reset();
        app_ = std::make_unique<CTervaneApp>();
        doc_ = std::make_unique<CTervaneDoc>(app_.get());
        doc_->core.schroedingerSettings.dumpDirectory = dir_.path().toStdString();
        frame_ = std::make_unique<CMainFrame>(app_.get(), doc_.get());
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }

    // Setup > Solver Properties... with 40 Schroedinger passes, then Setup > Schroedinger Correction.
    void schroedingerAsTheExample()
    {
        fill("Solver Properties", {{"schroedingerIterationsEdit", "40"}});
        frame_->action(idSetupSolverProperties)->trigger();
        frame_->action(idSetupSchroedinger)->trigger();
        doc_->finishSolve();
        QVERIFY(frame_->action(idSetupSchroedinger)->isChecked());
        QCOMPARE(doc_->core.schroedingerIterations, 40);
    }

    // Structure, settings and solution as the example's, status values included.
    void verifyAsTheExample()
    {
        const tervane::Document& core = doc_->core;
        QVERIFY(core.layers == example_.layers);
        QCOMPARE(core.materials, example_.materials);
        QCOMPARE(core.grid.leftContact, tervane::ContactKind::Fixed);
        QCOMPARE(core.grid.leftBarrier, example_.grid.leftBarrier);
        QCOMPARE(core.grid.rightContact, example_.grid.rightContact);
        QCOMPARE(core.substrateA, example_.substrateA);
        QCOMPARE(core.substratePsp, example_.substratePsp);
        QCOMPARE(core.grid.count, example_.grid.count);
        QCOMPARE(core.iterations, example_.iterations);
        QCOMPARE(core.boundStates, example_.boundStates);
        const double worst = worstDifference(core.grid, example_.grid);
        qInfo("largest relative difference from the example's solution: %g", worst);
        QVERIFY(worst <= tolRelative);
    }

  private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        MessageSink::install(&messages_);
        FileChooser::install(&files_);
        // The example as the command-line tool solves it (examples/hemt/run.sh).
        const QString library = CTervaneApp::standardLibraryFile();
        QVERIFY2(!library.isEmpty(), "the build puts the standard library into share/tervane/materials");
        QVERIFY(tervane::loadMaterials(library.toStdString(), example_.materials));
        QVERIFY(tervane::loadDocumentFile(TERVANE_SOURCE_DIR "/examples/hemt/hemt.tvn", example_));
        example_.schroedingerOn = true;
        example_.schroedingerIterations = 40;
        example_.schroedingerSettings.dumpDirectory = dir_.path().toStdString();
        tervane::CollectingObserver observer;
        QVERIFY(tervane::solve(example_, observer));
        QCOMPARE(example_.grid.count, 2050); // 50 points of barrier, 2000 of channel
    }

    void buildSaveAndReopen()
    {
        start();
        shot(*frame_, QStringLiteral("empty"));
        const QString binaryLibrary =
            QFileInfo(CTervaneApp::standardLibraryFile()).dir().filePath("standard.tvm");
        files_.answers = {binaryLibrary};
        frame_->action(idMaterialsOpen)->trigger();
        QCOMPARE(doc_->core.materials, example_.materials);

        // Looking through the editor (AlGaN against GaN) and leaving it with OK changes no material.
        fill("Material Properties", {{"materialList", "AlGaN"}, {"referenceList", "GaN"}});
        frame_->action(idMaterialsSetup)->trigger();
        QCOMPARE(doc_->core.materials, example_.materials);

        fill("Substrate Properties", {{"materialBox", "GaN"}, {"compositionEdit", "0"}});
        frame_->action(idSetupSubstrate)->trigger();
        fill("Contacts", {{"leftFixed", ""}, {"leftBarrierEdit", "1.2"}});
        frame_->action(idLayersContacts)->trigger();

        // The channel first, then the barrier put in front of it, its composition through its law.
        fill("Layer Properties",
             {{"thicknessEdit", "10000"}, {"dxEdit", "5"}, {"materialBox", "GaN"}, {"NdEdit", "1e16"}});
        frame_->action(idLayersNew)->trigger();
        fill("Where?", {{"positionEdit", "0"}});
        fill(
            "Layer Properties",
            {{"thicknessEdit", "250"}, {"dxEdit", "5"}, {"materialBox", "AlGaN"}, {"compositionButton", ""}});
        fill("Enter Quadratic", {{"aEdit", "0.25"}});
        frame_->action(idLayersInsert)->trigger();
        QCOMPARE(frame_->layerView()->lines(),
                 QStringList({QStringLiteral("000 AlGaN t:250.0 Nd:0.000e+00 Na:0.000e+00"),
                              QStringLiteral("001 GaN t:10000.0 Nd:1.000e+16 Na:0.000e+00")}));
        shot(*frame_, QStringLiteral("classical"));

        // A double-click on the barrier shows what was entered, and OK stores it back unchanged.
        QStringList opened;
        fill("Layer Properties", {}, [&opened](QDialog& dialog) {
            opened = QStringList{shown(dialog, "thicknessEdit"), shown(dialog, "dxEdit"),
                                 childNamed<QComboBox>(dialog, "materialBox")->currentText(),
                                 childNamed<QLabel>(dialog, "compositionText")->text()};
        });
        QTest::mouseDClick(frame_->layerView(), Qt::LeftButton, {}, QPoint(40, CLayerView::linePitch / 2));
        QCOMPARE(opened, QStringList({"250", "5", "AlGaN", "0.000 x^2+0.000 x+0.250"}));

        schroedingerAsTheExample();
        shot(*frame_, QStringLiteral("schroedinger"));
        verifyAsTheExample();

        const QString saved = dir_.filePath(QStringLiteral("hemt.tvn"));
        files_.answers = {saved};
        frame_->action(idFileSaveAs)->trigger();
        // The example's bytes, then the settings block with the switch and the 40 passes.
        const QByteArray example = contents(TERVANE_SOURCE_DIR "/examples/hemt/hemt.tvn");
        QVERIFY(contents(saved).startsWith(example));
        QCOMPARE(contents(saved).mid(example.size(), 4), QByteArray("TVST"));
        QVERIFY(frame_->windowTitle().startsWith(QStringLiteral("hemt.tvn")));

        // A restart loads the materials file last opened, as the program's start does; the switch and
        // the passes come back with the document.
        start();
        QCOMPARE(app_->startupMaterialsFile(), QFileInfo(binaryLibrary).absoluteFilePath());
        QVERIFY(doc_->loadMaterials(app_->startupMaterialsFile()));
        files_.answers = {saved};
        frame_->action(idFileOpen)->trigger();
        doc_->finishSolve();
        QVERIFY(frame_->action(idSetupSchroedinger)->isChecked());
        QCOMPARE(doc_->core.schroedingerIterations, 40);
        shot(*frame_, QStringLiteral("reopened"));
        verifyAsTheExample();

        // A Shift-drag across the band diagram from the surface to 60 nm shows the barrier and the
        // well with its levels; the range is the drag's to a pixel.
        CTervaneView* band = frame_->tervaneView();
        const int y = int(band->currentLayout().plot.center().y());
        const QPoint from(int(std::ceil(band->positionOf(0))), y);
        const QPoint to(int(std::lround(band->positionOf(60e-9))), y);
        const double pixel = doc_->depthWindow.span() / band->currentLayout().plot.width();
        QTest::mousePress(band, Qt::LeftButton, Qt::ShiftModifier, from);
        QTest::mouseMove(band, to);
        QTest::mouseRelease(band, Qt::LeftButton, Qt::ShiftModifier, to);
        QVERIFY(doc_->depthWindow.from() <= pixel && std::fabs(doc_->depthWindow.to() - 60e-9) <= pixel);
        QVERIFY(!doc_->boundStates.empty());
        shot(*frame_, QStringLiteral("zoomed"));
        // The substrate's values, shown once they were chosen, are the only message of both sessions.
        QCOMPARE(messages_.messages, QStringList{QStringLiteral("a: 3.189000 Psp: -0.029000")});
    }
};

QTEST_MAIN(HemtWalkthroughTest)
#include "hemt_walkthrough_test.moc"
