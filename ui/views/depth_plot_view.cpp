#include "ui/views/depth_plot_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/document/tervane_doc.h"

namespace {
constexpr double minimumZoomDrag = 3.0; // px: a shorter zoom drag is a click and does nothing
}

DepthPlotView::DepthPlotView(CTervaneDoc* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

double DepthPlotView::depthAt(double x) const
{
    const QRectF plot = currentLayout().plot;
    const double fraction = std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0);
    return doc_->depthWindow.depthAt(fraction);
}

double DepthPlotView::positionOf(double depth) const
{
    const QRectF plot = currentLayout().plot;
    return plot.left() + doc_->depthWindow.fractionOf(depth) * plot.width();
}

void DepthPlotView::wheelAt(double x, int angleDelta)
{
    if (angleDelta == 0)
        return;
    const double depth = depthAt(x);
    doc_->zoomAbout(depth, std::pow(zoomStep, angleDelta / 120.0));
    keepUnder(depth, x);
}

void DepthPlotView::keepUnder(double depth, double x)
{
    // The value axis's labels can change width with the depths shown, and move the plot's left edge:
    // the range follows until the depth is back under the pointer.
    constexpr int corrections = 3;
    for (int i = 0; i < corrections; ++i) {
        const QRectF plot = currentLayout().plot;
        const double shift = positionOf(depth) - x;
        if (std::fabs(shift) < 1e-3)
            return;
        doc_->pan(shift / plot.width() * doc_->depthWindow.span());
    }
}

void DepthPlotView::zoomBetween(double x0, double x1)
{
    if (std::fabs(x1 - x0) < minimumZoomDrag)
        return;
    doc_->showDepths(depthAt(x0), depthAt(x1));
}

void DepthPlotView::wheelEvent(QWheelEvent* event)
{
    wheelAt(event->position().x(), event->angleDelta().y());
    event->accept();
}

void DepthPlotView::mousePressEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    dragStart_ = dragNow_ = x;
    if (event->button() == Qt::MiddleButton) {
        drag_ = Drag::Pan;
    } else if (event->button() == Qt::LeftButton &&
               (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        drag_ = Drag::Zoom;
    } else if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Plain;
        pressed(x);
    }
}

void DepthPlotView::mouseMoveEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    switch (drag_) {
    case Drag::Pan: {
        const QRectF plot = currentLayout().plot;
        doc_->pan(-(x - dragNow_) / plot.width() * doc_->depthWindow.span());
        break;
    }
    case Drag::Zoom:
        update();
        break;
    case Drag::Plain:
        dragged(x);
        break;
    case Drag::None:
        break;
    }
    dragNow_ = x;
    hovered(x);
}

void DepthPlotView::mouseReleaseEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    const Drag drag = drag_;
    drag_ = Drag::None;
    if (drag == Drag::Zoom) {
        update();
        zoomBetween(dragStart_, x);
    } else if (drag == Drag::Plain && event->button() == Qt::LeftButton) {
        released(x);
    }
}

void DepthPlotView::paintZoomBand(QPainter& painter) const
{
    if (drag_ != Drag::Zoom)
        return;
    const QRectF plot = currentLayout().plot;
    const double left = std::clamp(std::min(dragStart_, dragNow_), plot.left(), plot.right());
    const double right = std::clamp(std::max(dragStart_, dragNow_), plot.left(), plot.right());
    painter.save();
    painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
    painter.setBrush(QColor(0, 90, 200, 40));
    painter.drawRect(QRectF(QPointF(left, plot.top()), QPointF(right, plot.bottom())));
    painter.restore();
}
