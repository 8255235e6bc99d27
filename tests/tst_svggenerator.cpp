// SvgGenerator as the SVG export uses it: background picture by reference, escaped texts,
// content mapped onto the view box, a failed write (the root element edited while painting:
// tst_document's export). Its drawing (SvgStreamWriter) is compared byte for byte with what
// Qt's QSvgGenerator writes.
#include "svggenerator.h"
#include "svgstreamwriter.h"
#include "testsupport.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QTextLayout>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {

using TestSupport::Svg;

QString path(const QString &name)
{
    return TestSupport::projectFolder() + QLatin1Char('/') + name;
}

// The generator set up for `file`, with the view box equal to the size unless given.
void setUp(SvgGenerator &generator, const QString &file, const QSize &size, const QRectF &viewBox = QRectF())
{
    generator.setFileName(file);
    generator.setSize(size);
    generator.setViewBox(viewBox.isNull() ? QRectF(QPointF(), size) : viewBox);
}

// Every fill pattern, a gradient (its stops spread where the alpha changes), dashes, caps and
// joins, a cosmetic pen, shapes, pictures, opacity and a transform.
void paintPrimitives(QPainter &painter)
{
    for (int style = Qt::Dense1Pattern; style <= Qt::DiagCrossPattern; ++style) {
        painter.setBrush(QBrush(QColor(style * 15, 0, 255 - style, 100 + style), Qt::BrushStyle(style)));
        painter.drawRect(QRectF(style * 10, 0, 8, 8));
    }
    painter.setPen(QPen(QColor(1, 2, 3, 100), 2.5, Qt::DashDotLine, Qt::RoundCap, Qt::MiterJoin));
    painter.drawEllipse(QRectF(10, 10, 30, 20));
    painter.drawEllipse(QRectF(10, 10, 30, 30));
    painter.drawRects(QVector<QRectF>{QRectF(50, 50, -10, -10), QRectF(60, 60, 5, 5)});
    QLinearGradient linear(0, 0, 100, 100);
    linear.setColorAt(0, QColor(255, 0, 0, 255));
    linear.setColorAt(0.3, QColor(0, 255, 0, 255));
    linear.setColorAt(1, QColor(0, 0, 255, 50));
    painter.setBrush(linear);
    painter.drawPolygon(QPolygonF(QVector<QPointF>{{0, 0}, {100, 10}, {50, 80}}), Qt::WindingFill);
    QPen custom(Qt::cyan, 1.5);
    custom.setDashPattern({1, 2.5, 3, 0.25});
    custom.setDashOffset(0.7);
    custom.setCosmetic(true);
    painter.setPen(custom);
    painter.drawPolyline(QPolygonF(QVector<QPointF>{{0.1, 0.2}, {12345.25, -999999.5}, {1e7, 3e-9}}));
    QPainterPath curves;
    curves.moveTo(0, 0);
    curves.cubicTo(1, 2, 3, 4, 5, 6);
    curves.lineTo(-1.5, 2);
    painter.setPen(QPen(Qt::black, 0.3, Qt::DotLine, Qt::FlatCap, Qt::BevelJoin));
    painter.drawPath(curves);
    painter.setOpacity(0.5);
    painter.rotate(33.3);
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3, 4));
    painter.drawImage(QRectF(5, 5, 6, 4), image, QRectF(1, 0, 2, 2));
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::blue);
    painter.drawPixmap(QPointF(7, 7), pixmap);
}

// Markup, Chinese, characters beyond the BMP, an unpaired surrogate and control characters;
// pixel and point sizes; the weights Qt's engine names and others; italic; wrapped; glyphs
// without their characters; and no text without a pen.
void paintTexts(QPainter &painter)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(13);
    font.setBold(true);
    font.setItalic(true);
    painter.setPen(QColor(200, 100, 0, 128));
    painter.setFont(font);
    painter.drawText(
        QPointF(10, 20), QStringLiteral("<混合> & \"text\" 10kV ' \U0001F600 ") + QChar(0xD800) + QChar('\x01'));
    for (const int weight : {QFont::Thin, QFont::Light, QFont::Normal, QFont::DemiBold, QFont::Black}) {
        font.setPointSizeF(7.3 + weight / 10.0);
        font.setWeight(weight);
        font.setItalic(false);
        painter.setFont(font);
        painter.drawText(QRectF(0, weight, 100, 50), Qt::AlignCenter | Qt::TextWordWrap,
            QStringLiteral("换行的 文字 text wraps here"));
    }
    QTextLayout layout(QStringLiteral("glyphs 字"), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns())
        painter.drawGlyphRun(QPointF(5, 40), run);
    painter.setPen(Qt::NoPen);
    painter.drawText(QPointF(1, 1), QStringLiteral("unseen"));
}

