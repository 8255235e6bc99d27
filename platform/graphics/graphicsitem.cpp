#include "graphicsitem.h"

#include "commonproperties.h"
#include "documentformat.h"
#include "drawingdefaults.h"
#include "formatlimits.h"
#include "itemkind.h"
#include "propertyattributes.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <cmath>

namespace {

constexpr double HandlePixels = 8.0;
// Below this extent a drag is taken for a click.
constexpr double ClickTolerance = 2.0;

const QStringList &penStyleNames()
{
    static const QStringList names{QStringLiteral("无"), QStringLiteral("实线"), QStringLiteral("虚线"),
        QStringLiteral("点线"), QStringLiteral("点划线"), QStringLiteral("双点划线")};
    return names;
}

const QStringList &brushStyleNames()
{
    static const QStringList names{QStringLiteral("无"), QStringLiteral("实心")};
    return names;
}

// The two point bindings, whose stored values are the item's svgID and ykID.
const QString &IdSvg = PropertyIds::PointBinding;
const QString &IdYk = PropertyIds::ControlBinding;

QList<Property *> generalProperties(bool withText)
{
    static const QList<Property *> shared{
        new Property(PropertyIds::PenColor, Property::Color),
        new Property(
            PropertyIds::PenWidth, Property::Int, PropertyAttributes::range(0.0, double(FormatLimits::MaxPenWidth))),
        new Property(PropertyIds::PenStyle, Property::Enum, PropertyAttributes::enumNames(penStyleNames())),
        new Property(PropertyIds::BrushColor, Property::Color),
        new Property(PropertyIds::BrushStyle, Property::Enum, PropertyAttributes::enumNames(brushStyleNames())),
    };
    static Property *const font = new Property(PropertyIds::Font, Property::Font);
    QList<Property *> list = shared;
    if (withText)
        list << font;
    return list;
}

} // namespace

GraphicsItem::GraphicsItem(const ItemKind &kind)
    : m_kind(kind)
{
    setFlags(ItemIsSelectable | ItemIsMovable | ItemIsFocusable);
    setAcceptHoverEvents(true);
    m_font = QFont(QStringLiteral("Noto Sans CJK SC"), 12);
}

QVector<QVariant> &GraphicsItem::values() const
{
    // Filled on first use: the kind's table is not reachable from the base constructor.
    if (m_values.isEmpty()) {
        for (const SpecificProperty &s : specifics())
            m_values.append(s.initial);
    }
    return m_values;
}

GraphicsItem::~GraphicsItem() = default;

int GraphicsItem::type() const
{
    return m_kind.type;
}

void GraphicsItem::setRect(const QRectF &rect)
{
    if (rect == m_rect)
        return;
    prepareGeometryChange();
    m_rect = rect;
    update();
}

QPen GraphicsItem::pen() const
{
    if (m_penStyle <= 0)
        return Qt::NoPen;
    QPen pen(m_penColor.isValid() ? m_penColor : QColor(Qt::white));
    pen.setWidth(m_penWidth);
    pen.setStyle(Qt::PenStyle(qBound(1, m_penStyle, FormatLimits::MaxPenStyle)));
    return pen;
}

bool GraphicsItem::hasFill() const
{
    return m_brushStyle != 0 && m_brushColor.isValid();
}

QBrush GraphicsItem::brush() const
{
    return hasFill() ? QBrush(m_brushColor) : QBrush(Qt::NoBrush);
}

double GraphicsItem::handleSize() const
{
    // Handles keep their size on screen whatever the zoom of the first view.
    return HandlePixels / qBound(0.05, double(m_viewScale), 20.0);
}

bool GraphicsItem::showsHandles() const
{
    return isSelected() && !islocked();
}

int GraphicsItem::handleCount() const
{
    return isLinear() ? 2 : 8;
}

