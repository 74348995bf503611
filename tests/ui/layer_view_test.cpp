// The layer list as a user drives it: the selection following the keys, the mouse and the stack, the
// pane scrolling to the selected line, Enter editing the selected layer, and a layer whose material is
// missing marked on its own line. Run under QT_QPA_PLATFORM=offscreen.
#include <QSignalSpy>
#include <QTimer>

#include "test_support.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/layer_view.h"

namespace {

// Layers of 10, 20, 30 and 40 Angstrom; the second asks for a material the document does not have.
void fourLayers(CTervaneDoc& doc)
{
    doc.core.materials.resize(1);
    doc.core.materials[0].name = "GaN";
    for (const double angstrom : {10.0, 20.0, 30.0, 40.0}) {
        tervane::Layer& layer = doc.core.layers.emplace_back();
        layer.thickness = angstrom * 1e-10;
        layer.material = "GaN";
    }
    doc.core.layers[1].material = "InN";
}

} // namespace

class LayerViewTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink_;

  private slots:
    void initTestCase() { MessageSink::install(&sink_); }

    // Only the layer whose material is missing says so, in the warning colour, and nothing else is
    // reported; the lines after it are still listed.
    void missingMaterialMarkedOnItsLine()
    {
        CTervaneDoc doc;
        fourLayers(doc);
        CLayerView view(&doc);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QStringList lines = view.lines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("000 GaN t:10.0 Nd:0.000e+00 Na:0.000e+00"));
        QCOMPARE(lines[1], QStringLiteral("001 InN t:20.0 Nd:0.000e+00 Na:0.000e+00 (material not found)"));
        for (const int k : {0, 2, 3}) {
            QVERIFY(!lines[k].endsWith(QStringLiteral("(material not found)")));
            QVERIFY(view.lineColour(k) != CLayerView::warningColour());
        }
        QCOMPARE(view.lineColour(1), CLayerView::warningColour());
        QCoreApplication::processEvents();
        QVERIFY(sink_.messages.isEmpty());
    }

    // In a pane of two and a half lines: the keys and a right-click move the selection, the selected
    // line is scrolled into view, the selection follows the stack as it shrinks, and Enter opens the
    // selected layer.
    void selectionFollowsKeysAndStack()
    {
        CTervaneDoc doc;
        fourLayers(doc);
        CLayerView view(&doc);
        view.resize(400, CLayerView::linePitch * 5 / 2);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        QSignalSpy changes(&view, &CLayerView::currentLayerChanged);
        QCOMPARE(view.currentLayer(), -1);

        const QPoint top(10, 1);
        const QPoint bottom(10, view.height() - 1);
        const struct {
            Qt::Key key;
            int selected;
            int atBottom; // the layer drawn on the pane's last pixel row
        } keys[] = {{Qt::Key_Down, 0, 2}, {Qt::Key_Down, 1, 2}, {Qt::Key_End, 3, 3},     {Qt::Key_Down, 3, 3},
                    {Qt::Key_Up, 2, 3},   {Qt::Key_Home, 0, 2}, {Qt::Key_PageDown, 2, 2}};
        for (const auto& k : keys) {
            QTest::keyClick(&view, k.key);
            QCOMPARE(view.currentLayer(), k.selected);
            QCOMPARE(view.layerAt(bottom), k.atBottom);
        }
        QCOMPARE(changes.size(), 6); // Down at the last line changes nothing
        QTest::mouseClick(&view, Qt::RightButton, {}, top);
        QCOMPARE(view.currentLayer(), view.layerAt(top));

        view.setCurrentLayer(3);
        doc.core.layers.erase(doc.core.layers.begin() + 2, doc.core.layers.end());
        emit doc.updated();
        QCOMPARE(view.currentLayer(), 1);
        QCOMPARE(changes.last().value(0).toInt(), 1);

        QString opened;
        QTimer::singleShot(0, [&opened] {
            QWidget* dialog = QApplication::activeModalWidget();
            opened = dialog->windowTitle() + ": " + childNamed(*dialog, "thicknessEdit")->text();
            static_cast<QDialog*>(dialog)->reject();
        });
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(opened, QStringLiteral("Layer Properties: 20"));

        doc.core.layers.clear();
        emit doc.updated();
        QCOMPARE(view.currentLayer(), -1);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.currentLayer(), -1);
    }
};

QTEST_MAIN(LayerViewTest)
#include "layer_view_test.moc"
