#include "svggenerator.h"
#include "safefile.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <climits>

namespace {

QString number(qreal value)
{
    return QString::number(value, 'g', 12);
}

// Text for XML content or a double-quoted attribute: markup characters escaped, and the
// control characters that XML 1.0 does not allow at all dropped.
QString xmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        clean.append(c);
    }
    return clean.toHtmlEscaped();
}

} // namespace

// Replays everything the painter sends onto a second painter that draws on the
// SvgStreamWriter, so that this device learns when painting begins and ends, and so that the
// drawing's engine gets its calls and state changes exactly as from a painter of its own.
class SvgGenerator::Engine : public QPaintEngine
{
public:
    explicit Engine(SvgGenerator *generator)
        : QPaintEngine(SvgStreamWriter::engineFeatures())
        , m_generator(generator)
    { }

    bool begin(QPaintDevice *) override
    {
        m_generator->beginDocument();
        if (!m_painter.begin(&m_generator->m_drawing))
            return false;
        // QPainter only sends a transform once it changes, so the mapping onto the view
        // box has to be in place from the start.
        m_deviceToViewBox = m_generator->deviceToViewBox();
        m_painter.setTransform(m_deviceToViewBox);
        return true;
    }

    bool end() override
    {
        m_painter.end();
        return m_generator->endDocument();
    }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags flags = state.state();
        // The transform first: QPainter sends a clip together with the transform it was
        // set under, and the clip is interpreted in it.
        if (flags & DirtyTransform)
            m_painter.setTransform(state.transform() * m_deviceToViewBox);
        if (flags & DirtyPen)
            m_painter.setPen(state.pen());
        if (flags & DirtyBrush)
            m_painter.setBrush(state.brush());
        if (flags & DirtyBrushOrigin)
            m_painter.setBrushOrigin(state.brushOrigin());
        if (flags & DirtyFont)
            m_painter.setFont(state.font());
        if (flags & DirtyBackground)
            m_painter.setBackground(state.backgroundBrush());
        if (flags & DirtyBackgroundMode)
            m_painter.setBackgroundMode(state.backgroundMode());
        if (flags & DirtyHints) {
            m_painter.setRenderHints(m_painter.renderHints(), false);
            m_painter.setRenderHints(state.renderHints(), true);
        }
        if (flags & DirtyOpacity)
            m_painter.setOpacity(state.opacity());
        if (flags & DirtyClipRegion)
            m_painter.setClipRegion(state.clipRegion(), state.clipOperation());
        if (flags & DirtyClipPath)
            m_painter.setClipPath(state.clipPath(), state.clipOperation());
        if (flags & DirtyClipEnabled)
            m_painter.setClipping(state.isClipEnabled());
        // Composition modes are left out: the SVG engine has no use for them.
    }

    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPoints;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;

    void drawRects(const QRectF *rects, int rectCount) override { m_painter.drawRects(rects, rectCount); }
    void drawLines(const QLineF *lines, int lineCount) override { m_painter.drawLines(lines, lineCount); }
    void drawEllipse(const QRectF &rect) override { m_painter.drawEllipse(rect); }
    void drawPath(const QPainterPath &path) override { m_painter.drawPath(path); }
    void drawPoints(const QPointF *points, int pointCount) override { m_painter.drawPoints(points, pointCount); }

    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override
    {
        switch (mode) {
        case PolylineMode: m_painter.drawPolyline(points, pointCount); break;
        case ConvexMode: m_painter.drawConvexPolygon(points, pointCount); break;
        case WindingMode: m_painter.drawPolygon(points, pointCount, Qt::WindingFill); break;
        case OddEvenMode: m_painter.drawPolygon(points, pointCount, Qt::OddEvenFill); break;
        }
    }

    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override { m_painter.drawPixmap(r, pm, sr); }

    void drawTiledPixmap(const QRectF &r, const QPixmap &pixmap, const QPointF &s) override
    {
        m_painter.drawTiledPixmap(r, pixmap, s);
    }

    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags flags) override
    {
        m_painter.drawImage(r, image, sr, flags);
    }

    // Passed on as a text item, so that text stays <text> in the file.
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override { m_painter.drawTextItem(p, textItem); }

    Type type() const override { return SVG; }

