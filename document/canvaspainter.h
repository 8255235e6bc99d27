#ifndef CANVASPAINTER_H
#define CANVASPAINTER_H

#include <QColor>
#include <QRectF>

class QPainter;

// What a document view paints around and over its canvas, none of which belongs to the graph:
// the grey surround with the canvas's shadow and border, the grid, and the mark of the
// connection point that a line end being drawn has landed on. The painter maps scene
// coordinates to the viewport; these draw in whole viewport pixels so that they stay crisp and
// equally thin at every zoom.
namespace CanvasPainter {

// Room kept around the canvas in the view, in viewport pixels: the shadow and border fit in it.
constexpr int Margin = 24;
// Grid points closer than this, in viewport pixels, are not drawn: they would only grey the canvas.
constexpr double MinimumGridSpacing = 4;
// From this spacing on, in viewport pixels, the grid is drawn as lines: dots that far apart no
// longer read as a grid.
constexpr double LineGridSpacing = 40;

// The surround and the canvas's shadow, outside the canvas and inside the scene area `exposed`.
void paintSurround(QPainter &painter, const QRectF &exposed, const QRectF &canvas);
// The grid of `size` scene units through the canvas's corner, within `exposed` and the canvas,
// in a colour that stands out a little from `background`.
void paintGrid(QPainter &painter, const QRectF &exposed, const QRectF &canvas, int size, const QColor &background);
void paintBorder(QPainter &painter, const QRectF &canvas);
// A ring around the connection point at `point` (scene coordinates) that a line end has landed on.
void paintTerminalMark(QPainter &painter, const QPointF &point);

} // namespace CanvasPainter

#endif
