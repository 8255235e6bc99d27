#include "textblock.h"

#include "itempixmapcache.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTextLayout>

namespace {

// Below this on-screen size text cannot be read; a bar where it would be is enough and
// keeps zoomed-out views of large screens fast.
constexpr double GreekPixels = 4.0;

} // namespace

QFont TextBlock::pixelFont(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font;
    QFont f = font;
    f.setPixelSize(qMax(1, qRound(font.pointSizeF() * 96.0 / 72.0)));
    return f;
}

void TextBlock::prepare(
    const QString &text, const QFont &font, const QSizeF &box, Qt::Alignment alignment, bool wrap, double spacing)
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

// All paragraphs from the first on, until they pass `limit`.
QVector<LaidLine> layoutFromTop(
    const QString &text, const QFont &font, bool wrap, double width, double spacing, double limit)
{
    QVector<LaidLine> lines;
    double y = 0;
    int from = 0;
    while (y <= limit) {
        int to = text.indexOf(QLatin1Char('\n'), from);
        const bool last = to < 0;
        if (last)
            to = text.size();
        y = layoutParagraph(text, from, to, font, wrap, width, spacing, y, limit, lines);
        if (last)
            break;
        from = to + 1;
    }
    return lines;
}

// Bottom-aligned text shows its last lines: paragraphs are taken from the end until they
// fill the box, then stacked in their order.
QVector<LaidLine> layoutFromBottom(
    const QString &text, const QFont &font, bool wrap, double width, double spacing, double limit)
{
    QVector<QVector<LaidLine>> paragraphs;
    double taken = 0;
    int to = text.size();
    while (taken <= limit) {
        const int newline = to > 0 ? text.lastIndexOf(QLatin1Char('\n'), to - 1) : -1;
        const int from = newline + 1;
        QVector<LaidLine> paragraph;
        // All of a paragraph's lines: its last ones are those that show.
        taken += layoutParagraph(text, from, to, font, wrap, width, spacing, 0, 1e300, paragraph);
        paragraphs.prepend(paragraph);
        if (newline < 0)
            break;
        to = newline;
    }
    QVector<LaidLine> lines;
    double y = 0;
    for (const QVector<LaidLine> &paragraph : qAsConst(paragraphs)) {
        for (LaidLine line : paragraph) {
            line.y = y;
            y += line.height * spacing;
            lines.append(line);
        }
    }
    return lines;
}

// Where a line of natural width `natural` starts in a box `width` wide.
double lineStart(Qt::Alignment alignment, double width, double natural)
{
    if (alignment & Qt::AlignRight)
        return width - natural;
    if (alignment & Qt::AlignHCenter)
        return (width - natural) / 2;
    return 0;
}

// The characters of one line's `text` that lie wholly inside `inside` horizontally, drawn
// at the baseline `base`.
void drawCharactersInside(
    QPainter *painter, const QFontMetricsF &metrics, const QString &text, const QPointF &base, const QRectF &inside)
{
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

    const QVector<LaidLine> lines = fromBottom ? layoutFromBottom(m_text, m_pixelFont, m_wrap, width, m_spacing, limit)
                                               : layoutFromTop(m_text, m_pixelFont, m_wrap, width, m_spacing, limit);
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
        const double x = lineStart(alignment, width, line.natural);
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
    if (size * QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform()) < GreekPixels) {
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

void TextBlock::drawText(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color) const
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
        drawCharactersInside(painter, metrics, m_text.mid(line.start, line.length), base, inside);
    }
    painter->restore();
}

void TextBlock::drawGlyphs(QPainter *painter, const QPointF &origin, const QRectF &clip, const QColor &color) const
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
    const QRectF area = m_bounds.adjusted(-overhang, -overhang, overhang, overhang) & clip.translated(-origin);
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
