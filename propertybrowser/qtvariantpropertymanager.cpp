#include "qtvariantpropertymanager.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QRegExp>
#include <QRegularExpression>
#include <QSize>
#include <cfloat>
#include <climits>
#include <cmath>

// Tags that give the browser's own property types their meta-type ids.
struct QtGroupPropertyType
{ };
struct QtEnumPropertyType
{ };
struct QtPathPropertyType
{ };
struct QtPointListPropertyType
{ };
struct QtPopupPropertyType
{ };
Q_DECLARE_METATYPE(QtGroupPropertyType)
Q_DECLARE_METATYPE(QtEnumPropertyType)
Q_DECLARE_METATYPE(QtPathPropertyType)
Q_DECLARE_METATYPE(QtPointListPropertyType)
Q_DECLARE_METATYPE(QtPopupPropertyType)

struct QtVariantPropertyManager::Data
{
    int type = 0;
    QVariant value;
    QVariantHash attributes;
    // A part of a Size, Color or Font property: its owner and which part it is.
    QtProperty *owner = nullptr;
    int part = -1;
    QList<QtVariantProperty *> parts;
};

namespace {

const QString Minimum = QStringLiteral("minimum");
const QString Maximum = QStringLiteral("maximum");
const QString EnumNames = QStringLiteral("enumNames");
const QString RegExp = QStringLiteral("regExp");

struct TypeInfo
{
    int valueType;
    QVariant initial;
    QVariantHash attributes; // the known ones, with their defaults
};

const QHash<int, TypeInfo> &types()
{
    static const QHash<int, TypeInfo> table{
        {QVariant::String, {QVariant::String, QString(), {{RegExp, QRegularExpression()}}}},
        {QVariant::Bool, {QVariant::Bool, false, {}}},
        {QVariant::Int,
            {QVariant::Int, 0, {{Minimum, INT_MIN}, {Maximum, INT_MAX}, {QStringLiteral("singleStep"), 1}}}},
        {QVariant::Double,
            {QVariant::Double, 0.0,
                {{Minimum, -DBL_MAX}, {Maximum, DBL_MAX}, {QStringLiteral("singleStep"), 1.0},
                    {QStringLiteral("decimals"), 2}}}},
        {QVariant::Size, {QVariant::Size, QSize(0, 0), {{Minimum, QSize(0, 0)}, {Maximum, QSize(INT_MAX, INT_MAX)}}}},
        {QVariant::Color, {QVariant::Color, QColor(), {}}},
        {QVariant::Font, {QVariant::Font, QFont(), {}}},
        {QtVariantPropertyManager::groupTypeId(), {QVariant::Invalid, QVariant(), {}}},
        {QtVariantPropertyManager::enumTypeId(), {QVariant::Int, -1, {{EnumNames, QStringList()}}}},
        {QtVariantPropertyManager::pathTypeId(),
            {QVariant::String, QString(),
                {{QStringLiteral("filter"), QString()}, {QStringLiteral("directory"), QString()}}}},
        {QtVariantPropertyManager::pntTypeId(), {QMetaType::QPolygonF, QVariant::fromValue(QPolygonF()), {}}},
        {QtVariantPropertyManager::popupTypeId(),
            {QVariant::String, QString(), {{QStringLiteral("items"), QStringList()}}}},
    };
    return table;
}

struct PartInfo
{
    const char *name;
    int type;
    QVariantHash attributes;
};

// The sub-properties of the compound types, in row order.
QList<PartInfo> partsOf(int type)
{
    const QVariantHash byte{{Minimum, 0}, {Maximum, 255}};
    switch (type) {
    case QVariant::Size: return {{"宽", QVariant::Int, {}}, {"高", QVariant::Int, {}}};
    case QVariant::Color:
        return {{"红", QVariant::Int, byte}, {"绿", QVariant::Int, byte}, {"蓝", QVariant::Int, byte},
            {"透明度", QVariant::Int, byte}};
    case QVariant::Font:
        return {{"字体族", QtVariantPropertyManager::enumTypeId(), {}},
            {"字号", QVariant::Int, {{Minimum, 1}, {Maximum, 1000}}}, {"粗体", QVariant::Bool, {}},
            {"斜体", QVariant::Bool, {}}, {"下划线", QVariant::Bool, {}}, {"删除线", QVariant::Bool, {}},
            {"字距调整", QVariant::Bool, {}}};
    default: return {};
    }
}

const QStringList &fontFamilies()
{
    static const QStringList families = QFontDatabase().families();
    return families;
}

QStringList familiesWith(const QString &family)
{
    QStringList names = fontFamilies();
    if (!names.contains(family))
        names << family;
    return names;
}

QColor opaqueIfInvalid(const QColor &colour)
{
    return colour.isValid() ? colour : QColor(0, 0, 0);
}

// The value of one part of a compound value, and the part's attributes that follow the
// whole (the size limits, the font family list).
QVariant partValue(int type, const QVariant &whole, int part)
{
    if (type == QVariant::Size) {
        const QSize s = whole.toSize();
        return part == 0 ? s.width() : s.height();
    }
    if (type == QVariant::Color) {
        const QColor c = opaqueIfInvalid(whole.value<QColor>());
        const int rgba[] = {c.red(), c.green(), c.blue(), c.alpha()};
        return rgba[part];
    }
    const QFont f = whole.value<QFont>();
    switch (part) {
    case 0: return familiesWith(f.family()).indexOf(f.family());
    case 1: return f.pointSize();
    case 2: return f.bold();
    case 3: return f.italic();
    case 4: return f.underline();
    case 5: return f.strikeOut();
    default: return f.kerning();
    }
}

} // namespace

