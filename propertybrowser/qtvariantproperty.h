#ifndef QTVARIANTPROPERTY_H
#define QTVARIANTPROPERTY_H

#include "qtproperty.h"

#include <QVariant>

// A property of a QtVariantPropertyManager: its value and attributes are QVariants whose
// meaning depends on the property type chosen when it was created.
class QtVariantProperty : public QtProperty
{
public:
    ~QtVariantProperty() override;

    QVariant value() const;
    void setValue(const QVariant &value);
    QVariant attributeValue(const QString &attribute) const;
    void setAttribute(const QString &attribute, const QVariant &value);

    int propertyType() const;
    int valueType() const;

private:
    friend class QtVariantPropertyManager;
    explicit QtVariantProperty(QtVariantPropertyManager *manager);
};

#endif
