#include "chartpainter.h"

#include "chartitem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Labels smaller than this on screen are unreadable and only cost time.
constexpr double MinReadablePixels = 8.0;
// Below this on screen a chart is reduced to a coloured block.
constexpr double TinyPixels = 8.0;

// Sample share in [0.25, 0.95] of the i-th value: the golden-ratio sequence spreads the
// values evenly without any randomness, so every render of a chart is the same.
double sampleShare(int i)
{
    return 0.25 + 0.7 * std::fmod((i + 1) * 0.6180339887498949, 1.0);
}

const QColor &paletteColor(int i)
{
    static const QColor colours[] = {QColor(64, 160, 255), QColor(255, 170, 40), QColor(120, 210, 60),
        QColor(235, 70, 70), QColor(180, 100, 230), QColor(60, 210, 200), QColor(240, 220, 70), QColor(230, 120, 180)};
    return colours[i % 8];
}

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

// Room between the frame and the content; grows with the chart up to a limit.
double padding(const QRectF &r)
{
    const double extent = qMin(r.width(), r.height());
    return qMin(qBound(1.0, extent * 0.06, 8.0), extent / 4);
}

QRectF centredSquare(const QRectF &r, double pad)
{
    const double side = qMax(0.0, qMin(r.width(), r.height()) - 2 * pad);
    return QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
}

// Where a value lies between the limits, 0..1; a range without extent puts it at the start.
double fraction(double value, double minimum, double maximum)
{
    if (!(maximum > minimum))
        return 0.0;
    return qBound(0.0, (value - minimum) / (maximum - minimum), 1.0);
}

// Point on a circle at a compass angle (degrees clockwise from 12 o'clock).
QPointF onCircle(const QPointF &centre, double radius, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    return QPointF(centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a));
}
struct Labels
{
    bool show = false;
    QFont font;
    double height = 0;
};

Labels labelsFor(const QFont &font, double lod)
{
    Labels l;
    l.font = font;
    l.height = QFontMetricsF(font).height();
    l.show = l.height * lod >= MinReadablePixels;
    return l;
}

// Value labels and axes of a chart with a value range. Rows of text above (legend) and
// below (time labels) are reserved only when everything fits; `text` tells whether it did.
struct Axes
{
    QRectF inner;
    QRectF plot;
    double baseline = 0;
    bool text = false;
};

Axes drawValueAxes(QPainter *p, const QRectF &r, double minimum, double maximum, const QColor &ink,
    const Labels &labels, int rowsAbove, int rowsBelow)
{
    Axes a;
    const double pad = padding(r);
    a.inner = r.adjusted(pad, pad, -pad, -pad);
    a.plot = a.inner;
    if (labels.show) {
        const QFontMetricsF fm(labels.font);
        const QString top = number(maximum);
        const QString bottom = number(minimum);
        const double column = qMax(fm.horizontalAdvance(top), fm.horizontalAdvance(bottom)) + pad;
        const double fh = labels.height;
        if (a.inner.width() >= column * 3 && a.inner.height() >= fh * (2 + rowsAbove + rowsBelow)) {
            a.text = true;
            a.plot = a.inner.adjusted(column, fh * rowsAbove, 0, -fh * rowsBelow);
            p->setFont(labels.font);
            p->setPen(ink);
            p->drawText(QRectF(a.inner.left(), a.plot.top(), column - pad, fh), Qt::AlignRight | Qt::AlignTop, top);
            p->drawText(QRectF(a.inner.left(), a.plot.bottom() - fh, column - pad, fh),
                Qt::AlignRight | Qt::AlignBottom, bottom);
        }
    }
    // Bars grow from zero when the range spans it, otherwise from the lower limit.
    const double zero = maximum > minimum ? qBound(minimum, 0.0, maximum) : minimum;
    a.baseline = a.plot.bottom() - fraction(zero, minimum, maximum) * a.plot.height();
    p->setPen(QPen(ink, 0));
    p->drawLine(a.plot.topLeft(), a.plot.bottomLeft());
    p->drawLine(QPointF(a.plot.left(), a.baseline), QPointF(a.plot.right(), a.baseline));
    return a;
}

// A bar from the baseline to the sample share of the plot height.
QRectF barRect(const Axes &a, double x, double width, double share)
{
    const double top = a.plot.bottom() - share * a.plot.height();
    return QRectF(QPointF(x, qMin(top, a.baseline)), QPointF(x + width, qMax(top, a.baseline)));
}

} // namespace

ChartPainter::ChartPainter(const ChartItem &item, double lod)
    : m_item(item)
    , m_lod(lod)
{ }

