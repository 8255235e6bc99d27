#include "qtproperty.h"

#include "qtvariantpropertymanager.h"

QtProperty::QtProperty(QtVariantPropertyManager *manager)
    : m_manager(manager)
{ }

QtProperty::~QtProperty()
{
    m_manager->forget(this);
    for (QtProperty *parent : qAsConst(m_parents))
        parent->m_children.removeAll(this);
    for (QtProperty *child : qAsConst(m_children))
        child->m_parents.removeAll(this);
}

void QtProperty::setPropertyName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    m_manager->notifyChanged(this);
}

void QtProperty::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_manager->notifyChanged(this);
}

bool QtProperty::isAncestorOrSelf(const QtProperty *property) const
{
    if (property == this)
        return true;
    for (const QtProperty *parent : m_parents) {
        if (parent->isAncestorOrSelf(property))
            return true;
    }
    return false;
}

void QtProperty::addSubProperty(QtProperty *property)
{
    insertSubProperty(property, m_children.isEmpty() ? nullptr : m_children.last());
}

void QtProperty::insertSubProperty(QtProperty *property, QtProperty *after)
{
    // A property shows at most once below the same parent, and never below itself.
    if (!property || m_children.contains(property) || isAncestorOrSelf(property))
        return;
    const int index = m_children.indexOf(after) + 1;
    m_children.insert(index, property);
    property->m_parents.append(this);
    m_manager->notifyInserted(property, this, index > 0 ? m_children.at(index - 1) : nullptr);
}

void QtProperty::removeSubProperty(QtProperty *property)
{
    if (!m_children.removeOne(property))
        return;
    property->m_parents.removeOne(this);
    m_manager->notifyRemoved(property, this);
}

bool QtProperty::hasValue() const
{
    return m_manager->hasValue(this);
}

QString QtProperty::valueText() const
{
    return m_manager->valueText(this);
}