int QtVariantPropertyManager::groupTypeId()
{
    return qMetaTypeId<QtGroupPropertyType>();
}

int QtVariantPropertyManager::enumTypeId()
{
    return qMetaTypeId<QtEnumPropertyType>();
}

int QtVariantPropertyManager::pathTypeId()
{
    return qMetaTypeId<QtPathPropertyType>();
}

int QtVariantPropertyManager::pntTypeId()
{
    return qMetaTypeId<QtPointListPropertyType>();
}

int QtVariantPropertyManager::popupTypeId()
{
    return qMetaTypeId<QtPopupPropertyType>();
}

QtVariantPropertyManager::QtVariantPropertyManager(QObject *parent)
    : QObject(parent)
{ }

QtVariantPropertyManager::~QtVariantPropertyManager()
{
    clear();
}

bool QtVariantPropertyManager::isPropertyTypeSupported(int propertyType) const
{
    return types().contains(propertyType);
}

int QtVariantPropertyManager::valueType(int propertyType)
{
    return types().value(propertyType, {QVariant::Invalid, {}, {}}).valueType;
}

QtVariantProperty *QtVariantPropertyManager::addProperty(int propertyType, const QString &name)
{
    if (!isPropertyTypeSupported(propertyType))
        return nullptr;
    auto *property = new QtVariantProperty(this);
    property->setPropertyName(name);
    Data *data = new Data;
    data->type = propertyType;
    data->value = types().value(propertyType).initial;
    m_data.insert(property, data);
    for (const PartInfo &info : partsOf(propertyType)) {
        QtVariantProperty *part = addProperty(info.type, QString::fromUtf8(info.name));
        m_data.value(part)->attributes = info.attributes;
        m_data.value(part)->owner = property;
        m_data.value(part)->part = data->parts.size();
        data->parts << part;
        property->addSubProperty(part);
    }
    syncParts(property);
    return property;
}

void QtVariantPropertyManager::clear()
{
    while (!m_data.isEmpty())
        delete m_data.begin().key();
}

QSet<QtProperty *> QtVariantPropertyManager::properties() const
{
    QSet<QtProperty *> set;
    for (auto it = m_data.cbegin(); it != m_data.cend(); ++it)
        set.insert(const_cast<QtProperty *>(it.key()));
    return set;
}

