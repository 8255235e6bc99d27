#ifndef ITEMKIND_H
#define ITEMKIND_H

#include <QSizeF>
#include <QString>
#include <QVector>

class GraphicsItem;

// One kind of drawing item: its type number (the drawing tool's number), its name and
// the family of classes that draws it. The table of kinds is the only place that lists them.
struct ItemKind
{
    enum Family { Shape, Symbol, Text, Chart, Link, Picture };

    int type;
    const char *name;
    Family family;
    // Size of an item placed by a bare click; an empty size means a click creates nothing.
    QSizeF clickSize;

    QString displayName() const { return QString::fromUtf8(name); }

    static const ItemKind *find(int type);
    static const QVector<ItemKind> &all();
    // A new item of the given type, or null when no kind has that number.
    static GraphicsItem *create(int type);
};

#endif
