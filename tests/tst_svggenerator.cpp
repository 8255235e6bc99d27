// SvgGenerator as the SVG export uses it: root element edited while painting, background
// picture by reference, escaped texts, painted content mapped onto the view box, and
// write failures that the caller can see.
#include "svggenerator.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Element
{
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
};

// Every element of a written file in document order, or an error text.
struct Svg
{
    QString error;
    QList<Element> elements;

    explicit Svg(const QString &file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("cannot open");
            return;
        }
        QXmlStreamReader reader(&f);
        QList<int> open;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement()) {
                elements.append({reader.name().toString(), reader.attributes(), QString()});
                open.append(elements.size() - 1);
            } else if (reader.isEndElement()) {
                open.removeLast();
            } else if (reader.isCharacters() && !open.isEmpty()) {
                elements[open.last()].text += reader.text();
            }
        }
        if (reader.hasError())
            error = QStringLiteral("%1 at line %2").arg(reader.errorString()).arg(reader.lineNumber());
    }
    int indexOf(const char *name) const
    {
        for (int i = 0; i < elements.size(); ++i) {
            if (elements.at(i).name == QLatin1String(name))
                return i;
        }
        return -1;
    }
    QString attribute(const char *name, const char *attribute) const
    {
        const int i = indexOf(name);
        return i < 0 ? QString() : elements.at(i).attributes.value(QLatin1String(attribute)).toString();
    }
    QStringList texts(const char *name) const
    {
        QStringList result;
        for (const Element &e : elements) {
            if (e.name == QLatin1String(name))
                result << e.text;
        }
        return result;
    }
};

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

