// The main window driven as a user would: toggles, status panes, the three views and the file
// commands, with message boxes and file dialogs replaced by recorders.
#include <QAction>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "engine/solve_driver.h"
#include "io/document_file.h"
#include "io/materials_toml.h"
#include "ui/charge_view.h"
#include "ui/file_chooser.h"
#include "ui/layer_view.h"
#include "ui/main_frame.h"
#include "ui/message_sink.h"
#include "ui/tervane_app.h"
#include "ui/tervane_doc.h"
#include "ui/tervane_view.h"

namespace {

tervane::Layer layer(const char* material, double thicknessA, double dxA, double NdCm = 0, double NaCm = 0,
                     double x = 0)
{
    tervane::Layer l;
    l.material = material;
    l.thickness = thicknessA * 1e-10;
    l.dx = dxA * 1e-10;
    l.Nd = NdCm * 1e6;
    l.Na = NaCm * 1e6;
    l.composition = tervane::Quadratic(x, 0, 0);
    return l;
}

std::vector<tervane::Material> standardLibrary()
{
    std::vector<tervane::Material> materials;
    const bool ok =
        tervane::loadMaterialsTomlFile(TERVANE_SOURCE_DIR "/examples/materials/standard.toml", materials).ok;
    Q_ASSERT(ok);
    return materials;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir settingsDir_;
    RecordingMessageSink messages_;
    ScriptedFileChooser files_;
    std::unique_ptr<CTervaneApp> app_;
    std::unique_ptr<CTervaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    void makeHemt()
    {
        doc_->core.materials = standardLibrary();
        doc_->core.layers = {layer("AlGaN", 250, 5, 0, 0, 0.25), layer("GaN", 2000, 10, 1e16)};
        doc_->core.grid.leftContact = tervane::ContactKind::Fixed;
        doc_->core.grid.leftBarrier = 1.2;
        doc_->solve();
    }

  private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        MessageSink::install(&messages_);
        FileChooser::install(&files_);
    }

    void init()
    {
        messages_.messages.clear();
        messages_.questions.clear();
        files_.answers.clear();
        app_ = std::make_unique<CTervaneApp>();
        doc_ = std::make_unique<CTervaneDoc>(app_.get());
        frame_ = std::make_unique<CMainFrame>(app_.get(), doc_.get());
        frame_->resize(1000, 700);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }

    void cleanup()
    {
        frame_.reset();
        doc_.reset();
        app_.reset();
    }

    // Polarization and full ionization toggle their flag, solve again and show their check mark.
    void togglesSolveAndCheck()
    {
        makeHemt();
        frame_->updateCommandStates();
        for (const int id : {32779, 32789}) {
            QAction* toggle = frame_->action(id);
            QVERIFY(toggle->isChecked());
            const int before = doc_->solveCount();
            toggle->trigger();
            QCOMPARE(doc_->solveCount(), before + 1);
            QVERIFY(!toggle->isChecked());
        }
        QVERIFY(!doc_->core.polarizationOn);
        QVERIFY(!doc_->core.fullyIonized);
    }

    void statusPanesAfterASolve()
    {
        makeHemt();
        const tervane::Document& core = doc_->core;
        QVERIFY(core.iterations > 0);
        const QString expected =
            QString::asprintf("Solver error: %.5e iterations: %d bound states: %d ns: %.2e cm-2",
                              core.solverError, core.iterations, 0, core.sheetCharge);
        QCOMPARE(frame_->statusPane(0)->text(), expected);

        doc_->setCursor(2.5e23, 1.5e10, 1.9e-10); // 1.9 Angstrom shows as x: 1
        QCOMPARE(frame_->cursorPaneText(), QStringLiteral("n: 2.500e+17\tp: 1.500e+04\tx: 1"));
    }

    void layerListLinesAndDoubleClick()
    {
        doc_->core.materials = standardLibrary();
        for (int k = 0; k < 12; ++k)
            doc_->core.layers.push_back(layer("GaN", 100.0 + k, 10, 1e18, 2e17));
        const QStringList lines = frame_->layerView()->lines();
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines[0], QStringLiteral("000 GaN t:100.0 Nd:1.000e+18 Na:2.000e+17"));
        QCOMPARE(lines[10], QStringLiteral("010 GaN t:110.0 Nd:1.000e+18 Na:2.000e+17"));
        // Rows of 20 pixels.
        QCOMPARE(CLayerView::layerIndexAt(19), 0);
        QCOMPARE(CLayerView::layerIndexAt(239), 11);

