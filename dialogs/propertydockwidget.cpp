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
#include <QSet>
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
}

void PropertyDockWidget::setItems(const QList<QGraphicsItem *> &items)
{
    m_manager->clear();
    m_bindingRows.clear();
    m_bindings.clear();
    m_items.clear();
    m_items.reserve(items.size());
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
    m_scene = dynamic_cast<Scene *>(items.first()->scene());
    disconnect(m_undoWatch);
    if (m_scene)
        m_undoWatch
            = connect(m_scene->undoStack(), &QUndoStack::indexChanged, this, &PropertyDockWidget::refreshBindings);

    const PropertyMap map = gather(m_items, types);
    // Filling in values is not an edit.
    m_manager->blockSignals(true);
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QtVariantProperty *group
            = m_manager->addProperty(QtVariantPropertyManager::groupTypeId(), groupTitle(it.key()));
        const QVector<QVariant> values = commonValues(m_items, it.value());
        for (int i = 0; i < it.value().size(); ++i) {
            const Property *p = it.value().at(i);
            QtVariantProperty *row = m_manager->addProperty(browserType(p->type()), p->id());
            row->setEnabled(p->isEditable());
            const QVariantHash attributes = p->attributes();
            for (auto a = attributes.cbegin(); a != attributes.cend(); ++a)
                row->setAttribute(a.key(), a.value());
            // After the attributes: an enumeration's names and a range must be in place.
            row->setValue(values.at(i));
            group->addSubProperty(row);
            if (p->id() == PropertyIds::PointBinding || p->id() == PropertyIds::ControlBinding) {
                row->setAttribute(QStringLiteral("browse"), true);
                m_bindingRows << row;
                m_bindings << it.value().at(i);
            }
        }
        m_browser->addProperty(group);
    }
    m_manager->blockSignals(false);
    markBindings();
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

// Undo and redo change the bound ids under the rows; only the bindings are read again, so
// that an undo step costs two reads per selected item and no more.
void PropertyDockWidget::refreshBindings()
{
    // A scene on its way out empties its stack after its items have gone.
    if (!m_scene || m_bindingRows.isEmpty())
        return;
    const QVector<QVariant> values = commonValues(m_items, m_bindings);
    m_refreshing = true;
    for (int i = 0; i < m_bindingRows.size(); ++i)
        m_bindingRows.at(i)->setValue(values.at(i));
    m_refreshing = false;
    markBindings();
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
