#include "shapeitem.h"

#include "drawingdefaults.h"
#include "itemkind.h"
#include "propertyattributes.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QStyleOptionGraphicsItem>
#include <QtMath>

namespace {

using SpecificProperties = QVector<GraphicsItem::SpecificProperty>;

// Index of each specific property in the tables below.
enum
{
    LineHead = 0,
    LineEnd = 1
};
enum
{
    StartAngle = 0,
    SpanAngle = 1
};
enum
{
    Rows = 0,
    Columns = 1
};
enum
{
    Corner = 0
};

const SpecificProperties &noProperties()
{
    static const SpecificProperties none;
    return none;
}

const SpecificProperties &lineProperties()
{
    static const SpecificProperties line{
        {new Property(QStringLiteral("起点"), Property::Enum,
             PropertyAttributes::enumNames({QStringLiteral("──"), QStringLiteral("<──")})),
            0},
        {new Property(QStringLiteral("终点"), Property::Enum,
             PropertyAttributes::enumNames({QStringLiteral("──"), QStringLiteral("──>")})),
            0},
    };
    return line;
}

const SpecificProperties &angleProperties()
{
    static const SpecificProperties angles{
        {new Property(QStringLiteral("起始角度"), Property::Double, PropertyAttributes::range(-360.0, 360.0, 1)), 30.0},
        {new Property(QStringLiteral("跨越角度"), Property::Double, PropertyAttributes::range(-360.0, 360.0, 1)),
            240.0},
    };
    return angles;
}

const SpecificProperties &gridProperties()
{
    static const SpecificProperties grid{
        {new Property(QStringLiteral("行数"), Property::Int, PropertyAttributes::range(1, 200)), 4},
        {new Property(QStringLiteral("列数"), Property::Int, PropertyAttributes::range(1, 200)), 4},
    };
    return grid;
}

const SpecificProperties &cornerProperties()
{
    static const SpecificProperties rectangle{
        {new Property(QStringLiteral("圆角半径"), Property::Double, PropertyAttributes::range(0.0, 1000.0, 1)), 0.0},
    };
    return rectangle;
}

double value(const ShapeItem &item, int index)
{
    return item.specificValue(index).toDouble();
}

void lineOutline(const ShapeItem &item, const QRectF &, QPainterPath &path)
{
    path.moveTo(item.rect().topLeft());
    path.lineTo(item.rect().bottomRight());
}

void rectangleOutline(const ShapeItem &item, const QRectF &r, QPainterPath &path)
{
    const double radius = value(item, Corner);
    if (radius > 0)
        path.addRoundedRect(r, radius, radius);
    else
        path.addRect(r);
}

void triangleOutline(const ShapeItem &, const QRectF &r, QPainterPath &path)
{
    path.moveTo(r.center().x(), r.top());
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
}

void plainOutline(const ShapeItem &, const QRectF &r, QPainterPath &path)
{
    path.addRect(r);
}

void ellipseOutline(const ShapeItem &, const QRectF &r, QPainterPath &path)
{
    path.addEllipse(r);
}

void arcOutline(const ShapeItem &item, const QRectF &r, QPainterPath &path)
{
    path.arcMoveTo(r, value(item, StartAngle));
    path.arcTo(r, value(item, StartAngle), value(item, SpanAngle));
}

void chordOutline(const ShapeItem &item, const QRectF &r, QPainterPath &path)
{
    arcOutline(item, r, path);
    path.closeSubpath();
}

void sectorOutline(const ShapeItem &item, const QRectF &r, QPainterPath &path)
{
    path.moveTo(r.center());
    path.arcTo(r, value(item, StartAngle), value(item, SpanAngle));
    path.closeSubpath();
}

void gridOutline(const ShapeItem &item, const QRectF &r, QPainterPath &path)
{
    path.addRect(r);
    const int rows = qMax(1, item.specificValue(Rows).toInt());
    const int columns = qMax(1, item.specificValue(Columns).toInt());
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
}

} // namespace

