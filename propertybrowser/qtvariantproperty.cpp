#include "qtvariantproperty.h"

#include "qtvariantpropertymanager.h"

QtVariantProperty::QtVariantProperty(QtVariantPropertyManager *manager)
    : QtProperty(manager)
{ }

// The manager lets go while this is still a variant property: what it tells its listeners
// and the parts list it edits must not meet a half-destroyed object.
QtVariantProperty::~QtVariantProperty()
{
    propertyManager()->forget(this);
}

QVariant QtVariantProperty::value() const
{
    return propertyManager()->value(this);
}

void QtVariantProperty::setValue(const QVariant &value)
{
    propertyManager()->setValue(this, value);
}

QVariant QtVariantProperty::attributeValue(const QString &attribute) const
{
    return propertyManager()->attributeValue(this, attribute);
}

void QtVariantProperty::setAttribute(const QString &attribute, const QVariant &value)
{
    propertyManager()->setAttribute(this, attribute, value);
}

int QtVariantProperty::propertyType() const
{
    return propertyManager()->propertyType(this);
}

int QtVariantProperty::valueType() const
{
    return propertyManager()->valueType(this);
}
