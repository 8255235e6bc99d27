#ifndef ITEMSTORAGE_H
#define ITEMSTORAGE_H

class AbstractGraphicsUtility;
class BinaryReader;
class BinaryWriter;
class GraphicsItem;
class GroupItem;
class QDataStream;

// The bodies of the records of the document format (docs/document-format.md): what a
// drawing item or a group stores of itself, without the record's type and length.
class ItemStorage
{
public:
    static void writeItem(BinaryWriter &out, const GraphicsItem &item, unsigned version);
    // False, with the item unchanged, for a body this version cannot hold.
    static bool readItem(BinaryReader &in, GraphicsItem &item, unsigned version);

    // A group with its members, each as a whole record.
    static void writeGroup(BinaryWriter &out, const GroupItem &group, unsigned version);
    // Null for a body that is damaged or nests deeper than the format allows.
    static GroupItem *readGroup(BinaryReader &in, unsigned version, int depth);

    // An item-group file: the version text of the current format, then the group's record.
    static bool writeGroupFile(QDataStream &stream, AbstractGraphicsUtility &group);
    // Null when the stream holds no group of a known version.
    static GroupItem *readGroupFile(QDataStream &stream);
};

#endif
