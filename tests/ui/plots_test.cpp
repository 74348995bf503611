// The two plots of the window as geometry: where their labels go at every size, zoom and pan in
// depth, the sheet-density range kept in depth, the charge scale, the read-out, and the figure as it
// leaves the program (files, clipboard, the command line without a window).
#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>

#include "engine/solve_driver.h"
#include "io/document_file.h"
#include "test_support.h"
#include "ui/document/program_arguments.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/band_diagram_plot.h"
#include "ui/views/charge_plot.h"
#include "ui/views/charge_view.h"
#include "ui/views/elided_label.h"
#include "ui/views/figure.h"
#include "ui/views/main_frame.h"
#include "ui/views/nice_ticks.h"
#include "ui/views/plot_mapping.h"
#include "ui/views/tervane_view.h"

namespace {

constexpr double tolDepth = 1e-6;    // of the span shown: zoom arithmetic in doubles
constexpr double tolRelative = 1e-9; // integrals and read-outs done in another order
constexpr double tolPixel = 0.5;     // curve ends against the plot's edges, px

// Every label inside the plot's rectangle, no two overlapping, and enough ticks to read each axis.
void checkLabels(const PlotLayout& layout, const QSizeF& size, const QString& where)
{
    int xTicks = 0;
    int yTicks = 0;
    const QRectF bounds(QPointF(0, 0), size);
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
        const PlotLabel& label = layout.labels[i];
        QVERIFY2(bounds.contains(label.rect), qPrintable(where + ": " + label.text + " leaves the plot"));
        for (std::size_t j = 0; j < i; ++j)
            QVERIFY2(!label.rect.intersects(layout.labels[j].rect),
                     qPrintable(where + ": " + label.text + " overlaps " + layout.labels[j].text));
        xTicks += label.role == LabelRole::XTick;
        yTicks += label.role == LabelRole::YTick;
    }
    QVERIFY2(xTicks >= 3 && yTicks >= 2, qPrintable(where));
    QVERIFY(layout.plot.width() > 0.5 * size.width() && layout.plot.height() > 0.3 * size.height());
}

} // namespace

class PlotsTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    RecordingMessageSink messages_;
    ScriptedFileChooser files_;
    std::unique_ptr<CTervaneApp> app_;
    std::unique_ptr<CTervaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;

    void makeHemt()
    {
        QVERIFY(tervane::loadDocumentFile(TERVANE_SOURCE_DIR "/examples/hemt/hemt.tvn", doc_->core));
        doc_->solve();
    }
    double length() const { return pointDepths(doc_->core.grid).back(); }

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
        app_ = std::make_unique<CTervaneApp>();
        doc_ = std::make_unique<CTervaneDoc>(app_.get());
        doc_->core.materials = standardLibrary();
        frame_ = std::make_unique<CMainFrame>(app_.get(), doc_.get());
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        makeHemt();
    }

    void cleanup()
    {
        frame_.reset();
        doc_.reset();
    }

    // Round values: 1, 2 or 5 times a power of ten, or whole decades thinned to fit; worked by hand.
    void roundTicks()
    {
        QCOMPARE(tervane::niceTicks(0, 1025, 10), (std::vector<double>{0, 200, 400, 600, 800, 1000}));
        QCOMPARE(tervane::niceTicks(-4.2, 1.4, 6), (std::vector<double>{-4, -3, -2, -1, 0, 1}));
        QCOMPARE(tervane::niceTicks(0.12, 0.31, 4), (std::vector<double>{0.15, 0.2, 0.25, 0.3}));
        QCOMPARE(tervane::decadeTicks(15.3, 27.8, 5), (std::vector<int>{20, 25}));
        QVERIFY(tervane::niceTicks(1, 1, 5).empty() && tervane::niceTicks(0, NAN, 5).empty());
        QCOMPARE(tervane::tickText(-0.25, 0.25), std::string("-0.25"));
        QCOMPARE(tervane::tickText(1e-17, 0.5), std::string("0.0"));
        QCOMPARE(tervane::tickText(-1e-17, 1), std::string("0"));
        QCOMPARE(tervane::commonExponent(3.2e19), 19);
        QCOMPARE(powerOfTen(-3), QStringLiteral("10⁻³"));
    }

    // At the smallest and largest windows, on a linear and a log scale, zoomed out and in, and at a
    // device pixel ratio of 1 and 2, no label leaves its plot or overlaps another.
    void labelsInsideAndApart()
    {
        for (const QSize window : {QSize(640, 480), QSize(1000, 700), QSize(2560, 1440)}) {
            frame_->resize(window);
            QApplication::processEvents();
            for (int variant = 0; variant < 8; ++variant) { // log scale, zoomed, ratio 2: one bit each
                doc_->core.chargeView.logScale = variant & 1;
                doc_->showDepths(variant & 2 ? 12.5e-9 : 0, variant & 2 ? 57.3e-9 : length());
                const double ratio = variant & 4 ? 2 : 1;
                QImage device(frame_->chargeView()->size() * ratio, QImage::Format_ARGB32);
                device.setDevicePixelRatio(ratio);
                const QFontMetricsF metrics(frame_->chargeView()->font(), &device);
                const QString where =
                    QString::asprintf("%dx%d variant %d", window.width(), window.height(), variant);
                const QSizeF band = frame_->tervaneView()->size();
                const QSizeF charge = frame_->chargeView()->size();
                checkLabels(BandDiagramPlot(*doc_).layout(band, metrics), band, "band " + where);
                checkLabels(ChargePlot(*doc_).layout(charge, metrics), charge, "charge " + where);
            }
        }
    }

    // The wheel zooms about the pointer, a modifier drag to the depths it spans, Ctrl+0 to the
    // whole; both plots and the scroll bar show the same range; panning stops at the ends.
    void zoomAndPanInDepth()
    {
        CTervaneView* band = frame_->tervaneView();
        const QRectF plot = band->currentLayout().plot;
        const double x = plot.left() + 0.3 * plot.width();
        const double under = band->depthAt(x);
        band->wheelAt(x, 2 * 120);
        QVERIFY(std::fabs(band->depthAt(x) - under) <= tolDepth * doc_->depthWindow.span());
        QVERIFY(std::fabs(doc_->depthWindow.span() - 0.64 * length()) <= tolDepth * length());

        const double a = band->depthAt(plot.left() + 10);
        const double b = band->depthAt(plot.left() + 60);
        band->zoomBetween(plot.left() + 60, plot.left() + 10);
        QVERIFY(std::fabs(doc_->depthWindow.from() - a) <= tolDepth * length());
        QVERIFY(std::fabs(doc_->depthWindow.to() - b) <= tolDepth * length());
        QScrollBar* bar = frame_->depthScrollBar();
        QVERIFY(bar->isEnabled() && bar->value() == int(std::lround(a / length() * 10000)));

        doc_->pan(2 * length());
        QVERIFY(std::fabs(doc_->depthWindow.to() - length()) <= tolDepth * length());
        QVERIFY(std::fabs(doc_->depthWindow.span() - (b - a)) <= tolDepth * length());
        frame_->action(idViewZoomToFit)->trigger();
        QVERIFY(doc_->depthWindow.from() == 0 && doc_->depthWindow.to() == length() && !bar->isEnabled());
        frame_->action(idViewZoomIn)->trigger();
        QVERIFY(std::fabs(doc_->depthWindow.span() - 0.5 * length()) <= tolDepth * length());
    }

    // The range is chosen in depth: a resize moves its marks with the plot, a solve keeps it and
    // integrates the new solution over it; Zoom to Selected Range shows exactly it.
    void rangeKeptInDepth()
    {
        CChargeView* view = frame_->chargeView();
        const QRectF plot = view->currentLayout().plot;
        view->selectBetween(plot.left() + 0.4 * plot.width(), plot.left() + 0.02 * plot.width());
        const double from = doc_->core.chargeView.rangeFrom;
        const double to = doc_->core.chargeView.rangeTo;
        QVERIFY(from < to && from > 0);
        auto sheet = [&] { // trapezoids over the intervals inside [from, to], cm^-2
            const std::vector<double> depths = pointDepths(doc_->core.grid);
            double sum = 0;
            for (std::size_t i = 0; i + 1 < depths.size(); ++i)
                if (depths[i] >= from - 1e-15 && depths[i + 1] <= to + 1e-15)
                    sum += 0.5 *
                           (doc_->core.grid.points[i].electronDensity(tervane::DensityMode::Classical) +
                            doc_->core.grid.points[i + 1].electronDensity(tervane::DensityMode::Classical)) *
                           (depths[i + 1] - depths[i]) * 1e-4;
            return sum;
        };
        QVERIFY(std::fabs(doc_->core.sheetCharge - sheet()) <= tolRelative * sheet());

        frame_->resize(700, 500);
        QApplication::processEvents();
        QCOMPARE(doc_->core.chargeView.rangeFrom, from);
        const QRectF resized = view->currentLayout().plot;
        QVERIFY(std::fabs(view->positionOf(to) - (resized.left() + 0.4 * resized.width())) <= tolPixel);

        const double before = doc_->core.sheetCharge;
        doc_->core.layers[0].Nd = 2e24; // a doped barrier gives the channel more electrons
        doc_->solve();
        QCOMPARE(doc_->core.chargeView.rangeFrom, from);
        QVERIFY(doc_->core.sheetCharge > before);
        QVERIFY(std::fabs(doc_->core.sheetCharge - sheet()) <= tolRelative * sheet());
        QVERIFY(frame_->statusPane(0)->text().contains(QString::asprintf("ns: %.2e", sheet())));

        frame_->action(idViewZoomToRange)->trigger();
        QCOMPARE(doc_->depthWindow.from(), from);
        QCOMPARE(doc_->depthWindow.to(), to);
    }

    // The read-out interpolates between the points around the pointer's depth; with bound states it
    // shows the density ns integrates and, where it differs, the classical one.
    void cursorReadOut()
    {
        doc_->showDepths(20e-9, 30e-9);
        CChargeView* view = frame_->chargeView();
        const QRectF plot = view->currentLayout().plot;
        const double x = plot.left() + 0.55 * plot.width();
        view->cursorAt(x);
        const std::vector<double> depths = pointDepths(doc_->core.grid);
        const double depth = 20e-9 + 0.55 * 10e-9;
        const auto k =
            std::size_t(std::upper_bound(depths.begin(), depths.end(), depth) - depths.begin() - 1);
        const double t = (depth - depths[k]) / (depths[k + 1] - depths[k]);
        const auto& points = doc_->core.grid.points;
        const double n = (1 - t) * points[k].electronDensity(tervane::DensityMode::Classical) +
                         t * points[k + 1].electronDensity(tervane::DensityMode::Classical);
        QVERIFY(std::fabs(doc_->cursorN - n) <= tolRelative * n);
        QVERIFY(std::fabs(doc_->cursorX - depth) <= tolDepth * 10e-9);
        QVERIFY(!frame_->cursorPaneText().contains(QStringLiteral("classical")));

        doc_->setCursor(2.5e23, 1e23, 1.5e10, 12.345e-9);
        QCOMPARE(frame_->cursorPaneText(),
                 QStringLiteral("n: 2.500e+17 (classical 1.000e+17)\tp: 1.500e+04\tx: 12.35 nm"));
        // Narrow window: the panes share its width and shorten their texts.
        frame_->resize(640, 480);
        QApplication::processEvents();
        const auto* left =
            frame_->findChild<QWidget*>(QStringLiteral("statusPane102"))->findChild<ElidedLabel*>();
        const QRect solver = frame_->statusPane(0)->geometry();
        const QRect cursor = left->parentWidget()->geometry();
        QVERIFY(solver.right() < cursor.left() && cursor.right() < frame_->width());
        QVERIFY(left->shownText().endsWith(QChar(0x2026)));
    }

    // Auto scale over the depths shown never turns the axis over, even with no electrons; a log scale
    // from a limit that is not positive draws from a positive one and says so.
    void chargeScaleNeverInverted()
    {
        doc_->core.layers = {doc_->core.layers[1]};
        doc_->core.layers[0].Nd = 0;
        doc_->core.grid.leftContact = tervane::ContactKind::Neutral;
        doc_->solve();
        for (const bool log : {false, true}) {
            doc_->core.chargeView.logScale = log;
            doc_->updateChargeScale();
            QVERIFY(doc_->core.chargeView.lower < doc_->core.chargeView.upper);
            const ChargePlot plot(*doc_);
            const PlotAxis& axis = plot.densityAxis();
            QVERIFY(axis.lo < axis.hi);
        }
        doc_->core.chargeView.autoScale = false;
        doc_->core.chargeView.lower = 0;
        doc_->core.chargeView.upper = 1e24;
        double lower = 0, upper = 0;
        QString note;
        doc_->chargeLimits(lower, upper, &note);
        QVERIFY(lower > 0 && lower < upper && upper == 1e24);
        emit doc_->updated();
        QVERIFY(frame_->statusBar()->currentMessage().contains(QStringLiteral("positive lower limit")));
    }

    // The figure as files: the PNG has the size and resolution asked for, the SVG parses and its
    // curves run across the band diagram's plot, the PDF is one page.
    void figureFiles()
    {
        doc_->showDepths(0, 60e-9);
        FigureOptions options;
        options.size = QSize(800, 600);
        options.dpi = 192;
        const QString png = dir_.filePath(QStringLiteral("f.png"));
        QCOMPARE(writeFigure(png, *doc_, options), QString());
        QCOMPARE(QImage(png).size(), QSize(1600, 1200));

        const QString svg = dir_.filePath(QStringLiteral("f.svg"));
        QCOMPARE(writeFigure(svg, *doc_, options), QString());
        QFile svgFile(svg);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svgFile);
        double left = 1e9, right = -1e9;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("polyline"))
                continue;
            const QStringList points =
                xml.attributes().value("points").toString().split(' ', Qt::SkipEmptyParts);
            if (points.size() < 3) // tick lines, legend samples and levels
                continue;
            for (const QString& pair : points) {
                left = std::min(left, pair.section(',', 0, 0).toDouble());
                right = std::max(right, pair.section(',', 0, 0).toDouble());
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        // The curves start at the left contact, at the plots' left edges, and are cut at their right
        // edges: nothing is drawn outside a plot, whatever the file's reader does with clipping.
        QImage device(1, 1, QImage::Format_ARGB32);
        QFont font = QApplication::font();
        font.setPixelSize(figureFontPixels());
        const QFontMetricsF metrics(font, &device);
        const QRectF band = BandDiagramPlot(*doc_).layout(QSizeF(800, 300), metrics).plot;
        const QRectF charge = ChargePlot(*doc_).layout(QSizeF(800, 300), metrics).plot;
        QVERIFY(std::fabs(left - std::min(band.left(), charge.left())) <= tolPixel);
        QVERIFY(std::fabs(right - std::max(band.right(), charge.right())) <= tolPixel);

        const QString pdf = dir_.filePath(QStringLiteral("f.pdf"));
        QCOMPARE(writeFigure(pdf, *doc_, options), QString());
        QFile pdfFile(pdf);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly));
        const QString bytes = QString::fromLatin1(pdfFile.readAll());
        QVERIFY(bytes.startsWith("%PDF-") && bytes.count(QRegularExpression("/Type\\s*/Page\\b")) == 1);
        // Printing: the same figure on one page.
        QPrinter printer;
        printer.setOutputFileName(dir_.filePath(QStringLiteral("printed.pdf")));
        frame_->printFigure(printer);
        QFile printed(printer.outputFileName());
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(printed.readAll()).count(QRegularExpression("/Type\\s*/Page\\b")), 1);

        QVERIFY(writeFigure(dir_.filePath(QStringLiteral("f.bmp")), *doc_, options)
                    .contains(".png, .svg or .pdf"));
    }

    // Edit > Copy: the picture of both panes and one row of text per point shown.
    void copyPictureAndPoints()
    {
        doc_->showDepths(20e-9, 40e-9);
        frame_->setActiveView(frame_->tervaneView());
        frame_->action(idEditCopy)->trigger();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        const FigureOptions shown = frame_->shownFigure();
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).deviceIndependentSize().toSize(), shown.size);
        const QStringList rows = data->text().split('\n', Qt::SkipEmptyParts);
        QVERIFY(rows[0].startsWith(QStringLiteral("depth (nm)\tEc (eV)")));
        const std::vector<double>& depths = doc_->depths();
        QCOMPARE(rows.size() - 1, std::count_if(depths.begin(), depths.end(),
                                                [](double d) { return d >= 20e-9 && d <= 40e-9; }));
        QCOMPARE(rows[1].split('\t').size(), 7);
        QVERIFY(rows[1].section('\t', 0, 0).toDouble() >= 20 &&
                rows.last().section('\t', 0, 0).toDouble() <= 40);
    }

    // The command line: what is accepted, what is refused and why, and a figure written without a
    // window.
    void commandLine()
    {
        const ProgramArguments figure =
            parseProgramArguments({"--export-figure", "out.svg", "--depth-range", "0:60", "--schroedinger",
                                   "--size", "800x500", "d.tvn"});
        QVERIFY(figure.error.isEmpty() && figure.mode == ProgramArguments::Mode::ExportFigure);
        QVERIFY(figure.from == 0 && figure.to == 60 && figure.schroedinger && figure.size == QSize(800, 500));
        QCOMPARE(parseProgramArguments({"--help"}).mode, ProgramArguments::Mode::Help);
        QCOMPARE(parseProgramArguments({"--version"}).mode, ProgramArguments::Mode::Version);
        QCOMPARE(parseProgramArguments({"d.tvn"}).document, QStringLiteral("d.tvn"));
        const std::vector<std::pair<QStringList, QString>> refused = {
            {{"--export-figure", "o.png", "--depth-range", "60:10", "d"}, "--depth-range takes A:B"},
            {{"--export-figure", "o.png"}, "--export-figure needs a document"},
            {{"--export-figure", "o.png", "--size", "10x10", "d"}, "--size takes WxH"},
            {{"--schroedinger", "d"}, "--depth-range, --schroedinger, --size and --dpi go with"},
            {{"--zoom", "d"}, "unknown option --zoom"},
            {{"a", "b"}, "one document at a time"},
        };
        for (const auto& [arguments, why] : refused)
            QVERIFY2(parseProgramArguments(arguments).error.startsWith(why), qPrintable(arguments.join(' ')));

        ProgramArguments run =
            parseProgramArguments({"--export-figure", dir_.filePath("h.png"), "--depth-range", "0:60",
                                   TERVANE_SOURCE_DIR "/examples/hemt/hemt.tvn"});
        CTervaneDoc headless;
        headless.core.materials = standardLibrary();
        QString errors;
        QTextStream stream(&errors);
        QCOMPARE(exportFigureCommand(run, headless, stream), 0);
        QCOMPARE(QImage(dir_.filePath("h.png")).size(), QSize(1000, 700));
        QVERIFY(std::fabs(headless.depthWindow.to() - 60e-9) <= tolDepth * 60e-9);
        run.document = dir_.filePath("missing.tvn");
        QCOMPARE(exportFigureCommand(run, headless, stream), 1);
        QVERIFY(!errors.isEmpty());
    }
};

QTEST_MAIN(PlotsTest)
#include "plots_test.moc"
