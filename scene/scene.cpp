#include "scene.h"

#include "abstractgraphicslibrary.h"
#include "abstractgraphicsresize.h"
#include "abstractgraphicsutility.h"
#include "alignment.h"
#include "documentkind.h"
#include "dragconstraint.h"
#include "formatlimits.h"
#include "groupexport.h"
#include "itemkind.h"
// The scene runs the variable replacement from its own context menu: its one use of dialogs/.
#include "dialogs/dlgreplacevariables.h"
#include "scene/commands.h"
#include "scene/editorstate.h"

#include <QClipboard>
#include <QDataStream>
#include <QGraphicsItem>
#include <QGraphicsItemGroup>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

namespace {
const char *const ClipboardFormat = "SCENE";

// What an entry of the scene's context menu works on, taken when the menu opens.
struct ContextMenuContext
{
    Scene *scene;
    QList<QGraphicsItem *> selection;
    QList<AbstractGraphicsUtility *> utilities;
    QPointF scenePos;
};

// One entry of the scene's context menu; an entry without text is a separator.
struct ContextMenuEntry
{
    const char *icon = nullptr; // picture of the resources, or none
    const char *text = nullptr;
    bool (*offered)(const ContextMenuContext &) = nullptr; // null: always offered
    bool (*enabled)(const ContextMenuContext &) = nullptr; // null: always enabled
    void (*run)(const ContextMenuContext &) = nullptr;
};

enum LockState
{
    NotLockable,
    Locked,
    Unlocked
};

// The lock state of the only selected item.
LockState lockState(const ContextMenuContext &context)
{
    auto *utility
        = context.selection.size() == 1 ? dynamic_cast<AbstractGraphicsUtility *>(context.selection.first()) : nullptr;
    if (!utility)
        return NotLockable;
    return utility->islocked() ? Locked : Unlocked;
}

// Shows the entries that are offered in this context and runs the one chosen.
template<std::size_t N>
void runContextMenu(const ContextMenuEntry (&entries)[N], const ContextMenuContext &context, const QPoint &at)
{
    QMenu menu;
    QHash<QAction *, const ContextMenuEntry *> chosenEntry;
    for (const ContextMenuEntry &entry : entries) {
        if (!entry.text) {
            menu.addSeparator();
            continue;
        }
        if (entry.offered && !entry.offered(context))
            continue;
        QAction *action = entry.icon
            ? menu.addAction(QIcon(QStringLiteral(":/Plotwright/Resources/") + QLatin1String(entry.icon)),
                QString::fromUtf8(entry.text))
            : menu.addAction(QString::fromUtf8(entry.text));
        if (entry.enabled)
            action->setEnabled(entry.enabled(context));
        chosenEntry.insert(action, &entry);
    }
    if (const ContextMenuEntry *entry = chosenEntry.value(menu.exec(at)))
        entry->run(context);
}
} // namespace

Scene::Scene(QObject *parent)
    : AbstractGraphicsScene(parent)
    , m_undoStack(new QUndoStack(this))
{
    m_undoStack->setUndoLimit(50);
    setBackgroundPixmap(AbstractGraphicsUtility::bmpDir() + QStringLiteral("default.bmp"));
    setBackgroundColor(Qt::black);
    setSceneRect(DocumentKind::of(DocumentKind::Graph).canvas);
}

Scene::~Scene() = default;

// The items of a selection snapshot in stacking order, topmost first unless asked otherwise;
// `topLevelOnly` leaves group members out. Macros run over this order: it is the order the
// scene keeps its items in, and one walk of the sorted list is linear where sorting the
// selection would not be. A single item needs no walk.
QList<QGraphicsItem *> Scene::inStackingOrder(
    const QGraphicsScene *scene, const QList<QGraphicsItem *> &selection, bool topLevelOnly, Qt::SortOrder order)
{
    if (selection.size() <= 1)
        return topLevelOnly ? AbstractGraphicsScene::noParentFilter(selection) : selection;
    QList<QGraphicsItem *> result;
    result.reserve(selection.size());
    for (QGraphicsItem *item : scene->items(order)) {
        if (item->isSelected() && (!topLevelOnly || !item->parentItem()))
            result << item;
    }
    return result;
}

