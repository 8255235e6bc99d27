#include "svgstreamwriter.h"
#include "svgtext.h"

#include <QBuffer>
#include <QIODevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QSet>
#include <QSvgGenerator>
#include <QTextItem>
#include <QtMath>

namespace {

// Each channel of x weighted by a and of y by b, a + b being 256.
QRgb blend(QRgb x, uint a, QRgb y, uint b)
{
    QRgb mixed = 0;
    for (int shift = 0; shift < 32; shift += 8)
        mixed |= ((((x >> shift) & 0xff) * a + ((y >> shift) & 0xff) * b) >> 8 & 0xff) << shift;
    return mixed;
}

const char *capAttribute(Qt::PenCapStyle cap)
{
    switch (cap) {
    case Qt::FlatCap: return "stroke-linecap=\"butt\" ";
    case Qt::SquareCap: return "stroke-linecap=\"square\" ";
    case Qt::RoundCap: return "stroke-linecap=\"round\" ";
    default: return "";
    }
}

// The weights QFont names map onto the CSS ones; others are scaled.
int cssWeight(int weight)
{
    return weight == QFont::Light ? 100 : weight == QFont::Normal ? 400 : weight == QFont::Bold ? 700 : weight * 10;
}

// The pixels an 8 x 8 tile of the fill pattern covers.
QRegion patternRegion(Qt::BrushStyle style)
{
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.fillRect(tile.rect(), QBrush(Qt::black, style));
    painter.end();
    QRegion region;
    for (int y = 0; y < 8; ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(tile.constScanLine(y));
        for (int x = 0; x < 8;) {
            if (!qAlpha(row[x])) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < 8 && qAlpha(row[x]))
                ++x;
            region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

} // namespace

// Writes what Qt 5.15's SVG engine writes for each call: a group with the whole state at each
// state change, then the elements. Numbers, colours and texts are formatted as that engine's
// QTextStream and QString::number() format them.
class SvgStreamWriter::Engine : public QPaintEngine
{
public:
    explicit Engine(const SvgStreamWriter *device)
        : QPaintEngine(engineFeatures())
        , m_device(device)
    { }

    bool begin(QPaintDevice *) override
    {
        m_defs.clear();
        m_body.clear();
        m_afterFirstUpdate = false;
        m_gradients = 0;
        m_gradientName.clear();
        m_masks.clear();
        m_patterns.clear();
        m_penStyle = Qt::SolidLine;
        m_textFill = TextFill::Unset;
        m_body.append("<g fill=\"none\" stroke=\"black\" stroke-width=\"1\" fill-rule=\"evenodd\" "
                      "stroke-linecap=\"square\" stroke-linejoin=\"bevel\" >\n\n");
        return true;
    }

    bool end() override
    {
        if (m_afterFirstUpdate)
            m_body.append("</g>\n");
        m_body.append("</g>\n");
        return true;
    }

    bool writeTo(QIODevice *device)
    {
        if (device->write("<defs>\n") != 7 || !m_defs.copyTo(device) || device->write("</defs>\n") != 8)
            return false;
        return m_body.copyTo(device);
    }

    void updateState(const QPaintEngineState &state) override
    {
        if (m_afterFirstUpdate)
            m_body.append("</g>\n\n");
        m_body.append("<g ");
        writeBrush(state.brush());
        writePen(state.pen());
        const QTransform m = state.transform();
        m_body.append("transform=\"matrix(");
        for (const qreal v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx()}) {
            m_body.appendNumber(v);
            m_body.append(',');
        }
        m_body.appendNumber(m.dy());
        m_body.append(")\"\n");
        writeFont(state.font());
        if (!qFuzzyIsNull(state.opacity() - 1)) {
            m_body.append("opacity=\"");
            m_body.appendNumber(state.opacity());
            m_body.append("\" ");
        }
        m_body.append(">\n");
        m_afterFirstUpdate = true;
    }

    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;

    void drawEllipse(const QRectF &r) override
    {
        const bool circle = r.width() == r.height();
        m_body.appendString(circle ? "<circle" : "<ellipse");
        if (state->pen().isCosmetic())
            m_body.append(" vector-effect=\"non-scaling-stroke\"");
        const QPointF c = r.center();
        m_body.append(" cx=\"");
        m_body.appendNumber(c.x());
        m_body.append("\" cy=\"");
        m_body.appendNumber(c.y());
        if (circle) {
            m_body.append("\" r=\"");
            m_body.appendNumber(r.width() / qreal(2.0));
        } else {
            m_body.append("\" rx=\"");
            m_body.appendNumber(r.width() / qreal(2.0));
            m_body.append("\" ry=\"");
            m_body.appendNumber(r.height() / qreal(2.0));
        }
        m_body.append("\"/>\n");
    }

    void drawPath(const QPainterPath &path) override
    {
        m_body.appendString(state->pen().isCosmetic() ? "<path vector-effect=\"non-scaling-stroke\" fill-rule=\""
                                                      : "<path vector-effect=\"none\" fill-rule=\"");
        m_body.appendString(path.fillRule() == Qt::OddEvenFill ? "evenodd\" d=\"" : "nonzero\" d=\"");
        const int count = path.elementCount();
        for (int i = 0; i < count; ++i) {
            const QPainterPath::Element &e = path.elementAt(i);
            switch (e.type) {
            case QPainterPath::MoveToElement:
                m_body.append('M');
                appendPoint(e.x, e.y);
                break;
            case QPainterPath::LineToElement:
                m_body.append('L');
                appendPoint(e.x, e.y);
                break;
            case QPainterPath::CurveToElement:
                m_body.append('C');
                appendPoint(e.x, e.y);
                // The control and end points follow; i stops on the last of them, or past
                // the end when they close the path (which then ends in a blank, as Qt's does).
                for (++i; i < count; ++i) {
                    const QPainterPath::Element &data = path.elementAt(i);
                    if (data.type != QPainterPath::CurveToDataElement) {
                        --i;
                        break;
                    }
                    m_body.append(' ');
                    appendPoint(data.x, data.y);
                }
                break;
            default: break;
            }
            if (i != count - 1)
                m_body.append(' ');
        }
        m_body.append("\"/>\n");
    }

    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override
    {
        if (mode == PolylineMode) {
            m_body.appendString(state->pen().isCosmetic()
                    ? "<polyline fill=\"none\" vector-effect=\"non-scaling-stroke\" points=\""
                    : "<polyline fill=\"none\" vector-effect=\"none\" points=\"");
            for (int i = 0; i < pointCount; ++i) {
                appendPoint(points[i].x(), points[i].y());
                m_body.append(' ');
            }
            m_body.append("\" />\n");
            return;
        }
        // Whatever the mode, a closed path with the odd-even rule (QPainterPath's default),
        // built by QPainterPath's own rules for repeated and invalid points, as Qt's engine does.
        QPainterPath path(points[0]);
        for (int i = 1; i < pointCount; ++i)
            path.lineTo(points[i]);
        path.closeSubpath();
        drawPath(path);
    }

    void drawRects(const QRectF *rects, int rectCount) override
    {
        for (int i = 0; i < rectCount; ++i) {
            const QRectF rect = rects[i].normalized();
            m_body.appendString(state->pen().isCosmetic() ? "<rect vector-effect=\"non-scaling-stroke\" " : "<rect ");
            appendBox(m_body, rect.x(), rect.y(), rect.width(), rect.height());
            m_body.append("/>\n");
        }
    }

    void drawTextItem(const QPointF &p, const QTextItem &textItem) override
    {
        if (m_penStyle == Qt::NoPen)
            return;
        const QString text = textItem.text();
        // Without characters (glyph runs) the outline is drawn, and an empty text follows.
        if (text.isNull())
            QPaintEngine::drawTextItem(p, textItem);
        m_body.append("<text fill=\"");
        if (m_textFill == TextFill::Colour)
            m_body.appendRgb(qRed(m_textColour), qGreen(m_textColour), qBlue(m_textColour));
        else if (m_textFill == TextFill::None)
            m_body.append("none");
        m_body.append("\" fill-opacity=\"");
        if (m_textFill == TextFill::Colour)
            m_body.appendNumber(m_textOpacity);
        m_body.append("\" stroke=\"none\" xml:space=\"preserve\" x=\"");
        m_body.appendNumber(p.x());
        m_body.append("\" y=\"");
        m_body.appendNumber(p.y());
        m_body.append("\" ");
        writeFont(textItem.font());
        m_body.append(" >");
        m_body.appendEscaped(text);
        m_body.append("</text>\n");
    }

    void drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr) override
    {
        drawImage(r, pm.toImage(), sr, Qt::AutoColor);
    }

