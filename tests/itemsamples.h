#ifndef ITEMSAMPLES_H
#define ITEMSAMPLES_H

#include "drawingdefaults.h"

#include <QVariant>

class Property;
class GraphicsItem;
class QGraphicsItem;

// Sample data for tests that need items with every property set.
namespace ItemSamples {

// Yellow pen of width 2, solid; dark blue solid brush.
DrawingDefaults defaults();
// A new item of the type, built from a drag over `rect` with defaults(); null for unknown types.
GraphicsItem *create(int type, const QRectF &rect);
// A value different from `current` that the property accepts.
QVariant otherValue(const Property *property, const QVariant &current);
// Sets every editable property of the item to another accepted value.
void changeEveryProperty(GraphicsItem *item);
// Every property value by id, for comparing two items.
QVariantMap propertySnapshot(const QGraphicsItem *item);

} // namespace ItemSamples

#endif
