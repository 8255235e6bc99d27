#ifndef ITEMSTORAGE_H
#define ITEMSTORAGE_H

class BinaryReader;
class BinaryWriter;
class GraphicsItem;
class GroupItem;

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
};

#endif
