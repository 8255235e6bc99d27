// Picture files: natural size, placeholder, broken, relative and reloaded files, kept ratio,
// and the drawing following the file.
#include "abstractgraphicsutility.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "pictureitem.h"
#include "testsupport.h"

#include <QtTest>

using namespace ItemSamples;

namespace {

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
// The colour tolerance that takes in antialiased strokes.
constexpr int Near = 105;

// Qt reads GIF but does not write it: 4 x 2 pictures, one red then one blue frame, and blue only.
const QByteArray RedThenBlueGif
    = QByteArray::fromBase64("R0lGODlhBAACAJEAAAAAAP8AAAAA/wD/ACH5BAQKAAAALAAAAAAEAAIAAAIHDMMwDM"
                             "MwBQAh+QQECgAAACwAAAAABAACAAACBxRFURRFUQUAOw==");
const QByteArray BlueGif
    = QByteArray::fromBase64("R0lGODlhBAACAJEAAAAAAP8AAAAA/wD/ACH5BAQKAAAALAAAAAAEAAIAAAIHFEVRFEVRBQA7");

// Green pen of width 1, no brush, and the given property values.
std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size, const QVariantMap &values = {})
{
    std::unique_ptr<GraphicsItem> item = outlined(type, size, Green);
    setProperties(item.get(), values);
    return item;
}

// A picture kind's file property, folder and blue test picture.
struct PictureKind
{
    QString fileId;
    QString folder;
    QString blue;
};

PictureKind pictureKind(int type)
{
    if (type == ItemKind::Animation)
        return {"图片文件", AbstractGraphicsUtility::bmpDir(), AbstractGraphicsUtility::bmpDir() + "blue.gif"};
    if (type == ItemKind::SvgPicture)
        return {"SVG文件", AbstractGraphicsUtility::svgDir(), AbstractGraphicsUtility::svgDir() + "blue.svg"};
    return {"图符文件", AbstractGraphicsUtility::symbolDir(), AbstractGraphicsUtility::symbolDir() + "blue.png"};
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

class TestPictureItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("pictureitems");
        AbstractGraphicsUtility::initProject();
        const QString bmp = AbstractGraphicsUtility::bmpDir();
        const QString svg = AbstractGraphicsUtility::svgDir();
        const QString symbol = AbstractGraphicsUtility::symbolDir();
        QVERIFY(writeFile(bmp + "blue.gif", BlueGif));
        QVERIFY(writeFile(bmp + "redthenblue.gif", RedThenBlueGif));
        QVERIFY(writeFile(bmp + "broken.gif", QByteArray("GIF89a\x05\x00garbage", 15)));
        QVERIFY(writeFile(svg + "blue.svg", svgBytes(40, 20, Blue)));
        QVERIFY(writeFile(svg + "red.svg", svgBytes(40, 20, Red)));
        QVERIFY(writeFile(svg + "broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\""));
        QVERIFY(writePng(symbol + "blue.png", QSize(40, 20), Blue));
        QVERIFY(writePng(symbol + "red.png", QSize(40, 20), Red));
        QVERIFY(writeFile(symbol + "tall.svg", svgBytes(30, 50, Red)));
    }

    // Each row: the file as the engineer gives it (relative to the kind's folder or not), one
    // per way of reading it, and the picture's natural size, invalid when it cannot be read.
    void pictureFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        const int animation = ItemKind::Animation;
        const int svg = ItemKind::SvgPicture;
        const int symbol = ItemKind::CustomSymbol;
        QTest::newRow("no file") << animation << QString() << QSize();
        QTest::newRow("missing") << svg << "missing.svg" << QSize();
        QTest::newRow("broken gif") << animation << "broken.gif" << QSize();
        QTest::newRow("broken svg") << svg << "broken.svg" << QSize();
        // An animation shows its first frame.
        QTest::newRow("gif") << animation << "redthenblue.gif" << QSize(4, 2);
        QTest::newRow("svg") << svg << "red.svg" << QSize(40, 20);
        QTest::newRow("png symbol, up and back") << symbol << "../symbol/red.png" << QSize(40, 20);
        QTest::newRow("absolute svg symbol") << symbol << pictureKind(symbol).folder + "tall.svg" << QSize(30, 50);
    }

    void pictureFile()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(QSize, size);
        // From a blue picture, already drawn, to this file: the old picture must not stay.
        const PictureKind kind = pictureKind(type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(120, 90), {{kind.fileId, kind.blue}});
        auto *picture = dynamic_cast<PictureItem *>(item.get());
        render(item.get());
        item->setPropertyValue(kind.fileId, file);
        QCOMPARE(item->propertyValue(kind.fileId).toString(), file); // as the engineer gave it
        if (!file.isEmpty() && QDir::isRelativePath(file))
            QCOMPARE(picture->resolvedPath(), QDir::cleanPath(kind.folder + file));
        QCOMPARE((QVariantList{picture->isPerfectSizeEnable(), picture->perfectSize(), picture->isBroken()}),
            (QVariantList{size.isValid(), size, !size.isValid() && !file.isEmpty()}));
        // Another item showing the same file agrees.
        QCOMPARE(makeItem(type, QSizeF(50, 50), {{kind.fileId, file}})->perfectSize(), size);
        // The picture stretched over the rectangle, or in its middle when kept in ratio; without
        // one the placeholder in the pen colour, with a red cross when broken.
        const QRect area(Margin, Margin, 120, 90);
        for (bool keepRatio : {false, true}) {
            item->setPropertyValue(QStringLiteral("保持比例"), keepRatio);
            const QSize fitted = keepRatio ? size.scaled(120, 90, Qt::KeepAspectRatio) : QSize(120, 90);
            const QRect target(
                QPoint(Margin + (120 - fitted.width()) / 2, Margin + (90 - fitted.height()) / 2), fitted);
            for (Path path : {Path::Cached, Path::Vectors}) {
                const QImage image = render(item.get(), path);
                QVERIFY(size.isValid()
                        ? countColour(image, Red, target, Near) == fitted.width() * fitted.height()
                            && paintedBounds(image) == target
                        : countColour(image, Green, area, Near) > 0 && countColour(image, Blue, area, Near) == 0
                            && (countColour(image, Red, area, Near) > 0) == picture->isBroken());
            }
        }
        // An SVG picture is exported as vector shapes in its colour.
        const QString exported = QString::fromUtf8(svgOf(item.get()));
        QVERIFY(!size.isValid() || !file.endsWith(".svg")
            || (!exported.contains("<image") && exported.contains(Red.name(), Qt::CaseInsensitive)));
    }

    void fileChangedOnDiskIsReloaded()
    {
        const QString path = AbstractGraphicsUtility::symbolDir() + QStringLiteral("changing.png");
        QVERIFY(writePng(path, QSize(10, 10), Red));
        QCOMPARE(makeItem(ItemKind::CustomSymbol, QSizeF(40, 40), {{"图符文件", path}})->perfectSize(), QSize(10, 10));
        // Another size, so that the file differs even within the file system's time resolution.
        QVERIFY(writePng(path, QSize(12, 14), Blue));
        std::unique_ptr<GraphicsItem> later = makeItem(ItemKind::CustomSymbol, QSizeF(40, 40), {{"图符文件", path}});
        QCOMPARE(later->perfectSize(), QSize(12, 14));
        QCOMPARE(countColour(render(later.get()), Blue, QRect(Margin, Margin, 40, 40), Near), 40 * 40);
    }
};

QTEST_MAIN(TestPictureItems)
#include "tst_pictureitems.moc"
