#include "abstractgraphicsproperty.h"


Property::Property(const QString &id, PropertyType type, const QVariantHash &attributes, bool editable)
    : m_id(id)
    , m_type(type)
    , m_attributes(attributes)
    , m_editable(editable)
{
}

AbstractGraphicsProperty::~AbstractGraphicsProperty() = default;

QStringList AbstractGraphicsProperty::propertyNames() const
{
    QStringList names;
    const auto map = properties();
    for (const QList<Property *> &list : map) {
        for (const Property *p : list)
            names << p->id();
    }
    return names;
}
