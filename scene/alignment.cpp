#include "alignment.h"

#include "abstractgraphicsutility.h"
#include "scene/commands.h"
#include "scene/glue.h"
#include "scene/scene.h"

#include <QGraphicsItem>
#include <QUndoStack>
#include <algorithm>
#include <vector>

namespace {

struct AlignmentRule
{
    const char *macro;
    Qt::Orientation axis;
    double (*value)(const QRectF &rect);
};

// Indexed by Alignment::Edge.
const AlignmentRule AlignmentRules[] = {
    {"AlignmentLeft", Qt::Horizontal, [](const QRectF &r) { return r.x(); }},
    {"AlignmentRight", Qt::Horizontal, [](const QRectF &r) { return r.x() + r.width(); }},
    {"AlignmentTop", Qt::Vertical, [](const QRectF &r) { return r.y(); }},
    {"AlignmentBottom", Qt::Vertical, [](const QRectF &r) { return r.y() + r.height(); }},
    {"AlignmentHCenter", Qt::Horizontal, [](const QRectF &r) { return r.x() + r.width() * 0.5; }},
    {"AlignmentVCenter", Qt::Vertical, [](const QRectF &r) { return r.y() + r.height() * 0.5; }},
};

QUndoCommand *moveAlong(QGraphicsItem *item, Qt::Orientation axis, double distance)
{
    return axis == Qt::Horizontal ? new CommandMoveBy(item, distance, 0, nullptr)
                                  : new CommandMoveBy(item, 0, distance, nullptr);
}

// The item the others line up with: the one the user clicked last (it holds the focus),
// or the first of the selection when the focus lies on no selected item.
AbstractGraphicsUtility *referenceItem(const Scene *scene, const QList<QGraphicsItem *> &selection)
{
    QGraphicsItem *focus = scene->focusItem();
    return dynamic_cast<AbstractGraphicsUtility *>(focus && focus->isSelected() ? focus : selection.first());
}

// The selection that alignment, equal size and spacing work on, or nothing. They act only
// while the canvas holds the keyboard focus, never while the user works in the property
// dock. Group members count towards the minimum but keep their place and size.
QList<QGraphicsItem *> selectionToLineUp(const Scene *scene, int minimum)
{
    const QList<QGraphicsItem *> selection = scene->selectedItems();
    return scene->hasFocus() && selection.size() >= minimum ? selection : QList<QGraphicsItem *>();
}

// The lines glued to the items follow them inside the operation's one undo step.
void endWithGlue(QUndoStack *stack, const Glue &glue)
{
    glue.followInto(stack);
    stack->endMacro();
}

} // namespace

void Alignment::align(Scene *scene, Edge which)
{
    const AlignmentRule &rule = AlignmentRules[int(which)];
    const QList<QGraphicsItem *> selection = selectionToLineUp(scene, 2);
    AbstractGraphicsUtility *reference = selection.isEmpty() ? nullptr : referenceItem(scene, selection);
    if (!reference)
        return;
    const double target = rule.value(reference->itemRect());
    const QList<QGraphicsItem *> items = Scene::inStackingOrder(scene, selection, true);
    const Glue glue = Glue::of(scene, items);
    QUndoStack *stack = scene->undoStack();
    stack->beginMacro(QLatin1String(rule.macro));
    for (QGraphicsItem *item : items) {
        auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
        if (utility)
            stack->push(moveAlong(item, rule.axis, target - rule.value(utility->itemRect())));
    }
    endWithGlue(stack, glue);
}

void Alignment::equalSize(Scene *scene, Qt::Orientation axis)
{
    const QList<QGraphicsItem *> selection = selectionToLineUp(scene, 2);
    AbstractGraphicsUtility *reference = selection.isEmpty() ? nullptr : referenceItem(scene, selection);
    if (!reference)
        return;
    const QRectF target = reference->itemRect();
    const QList<QGraphicsItem *> items = Scene::inStackingOrder(scene, selection, true);
    const Glue glue = Glue::of(scene, items);
    QUndoStack *stack = scene->undoStack();
    const bool width = axis == Qt::Horizontal;
    stack->beginMacro(width ? QStringLiteral("EqualWidth") : QStringLiteral("EqualHeight"));
    for (QGraphicsItem *item : items) {
        auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
        if (!utility)
            continue;
        if (width)
            stack->push(new CommandSetWidth(utility, target.width(), nullptr));
        else
            stack->push(new CommandSetHeight(utility, target.height(), nullptr));
    }
    endWithGlue(stack, glue);
}

// The first item stays; each later one starts one common gap after the end of the one
// before it, the gap being what the items leave free of their united extent.
void Alignment::equalSpacing(Scene *scene, Qt::Orientation axis)
{
    const QList<QGraphicsItem *> selection = selectionToLineUp(scene, 3);
    const bool horizontal = axis == Qt::Horizontal;
    const auto start = [horizontal](const QRectF &r) { return horizontal ? r.x() : r.y(); };
    const auto extent = [horizontal](const QRectF &r) { return horizontal ? r.width() : r.height(); };
    struct Entry
    {
        QGraphicsItem *item;
        AbstractGraphicsUtility *utility;
        double start;
    };
    std::vector<Entry> entries;
    for (QGraphicsItem *item : Scene::inStackingOrder(scene, selection, true)) {
        auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
        if (utility)
            entries.push_back({item, utility, start(utility->itemRect())});
    }
    if (entries.size() < 3)
        return;
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.start < b.start; });
    QRectF united;
    double sum = 0;
    for (const Entry &e : entries) {
        const QRectF rect = e.utility->itemRect();
        united |= rect;
        sum += extent(rect);
    }
    const double gap = (extent(united) - sum) / double(entries.size() - 1);
    QList<QGraphicsItem *> items;
    for (const Entry &e : entries)
        items.append(e.item);
    const Glue glue = Glue::of(scene, items);
    QUndoStack *stack = scene->undoStack();
    stack->beginMacro(horizontal ? QStringLiteral("EqualHCross") : QStringLiteral("EqualVCross"));
    double end = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            stack->push(moveAlong(entries[i].item, axis, end + gap - entries[i].start));
        const QRectF rect = entries[i].utility->itemRect();
        end = start(rect) + extent(rect);
    }
    endWithGlue(stack, glue);
}