    // The whole image, whatever part was asked for, as Qt does.
    void drawImage(const QRectF &r, const QImage &image, const QRectF &, Qt::ImageConversionFlags) override
    {
        m_body.append("<image ");
        appendBox(m_body, r.x(), r.y(), r.width(), r.height());
        m_body.append(" preserveAspectRatio=\"none\" xlink:href=\"data:image/png;base64,");
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QBuffer::ReadWrite);
        image.save(&buffer, "PNG");
        buffer.close();
        const QByteArray base64 = png.toBase64();
        m_body.append(base64.constData(), base64.size());
        m_body.append("\" />\n");
    }

    Type type() const override { return SVG; }

private:
    // What a text's fill repeats of the last pen's stroke.
    enum class TextFill
    {
        Unset,
        None,
        Colour
    };

    void appendPoint(qreal x, qreal y)
    {
        m_body.appendNumber(x);
        m_body.append(',');
        m_body.appendNumber(y);
    }

    // x="" y="" width="" height="" as the attributes of a rectangle.
    static void appendBox(SvgText &text, qreal x, qreal y, qreal width, qreal height)
    {
        text.append("x=\"");
        text.appendNumber(x);
        text.append("\" y=\"");
        text.appendNumber(y);
        text.append("\" width=\"");
        text.appendNumber(width);
        text.append("\" height=\"");
        text.appendNumber(height);
        text.append('"');
    }

    static void appendColour(SvgText &text, const QColor &colour)
    {
        text.appendRgb(colour.red(), colour.green(), colour.blue());
    }

    void writeBrush(const QBrush &brush)
    {
        const Qt::BrushStyle style = brush.style();
        switch (style) {
        case Qt::SolidPattern:
            m_body.append("fill=\"");
            appendColour(m_body, brush.color());
            m_body.append("\" fill-opacity=\"");
            m_body.appendNumber(brush.color().alphaF());
            m_body.append("\" ");
            break;
        case Qt::Dense1Pattern:
        case Qt::Dense2Pattern:
        case Qt::Dense3Pattern:
        case Qt::Dense4Pattern:
        case Qt::Dense5Pattern:
        case Qt::Dense6Pattern:
        case Qt::Dense7Pattern:
        case Qt::HorPattern:
        case Qt::VerPattern:
        case Qt::CrossPattern:
        case Qt::BDiagPattern:
        case Qt::FDiagPattern:
        case Qt::DiagCrossPattern: {
            const QColor &colour = brush.color();
            m_body.append("fill=\"url(#");
            appendPatternId(m_body, style, colour);
            m_body.append(")\" fill-opacity=\"");
            m_body.appendNumber(colour.alphaF());
            m_body.append("\" ");
            definePattern(style, colour);
            break;
        }
        case Qt::LinearGradientPattern:
        case Qt::RadialGradientPattern:
        case Qt::ConicalGradientPattern:
            defineGradient(*brush.gradient());
            m_body.append("fill=\"url(#");
            m_body.appendUtf8(m_gradientName);
            m_body.append(")\" ");
            break;
        case Qt::NoBrush: m_body.append("fill=\"none\" "); break;
        default: // textures: Qt writes no fill
            break;
        }
    }

    void writePen(const QPen &pen)
    {
        m_penStyle = pen.style();
        switch (pen.style()) {
        case Qt::NoPen:
            m_body.append("stroke=\"none\" ");
            m_textFill = TextFill::None;
            return;
        case Qt::SolidLine:
        case Qt::DashLine:
        case Qt::DotLine:
        case Qt::DashDotLine:
        case Qt::DashDotDotLine:
        case Qt::CustomDashLine: {
            const QColor colour = pen.color();
            m_textFill = TextFill::Colour;
            m_textColour = qRgb(colour.red(), colour.green(), colour.blue());
            m_textOpacity = colour.alphaF();
            m_body.append("stroke=\"");
            appendColour(m_body, colour);
            m_body.append("\" stroke-opacity=\"");
            m_body.appendNumber(m_textOpacity);
            m_body.append("\" ");
            if (pen.style() == Qt::SolidLine)
                break;
            // SVG takes lengths where Qt takes multiples of the width; Qt's engine takes widths
            // that round to 0 (not just 0) as 1 here.
            const qreal width = pen.width() == 0 ? qreal(1) : pen.widthF();
            m_body.append("stroke-dasharray=\"");
            const QVector<qreal> dashes = pen.dashPattern();
            for (int i = 0; i < dashes.size(); ++i) {
                if (i)
                    m_body.append(',');
                m_body.appendNumber(dashes.at(i) * width);
            }
            m_body.append("\" stroke-dashoffset=\"");
            m_body.appendNumber(pen.dashOffset() * width);
            m_body.append("\" ");
            break;
        }
        default: break;
        }
        if (pen.widthF() == 0) {
            m_body.append("stroke-width=\"1\" ");
        } else {
            m_body.append("stroke-width=\"");
            m_body.appendNumber(pen.widthF());
            m_body.append("\" ");
        }
        m_body.appendString(capAttribute(pen.capStyle()));
        const Qt::PenJoinStyle join = pen.joinStyle();
        if (join == Qt::MiterJoin || join == Qt::SvgMiterJoin) {
            m_body.append("stroke-linejoin=\"miter\" stroke-miterlimit=\"");
            m_body.appendNumber(pen.miterLimit());
            m_body.append("\" ");
        } else {
            m_body.appendString(join == Qt::BevelJoin ? "stroke-linejoin=\"bevel\" "
                    : join == Qt::RoundJoin           ? "stroke-linejoin=\"round\" "
                                                      : "");
        }
    }

    void writeFont(const QFont &font)
    {
        m_body.append("font-family=\"");
        m_body.appendUtf8(font.family());
        m_body.append("\" font-size=\"");
        if (font.pixelSize() == -1)
            m_body.appendNumber(font.pointSizeF() * m_device->m_resolution / 72);
        else
            m_body.appendInt(font.pixelSize());
        m_body.append("\" font-weight=\"");
        m_body.appendInt(cssWeight(font.weight()));
        m_body.appendString(font.italic() ? "\" font-style=\"italic\" \n" : "\" font-style=\"normal\" \n");
    }

    static void appendPatternId(SvgText &text, Qt::BrushStyle style, const QColor &colour)
    {
        text.append("fillpattern");
        text.appendInt(style);
        text.append('_');
        text.appendHex(colour.red(), colour.green(), colour.blue());
    }

    // A tile of the colour for each pattern and colour, over a mask for each pattern, each
    // defined once.
    void definePattern(Qt::BrushStyle style, const QColor &colour)
    {
        const QRgb key = (uint(style) << 24) | (colour.rgb() & 0xffffff);
        if (m_patterns.contains(key))
            return;
        m_patterns.insert(key);
        if (!m_masks.contains(style)) {
            m_masks.insert(style);
            m_defs.append("<mask id=\"patternmask");
            m_defs.appendInt(style);
            m_defs.append("\" x=\"0\" y=\"0\" width=\"8\" height=\"8\" stroke=\"none\" fill=\"#ffffff\" "
                          "patternUnits=\"userSpaceOnUse\" >\n");
            for (const QRect &r : patternRegion(style)) {
                m_defs.append("<rect ");
                appendBox(m_defs, r.x(), r.y(), r.width(), r.height());
                m_defs.append(" />\n");
            }
            m_defs.append("</mask>\n\n");
        }
        m_defs.append("<pattern id=\"");
        appendPatternId(m_defs, style, colour);
        m_defs.append("\" x=\"0\" y=\"0\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" >\n"
                      "<rect x=\"0\" y=\"0\" width=\"8\" height=\"8\" stroke=\"none\" fill=\"");
        appendColour(m_defs, colour);
        m_defs.append("\" mask=\"url(#patternmask");
        m_defs.appendInt(style);
        m_defs.append(")\" />\n</pattern>\n\n");
    }

    // A new definition at every use, as Qt makes them. Conical gradients have none in SVG:
    // the fill then names the last gradient defined.
    void defineGradient(const QGradient &gradient)
    {
        const char *end;
        if (gradient.type() == QGradient::LinearGradient) {
            const auto &linear = static_cast<const QLinearGradient &>(gradient);
            m_defs.append("<linearGradient ");
            appendGradientUnits(gradient);
            appendAttribute("x1", linear.start().x());
            appendAttribute("y1", linear.start().y());
            appendAttribute("x2", linear.finalStop().x());
            appendAttribute("y2", linear.finalStop().y());
            end = "</linearGradient>\n";
        } else if (gradient.type() == QGradient::RadialGradient) {
            const auto &radial = static_cast<const QRadialGradient &>(gradient);
            m_defs.append("<radialGradient ");
            appendGradientUnits(gradient);
            appendAttribute("cx", radial.center().x());
            appendAttribute("cy", radial.center().y());
            appendAttribute("r", radial.radius());
            appendAttribute("fx", radial.focalPoint().x());
            appendAttribute("fy", radial.focalPoint().y());
            end = "</radialGradient>\n";
        } else {
            return;
        }
        m_gradientName = QStringLiteral("gradient%1").arg(++m_gradients);
        m_defs.append("id=\"");
        m_defs.appendUtf8(m_gradientName);
        m_defs.append("\">\n");
        for (const QGradientStop &stop : stops(gradient)) {
            m_defs.append("    <stop offset=\"");
            m_defs.appendNumber(stop.first);
            m_defs.append("\" stop-color=\"");
            m_defs.appendUtf8(stop.second.name(QColor::HexRgb));
            m_defs.append("\" stop-opacity=\"");
            m_defs.appendNumber(stop.second.alphaF());
            m_defs.append("\" />\n");
        }
        m_defs.appendString(end);
    }

    void appendGradientUnits(const QGradient &gradient)
    {
        const QGradient::CoordinateMode mode = gradient.coordinateMode();
        m_defs.appendString(mode == QGradient::ObjectBoundingMode || mode == QGradient::ObjectMode
                ? "gradientUnits=\"objectBoundingBox\" "
                : "gradientUnits=\"userSpaceOnUse\" ");
    }

    void appendAttribute(const char *name, qreal value)
    {
        m_defs.appendString(name);
        m_defs.append("=\"");
        m_defs.appendNumber(value);
        m_defs.append("\" ");
    }

    // SVG interpolates colours without their alpha; where the alpha changes, stops every
    // fiftieth of the way carry the blend premultiplied, as Qt's engine writes them.
    static QGradientStops stops(const QGradient &gradient)
    {
        const QGradientStops stops = gradient.stops();
        if (gradient.interpolationMode() != QGradient::ColorInterpolation)
            return stops;
        bool constantAlpha = true;
        for (int i = 1; i < stops.size(); ++i)
            constantAlpha = constantAlpha && stops.at(i).second.alpha() == stops.at(0).second.alpha();
        if (constantAlpha)
            return stops;
        const qreal spacing = qreal(0.02);
        QGradientStops spread;
        QRgb from = qPremultiply(stops.at(0).second.rgba());
        for (int i = 0; i + 1 < stops.size(); ++i) {
            const int parts = qCeil((stops.at(i + 1).first - stops.at(i).first) / spacing);
            spread.append(stops.at(i));
            const QRgb to = qPremultiply(stops.at(i + 1).second.rgba());
            if (parts > 1) {
                const qreal step = (stops.at(i + 1).first - stops.at(i).first) / parts;
                for (int j = 1; j < parts; ++j) {
                    const QRgb colour
                        = qUnpremultiply(blend(from, uint(256 - 256 * j / parts), to, uint(256 * j / parts)));
                    spread.append(QGradientStop(stops.at(i).first + j * step, QColor::fromRgba(colour)));
                }
            }
            from = to;
        }
        spread.append(stops.back());
        return spread;
    }

    const SvgStreamWriter *m_device;
    SvgText m_defs;
    SvgText m_body;
    bool m_afterFirstUpdate = false;
    int m_gradients = 0;
    QString m_gradientName;
    QSet<int> m_masks;
    QSet<QRgb> m_patterns;
    Qt::PenStyle m_penStyle = Qt::SolidLine;
    TextFill m_textFill = TextFill::Unset;
    QRgb m_textColour = 0;
    qreal m_textOpacity = 1;
};

