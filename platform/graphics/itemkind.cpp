#include "itemkind.h"

#include "chartitem.h"
#include "graphicsitem.h"
#include "pictureitem.h"
#include "linkitem.h"
#include "shapeitem.h"
#include "symbolitem.h"
#include "textitem.h"

#include <QHash>

namespace {

// Click sizes: equipment stands upright on its feeder, texts are one line high,
// charts and clocks are large enough to read.
const QSizeF NoClick;
const QSizeF Upright(24, 48);
const QSizeF Square(40, 40);
const QSizeF Transformer(40, 64);
const QSizeF TextLine(96, 24);
const QSizeF ChartSize(200, 140);
const QSizeF DialSize(120, 120);
const QSizeF ButtonSize(88, 28);
const QSizeF PictureSize(64, 64);

} // namespace

const QVector<ItemKind> &ItemKind::all()
{
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

const ItemKind *ItemKind::find(int type)
{
    static const QHash<int, const ItemKind *> index = [] {
        QHash<int, const ItemKind *> h;
        for (const ItemKind &k : all())
            h.insert(k.type, &k);
        return h;
    }();
    return index.value(type, nullptr);
}

namespace {

template<typename Item>
GraphicsItem *make(const ItemKind &kind)
{
    return new Item(kind);
}

// The class of each family, in the order of ItemKind::Family.
GraphicsItem *(*const Makers[])(const ItemKind &) = {
    &make<ShapeItem>, &make<SymbolItem>, &make<TextItem>, &make<ChartItem>, &make<LinkItem>, &make<PictureItem>,
};
static_assert(sizeof(Makers) / sizeof(Makers[0]) == ItemKind::Picture + 1, "one class per family");

} // namespace

GraphicsItem *ItemKind::create(int type)
{
    const ItemKind *kind = find(type);
    return kind ? Makers[kind->family](*kind) : nullptr;
}