QImage rendered(const QString &file, const QSize &size)
{
    QSvgRenderer renderer(file);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    if (!renderer.isValid())
        return QImage();
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
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

    // The export's sequence: nothing written before the end, escaped texts, the scene where
    // the view box puts it.
    void exportOfAScene()
    {
        QGraphicsScene scene;
        const QRectF sceneRect(-100, -50, 800, 600);
        scene.setSceneRect(sceneRect);
        scene.addRect(QRectF(0, 0, 100, 50), Qt::NoPen, QBrush(Qt::blue))->setPos(20, 30);
        scene.addSimpleText(QStringLiteral("10kV 母线"))->setPos(300, 200);

        const QString file = path("scene.svg");
        const QString title = QStringLiteral("a&b <c> \"d\" 画面");
        SvgGenerator generator;
        QVERIFY(!generator.writeSucceeded());
        setUp(generator, file, QSize(800, 600), sceneRect);
        generator.setTitle(title);
        generator.setDescription(title);
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        scene.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
        QVERIFY(!QFile::exists(file));
        QVERIFY(painter.end());
        QVERIFY(generator.writeSucceeded());

        const Svg svg(file);
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        QCOMPARE(svg.indexOf("svg"), 0);
        QCOMPARE(svg.attribute("svg", "baseProfile"), QStringLiteral("tiny"));
        QCOMPARE(svg.attribute("svg", "width"), QStringLiteral("800"));
        QCOMPARE(svg.attribute("svg", "viewBox"), QStringLiteral("-100 -50 800 600"));
        QCOMPARE(svg.texts("title"), QStringList {title});
        QCOMPARE(svg.texts("desc"), QStringList {title});
        // Qt writes one <text> per font run (Latin and Chinese may come from different fonts).
        QCOMPARE(svg.texts("text").join(QString()), QStringLiteral("10kV 母线"));
        QCOMPARE(svg.indexOf("image"), -1); // no background picture was set

        // The rectangle sits where the scene has it: scene (70, 55) is pixel (170, 105).
        const QImage image = rendered(file, QSize(800, 600));
        QCOMPARE(image.pixelColor(170, 105), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(115, 75), QColor(Qt::white));
    }

    void fractionalViewBox()
    {
        SvgGenerator generator;
        setUp(generator, path("sizes.svg"), QSize(201, 99), QRectF(0.5, 1.25, 100.5, 49.5));
        QPainter painter(&generator);
        painter.drawLine(0, 0, 10, 10);
        QVERIFY(painter.end());
        const Svg svg(path("sizes.svg"));
        QCOMPARE(svg.attribute("svg", "height"), QStringLiteral("99"));
        QCOMPARE(svg.attribute("svg", "viewBox"), QStringLiteral("0.5 1.25 100.5 49.5"));
        QSvgRenderer renderer(path("sizes.svg"));
        QCOMPARE(renderer.viewBoxF(), QRectF(0.5, 1.25, 100.5, 49.5));
        QCOMPARE(renderer.defaultSize(), QSize(201, 99));
    }

    void titleAndDescriptionAreEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // Quotes, markup and Chinese together: exportOfAScene's title.
        QTest::newRow("markup") << QStringLiteral("<svg></svg>&amp;") << QStringLiteral("<svg></svg>&amp;");
        // XML 1.0 has no way to write these; they are left out rather than breaking the file.
        QTest::newRow("control character")
            << QStringLiteral("a\x01") + QLatin1Char('b') << QStringLiteral("ab");
    }

    void titleAndDescriptionAreEscaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        SvgGenerator generator;
        setUp(generator, path("escaped.svg"), QSize(10, 10));
        generator.setTitle(text);
        generator.setDescription(QStringLiteral("说明：") + text);
        QPainter painter(&generator);
        QVERIFY(painter.end());
        const Svg svg(path("escaped.svg"));
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        QCOMPARE(svg.texts("title"), QStringList {expected});
        QCOMPARE(svg.texts("desc"), QStringList {QStringLiteral("说明：") + expected});
        QVERIFY(QSvgRenderer(path("escaped.svg")).isValid());
    }

    void backgroundPictureCoversTheViewBox()
    {
        QImage picture(16, 12, QImage::Format_RGB32);
        picture.fill(QColor(0, 160, 0));
        const QString pictureFile = path("pic & 1.png");
        QVERIFY(picture.save(pictureFile));

        SvgGenerator generator;
        setUp(generator, path("picture.svg"), QSize(300, 200), QRectF(-30, 40, 300, 200));
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        generator.setImageHref(pictureFile); // set while painting, as the export does
        painter.fillRect(QRectF(100, 50, 20, 20), Qt::red);
        QVERIFY(painter.end());

        const Svg svg(path("picture.svg"));
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        const int image = svg.indexOf("image");
        QVERIFY(image >= 0);
        QCOMPARE(svg.elements.at(image)
                     .attributes.value(QStringLiteral("http://www.w3.org/1999/xlink"), QLatin1String("href"))
                     .toString(),
            pictureFile);
        const QStringList expected {"-30", "40", "300", "200"};
        QStringList place;
        for (const char *a : {"x", "y", "width", "height"})
            place << svg.attribute("image", a);
        QCOMPARE(place, expected);
        QVERIFY(image < svg.indexOf("rect")); // beneath everything painted

        const QImage result = rendered(path("picture.svg"), QSize(300, 200));
        for (const QPoint p :
            {QPoint(1, 1), QPoint(298, 1), QPoint(1, 198), QPoint(298, 198), QPoint(60, 150)})
            QCOMPARE(result.pixelColor(p), QColor(0, 160, 0));
        QCOMPARE(result.pixelColor(110, 60), QColor(Qt::red));
    }

    void paintedContentIsKeptAsShapesAndText()
    {
        SvgGenerator generator;
        // Twice the size, elsewhere: device pixels must still land on the same spot.
        setUp(generator, path("painted.svg"), QSize(400, 300), QRectF(1000, 2000, 800, 600));
        QPainter painter(&generator);
        painter.fillRect(QRectF(10, 10, 40, 30), Qt::red);
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPointSize(9);
        painter.setFont(font);
        painter.setPen(Qt::yellow);
        painter.drawText(QPointF(100, 100), QStringLiteral("断路器 10kV 合闸"));
        QPainterPath curve;
        curve.moveTo(200, 50);
        curve.cubicTo(250, 0, 300, 100, 350, 50);
        painter.setPen(QPen(Qt::green, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(curve);
        QVERIFY(painter.end());

        const Svg svg(path("painted.svg"));
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        QCOMPARE(svg.texts("text").join(QString()), QStringLiteral("断路器 10kV 合闸"));
        QCOMPARE(svg.attribute("text", "font-size"), QStringLiteral("12")); // 9 pt at 96 dpi
        bool cubic = false;
        for (const Element &e : svg.elements)
            cubic = cubic
                || (e.name == QLatin1String("path") && e.attributes.value(QLatin1String("d")).contains('C'));
        QVERIFY(cubic);

        const QImage image = rendered(path("painted.svg"), QSize(400, 300));
        QCOMPARE(image.pixelColor(30, 25), QColor(Qt::red));
        QCOMPARE(image.pixelColor(60, 25), QColor(Qt::white));
    }

    void headAndBodyDuringPainting()
    {
        const QString file = path("parts.svg");
        SvgGenerator generator;
        setUp(generator, file, QSize(100, 100));
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        QString *head = generator.getHead();
        QVERIFY(head->startsWith(QLatin1String("<?xml")));
        QVERIFY(head->contains(QLatin1String("  version=\"1.2\" baseProfile=\"tiny\">")));
        head->append(QStringLiteral("<script><![CDATA[var x = 1 < 2;]]></script>\n"));
        generator.getBody()->append(QStringLiteral("<!-- before the drawing -->\n"));
        painter.drawRect(QRectF(10, 10, 20, 20));
        QVERIFY(painter.end());
        QVERIFY(generator.getBody()->startsWith(QLatin1String("<!-- before the drawing -->")));

        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()),
            *generator.getHead() + *generator.getBody() + QStringLiteral("</svg>\n"));
        const Svg svg(file);
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        QCOMPARE(svg.texts("script"), QStringList {QStringLiteral("var x = 1 < 2;")});
        QVERIFY(svg.indexOf("script") < svg.indexOf("rect"));

        // The next painting starts from a fresh head and body.
        QVERIFY(painter.begin(&generator));
        QVERIFY(!generator.getHead()->contains(QLatin1String("<script>")));
        QVERIFY(generator.getBody()->isEmpty());
        QVERIFY(painter.end());
        QCOMPARE(Svg(file).indexOf("script"), -1);
    }

    void writeFailures()
    {
        // A file that cannot be written is reported by end() and writeSucceeded() ...
        const QString blocker = path("not-a-folder");
        QVERIFY(QFile(blocker).open(QIODevice::WriteOnly));
        SvgGenerator generator;
        setUp(generator, blocker + QStringLiteral("/graph.svg"), QSize(20, 20));
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        painter.drawRect(2, 2, 5, 5);
        QVERIFY(!painter.end());
        QVERIFY(!generator.writeSucceeded());
        // ... and writing elsewhere afterwards works and is reported as such.
        generator.setFileName(path("recovered.svg"));
        QVERIFY(painter.begin(&generator));
        painter.drawRect(2, 2, 5, 5);
        QVERIFY(painter.end());
        QVERIFY(generator.writeSucceeded());
        QVERIFY(QSvgRenderer(path("recovered.svg")).isValid());

        // Without a file name the body is made but nothing is written.
        const QStringList before = QDir(TestSupport::projectFolder()).entryList(QDir::Files);
        SvgGenerator memoryOnly;
        memoryOnly.setSize(QSize(20, 20));
        QVERIFY(painter.begin(&memoryOnly));
        painter.drawRect(2, 2, 5, 5);
        QVERIFY(painter.end());
        QVERIFY(!memoryOnly.writeSucceeded());
        QVERIFY(memoryOnly.getBody()->contains(QLatin1String("<rect")));
        QCOMPARE(QDir(TestSupport::projectFolder()).entryList(QDir::Files), before);
    }
};

QTEST_MAIN(TestSvgGenerator)
#include "tst_svggenerator.moc"