QRectF GraphicsItem::handleRect(int handle) const
{
    const double size = handleSize();
    QPointF centre;
    if (isLinear()) {
        centre = handle == 0 ? m_rect.topLeft() : m_rect.bottomRight();
    } else {
        const QRectF r = m_rect.normalized();
        const QPointF points[] = {r.topLeft(), QPointF(r.center().x(), r.top()), r.topRight(),
            QPointF(r.right(), r.center().y()), r.bottomRight(), QPointF(r.center().x(), r.bottom()), r.bottomLeft(),
            QPointF(r.left(), r.center().y())};
        centre = points[handle];
    }
    return QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size);
}

int GraphicsItem::handleAt(const QPointF &pos) const
{
    if (!showsHandles())
        return -1;
    for (int i = 0; i < handleCount(); ++i) {
        if (handleRect(i).contains(pos))
            return i;
    }
    return -1;
}

// Room for the handles whether or not they show: a rectangle that changed with the selection
// would make every selection change take the item out of the scene's index and put it back.
QRectF GraphicsItem::boundingRect() const
{
    const double margin = qMax(m_penWidth / 2.0, handleSize() / 2) + 1.0;
    return m_rect.normalized().adjusted(-margin, -margin, margin, margin);
}

void GraphicsItem::viewScaleChanged(double scale)
{
    if (float(scale) == m_viewScale)
        return;
    prepareGeometryChange();
    m_viewScale = float(scale);
}

QPainterPath GraphicsItem::contentShape() const
{
    QPainterPath path;
    path.addRect(m_rect.normalized());
    return path;
}

QPainterPath GraphicsItem::shape() const
{
    QPainterPath shape = contentShape();
    if (!showsHandles())
        return shape;
    // The handles overlap the content; under the odd-even rule the overlap would be a hole and
    // clicks on the inner half of a handle would fall through. The winding rule fills it at a
    // fraction of the cost of uniting the paths.
    shape.setFillRule(Qt::WindingFill);
    for (int i = 0; i < handleCount(); ++i)
        shape.addRect(handleRect(i));
    return shape;
}

void GraphicsItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    painter->setPen(pen());
    painter->setBrush(brush());
    drawContent(painter, option);
    if (option->state & QStyle::State_Selected)
        drawSelection(painter);
}

QPen GraphicsItem::selectionOutline()
{
    return QPen(QColor(0, 160, 255), 0, Qt::DashLine);
}

void GraphicsItem::drawSelection(QPainter *painter)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(selectionOutline());
    painter->setBrush(Qt::NoBrush);
    if (!isLinear())
        painter->drawRect(m_rect.normalized());
    if (!islocked()) {
        painter->setPen(QPen(QColor(0, 90, 200), 0));
        painter->setBrush(QColor(255, 255, 255));
        for (int i = 0; i < handleCount(); ++i)
            painter->drawRect(handleRect(i));
    }
    painter->restore();
}

bool GraphicsItem::createFromPoints(
    const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *)
{
    if (defaults) {
        m_penWidth = defaults->penWidth;
        m_penColor = defaults->penColor;
        m_penStyle = defaults->penStyle;
        m_brushColor = defaults->bruchColor;
        m_brushStyle = defaults->brushStyle;
    }
    const QPointF delta = release - press;
    const bool click = std::abs(delta.x()) < ClickTolerance && std::abs(delta.y()) < ClickTolerance;
    if (isLinear()) {
        // A line keeps the direction of the drag; a click makes no line.
        if (click)
            return false;
        setPos(press);
        setRect(QRectF(QPointF(0, 0), QSizeF(delta.x(), delta.y())));
        return true;
    }
    if (click) {
        // A click places the kind's usual size centred on the click; kinds without one
        // (plain shapes) would be empty and are not created.
        if (m_kind.clickSize.isEmpty())
            return false;
        setPos(press - QPointF(m_kind.clickSize.width() / 2, m_kind.clickSize.height() / 2));
        setRect(QRectF(QPointF(0, 0), m_kind.clickSize));
        return true;
    }
    const QRectF r = QRectF(press, release).normalized();
    setPos(r.topLeft());
    setRect(QRectF(QPointF(0, 0), r.size()));
    return true;
}

void GraphicsItem::setWidth(double width)
{
    QRectF r = m_rect;
    // A line keeps its direction; everything else grows to the right.
    r.setWidth(isLinear() && r.width() < 0 ? -width : width);
    setRect(r);
}

