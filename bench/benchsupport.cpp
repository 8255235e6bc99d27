#include "benchsupport.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsscene.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "scene/editorstate.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <algorithm>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace BenchSupport {

DrawingDefaults defaults()
{
    DrawingDefaults d;
    d.penWidth = 1;
    d.penColor = QColor(255, 255, 0);
    d.penStyle = 1;
    return d;
}

QVector<int> simpleKinds()
{
    return {ItemKind::Breaker, ItemKind::Disconnector, ItemKind::Line, ItemKind::PlainText, ItemKind::Rectangle,
        ItemKind::MainTransformer, ItemKind::AnalogValue, ItemKind::Earth};
}

QVector<int> kindsOf(int family)
{
    QVector<int> kinds;
    for (const ItemKind &k : ItemKind::all()) {
        if (k.family == family)
            kinds << k.type;
    }
    return kinds;
}

QVector<GraphicsItem *> addItems(QGraphicsScene &scene, int count, const QVector<int> &kinds, const Grid &grid)
{
    const DrawingDefaults d = defaults();
    QVector<GraphicsItem *> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QPointF at
            = grid.origin + QPointF((i % grid.columns) * grid.cell.width(), (i / grid.columns) * grid.cell.height());
        GraphicsItem *item = ItemKind::create(kinds.at(i % kinds.size()));
        item->createFromPoints(&d, at, at + QPointF(grid.size.width(), grid.size.height()), &scene);
        scene.addItem(item);
        items << item;
    }
    return items;
}

const Mix &mix()
{
    static const Mix m = [] {
        Mix m;
        for (const ItemKind &kind : ItemKind::all()) {
            if (kind.family == ItemKind::Symbol && !kind.clickSize.isEmpty())
                m.symbols << &kind;
        }
        m.text = ItemKind::find(ItemKind::PlainText);
        m.rect = ItemKind::find(ItemKind::Rectangle);
        m.line = ItemKind::find(ItemKind::Line);
        return m;
    }();
    return m;
}

namespace {

constexpr double CellWidth = 110;
constexpr double CellHeight = 80;

int columnsFor(int count)
{
    return int(std::ceil(std::sqrt(count * 2.0)));
}

// Every text its own words, as the labels of a diagram are: the first string property beside
// the name that a new text item fills in.
void setOwnText(GraphicsItem *item, int i)
{
    const auto groups = item->properties();
    for (const QList<Property *> &group : groups) {
        for (const Property *p : group) {
            if (p->type() != Property::String || p->id() == PropertyIds::Name || !p->isEditable())
                continue;
            if (item->propertyValue(p->id()).toString().isEmpty())
                continue;
            item->setPropertyValue(p->id(), QStringLiteral("10kV馈线%1").arg(i));
            return;
        }
    }
}

} // namespace

QRectF canvasFor(int count)
{
    const int columns = columnsFor(count);
    const int rows = (count + columns - 1) / columns;
    return QRectF(0, 0, columns * CellWidth + CellWidth, rows * CellHeight + CellHeight);
}

Placement placement(int i, int count)
{
    const Mix &m = mix();
    const int columns = columnsFor(count);
    const QPointF cell((i % columns) * CellWidth + CellWidth / 2, (i / columns) * CellHeight + CellHeight / 2);
    if (i % 2 == 0) {
        const ItemKind *kind = m.symbols.at((i / 2) % m.symbols.size());
        return {kind, cell, cell};
    }
    switch ((i / 2) % 3) {
    case 0: return {m.text, cell - QPointF(45, 10), cell + QPointF(45, 10)};
    case 1: return {m.line, cell - QPointF(40, 20), cell + QPointF(40, 20)};
    default: return {m.rect, cell - QPointF(35, 25), cell + QPointF(35, 25)};
    }
}

DrawingDefaults defaultsFor(const ItemKind *kind)
{
    DrawingDefaults d = defaults();
    d.bruchColor = QColor(0, 0, 160);
    d.brushStyle = kind == mix().rect ? 1 : 0;
    return d;
}

QString writeGraph(const QString &path, int count)
{
    AbstractGraphicsScene scene;
    scene.setSceneRect(canvasFor(count));
    for (int i = 0; i < count; ++i) {
        const Placement p = placement(i, count);
        GraphicsItem *item = ItemKind::create(p.kind->type);
        if (!item)
            return QStringLiteral("no item of kind %1").arg(p.kind->displayName());
        const DrawingDefaults d = defaultsFor(p.kind);
        if (!item->createFromPoints(&d, p.press, p.release, &scene)) {
            delete item;
            return QStringLiteral("%1 not created").arg(p.kind->displayName());
        }
        item->setPropertyValue(PropertyIds::Name, QStringLiteral("%1%2").arg(p.kind->displayName()).arg(i));
        if (p.kind == mix().text)
            setOwnText(item, i);
        scene.addItem(item);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QDataStream stream(&file);
    if (scene.save(stream) != AbstractGraphicsScene::FILE_SUCCESS)
        return QStringLiteral("saving %1 failed").arg(path);
    return QString();
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void deleteLaterNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QList<QGraphicsItem *> topLevel(const QGraphicsScene *scene, Qt::SortOrder order)
{
    QList<QGraphicsItem *> result;
    for (QGraphicsItem *item : scene->items(order)) {
        if (!item->parentItem())
            result << item;
    }
    return result;
}

QGraphicsItem *itemNearCentre(QGraphicsView *view, bool selected, QPoint *at)
{
    const QRect area = view->viewport()->rect();
    QList<QGraphicsItem *> candidates;
    for (QGraphicsItem *item : view->items(area)) {
        if (!item->parentItem() && (!selected || item->isSelected()))
            candidates << item;
    }
    auto distance = [&](QGraphicsItem *item) {
        const QPoint p = view->mapFromScene(item->sceneBoundingRect().center()) - area.center();
        const ItemKind *kind = ItemKind::find(item->type());
        const bool symbol = kind && kind->family == ItemKind::Symbol;
        return p.manhattanLength() + (symbol ? 0 : 100000);
    };
    std::sort(candidates.begin(), candidates.end(),
        [&](QGraphicsItem *a, QGraphicsItem *b) { return distance(a) < distance(b); });
    for (QGraphicsItem *item : qAsConst(candidates)) {
        const QPoint p = view->mapFromScene(item->sceneBoundingRect().center());
        QGraphicsItem *hit = view->itemAt(p);
        if (hit && hit->topLevelItem() == item) {
            *at = p;
            return item;
        }
    }
    return nullptr;
}

int stackingPlace(const QGraphicsScene *scene, QGraphicsItem *item)
{
    return topLevel(scene).indexOf(item);
}

QPoint dragStep(int i)
{
    return QPoint(4 * i, 3 * i);
}

long statusKb(const char *field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void releaseFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

bool resetPeak()
{
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    return file.open(QIODevice::WriteOnly) && file.write("5") == 1;
}

} // namespace BenchSupport
