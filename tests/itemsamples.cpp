#include "itemsamples.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsscene.h"
#include "graphicsitem.h"

#include <QFont>
#include <QPolygonF>
#include <QSizeF>

namespace ItemSamples {

DrawingDefaults defaults()
{
    DrawingDefaults d;
    d.penWidth = 2;
    d.penColor = QColor(255, 255, 0);
    d.penStyle = 1;
    d.bruchColor = QColor(0, 0, 200);
    d.brushStyle = 1;
    return d;
}

GraphicsItem *create(int type, const QRectF &rect)
{
    auto *item = dynamic_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, type, true));
    if (!item)
        return nullptr;
    const DrawingDefaults d = defaults();
    item->createFromPoints(&d, rect.topLeft(), rect.bottomRight(), nullptr);
    return item;
}

QVariant otherValue(const Property *p, const QVariant &current)
{
    const QVariantHash a = p->attributes();
    switch (p->type()) {
    case Property::String: return current.toString() + QStringLiteral("改");
    case Property::Bool: return !current.toBool();
    case Property::Int: {
        const int lo = a.value(QStringLiteral("minimum"), 0).toInt();
        const int hi = a.value(QStringLiteral("maximum"), 100).toInt();
        return current.toInt() + 1 <= hi ? current.toInt() + 1 : lo;
    }
    case Property::Double: {
        const double lo = a.value(QStringLiteral("minimum"), 0.0).toDouble();
        const double hi = a.value(QStringLiteral("maximum"), 1000.0).toDouble();
        return current.toDouble() + 3 <= hi ? current.toDouble() + 3 : lo;
    }
    case Property::Size:
        return current.toSizeF().isValid() ? QVariant(current.toSizeF() + QSizeF(1, 1)) : QVariant(QSizeF(5, 6));
    case Property::Color: return QColor(12, 34, 56);
    case Property::Font: return QFont(QStringLiteral("Noto Sans CJK SC"), 17);
    case Property::Enum: {
        const int n = a.value(QStringLiteral("enumNames")).toStringList().size();
        return n > 1 ? (current.toInt() + 1) % n : current.toInt();
    }
    case Property::Path: return QStringLiteral("/不存在/文件.svg");
    case Property::PointList: return QVariant::fromValue(QPolygonF(QVector<QPointF>{QPointF(1, 2), QPointF(30, 40)}));
    case Property::Popup: {
        for (const QString &s : a.value(QStringLiteral("items")).toStringList()) {
            if (s != current.toString())
                return s;
        }
        return current;
    }
    }
    return current;
}

void changeEveryProperty(GraphicsItem *item)
{
    const auto map = item->properties();
    for (const QList<Property *> &list : map) {
        for (const Property *p : list) {
            if (p->isEditable())
                item->setPropertyValue(p->id(), otherValue(p, item->propertyValue(p->id())));
        }
    }
}

QVariantMap propertySnapshot(const QGraphicsItem *item)
{
    QVariantMap snapshot;
    auto *p = dynamic_cast<const AbstractGraphicsProperty *>(item);
    if (!p)
        return snapshot;
    for (const QString &id : p->propertyNames())
        snapshot.insert(id, p->propertyValue(id));
    return snapshot;
}

} // namespace ItemSamples
