#ifndef ITEMSAMPLES_H
#define ITEMSAMPLES_H

#include "documentformat.h"
#include "drawingdefaults.h"

#include <QColor>
#include <QImage>
#include <QVariant>
#include <functional>
#include <memory>

class Property;
class GraphicsItem;
class QGraphicsItem;
class QGraphicsScene;
class AbstractGraphicsScene;
class GroupItem;
class QUndoStack;

// Sample data for tests that need items with every property set.
namespace ItemSamples {

// Yellow pen of width 2, solid; dark blue solid brush.
DrawingDefaults defaults();
// A new item of the type, built from a drag over `rect` with defaults(); null for unknown types.
GraphicsItem *create(int type, const QRectF &rect);
// A value different from `current` that the property accepts.
QVariant otherValue(const Property *property, const QVariant &current);
// A new item of the type with a solid pen of the colour and width and no brush, its rectangle
// of the given size at (0, 0).
std::unique_ptr<GraphicsItem> outlined(
    int type, const QSizeF &size, const QColor &pen = QColor(255, 255, 0), int penWidth = 1);
// A data row name: the kind's display name, then `detail`.
QByteArray rowName(int type, const QString &detail = QString());
// A data column "type" with one row per kind of the families (all kinds when none given).
void addKindRows(std::initializer_list<int> families = {});
// Sets every editable property of the item to another accepted value.
void changeEveryProperty(GraphicsItem *item);
// Every property value by id, for comparing two items.
QVariantMap propertySnapshot(const QGraphicsItem *item);

// Everything of the items that must survive storage, item by item in the list's order, groups'
// members after their group; of a scene, its top-level items in stacking order.
QList<QVariantList> describe(const QList<QGraphicsItem *> &items);
QList<QVariantList> describe(const QGraphicsScene &scene);
// The scene written as a document of the format version.
QByteArray documentBytes(const AbstractGraphicsScene &scene, unsigned version = DocumentFormat::CurrentVersion);

// Transparent space around a rendered item, so that strokes past its rectangle show.
constexpr int Margin = 16;

// On a raster image an item may paint from its pixmap cache; recorded into a QPicture it
// must draw vectors, which are then replayed onto the image.
enum class Path
{
    Cached,
    Vectors
};

// The item painted alone, its rectangle's corner at (Margin, Margin) + offset device pixels.
QImage render(GraphicsItem *item, Path path = Path::Cached, double scale = 1.0, const QPointF &offset = QPointF());
bool painted(const QImage &image, int x, int y);
// Bounding box of the painted pixels, optionally only those inside `area`.
QRect paintedBounds(const QImage &image, const QRect &area = QRect());
// Pixels of the colour at any coverage (antialiased edges keep the colour, not full opacity),
// each channel within `tolerance`.
int countColour(const QImage &image, const QColor &colour, const QRect &area = QRect(), int tolerance = 10);
// Share of the painted pixels of `a` that have a painted pixel of `b` within one pixel.
double coveredBy(const QImage &a, const QImage &b);
// The item exported as SVG, with Margin units around its rectangle.
QByteArray svgOf(GraphicsItem *item);
// Sets the item's properties, by id.
void setProperties(GraphicsItem *item, const QVariantMap &values);

// Runs `edit`, which pushes undo steps onto `stack`, then undoes and redoes them: true when undo
// gives back the scene as describe() saw it before the edit, and redo as it was after.
bool undoRedoRestores(QUndoStack &stack, const QGraphicsScene &scene, const std::function<void()> &edit);

// A new group in the scene holding the members.
GroupItem *groupOf(QGraphicsScene &scene, const QList<QGraphicsItem *> &members);

} // namespace ItemSamples

#endif
