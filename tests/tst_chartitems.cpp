// Charts and pictures: their deterministic sample drawings (clock hands, dial needle, rank
// order, bar count), odd values, and picture files (natural size, placeholder, broken,
// relative and reloaded files, kept ratio).
// What holds for every kind is tested with all items.
#include "abstractgraphicsutility.h"
#include "chartitem.h"
#include "drawingdefaults.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "pictureitem.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QPixmapCache>
#include <QtTest>
#include <memory>

using namespace ItemSamples;

namespace {

enum : int
{
    Bar = 0x10020,
    ExtBar = 0x10032,
    Curve = 0x10021,
    Pie = 0x10030,
    Dial = 0x1002f,
    Clock = 0x10023,
    Rank = 0x10036,
    Cursor = 0x10037,
    Animation = 0x10022,
    SvgPicture = 0x10031,
    Symbol = 0x10029,
};

const QList<int> ChartTypes {Bar, ExtBar, Curve, Pie, Dial, Clock, Rank, Cursor};
const QList<int> PictureTypes {Animation, SvgPicture, Symbol};
const QList<int> AllTypes = ChartTypes + PictureTypes;

const QString KeepRatioId = QStringLiteral("保持比例");

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

QByteArray rowName(int type, const QString &what = QString())
{
    const QString name = ItemKind::find(type)->displayName();
    return (what.isEmpty() ? name : name + QLatin1Char(' ') + what).toUtf8();
}

QString fileId(int type)
{
    return type == Animation ? QStringLiteral("图片文件")
        : type == SvgPicture ? QStringLiteral("SVG文件")
                             : QStringLiteral("图符文件");
}

QString folderOf(int type)
{
    return type == Animation ? AbstractGraphicsUtility::bmpDir()
        : type == SvgPicture ? AbstractGraphicsUtility::svgDir()
                             : AbstractGraphicsUtility::symbolDir();
}

// A wide blue test picture of each picture kind's format, 40 x 20.
QString widePicture(int type)
{
    return folderOf(type)
        + QLatin1String(type == Animation ? "wide.gif"
                : type == SvgPicture      ? "wide.svg"
                                          : "wide.png");
}

// A green pen of width 1 and no brush.
std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size)
{
    std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
    DrawingDefaults d;
    d.penWidth = 1;
    d.penColor = Green;
    d.penStyle = 1;
    d.brushStyle = 0;
    item->createFromPoints(&d, QPointF(0, 0), QPointF(size.width(), size.height()), nullptr);
    return item;
}

int countPixels(const QImage &image, const QRect &area, const std::function<bool(const QColor &)> &match)
{
    int count = 0;
    const QRect within = area & image.rect();
    for (int y = within.top(); y <= within.bottom(); ++y) {
        for (int x = within.left(); x <= within.right(); ++x) {
            if (match(image.pixelColor(x, y)))
                ++count;
        }
    }
    return count;
}

bool drawn(const QColor &c)
{
    return c.alpha() != 0;
}

bool reddish(const QColor &c)
{
    return c.alpha() > 200 && c.red() > 150 && c.green() < 110 && c.blue() < 110;
}

bool greenish(const QColor &c)
{
    return c.alpha() > 200 && c.green() > 150 && c.red() < 110 && c.blue() < 110;
}

bool bluish(const QColor &c)
{
    return c.alpha() > 200 && c.blue() > 150 && c.red() < 110 && c.green() < 110;
}

