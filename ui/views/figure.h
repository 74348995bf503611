#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class CTervaneDoc;
class QPainter;

// The figure of the window: the band diagram over the charge view, at the depths shown, as the panes
// show them. Screen, printer, clipboard and figure files all paint it here.
struct FigureOptions {
    QSize size{1000, 700};  // logical pixels of the whole figure
    double bandShare = 0.5; // of the height, for the band diagram; the charge view takes the rest
    int dpi = 96;           // PNG only: the image has size * dpi / 96 pixels
};

// The text size of figures, px: the application's font at its pixel size on the screen.
int figureFontPixels();

// Paints the figure into the rectangle (0, 0, size) of the painter's coordinates.
void paintFigure(QPainter& painter, const CTervaneDoc& doc, const QSizeF& size, double bandShare);

// The figure as an image of size * devicePixelRatio pixels.
QImage figureImage(const CTervaneDoc& doc, const FigureOptions& options, double devicePixelRatio = 1.0);

// Writes the figure to `path` as PNG, SVG or PDF, chosen by its suffix (case ignored). Empty on
// success, else the sentence to show; nothing is left at `path` when writing failed.
QString writeFigure(const QString& path, const CTervaneDoc& doc, const FigureOptions& options);

// The points shown (depth within the range shown) as tab-separated text, one line of names and units,
// then one row per point: depth (nm), Ec, Ev, Efn, Efp (eV), n, p (cm^-3, the classical densities),
// and the bound electrons and holes (cm^-3) when the Schroedinger switch is on.
QString visibleDataText(const CTervaneDoc& doc);
