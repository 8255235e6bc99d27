#include "abstractgraphicsscene.h"

#include "groupitem.h"
#include "graphicsitem.h"
#include "itemkind.h"

#include <QGraphicsItem>
#include <QPainter>

AbstractGraphicsScene::AbstractGraphicsScene(QObject *parent)
    : QGraphicsScene(parent)
{
}

AbstractGraphicsScene::~AbstractGraphicsScene() = default;

void AbstractGraphicsScene::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void AbstractGraphicsScene::setBackgroundPixmap(const QString &path)
{
    m_backgroundPixmapPath = path;
    // A missing picture is normal (the default one may not exist): the colour shows instead.
    m_backgroundPicture = QPixmap(path);
    update();
}

QGraphicsItem *AbstractGraphicsScene::graphicsItem(int, int itemType, bool)
{
    // Graphs and templates offer the same items; the defaults are applied by
    // createFromPoints, so both flags only matter to callers that need them.
    if (itemType == GroupItem::Type)
        return new GroupItem;
    return ItemKind::create(itemType);
}

QList<QGraphicsItem *> AbstractGraphicsScene::noParentFilter(const QList<QGraphicsItem *> &items)
{
    QList<QGraphicsItem *> result;
    result.reserve(items.size());
    for (QGraphicsItem *item : items) {
        if (item && !item->parentItem())
            result.append(item);
    }
    return result;
}

void AbstractGraphicsScene::drawBackground(QPainter *painter, const QRectF &rect)
{
    painter->fillRect(rect, m_backgroundColor.isValid() ? m_backgroundColor : QColor(Qt::black));
    if (!m_backgroundPicture.isNull())
        painter->drawPixmap(sceneRect(), m_backgroundPicture, QRectF(m_backgroundPicture.rect()));
}
