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

namespace ItemKindSizes {

// Click sizes: equipment stands upright on its feeder, texts are one line high,
// charts and clocks are large enough to read.
inline const QSizeF NoClick;
inline const QSizeF Upright(24, 48);
inline const QSizeF Square(40, 40);
inline const QSizeF Transformer(40, 64);
inline const QSizeF TextLine(96, 24);
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
        {Line, "直线", Shape, NoClick},
        {Rectangle, "矩形", Shape, NoClick},
        {Triangle, "三角形", Shape, NoClick},
        {Ellipse, "椭圆", Shape, NoClick},
        {Arc, "圆弧", Shape, NoClick},
        {Chord, "弦", Shape, NoClick},
        {Sector, "扇形", Shape, NoClick},
        {Grid, "网格", Shape, NoClick},

        {Breaker, "开关", Symbol, Upright},
        {BreakerPicture, "开关图形", Symbol, Upright},
        {Disconnector, "刀闸", Symbol, Upright},
        {Capacitor, "电容器", Symbol, Upright},
        {BreakerTruck, "手车", Symbol, Upright},
        {Fuse, "熔断器", Symbol, Upright},
        {Reactor, "电抗", Symbol, Upright},
        {ArcSuppressionCoil, "消弧线圈", Symbol, Upright},
        {Arrester, "避雷针", Symbol, Upright},
        {Generator, "发电机", Symbol, Square},
        {Motor, "电动机", Symbol, Square},
        {Earth, "接地符", Symbol, Upright},
        {MainTransformer, "主变压器", Symbol, Transformer},
        {DistributionTransformer, "配变压器", Symbol, Transformer},
        {CurrentTransformer, "电流互感器", Symbol, Upright},
        {VoltageTransformer, "电压互感器", Symbol, Transformer},
        {Lamp, "灯", Symbol, Square},
        {Bell, "电铃", Symbol, Square},
        {Diode, "二极管", Symbol, Upright},
        {Danger, "危险标示", Symbol, Square},
        {CapacityPlan, "容量(俯视图)", Symbol, Square},
        {CapacityFront, "容量(正视图)", Symbol, Upright},

        {PlainText, "文字", Text, TextLine},
        {TextValue, "文本模拟量", Text, TextLine},
        {ExtendedText, "文字(扩展)", Text, TextLine},
        {AnalogValue, "模拟量", Text, TextLine},
        {DigitalClock, "数字式时钟", Text, TextLine},

        {Bar, "棒图", Chart, ChartSize},
        {ExtendedBar, "棒图(扩展)", Chart, ChartSize},
        {Curve, "曲线", Chart, ChartSize},
        {Pie, "饼图", Chart, DialSize},
        {Dial, "表盘", Chart, DialSize},
        {Clock, "时钟", Chart, DialSize},
        {Rank, "功耗排名", Chart, ChartSize},
        {Cursor, "游标", Chart, QSizeF(32, 120)},

        {Button, "按钮", Link, ButtonSize},
        {HotSpot, "热点", Link, ButtonSize},
        {GraphLink, "图形链接", Link, ButtonSize},
        {Details, "详情", Link, ButtonSize},
        {Circuit, "回路(设备)", Link, ChartSize},

        {Animation, "动画", Picture, PictureSize},
        {SvgPicture, "SVG矢量图元", Picture, PictureSize},
        {CustomSymbol, "自定义图符", Picture, PictureSize},
    };
    return kinds;
}

#endif
