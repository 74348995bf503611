#include "ui/views/figure.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "model/constants.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/band_diagram_plot.h"
#include "ui/views/charge_plot.h"
#include "ui/views/plot_mapping.h"

namespace {

constexpr double screenDpi = 96.0;
constexpr double pointsPerInch = 72.0;
constexpr int pdfResolution = 1200; // dpi of the PDF's coordinates; the drawing is vector

} // namespace

int figureFontPixels()
{
    return QFontInfo(QApplication::font()).pixelSize();
}

void paintFigure(QPainter& painter, const CTervaneDoc& doc, const QSizeF& size, double bandShare)
{
    painter.save();
    QFont font = QApplication::font();
    font.setPixelSize(figureFontPixels());
    painter.setFont(font);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    const double bandHeight = std::round(size.height() * bandShare);
    BandDiagramPlot(doc).paint(painter, QSizeF(size.width(), bandHeight));
    painter.translate(0, bandHeight);
    ChargePlot(doc).paint(painter, QSizeF(size.width(), size.height() - bandHeight));
    painter.restore();
}

QImage figureImage(const CTervaneDoc& doc, const FigureOptions& options, double devicePixelRatio)
{
    QImage image(options.size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    const int dotsPerMetre = static_cast<int>(std::lround(screenDpi * devicePixelRatio / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintFigure(painter, doc, QSizeF(options.size), options.bandShare);
    return image;
}

QString writeFigure(const QString& path, const CTervaneDoc& doc, const FigureOptions& options)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QSizeF size(options.size);
    if (options.size.width() < 1 || options.size.height() < 1)
        return QStringLiteral("A figure needs a size of at least 1 x 1 pixels.");
    bool written = false;
    if (suffix == QLatin1String("png")) {
        if (options.dpi < 1)
            return QStringLiteral("A PNG figure needs a resolution of at least 1 dpi.");
        written = figureImage(doc, options, options.dpi / screenDpi).save(path, "PNG");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(options.size);
        svg.setViewBox(QRect(QPoint(0, 0), options.size));
        svg.setResolution(static_cast<int>(screenDpi));
        svg.setTitle(QStringLiteral("Tervane band diagram and densities"));
        QPainter painter;
        if (painter.begin(&svg)) {
            paintFigure(painter, doc, size, options.bandShare);
            written = painter.end();
        }
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(path);
        pdf.setResolution(pdfResolution);
        pdf.setPageSize(QPageSize(size * (pointsPerInch / screenDpi), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Tervane band diagram and densities"));
        QPainter painter;
        if (painter.begin(&pdf)) {
            painter.scale(pdf.width() / size.width(), pdf.height() / size.height());
            paintFigure(painter, doc, size, options.bandShare);
            written = painter.end();
        }
    } else {
        return QStringLiteral("A figure is written as .png, .svg or .pdf; \"%1\" has none of these endings.")
            .arg(QFileInfo(path).fileName());
    }
    if (!written) {
        QFile::remove(path);
        return QStringLiteral("Could not write the figure to \"%1\".").arg(path);
    }
    return QString();
}

QString visibleDataText(const CTervaneDoc& doc)
{
    const tervane::Grid& grid = doc.core.grid;
    const bool bound = doc.core.schroedingerOn;
    QString text = QStringLiteral("depth (nm)\tEc (eV)\tEv (eV)\tEfn (eV)\tEfp (eV)\tn (cm-3)\tp (cm-3)");
    if (bound)
        text += QStringLiteral("\tn bound (cm-3)\tp bound (cm-3)");
    text += QLatin1Char('\n');
    const std::vector<double> depths = pointDepths(grid);
    constexpr tervane::DensityMode classical = tervane::DensityMode::Classical;
    constexpr double toCubicCm = tervane::perCubicCmPerPerCubicMetre;
    for (int i = 0; i < grid.count; ++i) {
        const double depth = depths[static_cast<std::size_t>(i)];
        if (depth < doc.depthWindow.from() || depth > doc.depthWindow.to())
            continue;
        const tervane::GridPoint& p = grid.point(i);
        text += QString::asprintf("%.6g\t%.6g\t%.6g\t%.6g\t%.6g\t%.6g\t%.6g", depth * 1e9, p.conductionEdge(),
                                  p.valenceEdge(), p.Efn, p.Efp, p.electronDensity(classical) * toCubicCm,
                                  p.holeDensity(classical) * toCubicCm);
        if (bound)
            text += QString::asprintf("\t%.6g\t%.6g", p.nBound * toCubicCm, p.pBound * toCubicCm);
        text += QLatin1Char('\n');
    }
    return text;
}
