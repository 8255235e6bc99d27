#include "itemstorage.h"

#include "binarycodec.h"
#include "documentformat.h"
#include "formatlimits.h"
#include "formatversion.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "version.h"

#include <QDataStream>

namespace {
// Which optional parts a stored item or group carries.
enum BodyFlag : quint8
{
    Locked = 1,
    RectOrigin = 2,
    ZValue = 4,
    HasName = 8,
    HasSvgId = 16,
    HasYkId = 32,
    HasFont = 64,
    // Never set: a record carrying it comes from a format this one does not know.
    Unassigned = 128,
};
// The parts a group may carry; it has no rectangle of its own and no font.
constexpr quint8 GroupFlags = Locked | ZValue | HasName | HasSvgId | HasYkId;

void writeValue(BinaryWriter &out, Property::PropertyType type, const QVariant &v)
{
    out.u8(quint8(type));
    switch (type) {
    case Property::Bool: out.u8(v.toBool() ? 1 : 0); break;
    case Property::Int:
    case Property::Enum: out.i32(v.toInt()); break;
    case Property::Double: out.f64(v.toDouble()); break;
    case Property::Size:
        out.f64(v.toSizeF().width());
        out.f64(v.toSizeF().height());
        break;
    case Property::Color: out.color(v.value<QColor>()); break;
    case Property::Font: out.font(v.value<QFont>()); break;
    case Property::PointList: out.polygon(v.value<QPolygonF>()); break;
    case Property::String:
    case Property::Path:
    case Property::Popup: out.string(v.toString()); break;
    }
}

QVariant readValue(BinaryReader &in, Property::PropertyType expected)
{
    const quint8 tag = in.u8();
    if (tag != quint8(expected)) {
        in.fail();
        return QVariant();
    }
    switch (expected) {
    case Property::Bool: {
        const quint8 b = in.u8();
        if (b > 1)
            in.fail();
        return b != 0;
    }
    case Property::Int:
    case Property::Enum: return in.i32();
    case Property::Double: return in.f64();
    case Property::Size: {
        const double w = in.f64();
        return QSizeF(w, in.f64());
    }
    case Property::Color: return in.color();
    case Property::Font: return in.font();
    case Property::PointList: return QVariant::fromValue(in.polygon());
    case Property::String:
    case Property::Path:
    case Property::Popup: return in.string();
    }
    in.fail();
    return QVariant();
}

// The count and values of an item's specific properties, as `list` describes them. Read
// into `read` rather than the item: a refused record leaves the item as it was.
bool readSpecificValues(BinaryReader &in, const QVector<GraphicsItem::SpecificProperty> &list, QVector<QVariant> &read)
{
    const quint8 count = in.u8();
    if (count != list.size())
        return false;
    read = QVector<QVariant>(list.size());
    for (int i = 0; i < list.size() && in.ok(); ++i) {
        read[i] = readValue(in, list.at(i).property->type());
        // Each value within what its property offers: a grid of millions of rows or an arc
        // of a billion degrees would take forever to draw.
        if (!list.at(i).property->accepts(read.at(i)))
            in.fail();
    }
    return in.ok();
}

} // namespace

void ItemStorage::writeItem(BinaryWriter &out, const GraphicsItem &item, unsigned version)
{
    const bool font = item.hasText() && version >= FormatVersion::ChecksumAndFonts;
    quint8 flags = 0;
    flags |= item.islocked() ? Locked : 0;
    flags |= item.m_rect.topLeft() != QPointF(0, 0) ? RectOrigin : 0;
    flags |= item.zValue() != 0 ? ZValue : 0;
    flags |= !item.m_name.isEmpty() ? HasName : 0;
    flags |= !item.svgID().isEmpty() ? HasSvgId : 0;
    flags |= !item.ykID().isEmpty() ? HasYkId : 0;
    flags |= font ? HasFont : 0;
    out.u8(flags);
    out.point(item.pos());
    if (flags & RectOrigin)
        out.point(item.m_rect.topLeft());
    out.f64(item.m_rect.width());
    out.f64(item.m_rect.height());
    if (flags & ZValue)
        out.f64(item.zValue());
    if (flags & HasName)
        out.string(item.m_name);
    if (flags & HasSvgId)
        out.string(item.svgID());
    if (flags & HasYkId)
        out.string(item.ykID());
    out.u8(quint8(item.m_penWidth));
    out.color(item.m_penColor);
    out.u8(quint8(item.m_penStyle));
    out.color(item.m_brushColor);
    out.u8(quint8(item.m_brushStyle));
    if (font)
        out.font(item.m_font);
    const QVector<GraphicsItem::SpecificProperty> &list = item.specifics();
    const QVector<QVariant> &v = item.values();
    out.u8(quint8(list.size()));
    for (int i = 0; i < list.size(); ++i) {
        const QString &id = list.at(i).property->id();
        const QVariant value = id == GraphicsItem::svgIdProperty() ? QVariant(item.svgID())
            : id == GraphicsItem::ykIdProperty()                   ? QVariant(item.ykID())
                                                                   : v.at(i);
        writeValue(out, list.at(i).property->type(), value);
    }
}

