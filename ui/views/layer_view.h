#pragma once

#include <QWidget>

class CTervaneDoc;

// The layer list: one line per layer, 20 units apart; a double-click opens the layer under it.
class CLayerView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int linePitch = 20;

    explicit CLayerView(CTervaneDoc* doc, QWidget* parent = nullptr);

    // The lines as the view writes them; stops before a layer whose material is missing and sets
    // `missing` (when given).
    QStringList lines(bool* missing = nullptr) const;
    // The layer index a double-click at height y opens.
    static int layerIndexAt(int y) { return y / linePitch; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void reportMissingMaterial();
    CTervaneDoc* doc_;
    bool reportPending_ = false;
    QString reportedState_;
};
