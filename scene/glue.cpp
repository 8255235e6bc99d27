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

// What one collection works with: the scene's index, the moving items and the ends found so far.
struct Glue::Collecting
{
    const QGraphicsScene *scene;
    QSet<QGraphicsItem *> moving;
    QSet<QPair<LineItem *, int>> glued;
};

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
    Collecting collecting{scene, QSet<QGraphicsItem *>(items.cbegin(), items.cend()), {}};
    for (QGraphicsItem *item : qAsConst(equipment)) {
        const auto *owner = dynamic_cast<const AbstractGraphicsTerminals *>(item);
        const QList<QPointF> points = owner->terminalPoints();
        for (int t = 0; t < points.size(); ++t)
            glue.glueEndsAt(collecting, owner, t, points.at(t));
    }
    return glue;
}

void Glue::glueEndsAt(
    Collecting &collecting, const AbstractGraphicsTerminals *owner, int terminal, const QPointF &point)
{
    const double on = ConnectionCheck::OnDistance;
    // Unsorted: only the few lines whose rectangles reach the point matter.
    for (QGraphicsItem *candidate :
        collecting.scene->items(around(point, on), Qt::IntersectsItemBoundingRect, Qt::SortOrder(-1))) {
        auto *line = dynamic_cast<LineItem *>(candidate);
        if (!line || line->parentItem() || line->islocked() || collecting.moving.contains(line))
            continue;
        const QList<QPointF> ends = line->terminalPoints();
        for (int e = 0; e < ends.size(); ++e) {
            // An end on two points at once (symbols touching) follows the first.
            if (QLineF(ends.at(e), point).length() > on || collecting.glued.contains({line, e}))
                continue;
            if (!collecting.glued.contains({line, 1 - e}))
                m_lines.push_back({line, line->geometry()});
            collecting.glued.insert({line, e});
            m_ends.push_back({line, e, owner, terminal, point});
        }
    }
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

void Glue::followMove(const QPointF &offset) const
{
    for (const End &end : m_ends)
        end.line->setTerminalPoint(end.end, end.at + offset);
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