bool Scene::canPaste() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasFormat(QLatin1String(ClipboardFormat));
}

void Scene::itemsLoaded(const QList<QGraphicsItem *> &)
{ }

// The result of setSelectionArea() with the scene rectangle and Qt::IntersectsItemShape, without
// its cost: that call tests every item's shape against the area as a path (about 5 µs an item).
// An item whose bounding rectangle lies inside the area intersects it exactly when it has a
// shape at all; only the others need the test.
void Scene::selectAll()
{
    const QRectF area = sceneRect();
    QPainterPath areaPath;
    areaPath.addRect(area);
    QList<QGraphicsItem *> chosen;
    for (QGraphicsItem *item : items(Qt::SortOrder(-1))) {
        if (!(item->flags() & QGraphicsItem::ItemIsSelectable))
            continue;
        const bool inside = area.contains(item->sceneBoundingRect())
            ? item->shape() != QPainterPath()
            : item->collidesWithPath(item->mapFromScene(areaPath), Qt::IntersectsItemShape);
        if (inside)
            chosen << item;
    }
    QSet<QGraphicsItem *> leaving;
    const QList<QGraphicsItem *> before = selectedItems();
    if (!before.isEmpty()) {
        leaving = QSet<QGraphicsItem *>(before.cbegin(), before.cend());
        for (QGraphicsItem *item : qAsConst(chosen))
            leaving.remove(item);
    }
    // One notice for the whole change, as the selection area gives.
    bool changed = !leaving.isEmpty();
    {
        const QSignalBlocker quiet(this);
        for (QGraphicsItem *item : qAsConst(chosen)) {
            changed = changed || !item->isSelected();
            item->setSelected(true);
        }
        for (QGraphicsItem *item : qAsConst(leaving))
            item->setSelected(false);
    }
    if (changed)
        emit selectionChanged();
}

void Scene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        AbstractGraphicsScene::mousePressEvent(event);
        return;
    }
    m_pressPoint = event->scenePos();
    m_pressedItem = itemAt(m_pressPoint, QTransform());
    if (auto *resize = dynamic_cast<AbstractGraphicsResize *>(m_pressedItem))
        m_geometryBeforeResize = resize->geometry();
    // With a drawing tool the press only marks where the new item starts: nothing is
    // selected or grabbed.
    if (EditorState::currentTool() != ItemKind::Pointer)
        return;
    AbstractGraphicsScene::mousePressEvent(event);
    m_drag.start();
}

void Scene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    emit posChanged(event->scenePos());
    if (m_drag.move(event)) {
        event->accept();
        return;
    }
    AbstractGraphicsScene::mouseMoveEvent(event);
    m_drag.itemResized();
}

void Scene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        AbstractGraphicsScene::mouseReleaseEvent(event);
        return;
    }
    if (EditorState::currentTool() != ItemKind::Pointer) {
        releaseWithDrawingTool(event);
        return;
    }
    m_releasePoint = event->scenePos();
    releaseWithSelectionTool();
    m_drag.finish();
    AbstractGraphicsScene::mouseReleaseEvent(event);
}

QPointF Scene::snapToGrid(const QPointF &point) const
{
    return EditorState::gridSettings().snapped(point, sceneRect().topLeft());
}

QPointF Scene::snapLineEnd(const QPointF &point, double radius, const QGraphicsItem *line, bool *onTerminal) const
{
    const GridSettings &grid = EditorState::gridSettings();
    const std::optional<QPointF> terminal
        = grid.snaps() || grid.glues() ? Glue::terminalNear(this, point, radius, line) : std::nullopt;
    if (onTerminal)
        *onTerminal = terminal.has_value();
    return terminal ? *terminal : snapToGrid(point);
}

void Scene::markTerminal(const std::optional<QPointF> &point)
{
    if (point == m_markedTerminal)
        return;
    m_markedTerminal = point;
    emit markedTerminalChanged();
}

