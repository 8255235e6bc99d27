#include "chartitem.h"

#include "chartpainter.h"
#include "itemkind.h"
#include "itempixmapcache.h"
#include "propertyattributes.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace {

using SpecificProperties = QVector<GraphicsItem::SpecificProperty>;

// Ids that several kinds share.
const QString IdCount = QStringLiteral("数据个数");
const QString IdMaximum = QStringLiteral("最大值");
const QString IdMinimum = QStringLiteral("最小值");
const QString IdSample = QStringLiteral("示例值");
const QString IdBarColour = QStringLiteral("柱颜色");

Property *countProperty(const QString &id, int minimum, int maximum)
{
    return new Property(id, Property::Int, PropertyAttributes::range(minimum, maximum, -1, 1));
}

Property *valueProperty(const QString &id)
{
    return new Property(id, Property::Double, PropertyAttributes::range(-1e9, 1e9, 2, 1.0));
}

Property *pointProperty()
{
    return new Property(PropertyIds::PointBinding, Property::String);
}

Property *colorProperty(const QString &id)
{
    return new Property(id, Property::Color);
}

// QFont::key() is too slow to build at every paint, and nearly all items share one font.
QString fontKey(const QFont &font)
{
    static QFont last;
    static QString lastKey;
    if (lastKey.isEmpty() || !(font == last)) {
        last = font;
        lastKey = font.key();
    }
    return lastKey;
}

const SpecificProperties &barProperties()
{
    static const SpecificProperties bar{
        {countProperty(IdCount, 1, 32), 5},
        {valueProperty(IdMaximum), 100.0},
        {valueProperty(IdMinimum), 0.0},
        {colorProperty(IdBarColour), QColor(0, 200, 120)},
        {pointProperty(), QString()},
    };
    return bar;
}

const SpecificProperties &extendedBarProperties()
{
    static const SpecificProperties extBar{
        {countProperty(IdCount, 1, 16), 4},
        {countProperty(QStringLiteral("系列数"), 1, 6), 3},
        {valueProperty(IdMaximum), 100.0},
        {valueProperty(IdMinimum), 0.0},
        {new Property(QStringLiteral("图例"), Property::Bool), true},
        {pointProperty(), QString()},
    };
    return extBar;
}

const SpecificProperties &curveProperties()
{
    static const SpecificProperties curve{
        {countProperty(QStringLiteral("曲线条数"), 1, 4), 2},
        {new Property(
             QStringLiteral("时间跨度"), Property::Popup, PropertyAttributes::items(ChartPainter::spanNames())),
            ChartPainter::spanNames().at(1)},
        {new Property(QStringLiteral("网格"), Property::Bool), true},
        {valueProperty(IdMaximum), 100.0},
        {valueProperty(IdMinimum), 0.0},
        {pointProperty(), QString()},
    };
    return curve;
}

const SpecificProperties &pieProperties()
{
    static const SpecificProperties pie{
        {countProperty(QStringLiteral("扇区数"), 2, 8), 4},
        {pointProperty(), QString()},
    };
    return pie;
}

const SpecificProperties &dialProperties()
{
    static const SpecificProperties dial{
        {valueProperty(IdMaximum), 100.0},
        {valueProperty(IdMinimum), 0.0},
        {valueProperty(IdSample), 60.0},
        {countProperty(QStringLiteral("刻度数"), 1, 50), 10},
        {pointProperty(), QString()},
    };
    return dial;
}

const SpecificProperties &clockProperties()
{
    static const SpecificProperties clock{
        {colorProperty(QStringLiteral("表盘颜色")), QColor(36, 44, 60)},
    };
    return clock;
}

const SpecificProperties &rankProperties()
{
    static const SpecificProperties rank{
        {countProperty(QStringLiteral("条数"), 1, 20), 5},
        {colorProperty(IdBarColour), QColor(255, 150, 40)},
        {pointProperty(), QString()},
    };
    return rank;
}

