// SvgGenerator as the SVG export uses it: root element edited while painting, background
// picture by reference, escaped texts, painted content mapped onto the view box, and
// write failures that the caller can see.
#include "svggenerator.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString XLink = QStringLiteral("http://www.w3.org/1999/xlink");

struct Element
{
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
};

// Every element of the file in document order, or an error text.
struct Document
{
    QString error;
    QList<Element> elements;

    const Element *first(const QString &name) const
    {
        for (const Element &e : elements) {
            if (e.name == name)
                return &e;
        }
        return nullptr;
    }
    int indexOf(const QString &name) const
    {
        for (int i = 0; i < elements.size(); ++i) {
            if (elements.at(i).name == name)
                return i;
        }
        return -1;
    }
    QStringList texts(const QString &name) const
    {
        QStringList result;
        for (const Element &e : elements) {
            if (e.name == name)
                result << e.text;
        }
        return result;
    }
};

Document parse(const QString &file)
{
    Document doc;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        doc.error = QStringLiteral("cannot open");
        return doc;
    }
    QXmlStreamReader reader(&f);
    QList<int> open;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            doc.elements.append({reader.name().toString(), reader.attributes(), QString()});
            open.append(doc.elements.size() - 1);
        } else if (reader.isEndElement()) {
            open.removeLast();
        } else if (reader.isCharacters() && !open.isEmpty()) {
            doc.elements[open.last()].text += reader.text();
        }
    }
    if (reader.hasError())
        doc.error = QStringLiteral("%1 at line %2").arg(reader.errorString()).arg(reader.lineNumber());
    return doc;
}

