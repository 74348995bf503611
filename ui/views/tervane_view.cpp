#include "ui/views/tervane_view.h"

#include <QPainter>

#include "ui/views/band_diagram_plot.h"

CTervaneView::CTervaneView(CTervaneDoc* doc, QWidget* parent) : DepthPlotView(doc, parent) {}

PlotLayout CTervaneView::currentLayout() const
{
    return BandDiagramPlot(*doc_).layout(size(), QFontMetricsF(font(), this));
}

void CTervaneView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    BandDiagramPlot(*doc_).paint(painter, size());
    paintZoomBand(painter);
}
