#include "textitem.h"

#include "itemkind.h"
#include "propertyattributes.h"
#include "textblock.h"

#include <QDateTime>
#include <QPainter>

namespace {

// Index of each specific property in the tables below.
enum
{
    PlainString = 0,
    PlainAlign,
    PlainColor,
    PlainWrap
};
enum
{
    ValuePrefix = 0,
    ValueFormat,
    ValueUnit,
    ValuePoint,
    ValueAlign,
    ValueColor
};
enum
{
    ExtString = 0,
    ExtAlign,
    ExtVAlign,
    ExtSpacing,
    ExtFrame,
    ExtColor
};
enum
{
    AnalogFormat = 0,
    AnalogUnit,
    AnalogPoint,
    AnalogLimitColor,
    AnalogUpper,
    AnalogLower
};
enum
{
    ClockFormat = 0
};

// Room kept between a frame and the text.
constexpr double Padding = 2.0;

const QStringList &horizontalNames()
{
    static const QStringList names{QStringLiteral("左对齐"), QStringLiteral("居中"), QStringLiteral("右对齐")};
    return names;
}

const QStringList &formatItems()
{
    static const QStringList items{
        QStringLiteral("0"), QStringLiteral("0.0"), QStringLiteral("0.00"), QStringLiteral("0.000")};
    return items;
}

Qt::Alignment horizontal(int index)
{
    switch (index) {
    case 1: return Qt::AlignHCenter;
    case 2: return Qt::AlignRight;
    default: return Qt::AlignLeft;
    }
}

Qt::Alignment vertical(int index)
{
    switch (index) {
    case 0: return Qt::AlignTop;
    case 2: return Qt::AlignBottom;
    default: return Qt::AlignVCenter;
    }
}

// "0.00" means two decimals; anything unexpected falls back to the usual two.
int decimals(const QString &format)
{
    if (format.isEmpty() || format.at(0) != QLatin1Char('0'))
        return 2;
    const int dot = format.indexOf(QLatin1Char('.'));
    return dot < 0 ? 0 : qBound(0, format.size() - dot - 1, 6);
}

QString sampleValue(const QString &format, const QString &unit)
{
    QString text = QString::number(TextItem::SampleValue, 'f', decimals(format));
    if (!unit.isEmpty())
        text += QLatin1Char(' ') + unit;
    return text;
}

} // namespace

namespace {

using SpecificProperties = QVector<GraphicsItem::SpecificProperty>;

Property *textProperty(const char *id)
{
    return new Property(QString::fromUtf8(id), Property::String);
}

Property *alignProperty()
{
    return new Property(QStringLiteral("对齐"), Property::Enum, PropertyAttributes::enumNames(horizontalNames()));
}

Property *colorProperty(const char *id)
{
    return new Property(QString::fromUtf8(id), Property::Color);
}

// The colour of the text itself; an invalid one means the line colour.
Property *textColourProperty()
{
    return colorProperty("文字颜色");
}

Property *formatProperty(const char *id)
{
    return new Property(QString::fromUtf8(id), Property::Popup, PropertyAttributes::items(formatItems()));
}

Property *limitProperty(const char *id)
{
    return new Property(QString::fromUtf8(id), Property::Double, PropertyAttributes::range(-1e9, 1e9, 3, 1.0));
}

// How a kind shows its text: an invalid colour means the item's line colour.
struct TextLook
{
    QColor colour;
    Qt::Alignment alignment;
    bool framed = false;
    bool wrap = false;
    double spacing = 1.0;
};

QString value(const TextItem &item, int index)
{
    return item.specificValue(index).toString();
}

const SpecificProperties &plainProperties()
{
    static const SpecificProperties plain{
        {new Property(PropertyIds::Text, Property::String), QStringLiteral("文字")},
        {alignProperty(), 0},
        {textColourProperty(), QColor()},
        {new Property(QStringLiteral("自动换行"), Property::Bool), false},
    };
    return plain;
}

QString plainText(const TextItem &item)
{
    return value(item, PlainString);
}

TextLook plainLook(const TextItem &item)
{
    return {item.specificValue(PlainColor).value<QColor>(),
        horizontal(item.specificValue(PlainAlign).toInt()) | Qt::AlignVCenter, false,
        item.specificValue(PlainWrap).toBool()};
}

const SpecificProperties &valueProperties()
{
    static const SpecificProperties value{
        {textProperty("前缀"), QStringLiteral("电流:")},
        {formatProperty("格式"), QStringLiteral("0.00")},
        {textProperty("单位"), QStringLiteral("A")},
        {new Property(PropertyIds::PointBinding, Property::String), QString()},
        {alignProperty(), 0},
        {textColourProperty(), QColor()},
    };
    return value;
}

QString valueText(const TextItem &item)
{
    const QString prefix = value(item, ValuePrefix);
    const QString sample = sampleValue(value(item, ValueFormat), value(item, ValueUnit));
    return prefix.isEmpty() ? sample : prefix + QLatin1Char(' ') + sample;
}

TextLook valueLook(const TextItem &item)
{
    return {item.specificValue(ValueColor).value<QColor>(),
        horizontal(item.specificValue(ValueAlign).toInt()) | Qt::AlignVCenter};
}

const SpecificProperties &extendedProperties()
{
    static const SpecificProperties extended{
        {new Property(PropertyIds::Text, Property::String), QStringLiteral("多行文字\n第二行")},
        {alignProperty(), 0},
        {new Property(QStringLiteral("垂直对齐"), Property::Enum,
             PropertyAttributes::enumNames({QStringLiteral("顶部"), QStringLiteral("居中"), QStringLiteral("底部")})),
            1},
        {new Property(QStringLiteral("行距"), Property::Double, PropertyAttributes::range(0.5, 5.0, 2, 0.1)), 1.0},
        {new Property(QStringLiteral("边框"), Property::Bool), false},
        {textColourProperty(), QColor()},
    };
    return extended;
}

QString extendedText(const TextItem &item)
{
    return value(item, ExtString);
}

TextLook extendedLook(const TextItem &item)
{
    return {item.specificValue(ExtColor).value<QColor>(),
        horizontal(item.specificValue(ExtAlign).toInt()) | vertical(item.specificValue(ExtVAlign).toInt()),
        item.specificValue(ExtFrame).toBool(), true, item.specificValue(ExtSpacing).toDouble()};
}

const SpecificProperties &analogProperties()
{
    static const SpecificProperties analog{
        {formatProperty("格式"), QStringLiteral("0.00")},
        {textProperty("单位"), QString()},
        {new Property(PropertyIds::PointBinding, Property::String), QString()},
        {colorProperty("越限颜色"), QColor(Qt::red)},
        {limitProperty("上限"), 1000.0},
        {limitProperty("下限"), 0.0},
    };
    return analog;
}

QString analogText(const TextItem &item)
{
    return sampleValue(value(item, AnalogFormat), value(item, AnalogUnit));
}

TextLook analogLook(const TextItem &item)
{
    // The sample value shows in the limit colour when it lies outside the limits.
    const bool overLimit = TextItem::SampleValue > item.specificValue(AnalogUpper).toDouble()
        || TextItem::SampleValue < item.specificValue(AnalogLower).toDouble();
    return {overLimit ? item.specificValue(AnalogLimitColor).value<QColor>() : QColor(),
        Qt::AlignRight | Qt::AlignVCenter, true};
}

const SpecificProperties &clockProperties()
{
    static const SpecificProperties clock{
        {new Property(QStringLiteral("显示格式"), Property::Popup,
             PropertyAttributes::items(
                 {QStringLiteral("hh:mm:ss"), QStringLiteral("yyyy-MM-dd hh:mm:ss"), QStringLiteral("yyyy-MM-dd")})),
            QStringLiteral("hh:mm:ss")},
    };
    return clock;
}

QString clockText(const TextItem &item)
{
    // A fixed sample time: edit-time renders must not depend on when they are made.
    static const QDateTime sample(QDate(2018, 3, 16), QTime(12, 34, 56));
    return sample.toString(value(item, ClockFormat));
}

TextLook clockLook(const TextItem &)
{
    return {QColor(), Qt::AlignCenter};
}

} // namespace