// One shape kind: its own properties, its outline and how it is painted and hit.
struct ShapeItem::Row
{
    int type;
    const SpecificProperties &(*specifics)();
    void (*outline)(const ShapeItem &item, const QRectF &normalized, QPainterPath &path);
    // Curves and slanted edges are antialiased; axis-parallel lines are crisp without and cheaper.
    enum Smoothing
    {
        Crisp,
        Smooth,
        SmoothWhenSlanted
    } smoothing;
    // The line runs from its rectangle's first corner to the opposite one and may end in arrows.
    bool linear;
    // Open shapes are neither filled nor hit inside, only along their stroke.
    bool open;
    // The grid fills its whole rectangle and strokes its lines over the fill.
    bool fillsRectangle;
};

namespace {

const ShapeItem::Row ShapeRows[] = {
    {ItemKind::Line, &lineProperties, &lineOutline, ShapeItem::Row::SmoothWhenSlanted, true, true, false},
    {ItemKind::Rectangle, &cornerProperties, &rectangleOutline, ShapeItem::Row::Crisp, false, false, false},
    {ItemKind::Triangle, &noProperties, &triangleOutline, ShapeItem::Row::Smooth, false, false, false},
    {ItemKind::Ellipse, &noProperties, &ellipseOutline, ShapeItem::Row::Smooth, false, false, false},
    {ItemKind::Arc, &angleProperties, &arcOutline, ShapeItem::Row::Smooth, false, true, false},
    {ItemKind::Chord, &angleProperties, &chordOutline, ShapeItem::Row::Smooth, false, false, false},
    {ItemKind::Sector, &angleProperties, &sectorOutline, ShapeItem::Row::Smooth, false, false, false},
    {ItemKind::Grid, &gridProperties, &gridOutline, ShapeItem::Row::Crisp, false, false, true},
};

} // namespace

const ShapeItem::Row &ShapeItem::rowOf(int type)
{
    for (const Row &row : ShapeRows) {
        if (row.type == type)
            return row;
    }
    // Not reached through the kind table; a plain rectangle keeps any other number drawable.
    static const Row plain{type, &noProperties, &plainOutline, Row::Crisp, false, false, false};
    return plain;
}

ShapeItem::ShapeItem(const ItemKind &kind)
    : GraphicsItem(kind)
    , m_row(rowOf(kind.type))
{ }

bool ShapeItem::createFromPoints(
    const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene)
{
    if (!GraphicsItem::createFromPoints(defaults, press, release, scene))
        return false;
    if (defaults && m_row.linear) {
        // Only the two decorations the line offers; anything else means a plain end.
        setSpecificValue(LineHead, defaults->lineHead == 1 ? 1 : 0);
        setSpecificValue(LineEnd, defaults->lineEnd == 1 ? 1 : 0);
    }
    return true;
}

bool ShapeItem::isLinear() const
{
    return m_row.linear;
}

const QVector<GraphicsItem::SpecificProperty> &ShapeItem::specifics() const
{
    return m_row.specifics();
}

QPainterPath ShapeItem::outline() const
{
    QPainterPath path;
    m_row.outline(*this, rect().normalized(), path);
    return path;
}

void ShapeItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *)
{
    const bool slanted = rect().width() != 0 && rect().height() != 0;
    painter->setRenderHint(QPainter::Antialiasing,
        m_row.smoothing == Row::Smooth || (m_row.smoothing == Row::SmoothWhenSlanted && slanted));
    if (m_row.open)
        painter->setBrush(Qt::NoBrush);
    if (m_row.fillsRectangle && hasFill()) {
        painter->fillRect(rect().normalized(), brush());
        painter->setBrush(Qt::NoBrush);
    }
    painter->drawPath(outline());
    if (m_row.linear) {
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
    if (m_row.open) {
        // Open shapes are hit along their stroke, at least a few units wide.
        QPainterPathStroker stroker;
        stroker.setWidth(qMax(6.0, pen().widthF() + 4.0));
        return stroker.createStroke(outline());
    }
    return GraphicsItem::contentShape();
}
