#ifndef ABSTRACTGRAPHICSPROPERTY_H
#define ABSTRACTGRAPHICSPROPERTY_H

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantHash>

// Ids of the properties that every item, groups included, shares.
namespace PropertyIds {
inline const QString Name = QStringLiteral("名称");
inline const QString X = QStringLiteral("X");
inline const QString Y = QStringLiteral("Y");
inline const QString Width = QStringLiteral("宽度");
inline const QString Height = QStringLiteral("高度");
inline const QString Lock = QStringLiteral("锁定");

// Pen, brush and font: every drawing item has them, groups do not.
inline const QString PenColor = QStringLiteral("线条颜色");
inline const QString PenWidth = QStringLiteral("线宽");
inline const QString PenStyle = QStringLiteral("线型");
inline const QString BrushColor = QStringLiteral("填充颜色");
inline const QString BrushStyle = QStringLiteral("填充方式");
inline const QString Font = QStringLiteral("字体");

// The two point bindings. A kind that lists one among its own properties edits the item's
// svgID or ykID with it, so there is one value, not two to keep in step.
inline const QString PointBinding = QStringLiteral("关联点号");
inline const QString ControlBinding = QStringLiteral("遥控点号");

// The text that text and link kinds show.
inline const QString Text = QStringLiteral("文本");
} // namespace PropertyIds

// One editable property of an item: its id is also its display name.
class Property
{
public:
    enum PropertyType
    {
        String = 0,
        Bool = 1,
        Int = 2,
        Double = 3,
        Size = 4,
        Color = 5,
        Font = 6,
        Enum = 7, // value: index into the "enumNames" attribute
        Path = 8, // value: a file path; attributes "filter" and "directory"
        PointList = 9, // value: QPolygonF in item coordinates
        Popup = 10, // value: one of the "items" attribute's texts
    };

    Property(const QString &id, PropertyType type, const QVariantHash &attributes = {}, bool editable = true);

    QString id() const { return m_id; }
    PropertyType type() const { return m_type; }
    QVariantHash attributes() const { return m_attributes; }
    bool isEditable() const { return m_editable; }
    // Whether a value lies within what the property offers: its "minimum" and "maximum",
    // one of its "enumNames", sizes and points within the drawable range.
    bool accepts(const QVariant &value) const;

private:
    QString m_id;
    PropertyType m_type;
    QVariantHash m_attributes;
    bool m_editable;
};

// The properties of an item, grouped by who usually edits them.
class AbstractGraphicsProperty
{
public:
    // A fixed underlying type: a library may group properties under further authorities.
    enum Authority : int
    {
        Same = 0,
        Common = 1,
        General = 2,
        Specific = 3
    };

    virtual ~AbstractGraphicsProperty();

    // Ordered by authority; the Property objects are shared by all items of a kind.
    virtual QMap<Authority, QList<Property *>> properties() const = 0;
    QStringList propertyNames() const;

    virtual void setPropertyValue(const QString &id, const QVariant &value) = 0;
    virtual QVariant propertyValue(const QString &id) const = 0;
};

#endif
