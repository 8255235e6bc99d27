#ifndef GROUPITEM_H
#define GROUPITEM_H

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsutility.h"
#include "itemkind.h"

#include <QGraphicsItemGroup>

// A group of items that moves, locks and stacks as one.
class GroupItem : public QGraphicsItemGroup, public AbstractGraphicsUtility, public AbstractGraphicsProperty
{
public:
    GroupItem();

    int type() const override { return ItemKind::Group; }
    // A group read from an item-group file (the version text, then the group as saveItem
    // wrote it); null when the file cannot be read or holds no group.
    static GroupItem *load(const QString &fileName);
    // The same from a stream: the version text, then the group's record.
    static GroupItem *read(QDataStream &stream);

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    // AbstractGraphicsUtility: fills the group with the members of the group library's
    // current entry, scaled into the dragged rectangle (a click keeps their size).
    bool createFromPoints(
        const DrawingDefaults *defaults, const QPointF &press, const QPointF &release, QGraphicsScene *scene) override;
    void setWidth(double width) override;
    void setHeight(double height) override;
    bool saveItem(QDataStream &stream) override;
    QRectF itemRect() const override;

    // AbstractGraphicsProperty
    QMap<Authority, QList<Property *>> properties() const override;
    void setPropertyValue(const QString &id, const QVariant &value) override;
    QVariant propertyValue(const QString &id) const override;

    // Qt's own selection frame is drawn in the window-text colour, unseen on a dark canvas.
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void lockChanged() override;

private:
    QString m_name;
};

#endif