// Integers, halves at the seventh digit (Qt rounds them away from zero), values that round up
// into the next decade, the ends of the range written without an exponent, negative zero, the
// extremes of doubles and values without end.
void paintNumbers(QPainter &painter)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double special[] = {0.0, -0.0, 1, -7, 999999, 999999.4, 999999.5, -999999.5, 1e6, 1234567, 123456.5, 12345.25,
        -12345.75, 0.1 + 0.2, 1.0 / 3, -2.0 / 3, 1e-4, 9.9999949e-5, 9.999995e-5, 0.000123456789, 1e-5, 4.9e-324,
        -1e-300, 1.7976931348623157e308, 1e21, 1e15, 35.4878, 0.9999995, 9.9999996, -99999.96, inf, -inf, std::nan("")};
    QVector<QRectF> rects;
    for (const double v : special)
        rects << QRectF(v, -v, v / 3, v * 7);
    painter.drawRects(rects);
}

// More than the writer holds in memory, so that the drawing goes through its scratch file.
void paintLarge(QPainter &painter)
{
    for (int i = 0; i < 30000; ++i) {
        painter.setPen(QColor(i % 256, 0, 0));
        painter.drawRect(QRectF(i % 300, i / 300, 3.5, 4.25));
    }
}

struct Painting
{
    const char *name;
    QSize size;
    int dpi;
    void (*paint)(QPainter &);
    // What Qt's text must hold, so that the painting is known to show what it is there for.
    QList<QByteArray> shows;
};

// One painting per kind of primitive; the head and the picture: exportOfAScene.
const Painting Paintings[] = {
    {"shapes, pictures and numbers, through the scratch file", QSize(400, 300), SvgGenerator::Resolution,
        [](QPainter &p) {
            paintNumbers(p);
            paintLarge(p);
            paintPrimitives(p);
        },
        {"<mask", "<pattern", "stop-opacity=\"0.", "<ellipse", "non-scaling-stroke", "base64,", "e+06", "e-05", "nan",
            "-inf", "12345.3", "123457"}},
    {"texts at 72 dpi", QSize(300, 200), 72, paintTexts,
        {"&quot;", "&amp;", "font-style=\"italic\"", "font-weight=\"100\"", "font-weight=\"870\"", "\xf0\x9f\x98\x80"}},
};

// What Qt's generator writes for the painting, from <defs> to the end of the drawing.
QByteArray qtDrawing(const Painting &painting)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(painting.size);
    svg.setResolution(painting.dpi);
    QPainter painter(&svg);
    painting.paint(painter);
    painter.end();
    const QByteArray all = buffer.data();
    const int start = all.indexOf("<defs>");
    return all.mid(start, all.lastIndexOf("</svg>") - start);
}

QByteArray ourDrawing(const Painting &painting)
{
    SvgStreamWriter writer;
    writer.setSize(painting.size, painting.dpi);
    QPainter painter(&writer);
    painting.paint(painter);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return writer.writeTo(&buffer) ? buffer.data() : QByteArray("(not written)");
}

} // namespace