void QtVariantPropertyManager::forget(QtProperty *property)
{
    Data *data = m_data.value(property);
    if (!data)
        return;
    emit propertyDestroyed(property);
    // The parts belong to their owner; the hash entry goes last, so that a part's own
    // removal still finds its owner's data.
    const QList<QtVariantProperty *> parts = data->parts;
    data->parts.clear();
    qDeleteAll(parts);
    if (data->owner) {
        if (Data *owner = m_data.value(data->owner))
            owner->parts.removeOne(static_cast<QtVariantProperty *>(property));
    }
    m_data.remove(property);
    delete data;
}

QtVariantProperty *QtVariantPropertyManager::variantProperty(const QtProperty *property) const
{
    return m_data.contains(property) ? static_cast<QtVariantProperty *>(const_cast<QtProperty *>(property)) : nullptr;
}

int QtVariantPropertyManager::propertyType(const QtProperty *property) const
{
    const Data *data = m_data.value(property);
    return data ? data->type : 0;
}

int QtVariantPropertyManager::valueType(const QtProperty *property) const
{
    return valueType(propertyType(property));
}

QVariant QtVariantPropertyManager::value(const QtProperty *property) const
{
    const Data *data = m_data.value(property);
    return data ? data->value : QVariant();
}

QVariant QtVariantPropertyManager::attributeValue(const QtProperty *property, const QString &attribute) const
{
    const Data *data = m_data.value(property);
    if (!data)
        return QVariant();
    return data->attributes.value(attribute, types().value(data->type).attributes.value(attribute));
}

bool QtVariantPropertyManager::hasValue(const QtProperty *property) const
{
    return m_data.contains(property) && propertyType(property) != groupTypeId();
}

QString QtVariantPropertyManager::valueText(const QtProperty *property) const
{
    const Data *data = m_data.value(property);
    if (!data)
        return QString();
    const QVariant &v = data->value;
    const int type = data->type;
    if (!v.isValid())
        return QString();
    if (type == QVariant::Bool)
        return v.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    if (type == QVariant::Double)
        return QString::number(v.toDouble(), 'f', attributeValue(property, QStringLiteral("decimals")).toInt());
    if (type == QVariant::Size)
        return QStringLiteral("%1 x %2").arg(v.toSize().width()).arg(v.toSize().height());
    if (type == QVariant::Color) {
        const QColor c = v.value<QColor>();
        return c.isValid()
            ? QStringLiteral("[%1, %2, %3] (%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha())
            : QString();
    }
    if (type == QVariant::Font) {
        const QFont f = v.value<QFont>();
        return QStringLiteral("[%1, %2]").arg(f.family()).arg(f.pointSize());
    }
    if (type == enumTypeId())
        return attributeValue(property, EnumNames).toStringList().value(v.toInt());
    if (type == pntTypeId()) {
        QStringList points;
        for (const QPointF &p : v.value<QPolygonF>())
            points << QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y());
        return points.join(QLatin1Char(' '));
    }
    if (type == groupTypeId())
        return QString();
    return v.toString();
}

QIcon QtVariantPropertyManager::valueIcon(const QtProperty *property) const
{
    if (propertyType(property) != QVariant::Color)
        return QIcon();
    const QColor c = value(property).value<QColor>();
    if (!c.isValid())
        return QIcon();
    QPixmap swatch(16, 16);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.fillRect(1, 1, 14, 14, Qt::white);
    painter.fillRect(1, 1, 7, 7, Qt::lightGray);
    painter.fillRect(8, 8, 7, 7, Qt::lightGray);
    painter.fillRect(1, 1, 14, 14, c);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 15, 15);
    return QIcon(swatch);
}

