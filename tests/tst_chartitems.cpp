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

// Green pen of width 1, no brush, and the given property values.
std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size, const QVariantMap &values = {})
{
    std::unique_ptr<GraphicsItem> item = outlined(type, size, Green);
    setProperties(item.get(), values);
    return item;
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

// The point at the angle (degrees clockwise from up) and distance from the centre of a
// 200 x 200 item.
QPointF polar(double degrees, double distance)
{
    const double a = qDegreesToRadians(degrees);
    return QPointF(Margin + 100 + distance * std::sin(a), Margin + 100 - distance * std::cos(a));
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

QByteArray svgBytes(int width, int height, const QColor &colour)
{
    return QString::asprintf(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">"
        "<rect width=\"%d\" height=\"%d\" fill=\"%s\"/></svg>",
        width, height, width, height, width, height, qPrintable(colour.name()))
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
        QVERIFY(writeFile(bmp + "wide.gif", gifBytes(QSize(40, 20), {2})));
        QVERIFY(writeFile(bmp + "redthenblue.gif", gifBytes(QSize(8, 6), {1, 2})));
        QVERIFY(writeFile(bmp + "broken.gif", QByteArray("GIF89a\x05\x00garbage", 15)));
        QVERIFY(writeFile(svg + "wide.svg", svgBytes(40, 20, Blue)));
        QVERIFY(writeFile(svg + "red.svg", svgBytes(40, 20, Red)));
        QVERIFY(writeFile(svg + "broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\""));
        QVERIFY(writePng(symbol + "wide.png", QSize(40, 20), Blue));
        QVERIFY(writePng(symbol + "red.png", QSize(40, 20), Red));
        QVERIFY(writePng(symbol + "odd.png", QSize(37, 23), Green));
        QVERIFY(writeFile(symbol + "tall.svg", svgBytes(30, 50, Green)));
        QVERIFY(writeFile(symbol + "broken.png", QByteArray("\x89PNG\r\n\x1a\nnot really", 18)));
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
        QVERIFY(render(item.get(), Path::Cached) == cached && render(item.get(), Path::Vectors) == vectors);

        // Values outside their ranges, an empty range, no colours, unknown choices and files:
        // nothing may crash or leave the rectangle.
        for (const Property *p : item->properties().value(AbstractGraphicsProperty::Specific)) {
            const QVariant odd = p->type() == Property::Int ? QVariant(p->id() == "刻度数" ? 0 : 1000)
                : p->type() == Property::Double             ? QVariant(5.0) // maximum == minimum == sample value
                : p->type() == Property::Popup              ? QVariant("无此项")
                : p->type() == Property::Color              ? QVariant(QColor())
                : p->type() == Property::Path               ? QVariant("/nonexistent/dir/none.png")
                                                            : QVariant();
            if (odd.isValid())
                item->setPropertyValue(p->id(), odd);
        }
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QRect bounds = paintedBounds(render(item.get(), target));
            QVERIFY(
                !bounds.isEmpty() && QRectF(Margin, Margin, 160, 120).adjusted(-2, -2, 2, 2).contains(QRectF(bounds)));
        }
    }

    // Where the sample drawings of the clock and the dial put their hands: each row a point at
    // an angle (degrees clockwise from up) and distance from the centre, and whether it has
    // the colour there.
    void handsPointAtTheSampleValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QPointF>("polar"); // degrees, distance
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("there");
        // 10:08:30: the red seconds hand points down; hour and minute hands in the pen colour;
        // no hand at twelve or three o'clock.
        const int clock = ItemKind::Clock;
        QTest::newRow("seconds") << clock << QVariantMap() << QPointF(180, 45) << Red << true;
        QTest::newRow("hours") << clock << QVariantMap() << QPointF(304.25, 25) << Green << true;
        QTest::newRow("minutes") << clock << QVariantMap() << QPointF(51, 45) << Green << true;
        for (double empty : {0.0, 90.0}) {
            for (const QColor &colour : {Red, Green})
                QTest::newRow(qPrintable(QStringLiteral("no hand at %1°").arg(empty)))
                    << clock << QVariantMap() << QPointF(empty, 45) << colour << false;
        }
        // The dial's scale runs clockwise from -135 to +135 degrees over 0..100; the needle is red.
        const QList<QPair<double, double>> dial{{0, -135}, {50, 0}, {180, 135}};
        for (const auto &[value, degrees] : dial) {
            const QVariantMap sample{{"示例值", value}};
            QTest::newRow(qPrintable(QStringLiteral("dial %1").arg(value)))
                << int(ItemKind::Dial) << sample << QPointF(degrees, 50) << Red << true;
            QTest::newRow(qPrintable(QStringLiteral("dial %1, not across").arg(value)))
                << int(ItemKind::Dial) << sample << QPointF(degrees + 90, 50) << Red << false;
        }
    }

    void handsPointAtTheSampleValues()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, values);
        QFETCH(QPointF, polar);
        QFETCH(QColor, colour);
        QFETCH(bool, there);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(200, 200), values);
        for (Path target : {Path::Cached, Path::Vectors})
            QCOMPARE(near(render(item.get(), target), ::polar(polar.x(), polar.y()), colour), there);
    }

    // The rank's five equally tall rows, longest bar first; the bar chart's count of bars,
    // each crossed once along a line just above the baseline.
    void rankAndBarSamples()
    {
        std::unique_ptr<GraphicsItem> rank = makeItem(ItemKind::Rank, QSizeF(300, 200), {{"柱颜色", Blue}});
        const QImage image = render(rank.get(), Path::Vectors);
        QList<int> lengths;
        for (int i = 0; i < 5; ++i)
            lengths << countNear(image, QRect(0, qRound(Margin + 40 * (i + 0.5)), image.width(), 1), Blue);
        QList<int> sorted = lengths;
        std::sort(sorted.begin(), sorted.end(), std::greater<int>());
        QCOMPARE(lengths, sorted);
        QVERIFY(lengths.last() > 0 && lengths.first() > lengths.last());

        for (int count : {1, 12}) {
            std::unique_ptr<GraphicsItem> bar
                = makeItem(ItemKind::Bar, QSizeF(400, 200), {{"数据个数", count}, {"柱颜色", Blue}});
            const QImage image = render(bar.get(), Path::Vectors);
            int bars = 0;
            for (int x = 0; x < image.width(); ++x)
                bars += near(image, QPointF(x, Margin + 180), Blue) && !near(image, QPointF(x - 1, Margin + 180), Blue);
            QCOMPARE(bars, count);
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
            QTest::newRow(rowName(type, "no file")) << type << QString() << QSize();
            QTest::newRow(rowName(type, "missing")) << type << "missing.gif" << QSize();
            QTest::newRow(rowName(type, "folder")) << type << folderOf(type) << QSize();
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
        // From a good picture to this file: an old picture must not stay.
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(120, 90), {{fileId(type), widePicture(type)}});
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        QVERIFY(picture->isPerfectSizeEnable());
        item->setPropertyValue(fileId(type), file);
        QCOMPARE(item->propertyValue(fileId(type)).toString(), file); // as the engineer gave it
        if (!file.isEmpty() && QDir::isRelativePath(file))
            QCOMPARE(picture->resolvedPath(), QDir::cleanPath(folderOf(type) + file));
        QCOMPARE((QVariantList{picture->isPerfectSizeEnable(), picture->perfectSize(), picture->isBroken()}),
            (QVariantList{size.isValid(), size, !size.isValid() && !file.isEmpty()}));
        // Another item showing the same file agrees.
        QCOMPARE(makeItem(type, QSizeF(50, 50), {{fileId(type), file}})->perfectSize(), size);
        // Without a picture: the placeholder in the pen colour, with a red cross when broken.
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QImage image = render(item.get(), target);
            const QRect area(Margin, Margin, 120, 90);
            QVERIFY(size.isValid()
                || (countNear(image, area, Green) > 0 && countNear(image, area, Blue) == 0
                    && (countNear(image, area, Red) > 0) == picture->isBroken()));
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
        QTest::newRow("symbol svg") << int(ItemKind::CustomSymbol) << QStringLiteral("../svg/red.svg");
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
        // An SVG picture comes through as vector shapes in its colour.
        const QString svg = QString::fromUtf8(svgOf(item.get()));
        QVERIFY(
            !redFile.endsWith(".svg") || (!svg.contains("<image") && svg.contains(Red.name(), Qt::CaseInsensitive)));
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
        QCOMPARE(
            makeItem(ItemKind::CustomSymbol, QSizeF(40, 40), {{fileId(ItemKind::CustomSymbol), path}})->perfectSize(),
            QSize(10, 10));
        // Another size, so that the file differs even within the file system's time resolution.
        QVERIFY(writePng(path, QSize(12, 14), Blue));
        std::unique_ptr<GraphicsItem> later
            = makeItem(ItemKind::CustomSymbol, QSizeF(40, 40), {{fileId(ItemKind::CustomSymbol), path}});
        QCOMPARE(later->perfectSize(), QSize(12, 14));
        QCOMPARE(countNear(render(later.get(), Path::Cached), QRect(Margin, Margin, 40, 40), Blue), 40 * 40);
    }
};

QTEST_MAIN(TestChartItems)
#include "tst_chartitems.moc"
