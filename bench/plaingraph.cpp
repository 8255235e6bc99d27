#include "plaingraph.h"

#include "benchsupport.h"
#include "itemkind.h"

#include <QDataStream>
#include <QGraphicsItemGroup>
#include <QGraphicsRectItem>
#include <QPainter>
#include <QSet>
#include <QSvgGenerator>
#include <QtTest>

using namespace BenchSupport;

PlainGraph::PlainGraph(int count, const QSize &viewSize)
{
    scene.setSceneRect(canvasFor(count));
    items.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Placement p = placement(i, count);
        const QRectF r = p.press == p.release
            ? QRectF(
                p.press - QPointF(p.kind->clickSize.width() / 2, p.kind->clickSize.height() / 2), p.kind->clickSize)
            : QRectF(p.press, p.release).normalized();
        items << add(r.topLeft(), QRectF(QPointF(), r.size()), p.kind == mix().rect);
    }
    view.setScene(&scene);
    view.setAttribute(Qt::WA_ShowWithoutActivating);
    view.resize(viewSize);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        qWarning("the plain view was not shown");
    view.centerOn(scene.sceneRect().center());
    settle();
}

PlainGraph::~PlainGraph()
{
    // Items out of the scene (deleted or pasted and undone) are not the scene's to delete.
    for (QGraphicsItem *item : qAsConst(created)) {
        if (!item->scene())
            delete item;
    }
}

QGraphicsItem *PlainGraph::add(const QPointF &pos, const QRectF &rect, bool filled)
{
    auto *item = new QGraphicsRectItem(rect);
    item->setPos(pos);
    item->setPen(QPen(QColor(255, 255, 0), 1));
    if (filled)
        item->setBrush(QColor(0, 0, 160));
    item->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
    scene.addItem(item);
    created << item;
    return item;
}

void PlainGraph::removeAll(const QList<QGraphicsItem *> &list)
{
    for (int i = list.size() - 1; i >= 0; --i)
        scene.removeItem(list.at(i));
}

void PlainGraph::addAll(const QList<QGraphicsItem *> &list)
{
    for (QGraphicsItem *item : list)
        scene.addItem(item);
}

void PlainGraph::moveAll(const QList<QGraphicsItem *> &list, const QPointF &delta)
{
    for (QGraphicsItem *item : list)
        item->moveBy(delta.x(), delta.y());
}

QByteArray PlainGraph::writeRecords(const QList<QGraphicsItem *> &items)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(items.size());
    for (int i = 0; i < items.size(); ++i) {
        const auto *item = static_cast<const QGraphicsRectItem *>(items.at(i));
        out << qint32(i) << item->pos() << item->rect() << qint32(item->pen().width()) << item->pen().color()
            << item->brush().color() << QStringLiteral("图元%1").arg(i);
    }
    return bytes;
}

QList<QGraphicsItem *> PlainGraph::addRecords(const QByteArray &bytes, const QPointF &offset)
{
    QDataStream in(bytes);
    qint32 count = 0;
    in >> count;
    QList<QGraphicsItem *> added;
    for (int i = 0; i < count; ++i) {
        qint32 index, penWidth;
        QPointF pos;
        QRectF rect;
        QColor pen, brush;
        QString name;
        in >> index >> pos >> rect >> penWidth >> pen >> brush >> name;
        added << add(pos + offset, rect, brush.isValid() && brush != Qt::black);
    }
    return added;
}

void PlainGraph::selectAll()
{
    for (QGraphicsItem *item : qAsConst(items))
        item->setSelected(true);
    target = items;
}

void PlainGraph::deselectAll()
{
    for (QGraphicsItem *item : qAsConst(items))
        item->setSelected(false);
}

void PlainGraph::selectHalf(const QList<QGraphicsItem *> &half)
{
    scene.clearSelection();
    for (QGraphicsItem *item : half)
        item->setSelected(true);
    // Removed top first and put back bottom first, as the editor does.
    const QSet<QGraphicsItem *> chosen(half.cbegin(), half.cend());
    target.clear();
    for (QGraphicsItem *item : qAsConst(items)) {
        if (chosen.contains(item))
            target << item;
    }
}

void PlainGraph::removeTarget()
{
    const QList<QGraphicsItem *> doomed = target;
    removeAll(doomed);
    done([this, doomed] { addAll(doomed); }, [this, doomed] { removeAll(doomed); });
}

void PlainGraph::groupTarget()
{
    const QList<QGraphicsItem *> members = target;
    group = scene.createItemGroup(members);
    done(
        [this] {
            scene.destroyItemGroup(group);
            group = nullptr;
        },
        [this, members] { group = scene.createItemGroup(members); });
}

bool PlainGraph::ungroup()
{
    if (!group)
        return false;
    const QList<QGraphicsItem *> members = items;
    scene.destroyItemGroup(group);
    group = nullptr;
    done([this, members] { group = scene.createItemGroup(members); },
        [this] {
            scene.destroyItemGroup(group);
            group = nullptr;
        });
    return true;
}

void PlainGraph::restack(QGraphicsItem *one, double z)
{
    one->setZValue(z);
    done([one] { one->setZValue(0); }, [one, z] { one->setZValue(z); });
}

void PlainGraph::dropTarget(const QPointF &delta)
{
    const QList<QGraphicsItem *> moved = target;
    done([this, moved, delta] { moveAll(moved, -delta); }, [this, moved, delta] { moveAll(moved, delta); });
}

void PlainGraph::copy()
{
    records = writeRecords(items);
}

void PlainGraph::paste()
{
    const QList<QGraphicsItem *> pasted = addRecords(records, QPointF(10, 0));
    done([this, pasted] { removeAll(pasted); }, [this, pasted] { addAll(pasted); });
}

void PlainGraph::exportSvg(const QString &path)
{
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(scene.sceneRect().size().toSize());
    generator.setViewBox(scene.sceneRect());
    QPainter painter(&generator);
    scene.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
    painter.end();
}

void PlainGraph::done(std::function<void()> undo, std::function<void()> redo)
{
    history.resize(position);
    history.push_back({std::move(undo), std::move(redo)});
    position = history.size();
}

bool PlainGraph::undo()
{
    if (position == 0)
        return false;
    history.at(--position).undo();
    return true;
}

bool PlainGraph::redo()
{
    if (position == history.size())
        return false;
    history.at(position++).redo();
    return true;
}
