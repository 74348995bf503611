#include "ui/views/layer_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "ui/document/tervane_doc.h"

namespace {
constexpr int textMargin = 4;     // pixels left of the text
constexpr int selectedAlpha = 70; // the highlight behind a selected warning line, light enough to read red
} // namespace

CLayerView::CLayerView(CTervaneDoc* doc, QWidget* parent)
    : QWidget(parent), doc_(doc), scrollBar_(new QScrollBar(Qt::Vertical, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    scrollBar_->setObjectName(QStringLiteral("layerScrollBar"));
    scrollBar_->setSingleStep(linePitch);
    scrollBar_->hide();
    connect(scrollBar_, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    connect(doc_, &CTervaneDoc::updated, this, &CLayerView::stackChanged);
}

int CLayerView::layerCount() const
{
    return static_cast<int>(doc_->core.layers.size());
}

bool CLayerView::materialMissing(int index) const
{
    const tervane::Document& doc = doc_->core;
    return !tervane::findMaterial(doc.materials, doc.layers[std::size_t(index)].material);
}

QString CLayerView::lineText(int index) const
{
    const tervane::Document& doc = doc_->core;
    const tervane::Layer& layer = doc.layers[std::size_t(index)];
    const tervane::Material* material = tervane::findMaterial(doc.materials, layer.material);
    const std::string& name = material ? material->name : layer.material;
    QString text = QString::asprintf("%.3d %s t:%.1f Nd:%.3e Na:%.3e", index, name.c_str(),
                                     layer.thickness * 1e10, layer.Nd * 1e-6, layer.Na * 1e-6);
    if (!material)
        text += QStringLiteral(" (material not found)");
    return text;
}

QStringList CLayerView::lines() const
{
    QStringList result;
    for (int k = 0; k < layerCount(); ++k)
        result.append(lineText(k));
    return result;
}

QColor CLayerView::lineColour(int index) const
{
    if (materialMissing(index))
        return warningColour();
    return palette().color(index == currentLayer() ? QPalette::HighlightedText : QPalette::Text);
}

int CLayerView::currentLayer() const
{
    // The stack may have shrunk before the document said so.
    return std::min(current_, layerCount() - 1);
}

void CLayerView::setCurrentLayer(int index)
{
    index = std::clamp(index, -1, layerCount() - 1);
    if (index >= 0)
        scrollTo(index);
    if (index == current_)
        return;
    current_ = index;
    update();
    emit currentLayerChanged(index);
}

void CLayerView::setContextActions(const QList<QAction*>& actions)
{
    contextActions_ = actions;
}

int CLayerView::layerAt(const QPoint& point) const
{
    if (point.y() < 0)
        return -1;
    const int index = (point.y() + scrollBar_->value()) / linePitch;
    return index < layerCount() ? index : -1;
}

void CLayerView::stackChanged()
{
    updateScrollRange();
    setCurrentLayer(std::min(current_, layerCount() - 1));
    update();
}

void CLayerView::updateScrollRange()
{
    rangeCount_ = layerCount();
    const int overflow = std::max(0, rangeCount_ * linePitch - height());
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
    scrollBar_->setGeometry(width() - barWidth, 0, barWidth, height());
    scrollBar_->setRange(0, overflow);
    scrollBar_->setPageStep(std::max(linePitch, height()));
    scrollBar_->setVisible(overflow > 0);
}

int CLayerView::pageLines() const
{
    return std::max(1, height() / linePitch);
}

void CLayerView::scrollTo(int index)
{
    const int top = index * linePitch;
    if (top < scrollBar_->value())
        scrollBar_->setValue(top);
    else if (top + linePitch > scrollBar_->value() + height())
        scrollBar_->setValue(top + linePitch - height());
}

void CLayerView::paintEvent(QPaintEvent*)
{
    if (rangeCount_ != layerCount())
        updateScrollRange();
    QPainter painter(this);
    const int offset = scrollBar_->value();
    const int right = scrollBar_->isVisible() ? scrollBar_->x() : width();
    const int ascent = painter.fontMetrics().ascent();
    const int first = offset / linePitch;
    const int last = std::min(layerCount() - 1, (offset + height()) / linePitch);
    const int selected = currentLayer();
    painter.setClipRect(0, 0, right, height()); // the text stops at the scroll bar
    for (int k = first; k <= last; ++k) {
        const int top = k * linePitch - offset;
        if (k == selected) {
            QColor highlight =
                palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
            if (materialMissing(k))
                highlight.setAlpha(selectedAlpha);
            painter.fillRect(QRect(0, top, right, linePitch), highlight);
        }
        painter.setPen(lineColour(k));
        painter.drawText(textMargin, top + ascent, lineText(k));
    }
}

void CLayerView::resizeEvent(QResizeEvent* event)
{
    updateScrollRange();
    QWidget::resizeEvent(event);
}

void CLayerView::mousePressEvent(QMouseEvent* event)
{
    const int index = layerAt(event->position().toPoint());
    if (index >= 0 && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        setCurrentLayer(index);
    QWidget::mousePressEvent(event);
}

void CLayerView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int index = layerAt(event->position().toPoint());
    if (index >= 0 && event->button() == Qt::LeftButton) {
        setCurrentLayer(index);
        doc_->editLayer(index);
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CLayerView::keyPressEvent(QKeyEvent* event)
{
    const int current = currentLayer();
    const int count = layerCount();
    switch (event->key()) {
    case Qt::Key_Up:
        setCurrentLayer(current < 0 ? count - 1 : std::max(0, current - 1));
        break;
    case Qt::Key_Down:
        setCurrentLayer(current + 1);
        break;
    case Qt::Key_PageUp:
        setCurrentLayer(std::max(0, current - pageLines()));
        break;
    case Qt::Key_PageDown:
        setCurrentLayer(current + pageLines());
        break;
    case Qt::Key_Home:
        setCurrentLayer(0);
        break;
    case Qt::Key_End:
        setCurrentLayer(count - 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current >= 0)
            doc_->editLayer(current);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool CLayerView::event(QEvent* event)
{
    // A line wider than the pane is read whole in its tool tip.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = layerAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), lineText(index), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CLayerView::wheelEvent(QWheelEvent* event)
{
    QCoreApplication::sendEvent(scrollBar_, event);
}

void CLayerView::contextMenuEvent(QContextMenuEvent* event)
{
    QPoint where = event->pos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        if (const int index = layerAt(where); index >= 0)
            setCurrentLayer(index);
    } else if (currentLayer() >= 0) {
        where = QPoint(textMargin, (currentLayer() + 1) * linePitch - scrollBar_->value());
    }
    if (contextActions_.isEmpty())
        return;
    QMenu menu(this);
    for (QAction* action : contextActions_) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    menu.exec(mapToGlobal(where));
}
