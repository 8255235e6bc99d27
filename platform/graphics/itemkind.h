#ifndef ITEMKIND_H
#define ITEMKIND_H

#include <QSizeF>
#include <QString>
#include <QVector>

class GraphicsItem;

// One kind of drawing item: its type number (the drawing tool's number), its name and
// the family of classes that draws it. The table of kinds, all(), is the only list of every
// kind; each family's own table describes just its kinds, named by Type, and each kind has
// one drawing tool of the same number.
struct ItemKind
{
    enum Family { Shape, Symbol, Text, Chart, Link, Picture };

    // The type numbers, as the files store them and the drawing tools are numbered. The kinds'
    // numbers are the table's; the group and the pointer are no kinds but share the numbering.
    enum Type : int {
        Group = 0x10002,
        Pointer = 0x10006, // the selection tool: no item has this type

        Line = 0x10016,
        Rectangle = 0x10018,
        Triangle = 0x10019,
        Ellipse = 0x1001a,
        Arc = 0x1001c,
        Chord = 0x1001d,
        Sector = 0x1001e,
        Grid = 0x1001f,

        Breaker = 0x10008,
        BreakerPicture = 0x10039,
        Disconnector = 0x10009,
        Capacitor = 0x1000a,
        BreakerTruck = 0x1000b,
        Fuse = 0x1000c,
        Reactor = 0x1000d,
        ArcSuppressionCoil = 0x1000e,
        Arrester = 0x1000f,
        Generator = 0x10010,
        Motor = 0x1002d,
        Earth = 0x10011,
        MainTransformer = 0x10012,
        DistributionTransformer = 0x10013,
        CurrentTransformer = 0x10014,
        VoltageTransformer = 0x10015,
        Lamp = 0x1002a,
        Bell = 0x1002b,
        Diode = 0x1002c,
        Danger = 0x1002e,
        CapacityPlan = 0x1003b,
        CapacityFront = 0x1003c,

        PlainText = 0x10027,
        TextValue = 0x1003a,
        ExtendedText = 0x10035,
        AnalogValue = 0x10007,
        DigitalClock = 0x10024,

        Bar = 0x10020,
        ExtendedBar = 0x10032,
        Curve = 0x10021,
        Pie = 0x10030,
        Dial = 0x1002f,
        Clock = 0x10023,
        Rank = 0x10036,
        Cursor = 0x10037,

        Button = 0x10025,
        HotSpot = 0x10026,
        GraphLink = 0x10038,
        Details = 0x10034,
        Circuit = 0x10033,

        Animation = 0x10022,
        SvgPicture = 0x10031,
        CustomSymbol = 0x10029,
    };

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