void Scene::releaseWithDrawingTool(QGraphicsSceneMouseEvent *event)
{
    m_releasePoint = event->scenePos();
    markTerminal(std::nullopt);
    // Alt held at the end of the drag places the item exactly where the mouse went, both ends.
    // Otherwise a line's ends land on connection points near them before the grid.
    if (!(event->modifiers() & Qt::AltModifier)) {
        const bool line = EditorState::currentTool() == ItemKind::Line;
        const double radius = Glue::snapRadius(event->widget());
        m_pressPoint = line ? snapLineEnd(m_pressPoint, radius, nullptr) : snapToGrid(m_pressPoint);
        m_releasePoint = line ? snapLineEnd(m_releasePoint, radius, nullptr) : snapToGrid(m_releasePoint);
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        m_releasePoint
            = DragConstraint::withShift(m_pressPoint, m_releasePoint, EditorState::currentTool() == ItemKind::Line);
    }
    QGraphicsItem *item = graphicsItem(type(), EditorState::currentTool(), true);
    if (!item)
        return;
    if (auto *library = dynamic_cast<AbstractGraphicsLibrary *>(item))
        library->init(nullptr, nullptr);
    auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
    if (!utility || !utility->createFromPoints(&EditorState::drawingDefaults(), m_pressPoint, m_releasePoint, this)) {
        delete item;
        return;
    }
    m_undoStack->push(new CommandAddItem(this, item, nullptr));
    checkCSvgIDAndGroupID(item, true);
}

void Scene::releaseWithSelectionTool()
{
    const QList<QGraphicsItem *> selection = selectedItems();
    const QPointF delta = m_releasePoint - m_pressPoint;
    const bool moved = std::abs(delta.x()) > 1e-12 || std::abs(delta.y()) > 1e-12;
    if (!moved || !m_pressedItem || selection.isEmpty())
        return;
    auto *resize = dynamic_cast<AbstractGraphicsResize *>(m_pressedItem);
    if (resize && resize->isResizing() != -1)
        m_drag.recordResize(m_undoStack, resize, m_geometryBeforeResize);
    else
        m_drag.recordMove(m_undoStack);
}

void Scene::keyPressEvent(QKeyEvent *event)
{
    double dx = 0;
    double dy = 0;
    QString macro;
    const double step = event->isAutoRepeat() ? 10.0 : 1.0;
    switch (event->key()) {
    case Qt::Key_Up:
        dy = -step;
        macro = QStringLiteral("Key_Up");
        break;
    case Qt::Key_Down:
        dy = step;
        macro = QStringLiteral("Key_Down");
        break;
    case Qt::Key_Left:
        dx = -step;
        macro = QStringLiteral("Key_Left");
        break;
    case Qt::Key_Right:
        dx = step;
        macro = QStringLiteral("Key_Right");
        break;
    default: break;
    }
    const QList<QGraphicsItem *> selection = selectedItems();
    if (macro.isEmpty() || selection.isEmpty()) {
        AbstractGraphicsScene::keyPressEvent(event);
        return;
    }
    const QList<QGraphicsItem *> moving = inStackingOrder(this, selection, true);
    const Glue glue = Glue::of(this, moving);
    m_undoStack->beginMacro(macro);
    for (QGraphicsItem *item : moving)
        m_undoStack->push(new CommandMoveBy(item, dx, dy, nullptr));
    glue.followInto(m_undoStack);
    m_undoStack->endMacro();
    event->accept();
}

void Scene::remove()
{
    // Topmost first: removing in stacking order keeps Qt's bookkeeping linear, and undo puts the
    // items back bottom first, each under the nearest item that stayed, in their old order.
    const auto doomed = leavingWithPlaces(this, [](QGraphicsItem *item) { return item->isSelected(); });
    if (doomed.isEmpty())
        return;
    auto *batch = new CommandBatch(this, QStringLiteral("remove"), nullptr);
    for (const auto &entry : qAsConst(doomed))
        (new CommandRemoveItem(this, entry.first, batch))->setRestoredBelow(entry.second);
    m_undoStack->push(batch);
}

