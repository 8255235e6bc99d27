#include "documentformat.h"

#include "abstractgraphicsscene.h"
#include "binarycodec.h"
#include "formatlimits.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemstorage.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace {

// Header: magic, version, document type, payload length.
constexpr int HeaderSize = 16;

void writeHeaderAndPayload(QByteArray &out, quint32 magic, unsigned version, qint32 type, const QByteArray &payload)
{
    BinaryWriter w(out);
    w.u32(magic);
    w.u32(version);
    w.i32(type);
    w.u32(quint32(payload.size()));
    w.bytes(payload);
    if (version >= FormatVersion::ChecksumAndFonts)
        w.u32(crc32(payload.constData(), payload.size()));
}

bool writeAll(QDataStream &stream, const QByteArray &bytes)
{
    return stream.writeRawData(bytes.constData(), bytes.size()) == bytes.size() && stream.status() == QDataStream::Ok;
}

// Splits header, payload and checksum; `payload` points into `bytes`.
DocumentFormat::Result unwrap(
    const QByteArray &bytes, quint32 magic, unsigned *version, qint32 *type, BinaryReader *payload)
{
    if (bytes.size() < 4) {
        // A few bytes that begin our magic are a cut-off file of ours, anything else is foreign.
        char head[4];
        qToBigEndian(magic, head);
        const bool ours = !bytes.isEmpty() && QByteArray(head, 4).startsWith(bytes);
        return ours ? DocumentFormat::Damaged : DocumentFormat::WrongFormat;
    }
    BinaryReader in(bytes.constData(), bytes.size());
    if (in.u32() != magic)
        return DocumentFormat::WrongFormat;
    *version = in.u32();
    *type = in.i32();
    const quint32 length = in.u32();
    if (!in.ok())
        return DocumentFormat::Damaged;
    if (*version < DocumentFormat::OldestVersion || *version > DocumentFormat::CurrentVersion)
        return DocumentFormat::WrongFormat;
    const int trailer = *version >= FormatVersion::ChecksumAndFonts ? 4 : 0;
    if (length > quint32(in.remaining()) || in.remaining() - int(length) != trailer)
        return DocumentFormat::Damaged;
    *payload = in.sub(length);
    if (trailer) {
        const quint32 stored = in.u32();
        if (!in.ok() || stored != crc32(payload->position(), int(length)))
            return DocumentFormat::Damaged;
    }
    return DocumentFormat::Success;
}

bool isSceneRect(const QRectF &r)
{
    return FormatLimits::isCoordinate(r.x()) && FormatLimits::isCoordinate(r.y()) && r.width() >= 0 && r.height() >= 0
        && FormatLimits::isCoordinate(r.width()) && FormatLimits::isCoordinate(r.height());
}

QByteArray encodeItems(const QList<QGraphicsItem *> &items, unsigned version)
{
    QByteArray payload;
    BinaryWriter w(payload);
    w.u32(quint32(items.size()));
    for (const QGraphicsItem *item : items)
        DocumentFormat::writeRecord(w, item, version);
    return payload;
}

bool decodeItems(BinaryReader &in, unsigned version, QList<QGraphicsItem *> &out)
{
    const quint32 count = in.u32();
    if (!in.ok() || count > quint32(in.remaining() / 8))
        return false;
    QList<QGraphicsItem *> items;
    items.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        QGraphicsItem *item = DocumentFormat::readRecord(in, version, 0);
        if (!item) {
            qDeleteAll(items);
            return false;
        }
        items << item;
    }
    if (!in.atEnd()) {
        qDeleteAll(items);
        return false;
    }
    out = items;
    return true;
}

} // namespace

void DocumentFormat::writeRecord(BinaryWriter &out, const QGraphicsItem *item, unsigned version)
{
    out.u32(quint32(item->type()));
    const int lengthAt = out.size();
    out.u32(0);
    if (auto *g = dynamic_cast<const GroupItem *>(item))
        ItemStorage::writeGroup(out, *g, version);
    else if (auto *gi = dynamic_cast<const GraphicsItem *>(item))
        ItemStorage::writeItem(out, *gi, version);
    out.patchU32(lengthAt, quint32(out.size() - lengthAt - 4));
}

QGraphicsItem *DocumentFormat::readRecord(BinaryReader &in, unsigned version, int depth)
{
    const quint32 type = in.u32();
    const quint32 length = in.u32();
    BinaryReader body = in.sub(length);
    if (!in.ok() || depth > MaxDepth)
        return nullptr;
    if (int(type) == ItemKind::Group) {
        GroupItem *group = ItemStorage::readGroup(body, version, depth);
        if (group && (!body.ok() || !body.atEnd())) {
            delete group;
            return nullptr;
        }
        return group;
    }
    GraphicsItem *item = dynamic_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, int(type), true));
    if (!item)
        return nullptr;
    if (!ItemStorage::readItem(body, *item, version) || !body.atEnd()) {
        delete item;
        return nullptr;
    }
    return item;
}

