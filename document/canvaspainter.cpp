#include "canvaspainter.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRegion>
#include <QVector>
#include <cmath>

namespace {

const QColor Surround(0x80, 0x80, 0x80);
const QColor Border(0x30, 0x30, 0x30);
// Unlike the selection's blue and the usual colours of equipment, lines and switch states.
const QColor TerminalMark(0xff, 0x00, 0xff);
constexpr double TerminalMarkRadius = 6;
// The shadow falls to the lower right; each ring outward is fainter.
constexpr int ShadowOffset = 3;
constexpr int ShadowRings = 5;
constexpr int ShadowAlpha = 14;

// Draws in viewport pixels until it goes out of scope, leaving the painter as it was.
class PixelPainting
{
public:
    explicit PixelPainting(QPainter &painter)
        : m_painter(painter)
        , m_toViewport(painter.worldTransform())
    {
        m_painter.save();
        m_painter.resetTransform();
    }
    ~PixelPainting() { m_painter.restore(); }
    PixelPainting(const PixelPainting &) = delete;
    PixelPainting &operator=(const PixelPainting &) = delete;

    QRect pixels(const QRectF &rect) const { return m_toViewport.mapRect(rect).toAlignedRect(); }

private:
    QPainter &m_painter;
    QTransform m_toViewport;
};

void fillOutside(QPainter &painter, const QRegion &area, const QRect &canvas, const QColor &colour)
{
    for (const QRect &r : area.subtracted(QRegion(canvas)))
        painter.fillRect(r, colour);
}

// The background mixed a little towards white, or towards black on a light background: faint,
// but seen on any canvas colour.
QColor gridColour(const QColor &background, double weight)
{
    const QColor toward = background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    auto mix = [weight](int a, int b) { return int(std::lround(a + (b - a) * weight)); };
    return QColor(mix(background.red(), toward.red()), mix(background.green(), toward.green()),
        mix(background.blue(), toward.blue()));
}

// The viewport pixels of the grid lines through the canvas's corner that fall within [from, to]
// of the scene, along one axis.
QVector<int> gridPixels(double from, double to, double origin, int size, double scale, double offset)
{
    QVector<int> pixels;
    const auto first = static_cast<long long>(std::ceil((from - origin) / size));
    const auto last = static_cast<long long>(std::floor((to - origin) / size));
    if (last < first)
        return pixels;
    pixels.reserve(int(last - first + 1));
    for (long long i = first; i <= last; ++i)
        pixels << int(std::lround((origin + double(i) * size) * scale + offset));
    return pixels;
}

// The canvas in viewport pixels, as the painter maps it.
QRect canvasPixels(const QPainter &painter, const QRectF &canvas)
{
    const QRectF mapped = painter.worldTransform().mapRect(canvas);
    return QRect(QPoint(int(std::lround(mapped.left())), int(std::lround(mapped.top()))),
        QPoint(int(std::lround(mapped.right())) - 1, int(std::lround(mapped.bottom())) - 1));
}

} // namespace

void CanvasPainter::paintSurround(QPainter &painter, const QRectF &exposed, const QRectF &canvas)
{
    const QRect canvasPx = canvasPixels(painter, canvas);
    const PixelPainting pixels(painter);
    const QRegion area(pixels.pixels(exposed));
    fillOutside(painter, area, canvasPx, Surround);
    const QColor shade(0, 0, 0, ShadowAlpha);
    for (int ring = ShadowRings; ring >= 1; --ring) {
        const QRect shadow = canvasPx.translated(ShadowOffset, ShadowOffset).adjusted(-ring, -ring, ring, ring);
        fillOutside(painter, area.intersected(shadow), canvasPx, shade);
    }
}

void CanvasPainter::paintGrid(
    QPainter &painter, const QRectF &exposed, const QRectF &canvas, int size, const QColor &background)
{
    const QTransform toViewport = painter.worldTransform();
    const double spacing = size * toViewport.m11();
    const QRectF area = exposed.intersected(canvas);
    if (spacing < MinimumGridSpacing || area.isEmpty())
        return;
    const QVector<int> xs
        = gridPixels(area.left(), area.right(), canvas.left(), size, toViewport.m11(), toViewport.dx());
    const QVector<int> ys
        = gridPixels(area.top(), area.bottom(), canvas.top(), size, toViewport.m22(), toViewport.dy());
    if (xs.isEmpty() || ys.isEmpty())
        return;
    const PixelPainting pixels(painter);
    if (spacing >= LineGridSpacing) {
        // Lines one pixel wide as filled rectangles: a plain fill, where a stroked line is
        // traced pixel by pixel.
        const QRect bounds = pixels.pixels(area);
        const QColor colour = gridColour(background, 0.18);
        for (int x : xs)
            painter.fillRect(QRect(x, bounds.top(), 1, bounds.height()), colour);
        for (int y : ys)
            painter.fillRect(QRect(bounds.left(), y, bounds.width(), 1), colour);
        return;
    }
    // One row of dots as a picture, copied onto every row of the grid: a few hundred copies
    // instead of a point drawn for each of up to a hundred thousand dots.
    const int left = xs.first();
    QImage row(xs.last() - left + 1, 1, QImage::Format_ARGB32_Premultiplied);
    row.fill(Qt::transparent);
    auto *line = reinterpret_cast<QRgb *>(row.scanLine(0));
    const QRgb dot = gridColour(background, 0.35).rgba();
    for (int x : xs)
        line[x - left] = dot;
    for (int y : ys)
        painter.drawImage(QPoint(left, y), row);
}

void CanvasPainter::paintBorder(QPainter &painter, const QRectF &canvas)
{
    const QRect canvasPx = canvasPixels(painter, canvas);
    const PixelPainting pixels(painter);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Border, 0));
    painter.setBrush(Qt::NoBrush);
    // Just outside the canvas, so that nothing of the graph is covered.
    painter.drawRect(canvasPx.adjusted(-1, -1, 0, 0));
}

void CanvasPainter::paintTerminalMark(QPainter &painter, const QPointF &point)
{
    const QPointF centre = painter.worldTransform().map(point);
    const PixelPainting pixels(painter);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(TerminalMark, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, TerminalMarkRadius, TerminalMarkRadius);
}