namespace {

// A value of one of the browser's own types (enumerations, point lists, paths, pop-up lists)
// as the property holds it; invalid when it cannot be one. Groups hold no value.
QVariant normalisedOwnType(int type, const QVariant &value, const QStringList &enumNames)
{
    if (type == QtVariantPropertyManager::enumTypeId()) {
        bool ok = false;
        const int i = value.toInt(&ok);
        return ok ? (i >= 0 && i < enumNames.size() ? i : -1) : QVariant();
    }
    if (type == QtVariantPropertyManager::pntTypeId()) {
        if (value.userType() == QMetaType::QPolygon)
            return QVariant::fromValue(QPolygonF(value.value<QPolygon>()));
        return value.userType() == QMetaType::QPolygonF ? value : QVariant();
    }
    if (type == QtVariantPropertyManager::pathTypeId() || type == QtVariantPropertyManager::popupTypeId())
        return value.canConvert<QString>() ? value.toString() : QVariant();
    return QVariant();
}

// The other limit after one of them changed: a new minimum above the maximum raises the
// maximum, and the other way round.
QVariant orderedLimit(int type, bool changedIsMinimum, const QVariant &changed, const QVariant &other)
{
    if (type == QVariant::Size) {
        const QSize s = changed.toSize();
        const QSize t = other.toSize();
        return changedIsMinimum ? t.expandedTo(s) : t.boundedTo(s);
    }
    if (type == QVariant::Double) {
        return changedIsMinimum ? qMax(other.toDouble(), changed.toDouble())
                                : qMin(other.toDouble(), changed.toDouble());
    }
    return changedIsMinimum ? qMax(other.toInt(), changed.toInt()) : qMin(other.toInt(), changed.toInt());
}

// The attribute value converted to the type the attribute has; invalid when it cannot be.
QVariant convertedAttribute(int type, const QVariant &value)
{
    if (type == QMetaType::QRegularExpression && value.userType() == QMetaType::QRegExp)
        return QRegularExpression(value.toRegExp().pattern());
    if (type == QMetaType::QRegularExpression && value.userType() == QMetaType::QString)
        return QRegularExpression(value.toString());
    QVariant v = value;
    return v.convert(type) ? v : QVariant();
}

} // namespace

QVariant QtVariantPropertyManager::normalised(const Data &data, const QVariant &value) const
{
    const QVariantHash &a = data.attributes;
    const QVariantHash &known = types().value(data.type).attributes;
    const auto attribute = [&](const QString &name) { return a.value(name, known.value(name)); };
    bool ok = false;
    switch (data.type) {
    case QVariant::String:
    case QVariant::Bool:
    case QVariant::Color:
    case QVariant::Font: {
        QVariant v = value;
        return v.convert(data.type) ? v : QVariant();
    }
    case QVariant::Int: {
        const int i = value.toInt(&ok);
        return ok ? qBound(attribute(Minimum).toInt(), i, attribute(Maximum).toInt()) : QVariant();
    }
    case QVariant::Double: {
        const double d = value.toDouble(&ok);
        if (!ok || std::isnan(d))
            return QVariant();
        return qBound(attribute(Minimum).toDouble(), d, attribute(Maximum).toDouble());
    }
    case QVariant::Size: {
        if (!value.canConvert<QSize>() && !value.canConvert<QSizeF>())
            return QVariant();
        const QSize s = value.userType() == QVariant::SizeF ? value.toSizeF().toSize() : value.toSize();
        const QSize lo = attribute(Minimum).toSize();
        const QSize hi = attribute(Maximum).toSize();
        return QSize(qBound(lo.width(), s.width(), hi.width()), qBound(lo.height(), s.height(), hi.height()));
    }
    default: return normalisedOwnType(data.type, value, attribute(EnumNames).toStringList());
    }
}

void QtVariantPropertyManager::store(QtProperty *property, const QVariant &value)
{
    m_data.value(property)->value = value;
    syncParts(property);
    emit propertyChanged(property);
}

void QtVariantPropertyManager::syncParts(QtProperty *owner)
{
    const Data *data = m_data.value(owner);
    for (QtVariantProperty *part : data->parts) {
        Data *p = m_data.value(part);
        if (data->type == QVariant::Size) {
            const auto side = [&](const QString &name) {
                const QSize s = attributeValue(owner, name).toSize();
                return p->part == 0 ? s.width() : s.height();
            };
            p->attributes.insert(Minimum, side(Minimum));
            p->attributes.insert(Maximum, side(Maximum));
        } else if (data->type == QVariant::Font && p->part == 0) {
            p->attributes.insert(EnumNames, familiesWith(data->value.value<QFont>().family()));
        }
        p->value = data->value.isValid() ? partValue(data->type, data->value, p->part) : QVariant();
        emit propertyChanged(part);
    }
}

