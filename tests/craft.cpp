#include "craft.h"
#include "itemkind.h"

#include "abstractgraphicsproperty.h"
#include "binarycodec.h"
#include "documentformat.h"
#include "version.h"

#include <QColor>
#include <QDataStream>
#include <QPolygonF>

namespace Craft {

namespace {

QByteArray envelope(quint32 magic, int type, const QByteArray &payload)
{
    QByteArray out;
    BinaryWriter w(out);
    w.u32(magic);
    w.u32(DocumentFormat::CurrentVersion);
    w.i32(type);
    w.u32(quint32(payload.size()));
    w.bytes(payload);
    w.u32(crc32(payload.constData(), payload.size()));
    return out;
}

QByteArray record(int itemType, const QByteArray &body)
{
    QByteArray out;
    BinaryWriter w(out);
    w.u32(quint32(itemType));
    w.u32(quint32(body.size()));
    w.bytes(body);
    return out;
}

} // namespace

QByteArray itemRecord(
    int itemType, const QPointF &pos, const QSizeF &size, const QList<Value> &values, int penWidth, int penStyle)
{
    QByteArray body;
    BinaryWriter w(body);
    w.u8(0); // no optional parts
    w.point(pos);
    w.f64(size.width());
    w.f64(size.height());
    w.u8(quint8(penWidth));
    w.color(QColor(Qt::white));
    w.u8(quint8(penStyle));
    w.color(QColor());
    w.u8(0);
    w.u8(quint8(values.size()));
    for (const Value &v : values) {
        w.u8(quint8(v.type));
        switch (v.type) {
        case Property::Bool: w.u8(v.value.toBool()); break;
        case Property::Int:
        case Property::Enum: w.i32(v.value.toInt()); break;
        case Property::Double: w.f64(v.value.toDouble()); break;
        case Property::Color: w.color(v.value.value<QColor>()); break;
        case Property::PointList: w.polygon(v.value.value<QPolygonF>()); break;
        default: w.string(v.value.toString()); break;
        }
    }
    return record(itemType, body);
}

QByteArray groupRecord(const QPointF &pos, const QList<QByteArray> &members)
{
    QByteArray body;
    BinaryWriter w(body);
    w.u8(0);
    w.point(pos);
    w.u32(quint32(members.size()));
    for (const QByteArray &m : members)
        w.bytes(m);
    return record(ItemKind::Group, body);
}

QByteArray document(const QList<QByteArray> &records, const QString &background, int type)
{
    QByteArray payload;
    BinaryWriter w(payload);
    w.rect(QRectF(0, 0, 1920, 1080));
    w.color(QColor(Qt::black));
    w.string(background);
    w.u32(quint32(records.size()));
    for (const QByteArray &r : records)
        w.bytes(r);
    return envelope(DocumentFormat::DocumentMagic, type, payload);
}

QByteArray itemList(const QList<QByteArray> &records)
{
    QByteArray payload;
    BinaryWriter w(payload);
    w.u32(quint32(records.size()));
    for (const QByteArray &r : records)
        w.bytes(r);
    return envelope(DocumentFormat::ItemsMagic, 0, payload);
}

QByteArray groupFile(const QByteArray &record)
{
    QByteArray out;
    {
        QDataStream stream(&out, QIODevice::WriteOnly);
        stream << Version::VersionToString(DocumentFormat::CurrentVersion);
    }
    return out + envelope(DocumentFormat::ItemMagic, 0, record);
}

} // namespace Craft
