#include "textitem.h"

#include "itemkind.h"
#include "itempixmapcache.h"
#include "propertyattributes.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTextLayout>

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

// Below this on-screen size text cannot be read; a bar where it would be is enough and
// keeps zoomed-out views of large screens fast.
constexpr double GreekPixels = 4.0;
// Room kept between a frame and the text.
constexpr double Padding = 2.0;

const QStringList &horizontalNames()
{
    static const QStringList names {
        QStringLiteral("左对齐"), QStringLiteral("居中"), QStringLiteral("右对齐")};
    return names;
}

const QStringList &formatItems()
{
    static const QStringList items {
        QStringLiteral("0"), QStringLiteral("0.0"), QStringLiteral("0.00"), QStringLiteral("0.000")};
    return items;
}

Qt::Alignment horizontal(int index)
{
    switch (index) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

Qt::Alignment vertical(int index)
{
    switch (index) {
    case 0:
        return Qt::AlignTop;
    case 2:
        return Qt::AlignBottom;
    default:
        return Qt::AlignVCenter;
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

// --- TextBlock

QFont TextBlock::pixelFont(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font;
    QFont f = font;
    f.setPixelSize(qMax(1, qRound(font.pointSizeF() * 96.0 / 72.0)));
    return f;
}

void TextBlock::prepare(const QString &text, const QFont &font, const QSizeF &box, Qt::Alignment alignment,
    bool wrap, double spacing)
{
    if (m_prepared && text == m_text && box == m_box && int(alignment) == m_alignment && wrap == m_wrap
        && spacing == m_spacing && font == m_font)
        return;
    m_text = text;
    m_font = font;
    m_pixelFont = pixelFont(font);
    m_box = box;
    m_alignment = int(alignment);
    m_wrap = wrap;
    m_spacing = spacing;
    m_prepared = true;
    layout();
}

namespace {

// One laid-out line of a paragraph, before the block's alignment places it.
struct LaidLine
{
    int start;
    int length;
    double y;
    double height;
    double ascent;
    double natural;
    QList<QGlyphRun> runs;
};

// Lays one paragraph out from y on, for at most `limit` of height (further lines could not
// show). Returns the y after its last line.
double layoutParagraph(const QString &text, int from, int to, const QFont &font, bool wrap, double width,
    double spacing, double y, double limit, QVector<LaidLine> &out)
{
    QTextLayout layout(text.mid(from, to - from), font);
    QTextOption option;
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(wrap ? qMax(1.0, width) : 1e6);
        // Every line at the top: its glyphs are placed by the block, which knows the alignment.
        line.setPosition(QPointF(0, 0));
        int length = line.textLength();
        // A separator that ended the line is not part of what is drawn.
        while (length > 0 && text.at(from + line.textStart() + length - 1) == QChar::LineSeparator)
            --length;
        out.append({from + line.textStart(), length, y, line.height(), line.ascent(), line.naturalTextWidth(), {}});
        y += line.height() * spacing;
        if (y > limit)
            break;
    }
    layout.endLayout();
    const int first = out.size() - layout.lineCount();
    for (int i = 0; i < layout.lineCount(); ++i)
        out[first + i].runs = layout.lineAt(i).glyphRuns();
    return y;
}

} // namespace

void TextBlock::layout()
{
    m_key.clear();
    m_lines.clear();
    m_runs.clear();
    m_bounds = QRectF();

    // Each paragraph gets a layout of its own and only lines that can show inside the box are
    // laid out: one layout over many lines costs time that grows with the square of their
    // number, and a text of a million lines in a box of a few must not be shaped whole.
    const Qt::Alignment alignment(m_alignment);
    const double width = m_box.width();
    const double boxHeight = qMax(0.0, m_box.height());
    const QFontMetricsF metrics(m_pixelFont);
    // Lines beyond this much height from the start can never reach the box.
    const double limit = boxHeight + 2 * metrics.height() + 1;
    const bool fromBottom = alignment & Qt::AlignBottom;

    QVector<LaidLine> lines;
    double y = 0;
    if (!fromBottom) {
        int from = 0;
        while (y <= limit) {
            int to = m_text.indexOf(QLatin1Char('\n'), from);
            const bool last = to < 0;
            if (last)
                to = m_text.size();
            y = layoutParagraph(m_text, from, to, m_pixelFont, m_wrap, width, m_spacing, y, limit, lines);
            if (last)
                break;
            from = to + 1;
        }
    } else {
        // Bottom-aligned text shows its last lines: paragraphs are taken from the end until
        // they fill the box, then stacked in their order.
        QVector<QVector<LaidLine>> paragraphs;
        double taken = 0;
        int to = m_text.size();
        while (taken <= limit) {
            const int newline = to > 0 ? m_text.lastIndexOf(QLatin1Char('\n'), to - 1) : -1;
            const int from = newline + 1;
            QVector<LaidLine> paragraph;
            // All of a paragraph's lines: its last ones are those that show.
            taken += layoutParagraph(m_text, from, to, m_pixelFont, m_wrap, width, m_spacing, 0, 1e300, paragraph);
            paragraphs.prepend(paragraph);
            if (newline < 0)
                break;
            to = newline;
        }
        for (const QVector<LaidLine> &paragraph : qAsConst(paragraphs)) {
            for (LaidLine line : paragraph) {
                line.y = y;
                y += line.height * m_spacing;
                lines.append(line);
            }
        }
    }
    const double height = lines.isEmpty() ? 0.0 : lines.last().y + lines.last().height;

    double top = 0;
    if (fromBottom) {
        top = m_box.height() - height;
    } else if (alignment & Qt::AlignVCenter) {
        // Text taller than its box shows its first line rather than the middle, which may
        // well be the gap between two lines.
        const double first = lines.isEmpty() ? height : lines.first().height;
        top = (m_box.height() - (height > m_box.height() ? first : height)) / 2;
    }

    for (const LaidLine &line : qAsConst(lines)) {
        double x = 0;
        if (alignment & Qt::AlignRight)
            x = width - line.natural;
        else if (alignment & Qt::AlignHCenter)
            x = (width - line.natural) / 2;
        const QPointF shift(x, line.y + top);
        const QRectF rect(x, line.y + top, line.natural, line.height);
        m_lines.append({line.start, line.length, QPointF(x, line.y + top + line.ascent), rect});
        m_bounds = m_bounds.isNull() ? rect : m_bounds.united(rect);
        for (QGlyphRun run : line.runs) {
            QVector<QPointF> positions = run.positions();
            for (QPointF &p : positions)
                p += shift;
            run.setPositions(positions);
            m_runs.append(run);
        }
    }
}

void TextBlock::draw(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color)
{
    if (m_text.isEmpty() || m_lines.isEmpty())
        return;
    // SVG export and printing get real text.
    if (ItemPixmapCache::drawsVectors(painter)) {
        drawText(painter, origin, clip, color);
        return;
    }

    const double size = m_pixelFont.pixelSize();
    if (size * QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform())
        < GreekPixels) {
        for (const Line &line : m_lines) {
            const QRectF bar(origin.x() + line.rect.x(), origin.y() + line.baseline.y() - 0.65 * size,
                line.rect.width(), 0.5 * size);
            const QRectF visible = bar & clip;
            if (!visible.isEmpty())
                painter->fillRect(visible, color);
        }
        return;
    }
    if (ItemPixmapCache::usable(painter))
        drawCached(painter, origin, clip, color);
    else
        drawGlyphs(painter, origin, clip, color);
}

void TextBlock::drawText(
    QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color) const
{
    // Real text, so that SVG keeps it as <text> and print stays sharp.
    painter->save();
    painter->setPen(color);
    painter->setFont(m_pixelFont);
    const bool fits = clip.contains(m_bounds.translated(origin));
    // The SVG engine ignores clipping, so there only what fits is written: whole lines, and
    // of each line the characters that lie inside the clip.
    if (fits || painter->paintEngine()->type() != QPaintEngine::SVG) {
        if (!fits)
            painter->setClipRect(clip, Qt::IntersectClip);
        for (const Line &line : m_lines)
            painter->drawText(origin + line.baseline, m_text.mid(line.start, line.length));
        painter->restore();
        return;
    }
    const QFontMetricsF metrics(m_pixelFont);
    const double size = m_pixelFont.pixelSize();
    const QRectF inside = clip.adjusted(-1, -1, 1, 1);
    for (const Line &line : m_lines) {
        const QPointF base = origin + line.baseline;
        // Where the glyphs of a line lie: Chinese characters fill about this band.
        if (base.y() - 0.88 * size < inside.top() || base.y() + 0.12 * size > inside.bottom())
            continue;
        const QString text = m_text.mid(line.start, line.length);
        double x = base.x();
        double from = 0;
        int first = -1;
        int last = -1;
        for (int i = 0; i < text.size();) {
            const int n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const double advance = metrics.horizontalAdvance(text.mid(i, n));
            if (x >= inside.left() && x + advance <= inside.right()) {
                if (first < 0) {
                    first = i;
                    from = x;
                }
                last = i + n;
            }
            x += advance;
            i += n;
        }
        if (first >= 0)
            painter->drawText(QPointF(from, base.y()), text.mid(first, last - first));
    }
    painter->restore();
}

void TextBlock::drawGlyphs(
    QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color) const
{
    // Glyphs may overhang their advance a little; clip whenever the text comes near the edge.
    const bool clipped = !clip.adjusted(1, 1, -1, -1).contains(m_bounds.translated(origin));
    if (clipped) {
        painter->save();
        painter->setClipRect(clip, Qt::IntersectClip);
    }
    painter->setPen(color);
    for (const QGlyphRun &run : m_runs)
        painter->drawGlyphRun(origin, run);
    if (clipped)
        painter->restore();
}

void TextBlock::drawCached(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color)
{
    // The part of the text that can show, relative to the box, with room for overhanging glyphs.
    const double overhang = 0.25 * m_pixelFont.pixelSize();
    const QRectF area
        = m_bounds.adjusted(-overhang, -overhang, overhang, overhang) & clip.translated(-origin);
    if (area.isEmpty())
        return;
    // Built again only when something changed: a long text makes a long key.
    if (m_key.isEmpty() || area != m_keyArea || color.rgba() != m_keyColor) {
        m_keyArea = area;
        m_keyColor = color.rgba();
        const QString font = m_font.key();
        const double numbers[] = {m_box.width(), m_box.height(), m_spacing, area.x(), area.y()};
        const int integers[] = {m_alignment, int(m_wrap), int(m_keyColor), m_text.size(), font.size()};
        m_key = QStringLiteral("text");
        ItemPixmapCache::append(m_key, numbers, sizeof(numbers));
        ItemPixmapCache::append(m_key, integers, sizeof(integers));
        m_key.append(m_text);
        m_key.append(font);
    }
    // The corner of what shows goes on a whole device pixel: every copy of a text gets the
    // same pixels, and the glyphs stay as sharp as the font engine made them.
    const QPointF corner = origin + area.topLeft();
    ItemPixmapCache::paint(
        painter, QRectF(QPointF(), area.size()), m_key,
        [&](QPainter *p) { drawGlyphs(p, -area.topLeft(), clip.translated(-corner), color); },
        ItemPixmapCache::WholePixel, corner);
}

// --- TextItem

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
    static const SpecificProperties plain {
        {new Property(PropertyIds::Text, Property::String), QStringLiteral("文字")},
        {alignProperty(), 0},
        {colorProperty("文字颜色"), QColor()},
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
    static const SpecificProperties value {
        {textProperty("前缀"), QStringLiteral("电流:")},
        {formatProperty("格式"), QStringLiteral("0.00")},
        {textProperty("单位"), QStringLiteral("A")},
        {new Property(PropertyIds::PointBinding, Property::String), QString()},
        {alignProperty(), 0},
        {colorProperty("文字颜色"), QColor()},
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
    static const SpecificProperties extended {
        {new Property(PropertyIds::Text, Property::String), QStringLiteral("多行文字\n第二行")},
        {alignProperty(), 0},
        {new Property(QStringLiteral("垂直对齐"), Property::Enum,
             PropertyAttributes::enumNames({QStringLiteral("顶部"), QStringLiteral("居中"), QStringLiteral("底部")})),
            1},
        {new Property(QStringLiteral("行距"), Property::Double, PropertyAttributes::range(0.5, 5.0, 2, 0.1)), 1.0},
        {new Property(QStringLiteral("边框"), Property::Bool), false},
        {colorProperty("文字颜色"), QColor()},
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
    static const SpecificProperties analog {
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
    static const SpecificProperties clock {
        {new Property(QStringLiteral("显示格式"), Property::Popup,
             PropertyAttributes::items({QStringLiteral("hh:mm:ss"), QStringLiteral("yyyy-MM-dd hh:mm:ss"),
                 QStringLiteral("yyyy-MM-dd")})),
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
    static const Row empty {type, &noProperties, &noText, &clockLook};
    return empty;
}

TextItem::TextItem(const ItemKind &kind)
    : GraphicsItem(kind)
    , m_row(rowOf(kind.type))
{
}

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
    const QColor colour = look.colour.isValid() ? look.colour
        : penColor().isValid()                  ? penColor()
                                                : QColor(Qt::white);
    m_block->draw(painter, box.topLeft(), r, colour);
}
