#include "abstractgraphicsscene.h"

#include "documentformat.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "imagefile.h"
#include "itemkind.h"

#include <QGraphicsItem>
#include <QPainter>
#include <QSet>
#include <algorithm>

AbstractGraphicsScene::AbstractGraphicsScene(QObject *parent)
    : QGraphicsScene(parent)
{ }

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
    // The path comes from the document, so it may name anything: see ImageFile.
    m_backgroundPicture = QPixmap::fromImage(ImageFile::read(path));
    update();
}

QGraphicsItem *AbstractGraphicsScene::graphicsItem(int, int itemType, bool)
{
    // Graphs and templates offer the same items; the defaults are applied by
    // createFromPoints, so both flags only matter to callers that need them.
    if (itemType == ItemKind::Group)
        return new GroupItem;
    return ItemKind::create(itemType);
}

// Writes the current version; the caller marks the document as that version once the
// bytes are safely on disk (setVersion).
AbstractGraphicsScene::FILE_INFO AbstractGraphicsScene::save(QDataStream &stream)
{
    return FILE_INFO(DocumentFormat::saveDocument(stream, *this));
}

AbstractGraphicsScene::FILE_INFO AbstractGraphicsScene::load(
    QDataStream &stream, bool interactive, int type, void *, void *)
{
    unsigned version = 0;
    QList<QGraphicsItem *> loaded;
    const DocumentFormat::Result r = DocumentFormat::loadDocument(stream, *this, type, interactive, &version, &loaded);
    if (r == DocumentFormat::Success) {
        m_version = version;
        // The list just read, not items(): asking the scene would build its index now.
        itemsLoaded(loaded);
        changed();
    }
    return FILE_INFO(r);
}

bool AbstractGraphicsScene::save(QDataStream &stream, const QList<QGraphicsItem *> &items)
{
    return DocumentFormat::saveItems(stream, items);
}

bool AbstractGraphicsScene::loadItems(
    QDataStream &stream, bool interactive, int, unsigned, QList<QGraphicsItem *> &items, void *, void *, void *)
{
    if (!DocumentFormat::loadItems(stream, items))
        return false;
    if (!interactive) {
        for (QGraphicsItem *item : qAsConst(items))
            item->setFlags(QGraphicsItem::GraphicsItemFlags());
    }
    return true;
}

void AbstractGraphicsScene::changed()
{
    update();
}

void AbstractGraphicsScene::itemsLoaded(const QList<QGraphicsItem *> &)
{ }

int AbstractGraphicsScene::topLevelItemCount() const
{
    // Unsorted: sorting 100 000 items for a count would cost some 20 ms on every scene change.
    const QList<QGraphicsItem *> all = items(Qt::SortOrder(-1));
    return int(std::count_if(all.cbegin(), all.cend(), [](const QGraphicsItem *item) { return !item->parentItem(); }));
}

QList<QGraphicsItem *> AbstractGraphicsScene::selectionSnapshot() const
{
    QList<QGraphicsItem *> selected;
    for (QGraphicsItem *item : items(Qt::SortOrder(-1))) {
        if (item->isSelected())
            selected << item;
    }
    return selected;
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

namespace {

QString baseNameOf(QGraphicsItem *item)
{
    if (item->type() == ItemKind::Group)
        return QStringLiteral("组合");
    const ItemKind *kind = ItemKind::find(item->type());
    return kind ? kind->displayName() : QStringLiteral("图元");
}

void collect(QGraphicsItem *item, bool withMembers, QList<QGraphicsItem *> &out)
{
    out << item;
    if (withMembers) {
        for (QGraphicsItem *child : item->childItems())
            collect(child, true, out);
    }
}

} // namespace

bool AbstractGraphicsScene::checkCSvgIDAndGroupID(QGraphicsItem *item, bool withMembers)
{
    if (!item)
        return false;
    QList<QGraphicsItem *> targets;
    collect(item, withMembers, targets);

    QSet<QString> taken;
    const QList<QGraphicsItem *> all = items();
    for (QGraphicsItem *other : all) {
        if (targets.contains(other))
            continue;
        if (auto *p = dynamic_cast<AbstractGraphicsProperty *>(other))
            taken.insert(p->propertyValue(PropertyIds::Name).toString());
    }

    bool changed = false;
    for (QGraphicsItem *target : qAsConst(targets)) {
        auto *p = dynamic_cast<AbstractGraphicsProperty *>(target);
        if (!p)
            continue;
        QString name = p->propertyValue(PropertyIds::Name).toString();
        if (name.isEmpty() || taken.contains(name)) {
            const QString base = baseNameOf(target);
            int n = 1;
            while (taken.contains(base + QString::number(n)))
                ++n;
            name = base + QString::number(n);
            p->setPropertyValue(PropertyIds::Name, name);
            changed = true;
        }
        taken.insert(name);
    }
    return changed;
}

void AbstractGraphicsScene::drawBackground(QPainter *painter, const QRectF &rect)
{
    painter->fillRect(rect, m_backgroundColor.isValid() ? m_backgroundColor : QColor(Qt::black));
    if (!m_backgroundPicture.isNull())
        painter->drawPixmap(sceneRect(), m_backgroundPicture, QRectF(m_backgroundPicture.rect()));
}
