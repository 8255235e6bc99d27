#include "groupitem.h"

#include "documentformat.h"

#include <QGraphicsScene>

namespace {
const QString IdCount = QStringLiteral("图元个数");
} // namespace

GroupItem::GroupItem()
{
    setFlags(ItemIsSelectable | ItemIsMovable | ItemIsFocusable);
}

bool GroupItem::createFromPoints(const DrawingDefaults *, const QPointF &, const QPointF &, QGraphicsScene *)
{
    // A group is made from selected items or placed from the group library; a drag alone
    // has nothing to put into it.
    return false;
}

// Scaling a group would distort its members' symbols; its size follows its members.
void GroupItem::setWidth(double) {}
void GroupItem::setHeight(double) {}

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
    static const QList<Property *> common{
        new Property(PropertyIds::Name, Property::String),
        new Property(PropertyIds::X, Property::Double),
        new Property(PropertyIds::Y, Property::Double),
        new Property(PropertyIds::Width, Property::Double, {}, false),
        new Property(PropertyIds::Height, Property::Double, {}, false),
        new Property(PropertyIds::Lock, Property::Bool),
    };
    static const QList<Property *> specific{new Property(IdCount, Property::Int, {}, false)};
    return {{Common, common}, {General, {}}, {Specific, specific}};
}

QVariant GroupItem::propertyValue(const QString &id) const
{
    if (id == PropertyIds::Name)
        return m_name;
    if (id == PropertyIds::X)
        return pos().x();
    if (id == PropertyIds::Y)
        return pos().y();
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
        setPos(value.toDouble(), pos().y());
    else if (id == PropertyIds::Y)
        setPos(pos().x(), value.toDouble());
    else if (id == PropertyIds::Lock)
        setLock(value.toBool());
}

void GroupItem::lockChanged()
{
    setFlag(ItemIsMovable, !islocked());
}
