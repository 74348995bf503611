#include "ui/views/layer_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "ui/document/message_sink.h"
#include "ui/document/tervane_doc.h"

CLayerView::CLayerView(CTervaneDoc* doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setFocusPolicy(Qt::ClickFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

QStringList CLayerView::lines(bool* missing) const
{
    QStringList result;
    if (missing)
        *missing = false;
    const tervane::Document& doc = doc_->core;
    for (std::size_t k = 0; k < doc.layers.size(); ++k) {
        const tervane::Layer& layer = doc.layers[k];
        const tervane::Material* material = tervane::findMaterial(doc.materials, layer.material);
        if (!material) {
            if (missing)
                *missing = true;
            break;
        }
        result.append(QString::asprintf("%.3d %s t:%.1f Nd:%.3e Na:%.3e", static_cast<int>(k),
                                        material->name.c_str(), layer.thickness * 1e10, layer.Nd * 1e-6,
                                        layer.Na * 1e-6));
    }
    return result;
}

void CLayerView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(0, 0, 0));
    bool missing = false;
    const QStringList text = lines(&missing);
    const int ascent = painter.fontMetrics().ascent();
    for (int k = 0; k < text.size(); ++k)
        painter.drawText(0, linePitch * k + ascent, text[k]);
    if (missing)
        reportMissingMaterial();
    else
        reportedState_.clear();
}

void CLayerView::reportMissingMaterial()
{
    // A message box cannot open inside a paint, and one at every repaint would never let the user
    // go: it is shown once for each state of the stack and the materials that lacks a material.
    QString state = QString::number(doc_->core.layers.size()) + QLatin1Char('/') +
                    QString::number(doc_->core.materials.size());
    for (const tervane::Layer& layer : doc_->core.layers)
        state += QLatin1Char('/') + QString::fromStdString(layer.material);
    for (const tervane::Material& material : doc_->core.materials)
        state += QLatin1Char('|') + QString::fromStdString(material.name);
    if (state == reportedState_ || reportPending_)
        return;
    reportedState_ = state;
    reportPending_ = true;
    QTimer::singleShot(0, this, [this] {
        reportPending_ = false;
        MessageSink::current().showMessage(QStringLiteral("Material not found!"));
    });
}

void CLayerView::mouseDoubleClickEvent(QMouseEvent* event)
{
    doc_->editLayer(layerIndexAt(static_cast<int>(event->position().y())));
    QWidget::mouseDoubleClickEvent(event);
}
