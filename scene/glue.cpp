#include "glue.h"

#include "abstractgraphicsterminals.h"
#include "lineitem.h"
#include "scene/commands.h"
#include "scene/connectioncheck.h"
#include "scene/editorstate.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineF>
#include <QSet>
#include <QUndoStack>

namespace {

QRectF around(const QPointF &point, double radius)
{
    return QRectF(point.x() - radius, point.y() - radius, 2 * radius, 2 * radius);
}

// The item and its members at any depth that offer connection points, lines excepted: a line
// glues to equipment, not to another line.
void collectEquipment(QGraphicsItem *item, QList<QGraphicsItem *> &equipment)
{
    if (dynamic_cast<AbstractGraphicsTerminals *>(item) && !dynamic_cast<LineItem *>(item))
        equipment.append(item);
    for (QGraphicsItem *member : item->childItems())
        collectEquipment(member, equipment);
}

} // namespace

double Glue::snapRadius(const QWidget *viewport)
{
    const auto *view = viewport ? qobject_cast<const QGraphicsView *>(viewport->parentWidget()) : nullptr;
    const double scale = view ? view->transform().m11() : 1.0;
    return SnapPixels / (scale > 0 ? scale : 1.0);
}

Glue Glue::of(const QGraphicsScene *scene, const QList<QGraphicsItem *> &items)
{
    Glue glue;
    if (!EditorState::gridSettings().glues() || !scene)
        return glue;
    QList<QGraphicsItem *> equipment;
    for (QGraphicsItem *item : items)
        collectEquipment(item, equipment);
    if (equipment.isEmpty())
        return glue;
    const QSet<QGraphicsItem *> moving(items.cbegin(), items.cend());
    QSet<LineItem *> seen;
    QSet<QPair<LineItem *, int>> glued;
    const double on = ConnectionCheck::OnDistance;
    for (QGraphicsItem *item : qAsConst(equipment)) {
        const auto *owner = dynamic_cast<const AbstractGraphicsTerminals *>(item);
        const QList<QPointF> points = owner->terminalPoints();
        for (int t = 0; t < points.size(); ++t) {
            const QPointF point = points.at(t);
            // Unsorted: only the few lines whose rectangles reach the point matter.
            for (QGraphicsItem *candidate :
                scene->items(around(point, on), Qt::IntersectsItemBoundingRect, Qt::SortOrder(-1))) {
                auto *line = dynamic_cast<LineItem *>(candidate);
                if (!line || line->parentItem() || moving.contains(line))
                    continue;
                const QList<QPointF> ends = line->terminalPoints();
                for (int e = 0; e < ends.size(); ++e) {
                    if (QLineF(ends.at(e), point).length() > on)
                        continue;
                    // An end on two points at once (symbols touching) follows the first.
                    if (glued.contains({line, e}))
                        continue;
                    glued.insert({line, e});
                    glue.m_ends.push_back({line, e, owner, t});
                    if (!seen.contains(line)) {
                        seen.insert(line);
                        glue.m_lines.push_back({line, line->geometry()});
                    }
                }
            }
        }
    }
    return glue;
}

QList<QGraphicsItem *> Glue::lines() const
{
    QList<QGraphicsItem *> result;
    result.reserve(int(m_lines.size()));
    for (const Line &line : m_lines)
        result.append(line.line);
    return result;
}

void Glue::follow() const
{
    for (const End &end : m_ends) {
        const QList<QPointF> points = end.owner->terminalPoints();
        if (end.terminal < points.size())
            end.line->setTerminalPoint(end.end, points.at(end.terminal));
    }
}

void Glue::record(QUndoStack *stack) const
{
    for (const Line &line : m_lines) {
        if (line.line->geometry() != line.before)
            stack->push(new CommandResize(line.line, line.before, nullptr));
    }
}

std::optional<QPointF> Glue::terminalNear(
    const QGraphicsScene *scene, const QPointF &point, double radius, const QGraphicsItem *exclude)
{
    std::optional<QPointF> best;
    double bestDistance = radius;
    for (QGraphicsItem *item : scene->items(around(point, radius), Qt::IntersectsItemBoundingRect, Qt::SortOrder(-1))) {
        const auto *terminals = dynamic_cast<const AbstractGraphicsTerminals *>(item);
        if (!terminals || item == exclude)
            continue;
        for (const QPointF &candidate : terminals->terminalPoints()) {
            const double distance = QLineF(point, candidate).length();
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = candidate;
            }
        }
    }
    return best;
}
