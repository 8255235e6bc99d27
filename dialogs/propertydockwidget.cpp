#include "propertydockwidget.h"

#include "abstractgraphicsproperty.h"
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
    static const QStringList titles {QStringLiteral("相同属性"), QStringLiteral("公共属性"),
        QStringLiteral("一般属性"), QStringLiteral("特有属性")};
    return titles.value(authority);
}

// The browser type of an item property type; unknown types show as text.
int browserType(int type)
{
    const int table[]
        = {QVariant::String, QVariant::Bool, QVariant::Int, QVariant::Double, QVariant::Size, QVariant::Color,
            QVariant::Font, QtVariantPropertyManager::enumTypeId(), QtVariantPropertyManager::pathTypeId(),
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
        common.erase(std::remove_if(common.begin(), common.end(),
                         [&](const QString &id) { return !names.contains(id); }),
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

// The value every item agrees on, or an invalid one.
QVariant commonValue(const QList<AbstractGraphicsProperty *> &items, const QString &id)
{
    const QVariant value = items.first()->propertyValue(id);
    for (const AbstractGraphicsProperty *item : items) {
        if (item->propertyValue(id) != value)
            return QVariant();
    }
    return value;
}

} // namespace

PropertyDockWidget::PropertyDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    setObjectName(QStringLiteral("PropertyDockWidget"));
    setWindowTitle(QStringLiteral("属性编辑器"));
    auto *factory = new QtVariantEditorFactory(this);
    m_manager = new QtVariantPropertyManager(this);
    m_browser = new QtTreePropertyBrowser(this);
    m_browser->setFactoryForManager(m_manager, factory);
    m_browser->setPropertiesWithoutValueMarked(true);
    m_browser->setRootIsDecorated(false);
    setWidget(m_browser);
    connect(m_manager, &QtVariantPropertyManager::valueChanged, this, &PropertyDockWidget::on_valueChanged);
}

void PropertyDockWidget::setItems(const QList<QGraphicsItem *> &items)
{
    ++m_rebuilds;
    m_manager->clear();
    m_items.clear();
    QList<int> types;
    for (QGraphicsItem *item : items) {
        if (auto *p = dynamic_cast<AbstractGraphicsProperty *>(item)) {
            m_items << p;
            types << item->type();
        }
    }
    if (m_items.isEmpty())
        return;
    m_scene = dynamic_cast<Scene *>(items.first()->scene());

    const PropertyMap map = gather(m_items, types);
    // Filling in values is not an edit.
    m_manager->blockSignals(true);
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QtVariantProperty *group
            = m_manager->addProperty(QtVariantPropertyManager::groupTypeId(), groupTitle(it.key()));
        for (const Property *p : it.value()) {
            QtVariantProperty *row = m_manager->addProperty(browserType(p->type()), p->id());
            row->setEnabled(p->isEditable());
            const QVariantHash attributes = p->attributes();
            for (auto a = attributes.cbegin(); a != attributes.cend(); ++a)
                row->setAttribute(a.key(), a.value());
            // After the attributes: an enumeration's names and a range must be in place.
            row->setValue(commonValue(m_items, p->id()));
            group->addSubProperty(row);
        }
        m_browser->addProperty(group);
    }
    m_manager->blockSignals(false);
}

void PropertyDockWidget::on_valueChanged(QtProperty *property, const QVariant &value)
{
    if (!m_scene)
        return;
    QUndoStack *stack = m_scene->undoStack();
    stack->beginMacro(QStringLiteral("setProperty"));
    for (AbstractGraphicsProperty *item : qAsConst(m_items))
        stack->push(new CommandSetProperty(item, property->propertyName(), value, nullptr));
    stack->endMacro();
}