// A GIF written by hand (Qt reads GIF but does not write it): one single-colour frame per
// entry, colours 0 black, 1 red, 2 blue, 3 green. A clear code before every pixel keeps all
// LZW codes three bits wide, so no compression logic is needed.
QByteArray gifBytes(const QSize &size, const QVector<int> &frames)
{
    QByteArray out("GIF89a");
    auto le16 = [&out](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    le16(size.width());
    le16(size.height());
    out.append(char(0x91)); // global colour table of 4 entries
    out.append(char(0));
    out.append(char(0));
    const uchar palette[] = {0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 0};
    out.append(reinterpret_cast<const char *>(palette), sizeof(palette));
    for (int colour : frames) {
        out.append("\x21\xF9\x04\x04\x0A\x00\x00\x00", 8); // 0.1 s per frame, no transparency
        out.append(char(0x2C));
        le16(0);
        le16(0);
        le16(size.width());
        le16(size.height());
        out.append(char(0));
        out.append(char(2)); // minimum code size: clear = 4, end = 5
        QByteArray data;
        quint32 bits = 0;
        int count = 0;
        auto put = [&](int code) {
            bits |= quint32(code) << count;
            count += 3;
            while (count >= 8) {
                data.append(char(bits & 0xff));
                bits >>= 8;
                count -= 8;
            }
        };
        for (int i = 0; i < size.width() * size.height(); ++i) {
            put(4);
            put(colour);
        }
        put(5);
        if (count > 0)
            data.append(char(bits & 0xff));
        for (int i = 0; i < data.size(); i += 255) {
            const QByteArray block = data.mid(i, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

QByteArray svgBytes(const QSize &size, const QColor &colour)
{
    return QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\">"
        "<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"%3\"/></svg>")
        .arg(size.width())
        .arg(size.height())
        .arg(colour.name())
        .toUtf8();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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
        QVERIFY(writeFile(
            svg + QStringLiteral("broken.svg"), QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"")));
        QVERIFY(writePng(symbol + QStringLiteral("wide.png"), QSize(40, 20), Blue));
        QVERIFY(writePng(symbol + QStringLiteral("red.png"), QSize(40, 20), Red));
        QVERIFY(writePng(symbol + QStringLiteral("odd.png"), QSize(37, 23), Green));
        QVERIFY(writeFile(symbol + QStringLiteral("tall.svg"), svgBytes(QSize(30, 50), Green)));
        QVERIFY(
            writeFile(symbol + QStringLiteral("broken.png"), QByteArray("\x89PNG\r\n\x1a\nnot really", 18)));
    }

    void survivesOddValues_data()
    {
        QTest::addColumn<int>("type");
        for (int type : AllTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void survivesOddValues()
    {
        // Values outside their ranges, an empty range, no colours, unknown choices and files:
        // nothing may crash or leave the rectangle.
        QFETCH(int, type);
        const QSizeF size(160, 120);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
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
            QVERIFY(QRectF(Margin, Margin, size.width(), size.height())
                        .adjusted(-2, -2, 2, 2)
                        .contains(QRectF(bounds)));
        }
    }

    void sampleDataAreRepeatable_data()
    {
        QTest::addColumn<int>("type");
        for (int type : ChartTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void sampleDataAreRepeatable()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> first = makeItem(type, QSizeF(220, 160));
        const QImage a = render(first.get(), Path::Cached);
        const QImage directA = render(first.get(), Path::Vectors);
        // A second item drawn afresh, not taken from the cache.
        QPixmapCache::clear();
        std::unique_ptr<GraphicsItem> second = makeItem(type, QSizeF(220, 160));
        QVERIFY(render(second.get(), Path::Cached) == a);
        QVERIFY(render(second.get(), Path::Vectors) == directA);
    }

    void clockShowsTheSampleTime()
    {
        QCOMPARE(ChartItem::sampleTime(), QTime(10, 8, 30));
        std::unique_ptr<GraphicsItem> item = makeItem(Clock, QSizeF(200, 200));
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QImage image = render(item.get(), target);
            const QPointF centre(Margin + 100, Margin + 100);
            auto at = [&](double degrees, double distance) {
                const double a = qDegreesToRadians(degrees);
                return image.pixelColor(
                    QPointF(centre.x() + distance * std::sin(a), centre.y() - distance * std::cos(a))
                        .toPoint());
            };
            // Seconds at 30: the red hand points down; hour and minute hands in the pen colour.
            QVERIFY(reddish(at(180, 45)));
            QVERIFY(greenish(at(304.25, 25)));
            QVERIFY(greenish(at(51, 45)));
            // No hand at twelve or three o'clock: only the face there.
            for (double empty : {0.0, 90.0}) {
                const QColor c = at(empty, 45);
                QVERIFY(!reddish(c) && !greenish(c));
                QCOMPARE(c, QColor(36, 44, 60));
            }
        }
    }

    void dialNeedleFollowsSampleValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("degrees");
        // The scale runs clockwise from -135 to +135 degrees (0 = up) over 0..100.
        QTest::newRow("minimum") << 0.0 << -135.0;
        QTest::newRow("middle") << 50.0 << 0.0;
        QTest::newRow("maximum") << 100.0 << 135.0;
        QTest::newRow("beyond maximum") << 180.0 << 135.0;
    }

    void dialNeedleFollowsSampleValue()
    {
        QFETCH(double, value);
        QFETCH(double, degrees);
        std::unique_ptr<GraphicsItem> item = makeItem(Dial, QSizeF(200, 200));
        item->setPropertyValue(QStringLiteral("示例值"), value);
        const QImage image = render(item.get(), Path::Vectors);
        auto at = [&](double d) {
            const double a = qDegreesToRadians(d);
            return image.pixelColor(
                QPointF(Margin + 100 + 50 * std::sin(a), Margin + 100 - 50 * std::cos(a)).toPoint());
        };
        QVERIFY(reddish(at(degrees)));
        QVERIFY(!reddish(at(degrees + 90)));
    }

    void rankBarsAreSortedDescending()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(Rank, QSizeF(300, 200));
        item->setPropertyValue(QStringLiteral("柱颜色"), QVariant(Blue));
        const QImage image = render(item.get(), Path::Vectors);
        // Measure each row's bar length along its middle; rows are equally tall.
        const int rows = 5;
        QList<int> lengths;
        const double rowHeight = 200.0 / rows;
        for (int i = 0; i < rows; ++i) {
            const int y = qRound(Margin + rowHeight * (i + 0.5));
            lengths << countPixels(image, QRect(0, y, image.width(), 1), bluish);
        }
        for (int i = 1; i < rows; ++i)
            QVERIFY2(lengths.at(i) <= lengths.at(i - 1) && lengths.at(i) > 0, qPrintable(QString::number(i)));
        QVERIFY(lengths.first() > lengths.last());
    }

    void barCountShowsAsBars_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("1") << 1;
        QTest::newRow("5") << 5;
        QTest::newRow("12") << 12;
    }

    void barCountShowsAsBars()
    {
        QFETCH(int, count);
        std::unique_ptr<GraphicsItem> item = makeItem(Bar, QSizeF(400, 200));
        item->setPropertyValue(QStringLiteral("数据个数"), count);
        item->setPropertyValue(QStringLiteral("柱颜色"), QVariant(Blue));
        const QImage image = render(item.get(), Path::Vectors);
        // Along a line just above the baseline every bar is crossed once.
        const int y = Margin + 200 - 20;
        int bars = 0;
        bool inside = false;
        for (int x = 0; x < image.width(); ++x) {
            const bool blue = bluish(image.pixelColor(x, y));
            if (blue && !inside)
                ++bars;
            inside = blue;
        }
        QCOMPARE(bars, count);
    }

    void svgPictureStaysVectors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("svg picture") << int(SvgPicture) << QStringLiteral("wide.svg") << Blue;
        QTest::newRow("svg symbol") << int(Symbol) << QStringLiteral("../svg/red.svg") << Red;
    }

    void svgPictureStaysVectors()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(QColor, colour);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(260, 180));
        item->setPropertyValue(fileId(type), file);
        QVERIFY(item->isPerfectSizeEnable());
        // The picture's own rectangle comes through as a vector shape in its colour.
        const QString svg = QString::fromUtf8(svgOf(item.get()));
        QVERIFY2(!svg.contains(QStringLiteral("<image")), "drawn as a picture");
        QVERIFY(svg.contains(colour.name(), Qt::CaseInsensitive));
    }

    void perfectSizeIsThePictureSize_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("gif") << int(Animation) << QStringLiteral("wide.gif") << QSize(40, 20);
        QTest::newRow("svg") << int(SvgPicture) << QStringLiteral("wide.svg") << QSize(40, 20);
        QTest::newRow("png symbol") << int(Symbol) << QStringLiteral("odd.png") << QSize(37, 23);
        QTest::newRow("svg symbol") << int(Symbol) << QStringLiteral("tall.svg") << QSize(30, 50);
    }

    void perfectSizeIsThePictureSize()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(QSize, size);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        QVERIFY(!picture->isPerfectSizeEnable());
        item->setPropertyValue(fileId(type), folderOf(type) + file);
        QVERIFY(picture->isPerfectSizeEnable());
        QCOMPARE(picture->perfectSize(), size);
        QVERIFY(!picture->isBroken());
        // Two items showing the same file agree.
        std::unique_ptr<GraphicsItem> other = makeItem(type, QSizeF(50, 50));
        other->setPropertyValue(fileId(type), folderOf(type) + file);
        QCOMPARE(dynamic_cast<PictureItem *>(other.get())->perfectSize(), size);
    }

    void animationShowsItsFirstFrame()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(Animation, QSizeF(80, 60));
        item->setPropertyValue(fileId(Animation), QStringLiteral("redthenblue.gif"));
        QCOMPARE(dynamic_cast<PictureItem *>(item.get())->perfectSize(), QSize(8, 6));
        const QImage image = render(item.get(), Path::Cached);
        const QRect area(Margin, Margin, 80, 60);
        QCOMPARE(countPixels(image, area, reddish), 80 * 60);
        QCOMPARE(countPixels(image, area, bluish), 0);
    }

    void unreadableFileShowsPlaceholderAndCross_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("cross");
        for (int type : PictureTypes) {
            QTest::newRow(rowName(type, QStringLiteral("no file"))) << type << QString() << false;
            QTest::newRow(rowName(type, QStringLiteral("missing")))
                << type << QStringLiteral("missing.gif") << true;
            QTest::newRow(rowName(type, QStringLiteral("folder"))) << type << folderOf(type) << true;
        }
        QTest::newRow("broken gif") << int(Animation) << QStringLiteral("broken.gif") << true;
        QTest::newRow("broken svg") << int(SvgPicture) << QStringLiteral("broken.svg") << true;
        QTest::newRow("broken png symbol") << int(Symbol) << QStringLiteral("broken.png") << true;
    }

    void unreadableFileShowsPlaceholderAndCross()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(bool, cross);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(120, 90));
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        // From a good picture to the unreadable file: the old picture must not stay.
        item->setPropertyValue(fileId(type), widePicture(type));
        QVERIFY(picture->isPerfectSizeEnable());
        item->setPropertyValue(fileId(type), file);
        QCOMPARE(item->propertyValue(fileId(type)).toString(), file);
        QVERIFY(!picture->isPerfectSizeEnable());
        QVERIFY(!picture->perfectSize().isValid());
        QCOMPARE(picture->isBroken(), cross);
        for (Path target : {Path::Cached, Path::Vectors}) {
            const QImage image = render(item.get(), target);
            const QRect area(Margin, Margin, 120, 90);
            QVERIFY(countPixels(image, area, greenish) > 0); // the placeholder, in the pen colour
            QCOMPARE(countPixels(image, area, bluish), 0);
            QCOMPARE(countPixels(image, area, reddish) > 0, cross);
        }
    }

    void placeholdersDifferByKind()
    {
        QList<QImage> images;
        for (int type : PictureTypes) {
            std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(120, 90));
            images << render(item.get(), Path::Vectors);
        }
        QVERIFY(images.at(0) != images.at(1));
        QVERIFY(images.at(1) != images.at(2));
        QVERIFY(images.at(0) != images.at(2));
    }

    void relativePathIsTakenInTheKindsFolder_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("loads");
        QTest::newRow("gif in bmp folder") << int(Animation) << QStringLiteral("wide.gif") << true;
        QTest::newRow("svg in svg folder") << int(SvgPicture) << QStringLiteral("wide.svg") << true;
        QTest::newRow("png in symbol folder") << int(Symbol) << QStringLiteral("wide.png") << true;
        QTest::newRow("svg of the symbol folder") << int(SvgPicture) << QStringLiteral("tall.svg") << false;
        QTest::newRow("png of the symbol folder") << int(Animation) << QStringLiteral("odd.png") << false;
        QTest::newRow("up and back") << int(Symbol) << QStringLiteral("../symbol/odd.png") << true;
    }

    void relativePathIsTakenInTheKindsFolder()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(bool, loads);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        item->setPropertyValue(fileId(type), file);
        QCOMPARE(picture->resolvedPath(), QDir::cleanPath(folderOf(type) + file));
        QCOMPARE(picture->isPerfectSizeEnable(), loads);
        QCOMPARE(picture->isBroken(), !loads);
        // The stored value stays as the engineer gave it.
        QCOMPARE(item->propertyValue(fileId(type)).toString(), file);
    }

    void changingTheFileChangesTheDrawing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("redFile");
        QTest::addColumn<QString>("blueFile");
        QTest::newRow("svg") << int(SvgPicture) << QStringLiteral("red.svg") << QStringLiteral("wide.svg");
        QTest::newRow("symbol png") << int(Symbol) << QStringLiteral("red.png") << QStringLiteral("wide.png");
        QTest::newRow("animation") << int(Animation) << QStringLiteral("redthenblue.gif")
                                   << QStringLiteral("wide.gif");
    }

    void changingTheFileChangesTheDrawing()
    {
        QFETCH(int, type);
        QFETCH(QString, redFile);
        QFETCH(QString, blueFile);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(60, 40));
        const QRect area(Margin, Margin, 60, 40);
        for (int round = 0; round < 2; ++round) {
            item->setPropertyValue(fileId(type), redFile);
            for (Path target : {Path::Cached, Path::Vectors}) {
                const QImage image = render(item.get(), target);
                QCOMPARE(countPixels(image, area, reddish), 60 * 40);
            }
            item->setPropertyValue(fileId(type), blueFile);
            for (Path target : {Path::Cached, Path::Vectors}) {
                const QImage image = render(item.get(), target);
                QCOMPARE(countPixels(image, area, bluish), 60 * 40);
            }
        }
    }

    void keepingTheRatioLeavesBands_data()
    {
        QTest::addColumn<int>("type");
        for (int type : PictureTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void keepingTheRatioLeavesBands()
    {
        // A 2:1 picture in a square: kept in ratio it fills the middle half only.
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        item->setPropertyValue(fileId(type), widePicture(type));
        const QRect top(Margin, Margin, 100, 20);
        const QRect middle(Margin, Margin + 30, 100, 40);
        QImage image = render(item.get(), Path::Cached);
        QCOMPARE(countPixels(image, top, bluish), 100 * 20);
        item->setPropertyValue(KeepRatioId, true);
        for (Path target : {Path::Cached, Path::Vectors}) {
            image = render(item.get(), target);
            QCOMPARE(countPixels(image, top, drawn), 0);
            QCOMPARE(countPixels(image, middle, bluish), 100 * 40);
        }
    }

    void fileChangedOnDiskIsReloaded()
    {
        const QString path = AbstractGraphicsUtility::symbolDir() + QStringLiteral("changing.png");
        QVERIFY(writePng(path, QSize(10, 10), Red));
        std::unique_ptr<GraphicsItem> item = makeItem(Symbol, QSizeF(40, 40));
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        item->setPropertyValue(fileId(Symbol), path);
        QCOMPARE(picture->perfectSize(), QSize(10, 10));
        // Another size, so that the file differs even within the file system's time resolution.
        QVERIFY(writePng(path, QSize(12, 14), Blue));
        std::unique_ptr<GraphicsItem> later = makeItem(Symbol, QSizeF(40, 40));
        later->setPropertyValue(fileId(Symbol), path);
        QCOMPARE(dynamic_cast<PictureItem *>(later.get())->perfectSize(), QSize(12, 14));
        QCOMPARE(
            countPixels(render(later.get(), Path::Cached), QRect(Margin, Margin, 40, 40), bluish), 40 * 40);
    }
};

QTEST_MAIN(TestChartItems)
#include "tst_chartitems.moc"