QString readText(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
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

    // --- the export's sequence

    void exportOfAScene()
    {
        QGraphicsScene scene;
        const QRectF sceneRect(-100, -50, 800, 600);
        scene.setSceneRect(sceneRect);
        auto *box = scene.addRect(QRectF(0, 0, 100, 50), Qt::NoPen, QBrush(Qt::blue));
        box->setPos(20, 30);
        auto *label = scene.addSimpleText(QStringLiteral("10kV 母线"));
        label->setPos(300, 200);

        const QString file = path("scene.svg");
        const QString title = QStringLiteral("a&b <c> \"d\" 画面");
        SvgGenerator generator;
        QVERIFY(!generator.writeSucceeded());
        generator.setFileName(file);
        generator.setSize(sceneRect.size().toSize());
        generator.setViewBox(sceneRect);
        generator.setTitle(title);
        generator.setDescription(title);
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        QString *head = generator.getHead();
        const int at = head->indexOf(QLatin1String("baseProfile="));
        QVERIFY(at > 0);
        head->insert(at, QStringLiteral("onload=\"init(evt)\" "));
        scene.render(&painter, QRectF(), QRectF(), Qt::KeepAspectRatio);
        generator.getBody();
        QVERIFY(!QFile::exists(file));
        QVERIFY(painter.end());
        QVERIFY(generator.writeSucceeded());

        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.elements.first().name, QStringLiteral("svg"));
        const QXmlStreamAttributes root = doc.elements.first().attributes;
        QCOMPARE(root.value(QLatin1String("onload")).toString(), QStringLiteral("init(evt)"));
        QCOMPARE(root.value(QLatin1String("baseProfile")).toString(), QStringLiteral("tiny"));
        QCOMPARE(root.value(QLatin1String("width")).toString(), QStringLiteral("800"));
        QCOMPARE(root.value(QLatin1String("height")).toString(), QStringLiteral("600"));
        QCOMPARE(root.value(QLatin1String("viewBox")).toString(), QStringLiteral("-100 -50 800 600"));
        QCOMPARE(doc.texts(QStringLiteral("title")), QStringList {title});
        QCOMPARE(doc.texts(QStringLiteral("desc")), QStringList {title});
        // Qt writes one <text> per font run (Latin and Chinese may come from different fonts).
        QCOMPARE(doc.texts(QStringLiteral("text")).join(QString()), QStringLiteral("10kV 母线"));

        QSvgRenderer renderer(file);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBoxF(), sceneRect);
        QCOMPARE(renderer.defaultSize(), QSize(800, 600));
        // The rectangle sits where the scene has it: scene (70, 55) is pixel (170, 105).
        const QImage image = rendered(file, QSize(800, 600));
        QCOMPARE(image.pixelColor(170, 105), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(125, 85), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(115, 75), QColor(Qt::white));
        QCOMPARE(image.pixelColor(225, 135), QColor(Qt::white));
    }

    // --- the document

    void sizeAndViewBoxAsSet()
    {
        const QString file = path("sizes.svg");
        SvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(QSize(201, 99));
        generator.setViewBox(QRectF(0.5, 1.25, 100.5, 49.5));
        QPainter painter(&generator);
        painter.drawLine(0, 0, 10, 10);
        QVERIFY(painter.end());

        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        const QXmlStreamAttributes root = doc.elements.first().attributes;
        QCOMPARE(root.value(QLatin1String("width")).toString(), QStringLiteral("201"));
        QCOMPARE(root.value(QLatin1String("height")).toString(), QStringLiteral("99"));
        QCOMPARE(root.value(QLatin1String("viewBox")).toString(), QStringLiteral("0.5 1.25 100.5 49.5"));
        QSvgRenderer renderer(file);
        QCOMPARE(renderer.viewBoxF(), QRectF(0.5, 1.25, 100.5, 49.5));
        QCOMPARE(renderer.defaultSize(), QSize(201, 99));
        QCOMPARE(generator.width(), 201);
        QCOMPARE(generator.logicalDpiY(), SvgGenerator::Resolution);
    }

    void titleAndDescriptionAreEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ampersand") << QStringLiteral("a&b") << QStringLiteral("a&b");
        QTest::newRow("markup") << QStringLiteral("<svg></svg>&amp;") << QStringLiteral("<svg></svg>&amp;");
        QTest::newRow("quotes") << QStringLiteral("\"x\" 'y'") << QStringLiteral("\"x\" 'y'");
        QTest::newRow("chinese") << QStringLiteral("一次接线图 <主> & 备")
                                 << QStringLiteral("一次接线图 <主> & 备");
        // XML 1.0 has no way to write these; they are left out rather than breaking the file.
        QTest::newRow("control character") << QStringLiteral("a\x01"
                                                             "b")
                                           << QStringLiteral("ab");
    }

    void titleAndDescriptionAreEscaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QString file = path("escaped.svg");
        SvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(QSize(10, 10));
        generator.setTitle(text);
        generator.setDescription(QStringLiteral("说明：") + text);
        QPainter painter(&generator);
        QVERIFY(painter.end());

        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.texts(QStringLiteral("title")), QStringList {expected});
        QCOMPARE(doc.texts(QStringLiteral("desc")), QStringList {QStringLiteral("说明：") + expected});
        QVERIFY(QSvgRenderer(file).isValid());
    }

    void backgroundPictureCoversTheViewBox()
    {
        QImage picture(16, 12, QImage::Format_RGB32);
        picture.fill(QColor(0, 160, 0));
        const QString pictureFile = path("pic & 1.png");
        QVERIFY(picture.save(pictureFile));

        const QString file = path("picture.svg");
        SvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(QSize(300, 200));
        generator.setViewBox(QRectF(-30, 40, 300, 200));
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        // Set while painting, as the export does.
        generator.setImageHref(pictureFile);
        painter.fillRect(QRectF(100, 50, 20, 20), Qt::red);
        QVERIFY(painter.end());

        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        const Element *image = doc.first(QStringLiteral("image"));
        QVERIFY(image);
        QCOMPARE(image->attributes.value(XLink, QLatin1String("href")).toString(), pictureFile);
        QCOMPARE(image->attributes.value(QLatin1String("x")).toString(), QStringLiteral("-30"));
        QCOMPARE(image->attributes.value(QLatin1String("y")).toString(), QStringLiteral("40"));
        QCOMPARE(image->attributes.value(QLatin1String("width")).toString(), QStringLiteral("300"));
        QCOMPARE(image->attributes.value(QLatin1String("height")).toString(), QStringLiteral("200"));
        // Beneath everything painted.
        QVERIFY(doc.indexOf(QStringLiteral("image")) < doc.indexOf(QStringLiteral("rect")));

        const QImage result = rendered(file, QSize(300, 200));
        QVERIFY(!result.isNull());
        for (const QPoint p :
            {QPoint(1, 1), QPoint(298, 1), QPoint(1, 198), QPoint(298, 198), QPoint(60, 150)})
            QCOMPARE(result.pixelColor(p), QColor(0, 160, 0));
        QCOMPARE(result.pixelColor(110, 60), QColor(Qt::red));
    }

    void noPictureNoImage()
    {
        const QString file = path("plain.svg");
        SvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(QSize(50, 50));
        QPainter painter(&generator);
        painter.drawEllipse(QRectF(5, 5, 20, 20));
        QVERIFY(painter.end());
        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.indexOf(QStringLiteral("image")), -1);
    }

    // --- the painting

    void paintedContentIsKeptAsShapesAndText()
    {
        const QString file = path("painted.svg");
        SvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(QSize(400, 300));
        // Twice the size, elsewhere: device pixels must still land on the same spot.
        generator.setViewBox(QRectF(1000, 2000, 800, 600));
        QPainter painter(&generator);
        painter.fillRect(QRectF(10, 10, 40, 30), Qt::red);
        QFont font(QStringLiteral("Noto Sans CJK SC"));
        font.setPointSize(9);
        painter.setFont(font);
        painter.setPen(Qt::yellow);
        painter.drawText(QPointF(100, 100), QStringLiteral("断路器 10kV 合闸"));
        QPainterPath path;
        path.moveTo(200, 50);
        path.cubicTo(250, 0, 300, 100, 350, 50);
        painter.setPen(QPen(Qt::green, 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        QVERIFY(painter.end());

        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.texts(QStringLiteral("text")).join(QString()), QStringLiteral("断路器 10kV 合闸"));
        const Element *text = doc.first(QStringLiteral("text"));
        // 9 pt at 96 dpi.
        QCOMPARE(text->attributes.value(QLatin1String("font-size")).toString(), QStringLiteral("12"));
        QVERIFY(doc.first(QStringLiteral("rect")));
        bool cubic = false;
        for (const Element &e : doc.elements)
            cubic = cubic
                || (e.name == QLatin1String("path") && e.attributes.value(QLatin1String("d")).contains('C'));
        QVERIFY(cubic);

        const QImage image = rendered(file, QSize(400, 300));
        QCOMPARE(image.pixelColor(30, 25), QColor(Qt::red));
        QCOMPARE(image.pixelColor(60, 25), QColor(Qt::white));
        bool stroke = false;
        for (int y = 30; y < 70; ++y) {
            const QColor c = image.pixelColor(275, y);
            stroke = stroke || (c.green() > 200 && c.red() < 60 && c.blue() < 60);
        }
        QVERIFY(stroke);
    }

    void headAndBodyDuringPainting()
    {
        const QString file = path("parts.svg");
        SvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(QSize(100, 100));
        generator.setViewBox(QRectF(0, 0, 100, 100));
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
        QVERIFY(generator.getBody()->contains(QLatin1String("<rect")));

        const QString written = readText(file);
        QCOMPARE(written, *generator.getHead() + *generator.getBody() + QStringLiteral("</svg>\n"));
        const Document doc = parse(file);
        QVERIFY2(doc.error.isEmpty(), qPrintable(doc.error));
        QCOMPARE(doc.texts(QStringLiteral("script")), QStringList {QStringLiteral("var x = 1 < 2;")});
        QVERIFY(doc.indexOf(QStringLiteral("script")) < doc.indexOf(QStringLiteral("rect")));

        // The next painting starts from a fresh head and body.
        QVERIFY(painter.begin(&generator));
        QVERIFY(!generator.getHead()->contains(QLatin1String("<script>")));
        QVERIFY(generator.getBody()->isEmpty());
        QVERIFY(painter.end());
        QVERIFY(!readText(file).contains(QLatin1String("<script>")));
        QVERIFY(QSvgRenderer(file).isValid());
    }

    // --- failures

    void unwritableFileIsReported()
    {
        const QString blocker = path("not-a-folder");
        QFile plain(blocker);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();

        SvgGenerator generator;
        generator.setFileName(blocker + QStringLiteral("/graph.svg"));
        generator.setSize(QSize(20, 20));
        QPainter painter;
        QVERIFY(painter.begin(&generator));
        painter.drawRect(2, 2, 5, 5);
        QVERIFY(!painter.end());
        QVERIFY(!generator.writeSucceeded());

        // Writing elsewhere afterwards works and is reported as such.
        generator.setFileName(path("recovered.svg"));
        QVERIFY(painter.begin(&generator));
        painter.drawRect(2, 2, 5, 5);
        QVERIFY(painter.end());
        QVERIFY(generator.writeSucceeded());
        QVERIFY(QSvgRenderer(path("recovered.svg")).isValid());
    }

    void withoutFileNameNothingIsWritten()
    {
        const QStringList before = QDir(TestSupport::projectFolder()).entryList(QDir::Files);
        SvgGenerator generator;
        generator.setSize(QSize(20, 20));
        QPainter painter(&generator);
        painter.drawRect(2, 2, 5, 5);
        QVERIFY(painter.end());
        QVERIFY(!generator.writeSucceeded());
        QVERIFY(generator.getBody()->contains(QLatin1String("<rect")));
        QCOMPARE(QDir(TestSupport::projectFolder()).entryList(QDir::Files), before);
    }

private:
    static QString path(const QString &name)
    {
        return TestSupport::projectFolder() + QLatin1Char('/') + name;
    }
    static QString path(const char *name) { return path(QString::fromUtf8(name)); }
};

QTEST_MAIN(TestSvgGenerator)
#include "tst_svggenerator.moc"
