#include "itemsamples.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsscene.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPicture>
#include <QPolygonF>
#include <QSizeF>
#include <QStyleOptionGraphicsItem>
#include <QSvgGenerator>
#include <QTest>
#include <QUndoStack>
#include <QtMath>
#include <algorithm>

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

std::unique_ptr<GraphicsItem> outlined(int type, const QSizeF &size, const QColor &pen, int penWidth)
{
    std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
    DrawingDefaults d;
    d.penWidth = penWidth;
    d.penColor = pen;
    d.penStyle = 1;
    item->createFromPoints(&d, QPointF(0, 0), QPointF(size.width(), size.height()), nullptr);
    return item;
}

QByteArray rowName(int type, const QString &detail)
{
    const QString name = ItemKind::find(type)->displayName();
    return (detail.isEmpty() ? name : name + QLatin1Char(' ') + detail).toUtf8();
}

void addKindRows(std::initializer_list<int> families)
{
    QTest::addColumn<int>("type");
    for (const ItemKind &kind : ItemKind::all()) {
        if (families.size() == 0 || std::find(families.begin(), families.end(), int(kind.family)) != families.end())
            QTest::newRow(kind.name) << kind.type;
    }
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

namespace {
void describe(QGraphicsItem *item, int depth, QList<QVariantList> &out)
{
    auto *u = dynamic_cast<AbstractGraphicsUtility *>(item);
    auto *r = dynamic_cast<AbstractGraphicsResize *>(item);
    out << QVariantList{item->type(), r ? r->geometry() : QVariant(item->pos()), propertySnapshot(item),
        u ? u->svgID() : QString(), u ? u->ykID() : QString(), u && u->islocked(), item->zValue(), depth};
    for (QGraphicsItem *child : item->childItems())
        describe(child, depth + 1, out);
}
} // namespace

QList<QVariantList> describe(const QList<QGraphicsItem *> &items)
{
    QList<QVariantList> out;
    for (QGraphicsItem *item : items)
        describe(item, 0, out);
    return out;
}

QList<QVariantList> describe(const QGraphicsScene &scene)
{
    return describe(AbstractGraphicsScene::noParentFilter(scene.items(Qt::AscendingOrder)));
}

QByteArray documentBytes(const AbstractGraphicsScene &scene, unsigned version)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    DocumentFormat::saveDocument(stream, scene, version);
    return bytes;
}

QImage render(GraphicsItem *item, Path path, double scale, const QPointF &offset)
{
    const QRectF r = item->rect().normalized();
    QImage image(qCeil(r.width() * scale) + 2 * Margin + 1, qCeil(r.height() * scale) + 2 * Margin + 1,
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QTransform transform
        = QTransform::fromTranslate(Margin + offset.x() - r.left() * scale, Margin + offset.y() - r.top() * scale)
              .scale(scale, scale);
    QStyleOptionGraphicsItem option;
    option.exposedRect = item->boundingRect();
    QPainter painter(&image);
    if (path == Path::Cached) {
        painter.setTransform(transform);
        item->paint(&painter, &option, nullptr);
    } else {
        QPicture picture;
        QPainter recorder(&picture);
        recorder.setTransform(transform);
        item->paint(&recorder, &option, nullptr);
        recorder.end();
        painter.drawPicture(0, 0, picture);
    }
    return image;
}

bool painted(const QImage &image, int x, int y)
{
    return image.valid(x, y) && qAlpha(image.pixel(x, y)) > 0;
}

QRect paintedBounds(const QImage &image, const QRect &area)
{
    const QRect within = area.isNull() ? image.rect() : area & image.rect();
    QRect bounds;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (painted(image, x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int countColour(const QImage &image, const QColor &colour, const QRect &area, int tolerance)
{
    const QRect within = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            const QRgb p = qUnpremultiply(image.pixel(x, y));
            n += qAlpha(p) > 0 && qAbs(qRed(p) - colour.red()) <= tolerance
                    && qAbs(qGreen(p) - colour.green()) <= tolerance && qAbs(qBlue(p) - colour.blue()) <= tolerance
                ? 1
                : 0;
        }
    }
    return n;
}

double coveredBy(const QImage &a, const QImage &b)
{
    int total = 0;
    int hit = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!painted(a, x, y))
                continue;
            ++total;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = painted(b, x + dx, y + dy);
            }
            hit += near ? 1 : 0;
        }
    }
    return total ? double(hit) / total : 0.0;
}

QByteArray svgOf(GraphicsItem *item)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QRectF r = item->rect().normalized();
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(r.size().toSize() + QSize(2 * Margin, 2 * Margin));
    generator.setViewBox(r.adjusted(-Margin, -Margin, Margin, Margin));
    QPainter painter(&generator);
    QStyleOptionGraphicsItem option;
    item->paint(&painter, &option, nullptr);
    painter.end();
    return buffer.data();
}

void setProperties(GraphicsItem *item, const QVariantMap &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        item->setPropertyValue(it.key(), it.value());
}

bool undoRedoRestores(QUndoStack &stack, const QGraphicsScene &scene, const std::function<void()> &edit)
{
    const QList<QVariantList> before = describe(scene);
    const int start = stack.index();
    edit();
    const QList<QVariantList> after = describe(scene);
    const int steps = stack.index() - start;
    for (int i = 0; i < steps; ++i)
        stack.undo();
    const bool undone = describe(scene) == before;
    for (int i = 0; i < steps; ++i)
        stack.redo();
    return undone && describe(scene) == after;
}

GroupItem *groupOf(QGraphicsScene &scene, const QList<QGraphicsItem *> &members)
{
    auto *group = new GroupItem;
    scene.addItem(group);
    for (QGraphicsItem *member : members)
        group->addToGroup(member);
    return group;
}

} // namespace ItemSamples
