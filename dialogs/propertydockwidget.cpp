#include "propertydockwidget.h"

#include "abstractgraphicsproperty.h"
#include "cdatalink.h"
#include "dialogs/pointpickerdialog.h"
#include "pointbinding.h"
#include "qttreepropertybrowser.h"
#include "qtvarianteditorfactory.h"
#include "qtvariantpropertymanager.h"
#include "scene/commands.h"
#include "scene/scene.h"

#include <QGraphicsItem>
#include <QGraphicsSceneMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QTreeWidget>
#include <QUndoStack>
#include <algorithm>
#include <iterator>

namespace {

using PropertyMap = QMap<AbstractGraphicsProperty::Authority, QList<Property *>>;

QString groupTitle(int authority)
{
    static const QStringList titles{
        QStringLiteral("相同属性"), QStringLiteral("公共属性"), QStringLiteral("一般属性"), QStringLiteral("特有属性")};
    return titles.value(authority);
}

// The browser type of an item property type; unknown types show as text.
int browserType(int type)
{
    const int table[] = {QVariant::String, QVariant::Bool, QVariant::Int, QVariant::Double, QVariant::Size,
        QVariant::Color, QVariant::Font, QtVariantPropertyManager::enumTypeId(), QtVariantPropertyManager::pathTypeId(),
        QtVariantPropertyManager::pntTypeId(), QtVariantPropertyManager::popupTypeId()};
    return type >= 0 && type < int(std::size(table)) ? table[type] : int(QVariant::String);
}

// One item: all its properties. Several: the first item's properties whose ids every
// item has, in the first item's order, under authority 0. The properties follow from an item's
// type, so each type is asked once however many of its items are selected.
PropertyMap gather(const QList<AbstractGraphicsProperty *> &items, const QList<int> &types)
{
    const PropertyMap first = items.first()->properties();
    if (items.size() == 1)
        return first;
    QStringList common = items.first()->propertyNames();
    QSet<int> seen;
    for (int i = 0; i < items.size() && !common.isEmpty(); ++i) {
        if (seen.contains(types.at(i)))
            continue;
        seen.insert(types.at(i));
        const QStringList names = items.at(i)->propertyNames();
        common.erase(
            std::remove_if(common.begin(), common.end(), [&](const QString &id) { return !names.contains(id); }),
            common.end());
    }
    QList<Property *> kept;
    for (const QList<Property *> &list : first) {
        for (Property *p : list) {
            if (common.contains(p->id()))
                kept << p;
        }
    }
    PropertyMap map;
    if (!kept.isEmpty())
        map.insert(AbstractGraphicsProperty::Same, kept);
    return map;
}

// For each property, the value every item agrees on, or an invalid one. One walk over the
// items asks each of them for every property still shared: a large selection does not fit in
// the processor's cache, and a walk per property would fetch every item again.
QVector<QVariant> commonValues(const QList<AbstractGraphicsProperty *> &items, const QList<Property *> &properties)
{
    QVector<QVariant> values;
    for (const Property *p : properties)
        values << items.first()->propertyValue(p->id());
    QVector<bool> shared(values.size(), true);
    int open = values.size();
    for (int i = 1; i < items.size() && open > 0; ++i) {
        for (int k = 0; k < values.size(); ++k) {
            if (shared.at(k) && items.at(i)->propertyValue(properties.at(k)->id()) != values.at(k)) {
                shared[k] = false;
                values[k] = QVariant();
                --open;
            }
        }
    }
    return values;
}

// What a drag on the canvas changes before its command is pushed: where items are, their
// size, a line's points. The command then brings every other row up to date.
bool followsDrag(const Property *p)
{
    static const QStringList ids{PropertyIds::X, PropertyIds::Y, PropertyIds::Width, PropertyIds::Height};
    return p->type() == Property::PointList || ids.contains(p->id());
}

// A value the items share, or none when they disagree: then the row shows empty rather than
// a made-up value such as 0.
void showValue(QtVariantPropertyManager *manager, QtVariantProperty *row, const QVariant &value)
{
    if (value.isValid())
        manager->setValue(row, value);
    else
        manager->clearValue(row);
}

} // namespace