bool ItemStorage::readItem(BinaryReader &in, GraphicsItem &item, unsigned version)
{
    const quint8 flags = in.u8();
    if (flags & Unassigned || (version < FormatVersion::ChecksumAndFonts && (flags & HasFont)))
        return false;
    const QPointF p = in.point();
    const QPointF origin = (flags & RectOrigin) ? in.point() : QPointF(0, 0);
    const double w = in.f64();
    const double h = in.f64();
    const double z = (flags & ZValue) ? in.f64() : 0.0;
    const QString name = (flags & HasName) ? in.string() : QString();
    const QString svg = (flags & HasSvgId) ? in.string() : QString();
    const QString yk = (flags & HasYkId) ? in.string() : QString();
    const quint8 penWidth = in.u8();
    const QColor penColor = in.color();
    const quint8 penStyle = in.u8();
    const QColor brushColor = in.color();
    const quint8 brushStyle = in.u8();
    const QFont font = (flags & HasFont) ? in.font() : item.m_font;
    if (!in.ok() || penWidth > FormatLimits::MaxPenWidth || penStyle > FormatLimits::MaxPenStyle
        || brushStyle > FormatLimits::MaxBrushStyle || ((flags & HasFont) && !item.hasText()))
        return false;
    // Everything that places the item must lie where it can be drawn; items other than
    // lines are normalised rectangles.
    if (!FormatLimits::isCoordinate(p.x()) || !FormatLimits::isCoordinate(p.y())
        || !FormatLimits::isCoordinate(origin.x()) || !FormatLimits::isCoordinate(origin.y())
        || !FormatLimits::isCoordinate(w) || !FormatLimits::isCoordinate(h) || (!item.isLinear() && (w < 0 || h < 0)))
        return false;

    const QVector<GraphicsItem::SpecificProperty> &list = item.specifics();
    QVector<QVariant> read;
    if (!readSpecificValues(in, list, read))
        return false;
    QVector<QVariant> &v = item.values();
    v = read;

    item.setPos(p);
    item.setRect(QRectF(origin, QSizeF(w, h)));
    item.setZValue(z);
    item.m_name = name;
    item.setSvgID(svg);
    item.setYkID(yk);
    item.m_penWidth = penWidth;
    item.m_penColor = penColor;
    item.m_penStyle = penStyle;
    item.m_brushColor = brushColor;
    item.m_brushStyle = brushStyle;
    item.m_font = font;
    item.setLock(flags & Locked);
    for (int i = 0; i < list.size(); ++i) {
        const QString &id = list.at(i).property->id();
        if (id == GraphicsItem::svgIdProperty())
            v[i] = svg;
        else if (id == GraphicsItem::ykIdProperty())
            v[i] = yk;
        item.specificChanged(i);
    }
    return true;
}

void ItemStorage::writeGroup(BinaryWriter &out, const GroupItem &group, unsigned version)
{
    quint8 flags = 0;
    flags |= group.islocked() ? Locked : 0;
    flags |= group.zValue() != 0 ? ZValue : 0;
    flags |= !group.name().isEmpty() ? HasName : 0;
    flags |= !group.svgID().isEmpty() ? HasSvgId : 0;
    flags |= !group.ykID().isEmpty() ? HasYkId : 0;
    out.u8(flags);
    out.point(group.pos());
    if (flags & ZValue)
        out.f64(group.zValue());
    if (flags & HasName)
        out.string(group.name());
    if (flags & HasSvgId)
        out.string(group.svgID());
    if (flags & HasYkId)
        out.string(group.ykID());
    const QList<QGraphicsItem *> members = group.childItems();
    out.u32(quint32(members.size()));
    for (const QGraphicsItem *member : members)
        DocumentFormat::writeRecord(out, member, version);
}

GroupItem *ItemStorage::readGroup(BinaryReader &in, unsigned version, int depth)
{
    const quint8 flags = in.u8();
    if (flags & ~GroupFlags)
        return nullptr;
    const QPointF pos = in.point();
    const double z = (flags & ZValue) ? in.f64() : 0.0;
    const QString name = (flags & HasName) ? in.string() : QString();
    const QString svg = (flags & HasSvgId) ? in.string() : QString();
    const QString yk = (flags & HasYkId) ? in.string() : QString();
    const quint32 count = in.u32();
    // Every member record takes at least its type and length.
    if (!in.ok() || count > quint32(in.remaining() / 8) || !FormatLimits::isCoordinate(pos.x())
        || !FormatLimits::isCoordinate(pos.y()))
        return nullptr;
    auto *group = new GroupItem;
    group->setPos(pos);
    group->setZValue(z);
    group->setName(name);
    group->setSvgID(svg);
    group->setYkID(yk);
    for (quint32 i = 0; i < count; ++i) {
        QGraphicsItem *member = DocumentFormat::readRecord(in, version, depth + 1);
        if (!member) {
            delete group;
            return nullptr;
        }
        // Members are stored relative to the group; parent without moving them.
        member->setParentItem(group);
    }
    group->setLock(flags & Locked);
    return group;
}

bool ItemStorage::writeGroupFile(QDataStream &stream, AbstractGraphicsUtility &group)
{
    stream << Version::VersionToString(FormatVersion::Current);
    return group.saveItem(stream);
}

GroupItem *ItemStorage::readGroupFile(QDataStream &stream)
{
    QString version;
    stream >> version;
    bool known = false;
    for (unsigned v = DocumentFormat::OldestVersion; v <= DocumentFormat::CurrentVersion; ++v)
        known = known || version == Version::VersionToString(v);
    if (!known || stream.status() != QDataStream::Ok)
        return nullptr;
    QGraphicsItem *item = DocumentFormat::loadItem(stream);
    if (auto *group = dynamic_cast<GroupItem *>(item))
        return group;
    delete item;
    return nullptr;
}
