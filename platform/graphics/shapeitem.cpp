#include "shapeitem.h"

#include "drawingdefaults.h"
#include "itemkind.h"
#include "propertyattributes.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QStyleOptionGraphicsItem>
#include <QtMath>

namespace {

// Index of each specific property in the tables below.
enum { LineHead = 0, LineEnd = 1 };
enum { StartAngle = 0, SpanAngle = 1 };
enum { Rows = 0, Columns = 1 };
enum { Corner = 0 };

} // namespace

ShapeItem::ShapeItem(const ItemKind &kind)
    : GraphicsItem(kind)
{
}

bool ShapeItem::createFromPoints(const DrawingDefaults *defaults, const QPointF &press, const QPointF &release,
                                 QGraphicsScene *scene)
{
    if (!GraphicsItem::createFromPoints(defaults, press, release, scene))
        return false;
    if (defaults && type() == ItemKind::Line) {
        // Only the two decorations the line offers; anything else means a plain end.
        setSpecificValue(LineHead, defaults->lineHead == 1 ? 1 : 0);
        setSpecificValue(LineEnd, defaults->lineEnd == 1 ? 1 : 0);
    }
    return true;
}

bool ShapeItem::isLinear() const
{
    return type() == ItemKind::Line;
}

const QVector<GraphicsItem::SpecificProperty> &ShapeItem::specifics() const
{
    static const QVector<SpecificProperty> line{
        {new Property(QStringLiteral("起点"), Property::Enum,
                      PropertyAttributes::enumNames({QStringLiteral("──"), QStringLiteral("<──")})),
         0},
        {new Property(QStringLiteral("终点"), Property::Enum,
                      PropertyAttributes::enumNames({QStringLiteral("──"), QStringLiteral("──>")})),
         0},
    };
    static const QVector<SpecificProperty> angles{
        {new Property(QStringLiteral("起始角度"), Property::Double,
                      PropertyAttributes::range(-360.0, 360.0, 1)),
         30.0},
        {new Property(QStringLiteral("跨越角度"), Property::Double,
                      PropertyAttributes::range(-360.0, 360.0, 1)),
         240.0},
    };
    static const QVector<SpecificProperty> grid{
        {new Property(QStringLiteral("行数"), Property::Int, PropertyAttributes::range(1, 200)), 4},
        {new Property(QStringLiteral("列数"), Property::Int, PropertyAttributes::range(1, 200)), 4},
    };
    static const QVector<SpecificProperty> rectangle{
        {new Property(QStringLiteral("圆角半径"), Property::Double,
                      PropertyAttributes::range(0.0, 1000.0, 1)),
         0.0},
    };
    static const QVector<SpecificProperty> none;
    switch (type()) {
    case ItemKind::Line: return line;
    case ItemKind::Arc:
    case ItemKind::Chord:
    case ItemKind::Sector: return angles;
    case ItemKind::Grid: return grid;
    case ItemKind::Rectangle: return rectangle;
    default: return none;
    }
}

QPainterPath ShapeItem::outline() const
{
    const QRectF r = rect().normalized();
    QPainterPath path;
    switch (type()) {
    case ItemKind::Line:
        path.moveTo(rect().topLeft());
        path.lineTo(rect().bottomRight());
        break;
    case ItemKind::Rectangle: {
        const double radius = specificValue(Corner).toDouble();
        if (radius > 0)
            path.addRoundedRect(r, radius, radius);
        else
            path.addRect(r);
        break;
    }
    case ItemKind::Triangle:
        path.moveTo(r.center().x(), r.top());
        path.lineTo(r.bottomRight());
        path.lineTo(r.bottomLeft());
        path.closeSubpath();
        break;
    case ItemKind::Ellipse: path.addEllipse(r); break;
    case ItemKind::Arc:
        path.arcMoveTo(r, specificValue(StartAngle).toDouble());
        path.arcTo(r, specificValue(StartAngle).toDouble(), specificValue(SpanAngle).toDouble());
        break;
    case ItemKind::Chord:
        path.arcMoveTo(r, specificValue(StartAngle).toDouble());
        path.arcTo(r, specificValue(StartAngle).toDouble(), specificValue(SpanAngle).toDouble());
        path.closeSubpath();
        break;
    case ItemKind::Sector:
        path.moveTo(r.center());
        path.arcTo(r, specificValue(StartAngle).toDouble(), specificValue(SpanAngle).toDouble());
        path.closeSubpath();
        break;
    case ItemKind::Grid: {
        path.addRect(r);
        const int rows = qMax(1, specificValue(Rows).toInt());
        const int columns = qMax(1, specificValue(Columns).toInt());
        for (int i = 1; i < rows; ++i) {
            const double y = r.top() + r.height() * i / rows;
            path.moveTo(r.left(), y);
            path.lineTo(r.right(), y);
        }
        for (int i = 1; i < columns; ++i) {
            const double x = r.left() + r.width() * i / columns;
            path.moveTo(x, r.top());
            path.lineTo(x, r.bottom());
        }
        break;
    }
    default: path.addRect(r); break;
    }
    return path;
}

void ShapeItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *)
{
    const bool curved = type() == ItemKind::Ellipse || type() == ItemKind::Arc || type() == ItemKind::Chord || type() == ItemKind::Sector;
    const bool slanted = type() == ItemKind::Triangle || (type() == ItemKind::Line && rect().width() != 0 && rect().height() != 0);
    // Straight axis-parallel lines are crisp without antialiasing and much cheaper.
    painter->setRenderHint(QPainter::Antialiasing, curved || slanted);
    if (type() == ItemKind::Line || type() == ItemKind::Arc || type() == ItemKind::Grid)
        painter->setBrush(type() == ItemKind::Grid ? brush() : QBrush(Qt::NoBrush));
    if (type() == ItemKind::Grid && hasFill()) {
        painter->fillRect(rect().normalized(), brush());
        painter->setBrush(Qt::NoBrush);
    }
    painter->drawPath(outline());
    if (type() == ItemKind::Line) {
        if (specificValue(LineHead).toInt() == 1)
            drawArrow(painter, rect().topLeft(), rect().bottomRight());
        if (specificValue(LineEnd).toInt() == 1)
            drawArrow(painter, rect().bottomRight(), rect().topLeft());
    }
}

void ShapeItem::drawArrow(QPainter *painter, const QPointF &tip, const QPointF &from) const
{
    const QLineF back(tip, from);
    if (back.length() < 1e-6)
        return;
    // The head grows with the pen so that thick lines keep a visible arrow.
    const double size = 6.0 + 2.0 * pen().widthF();
    QLineF left = back;
    left.setLength(size);
    left.setAngle(back.angle() + 25);
    QLineF right = back;
    right.setLength(size);
    right.setAngle(back.angle() - 25);
    QPolygonF head;
    head << tip << left.p2() << right.p2();
    painter->save();
    painter->setBrush(pen().color());
    QPen solid = pen();
    solid.setStyle(Qt::SolidLine);
    painter->setPen(solid);
    painter->drawPolygon(head);
    painter->restore();
}

QPainterPath ShapeItem::contentShape() const
{
    if (type() == ItemKind::Line || type() == ItemKind::Arc) {
        // Open shapes are hit along their stroke, at least a few units wide.
        QPainterPathStroker stroker;
        stroker.setWidth(qMax(6.0, pen().widthF() + 4.0));
        return stroker.createStroke(outline());
    }
    return GraphicsItem::contentShape();
}
