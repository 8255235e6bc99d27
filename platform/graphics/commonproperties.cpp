#include "commonproperties.h"

#include "formatlimits.h"
#include "propertyattributes.h"

namespace {

struct Row
{
    const QString &id;
    Property::PropertyType type;
    QVariantHash itemAttributes;
    bool groupEditable;
};

const QVector<Row> &rows()
{
    static const QVector<Row> table{
        {PropertyIds::Name, Property::String, {}, true},
        {PropertyIds::X, Property::Double,
            PropertyAttributes::range(-FormatLimits::MaxCoordinate, FormatLimits::MaxCoordinate, 2), true},
        {PropertyIds::Y, Property::Double,
            PropertyAttributes::range(-FormatLimits::MaxCoordinate, FormatLimits::MaxCoordinate, 2), true},
        {PropertyIds::Width, Property::Double, PropertyAttributes::range(0.0, FormatLimits::MaxCoordinate, 2), false},
        {PropertyIds::Height, Property::Double, PropertyAttributes::range(0.0, FormatLimits::MaxCoordinate, 2), false},
        {PropertyIds::Lock, Property::Bool, {}, true},
    };
    return table;
}

} // namespace

const QList<Property *> &CommonProperties::forItems()
{
    static const QList<Property *> list = [] {
        QList<Property *> l;
        for (const Row &row : rows())
            l << new Property(row.id, row.type, row.itemAttributes);
        return l;
    }();
    return list;
}

const QList<Property *> &CommonProperties::forGroups()
{
    // Without the items' ranges: a group's position is where its members happen to be.
    static const QList<Property *> list = [] {
        QList<Property *> l;
        for (const Row &row : rows())
            l << new Property(row.id, row.type, {}, row.groupEditable);
        return l;
    }();
    return list;
}
