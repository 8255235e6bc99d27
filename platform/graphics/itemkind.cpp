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
        {0x10016, "直线", Shape, NoClick},
        {0x10018, "矩形", Shape, NoClick},
        {0x10019, "三角形", Shape, NoClick},
        {0x1001a, "椭圆", Shape, NoClick},
        {0x1001c, "圆弧", Shape, NoClick},
        {0x1001d, "弦", Shape, NoClick},
        {0x1001e, "扇形", Shape, NoClick},
        {0x1001f, "网格", Shape, NoClick},

        {0x10008, "开关", Symbol, Upright},
        {0x10039, "开关图形", Symbol, Upright},
        {0x10009, "刀闸", Symbol, Upright},
        {0x1000a, "电容器", Symbol, Upright},
        {0x1000b, "手车", Symbol, Upright},
        {0x1000c, "熔断器", Symbol, Upright},
        {0x1000d, "电抗", Symbol, Upright},
        {0x1000e, "消弧线圈", Symbol, Upright},
        {0x1000f, "避雷针", Symbol, Upright},
        {0x10010, "发电机", Symbol, Square},
        {0x1002d, "电动机", Symbol, Square},
        {0x10011, "接地符", Symbol, Upright},
        {0x10012, "主变压器", Symbol, Transformer},
        {0x10013, "配变压器", Symbol, Transformer},
        {0x10014, "电流互感器", Symbol, Upright},
        {0x10015, "电压互感器", Symbol, Transformer},
        {0x1002a, "灯", Symbol, Square},
        {0x1002b, "电铃", Symbol, Square},
        {0x1002c, "二极管", Symbol, Upright},
        {0x1002e, "危险标示", Symbol, Square},
        {0x1003b, "容量(俯视图)", Symbol, Square},
        {0x1003c, "容量(正视图)", Symbol, Upright},

        {0x10027, "文字", Text, TextLine},
        {0x1003a, "文本模拟量", Text, TextLine},
        {0x10035, "文字(扩展)", Text, TextLine},
        {0x10007, "模拟量", Text, TextLine},
        {0x10024, "数字式时钟", Text, TextLine},

        {0x10020, "棒图", Chart, ChartSize},
        {0x10032, "棒图(扩展)", Chart, ChartSize},
        {0x10021, "曲线", Chart, ChartSize},
        {0x10030, "饼图", Chart, DialSize},
        {0x1002f, "表盘", Chart, DialSize},
        {0x10023, "时钟", Chart, DialSize},
        {0x10036, "功耗排名", Chart, ChartSize},
        {0x10037, "游标", Chart, QSizeF(32, 120)},

        {0x10025, "按钮", Link, ButtonSize},
        {0x10026, "热点", Link, ButtonSize},
        {0x10038, "图形链接", Link, ButtonSize},
        {0x10034, "详情", Link, ButtonSize},
        {0x10033, "回路(设备)", Link, ChartSize},

        {0x10022, "动画", Picture, PictureSize},
        {0x10031, "SVG矢量图元", Picture, PictureSize},
        {0x10029, "自定义图符", Picture, PictureSize},
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

GraphicsItem *ItemKind::create(int type)
{
    const ItemKind *kind = find(type);
    if (!kind)
        return nullptr;
    switch (kind->family) {
    case Shape: return new ShapeItem(*kind);
    case Text: return new TextItem(*kind);
    case Link: return new LinkItem(*kind);
    case Symbol: return new SymbolItem(*kind);
    case Chart: return new ChartItem(*kind);
    case Picture: return new PictureItem(*kind);
    }
    return nullptr;
}
