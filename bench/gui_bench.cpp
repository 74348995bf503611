// Interactive costs of the desktop program, medians of repeated runs:
//  - a layer edit on a 2,000-point classical HEMT: the solve plus a repaint of all three views;
//  - painting a 100,000-point solution in the band diagram and the charge view, each 1,600 pixels
//    wide (the panes of a 1,910-pixel window), whole and zoomed to a tenth, and the figure of both
//    into a 1,600 x 900 image. Curves are decimated to the pixel columns, so the target is 16 ms.
//   cmake -S . -B build-bench -G Ninja -DTERVANE_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target gui_bench
//   QT_QPA_PLATFORM=offscreen build-bench/bench/gui_bench
// Wall time and the painting thread's CPU time are both given: on a busy machine the first grows
// with the load, the second is the paint's own cost.
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "io/materials_toml.h"
#include "ui/document/message_sink.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/charge_view.h"
#include "ui/views/figure.h"
#include "ui/views/layer_view.h"
#include "ui/views/main_frame.h"
#include "ui/views/tervane_view.h"

namespace {

// Messages are dropped while timing: a message box would stop the run.
class SilentMessageSink : public MessageSink {
  public:
    void showMessage(const QString&) override {}
    SaveChoice askSaveChanges(const QString&) override { return SaveChoice::Discard; }
};

// CPU time of this thread, ms: the paint's own cost, whatever else the machine runs meanwhile.
double threadMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

tervane::Layer layer(const char* material, double thickness, double dx, double Nd, double x)
{
    tervane::Layer l;
    l.material = material;
    l.thickness = thickness;
    l.dx = dx;
    l.Nd = Nd;
    l.composition = tervane::Quadratic(x, 0, 0);
    return l;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    SilentMessageSink messages;
    MessageSink::install(&messages);

    CTervaneApp app;
    CTervaneDoc doc(&app);
    if (!tervane::loadMaterialsTomlFile(TERVANE_SOURCE_DIR "/examples/materials/standard.toml",
                                        doc.core.materials)) {
        std::fprintf(stderr, "cannot read the standard library\n");
        return 1;
    }
    CMainFrame frame(&app, &doc);
    frame.resize(1200, 800);
    frame.show();
    QApplication::processEvents();

    auto hemt = [&](int points) {
        const double length = 250e-10 + 1e-6;
        doc.core.layers = {layer("AlGaN", 250e-10, length / points, 0, 0.25),
                           layer("GaN", 1e-6, length / points, 1e22, 0)};
        doc.core.grid.leftContact = tervane::ContactKind::Fixed;
        doc.core.grid.leftBarrier = 1.2;
    };

    hemt(2000);
    std::vector<double> edits;
    for (int r = 0; r < 15; ++r) {
        doc.core.layers[1].Nd = (r % 2 ? 1e22 : 2e22); // the edit a Layer Properties OK makes
        QElapsedTimer timer;
        timer.start();
        doc.solve();
        frame.layerView()->repaint();
        frame.tervaneView()->repaint();
        frame.chargeView()->repaint();
        edits.push_back(timer.nsecsElapsed() * 1e-6);
    }
    std::printf(
        "layer edit, %d points: solve + repaint of three views, median of 15: %.1f ms (%d iterations)\n",
        doc.core.grid.count, median(edits), doc.core.iterations);

    hemt(100000);
    doc.solve();
    frame.resize(1910, 1000);
    QApplication::processEvents();
    frame.findChild<QSplitter*>(QStringLiteral("outerSplitter"))->setSizes({frame.width() - 1600, 1600});
    QApplication::processEvents();
    for (const bool zoomed : {false, true}) {
        if (zoomed)
            doc.showDepths(0, doc.depthWindow.length() / 10);
        else
            doc.zoomToFit();
        std::vector<double> band, charge, figure, bandCpu, chargeCpu, figureCpu;
        QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
        auto time = [](std::vector<double>& wall, std::vector<double>& cpu, auto work) {
            QElapsedTimer timer;
            timer.start();
            const double start = threadMilliseconds();
            work();
            cpu.push_back(threadMilliseconds() - start);
            wall.push_back(timer.nsecsElapsed() * 1e-6);
        };
        for (int r = 0; r < 15; ++r) {
            time(band, bandCpu, [&] { frame.tervaneView()->repaint(); });
            time(charge, chargeCpu, [&] { frame.chargeView()->repaint(); });
            time(figure, figureCpu, [&] {
                QPainter painter(&image);
                paintFigure(painter, doc, QSizeF(1600, 900), 0.5);
            });
        }
        std::printf(
            "paint, %d points%s, medians of 15 (wall / CPU): %dx%d band diagram %.1f / %.1f ms; %dx%d "
            "charge view %.1f / %.1f ms; 1600x900 figure %.1f / %.1f ms\n",
            doc.core.grid.count, zoomed ? ", a tenth shown" : "", frame.tervaneView()->width(),
            frame.tervaneView()->height(), median(band), median(bandCpu), frame.chargeView()->width(),
            frame.chargeView()->height(), median(charge), median(chargeCpu), median(figure),
            median(figureCpu));
    }
    return 0;
}
