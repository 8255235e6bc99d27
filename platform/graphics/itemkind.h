#ifndef ITEMKIND_H
#define ITEMKIND_H

#include <QSizeF>
#include <QString>
#include <QVector>

class GraphicsItem;

// One kind of drawing item: its type number (the drawing tool's number), its name, the
// family of classes that draws it and where it connects to the circuit. The table of kinds, all(), is the only list of every
// kind; each family's own table describes just its kinds, named by Type, and each kind has
// one drawing tool of the same number.
struct ItemKind
{
    enum Family
    {
        Shape,
        Symbol,
        Text,
        Chart,
        Link,
        Picture
    };

    // The type numbers, as the files store them and the drawing tools are numbered. The kinds'
    // numbers are the table's; the group and the pointer are no kinds but share the numbering.
    enum Type : int
    {
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

    // Where an item of the kind connects to the circuit, in its upright drawing (the feeder
    // enters at the top); the points turn and scale with the drawing (SymbolLibrary::terminals).
    enum Terminals : quint8
    {
        NoTerminals,
        LineEnds, // a line's start and end
        TopBottom, // the middles of the top and bottom sides
        Top, // the middle of the top side
        CircleTop, // the top of the circle that fits the shorter side, centred
        Windings, // the main transformer: the top of the upper winding, the bottom of each lower one
    };

    int type;
    const char *name;
    Family family;
    // Size of an item placed by a bare click; an empty size means a click creates nothing.
    QSizeF clickSize;
    Terminals terminals;

    QString displayName() const { return QString::fromUtf8(name); }

    static const ItemKind *find(int type);
    static const QVector<ItemKind> &all();
    // A new item of the given type, or null when no kind has that number.
    static GraphicsItem *create(int type);
};

namespace ItemKindSizes {

// Click sizes: equipment stands upright on its feeder, texts are one line high,
// charts and clocks are large enough to read.
inline const QSizeF NoClick;
inline const QSizeF Upright(24, 48);
inline const QSizeF Square(40, 40);
inline const QSizeF Transformer(40, 64);
inline const QSizeF TextLine(96, 24);
// Wide and high enough for the default text at the default font: a measurement with its
// prefix and unit, a graph link naming that it has no target yet.
inline const QSizeF WideLine(128, 28);
inline const QSizeF ChartSize(200, 140);
inline const QSizeF DialSize(120, 120);
inline const QSizeF ButtonSize(88, 28);
inline const QSizeF PictureSize(64, 64);

} // namespace ItemKindSizes

// The table of kinds, beside the numbers: a new kind is one enum entry and one row here.
inline const QVector<ItemKind> &ItemKind::all()
{
    using namespace ItemKindSizes;
    static const QVector<ItemKind> kinds = {
        {Line, "直线", Shape, NoClick, LineEnds},
        {Rectangle, "矩形", Shape, NoClick, NoTerminals},
        {Triangle, "三角形", Shape, NoClick, NoTerminals},
        {Ellipse, "椭圆", Shape, NoClick, NoTerminals},
        {Arc, "圆弧", Shape, NoClick, NoTerminals},
        {Chord, "弦", Shape, NoClick, NoTerminals},
        {Sector, "扇形", Shape, NoClick, NoTerminals},
        {Grid, "网格", Shape, NoClick, NoTerminals},

        {Breaker, "开关", Symbol, Upright, TopBottom},
        {BreakerPicture, "开关图形", Symbol, Upright, TopBottom},
        {Disconnector, "刀闸", Symbol, Upright, TopBottom},
        {Capacitor, "电容器", Symbol, Upright, Top},
        {BreakerTruck, "手车", Symbol, Upright, TopBottom},
        {Fuse, "熔断器", Symbol, Upright, TopBottom},
        {Reactor, "电抗", Symbol, Upright, TopBottom},
        {ArcSuppressionCoil, "消弧线圈", Symbol, Upright, Top},
        {Arrester, "避雷针", Symbol, Upright, Top},
        {Generator, "发电机", Symbol, Square, CircleTop},
        {Motor, "电动机", Symbol, Square, CircleTop},
        {Earth, "接地符", Symbol, Upright, Top},
        {MainTransformer, "主变压器", Symbol, Transformer, Windings},
        {DistributionTransformer, "配变压器", Symbol, Transformer, TopBottom},
        {CurrentTransformer, "电流互感器", Symbol, Upright, TopBottom},
        {VoltageTransformer, "电压互感器", Symbol, Transformer, Top},
        {Lamp, "灯", Symbol, Square, TopBottom},
        {Bell, "电铃", Symbol, Square, Top},
        {Diode, "二极管", Symbol, Upright, TopBottom},
        {Danger, "危险标示", Symbol, Square, NoTerminals},
        {CapacityPlan, "容量(俯视图)", Symbol, Square, NoTerminals},
        {CapacityFront, "容量(正视图)", Symbol, Upright, NoTerminals},

        {PlainText, "文字", Text, TextLine, NoTerminals},
        {TextValue, "文本模拟量", Text, WideLine, NoTerminals},
        {ExtendedText, "文字(扩展)", Text, TextLine, NoTerminals},
        {AnalogValue, "模拟量", Text, TextLine, NoTerminals},
        {DigitalClock, "数字式时钟", Text, TextLine, NoTerminals},

        {Bar, "棒图", Chart, ChartSize, NoTerminals},
        {ExtendedBar, "棒图(扩展)", Chart, ChartSize, NoTerminals},
        {Curve, "曲线", Chart, ChartSize, NoTerminals},
        {Pie, "饼图", Chart, DialSize, NoTerminals},
        {Dial, "表盘", Chart, DialSize, NoTerminals},
        {Clock, "时钟", Chart, DialSize, NoTerminals},
        {Rank, "功耗排名", Chart, ChartSize, NoTerminals},
        {Cursor, "游标", Chart, QSizeF(32, 120), NoTerminals},

        {Button, "按钮", Link, ButtonSize, NoTerminals},
        {HotSpot, "热点", Link, ButtonSize, NoTerminals},
        {GraphLink, "图形链接", Link, WideLine, NoTerminals},
        {Details, "详情", Link, ButtonSize, NoTerminals},
        {Circuit, "回路(设备)", Link, ChartSize, NoTerminals},

        {Animation, "动画", Picture, PictureSize, NoTerminals},
        {SvgPicture, "SVG矢量图元", Picture, PictureSize, NoTerminals},
        {CustomSymbol, "自定义图符", Picture, PictureSize, NoTerminals},
    };
    return kinds;
}

#endif