        doc_->core.layers.insert(doc_->core.layers.begin() + 2, layer("Unobtainium", 10, 10));
        bool missing = false;
        QCOMPARE(frame_->layerView()->lines(&missing).size(), 2);
        QVERIFY(missing);
        frame_->layerView()->repaint();
        QTRY_COMPARE(messages_.messages.count(QStringLiteral("Material not found!")), 1);
        frame_->layerView()->repaint();
        QTest::qWait(20);
        QCOMPARE(messages_.messages.count(QStringLiteral("Material not found!")), 1); // once per state
    }

    void chargeViewReadOutAndRange()
    {
        makeHemt();
        CChargeView* view = frame_->chargeView();
        view->repaint();
        const tervane::Grid& grid = doc_->core.grid;
        const int N = grid.count;
        QCOMPARE(static_cast<int>(view->pointX.size()), N);
        QCOMPARE(view->pointX[0], 0.0);
        QCOMPARE(view->pointX[static_cast<std::size_t>(N - 1)], static_cast<double>(view->width()));

        // A cursor half-way between the pixel positions of points 10 and 11 reads the mean density.
        const double xMid = 0.5 * (view->pointX[10] + view->pointX[11]);
        const int x = static_cast<int>(std::ceil(xMid));
        view->cursorAt(x);
        const int i = view->segmentIndexAt(x);
        QVERIFY(i >= 9 && i <= 11);
        const auto k = static_cast<std::size_t>(i);
        const double t = (x - view->pointX[k]) / (view->pointX[k + 1] - view->pointX[k]);
        const double expected = (1 - t) * view->pointN[k] + t * view->pointN[k + 1];
        QVERIFY(std::fabs(doc_->cursorN - expected) <= 1e-9 * std::fabs(expected));

        // A drag from right to left selects the same segments as from left to right.
        view->pressAt(400);
        view->releaseAt(100);
        const int first = view->segmentIndexAt(100);
        const int last = view->segmentIndexAt(400);
        QCOMPARE(doc_->core.chargeFirst, first);
        QCOMPARE(doc_->core.chargeLast, last);
        QCOMPARE(view->dragStartX, 100);
        QCOMPARE(view->dragEndX, 400);
        double sum = 0; // trapezoid of the classical electron density, cm^-2
        for (int j = first; j <= last && j < N - 1; ++j) {
            const auto m = static_cast<std::size_t>(j);
            sum += 0.5 * (view->pointN[m] + view->pointN[m + 1]) * grid.dx[m] * 1e-4;
        }
        QVERIFY(std::fabs(doc_->core.sheetCharge - sum) <= 1e-9 * sum);

        // Auto scale stores the limits it found.
        QVERIFY(doc_->autoScale);
        double largest = 0;
        for (int j = 0; j + 1 < N; ++j)
            largest = std::max(largest, grid.point(j).electronDensity(grid.modeAt(j)));
        QCOMPARE(doc_->chargeUpper, largest);
        QCOMPARE(doc_->chargeLower, 1e19);
    }

    void chargeViewIgnoresAStaleGrid()
    {
        makeHemt();
        frame_->chargeView()->repaint();
        doc_->core.poissonIterations = 0; // no progress repaints inside this solve
        doc_->core.layers.push_back(layer("GaN", 100, 10));
        doc_->solve(); // the new grid is not painted yet
        const double sheet = doc_->core.sheetCharge;
        frame_->chargeView()->pressAt(10);
        frame_->chargeView()->releaseAt(300);
        QCOMPARE(doc_->core.sheetCharge, sheet);
        QCOMPARE(doc_->core.chargeFirst, 0);
    }

    void bandDiagramPixels()
    {
        makeHemt();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            CTervaneView::draw(painter, doc_->core.grid, 400, 300);
        }
        // The Fermi level at 0 eV runs red across the right half (Efp orange is drawn over it).
        const tervane::Grid& grid = doc_->core.grid;
        double max = -1000, min = 1000;
        for (int i = 0; i + 1 < grid.count; ++i) {
            max = std::max(max, grid.point(i).conductionEdge());
            min = std::min(min, grid.point(i).valenceEdge());
        }
        const double scale = -0.8 * 300 / (max - min);
        const int yFermi = static_cast<int>(30 - scale * max); // y(0) = offset
        const QColor fermi = image.pixelColor(300, yFermi);
        QVERIFY2(fermi == QColor(255, 100, 0) || fermi == QColor(255, 0, 0), qPrintable(fermi.name()));
        // The highest Ec sits on the 10 % line, the lowest Ev on the 90 % line.
        bool blackAtTop = false, blackAtBottom = false;
        for (int x = 0; x < 400; ++x) {
            blackAtTop |= image.pixelColor(x, 30) == QColor(0, 0, 0);
            blackAtBottom |= image.pixelColor(x, 270) == QColor(0, 0, 0);
        }
        QVERIFY(blackAtTop);
        QVERIFY(blackAtBottom);
    }

    void recentFilesKeepFour()
    {
        QTemporaryDir dir;
        for (int i = 1; i <= 5; ++i)
            app_->addRecentFile(dir.filePath(QStringLiteral("s%1.tvn").arg(i)));
        const QStringList files = app_->recentFiles();
        QCOMPARE(files.size(), 4);
        QVERIFY(files.first().endsWith(QStringLiteral("s5.tvn")));
        QVERIFY(files.last().endsWith(QStringLiteral("s2.tvn")));
        CTervaneApp reread;
        QCOMPARE(reread.recentFiles(), files);
    }

    void unsavedEditsAreNotDroppedSilently()
    {
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("s.txt"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("GaN t=100 dx=10 Nd=1e17\n");
        file.close();
        doc_->core.materials = standardLibrary();
        files_.answers = {script};
        frame_->action(32795)->trigger(); // Import Structure...
        QCOMPARE(doc_->core.layers.size(), std::size_t{1});
        QVERIFY(doc_->isModified());
        QVERIFY(frame_->windowTitle().startsWith(QStringLiteral("Untitled")));

        messages_.answer = MessageSink::SaveChoice::Cancel;
        frame_->action(57600)->trigger(); // New: asked, cancelled, nothing lost
        QCOMPARE(messages_.questions, QStringList{QStringLiteral("Save changes to Untitled?")});
        QCOMPARE(doc_->core.layers.size(), std::size_t{1});

        messages_.answer = MessageSink::SaveChoice::Save;
        const QString saved = dir.filePath(QStringLiteral("saved.tvn"));
        files_.answers = {saved};
        frame_->action(57600)->trigger(); // New: saved first, then emptied
        QVERIFY(doc_->core.layers.empty());
        QVERIFY(!doc_->isModified());
        QVERIFY(QFileInfo::exists(saved));

        // Opening replaces the structure shown and solves it.
        doc_->core.layers = {layer("GaN", 50, 10), layer("GaN", 50, 10), layer("GaN", 50, 10)};
        doc_->setModified(false);
        files_.answers = {saved};
        frame_->action(57601)->trigger();
        QCOMPARE(doc_->core.layers.size(), std::size_t{1});
        QCOMPARE(doc_->core.grid.count, 10);
        QVERIFY(app_->recentFiles().first().endsWith(QStringLiteral("saved.tvn")));
        QVERIFY(frame_->windowTitle().startsWith(QStringLiteral("saved.tvn")));

        // A truncated document changes nothing.
        const QString broken = dir.filePath(QStringLiteral("broken.tvn"));
        QFile brokenFile(broken);
        QVERIFY(brokenFile.open(QIODevice::WriteOnly));
        brokenFile.write(QByteArray("\x02\x00\x00\x00\x05\x00\x00\x00", 8));
        brokenFile.close();
        files_.answers = {broken};
        frame_->action(57601)->trigger();
        QCOMPARE(doc_->core.layers.size(), std::size_t{1});
        QCOMPARE(messages_.messages.size(), 1);
        QVERIFY(messages_.messages.first().contains(QStringLiteral("truncated")));
    }

    void everyMenuCommandRunsAndReturns()
    {
        makeHemt();
        frame_->setActiveView(frame_->tervaneView());
        // Every modal dialog a command opens is cancelled as soon as it shows.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->reject();
        });
        closer.start(20);
        const QList<int> ids = {57600, 57601, 57603, 57604, 32780, 32788, 32795, 57606, 57607, 57609, 59392,
                                59393, 32777, 32771, 32772, 32776, 32793, 32784, 32785, 32786, 32797, 32774,
                                32796, 32779, 32789, 32787, 32790, 32791, 57664, 57680, 57681};
        for (int id : ids) {
            QAction* command = frame_->action(id);
            QVERIFY2(command, qPrintable(QString::number(id)));
            frame_->updateCommandStates();
            if (command->isEnabled())
                command->trigger();
        }
        closer.stop();
        QVERIFY(frame_->isVisible());
    }

    void materialsOpenKeepsTheListOnError()
    {
        doc_->core.materials = standardLibrary();
        const std::size_t count = doc_->core.materials.size();
        files_.answers = {QStringLiteral("/nonexistent/materials.tvm")};
        frame_->action(32786)->trigger();
        QCOMPARE(doc_->core.materials.size(), count);
        QCOMPARE(messages_.messages, QStringList{QStringLiteral("Could not open file")});
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
