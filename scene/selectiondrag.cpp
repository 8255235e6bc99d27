#include "selectiondrag.h"

#include "abstractgraphicsresize.h"
#include "abstractgraphicsutility.h"
#include "itemkind.h"
#include "lineitem.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"

#include <QGraphicsSceneMouseEvent>
#include <QUndoStack>

namespace {

bool isResizing(QGraphicsItem *item)
{
    auto *resize = dynamic_cast<AbstractGraphicsResize *>(item);
    return resize && resize->isResizing() != -1;
}

} // namespace

void SelectionDrag::start()
{
    m_positions.clear();
    m_hasAnchor = false;
    QGraphicsItem *grabbed = m_scene->mouseGrabberItem();
    if (!grabbed) {
        m_glue = Glue();
        return;
    }
    if (isResizing(grabbed)) {
        m_glue = Glue::of(m_scene, {grabbed});
        return;
    }
    // Where the selection stands now that the press has settled it: a drag moves only the
    // items that may move (a locked one stays), so the release compares against this.
    QList<QGraphicsItem *> moving;
    for (QGraphicsItem *item : Scene::inStackingOrder(m_scene, m_scene->selectedItems(), true))
        m_positions.append(qMakePair(item, item->pos()));
    // The grabbed item moves with the selection even when it is not selected itself.
    if (!grabbed->parentItem() && !grabbed->isSelected())
        m_positions.append(qMakePair(grabbed, grabbed->pos()));
    for (const auto &entry : qAsConst(m_positions)) {
        if (entry.first->flags() & QGraphicsItem::ItemIsMovable)
            moving.append(entry.first);
    }
    if (auto *utility = dynamic_cast<AbstractGraphicsUtility *>(grabbed)) {
        const QRectF rect = utility->itemRect();
        m_anchor = grabbed->parentItem() ? grabbed->parentItem()->mapToScene(rect.topLeft()) : rect.topLeft();
        m_hasAnchor = true;
    }
    m_glue = moving.isEmpty() ? Glue() : Glue::of(m_scene, moving);
}

// Moving the selection is done here rather than by the grabbed item: the item would ask the
// scene for its whole selection and look up every start position in a hash at each move event.
// Every movable top-level item of the selection stands at its place at the press plus the way
// the mouse went since, snapped so that the grabbed item's corner lies on the grid.
bool SelectionDrag::move(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem *grabbed = m_scene->mouseGrabberItem();
    if (!(event->buttons() & Qt::LeftButton) || !grabbed || EditorState::currentTool() != ItemKind::Pointer)
        return false;
    const bool snaps = !(event->modifiers() & Qt::AltModifier);
    if (isResizing(grabbed)) {
        bool onTerminal = false;
        if (snaps && dynamic_cast<LineItem *>(grabbed)) {
            event->setScenePos(
                m_scene->snapLineEnd(event->scenePos(), Glue::snapRadius(event->widget()), grabbed, &onTerminal));
        } else if (snaps) {
            event->setScenePos(m_scene->snapToGrid(event->scenePos()));
        }
        m_scene->markTerminal(onTerminal ? std::optional<QPointF>(event->scenePos()) : std::nullopt);
        return false;
    }
    if (!(grabbed->flags() & QGraphicsItem::ItemIsMovable))
        return false;
    QPointF delta = event->scenePos() - event->buttonDownScenePos(Qt::LeftButton);
    // Back where it started, the selection is where it was: a click leaves it off the grid.
    if (snaps && m_hasAnchor && !delta.isNull())
        delta = m_scene->snapToGrid(m_anchor + delta) - m_anchor;
    for (const auto &entry : qAsConst(m_positions)) {
        if ((entry.first->flags() & QGraphicsItem::ItemIsMovable) && entry.first->scene() == m_scene)
            entry.first->setPos(entry.second + delta);
    }
    m_glue.followMove(delta);
    return true;
}

void SelectionDrag::itemResized() const
{
    if (isResizing(m_scene->mouseGrabberItem()))
        m_glue.follow();
}

void SelectionDrag::recordMove(QUndoStack *stack) const
{
    // The items already stand where the drag left them; the commands record where they were.
    QList<QPair<QGraphicsItem *, QPointF>> moves;
    for (const auto &entry : qAsConst(m_positions)) {
        if (entry.first->scene() == m_scene && !entry.first->parentItem() && entry.first->pos() != entry.second)
            moves.append(entry);
    }
    if (moves.isEmpty())
        return;
    stack->beginMacro(QStringLiteral("move"));
    for (const auto &entry : qAsConst(moves))
        stack->push(new CommandSetPos(entry.first, entry.second, nullptr));
    m_glue.record(stack);
    stack->endMacro();
}

// Alone, the resize is one command as it always was; with glued lines, one macro of them all.
void SelectionDrag::recordResize(QUndoStack *stack, AbstractGraphicsResize *item, const QVariant &before) const
{
    if (m_glue.isEmpty()) {
        stack->push(new CommandResize(item, before, nullptr));
        return;
    }
    stack->beginMacro(QStringLiteral("resize"));
    stack->push(new CommandResize(item, before, nullptr));
    m_glue.record(stack);
    stack->endMacro();
}

void SelectionDrag::finish()
{
    m_positions.clear();
    m_glue = Glue();
    m_hasAnchor = false;
    m_scene->markTerminal(std::nullopt);
}
