// The main window driven as a user drives it: the file commands and every menu command, with message boxes
// and file dialogs replaced by recorders.
#include <QAction>
#include <QLabel>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "io/document_file.h"
#include "test_support.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/layer_view.h"
#include "ui/views/main_frame.h"
#include "ui/views/tervane_view.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Answers the next modal dialog with `done` (QDialog::accept or QDialog::reject) as soon as it shows.
void answerDialogs(QTimer& timer, void (QDialog::*done)())
{
    QObject::connect(&timer, &QTimer::timeout, [done] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            (dialog->*done)();
    });
    timer.start(10);
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    RecordingMessageSink messages_;
    ScriptedFileChooser files_;
    std::unique_ptr<CTervaneApp> app_;
    std::unique_ptr<CTervaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    // The HEMT example, solved classically.
    void makeHemt()
    {
        QVERIFY(tervane::loadDocumentFile(TERVANE_SOURCE_DIR "/examples/hemt/hemt.tvn", doc_->core));
        doc_->solve();
    }

  private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        MessageSink::install(&messages_);
        FileChooser::install(&files_);
    }

    void init()
    {
        messages_.messages.clear();
        messages_.questions.clear();
        messages_.answer = MessageSink::SaveChoice::Discard;
        app_ = std::make_unique<CTervaneApp>();
        doc_ = std::make_unique<CTervaneDoc>(app_.get());
        QVERIFY(doc_->loadMaterials(TERVANE_SOURCE_DIR "/examples/materials/standard.toml"));
        frame_ = std::make_unique<CMainFrame>(app_.get(), doc_.get());
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }

    void cleanup()
    {
        frame_.reset();
        doc_.reset();
    }

    // Unsaved structure and materials edits are asked about; a file that cannot be read changes
    // nothing; the file opened and saved heads the recent list, kept across starts.
    void fileCommands()
    {
        const QString script = dir_.filePath(QStringLiteral("s.txt"));
        writeFile(script, "GaN t=100 dx=10 Nd=1e17\n");
        files_.answers = {script};
        frame_->action(idFileImportStructure)->trigger();
        QVERIFY(doc_->core.layers.size() == 1 && doc_->isModified());
        messages_.answer = MessageSink::SaveChoice::Cancel;
        frame_->action(idFileNew)->trigger();
        QCOMPARE(messages_.questions, QStringList{QStringLiteral("Save changes to Untitled?")});
        QCOMPARE(doc_->core.layers.size(), std::size_t{1});
        messages_.answer = MessageSink::SaveChoice::Save;
        const QString saved = dir_.filePath(QStringLiteral("saved.tvn"));
        files_.answers = {saved};
        frame_->action(idFileNew)->trigger();
        QVERIFY(doc_->core.layers.empty() && !doc_->isModified() && QFileInfo::exists(saved));

        const QString broken = dir_.filePath(QStringLiteral("broken.tvn"));
        writeFile(broken, QByteArray("\x02\x00\x00\x00\x05\x00\x00\x00", 8));
        files_.answers = {saved, broken, dir_.filePath(QStringLiteral("none.tvm"))};
        for (const int id : {idFileOpen, idFileOpen, idMaterialsOpen})
            frame_->action(id)->trigger();
        doc_->finishSolve();
        QCOMPARE(doc_->core.grid.count, 10);
        QCOMPARE(doc_->core.materials, standardLibrary());
        QVERIFY(frame_->windowTitle().startsWith(QStringLiteral("saved.tvn")));
        QCOMPARE(messages_.messages.size(), 2);
        QVERIFY(messages_.messages[0].contains(QStringLiteral("truncated")));
        QCOMPARE(messages_.messages[1], QStringLiteral("Could not open file"));

        // OK in the materials editor without a change marks nothing; a real change is a step of the
        // document's history, and the materials are asked about after the document.
        QTimer accepter;
        answerDialogs(accepter, &QDialog::accept);
        frame_->action(idMaterialsSetup)->trigger();
        QVERIFY(!frame_->isWindowModified());
        doc_->edit(QStringLiteral("Remove Material"), [this] {
            doc_->core.materials.pop_back();
            return true;
        });
        QVERIFY(frame_->isWindowModified());
        messages_.questions.clear();
        messages_.answer = MessageSink::SaveChoice::Cancel;
        frame_->action(idFileNew)->trigger();
        QCOMPARE(messages_.questions, QStringList{QStringLiteral("Save changes to saved.tvn?")});
        QVERIFY(doc_->materialsModified());
        doc_->undoStack()->undo();
        QVERIFY(!frame_->isWindowModified());

        QCOMPARE(app_->recentFiles(), QStringList{saved});
        QCOMPARE(CTervaneApp().recentFiles(), QStringList{saved});
    }

    // Cut and Paste in the layer list are steps of the history, named in the Edit menu; a script opened
    // as a document is offered for import; a dropped file goes where its kind says.
    void layersThroughTheClipboardAndFiles()
    {
        makeHemt();
        const std::vector<tervane::Layer> layers = doc_->core.layers;
        frame_->setActiveView(frame_->layerView());
        frame_->layerView()->setCurrentLayer(0);
        frame_->action(idEditCut)->trigger();
        QCOMPARE(doc_->core.layers.size(), layers.size() - 1);
        frame_->layerView()->setCurrentLayer(0);
        frame_->action(idEditPaste)->trigger(); // after the selected layer: GaN, then AlGaN
        QVERIFY(doc_->core.layers[1] == layers[0] && doc_->isModified());
        QCOMPARE(frame_->action(idEditUndo)->text(), QStringLiteral("&Undo Paste Layers\tCtrl+Z"));
        frame_->action(idEditUndo)->trigger();
        frame_->action(idEditUndo)->trigger();
        QVERIFY(doc_->core.layers == layers && !doc_->isModified());
        frame_->action(idEditRedo)->trigger();
        QCOMPARE(doc_->core.layers.size(), layers.size() - 1);

        const QString script = dir_.filePath(QStringLiteral("more.txt"));
        writeFile(script, "GaN t=100 dx=10 Nd=1e17\n");
        messages_.yes = true;
        files_.answers = {script};
        frame_->action(idFileOpen)->trigger();
        QVERIFY(messages_.questions.last().startsWith(QStringLiteral("more.txt is a structure script")));
        QCOMPARE(doc_->core.layers.size(), layers.size());
        QVERIFY(doc_->openDroppedFile(script));
        QCOMPARE(doc_->core.layers.size(), layers.size() + 1);
        QVERIFY(doc_->openDroppedFile(TERVANE_SOURCE_DIR "/examples/materials/standard.toml"));
        doc_->finishSolve();
        QVERIFY(doc_->solutionIsCurrent() && doc_->core.grid.count > 0);
    }

    // The window's size and the layer list's width come back at the next start.
    void windowLayoutKeptBetweenRuns()
    {
        frame_->resize(900, 640);
        auto* splitter = frame_->findChild<QSplitter*>(QStringLiteral("outerSplitter"));
        splitter->setSizes({180, 720});
        const QList<int> sizes = splitter->sizes();
        QVERIFY(frame_->close());
        frame_ = std::make_unique<CMainFrame>(app_.get(), doc_.get());
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        QCOMPARE(frame_->size(), QSize(900, 640));
        QCOMPARE(frame_->findChild<QSplitter*>(QStringLiteral("outerSplitter"))->sizes(), sizes);
    }

    // Every enabled command runs and returns, each dialog it opens cancelled as soon as it shows.
    void everyMenuCommandRunsAndReturns()
    {
        makeHemt();
        frame_->setActiveView(frame_->tervaneView());
        QTimer rejecter;
        answerDialogs(rejecter, &QDialog::reject);
        const QList<QAction*> commands = frame_->findChildren<QAction*>(QRegularExpression("^command"));
        QVERIFY(commands.size() > 30);
        for (QAction* command : commands) {
            frame_->updateCommandStates();
            if (command->isEnabled() && command != frame_->action(idAppExit))
                command->trigger();
        }
        QVERIFY(frame_->isVisible());
    }
};

QTEST_MAIN(MainFrameTest)
#include "main_frame_test.moc"