const QStringList &ChartPainter::spanNames()
{
    static const QStringList names{QStringLiteral("1小时"), QStringLiteral("1天"), QStringLiteral("1周")};
    return names;
}

QVariant ChartPainter::value(int index) const
{
    return m_item.specificValue(index);
}

QColor ChartPainter::ink() const
{
    // Axes, ticks, labels and hands stay visible even when the frame is switched off.
    return m_item.penColor().isValid() ? m_item.penColor() : QColor(Qt::white);
}

QFont ChartPainter::labelFont() const
{
    // Item units are pixels at 100 % zoom; a pixel size keeps the labels the same on screen,
    // in cached pixmaps and in SVG whatever resolution each of those devices claims.
    QFont f = m_item.font();
    if (f.pixelSize() <= 0)
        f.setPixelSize(qMax(1, qRound(f.pointSizeF() * 96.0 / 72.0)));
    return f;
}

void ChartPainter::paint(QPainter *painter, Draw draw, int mainColour, bool ownFrame) const
{
    const QRectF r = m_item.rect().normalized();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (m_item.hasFill())
        painter->fillRect(r, m_item.brush());
    const bool tiny = qMin(r.width(), r.height()) * m_lod < TinyPixels;
    if (tiny) {
        // Too small to show detail: a block in the chart's main colour.
        const QColor main = mainColour >= 0 ? value(mainColour).value<QColor>() : paletteColor(0);
        const double pad = padding(r);
        painter->fillRect(r.adjusted(pad, pad, -pad, -pad), main.isValid() ? main : ink());
    } else if (draw) {
        (this->*draw)(painter, r);
    }
    if (!ownFrame || tiny) {
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(m_item.pen());
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
    }
    painter->restore();
}

void ChartPainter::bars(QPainter *p, const QRectF &r) const
{
    drawBars(p, r, false);
}

void ChartPainter::extendedBars(QPainter *p, const QRectF &r) const
{
    drawBars(p, r, true);
}

void ChartPainter::drawBars(QPainter *p, const QRectF &r, bool extended) const
{
    const double minimum = value(extended ? int(ChartItem::ExtMin) : int(ChartItem::BarMin)).toDouble();
    const double maximum = value(extended ? int(ChartItem::ExtMax) : int(ChartItem::BarMax)).toDouble();
    const int groups
        = qBound(1, value(extended ? int(ChartItem::ExtCount) : int(ChartItem::BarCount)).toInt(), extended ? 16 : 32);
    const int series = extended ? qBound(1, value(ChartItem::ExtSeries).toInt(), 6) : 1;
    const bool legend = extended && value(ChartItem::ExtLegend).toBool();
    const Labels labels = labelsFor(labelFont(), m_lod);
    const Axes a = drawValueAxes(p, r, minimum, maximum, ink(), labels, legend ? 1 : 0, 0);

    const double slot = a.plot.width() / groups;
    const double groupWidth = slot * (extended ? 0.8 : 0.6);
    const double barWidth = groupWidth / series;
    for (int i = 0; i < groups; ++i) {
        const double x = a.plot.left() + slot * i + (slot - groupWidth) / 2;
        for (int j = 0; j < series; ++j) {
            const QColor colour = extended ? paletteColor(j) : value(ChartItem::BarColor).value<QColor>();
            p->fillRect(barRect(a, x + j * barWidth, barWidth, sampleShare(i * 7 + j * 3)), colour);
        }
    }

    if (legend && a.text) {
        const QFontMetricsF fm(labels.font);
        const double fh = labels.height;
        const double swatch = fh * 0.6;
        double x = a.inner.left();
        p->setFont(labels.font);
        for (int j = 0; j < series; ++j) {
            const QString name = QStringLiteral("系列%1").arg(j + 1);
            const double width = swatch + fh * 0.25 + fm.horizontalAdvance(name);
            if (x + width > a.inner.right())
                break;
            p->fillRect(QRectF(x, a.inner.top() + (fh - swatch) / 2, swatch, swatch), paletteColor(j));
            p->setPen(ink());
            p->drawText(QRectF(x + swatch + fh * 0.25, a.inner.top(), width - swatch - fh * 0.25, fh),
                Qt::AlignLeft | Qt::AlignVCenter, name);
            x += width + fh * 0.4;
        }
    }
}

