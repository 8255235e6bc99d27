#include "connectioncheck.h"

#include "abstractgraphicsterminals.h"
#include "graphicsitem.h"
#include "itemkind.h"

#include <QGraphicsScene>
#include <QHash>
#include <QLineF>
#include <QSet>
#include <algorithm>
#include <limits>

namespace {

// Every item's connection points, worked out once for the whole check.
using Terminals = QHash<const QGraphicsItem *, QList<QPointF>>;

bool isLine(const QGraphicsItem *item)
{
    const ItemKind *kind = ItemKind::find(item->type());
    return kind && kind->terminals == ItemKind::LineEnds;
}

// The name in quotes after the kind (开关“QF1”), alone when it names the kind itself (“开关1”);
// the kind when there is no name.
QString itemName(const QGraphicsItem *item)
{
    const auto *graphics = dynamic_cast<const GraphicsItem *>(item);
    if (!graphics)
        return QString();
    const QString kind = graphics->kind().displayName();
    const QString name = graphics->name();
    if (name.isEmpty())
        return kind;
    return QStringLiteral("%1“%2”").arg(name.startsWith(kind) ? QString() : kind, name);
}

// A line's start and end as its properties call them; equipment's points numbered from the
// top of the upright symbol, unnumbered when there is only one.
QString pointName(const QGraphicsItem *item, int index, int count)
{
    if (isLine(item))
        return index == 0 ? QStringLiteral("起点") : QStringLiteral("终点");
    return count == 1 ? QStringLiteral("接点") : QStringLiteral("接点%1").arg(index + 1);
}

// The items whose bounding rectangles reach within `radius` of the point, from the index.
QList<QGraphicsItem *> around(const QGraphicsScene &scene, const QPointF &point, double radius)
{
    const QRectF area(point.x() - radius, point.y() - radius, 2 * radius, 2 * radius);
    return scene.items(area, Qt::IntersectsItemBoundingRect, Qt::SortOrder(-1));
}

struct Nearest
{
    const QGraphicsItem *item = nullptr;
    int index = -1;
    double distance = std::numeric_limits<double>::infinity();
};

// The connection point of another item than `self` nearest to the point among `candidates`.
Nearest nearest(const QList<QGraphicsItem *> &candidates, const Terminals &terminals, const QPointF &point,
    const QGraphicsItem *self)
{
    Nearest best;
    for (const QGraphicsItem *other : candidates) {
        const auto found = terminals.constFind(other);
        if (other == self || found == terminals.constEnd())
            continue;
        for (int i = 0; i < found->size(); ++i) {
            const double distance = QLineF(point, found->at(i)).length();
            if (distance < best.distance)
                best = {other, i, distance};
        }
    }
    return best;
}

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / length2, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

// Whether a line among `candidates` passes through the point: equipment drawn onto a feeder
// or a bus bar is connected to it anywhere along it.
bool onLine(const QList<QGraphicsItem *> &candidates, const Terminals &terminals, const QPointF &point)
{
    return std::any_of(candidates.begin(), candidates.end(), [&](const QGraphicsItem *item) {
        const auto found = terminals.constFind(item);
        return found != terminals.constEnd() && isLine(item)
            && distanceToSegment(point, found->first(), found->last()) <= ConnectionCheck::OnDistance;
    });
}

QString distanceText(double distance)
{
    return QString::number(distance, 'g', 3);
}

using ConnectionCheck::Finding;

// An item that connects, with its connection points.
struct Connector
{
    QGraphicsItem *item;
    QList<QPointF> points;
};

// One run of the check over a scene.
class Checker
{
public:
    explicit Checker(const QGraphicsScene &scene)
        : m_scene(scene)
    {
        // In stacking order, so that of two line ends falling short of each other the same one
        // is told every time.
        const QList<QGraphicsItem *> items = scene.items(Qt::AscendingOrder);
        m_terminals.reserve(items.size());
        for (QGraphicsItem *item : items) {
            const auto *connects = dynamic_cast<const AbstractGraphicsTerminals *>(item);
            const QList<QPointF> points = connects ? connects->terminalPoints() : QList<QPointF>();
            if (points.isEmpty())
                continue;
            m_terminals.insert(item, points);
            (isLine(item) ? m_lines : m_equipment).append({item, points});
        }
    }

    QList<Finding> findings()
    {
        // Line ends first: what they fall short of is then known.
        for (const Connector &line : qAsConst(m_lines)) {
            for (int i = 0; i < line.points.size(); ++i)
                checkLineEnd(line, i);
        }
        for (const Connector &equipment : qAsConst(m_equipment)) {
            for (int i = 0; i < equipment.points.size(); ++i)
                checkPoint(equipment, i);
        }
        std::sort(m_findings.begin(), m_findings.end(), [](const Finding &a, const Finding &b) {
            if (a.point.y() != b.point.y())
                return a.point.y() < b.point.y();
            if (a.point.x() != b.point.x())
                return a.point.x() < b.point.x();
            return a.text < b.text;
        });
        return m_findings;
    }

private:
    void checkLineEnd(const Connector &line, int index)
    {
        if (m_meant.contains({line.item, index}))
            return;
        const QPointF end = line.points.at(index);
        const Nearest hit = nearest(around(m_scene, end, ConnectionCheck::NearDistance), m_terminals, end, line.item);
        if (hit.distance <= ConnectionCheck::OnDistance || hit.distance > ConnectionCheck::NearDistance)
            return;
        m_meant.insert({hit.item, hit.index});
        const int count = m_terminals.value(hit.item).size();
        const QString text
            = QStringLiteral("%1的%2离%3的%4还差 %5")
                  .arg(itemName(line.item), pointName(line.item, index, line.points.size()), itemName(hit.item),
                      pointName(hit.item, hit.index, count), distanceText(hit.distance));
        m_findings.append({line.item, end, text});
    }

    void checkPoint(const Connector &equipment, int index)
    {
        if (m_meant.contains({equipment.item, index}))
            return;
        const QPointF point = equipment.points.at(index);
        const QList<QGraphicsItem *> candidates = around(m_scene, point, ConnectionCheck::OnDistance);
        if (nearest(candidates, m_terminals, point, equipment.item).distance <= ConnectionCheck::OnDistance
            || onLine(candidates, m_terminals, point))
            return;
        const QString text
            = QStringLiteral("%1的%2未连接")
                  .arg(itemName(equipment.item), pointName(equipment.item, index, equipment.points.size()));
        m_findings.append({equipment.item, point, text});
    }

    const QGraphicsScene &m_scene;
    Terminals m_terminals;
    QVector<Connector> m_lines;
    QVector<Connector> m_equipment;
    // A point that a line end falls short of is told with that line: it is not also open, and
    // a line end that another falls short of is not told again the other way round.
    QSet<QPair<const QGraphicsItem *, int>> m_meant;
    QList<Finding> m_findings;
};

} // namespace

QList<ConnectionCheck::Finding> ConnectionCheck::run(const QGraphicsScene &scene)
{
    return Checker(scene).findings();
}

QString ConnectionCheck::summary(int count)
{
    return count == 0 ? QStringLiteral("检查连接：未发现问题") : QStringLiteral("检查连接：发现 %1 处问题").arg(count);
}
