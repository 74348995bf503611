// A soak of the document's edits against a model of what they must leave: thousands of random adds,
// deletes, field edits, switches, undos, redos, saves and reopens of a small structure. After each
// step the solution shown is that of the structure as it is, the modified mark tells the document
// from the file it was saved to, and undoing everything gives back the document the history began
// with, byte for byte (redoing everything, the latest one).
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QUndoStack>
#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "io/document_file.h"
#include "test_support.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"

namespace {

constexpr int steps = 2000;
constexpr int fullUndoEvery = 100;
constexpr unsigned seed = 20240615;
constexpr double perCm3 = 1e6; // m^-3
// Every layer has whole nanometres at a 1 nm spacing, so its points are its thickness in nm.
constexpr double spacing = 1e-9;
constexpr int maxLayers = 5;

std::string documentBytes(const tervane::Document& core)
{
    return tervane::encodeDocument(core.layers, core.grid.leftContact, core.grid.leftBarrier,
                                   tervane::documentSettings(core));
}

std::string fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

int expectedPoints(const tervane::Document& core)
{
    int points = 0;
    for (const tervane::Layer& layer : core.layers)
        points += static_cast<int>(std::lround(layer.thickness / spacing));
    return points;
}

} // namespace

class EditSoakTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    RecordingMessageSink messages_;
    ScriptedFileChooser files_;
    std::mt19937 random_{seed};
    std::unique_ptr<CTervaneApp> app_;
    std::unique_ptr<CTervaneDoc> doc_;
    // The model: the document the undo history starts from, and each file's bytes as last written.
    std::string historyStart_;
    std::map<QString, std::string> saved_;
    int step_ = 0;

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    QString where() const { return QStringLiteral("at step %1").arg(step_); }

    tervane::Layer randomLayer()
    {
        tervane::Layer layer;
        layer.material = pick(2) ? "GaN" : "AlGaN";
        layer.composition.a = layer.material == "AlGaN" ? 0.05 * (1 + pick(6)) : 0.0;
        layer.thickness = (5 + pick(20)) * spacing;
        layer.dx = spacing;
        layer.Nd = std::pow(10.0, 15 + pick(4)) * perCm3;
        return layer;
    }

    void reopen(const QString& path)
    {
        QVERIFY2(doc_->openDocument(path), qPrintable(where()));
        historyStart_ = saved_[path];
        QVERIFY2(documentBytes(doc_->core) == historyStart_, qPrintable(where()));
    }

    void randomStep()
    {
        const std::size_t layers = doc_->core.layers.size();
        QUndoStack& stack = *doc_->undoStack();
        switch (pick(9)) {
        case 0:
            if (layers < maxLayers)
                doc_->edit(QStringLiteral("Add Layer"), [&] {
                    doc_->core.layers.insert(doc_->core.layers.begin() + pick(int(layers) + 1),
                                             randomLayer());
                    return true;
                });
            break;
        case 1:
            if (layers > 0)
                doc_->deleteLayer(pick(int(layers)));
            break;
        case 2:
            if (layers > 0)
                doc_->edit(QStringLiteral("Edit Layer"), [&] {
                    tervane::Layer& layer = doc_->core.layers[std::size_t(pick(int(layers)))];
                    const tervane::Layer other = randomLayer();
                    const int field = pick(3);
                    layer.Nd = field == 0 ? other.Nd : layer.Nd;
                    layer.thickness = field == 1 ? other.thickness : layer.thickness;
                    layer.composition.a =
                        field == 2 && layer.material == "AlGaN" ? other.composition.a : layer.composition.a;
                    return true;
                });
            break;
        case 3:
            pick(2) ? doc_->togglePolarization() : doc_->toggleFullyIonized();
            break;
        case 4:
            stack.undo();
            break;
        case 5:
            stack.redo();
            break;
        case 6: {
            // Save As to one of two files, or Save to the file the document has.
            const QString path = dir_.filePath(pick(2) ? QStringLiteral("a.tvn") : QStringLiteral("b.tvn"));
            files_.answers = {path};
            QVERIFY2(pick(2) ? doc_->fileSaveAs() : doc_->fileSave(), qPrintable(where()));
            files_.answers.clear();
            saved_[doc_->pathName()] = fileBytes(doc_->pathName());
            QVERIFY2(saved_[doc_->pathName()] == documentBytes(doc_->core), qPrintable(where()));
            QVERIFY2(!doc_->isModified(), qPrintable(where()));
            break;
        }
        default:
            // Rarely, so that histories grow long between two reopens.
            if (pick(8) == 0)
                reopen(doc_->pathName());
            break;
        }
    }

    // The solution shown is that of the structure as it is; an unmodified document is its file.
    void checkShown()
    {
        doc_->finishSolve();
        const tervane::Document& core = doc_->core;
        QVERIFY2(!doc_->solving() && doc_->solutionIsCurrent(), qPrintable(where()));
        QVERIFY2(core.grid.count == (doc_->solveFailed() ? 0 : expectedPoints(core)), qPrintable(where()));
        if (!doc_->isModified())
            QVERIFY2(documentBytes(core) == saved_[doc_->pathName()], qPrintable(where()));
    }

    // Undoing everything gives back the document the history began with; redoing it, the one shown.
    void checkFullUndo()
    {
        QUndoStack& stack = *doc_->undoStack();
        const std::string latest = documentBytes(doc_->core);
        const bool modified = doc_->isModified();
        const int index = stack.index(); // steps undone before stay undone
        while (stack.canUndo())
            stack.undo();
        checkShown();
        QVERIFY2(documentBytes(doc_->core) == historyStart_, qPrintable(where()));
        while (stack.index() < index)
            stack.redo();
        checkShown();
        QVERIFY2(documentBytes(doc_->core) == latest, qPrintable(where()));
        QVERIFY2(doc_->isModified() == modified, qPrintable(where()));
    }

  private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
        MessageSink::install(&messages_);
        FileChooser::install(&files_);
    }

    void randomEdits()
    {
        app_ = std::make_unique<CTervaneApp>();
        doc_ = std::make_unique<CTervaneDoc>(app_.get());
        doc_->core.materials = standardLibrary();
        // The HEMT's contact and settings, with three thin layers.
        QVERIFY(tervane::loadDocumentFile(TERVANE_SOURCE_DIR "/examples/hemt/hemt.tvn", doc_->core));
        doc_->core.layers.clear();
        for (int k = 0; k < 3; ++k)
            doc_->core.layers.push_back(randomLayer());
        const QString start = dir_.filePath(QStringLiteral("start.tvn"));
        QVERIFY(tervane::saveDocumentFile(start.toStdString(), doc_->core));
        saved_[start] = fileBytes(start);
        reopen(start);

        QElapsedTimer clock;
        clock.start();
        int failed = 0;
        int longestHistory = 0;
        for (step_ = 1; step_ <= steps && !QTest::currentTestFailed(); ++step_) {
            randomStep();
            checkShown();
            failed += doc_->solveFailed();
            longestHistory = std::max(longestHistory, doc_->undoStack()->count());
            if (step_ % fullUndoEvery == 0)
                checkFullUndo();
        }
        if (QTest::currentTestFailed())
            return;
        checkFullUndo();
        qInfo("%d steps in %lld ms, %d solves failed, %d messages, longest history %d steps", steps,
              clock.elapsed(), failed, int(messages_.messages.size()), longestHistory);
        doc_.reset();
    }
};

QTEST_MAIN(EditSoakTest)
#include "edit_soak_test.moc"