PropertyDockWidget::PropertyDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    setObjectName(QStringLiteral("PropertyDockWidget"));
    setWindowTitle(QStringLiteral("属性编辑器"));
    auto *factory = new QtVariantEditorFactory(this);
    factory->setBrowser(
        [this](QWidget *window, QtProperty *, const QVariant &current) { return pickPoint(window, current); });
    m_manager = new QtVariantPropertyManager(this);
    m_browser = new QtTreePropertyBrowser(this);
    m_browser->setFactoryForManager(m_manager, factory);
    m_browser->setPropertiesWithoutValueMarked(true);
    m_browser->setRootIsDecorated(false);
    setWidget(m_browser);
    connect(m_manager, &QtVariantPropertyManager::valueChanged, this, &PropertyDockWidget::on_valueChanged);
    connect(CDataLink::GetDataLink(), &CDataLink::pointsChanged, this, &PropertyDockWidget::markBindings);
    // Rows that come into view are read then.
    QTreeWidget *tree = m_browser->treeWidget();
    connect(this, &QDockWidget::visibilityChanged, this, &PropertyDockWidget::catchUp);
    connect(tree->verticalScrollBar(), &QScrollBar::valueChanged, this, &PropertyDockWidget::catchUp);
    connect(tree, &QTreeWidget::itemExpanded, this, &PropertyDockWidget::catchUp);
    tree->viewport()->installEventFilter(this);
}

void PropertyDockWidget::setItems(const QList<QGraphicsItem *> &items)
{
    m_manager->clear();
    m_rows.clear();
    m_shown.clear();
    m_bindingRows.clear();
    m_items.clear();
    m_items.reserve(items.size());
    m_behind = false;
    QList<int> types;
    types.reserve(items.size());
    for (QGraphicsItem *item : items) {
        if (auto *p = dynamic_cast<AbstractGraphicsProperty *>(item)) {
            m_items << p;
            types << item->type();
        }
    }
    if (m_items.isEmpty())
        return;
    watch(dynamic_cast<Scene *>(items.first()->scene()));

    const PropertyMap map = gather(m_items, types);
    // Filling in values is not an edit.
    m_manager->blockSignals(true);
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QtVariantProperty *group
            = m_manager->addProperty(QtVariantPropertyManager::groupTypeId(), groupTitle(it.key()));
        const QVector<QVariant> values = commonValues(m_items, it.value());
        for (int i = 0; i < it.value().size(); ++i) {
            Property *p = it.value().at(i);
            QtVariantProperty *row = m_manager->addProperty(browserType(p->type()), p->id());
            row->setEnabled(p->isEditable());
            const QVariantHash attributes = p->attributes();
            for (auto a = attributes.cbegin(); a != attributes.cend(); ++a)
                row->setAttribute(a.key(), a.value());
            // After the attributes: an enumeration's names and a range must be in place.
            showValue(m_manager, row, values.at(i));
            group->addSubProperty(row);
            m_rows << row;
            m_shown << p;
            if (p->id() == PropertyIds::PointBinding || p->id() == PropertyIds::ControlBinding) {
                row->setAttribute(QStringLiteral("browse"), true);
                m_bindingRows << row;
            }
        }
        m_browser->addProperty(group);
    }
    m_manager->blockSignals(false);
    markBindings();
}

// A scene on its way out empties its stack after its items have gone, and a selection that
// changes may take items out of the scene: either way the items shown are not read again.
void PropertyDockWidget::watch(Scene *scene)
{
    m_stale = false;
    m_readAt = scene ? scene->undoStack()->index() : -1;
    if (scene == m_scene)
        return;
    if (m_scene)
        m_scene->removeEventFilter(this);
    disconnect(m_undoWatch);
    disconnect(m_selectionWatch);
    m_scene = scene;
    if (!scene)
        return;
    scene->installEventFilter(this);
    m_undoWatch = connect(scene->undoStack(), &QUndoStack::indexChanged, this, &PropertyDockWidget::stackChanged);
    m_selectionWatch = connect(scene, &QGraphicsScene::selectionChanged, this, [this] { m_stale = true; });
}

