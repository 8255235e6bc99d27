#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

#include "drawingdefaults.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

class GraphicsItem;
class QGraphicsItem;
class QGraphicsScene;
class QGraphicsView;
struct ItemKind;

// What the benchmarks share: the graphs they fill and the process's memory figures.
namespace BenchSupport {

// A solid yellow pen of width 1 and no brush, as a new item on the black canvas has it.
DrawingDefaults defaults();

// Simple items as a one-line diagram has them: mostly symbols, lines and texts.
QVector<int> simpleKinds();
// The kinds of a family, in table order.
QVector<int> kindsOf(int family);

// A grid of cells, row by row: `columns` cells of `cell` from `origin`, each item dragged over
// `size` from its cell's corner.
struct Grid
{
    int columns = 400;
    QSizeF cell{30, 60};
    QSizeF size{24, 48};
    QPointF origin;
};

// Adds `count` items of the kinds in turn to the scene, one per cell; the items made.
QVector<GraphicsItem *> addItems(
    QGraphicsScene &scene, int count, const QVector<int> &kinds = simpleKinds(), const Grid &grid = Grid());

// --- the realistic graph: half device symbols, the rest texts, lines and rectangles, on a grid

struct Mix
{
    QVector<const ItemKind *> symbols;
    const ItemKind *text = nullptr;
    const ItemKind *line = nullptr;
    const ItemKind *rect = nullptr;
};
const Mix &mix();

QRectF canvasFor(int count);

// Item i of the graph: its kind and the rectangle a user would drag (a symbol is placed by a
// click: an empty drag).
struct Placement
{
    const ItemKind *kind;
    QPointF press;
    QPointF release;
};
Placement placement(int i, int count);
DrawingDefaults defaultsFor(const ItemKind *kind);

// Writes the graph of `count` items as a document file; an error text, empty on success.
QString writeGraph(const QString &path, int count);

// --- the scene and view as the window benchmarks drive them

// The work an edit queued: index updates, the scene's change signals, repaints.
void settle();
void deleteLaterNow();
QList<QGraphicsItem *> topLevel(const QGraphicsScene *scene, Qt::SortOrder order = Qt::AscendingOrder);
// A top-level item near the middle of the view whose middle a press hits, symbols first;
// only selected ones when asked. Null when there is none.
QGraphicsItem *itemNearCentre(QGraphicsView *view, bool selected, QPoint *at);
// Where the item stands among the top-level items, bottom first.
int stackingPlace(const QGraphicsScene *scene, QGraphicsItem *item);
QPoint dragStep(int i);

// --- process-wide measurements

// Kilobytes of a field of /proc/self/status ("VmRSS:", "VmHWM:"); -1 when unknown.
long statusKb(const char *field);
// Gives the heap's free pages back, so that memory a step takes shows in the resident size even
// where it reuses what earlier steps freed.
void releaseFreeMemory();
// Lets the peak resident size (VmHWM) start again from the current one.
bool resetPeak();

} // namespace BenchSupport

#endif
