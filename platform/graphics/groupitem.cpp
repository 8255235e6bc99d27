#include "groupitem.h"

#include "commonproperties.h"
#include "documentformat.h"
#include "formatlimits.h"
#include "graphicsitem.h"
#include "itemstorage.h"
#include "librarychoice.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <memory>

namespace {
const QString IdCount = QStringLiteral("图元个数");
// A drag shorter than this in both directions is a click.
constexpr double ClickTolerance = 2.0;
// Below this extent a stored group's side is not stretched to the drag.
constexpr double MinScaledExtent = 1e-3;

// Scales positions and drawing rectangles about the parent's origin; nested groups pass
// the same factors on to their members.
void scaleMembers(QGraphicsItem *parent, double sx, double sy)
{
    for (QGraphicsItem *member : parent->childItems()) {
        member->setPos(member->pos().x() * sx, member->pos().y() * sy);
        if (auto *item = dynamic_cast<GraphicsItem *>(member)) {
            const QRectF r = item->rect();
            item->setRect(QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy));
        } else {
            scaleMembers(member, sx, sy);
        }
    }
}
// Whether every member's position and rectangle lie within the format's range.
bool withinLimits(const QGraphicsItem *parent)
{
    for (const QGraphicsItem *member : parent->childItems()) {
        if (!FormatLimits::isCoordinate(member->pos().x()) || !FormatLimits::isCoordinate(member->pos().y()))
            return false;
        if (auto *item = dynamic_cast<const GraphicsItem *>(member)) {
            const QRectF r = item->rect();
            if (!FormatLimits::isCoordinate(r.x()) || !FormatLimits::isCoordinate(r.y())
                || !FormatLimits::isCoordinate(r.width()) || !FormatLimits::isCoordinate(r.height()))
                return false;
        } else if (!withinLimits(member)) {
            return false;
        }
    }
    return true;
}
} // namespace

GroupItem::GroupItem()
{
    setFlags(ItemIsSelectable | ItemIsMovable | ItemIsFocusable);
}

GroupItem *GroupItem::load(const QString &fileName)
{
    QFile file(fileName);
    // Only regular files: a group folder entry naming a FIFO or a device must not block.
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    QDataStream stream(&file);
    return read(stream);
}

GroupItem *GroupItem::read(QDataStream &stream)
{
    return ItemStorage::readGroupFile(stream);
}

bool GroupItem::createFromPoints(
    const DrawingDefaults *, const QPointF &press, const QPointF &release, QGraphicsScene *)
{
    // The members keep their own pens and brushes: the drawing defaults are not theirs.
    const QString path = LibraryChoice::currentPath(ItemKind::Group);
    const std::unique_ptr<GroupItem> source(path.isEmpty() ? nullptr : load(path));
    if (!source || source->childItems().isEmpty())
        return false;
    // The members' rectangle in the stored group's own coordinates.
    const QRectF bounds = source->mapRectFromParent(source->itemRect());
    QRectF target = QRectF(press, release).normalized();
    const bool click = target.width() < ClickTolerance && target.height() < ClickTolerance;
    if (click)
        target = QRectF(press - QPointF(bounds.width() / 2, bounds.height() / 2), bounds.size());
    for (QGraphicsItem *member : source->childItems()) {
        member->setParentItem(this);
        member->moveBy(-bounds.left(), -bounds.top());
    }
    if (!click) {
        // A line alone has no width or no height; that side keeps its size. So does a side
        // too small to scale: stretching it would give infinite or undefined coordinates.
        const double sx = bounds.width() >= MinScaledExtent ? target.width() / bounds.width() : 1.0;
        const double sy = bounds.height() >= MinScaledExtent ? target.height() / bounds.height() : 1.0;
        scaleMembers(this, sx, sy);
    }
    setPos(target.topLeft());
    // Members far apart or scaled far could leave the range a drawing can hold; such a group
    // is not made rather than saved and then refused when read.
    if (!FormatLimits::isCoordinate(pos().x()) || !FormatLimits::isCoordinate(pos().y()) || !withinLimits(this))
        return false;
    setSvgID(source->svgID());
    setYkID(source->ykID());
    return true;
}

// Scaling a group would distort its members' symbols; its size follows its members.
void GroupItem::setWidth(double)
{ }
void GroupItem::setHeight(double)
{ }

bool GroupItem::saveItem(QDataStream &stream)
{
    return DocumentFormat::saveItem(stream, this);
}

// The union of the members' own rectangles, so that aligning a group lines up its
// drawing and not the margins that pens and handles add.
QRectF GroupItem::itemRect() const
{
    QRectF united;
    for (QGraphicsItem *child : childItems()) {
        auto *u = dynamic_cast<AbstractGraphicsUtility *>(child);
        const QRectF r = u ? u->itemRect() : child->mapRectToParent(child->boundingRect());
        united = united.isNull() ? r : united | r;
    }
    return mapRectToParent(united);
}

QMap<AbstractGraphicsProperty::Authority, QList<Property *>> GroupItem::properties() const
{
    static const QList<Property *> specific{new Property(IdCount, Property::Int, {}, false)};
    return {{Common, CommonProperties::forGroups()}, {General, {}}, {Specific, specific}};
}

QVariant GroupItem::propertyValue(const QString &id) const
{
    if (id == PropertyIds::Name)
        return m_name;
    // A group made from a selection sits at the origin with its members where they were: its
    // position is where its members' rectangle is.
    if (id == PropertyIds::X)
        return itemRect().left();
    if (id == PropertyIds::Y)
        return itemRect().top();
    if (id == PropertyIds::Width)
        return itemRect().width();
    if (id == PropertyIds::Height)
        return itemRect().height();
    if (id == PropertyIds::Lock)
        return islocked();
    if (id == IdCount)
        return childItems().size();
    return QVariant();
}

void GroupItem::setPropertyValue(const QString &id, const QVariant &value)
{
    if (id == PropertyIds::Name)
        m_name = value.toString();
    else if (id == PropertyIds::X)
        moveBy(value.toDouble() - itemRect().left(), 0);
    else if (id == PropertyIds::Y)
        moveBy(0, value.toDouble() - itemRect().top());
    else if (id == PropertyIds::Lock)
        setLock(value.toBool());
}

void GroupItem::lockChanged()
{
    setFlag(ItemIsMovable, !islocked());
}

void GroupItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    if (!(option->state & QStyle::State_Selected))
        return;
    painter->setPen(GraphicsItem::selectionOutline());
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(boundingRect());
}