SvgStreamWriter::SvgStreamWriter()
    : m_engine(std::make_unique<Engine>(this))
{ }

SvgStreamWriter::~SvgStreamWriter() = default;

void SvgStreamWriter::setSize(const QSize &size, int dpi)
{
    m_size = size;
    m_resolution = dpi;
}

QPaintEngine::PaintEngineFeatures SvgStreamWriter::engineFeatures()
{
    static const QPaintEngine::PaintEngineFeatures features = [] {
        QSvgGenerator svg;
        const QPaintEngine *engine = static_cast<QPaintDevice &>(svg).paintEngine();
        QPaintEngine::PaintEngineFeatures all;
        for (int bit = 0; bit < 32; ++bit) {
            const auto feature = QPaintEngine::PaintEngineFeature(1u << bit);
            if (engine && engine->hasFeature(feature))
                all |= feature;
        }
        return all;
    }();
    return features;
}

bool SvgStreamWriter::writeTo(QIODevice *device)
{
    return m_engine->writeTo(device);
}

QPaintEngine *SvgStreamWriter::paintEngine() const
{
    return m_engine.get();
}

// QSvgGenerator's answers, unknown metrics included, since QPainter sizes fonts and more by them.
int SvgStreamWriter::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmDepth: return 32;
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return m_resolution;
    case PdmHeightMM: return qRound(m_size.height() * 25.4 / m_resolution);
    case PdmWidthMM: return qRound(m_size.width() * 25.4 / m_resolution);
    case PdmNumColors: return int(0xffffffff);
    case PdmDevicePixelRatio: return 1;
    default: return 0;
    }
}