void GraphicsItem::setHeight(double height)
{
    QRectF r = m_rect;
    r.setHeight(isLinear() && r.height() < 0 ? -height : height);
    setRect(r);
}

const QString &GraphicsItem::svgIdProperty()
{
    return IdSvg;
}

const QString &GraphicsItem::ykIdProperty()
{
    return IdYk;
}

bool GraphicsItem::saveItem(QDataStream &stream)
{
    return DocumentFormat::saveItem(stream, this);
}

QRectF GraphicsItem::itemRect() const
{
    return mapRectToParent(m_rect.normalized());
}

// Position and rectangle: all that a handle drag changes.
QVariant GraphicsItem::geometry() const
{
    return QVariantList{pos(), m_rect};
}

void GraphicsItem::setGeometry(const QVariant &geometry)
{
    const QVariantList g = geometry.toList();
    if (g.size() != 2)
        return;
    setPos(g.at(0).toPointF());
    setRect(g.at(1).toRectF());
}

const QVector<GraphicsItem::SpecificProperty> &GraphicsItem::specifics() const
{
    static const QVector<SpecificProperty> none;
    return none;
}

void GraphicsItem::specificChanged(int)
{ }

bool GraphicsItem::isBinding(int index) const
{
    const QVector<SpecificProperty> &list = specifics();
    if (index < 0 || index >= list.size())
        return false;
    const QString &id = list.at(index).property->id();
    return id == PropertyIds::PointBinding || id == PropertyIds::ControlBinding;
}

void GraphicsItem::setSpecificValue(int index, const QVariant &value)
{
    QVector<QVariant> &v = values();
    if (index < 0 || index >= v.size())
        return;
    // A binding's value is the item's own svgID or ykID, however it is set.
    const QString &id = specifics().at(index).property->id();
    if (id == PropertyIds::PointBinding)
        setSvgID(value.toString());
    else if (id == PropertyIds::ControlBinding)
        setYkID(value.toString());
    if (v.at(index) == value)
        return;
    v[index] = value;
    specificChanged(index);
    update();
}

QMap<AbstractGraphicsProperty::Authority, QList<Property *>> GraphicsItem::properties() const
{
    QMap<Authority, QList<Property *>> map;
    map.insert(Common, CommonProperties::forItems());
    map.insert(General, generalProperties(hasText()));
    QList<Property *> own;
    for (const SpecificProperty &s : specifics())
        own << s.property;
    map.insert(Specific, own);
    return map;
}

QVariant GraphicsItem::propertyValue(const QString &id) const
{
    if (id == PropertyIds::Name)
        return m_name;
    if (id == PropertyIds::X)
        return pos().x();
    if (id == PropertyIds::Y)
        return pos().y();
    if (id == PropertyIds::Width)
        return std::abs(m_rect.width());
    if (id == PropertyIds::Height)
        return std::abs(m_rect.height());
    if (id == PropertyIds::Lock)
        return islocked();
    if (id == PropertyIds::PenColor)
        return m_penColor;
    if (id == PropertyIds::PenWidth)
        return m_penWidth;
    if (id == PropertyIds::PenStyle)
        return m_penStyle;
    if (id == PropertyIds::BrushColor)
        return m_brushColor;
    if (id == PropertyIds::BrushStyle)
        return m_brushStyle;
    if (id == PropertyIds::Font && hasText())
        return m_font;
    return specificPropertyValue(id);
}

QVariant GraphicsItem::specificPropertyValue(const QString &id) const
{
    const QVector<SpecificProperty> &list = specifics();
    if (id == PropertyIds::PointBinding || id == PropertyIds::ControlBinding) {
        for (const SpecificProperty &s : list) {
            if (s.property->id() == id)
                return id == PropertyIds::PointBinding ? svgID() : ykID();
        }
        return QVariant();
    }
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).property->id() == id)
            return values().value(i);
    }
    return QVariant();
}