void PropertyDockWidget::on_valueChanged(QtProperty *property, const QVariant &value)
{
    if (!m_scene || m_refreshing)
        return;
    QUndoStack *stack = m_scene->undoStack();
    stack->beginMacro(QStringLiteral("setProperty"));
    for (AbstractGraphicsProperty *item : qAsConst(m_items))
        stack->push(new CommandSetProperty(item, property->propertyName(), value, nullptr));
    stack->endMacro();
}

QVariant PropertyDockWidget::pickPoint(QWidget *window, const QVariant &current)
{
    PointPickerDialog picker(current.toString(), window);
    if (picker.exec() != QDialog::Accepted || picker.selectedId().isEmpty())
        return QVariant();
    return picker.selectedId();
}

// Undo, redo and every new command (moves by key, alignment, edits here or elsewhere) may
// change any value: read at once. The main window hands a changed selection over from the same
// signal before this, and that has read the values at this index already.
void PropertyDockWidget::stackChanged()
{
    if (m_scene && m_scene->undoStack()->index() != m_readAt)
        refresh(true);
}

// A drag moves or resizes items without a command until the button is released.
bool PropertyDockWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scene && event->type() == QEvent::GraphicsSceneMouseMove
        && static_cast<QGraphicsSceneMouseEvent *>(event)->buttons() != Qt::NoButton)
        refreshLater(false);
    else if (watched == m_browser->treeWidget()->viewport() && event->type() == QEvent::Resize)
        catchUp();
    return QDockWidget::eventFilter(watched, event);
}

// Once per event-loop turn, however many moves came in it.
void PropertyDockWidget::refreshLater(bool all)
{
    m_refreshAll = m_refreshAll || all;
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_refreshPending)
                refresh(m_refreshAll);
        },
        Qt::QueuedConnection);
}

void PropertyDockWidget::catchUp()
{
    if (m_behind)
        refreshLater(true);
}

// Reads the rows in view again and shows what changed. A large selection is walked once for
// all of them, and a row whose items disagree stops at the first difference.
void PropertyDockWidget::refresh(bool all)
{
    m_refreshPending = false;
    m_refreshAll = false;
    if (!m_scene || m_stale || m_rows.isEmpty())
        return;
    m_readAt = m_scene->undoStack()->index();
    QList<QtVariantProperty *> rows;
    QList<Property *> properties;
    bool skipped = false;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!all && !followsDrag(m_shown.at(i)))
            continue;
        if (!inView(m_rows.at(i))) {
            skipped = true;
            continue;
        }
        rows << m_rows.at(i);
        properties << m_shown.at(i);
    }
    m_behind = skipped || (m_behind && !all);
    const QVector<QVariant> values = commonValues(m_items, properties);
    m_refreshing = true;
    for (int i = 0; i < rows.size(); ++i)
        showValue(m_manager, rows.at(i), values.at(i));
    m_refreshing = false;
    markBindings();
}

bool PropertyDockWidget::inView(QtVariantProperty *row) const
{
    if (!isVisible())
        return false;
    const QTreeWidget *tree = m_browser->treeWidget();
    const QRect rect = tree->visualItemRect(m_browser->rows(row).value(0));
    return rect.isValid() && rect.intersects(tree->viewport()->rect());
}

void PropertyDockWidget::markBindings()
{
    for (QtVariantProperty *row : qAsConst(m_bindingRows)) {
        const QString id = row->value().toString();
        const PointBinding::State state = PointBinding::stateOf(id);
        row->setAttribute(
            QStringLiteral("display"), state == PointBinding::Known ? PointBinding::display(id) : QString());
        row->setAttribute(QStringLiteral("warning"),
            state == PointBinding::Unknown ? PointBinding::stateText(PointBinding::Unknown) : QString());
    }
}