void Scene::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    using Context = ContextMenuContext;
    // The canvas's own menu, offered only with the pointer tool and our data on the clipboard.
    static const ContextMenuEntry canvasMenu[] = {
        {nullptr, "粘贴", nullptr, nullptr, [](const Context &c) { c.scene->paste(c.scenePos); }},
        {nullptr, "粘贴&&清除剪切板", nullptr, nullptr,
            [](const Context &c) {
                c.scene->paste(c.scenePos);
                QGuiApplication::clipboard()->clear();
            }},
        {nullptr, "清除剪切板", nullptr, nullptr, [](const Context &) { QGuiApplication::clipboard()->clear(); }},
        {},
    };
    static const ContextMenuEntry selectionMenu[] = {
        {"delete.png", "删除", nullptr, nullptr, [](const Context &c) { c.scene->remove(); }},
        {"copy.png", "拷贝", nullptr, nullptr, [](const Context &c) { c.scene->copy(); }},
        {"cut.png", "剪切", nullptr, nullptr, [](const Context &c) { c.scene->cut(); }},
        {"paste.png", "粘贴", nullptr, [](const Context &c) { return c.scene->canPaste(); },
            [](const Context &c) { c.scene->paste(c.scenePos); }},
        {},
        {nullptr, "实际大小",
            [](const Context &c) {
                auto *resize
                    = c.selection.size() == 1 ? dynamic_cast<AbstractGraphicsResize *>(c.selection.first()) : nullptr;
                return resize && resize->isPerfectSizeEnable();
            },
            nullptr, [](const Context &c) { c.scene->adjustPerfectSize(); }},
        // One item offers the lock state it does not have; several offer both.
        {nullptr, "锁定", [](const Context &c) { return c.selection.size() > 1 || lockState(c) == Unlocked; }, nullptr,
            [](const Context &c) { c.scene->setLock(true); }},
        {nullptr, "解锁", [](const Context &c) { return c.selection.size() > 1 || lockState(c) == Locked; }, nullptr,
            [](const Context &c) { c.scene->setLock(false); }},
        {},
        {nullptr, "组合", nullptr, nullptr, [](const Context &c) { c.scene->groupSelection(); }},
        {nullptr, "拆分",
            [](const Context &c) {
                return std::any_of(c.selection.cbegin(), c.selection.cend(),
                    [](const QGraphicsItem *item) { return item->type() == ItemKind::Group; });
            },
            nullptr, [](const Context &c) { c.scene->ungroupSelection(); }},
        {},
        {nullptr, "导出...",
            [](const Context &c) { return c.selection.size() == 1 && c.selection.first()->type() == ItemKind::Group; },
            nullptr, [](const Context &c) { c.scene->exportGroup(c.selection.first()); }},
        {},
        {nullptr, "变量替换...", nullptr, nullptr, [](const Context &c) { c.scene->replaceVariables(c.utilities); }},
    };

    Context context{this, selectedItems(), {}, event->scenePos()};
    if (context.selection.isEmpty()) {
        if (EditorState::currentTool() == ItemKind::Pointer && canPaste())
            runContextMenu(canvasMenu, context, event->screenPos());
        return;
    }
    // Taken now: the menu may change the selection before the entry runs.
    context.utilities = utilityItems(context.selection);
    runContextMenu(selectionMenu, context, event->screenPos());
}

void Scene::adjustPerfectSize()
{
    m_undoStack->beginMacro(QStringLiteral("adjustPerfectSize"));
    const QList<QGraphicsItem *> selection = selectedItems();
    if (!selection.isEmpty() && !selection.first()->parentItem()) {
        QGraphicsItem *item = selection.first();
        auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
        auto *resize = dynamic_cast<AbstractGraphicsResize *>(item);
        if (utility && resize) {
            const QSize size = resize->perfectSize();
            m_undoStack->push(new CommandSetWidth(utility, size.width(), nullptr));
            m_undoStack->push(new CommandSetHeight(utility, size.height(), nullptr));
        }
    }
    m_undoStack->endMacro();
}

void Scene::copy()
{
    // Bottom first, so that a paste adds them back in their stacking order.
    const QList<QGraphicsItem *> copied = inStackingOrder(this, selectedItems(), true, Qt::AscendingOrder);
    if (copied.isEmpty())
        return;
    m_pasteOffset = QPointF();
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    save(stream, copied);
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    auto *data = new QMimeData;
    data->setData(QLatin1String(ClipboardFormat), bytes);
    clipboard->setMimeData(data, QClipboard::Clipboard);
}