class TestSvgGenerator : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("svggenerator");
        QVERIFY(QDir().mkpath(TestSupport::projectFolder()));
    }

    // Our writer's drawing is Qt's, byte for byte: every element, attribute, digit and escape
    // in Qt's order.
    void drawingIsQtGeneratorsByteForByte_data()
    {
        QTest::addColumn<int>("painting");
        for (int i = 0; i < int(sizeof(Paintings) / sizeof(Paintings[0])); ++i)
            QTest::newRow(Paintings[i].name) << i;
    }

    void drawingIsQtGeneratorsByteForByte()
    {
        QFETCH(int, painting);
        const QByteArray expected = qtDrawing(Paintings[painting]);
        QVERIFY(expected.startsWith("<defs>\n"));
        for (const QByteArray &shown : Paintings[painting].shows)
            QVERIFY2(expected.contains(shown), shown.constData());
        const QByteArray actual = ourDrawing(Paintings[painting]);
        // Line by line, so that a failure shows the first line that differs.
        QCOMPARE(actual.split('\n'), expected.split('\n'));
    }

    // The export's sequence: nothing written before the end; escaped title and description;
    // the background picture, set while painting, by reference beneath everything and covering
    // the view box; the scene where the view box puts it. The view box is twice the size,
    // elsewhere and fractional: device pixels must still land on the same spot.
    void exportOfAScene()
    {
        QGraphicsScene scene;
        scene.setSceneRect(-100, -50, 800, 600);
        scene.addRect(QRectF(0, 0, 100, 50), Qt::NoPen, QBrush(Qt::blue))->setPos(20, 30);
        scene.addSimpleText(QStringLiteral("10kV 母线"))->setPos(300, 200);
        const QRectF viewBox(1000.5, 2000.25, 1600.5, 1200.5);
        const QString file = path("scene.svg");
        const QString picture = path("pic & 1.png");
        QImage green(16, 12, QImage::Format_RGB32);
        green.fill(QColor(0, 160, 0));
        QVERIFY(green.save(picture));
        // XML 1.0 has no way to write control characters; they are left out rather than
        // breaking the file.
        const QString title = QStringLiteral("a&b <c> \"d\" 画面");
        SvgGenerator generator;
        setUp(generator, file, QSize(800, 600), viewBox);
        generator.setTitle(title + QChar(1));
        generator.setDescription(QChar(2) + title);
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        generator.setImageHref(picture);
        scene.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
        QVERIFY(!QFile::exists(file));
        QVERIFY(painter.end() && generator.writeSucceeded());

        const Svg svg(TestSupport::readFile(file));
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        QCOMPARE(svg.texts("title") + svg.texts("desc"), (QStringList{title, title}));
        // Qt writes one <text> per font run (Latin and Chinese may come from different fonts).
        QCOMPARE(svg.texts("text").join(QString()), QStringLiteral("10kV 母线"));
        const int image = svg.indexOf("image");
        QVERIFY(image >= 0 && image < svg.indexOf("rect"));
        QStringList place{svg.elements.at(image).attributes.value("http://www.w3.org/1999/xlink", "href").toString()};
        for (const char *a : {"x", "y", "width", "height"})
            place << svg.attribute("image", a);
        QCOMPARE(place, (QStringList{picture, "1000.5", "2000.25", "1600.5", "1200.5"}));
        QSvgRenderer renderer(file);
        QCOMPARE(renderer.viewBoxF(), viewBox);
        // Scene (70, 55) is pixel (170, 105); the picture shows wherever nothing is painted.
        QImage result(800, 600, QImage::Format_ARGB32);
        result.fill(Qt::white);
        QPainter onImage(&result);
        renderer.render(&onImage);
        onImage.end();
        QCOMPARE(result.pixelColor(170, 105), QColor(Qt::blue));
        QCOMPARE(result.pixelColor(115, 75), QColor(0, 160, 0));
    }

    // A large drawing that finds no room for its scratch file: end() and writeSucceeded() say so
    // and the previous file stays. (A write that fails on disk: tst_filewriters.)
    void scratchFileFailure()
    {
        // A file where the folder of the scratch file should be.
        const QString blocker = path("not-a-folder");
        const QString file = path("large.svg");
        QVERIFY(TestSupport::writeFile(blocker, "") && TestSupport::writeFile(file, "previous"));
        SvgGenerator generator;
        setUp(generator, file, QSize(300, 100));
        const QByteArray temp = qgetenv("TMPDIR"); // an empty one means the default
        const auto restore = qScopeGuard([&temp] { qputenv("TMPDIR", temp); });
        qputenv("TMPDIR", blocker.toLocal8Bit());
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        paintLarge(painter);
        QVERIFY(!painter.end() && !generator.writeSucceeded());
        QCOMPARE(TestSupport::readFile(file), QByteArray("previous"));
    }
};

QTEST_MAIN(TestSvgGenerator)
#include "tst_svggenerator.moc"
