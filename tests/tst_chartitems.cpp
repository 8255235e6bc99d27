// Charts and pictures: their deterministic sample drawings (clock hands, dial needle, rank
// order, bar count), odd values, and picture files (natural size, placeholder, broken,
// relative and reloaded files, kept ratio).
#include "abstractgraphicsutility.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "pictureitem.h"
#include "testsupport.h"

#include <QPixmapCache>
#include <QtTest>

using namespace ItemSamples;

namespace {

const QVector<int> PictureTypes{ItemKind::Animation, ItemKind::SvgPicture, ItemKind::CustomSymbol};
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

// Green pen of width 1, no brush.
std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size)
{
    return outlined(type, size, Green);
}

// Pixels of about the colour, antialiased strokes over the chart's face included.
int countNear(const QImage &image, const QRect &area, const QColor &colour)
{
    return countColour(image, colour, area, 105);
}

bool near(const QImage &image, const QPointF &at, const QColor &colour)
{
    return countNear(image, QRect(at.toPoint(), QSize(1, 1)), colour) > 0;
}

// The picture kinds' file property, folder and wide blue 40 x 20 test picture of their format.
QString fileId(int type)
{
    return type == ItemKind::Animation ? "图片文件" : type == ItemKind::SvgPicture ? "SVG文件" : "图符文件";
}

QString folderOf(int type)
{
    return type == ItemKind::Animation ? AbstractGraphicsUtility::bmpDir()
        : type == ItemKind::SvgPicture ? AbstractGraphicsUtility::svgDir()
                                       : AbstractGraphicsUtility::symbolDir();
}

QString widePicture(int type)
{
    return folderOf(type)
        + (type == ItemKind::Animation         ? "wide.gif"
                : type == ItemKind::SvgPicture ? "wide.svg"
                                               : "wide.png");
}

// A GIF written by hand (Qt reads GIF but does not write it): one single-colour frame per
// entry, colours 0 black, 1 red, 2 blue, 3 green. A clear code before every pixel keeps all
// LZW codes three bits wide, so no compression logic is needed.
QByteArray gifBytes(const QSize &size, const QVector<int> &frames)
{
    QByteArray out("GIF89a");
    auto le16 = [&out](int v) { out.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    le16(size.width());
    le16(size.height());
    out.append("\x91\0\0\0\0\0\xff\0\0\0\0\xff\0\xff\0", 15); // global table of 4 colours
    for (int colour : frames) {
        out.append("\x21\xF9\x04\x04\x0A\x00\x00\x00\x2C\0\0\0\0", 13); // 0.1 s, at (0, 0)
        le16(size.width());
        le16(size.height());
        out.append("\0\x02", 2); // minimum code size: clear = 4, end = 5
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        auto put = [&](int code) {
            bits |= quint32(code) << count;
            for (count += 3; count >= 8; count -= 8, bits >>= 8)
                data.append(char(bits & 0xff));
        };
        for (int i = 0; i < size.width() * size.height(); ++i) {
            put(4);
            put(colour);
        }
        put(5);
        if (count > 0)
            data.append(char(bits & 0xff));
        for (int i = 0; i < data.size(); i += 255)
            out.append(char(data.mid(i, 255).size())).append(data.mid(i, 255));
        out.append('\0');
    }
    return out.append(char(0x3B));
}

QByteArray svgBytes(const QSize &size, const QColor &colour)
{
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">"
                          "<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"%3\"/></svg>")
        .arg(size.width())
        .arg(size.height())
        .arg(colour.name())
        .toUtf8();
}

using TestSupport::writeFile;

bool writePng(const QString &path, const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image.save(path, "PNG");
}

} // namespace

class TestChartItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("chartitems");
        AbstractGraphicsUtility::initProject();
        const QString bmp = AbstractGraphicsUtility::bmpDir();
        const QString svg = AbstractGraphicsUtility::svgDir();
        const QString symbol = AbstractGraphicsUtility::symbolDir();
        QVERIFY(writeFile(bmp + QStringLiteral("wide.gif"), gifBytes(QSize(40, 20), {2})));
        QVERIFY(writeFile(bmp + QStringLiteral("redthenblue.gif"), gifBytes(QSize(8, 6), {1, 2})));
        QVERIFY(writeFile(bmp + QStringLiteral("broken.gif"), QByteArray("GIF89a\x05\x00garbage", 15)));
        QVERIFY(writeFile(svg + QStringLiteral("wide.svg"), svgBytes(QSize(40, 20), Blue)));
        QVERIFY(writeFile(svg + QStringLiteral("red.svg"), svgBytes(QSize(40, 20), Red)));
        QVERIFY(writeFile(svg + QStringLiteral("broken.svg"), "<svg xmlns=\"http://www.w3.org/2000/svg\""));
        QVERIFY(writePng(symbol + QStringLiteral("wide.png"), QSize(40, 20), Blue));
        QVERIFY(writePng(symbol + QStringLiteral("red.png"), QSize(40, 20), Red));
        QVERIFY(writePng(symbol + QStringLiteral("odd.png"), QSize(37, 23), Green));
        QVERIFY(writeFile(symbol + QStringLiteral("tall.svg"), svgBytes(QSize(30, 50), Green)));
        QVERIFY(writeFile(symbol + QStringLiteral("broken.png"), QByteArray("\x89PNG\r\n\x1a\nnot really", 18)));
    }

    void oddValuesAndRepeatability_data() { addKindRows({ItemKind::Chart, ItemKind::Picture}); }

    void oddValuesAndRepeatability()
    {
        QFETCH(int, type);
        // Charts draw made-up sample data: the same for every item, from the cache or not.
        std::unique_ptr<GraphicsItem> first = makeItem(type, QSizeF(160, 120));
        const QImage cached = render(first.get(), Path::Cached);
        const QImage vectors = render(first.get(), Path::Vectors);
        QPixmapCache::clear();
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(160, 120));
        QVERIFY(render(item.get(), Path::Cached) == cached);
        QVERIFY(render(item.get(), Path::Vectors) == vectors);

        // Values outside their ranges, an empty range, no colours, unknown choices and files:
        // nothing may crash or leave the rectangle.
        for (const Property *p : item->properties().value(AbstractGraphicsProperty::Specific)) {
            if (p->type() == Property::Int)
                item->setPropertyValue(p->id(), p->id() == QStringLiteral("刻度数") ? 0 : 1000);
            else if (p->type() == Property::Double)
                item->setPropertyValue(p->id(), 5.0); // maximum == minimum == sample value
            else if (p->type() == Property::Popup)
                item->setPropertyValue(p->id(), QStringLiteral("无此项"));
            else if (p->type() == Property::Color)
                item->setPropertyValue(p->id(), QColor());
            else if (p->type() == Property::Path)
                item->setPropertyValue(p->id(), QStringLiteral("/nonexistent/dir/none.png"));
        }
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QRect bounds = paintedBounds(render(item.get(), target));
            QVERIFY(!bounds.isEmpty());
            QVERIFY(QRectF(Margin, Margin, 160, 120).adjusted(-2, -2, 2, 2).contains(QRectF(bounds)));
        }
    }

    void clockShowsTheSampleTime()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::Clock, QSizeF(200, 200));
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QImage image = render(item.get(), target);
            auto at = [&](double degrees, double distance) {
                const double a = qDegreesToRadians(degrees);
                return QPointF(Margin + 100 + distance * std::sin(a), Margin + 100 - distance * std::cos(a));
            };
            // 10:08:30: the red seconds hand points down; hour and minute hands in the pen colour.
            QVERIFY(near(image, at(180, 45), Red));
            QVERIFY(near(image, at(304.25, 25), Green));
            QVERIFY(near(image, at(51, 45), Green));
            // No hand at twelve or three o'clock: only the face there.
            for (double empty : {0.0, 90.0})
                QVERIFY(!near(image, at(empty, 45), Red) && !near(image, at(empty, 45), Green));
        }
    }

    void dialNeedleFollowsSampleValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("degrees");
        // The scale runs clockwise from -135 to +135 degrees (0 = up) over 0..100.
        QTest::newRow("minimum") << 0.0 << -135.0;
        QTest::newRow("middle") << 50.0 << 0.0;
        QTest::newRow("beyond maximum") << 180.0 << 135.0;
    }

    void dialNeedleFollowsSampleValue()
    {
        QFETCH(double, value);
        QFETCH(double, degrees);
        std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::Dial, QSizeF(200, 200));
        item->setPropertyValue(QStringLiteral("示例值"), value);
        const QImage image = render(item.get(), Path::Vectors);
        auto at = [&](double d) {
            const double a = qDegreesToRadians(d);
            return QPointF(Margin + 100 + 50 * std::sin(a), Margin + 100 - 50 * std::cos(a));
        };
        QVERIFY(near(image, at(degrees), Red));
        QVERIFY(!near(image, at(degrees + 90), Red));
    }

    void rankBarsAreSortedDescending()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::Rank, QSizeF(300, 200));
        item->setPropertyValue(QStringLiteral("柱颜色"), QVariant(Blue));
        const QImage image = render(item.get(), Path::Vectors);
        // Each of the five equally tall rows' bar length, along its middle.
        QList<int> lengths;
        for (int i = 0; i < 5; ++i)
            lengths << countNear(image, QRect(0, qRound(Margin + 40 * (i + 0.5)), image.width(), 1), Blue);
        for (int i = 1; i < 5; ++i)
            QVERIFY2(lengths.at(i) <= lengths.at(i - 1) && lengths.at(i) > 0, qPrintable(QString::number(i)));
        QVERIFY(lengths.first() > lengths.last());
    }

    void barCountShowsAsBars()
    {
        for (int count : {1, 12}) {
            std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::Bar, QSizeF(400, 200));
            item->setPropertyValue(QStringLiteral("数据个数"), count);
            item->setPropertyValue(QStringLiteral("柱颜色"), QVariant(Blue));
            const QImage image = render(item.get(), Path::Vectors);
            // Along a line just above the baseline every bar is crossed once.
            int bars = 0;
            bool inside = false;
            for (int x = 0; x < image.width(); ++x) {
                const bool blue = near(image, QPointF(x, Margin + 180), Blue);
                bars += blue && !inside ? 1 : 0;
                inside = blue;
            }
            QCOMPARE(bars, count);
        }
    }

    void svgPictureStaysVectors()
    {
        for (int type : {ItemKind::SvgPicture, ItemKind::CustomSymbol}) {
            std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(260, 180));
            item->setPropertyValue(fileId(type), type == ItemKind::CustomSymbol ? "../svg/red.svg" : "wide.svg");
            QVERIFY(item->isPerfectSizeEnable());
            // The picture's own rectangle comes through as a vector shape in its colour.
            const QString svg = QString::fromUtf8(svgOf(item.get()));
            QVERIFY2(!svg.contains(QStringLiteral("<image")), "drawn as a picture");
            QVERIFY(svg.contains((type == ItemKind::CustomSymbol ? Red : Blue).name(), Qt::CaseInsensitive));
        }
    }

    // Each row: the file as the engineer gives it (relative to the kind's folder or not) and
    // the picture's natural size, invalid when it cannot be read.
    void pictureFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        for (int type : PictureTypes) {
            QTest::newRow(rowName(type, QStringLiteral("no file"))) << type << QString() << QSize();
            QTest::newRow(rowName(type, QStringLiteral("missing"))) << type << "missing.gif" << QSize();
            QTest::newRow(rowName(type, QStringLiteral("folder"))) << type << folderOf(type) << QSize();
        }
        QTest::newRow("broken gif") << int(ItemKind::Animation) << "broken.gif" << QSize();
        QTest::newRow("broken svg") << int(ItemKind::SvgPicture) << "broken.svg" << QSize();
        QTest::newRow("broken png symbol") << int(ItemKind::CustomSymbol) << "broken.png" << QSize();
        QTest::newRow("gif in bmp folder") << int(ItemKind::Animation) << "wide.gif" << QSize(40, 20);
        QTest::newRow("svg in svg folder") << int(ItemKind::SvgPicture) << "wide.svg" << QSize(40, 20);
        QTest::newRow("png in symbol folder") << int(ItemKind::CustomSymbol) << "wide.png" << QSize(40, 20);
        QTest::newRow("svg of the symbol folder") << int(ItemKind::SvgPicture) << "tall.svg" << QSize();
        QTest::newRow("png of the symbol folder") << int(ItemKind::Animation) << "odd.png" << QSize();
        QTest::newRow("up and back") << int(ItemKind::CustomSymbol) << "../symbol/odd.png" << QSize(37, 23);
        QTest::newRow("absolute svg symbol")
            << int(ItemKind::CustomSymbol) << folderOf(ItemKind::CustomSymbol) + "tall.svg" << QSize(30, 50);
    }

    void pictureFile()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(QSize, size);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(120, 90));
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        // From a good picture to this file: an old picture must not stay.
        item->setPropertyValue(fileId(type), widePicture(type));
        QVERIFY(picture->isPerfectSizeEnable());
        item->setPropertyValue(fileId(type), file);
        QCOMPARE(item->propertyValue(fileId(type)).toString(), file); // as the engineer gave it
        if (!file.isEmpty() && QDir::isRelativePath(file))
            QCOMPARE(picture->resolvedPath(), QDir::cleanPath(folderOf(type) + file));
        QCOMPARE(picture->isPerfectSizeEnable(), size.isValid());
        QCOMPARE(picture->perfectSize(), size);
        QCOMPARE(picture->isBroken(), !size.isValid() && !file.isEmpty());
        if (size.isValid()) {
            // Another item showing the same file agrees.
            std::unique_ptr<GraphicsItem> other = makeItem(type, QSizeF(50, 50));
            other->setPropertyValue(fileId(type), file);
            QCOMPARE(dynamic_cast<PictureItem *>(other.get())->perfectSize(), size);
            return;
        }
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QImage image = render(item.get(), target);
            const QRect area(Margin, Margin, 120, 90);
            QVERIFY(countNear(image, area, Green) > 0); // the placeholder, in the pen colour
            QCOMPARE(countNear(image, area, Blue), 0);
            QCOMPARE(countNear(image, area, Red) > 0, picture->isBroken()); // the cross
        }
    }

    // Without a file each picture kind shows a placeholder of its own.
    void placeholdersDifferByKind()
    {
        QList<QImage> images;
        for (int type : PictureTypes)
            images << render(makeItem(type, QSizeF(120, 90)).get(), Path::Vectors);
        QVERIFY(images.at(0) != images.at(1) && images.at(1) != images.at(2) && images.at(0) != images.at(2));
    }

    void drawingFollowsTheFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("redFile");
        QTest::newRow("svg") << int(ItemKind::SvgPicture) << QStringLiteral("red.svg");
        QTest::newRow("symbol png") << int(ItemKind::CustomSymbol) << QStringLiteral("red.png");
        QTest::newRow("animation") << int(ItemKind::Animation) << QStringLiteral("redthenblue.gif");
    }

    void drawingFollowsTheFile()
    {
        QFETCH(int, type);
        QFETCH(QString, redFile);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        // Red, the wide blue picture, red again, each stretched over the rectangle: the drawing
        // follows every change, and an animation shows its first frame.
        for (int round = 0; round < 3; ++round) {
            item->setPropertyValue(fileId(type), round == 1 ? widePicture(type) : redFile);
            for (Path target : {Path::Cached, Path::Vectors}) {
                const QImage image = render(item.get(), target);
                QCOMPARE(countNear(image, QRect(Margin, Margin, 100, 100), round == 1 ? Blue : Red), 100 * 100);
            }
        }
        // The 2:1 picture kept in ratio fills the middle half of the square only.
        item->setPropertyValue(fileId(type), widePicture(type));
        item->setPropertyValue(QStringLiteral("保持比例"), true);
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QImage image = render(item.get(), target);
            QVERIFY(paintedBounds(image, QRect(Margin, Margin, 100, 20)).isNull());
            QCOMPARE(countNear(image, QRect(Margin, Margin + 30, 100, 40), Blue), 100 * 40);
        }
    }

    void fileChangedOnDiskIsReloaded()
    {
        const QString path = AbstractGraphicsUtility::symbolDir() + QStringLiteral("changing.png");
        QVERIFY(writePng(path, QSize(10, 10), Red));
        std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::CustomSymbol, QSizeF(40, 40));
        item->setPropertyValue(fileId(ItemKind::CustomSymbol), path);
        QCOMPARE(item->perfectSize(), QSize(10, 10));
        // Another size, so that the file differs even within the file system's time resolution.
        QVERIFY(writePng(path, QSize(12, 14), Blue));
        std::unique_ptr<GraphicsItem> later = makeItem(ItemKind::CustomSymbol, QSizeF(40, 40));
        later->setPropertyValue(fileId(ItemKind::CustomSymbol), path);
        QCOMPARE(later->perfectSize(), QSize(12, 14));
        QCOMPARE(countNear(render(later.get(), Path::Cached), QRect(Margin, Margin, 40, 40), Blue), 40 * 40);
    }
};

QTEST_MAIN(TestChartItems)
#include "tst_chartitems.moc"