QVariant QtVariantPropertyManager::composed(const Data &owner, int part, const QVariant &partValue) const
{
    if (owner.type == QVariant::Size) {
        QSize s = owner.value.toSize();
        (part == 0 ? s.rwidth() : s.rheight()) = partValue.toInt();
        return s;
    }
    if (owner.type == QVariant::Color) {
        QColor c = opaqueIfInvalid(owner.value.value<QColor>());
        const int v = partValue.toInt();
        switch (part) {
        case 0: c.setRed(v); break;
        case 1: c.setGreen(v); break;
        case 2: c.setBlue(v); break;
        default: c.setAlpha(v); break;
        }
        return c;
    }
    QFont f = owner.value.value<QFont>();
    switch (part) {
    case 0: f.setFamily(familiesWith(f.family()).value(partValue.toInt(), f.family())); break;
    case 1: f.setPointSize(partValue.toInt()); break;
    case 2: f.setBold(partValue.toBool()); break;
    case 3: f.setItalic(partValue.toBool()); break;
    case 4: f.setUnderline(partValue.toBool()); break;
    case 5: f.setStrikeOut(partValue.toBool()); break;
    default: f.setKerning(partValue.toBool()); break;
    }
    return f;
}

void QtVariantPropertyManager::setValue(QtProperty *property, const QVariant &value)
{
    const Data *data = m_data.value(property);
    if (!data || !value.isValid())
        return;
    const QVariant v = normalised(*data, value);
    if (!v.isValid() || v == data->value)
        return;
    if (!data->owner) {
        store(property, v);
        emit valueChanged(property, v);
        return;
    }
    // A part: only the whole reports, since the whole is the value users of the manager
    // keep; a second report for the part would read as a second, separate edit.
    QtProperty *owner = data->owner;
    const Data *whole = m_data.value(owner);
    // A part of a whole without a value would have to make up the other parts.
    if (!whole->value.isValid())
        return;
    const QVariant total = normalised(*whole, composed(*whole, data->part, v));
    if (!total.isValid() || total == whole->value)
        return;
    store(owner, total);
    emit valueChanged(owner, total);
}

void QtVariantPropertyManager::clearValue(QtProperty *property)
{
    const Data *data = m_data.value(property);
    if (data && data->type != groupTypeId() && data->value.isValid())
        store(property, QVariant());
}

void QtVariantPropertyManager::setAttribute(QtProperty *property, const QString &attribute, const QVariant &value)
{
    Data *data = m_data.value(property);
    if (!data)
        return;
    const QVariantHash &known = types().value(data->type).attributes;
    QVariant v = value;
    if (known.contains(attribute)) {
        v = convertedAttribute(known.value(attribute).userType(), value);
        if (!v.isValid())
            return;
    }
    if (attributeValue(property, attribute) == v)
        return;
    data->attributes.insert(attribute, v);
    // The limits stay ordered.
    if (known.contains(Minimum) && (attribute == Minimum || attribute == Maximum)) {
        const QString other = attribute == Minimum ? Maximum : Minimum;
        data->attributes.insert(
            other, orderedLimit(data->type, attribute == Minimum, v, attributeValue(property, other)));
    }
    emit attributeChanged(property, attribute, v);
    const QVariant fitted = data->type == groupTypeId() ? QVariant() : normalised(*data, data->value);
    if (fitted.isValid() && fitted != data->value) {
        store(property, fitted);
        emit valueChanged(property, fitted);
    } else {
        syncParts(property);
        emit propertyChanged(property);
    }
}

void QtVariantPropertyManager::notifyChanged(QtProperty *property)
{
    if (m_data.contains(property))
        emit propertyChanged(property);
}

void QtVariantPropertyManager::notifyInserted(QtProperty *property, QtProperty *parent, QtProperty *after)
{
    emit propertyInserted(property, parent, after);
}

void QtVariantPropertyManager::notifyRemoved(QtProperty *property, QtProperty *parent)
{
    emit propertyRemoved(property, parent);
}