void Scene::cut()
{
    copy();
    remove();
}

void Scene::paste(QPointF pos)
{
    clearSelection();
    // The clipboard is shared with other programs: it may have changed since canPaste().
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasFormat(QLatin1String(ClipboardFormat)))
        return;
    const QByteArray bytes = data->data(QLatin1String(ClipboardFormat));
    QDataStream stream(bytes);
    QList<QGraphicsItem *> loaded;
    if (!loadItems(stream, true, type(), CurrentVersion, loaded, nullptr, nullptr, nullptr) || loaded.isEmpty())
        return;
    if (pos.isNull()) {
        // Repeated pastes cascade to the right, so that each copy stays visible.
        m_pasteOffset += QPointF(10, 0);
    } else {
        QRectF bounds;
        for (QGraphicsItem *item : qAsConst(loaded)) {
            auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
            if (utility && !item->parentItem())
                bounds |= utility->itemRect();
        }
        m_pasteOffset = pos - bounds.topLeft();
    }
    // Items far apart, pasted at a point or cascaded many times, could land beyond the range
    // a drawing can hold and make a graph that saves but never opens again: the offset is
    // limited so that every pasted item keeps a position inside it.
    double left = FormatLimits::MaxCoordinate, right = -FormatLimits::MaxCoordinate;
    double top = left, bottom = right;
    for (const QGraphicsItem *item : qAsConst(loaded)) {
        left = qMin(left, item->pos().x());
        right = qMax(right, item->pos().x());
        top = qMin(top, item->pos().y());
        bottom = qMax(bottom, item->pos().y());
    }
    m_pasteOffset.setX(qBound(-FormatLimits::MaxCoordinate - left, FormatLimits::clampCoordinate(m_pasteOffset.x()),
        FormatLimits::MaxCoordinate - right));
    m_pasteOffset.setY(qBound(-FormatLimits::MaxCoordinate - top, FormatLimits::clampCoordinate(m_pasteOffset.y()),
        FormatLimits::MaxCoordinate - bottom));
    // The batch's undo brings the scene's index up to date before it takes the items out: items
    // not indexed yet are removed by a search through all of them, quadratic for a large paste.
    auto *batch = new CommandBatch(this, QStringLiteral("paste"), nullptr);
    for (QGraphicsItem *item : qAsConst(loaded)) {
        item->moveBy(m_pasteOffset.x(), m_pasteOffset.y());
        new CommandAddItem(this, item, batch);
    }
    m_undoStack->push(batch);
}

void Scene::alignmentLeft()
{
    Alignment::align(this, Alignment::Left);
}
void Scene::alignmentRight()
{
    Alignment::align(this, Alignment::Right);
}
void Scene::alignmentTop()
{
    Alignment::align(this, Alignment::Top);
}
void Scene::alignmentBottom()
{
    Alignment::align(this, Alignment::Bottom);
}
void Scene::alignmentHCenter()
{
    Alignment::align(this, Alignment::HCenter);
}
void Scene::alignmentVCenter()
{
    Alignment::align(this, Alignment::VCenter);
}
void Scene::equalWidth()
{
    Alignment::equalSize(this, Qt::Horizontal);
}
void Scene::equalHeight()
{
    Alignment::equalSize(this, Qt::Vertical);
}
void Scene::equalHCross()
{
    Alignment::equalSpacing(this, Qt::Horizontal);
}
void Scene::equalVCross()
{
    Alignment::equalSpacing(this, Qt::Vertical);
}

namespace {
// Restacking works on exactly one selected item, top-level, grouped or locked alike.
QGraphicsItem *onlySelectedItem(const QGraphicsScene *scene)
{
    const QList<QGraphicsItem *> selection = scene->selectedItems();
    return selection.size() == 1 ? selection.first() : nullptr;
}
} // namespace

void Scene::bringToFront()
{
    if (QGraphicsItem *item = onlySelectedItem(this))
        m_undoStack->push(new CommandBringToFront(item, nullptr));
}