DocumentFormat::Result DocumentFormat::readPayload(
    QDataStream &stream, quint32 magic, QByteArray *bytes, unsigned *version, BinaryReader *payload, qint32 *type)
{
    bool readError = false;
    *bytes = readAll(stream, &readError);
    if (readError)
        return FileError;
    qint32 ignored = 0;
    return unwrap(*bytes, magic, version, type ? type : &ignored, payload);
}

QByteArray DocumentFormat::readAll(QDataStream &stream, bool *readError)
{
    // Documents are read whole: the format is parsed from memory, which is both faster and
    // the simplest way to check every length against what is really there.
    QIODevice *device = stream.device();
    *readError = !device || !device->isReadable() || stream.status() != QDataStream::Ok;
    return *readError ? QByteArray() : device->readAll();
}

DocumentFormat::Result DocumentFormat::saveDocument(
    QDataStream &stream, const AbstractGraphicsScene &scene, unsigned version)
{
    QByteArray payload;
    BinaryWriter w(payload);
    w.rect(scene.sceneRect());
    w.color(scene.backgroundColor());
    w.string(scene.backgroundPixmap());
    // Top-level items bottom first, so that reading them back restores the stacking.
    const QList<QGraphicsItem *> items = AbstractGraphicsScene::noParentFilter(scene.items(Qt::AscendingOrder));
    w.bytes(encodeItems(items, version));

    QByteArray bytes;
    bytes.reserve(payload.size() + HeaderSize + 4);
    writeHeaderAndPayload(bytes, DocumentMagic, version, scene.type(), payload);
    return writeAll(stream, bytes) ? Success : FileError;
}

DocumentFormat::Result DocumentFormat::loadDocument(QDataStream &stream, AbstractGraphicsScene &scene, int expectedType,
    bool interactive, unsigned *versionFound, QList<QGraphicsItem *> *loaded)
{
    QByteArray bytes;
    unsigned version = 0;
    qint32 type = 0;
    BinaryReader payload(nullptr, 0);
    const Result r = readPayload(stream, DocumentMagic, &bytes, &version, &payload, &type);
    if (r != Success)
        return r;
    if (type != expectedType)
        return WrongFormat;

    const QRectF rect = payload.rect();
    const QColor background = payload.color();
    const QString picture = payload.string();
    QList<QGraphicsItem *> items;
    if (!payload.ok() || !isSceneRect(rect) || !decodeItems(payload, version, items))
        return Damaged;

    scene.clear();
    scene.setType(type);
    scene.setSceneRect(rect);
    scene.setBackgroundColor(background);
    scene.setBackgroundPixmap(picture);
    for (QGraphicsItem *item : qAsConst(items)) {
        if (!interactive)
            item->setFlags(QGraphicsItem::GraphicsItemFlags());
        scene.addItem(item);
    }
    if (versionFound)
        *versionFound = version;
    if (loaded)
        *loaded = items;
    return Success;
}

bool DocumentFormat::saveItems(QDataStream &stream, const QList<QGraphicsItem *> &items)
{
    QByteArray bytes;
    writeHeaderAndPayload(bytes, ItemsMagic, CurrentVersion, 0, encodeItems(items, CurrentVersion));
    return writeAll(stream, bytes);
}

bool DocumentFormat::loadItems(QDataStream &stream, QList<QGraphicsItem *> &items)
{
    QByteArray bytes;
    unsigned version = 0;
    BinaryReader payload(nullptr, 0);
    if (readPayload(stream, ItemsMagic, &bytes, &version, &payload) != Success)
        return false;
    return decodeItems(payload, version, items);
}

bool DocumentFormat::saveItem(QDataStream &stream, QGraphicsItem *item)
{
    QByteArray payload;
    BinaryWriter w(payload);
    writeRecord(w, item, CurrentVersion);
    QByteArray bytes;
    writeHeaderAndPayload(bytes, ItemMagic, CurrentVersion, 0, payload);
    return writeAll(stream, bytes);
}

QGraphicsItem *DocumentFormat::loadItem(QDataStream &stream)
{
    QByteArray bytes;
    unsigned version = 0;
    BinaryReader payload(nullptr, 0);
    if (readPayload(stream, ItemMagic, &bytes, &version, &payload) != Success)
        return nullptr;
    QGraphicsItem *item = readRecord(payload, version, 0);
    if (item && !payload.atEnd()) {
        delete item;
        return nullptr;
    }
    return item;
}