const SpecificProperties &cursorProperties()
{
    static const SpecificProperties cursor{
        {valueProperty(IdMaximum), 100.0},
        {valueProperty(IdMinimum), 0.0},
        {valueProperty(IdSample), 60.0},
        {colorProperty(IdBarColour), QColor(230, 40, 40)},
        {pointProperty(), QString()},
    };
    return cursor;
}

const SpecificProperties &noProperties()
{
    static const SpecificProperties none;
    return none;
}

} // namespace

// One chart kind: its own properties, whether it shows labels, how it is drawn, the colour of its block when too small for detail (-1: the first
// palette colour) and whether it strokes its own outline instead of a box.
struct ChartItem::Row
{
    int type;
    const SpecificProperties &(*specifics)();
    bool text;
    ChartPainter::Draw draw;
    int mainColour;
    bool ownFrame;
};

namespace {

const ChartItem::Row ChartRows[] = {
    {ItemKind::Bar, &barProperties, true, &ChartPainter::bars, ChartItem::BarColor, false},
    {ItemKind::ExtendedBar, &extendedBarProperties, true, &ChartPainter::extendedBars, -1, false},
    {ItemKind::Curve, &curveProperties, true, &ChartPainter::curves, -1, false},
    {ItemKind::Pie, &pieProperties, false, &ChartPainter::pie, -1, true},
    {ItemKind::Dial, &dialProperties, true, &ChartPainter::dial, -1, true},
    {ItemKind::Clock, &clockProperties, false, &ChartPainter::clock, ChartItem::ClockFace, true},
    {ItemKind::Rank, &rankProperties, true, &ChartPainter::rank, ChartItem::RankColor, false},
    {ItemKind::Cursor, &cursorProperties, false, &ChartPainter::cursor, ChartItem::CursorColor, true},
};

} // namespace

const ChartItem::Row &ChartItem::rowOf(int type)
{
    for (const Row &row : ChartRows) {
        if (row.type == type)
            return row;
    }
    // Not reached through the kind table; any other number draws its frame only.
    static const Row empty{type, &noProperties, false, nullptr, -1, false};
    return empty;
}

ChartItem::ChartItem(const ItemKind &kind)
    : GraphicsItem(kind)
    , m_row(rowOf(kind.type))
{ }

QTime ChartItem::sampleTime()
{
    // Ten past ten: the hands stand apart and frame the centre, the usual showcase time.
    return QTime(10, 8, 30);
}

const QVector<GraphicsItem::SpecificProperty> &ChartItem::specifics() const
{
    return m_row.specifics();
}

bool ChartItem::hasText() const
{
    return m_row.text;
}

QString ChartItem::lookKey() const
{
    QString key;
    key.reserve(128);
    key.append(QLatin1String("chart"));
    const int kindType = type();
    const int penData[] = {kindType, penWidth(), penStyle(), int(hasFill())};
    ItemPixmapCache::append(key, penData, sizeof(penData));
    ItemPixmapCache::append(key, penColor());
    if (hasFill())
        ItemPixmapCache::append(key, brushColor());
    if (hasText())
        key.append(fontKey(font()));
    // The binding does not change the look: items bound to different points share pixmaps.
    for (int i = 0; i < specifics().size(); ++i) {
        if (!isBinding(i))
            ItemPixmapCache::append(key, specificValue(i));
    }
    return key;
}

void ChartItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *)
{
    const QRectF r = rect().normalized();
    if (r.isEmpty())
        return;
    const ChartPainter chart(*this, QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform()));
    const auto draw = [this, &chart](QPainter *p) { chart.paint(p, m_row.draw, m_row.mainColour, m_row.ownFrame); };
    if (!ItemPixmapCache::usable(painter)) {
        draw(painter);
        return;
    }
    const double margin = pen().style() == Qt::NoPen ? 0.0 : pen().widthF() / 2;
    ItemPixmapCache::paint(painter, r.adjusted(-margin, -margin, margin, margin), lookKey(), draw);
}
