#pragma once

#include <QWidget>
#include <vector>

class CTervaneDoc;

// Carrier densities along the structure on a linear or logarithmic axis, the solver's error, the
// cursor read-out (mouse move) and the sheet-density range (drag with the left button).
class CChargeView : public QWidget {
    Q_OBJECT

  public:
    explicit CChargeView(CTervaneDoc* doc, QWidget* parent = nullptr);

    const double topFraction = 0.1;
    const double bottomFraction = 0.9;
    std::vector<double> pointX; // pixel position of each grid point at the last paint, unrounded
    std::vector<double> pointN; // electron density drawn at the last paint, m^-3
    std::vector<double> pointP; // hole density drawn at the last paint, m^-3
    int dragStartX = 0;
    int dragEndX = 0;

    // The first segment i (from 1) with x <= pointX[i+1], searched over segments 1..N-2; a position
    // right of the last point gives the last segment. -1 when no segment exists.
    int segmentIndexAt(double x) const;

    // The mouse handlers' work, callable with plain coordinates.
    void cursorAt(int x);
    void pressAt(int x);
    void releaseAt(int x);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool paintedCurrentGrid() const;
    CTervaneDoc* doc_;
    int paintedSolve_ = -1; // the document's solve count at the last paint
};
