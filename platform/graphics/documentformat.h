#ifndef DOCUMENTFORMAT_H
#define DOCUMENTFORMAT_H

#include "formatversion.h"

#include <QByteArray>
#include <QList>

class AbstractGraphicsScene;
class BinaryReader;
class BinaryWriter;
class QDataStream;
class QGraphicsItem;

// The binary format of graphs, templates, clipboard payloads and group files
// (docs/document-format.md). Reading never trusts a count or a length that the
// input cannot back, and a checksum guards every document and payload.
class DocumentFormat
{
public:
    enum Result
    {
        Success = 0,
        WrongFormat = 1,
        FileError = 2,
        Damaged = 3
    };

    // The envelope's magic numbers: "PWDG" document, "PWIT" item list, "PWI1" one item.
    static constexpr quint32 DocumentMagic = 0x50574447;
    static constexpr quint32 ItemsMagic = 0x50574954;
    static constexpr quint32 ItemMagic = 0x50574931;

    static constexpr unsigned CurrentVersion = FormatVersion::Current;
    // The oldest version still read; it lacks the checksum and text fonts.
    static constexpr unsigned OldestVersion = FormatVersion::Oldest;
    // Groups nested deeper than this are taken as damage.
    static constexpr int MaxDepth = 64;

    // A whole document: type, scene rectangle, background and every top-level item
    // in stacking order.
    static Result saveDocument(
        QDataStream &stream, const AbstractGraphicsScene &scene, unsigned version = CurrentVersion);
    static Result loadDocument(QDataStream &stream, AbstractGraphicsScene &scene, int expectedType, bool interactive,
        unsigned *versionFound, QList<QGraphicsItem *> *loaded = nullptr);

    // A list of items (the clipboard): new items come back in the same order.
    static bool saveItems(QDataStream &stream, const QList<QGraphicsItem *> &items);
    static bool loadItems(QDataStream &stream, QList<QGraphicsItem *> &items);

    // One item with everything it holds, groups with their members.
    static bool saveItem(QDataStream &stream, QGraphicsItem *item);
    static QGraphicsItem *loadItem(QDataStream &stream);

    static void writeRecord(BinaryWriter &out, const QGraphicsItem *item, unsigned version);
    static QGraphicsItem *readRecord(BinaryReader &in, unsigned version, int depth);

private:
    static QByteArray readAll(QDataStream &stream, bool *readError);
    // Reads the whole stream into `bytes` and checks its envelope; `payload` points into it.
    static Result readPayload(QDataStream &stream, quint32 magic, QByteArray *bytes, unsigned *version,
        BinaryReader *payload, qint32 *type = nullptr);
};

#endif