private:
    SvgGenerator *m_generator;
    QPainter m_painter;
    QTransform m_deviceToViewBox;
};

SvgGenerator::SvgGenerator() = default;

SvgGenerator::~SvgGenerator() = default;

void SvgGenerator::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

void SvgGenerator::setSize(const QSize &size)
{
    m_size = size;
}

void SvgGenerator::setViewBox(const QRectF &viewBox)
{
    m_viewBox = viewBox;
}

void SvgGenerator::setTitle(const QString &title)
{
    m_title = title;
}

void SvgGenerator::setDescription(const QString &description)
{
    m_description = description;
}

void SvgGenerator::setImageHref(const QString &href)
{
    m_imageHref = href;
}

QPaintEngine *SvgGenerator::paintEngine() const
{
    if (!m_engine)
        m_engine = std::make_unique<Engine>(const_cast<SvgGenerator *>(this));
    return m_engine.get();
}

int SvgGenerator::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmWidthMM: return qRound(m_size.width() * 25.4 / Resolution);
    case PdmHeightMM: return qRound(m_size.height() * 25.4 / Resolution);
    case PdmNumColors: return INT_MAX;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return Resolution;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return qRound(devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}

void SvgGenerator::beginDocument()
{
    m_written = false;
    m_head = buildHead();
    m_drawing.setSize(m_size, Resolution);
}

bool SvgGenerator::endDocument()
{
    if (m_fileName.isEmpty())
        return true;
    SafeFile file(m_fileName);
    const auto put = [&file](const QString &text) {
        const QByteArray bytes = text.toUtf8();
        return file.write(bytes) == bytes.size();
    };
    m_written = file.open(QIODevice::WriteOnly) && put(m_head + imageElement()) && m_drawing.writeTo(&file)
        && put(QStringLiteral("</svg>\n")) && file.commit();
    return m_written;
}

QString SvgGenerator::buildHead() const
{
    QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg");
    if (m_size.isValid())
        head += QStringLiteral(" width=\"%1\" height=\"%2\"").arg(m_size.width()).arg(m_size.height());
    if (m_viewBox.isValid()) {
        head += QStringLiteral(" viewBox=\"%1 %2 %3 %4\"")
                    .arg(number(m_viewBox.x()), number(m_viewBox.y()), number(m_viewBox.width()),
                        number(m_viewBox.height()));
    }
    // The same ending as Qt's root tag, which callers rely on to insert attributes.
    head += QStringLiteral("\n xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                           " version=\"1.2\" baseProfile=\"tiny\">\n");
    if (!m_title.isEmpty())
        head += QStringLiteral("<title>%1</title>\n").arg(xmlText(m_title));
    if (!m_description.isEmpty())
        head += QStringLiteral("<desc>%1</desc>\n").arg(xmlText(m_description));
    return head;
}

QString SvgGenerator::imageElement() const
{
    if (m_imageHref.isEmpty())
        return QString();
    QString geometry = QStringLiteral("x=\"0\" y=\"0\" width=\"100%\" height=\"100%\"");
    if (m_viewBox.isValid()) {
        geometry = QStringLiteral("x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                       .arg(number(m_viewBox.x()), number(m_viewBox.y()), number(m_viewBox.width()),
                           number(m_viewBox.height()));
    } else if (m_size.isValid()) {
        geometry
            = QStringLiteral("x=\"0\" y=\"0\" width=\"%1\" height=\"%2\"").arg(m_size.width()).arg(m_size.height());
    }
    // Stretched like the scene stretches its background picture over the scene rectangle.
    return QStringLiteral("<image %1 preserveAspectRatio=\"none\" xlink:href=\"%2\"/>\n")
        .arg(geometry, xmlText(m_imageHref));
}

QTransform SvgGenerator::deviceToViewBox() const
{
    if (!m_viewBox.isValid() || m_size.width() <= 0 || m_size.height() <= 0)
        return QTransform();
    return QTransform(
        m_viewBox.width() / m_size.width(), 0, 0, m_viewBox.height() / m_size.height(), m_viewBox.x(), m_viewBox.y());
}