void Scene::sendToBack()
{
    if (QGraphicsItem *item = onlySelectedItem(this))
        m_undoStack->push(new CommandSendToBack(item, nullptr));
}

void Scene::layerUpper()
{
    if (QGraphicsItem *item = onlySelectedItem(this))
        m_undoStack->push(new CommandLayerUpper(item, nullptr));
}

void Scene::layerLower()
{
    if (QGraphicsItem *item = onlySelectedItem(this))
        m_undoStack->push(new CommandLayerLower(item, nullptr));
}

// Every selected item gets the same state, also those that already have it, so that one
// undo step gives each its own earlier state back.
void Scene::setLock(bool lock)
{
    const QList<QGraphicsItem *> selection = inStackingOrder(this, selectedItems(), false);
    m_undoStack->beginMacro(QStringLiteral("setLock"));
    for (QGraphicsItem *item : selection) {
        if (auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item))
            m_undoStack->push(new CommandSetLock(utility, lock, nullptr));
    }
    m_undoStack->endMacro();
}

// The menu commands and their shortcuts act only while this scene has the input. A choice in
// the scene's own context menu needs no such check: the window system may hand the focus back
// from the closed menu only later.
void Scene::createGroup()
{
    if (hasFocus())
        groupSelection();
}

void Scene::destroyGroup()
{
    if (hasFocus())
        ungroupSelection();
}

void Scene::groupSelection()
{
    // Bottom-most first: the members keep their stacking order inside the group.
    const QList<QGraphicsItem *> selection = selectedItems();
    const QSet<QGraphicsItem *> chosen(selection.cbegin(), selection.cend());
    const QList<QGraphicsItem *> stacking = noParentFilter(items(Qt::DescendingOrder));
    QList<QGraphicsItem *> members;
    for (auto it = stacking.crbegin(); it != stacking.crend(); ++it) {
        if (chosen.contains(*it))
            members.append(*it);
    }
    QGraphicsItem *item = graphicsItem(type(), ItemKind::Group, true);
    auto *group = dynamic_cast<QGraphicsItemGroup *>(item);
    if (!group) {
        delete item;
        return;
    }
    if (auto *library = dynamic_cast<AbstractGraphicsLibrary *>(item))
        library->init(nullptr, nullptr);
    m_undoStack->push(new CommandCreateGroup(this, group, members, nullptr));
    checkCSvgIDAndGroupID(group, false);
}

void Scene::ungroupSelection()
{
    const QList<QGraphicsItem *> selection = selectedItems();
    if (selection.isEmpty())
        return;
    m_undoStack->beginMacro(QStringLiteral("destroyGroup"));
    for (QGraphicsItem *item : selection) {
        if (auto *group = dynamic_cast<QGraphicsItemGroup *>(item))
            m_undoStack->push(new CommandDestroyGroup(this, group, nullptr));
    }
    m_undoStack->endMacro();
}

void Scene::exportGroup(QGraphicsItem *item)
{
    auto *utility = dynamic_cast<AbstractGraphicsUtility *>(item);
    if (item && item->type() == ItemKind::Group && utility)
        GroupExport::exportGroup(utility, views().value(0));
}

void Scene::replaceVariables(QList<AbstractGraphicsUtility *> items)
{
    // No naming rule is checked before the dialog: none is settled for this system, and the
    // dialog can only rebind an id to a point record that exists with exactly the new names,
    // after the user has confirmed the preview. A rule invented here would refuse valid work.
    DlgReplaceVariables dialog(std::move(items), views().value(0));
    dialog.setWindowTitle(QStringLiteral("变量替换"));
    dialog.initData();
    dialog.exec();
}

// Depth first, parents before their members; items without the interface still lend
// their members.
QList<AbstractGraphicsUtility *> Scene::utilityItems(const QList<QGraphicsItem *> &items)
{
    QList<AbstractGraphicsUtility *> result;
    for (QGraphicsItem *item : items) {
        if (auto *u = dynamic_cast<AbstractGraphicsUtility *>(item))
            result.append(u);
        result.append(utilityItems(item->childItems()));
    }
    return result;
}
