#include "abstractgraphicsproperty.h"

#include "formatlimits.h"
#include "propertyattributes.h"

#include <QPolygonF>
#include <QSizeF>

Property::Property(const QString &id, PropertyType type, const QVariantHash &attributes, bool editable)
    : m_id(id)
    , m_type(type)
    , m_attributes(attributes)
    , m_editable(editable)
{ }

bool Property::accepts(const QVariant &value) const
{
    switch (m_type) {
    case Int:
    case Double: {
        const double v = value.toDouble();
        const QVariant minimum = m_attributes.value(PropertyAttributes::Minimum);
        const QVariant maximum = m_attributes.value(PropertyAttributes::Maximum);
        return std::isfinite(v) && (!minimum.isValid() || v >= minimum.toDouble())
            && (!maximum.isValid() || v <= maximum.toDouble());
    }
    case Enum: {
        const auto names = m_attributes.value(PropertyAttributes::EnumNames).toStringList().size();
        const int v = value.toInt();
        return names == 0 || (v >= 0 && v < names);
    }
    case Size: {
        const QSizeF s = value.toSizeF();
        return FormatLimits::isCoordinate(s.width()) && FormatLimits::isCoordinate(s.height()) && s.width() >= 0
            && s.height() >= 0;
    }
    case PointList: {
        const QPolygonF points = value.value<QPolygonF>();
        for (const QPointF &p : points) {
            if (!FormatLimits::isCoordinate(p.x()) || !FormatLimits::isCoordinate(p.y()))
                return false;
        }
        return true;
    }
    default: return true;
    }
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