// One text kind: its own properties, and what and how it shows.
struct TextItem::Row
{
    int type;
    const SpecificProperties &(*specifics)();
    QString (*text)(const TextItem &item);
    TextLook (*look)(const TextItem &item);
};

namespace {

const TextItem::Row TextRows[] = {
    {ItemKind::PlainText, &plainProperties, &plainText, &plainLook},
    {ItemKind::TextValue, &valueProperties, &valueText, &valueLook},
    {ItemKind::ExtendedText, &extendedProperties, &extendedText, &extendedLook},
    {ItemKind::AnalogValue, &analogProperties, &analogText, &analogLook},
    {ItemKind::DigitalClock, &clockProperties, &clockText, &clockLook},
};

const SpecificProperties &noProperties()
{
    static const SpecificProperties none;
    return none;
}

QString noText(const TextItem &)
{
    return QString();
}

} // namespace

const TextItem::Row &TextItem::rowOf(int type)
{
    for (const Row &row : TextRows) {
        if (row.type == type)
            return row;
    }
    // Not reached through the kind table; any other number shows an empty text.
    static const Row empty{type, &noProperties, &noText, &clockLook};
    return empty;
}

TextItem::TextItem(const ItemKind &kind)
    : GraphicsItem(kind)
    , m_row(rowOf(kind.type))
{ }

TextItem::~TextItem() = default;

const QVector<GraphicsItem::SpecificProperty> &TextItem::specifics() const
{
    return m_row.specifics();
}

void TextItem::specificChanged(int)
{
    // Any value may change what is shown.
    m_shownValid = false;
}

QString TextItem::displayText() const
{
    if (!m_shownValid) {
        m_shown = m_row.text(*this);
        m_shownValid = true;
    }
    return m_shown;
}

void TextItem::drawContent(QPainter *painter, const QStyleOptionGraphicsItem *)
{
    const QRectF r = rect().normalized();
    const TextLook look = m_row.look(*this);
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (look.framed) {
        painter->drawRect(r);
    } else if (hasFill()) {
        painter->fillRect(r, brush());
    }

    const double pad = qMin(Padding, r.width() / 4);
    const QRectF box = r.adjusted(pad, 0, -pad, 0);
    if (!m_block)
        m_block = std::make_unique<TextBlock>();
    m_block->prepare(displayText(), font(), box.size(), look.alignment, look.wrap, look.spacing);
    // Not pen() itself: text stays visible when the line style is "none".
    const QColor colour = look.colour.isValid() ? look.colour : penColor().isValid() ? penColor() : QColor(Qt::white);
    m_block->draw(painter, box.topLeft(), r, colour);
}
