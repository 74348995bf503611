#pragma once

#include <QWidget>

#include "engine/grid.h"

class CTervaneDoc;
class QPainter;
class QPrinter;

// The band diagram: Ec, Ev, the quasi-Fermi levels, the energy scale and the polarization
// potential of the last solution. The only view that prints.
class CTervaneView : public QWidget {
    Q_OBJECT

  public:
    explicit CTervaneView(CTervaneDoc* doc, QWidget* parent = nullptr);

    const double topFraction = 0.1;    // the highest energy is drawn at 10 % of the height
    const double bottomFraction = 0.9; // the lowest at 90 %

    // Paints `grid` into a W x H area; the same routine serves the screen, the page and the preview.
    static void draw(QPainter& painter, const tervane::Grid& grid, int W, int H, double topFraction = 0.1,
                     double bottomFraction = 0.9);

    void print(QPrinter& printer);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CTervaneDoc* doc_;
};