void GraphicsItem::setPropertyValue(const QString &id, const QVariant &value)
{
    if (id == PropertyIds::Name) {
        m_name = value.toString();
    } else if (id == PropertyIds::X) {
        setPos(FormatLimits::clampCoordinate(value.toDouble()), pos().y());
    } else if (id == PropertyIds::Y) {
        setPos(pos().x(), FormatLimits::clampCoordinate(value.toDouble()));
    } else if (id == PropertyIds::Width) {
        setWidth(qMax(0.0, FormatLimits::clampCoordinate(value.toDouble())));
    } else if (id == PropertyIds::Height) {
        setHeight(qMax(0.0, FormatLimits::clampCoordinate(value.toDouble())));
    } else if (id == PropertyIds::Lock) {
        setLock(value.toBool());
    } else if (id == PropertyIds::PenColor) {
        m_penColor = value.value<QColor>();
    } else if (id == PropertyIds::PenWidth) {
        prepareGeometryChange();
        m_penWidth = qBound(0, value.toInt(), FormatLimits::MaxPenWidth);
    } else if (id == PropertyIds::PenStyle) {
        m_penStyle = qBound(0, value.toInt(), FormatLimits::MaxPenStyle);
    } else if (id == PropertyIds::BrushColor) {
        m_brushColor = value.value<QColor>();
    } else if (id == PropertyIds::BrushStyle) {
        m_brushStyle = qBound(0, value.toInt(), FormatLimits::MaxBrushStyle);
    } else if (id == PropertyIds::Font && hasText()) {
        m_font = value.value<QFont>();
    } else {
        const QVector<SpecificProperty> &list = specifics();
        for (int i = 0; i < list.size(); ++i) {
            if (list.at(i).property->id() == id) {
                setSpecificValue(i, value);
                return;
            }
        }
        return;
    }
    update();
}

void GraphicsItem::init(void *, void *)
{ }

void GraphicsItem::lockChanged()
{
    // A locked item can still be selected, but the mouse neither moves nor resizes it.
    setFlag(ItemIsMovable, !islocked());
    update();
}

QVariant GraphicsItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneHasChanged && scene()) {
        const QList<QGraphicsView *> views = scene()->views();
        if (!views.isEmpty())
            viewScaleChanged(views.first()->transform().m11());
    }
    return QGraphicsItem::itemChange(change, value);
}

void GraphicsItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int handle = handleAt(event->pos());
        if (handle >= 0) {
            m_resizing = handle;
            event->accept();
            return;
        }
    }
    QGraphicsItem::mousePressEvent(event);
}

void GraphicsItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_resizing < 0) {
        QGraphicsItem::mouseMoveEvent(event);
        return;
    }
    const QPointF p = event->pos();
    QRectF r = m_rect;
    if (isLinear()) {
        if (m_resizing == 0)
            r.setTopLeft(p);
        else
            r.setBottomRight(p);
    } else {
        r = r.normalized();
        switch (m_resizing) {
        case 0: r.setTopLeft(p); break;
        case 1: r.setTop(p.y()); break;
        case 2: r.setTopRight(p); break;
        case 3: r.setRight(p.x()); break;
        case 4: r.setBottomRight(p); break;
        case 5: r.setBottom(p.y()); break;
        case 6: r.setBottomLeft(p); break;
        case 7: r.setLeft(p.x()); break;
        default: break;
        }
        // Dragging a handle across the opposite side flips the rectangle instead of
        // turning it inside out.
        r = r.normalized();
    }
    setRect(r);
}

void GraphicsItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_resizing >= 0) {
        // The scene has already read isResizing() to record the resize; the drag ends here.
        m_resizing = -1;
        event->accept();
        return;
    }
    QGraphicsItem::mouseReleaseEvent(event);
}

void GraphicsItem::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    static const Qt::CursorShape shapes[] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor,
        Qt::SizeHorCursor, Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    const int handle = handleAt(event->pos());
    if (handle < 0)
        unsetCursor();
    else
        setCursor(isLinear() ? Qt::SizeAllCursor : shapes[handle]);
    QGraphicsItem::hoverMoveEvent(event);
}