void ChartPainter::curves(QPainter *p, const QRectF &r) const
{
    const int lines = qBound(1, value(ChartItem::CurveLines).toInt(), 4);
    int span = spanNames().indexOf(value(ChartItem::CurveSpan).toString());
    if (span < 0)
        span = 1;
    // Per time span: grid divisions, their label step and unit, sample points and waves.
    static const int divisions[] = {6, 8, 7};
    static const int steps[] = {10, 3, 1};
    static const char *const units[] = {"分", "时", "天"};
    static const int points[] = {13, 25, 29};
    static const double waves[] = {1.0, 1.5, 3.5};

    const Labels labels = labelsFor(labelFont(), m_lod);
    const Axes a = drawValueAxes(
        p, r, value(ChartItem::CurveMin).toDouble(), value(ChartItem::CurveMax).toDouble(), ink(), labels, 0, 1);
    const QRectF &plot = a.plot;
    const int columns = divisions[span];

    if (value(ChartItem::CurveGrid).toBool()) {
        QColor dim = ink();
        dim.setAlpha(90);
        p->setPen(QPen(dim, 0, Qt::DotLine));
        for (int i = 1; i <= columns; ++i) {
            const double x = plot.left() + plot.width() * i / columns;
            p->drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
        for (int i = 0; i < 4; ++i) {
            const double y = plot.top() + plot.height() * i / 4;
            p->drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
    }

    if (a.text) {
        const QFontMetricsF fm(labels.font);
        const QString unit = QString::fromUtf8(units[span]);
        QStringList texts;
        double widest = 0;
        for (int i = 0; i <= columns; ++i) {
            texts << QString::number(i * steps[span]) + unit;
            widest = qMax(widest, fm.horizontalAdvance(texts.last()));
        }
        const double division = plot.width() / columns;
        const bool all = widest <= division * 0.9;
        // The first and last label must not run into each other.
        if (widest * 2 > plot.width())
            texts.clear();
        const QRectF row(a.inner.left(), plot.bottom(), a.inner.width(), labels.height);
        p->setFont(labels.font);
        p->setPen(ink());
        for (int i = 0; i < texts.size(); ++i) {
            if (!all && i != 0 && i != columns)
                continue;
            const double x = plot.left() + division * i;
            QRectF box(x - widest / 2, row.top(), widest, row.height());
            Qt::Alignment align = Qt::AlignHCenter;
            if (i == 0) {
                box = QRectF(x, row.top(), widest, row.height());
                align = Qt::AlignLeft;
            } else if (i == columns) {
                box = QRectF(x - widest, row.top(), widest, row.height());
                align = Qt::AlignRight;
            }
            p->drawText(box, align | Qt::AlignVCenter, texts.at(i));
        }
    }

    p->setRenderHint(QPainter::Antialiasing, true);
    p->setBrush(Qt::NoBrush);
    const int count = points[span];
    for (int k = 0; k < lines; ++k) {
        QPolygonF line;
        line.reserve(count);
        for (int i = 0; i < count; ++i) {
            const double x = double(i) / (count - 1);
            const double v = 0.5 + 0.28 * std::sin(2 * M_PI * (x * waves[span] + k * 0.23))
                + 0.12 * std::sin(2 * M_PI * (x * waves[span] * 3.1 + k * 0.41));
            line << QPointF(plot.left() + x * plot.width(), plot.bottom() - qBound(0.05, v, 0.95) * plot.height());
        }
        p->setPen(QPen(paletteColor(k), qMin(1.5, plot.height() / 20), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p->drawPolyline(line);
    }
}

void ChartPainter::pie(QPainter *p, const QRectF &r) const
{
    static const double weights[] = {0.30, 0.22, 0.16, 0.12, 0.08, 0.06, 0.04, 0.02};
    const int sectors = qBound(2, value(ChartItem::PieSectors).toInt(), 8);
    double total = 0;
    for (int i = 0; i < sectors; ++i)
        total += weights[i];
    const QRectF circle = centredSquare(r, padding(r));
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(m_item.pen());
    // Clockwise from 12 o'clock; the last sector ends exactly where the first began.
    int start = 90 * 16;
    double sum = 0;
    for (int i = 0; i < sectors; ++i) {
        sum += weights[i];
        const int end = 90 * 16 - qRound(sum / total * 360 * 16);
        p->setBrush(paletteColor(i));
        p->drawPie(circle, start, end - start);
        start = end;
    }
}

void ChartPainter::dial(QPainter *p, const QRectF &r) const
{
    const double minimum = value(ChartItem::DialMin).toDouble();
    const double maximum = value(ChartItem::DialMax).toDouble();
    const int ticks = qBound(1, value(ChartItem::DialTicks).toInt(), 50);
    const QRectF face = centredSquare(r, padding(r));
    const QPointF c = face.center();
    const double radius = face.width() / 2;
    // The scale runs clockwise over 270 degrees, open at the bottom.
    const double from = -135;
    const double sweep = 270;

    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(m_item.pen());
    p->setBrush(Qt::NoBrush);
    p->drawEllipse(face);

    const QColor colour = ink();
    const double inner = radius * 0.92;
    p->setPen(QPen(colour, radius * 0.025, Qt::SolidLine, Qt::FlatCap));
    const QRectF arc(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner);
    p->drawArc(arc, qRound((90 - from) * 16), qRound(-sweep * 16));
    for (int i = 0; i <= ticks; ++i) {
        const double angle = from + sweep * i / ticks;
        p->drawLine(onCircle(c, inner, angle), onCircle(c, radius * 0.78, angle));
        if (i < ticks) {
            const double half = angle + sweep / ticks / 2;
            p->drawLine(onCircle(c, inner, half), onCircle(c, radius * 0.85, half));
        }
    }

    const Labels labels = labelsFor(labelFont(), m_lod);
    if (labels.show && radius > labels.height * 3) {
        const QFontMetricsF fm(labels.font);
        QStringList texts;
        double widest = 0;
        for (int i = 0; i <= ticks; ++i) {
            texts << number(minimum + (maximum - minimum) * i / ticks);
            widest = qMax(widest, fm.horizontalAdvance(texts.last()));
        }
        const double labelRadius = radius * 0.62;
        const double room = 2 * M_PI * labelRadius * (sweep / 360) / ticks;
        const bool all = widest + labels.height * 0.3 <= room;
        // Labels wider than this would leave the face.
        if (widest > radius * 0.7)
            texts.clear();
        p->setFont(labels.font);
        p->setPen(colour);
        for (int i = 0; i < texts.size(); ++i) {
            if (!all && i != 0 && i != ticks)
                continue;
            const QPointF at = onCircle(c, labelRadius, from + sweep * i / ticks);
            p->drawText(QRectF(at.x() - widest / 2, at.y() - labels.height / 2, widest, labels.height), Qt::AlignCenter,
                texts.at(i));
        }
        const QString sample = number(value(ChartItem::DialValue).toDouble());
        const double width = fm.horizontalAdvance(sample);
        if (width < radius * 1.2) {
            p->drawText(QRectF(c.x() - width / 2, c.y() + radius * 0.4, width, labels.height), Qt::AlignCenter, sample);
        }
    }

    const double angle = from + sweep * fraction(value(ChartItem::DialValue).toDouble(), minimum, maximum);
    const QPointF tip = onCircle(c, radius * 0.8, angle);
    const QPointF left = onCircle(c, radius * 0.05, angle - 90);
    const QPointF right = onCircle(c, radius * 0.05, angle + 90);
    p->setPen(Qt::NoPen);
    p->setBrush(QColor(255, 64, 48));
    QPolygonF needle;
    needle << left << tip << right;
    p->drawPolygon(needle);
    p->setBrush(colour);
    p->drawEllipse(c, radius * 0.08, radius * 0.08);
}

void ChartPainter::clock(QPainter *p, const QRectF &r) const
{
    const QRectF face = centredSquare(r, padding(r));
    const QPointF c = face.center();
    const double radius = face.width() / 2;
    const QColor faceColour = value(ChartItem::ClockFace).value<QColor>();
    const QColor colour = ink();

    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(m_item.pen());
    p->setBrush(faceColour.isValid() ? QBrush(faceColour) : QBrush(Qt::NoBrush));
    p->drawEllipse(face);

    for (int i = 0; i < 12; ++i) {
        const bool quarter = i % 3 == 0;
        p->setPen(QPen(colour, radius * (quarter ? 0.05 : 0.03), Qt::SolidLine, Qt::FlatCap));
        p->drawLine(onCircle(c, radius * 0.9, i * 30), onCircle(c, radius * (quarter ? 0.72 : 0.8), i * 30));
    }

    const QTime t = ChartItem::sampleTime();
    const double hour = (t.hour() % 12 + t.minute() / 60.0 + t.second() / 3600.0) * 30;
    const double minute = (t.minute() + t.second() / 60.0) * 6;
    const double second = t.second() * 6;
    p->setPen(QPen(colour, radius * 0.07, Qt::SolidLine, Qt::RoundCap));
    p->drawLine(c, onCircle(c, radius * 0.5, hour));
    p->setPen(QPen(colour, radius * 0.045, Qt::SolidLine, Qt::RoundCap));
    p->drawLine(c, onCircle(c, radius * 0.72, minute));
    const QColor red(255, 64, 48);
    p->setPen(QPen(red, radius * 0.02, Qt::SolidLine, Qt::RoundCap));
    p->drawLine(onCircle(c, radius * 0.15, second + 180), onCircle(c, radius * 0.82, second));
    p->setPen(Qt::NoPen);
    p->setBrush(red);
    p->drawEllipse(c, radius * 0.05, radius * 0.05);
}

void ChartPainter::rank(QPainter *p, const QRectF &r) const
{
    const int count = qBound(1, value(ChartItem::RankCount).toInt(), 20);
    const QColor colour = value(ChartItem::RankColor).value<QColor>();
    double shares[20];
    for (int i = 0; i < count; ++i)
        shares[i] = sampleShare(i);
    std::sort(shares, shares + count, std::greater<double>());

    const double pad = padding(r);
    const QRectF inner = r.adjusted(pad, pad, -pad, -pad);
    const double row = inner.height() / count;
    double column = 0;
    const Labels labels = labelsFor(labelFont(), m_lod);
    if (labels.show && labels.height <= row) {
        const QFontMetricsF fm(labels.font);
        const double widest = fm.horizontalAdvance(QStringLiteral("%1#").arg(count));
        if (widest * 3 <= inner.width()) {
            column = widest + pad;
            p->setFont(labels.font);
            p->setPen(ink());
            for (int i = 0; i < count; ++i) {
                p->drawText(QRectF(inner.left(), inner.top() + row * i, widest, row), Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("%1#").arg(i + 1));
            }
        }
    }
    const double left = inner.left() + column;
    const double length = inner.right() - left;
    for (int i = 0; i < count; ++i) {
        const QRectF bar(left, inner.top() + row * i + row * 0.15, length * shares[i] / shares[0], row * 0.7);
        p->fillRect(bar, colour);
    }
    p->setPen(QPen(ink(), 0));
    p->drawLine(QPointF(left, inner.top()), QPointF(left, inner.bottom()));
}

void ChartPainter::cursor(QPainter *p, const QRectF &r) const
{
    const double pad = padding(r);
    const QRectF in = r.adjusted(pad, pad, -pad, -pad);
    if (in.isEmpty())
        return;
    // A thermometer: a tube with a rounded top standing on a bulb, the scale on its right.
    const double bulb = qMin(in.width() * 0.35, in.height() * 0.18);
    const double tube = bulb * 0.5;
    const QPointF c(in.center().x() - bulb * 0.3, in.bottom() - bulb);
    const QRectF bulbRect(c.x() - bulb, c.y() - bulb, 2 * bulb, 2 * bulb);
    const double junction = c.y() - std::sqrt(bulb * bulb - tube * tube);
    const double right = qRadiansToDegrees(std::acos(tube / bulb));
    const double left = 180 - right;

    QPainterPath outline;
    outline.moveTo(c.x() - tube, in.top() + tube);
    outline.arcTo(QRectF(c.x() - tube, in.top(), 2 * tube, 2 * tube), 180, -180);
    outline.lineTo(c.x() + tube, junction);
    outline.arcTo(bulbRect, right, -(360 - (left - right)));
    outline.closeSubpath();

    const double bottom = junction - tube * 0.5;
    const double top = in.top() + tube * 1.5;
    const double level = bottom
        - (bottom - top)
            * fraction(value(ChartItem::CursorValue).toDouble(), value(ChartItem::CursorMin).toDouble(),
                value(ChartItem::CursorMax).toDouble());
    const QColor colour = value(ChartItem::CursorColor).value<QColor>();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(Qt::NoPen);
    p->setBrush(colour);
    p->drawEllipse(c, bulb * 0.7, bulb * 0.7);
    p->fillRect(QRectF(QPointF(c.x() - tube * 0.55, level), QPointF(c.x() + tube * 0.55, c.y())), colour);
    p->setPen(m_item.pen());
    p->setBrush(Qt::NoBrush);
    p->drawPath(outline);

    const double x = c.x() + tube + bulb * 0.2;
    const double length = qMin(bulb * 0.6, in.right() - x);
    if (length > 0.5) {
        p->setRenderHint(QPainter::Antialiasing, false);
        p->setPen(QPen(ink(), 0));
        for (int i = 0; i <= 10; ++i) {
            const double y = bottom - (bottom - top) * i / 10;
            p->drawLine(QPointF(x, y), QPointF(x + (i % 5 == 0 ? length : length / 2), y));
        }
    }
}
