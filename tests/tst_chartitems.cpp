// Charts and pictures as the editor uses them: created by a drag or a click, their own
// properties and point bindings, their edit-time look (inside the rectangle, repeatable,
// the same from the pixmap cache as drawn directly), SVG export, and picture files
// (natural size, placeholder, broken and relative files).
#include "abstractgraphicsutility.h"
#include "chartitem.h"
#include "documentformat.h"
#include "drawingdefaults.h"
#include "itemkind.h"
#include "pictureitem.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPicture>
#include <QPixmapCache>
#include <QStyleOptionGraphicsItem>
#include <QSvgGenerator>
#include <QtTest>
#include <memory>

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
const QList<int> TextTypes {Bar, ExtBar, Curve, Dial, Rank};
const QList<int> AllTypes = ChartTypes + PictureTypes;

const QString PointId = QStringLiteral("关联点号");
const QString KeepRatioId = QStringLiteral("保持比例");

// Space around the item in rendered images, so that strokes past the rectangle show.
constexpr int Margin = 16;

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

QByteArray rowName(int type, const QString &what = QString())
{
    QString name = QStringLiteral("%1 %2").arg(type, 0, 16).arg(ItemKind::find(type)->displayName());
    if (!what.isEmpty())
        name += QLatin1Char(' ') + what;
    return name.toUtf8();
}

QString fileId(int type)
{
    switch (type) {
    case Animation:
        return QStringLiteral("图片文件");
    case SvgPicture:
        return QStringLiteral("SVG文件");
    default:
        return QStringLiteral("图符文件");
    }
}

QString folderOf(int type)
{
    switch (type) {
    case Animation:
        return AbstractGraphicsUtility::bmpDir();
    case SvgPicture:
        return AbstractGraphicsUtility::svgDir();
    default:
        return AbstractGraphicsUtility::symbolDir();
    }
}

// A wide blue test picture of each picture kind's format, 40 x 20.
QString widePicture(int type)
{
    switch (type) {
    case Animation:
        return AbstractGraphicsUtility::bmpDir() + QStringLiteral("wide.gif");
    case SvgPicture:
        return AbstractGraphicsUtility::svgDir() + QStringLiteral("wide.svg");
    default:
        return AbstractGraphicsUtility::symbolDir() + QStringLiteral("wide.png");
    }
}

DrawingDefaults defaults(int penWidth = 1, int penStyle = 1)
{
    DrawingDefaults d;
    d.penWidth = penWidth;
    d.penColor = Green;
    d.penStyle = penStyle;
    d.bruchColor = QColor(90, 90, 90);
    d.brushStyle = 0;
    return d;
}

std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size, const DrawingDefaults &d = defaults())
{
    std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
    if (item)
        item->createFromPoints(&d, QPointF(0, 0), QPointF(size.width(), size.height()), nullptr);
    return item;
}

void paintItem(QPainter *painter, GraphicsItem *item)
{
    QStyleOptionGraphicsItem option;
    option.exposedRect = item->boundingRect();
    option.rect = option.exposedRect.toAlignedRect();
    item->paint(painter, &option, nullptr);
}

// Drawn onto an image the painter goes through the pixmap cache; recorded into a QPicture
// first, the item must draw vectors, which are then replayed onto the image.
enum class Target
{
    Cached,
    Direct
};

// The item at `scale`, its rectangle's corner at (Margin, Margin) + offset device pixels.
QImage render(GraphicsItem *item, Target target, double scale = 1.0, const QPointF &offset = QPointF())
{
    const QRectF r = item->rect().normalized();
    QImage image(qCeil(r.width() * scale) + 2 * Margin + 1, qCeil(r.height() * scale) + 2 * Margin + 1,
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QTransform transform = QTransform::fromTranslate(
        Margin + offset.x() - r.left() * scale, Margin + offset.y() - r.top() * scale)
                                     .scale(scale, scale);
    QPainter painter(&image);
    if (target == Target::Cached) {
        painter.setTransform(transform);
        paintItem(&painter, item);
    } else {
        QPicture picture;
        QPainter recorder(&picture);
        recorder.setTransform(transform);
        paintItem(&recorder, item);
        recorder.end();
        painter.drawPicture(0, 0, picture);
    }
    return image;
}

QRect drawnBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
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

// Pixels whose colour differs by more than `tolerance` in any channel.
int differingPixels(const QImage &a, const QImage &b, int tolerance)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *la = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *lb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (qAbs(qRed(la[x]) - qRed(lb[x])) > tolerance || qAbs(qGreen(la[x]) - qGreen(lb[x])) > tolerance
                || qAbs(qBlue(la[x]) - qBlue(lb[x])) > tolerance
                || qAbs(qAlpha(la[x]) - qAlpha(lb[x])) > tolerance)
                ++count;
        }
    }
    return count;
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

using Values = QList<QPair<QString, QVariant>>;

// A value other than the initial one for every editable property of every kind.
Values changedValues(int type)
{
    const QVariant point = QStringLiteral("YC.1001");
    switch (type) {
    case Bar:
        return {{QStringLiteral("数据个数"), 12}, {QStringLiteral("最大值"), 250.0},
            {QStringLiteral("最小值"), -50.0}, {QStringLiteral("柱颜色"), QColor(255, 0, 128)},
            {PointId, point}};
    case ExtBar:
        return {{QStringLiteral("数据个数"), 7}, {QStringLiteral("系列数"), 5},
            {QStringLiteral("最大值"), 80.5}, {QStringLiteral("最小值"), -20.0},
            {QStringLiteral("图例"), false}, {PointId, point}};
    case Curve:
        return {{QStringLiteral("曲线条数"), 4}, {QStringLiteral("时间跨度"), QStringLiteral("1周")},
            {QStringLiteral("网格"), false}, {QStringLiteral("最大值"), 400.0},
            {QStringLiteral("最小值"), -100.0}, {PointId, point}};
    case Pie:
        return {{QStringLiteral("扇区数"), 7}, {PointId, point}};
    case Dial:
        return {{QStringLiteral("最大值"), 150.0}, {QStringLiteral("最小值"), -50.0},
            {QStringLiteral("示例值"), 25.0}, {QStringLiteral("刻度数"), 4}, {PointId, point}};
    case Clock:
        return {{QStringLiteral("表盘颜色"), QColor(200, 200, 255)}};
    case Rank:
        return {
            {QStringLiteral("条数"), 9}, {QStringLiteral("柱颜色"), QColor(0, 128, 255)}, {PointId, point}};
    case Cursor:
        return {{QStringLiteral("最大值"), 300.0}, {QStringLiteral("最小值"), -40.0},
            {QStringLiteral("示例值"), 10.0}, {QStringLiteral("柱颜色"), QColor(0, 180, 0)},
            {PointId, point}};
    default:
        return {{fileId(type), widePicture(type)}, {KeepRatioId, true}, {PointId, point}};
    }
}

QStringList editableSpecificIds(const GraphicsItem *item)
{
    QStringList ids;
    const QList<Property *> list = item->properties().value(AbstractGraphicsProperty::Specific);
    for (const Property *p : list) {
        if (p->isEditable())
            ids << p->id();
    }
    return ids;
}

const Property *specificProperty(const GraphicsItem *item, const QString &id)
{
    const QList<Property *> list = item->properties().value(AbstractGraphicsProperty::Specific);
    for (const Property *p : list) {
        if (p->id() == id)
            return p;
    }
    return nullptr;
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

    void kindsBelongToTheirFamily_data()
    {
        QTest::addColumn<int>("type");
        for (int type : AllTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void kindsBelongToTheirFamily()
    {
        QFETCH(int, type);
        const ItemKind *kind = ItemKind::find(type);
        QVERIFY(kind);
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        QVERIFY(item);
        QCOMPARE(item->type(), type);
        if (ChartTypes.contains(type)) {
            QCOMPARE(kind->family, ItemKind::Chart);
            QVERIFY(dynamic_cast<ChartItem *>(item.get()));
        } else {
            QCOMPARE(kind->family, ItemKind::Picture);
            QVERIFY(dynamic_cast<PictureItem *>(item.get()));
        }
        // Labels need a font to be chosen; kinds without text must not offer one.
        QCOMPARE(item->properties().value(AbstractGraphicsProperty::General).last()->id()
                == QStringLiteral("字体"),
            TextTypes.contains(type));
    }

    void createByDragOrClick_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<QPointF>("pos");
        QTest::addColumn<QSizeF>("size");
        const QPointF press(300, 200);
        for (int type : AllTypes) {
            QTest::newRow(rowName(type, QStringLiteral("down-right")))
                << type << press << QPointF(360, 240) << QPointF(300, 200) << QSizeF(60, 40);
            QTest::newRow(rowName(type, QStringLiteral("down-left")))
                << type << press << QPointF(240, 240) << QPointF(240, 200) << QSizeF(60, 40);
            QTest::newRow(rowName(type, QStringLiteral("up-right")))
                << type << press << QPointF(360, 160) << QPointF(300, 160) << QSizeF(60, 40);
            QTest::newRow(rowName(type, QStringLiteral("up-left")))
                << type << press << QPointF(240, 160) << QPointF(240, 160) << QSizeF(60, 40);
            const QSizeF click = ItemKind::find(type)->clickSize;
            QTest::newRow(rowName(type, QStringLiteral("click")))
                << type << press << press + QPointF(1, 1)
                << press - QPointF(click.width() / 2, click.height() / 2) << click;
        }
    }

    void createByDragOrClick()
    {
        QFETCH(int, type);
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        QFETCH(QPointF, pos);
        QFETCH(QSizeF, size);
        QVERIFY(!size.isEmpty());
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        const DrawingDefaults d = defaults(3);
        QVERIFY(item->createFromPoints(&d, press, release, nullptr));
        QCOMPARE(item->pos(), pos);
        QCOMPARE(item->rect(), QRectF(QPointF(0, 0), size));
        QCOMPARE(item->penColor(), Green);
        QCOMPARE(item->penWidth(), 3);
        QCOMPARE(item->itemRect(), QRectF(pos, size));
    }

    void propertiesAreDeclaredSensibly_data()
    {
        QTest::addColumn<int>("type");
        for (int type : AllTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void propertiesAreDeclaredSensibly()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        const QList<Property *> list = item->properties().value(AbstractGraphicsProperty::Specific);
        for (const Property *p : list) {
            const QVariantHash a = p->attributes();
            const QVariant initial = item->propertyValue(p->id());
            QVERIFY2(initial.isValid(), qPrintable(p->id()));
            switch (p->type()) {
            case Property::Int:
            case Property::Double:
                QVERIFY2(a.contains(QStringLiteral("minimum")) && a.contains(QStringLiteral("maximum")),
                    qPrintable(p->id()));
                QVERIFY2(initial.toDouble() >= a.value(QStringLiteral("minimum")).toDouble()
                        && initial.toDouble() <= a.value(QStringLiteral("maximum")).toDouble(),
                    qPrintable(p->id()));
                break;
            case Property::Popup:
                QVERIFY2(a.value(QStringLiteral("items")).toStringList().contains(initial.toString()),
                    qPrintable(p->id()));
                break;
            case Property::Path:
                QCOMPARE(a.value(QStringLiteral("directory")).toString(), folderOf(type));
                QVERIFY(a.value(QStringLiteral("filter"))
                            .toString()
                            .contains(type == Animation ? QStringLiteral("*.gif") : QStringLiteral("*.svg")));
                if (type == Symbol)
                    QVERIFY(a.value(QStringLiteral("filter")).toString().contains(QStringLiteral("*.png")));
                break;
            case Property::Color:
                QVERIFY2(initial.value<QColor>().isValid(), qPrintable(p->id()));
                break;
            default:
                break;
            }
        }
        // Kinds that show a measurement are bound to a point; the clock is not.
        QCOMPARE(specificProperty(item.get(), PointId) != nullptr, type != Clock);
        if (type != Clock)
            QCOMPARE(specificProperty(item.get(), PointId)->type(), Property::String);
    }

    void countRanges_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("bar count") << int(Bar) << QStringLiteral("数据个数") << 1 << 32;
        QTest::newRow("series") << int(ExtBar) << QStringLiteral("系列数") << 1 << 6;
        QTest::newRow("curves") << int(Curve) << QStringLiteral("曲线条数") << 1 << 4;
        QTest::newRow("sectors") << int(Pie) << QStringLiteral("扇区数") << 2 << 8;
        QTest::newRow("rank bars") << int(Rank) << QStringLiteral("条数") << 1 << 20;
    }

    void countRanges()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        const Property *p = specificProperty(item.get(), id);
        QVERIFY(p);
        QCOMPARE(p->type(), Property::Int);
        QCOMPARE(p->attributes().value(QStringLiteral("minimum")).toInt(), minimum);
        QCOMPARE(p->attributes().value(QStringLiteral("maximum")).toInt(), maximum);
    }

    void timeSpanChoices()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(Curve, QSizeF(100, 100));
        const Property *p = specificProperty(item.get(), QStringLiteral("时间跨度"));
        QVERIFY(p);
        QCOMPARE(p->type(), Property::Popup);
        QCOMPARE(p->attributes().value(QStringLiteral("items")).toStringList(),
            QStringList({QStringLiteral("1小时"), QStringLiteral("1天"), QStringLiteral("1周")}));
    }

    void everyEditablePropertyIsCovered_data()
    {
        QTest::addColumn<int>("type");
        for (int type : AllTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void everyEditablePropertyIsCovered()
    {
        // The round trip below must reach every property a kind offers.
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        QStringList offered = editableSpecificIds(item.get());
        QStringList tested;
        for (const auto &v : changedValues(type))
            tested << v.first;
        offered.sort();
        tested.sort();
        QCOMPARE(offered, tested);
    }

    void propertyRoundTripChangesLook_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("value");
        for (int type : AllTypes) {
            for (const auto &v : changedValues(type))
                QTest::newRow(rowName(type, v.first)) << type << v.first << v.second;
        }
    }

    void propertyRoundTripChangesLook()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QVariant, value);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(240, 180));
        // The ratio only shows with a picture that does not fill the rectangle by itself.
        if (PictureTypes.contains(type) && id != fileId(type))
            item->setPropertyValue(fileId(type), widePicture(type));
        QVERIFY(item->propertyValue(id) != value);
        const QImage cachedBefore = render(item.get(), Target::Cached);
        const QImage directBefore = render(item.get(), Target::Direct);

        item->setPropertyValue(id, value);
        QCOMPARE(item->propertyValue(id), value);
        const QImage cachedAfter = render(item.get(), Target::Cached);
        const QImage directAfter = render(item.get(), Target::Direct);
        if (id == PointId) {
            // A binding is not drawn; items bound to different points look alike.
            QCOMPARE(item->svgID(), value.toString());
            QVERIFY(cachedAfter == cachedBefore);
            QVERIFY(directAfter == directBefore);
        } else {
            QVERIFY(cachedAfter != cachedBefore);
            QVERIFY(directAfter != directBefore);
        }
    }

    void generalPropertiesChangeLook_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("value");
        for (int type : AllTypes) {
            QTest::newRow(rowName(type, QStringLiteral("pen colour")))
                << type << QStringLiteral("线条颜色") << QVariant(QColor(255, 255, 0));
            QTest::newRow(rowName(type, QStringLiteral("fill")))
                << type << QStringLiteral("填充方式") << QVariant(1);
            if (ChartTypes.contains(type)) {
                QTest::newRow(rowName(type, QStringLiteral("pen width")))
                    << type << QStringLiteral("线宽") << QVariant(4);
                QTest::newRow(rowName(type, QStringLiteral("no pen")))
                    << type << QStringLiteral("线型") << QVariant(0);
            }
            if (TextTypes.contains(type)) {
                QTest::newRow(rowName(type, QStringLiteral("font")))
                    << type << QStringLiteral("字体")
                    << QVariant(QFont(QStringLiteral("Noto Sans CJK SC"), 7));
            }
        }
    }

    void generalPropertiesChangeLook()
    {
        // The cached look must follow the base properties as much as the kind's own.
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QVariant, value);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(240, 180));
        const QImage before = render(item.get(), Target::Cached);
        item->setPropertyValue(id, value);
        QVERIFY(render(item.get(), Target::Cached) != before);
    }

    void bindingFollowsBothWays_data()
    {
        QTest::addColumn<int>("type");
        for (int type : AllTypes) {
            if (type != Clock)
                QTest::newRow(rowName(type)) << type;
        }
    }

    void bindingFollowsBothWays()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(100, 100));
        item->setPropertyValue(PointId, QStringLiteral("YX.7"));
        QCOMPARE(item->svgID(), QStringLiteral("YX.7"));
        QVERIFY(item->ykID().isEmpty());
        // Bound elsewhere (a binding dialog), then set back through the property.
        item->setSvgID(QStringLiteral("YX.8"));
        QCOMPARE(item->propertyValue(PointId).toString(), QStringLiteral("YX.8"));
        item->setPropertyValue(PointId, QStringLiteral("YX.7"));
        QCOMPARE(item->svgID(), QStringLiteral("YX.7"));
        QCOMPARE(item->propertyValue(PointId).toString(), QStringLiteral("YX.7"));
    }

    void drawsInsideItsRectangle_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("penWidth");
        QTest::addColumn<int>("penStyle");
        QTest::addColumn<bool>("withPicture");
        QTest::addColumn<bool>("direct");
        const QList<QPair<QString, QSizeF>> sizes {{QStringLiteral("40x40"), QSizeF(40, 40)},
            {QStringLiteral("200x120"), QSizeF(200, 120)}, {QStringLiteral("tall"), QSizeF(12, 300)},
            {QStringLiteral("flat"), QSizeF(400, 14)}};
        for (int type : AllTypes) {
            for (bool direct : {false, true}) {
                const QString how = direct ? QStringLiteral("direct") : QStringLiteral("cached");
                for (const auto &s : sizes) {
                    QTest::newRow(rowName(type, s.first + QLatin1Char(' ') + how))
                        << type << s.second << 1 << 1 << false << direct;
                    if (PictureTypes.contains(type)) {
                        QTest::newRow(rowName(type, s.first + QStringLiteral(" picture ") + how))
                            << type << s.second << 1 << 1 << true << direct;
                    }
                }
                QTest::newRow(rowName(type, QStringLiteral("thick pen ") + how))
                    << type << QSizeF(200, 120) << 7 << 1 << false << direct;
                QTest::newRow(rowName(type, QStringLiteral("no pen ") + how))
                    << type << QSizeF(200, 120) << 1 << 0 << false << direct;
            }
            // Beyond the cache's size limit the item is drawn directly even on a raster target.
            QTest::newRow(rowName(type, QStringLiteral("large")))
                << type << QSizeF(700, 560) << 1 << 1 << false << false;
        }
    }

    void drawsInsideItsRectangle()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(int, penWidth);
        QFETCH(int, penStyle);
        QFETCH(bool, withPicture);
        QFETCH(bool, direct);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size, defaults(penWidth, penStyle));
        if (withPicture) {
            item->setPropertyValue(fileId(type), widePicture(type));
            QVERIFY(item->isPerfectSizeEnable());
        }
        const QImage image = render(item.get(), direct ? Target::Direct : Target::Cached);
        const QRectF r(Margin, Margin, size.width(), size.height());
        // Strokes of the frame may stand out by half the pen; antialiasing by one pixel.
        const double tolerance = (penStyle ? penWidth / 2.0 : 0.0) + 1.0;
        const QRect allowed = r.adjusted(-tolerance, -tolerance, tolerance, tolerance).toAlignedRect();
        const QRect bounds = drawnBounds(image);
        QVERIFY2(!bounds.isEmpty(), "nothing drawn");
        QVERIFY2(allowed.contains(bounds),
            qPrintable(QStringLiteral("drawn %1,%2 %3x%4 outside %5,%6 %7x%8")
                           .arg(bounds.x())
                           .arg(bounds.y())
                           .arg(bounds.width())
                           .arg(bounds.height())
                           .arg(allowed.x())
                           .arg(allowed.y())
                           .arg(allowed.width())
                           .arg(allowed.height())));
        // More than a frame: something inside, clear of the frame's stroke.
        const double frame = penWidth + 1.0;
        const QRect inside = r.adjusted(frame, frame, -frame, -frame).toRect();
        QVERIFY2(countPixels(image, inside, drawn) > 0, "only a frame");
    }

    void survivesOddValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("odd");
        for (int type : AllTypes) {
            QTest::newRow(rowName(type, QStringLiteral("10x10"))) << type << QSizeF(10, 10) << 1.0 << false;
            QTest::newRow(rowName(type, QStringLiteral("10x10 zoomed out")))
                << type << QSizeF(10, 10) << 0.3 << false;
            QTest::newRow(rowName(type, QStringLiteral("10x10 zoomed in")))
                << type << QSizeF(10, 10) << 6.0 << false;
            QTest::newRow(rowName(type, QStringLiteral("2x2 zoomed in")))
                << type << QSizeF(2, 2) << 20.0 << false;
            QTest::newRow(rowName(type, QStringLiteral("odd values")))
                << type << QSizeF(160, 120) << 1.0 << true;
        }
    }

    void survivesOddValues()
    {
        // Tiny items, extreme zoom, and values outside their ranges or an empty range:
        // nothing may crash or leave the rectangle.
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(double, scale);
        QFETCH(bool, odd);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        if (odd) {
            const QList<Property *> list = item->properties().value(AbstractGraphicsProperty::Specific);
            for (const Property *p : list) {
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
        }
        for (Target target : {Target::Cached, Target::Direct}) {
            const QImage image = render(item.get(), target, scale);
            const QRectF r(Margin, Margin, size.width() * scale, size.height() * scale);
            const double tolerance = 0.5 * scale + 1.0;
            const QRect bounds = drawnBounds(image);
            QVERIFY(!bounds.isEmpty());
            QVERIFY(
                r.adjusted(-tolerance, -tolerance, tolerance, tolerance).toAlignedRect().contains(bounds));
        }
    }

    void cachedLookMatchesDirectDrawing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPointF>("offset");
        for (int type : AllTypes) {
            QTest::newRow(rowName(type, QStringLiteral("1:1"))) << type << 1.0 << QPointF();
            QTest::newRow(rowName(type, QStringLiteral("zoom 2.5"))) << type << 2.5 << QPointF();
            QTest::newRow(rowName(type, QStringLiteral("zoom 0.5 quarter offset")))
                << type << 0.5 << QPointF(0.25, 0.75);
            QTest::newRow(rowName(type, QStringLiteral("zoom 1.3 half offset")))
                << type << 1.3 << QPointF(0.5, 0.5);
        }
    }

    void cachedLookMatchesDirectDrawing()
    {
        QFETCH(int, type);
        QFETCH(double, scale);
        QFETCH(QPointF, offset);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(180, 130));
        if (PictureTypes.contains(type))
            item->setPropertyValue(fileId(type), widePicture(type));
        const QImage cached = render(item.get(), Target::Cached, scale, offset);
        const QImage direct = render(item.get(), Target::Direct, scale, offset);
        const int total = cached.width() * cached.height();
        const int differing = differingPixels(cached, direct, 8);
        QVERIFY2(differing >= 0 && differing * 1000 <= total,
            qPrintable(QStringLiteral("%1 of %2 pixels differ").arg(differing).arg(total)));
        // Drawn twice at the same place, the cache must give exactly the same pixels.
        QVERIFY(render(item.get(), Target::Cached, scale, offset) == cached);
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
        const QImage a = render(first.get(), Target::Cached);
        const QImage directA = render(first.get(), Target::Direct);
        // A second item drawn afresh, not taken from the cache.
        QPixmapCache::clear();
        std::unique_ptr<GraphicsItem> second = makeItem(type, QSizeF(220, 160));
        QVERIFY(render(second.get(), Target::Cached) == a);
        QVERIFY(render(second.get(), Target::Direct) == directA);
    }

    void clockShowsTheSampleTime()
    {
        QCOMPARE(ChartItem::sampleTime(), QTime(10, 8, 30));
        std::unique_ptr<GraphicsItem> item = makeItem(Clock, QSizeF(200, 200));
        for (Target target : {Target::Cached, Target::Direct}) {
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
        const QImage image = render(item.get(), Target::Direct);
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
        const QImage image = render(item.get(), Target::Direct);
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
        const QImage image = render(item.get(), Target::Direct);
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

    void svgExportKeepsVectorsAndText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("bar") << int(Bar) << QStringLiteral(">100<");
        QTest::newRow("extended bar") << int(ExtBar) << QStringLiteral(">系列1<");
        QTest::newRow("curve") << int(Curve) << QStringLiteral(">0时<");
        QTest::newRow("dial") << int(Dial) << QStringLiteral(">60<");
        QTest::newRow("rank") << int(Rank) << QStringLiteral(">1#<");
        QTest::newRow("pie") << int(Pie) << QString();
        QTest::newRow("clock") << int(Clock) << QString();
        QTest::newRow("cursor") << int(Cursor) << QString();
        QTest::newRow("svg picture") << int(SvgPicture) << QString();
        QTest::newRow("svg symbol") << int(Symbol) << QString();
    }

    void svgExportKeepsVectorsAndText()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(260, 180));
        if (type == SvgPicture)
            item->setPropertyValue(fileId(type), QStringLiteral("wide.svg"));
        if (type == Symbol)
            item->setPropertyValue(fileId(type), QStringLiteral("tall.svg"));
        QBuffer buffer;
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(300, 220));
        generator.setViewBox(QRect(0, 0, 300, 220));
        QPainter painter(&generator);
        painter.translate(20, 20);
        paintItem(&painter, item.get());
        painter.end();
        const QString svg = QString::fromUtf8(buffer.data());
        QVERIFY2(!svg.contains(QStringLiteral("<image")), "drawn as a picture");
        if (!text.isEmpty()) {
            QVERIFY(svg.contains(QStringLiteral("<text")));
            QVERIFY2(svg.contains(text), qPrintable(text));
        }
        if (PictureTypes.contains(type)) {
            // The picture's own rectangle comes through as a vector shape in its colour.
            const QString colour = type == Symbol ? Green.name() : Blue.name();
            QVERIFY2(svg.contains(colour, Qt::CaseInsensitive), qPrintable(colour));
        }
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
        const QImage image = render(item.get(), Target::Cached);
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
        for (Target target : {Target::Cached, Target::Direct}) {
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
            images << render(item.get(), Target::Direct);
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
            for (Target target : {Target::Cached, Target::Direct}) {
                const QImage image = render(item.get(), target);
                QCOMPARE(countPixels(image, area, reddish), 60 * 40);
            }
            item->setPropertyValue(fileId(type), blueFile);
            for (Target target : {Target::Cached, Target::Direct}) {
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
        QImage image = render(item.get(), Target::Cached);
        QCOMPARE(countPixels(image, top, bluish), 100 * 20);
        item->setPropertyValue(KeepRatioId, true);
        for (Target target : {Target::Cached, Target::Direct}) {
            image = render(item.get(), target);
            QCOMPARE(countPixels(image, top, drawn), 0);
            QCOMPARE(countPixels(image, middle, bluish), 100 * 40);
        }
    }

    void savedAndReadBack_data()
    {
        QTest::addColumn<int>("type");
        for (int type : AllTypes)
            QTest::newRow(rowName(type)) << type;
    }

    void savedAndReadBack()
    {
        // Every changed value survives storage, and a picture is loaded again on reading.
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(150, 110));
        for (const auto &v : changedValues(type))
            item->setPropertyValue(v.first, v.second);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            QVERIFY(DocumentFormat::saveItem(out, item.get()));
        }
        QDataStream in(bytes);
        std::unique_ptr<QGraphicsItem> loaded(DocumentFormat::loadItem(in));
        auto *copy = dynamic_cast<GraphicsItem *>(loaded.get());
        QVERIFY(copy);
        QCOMPARE(copy->type(), type);
        for (const auto &v : changedValues(type))
            QCOMPARE(copy->propertyValue(v.first), v.second);
        QCOMPARE(copy->svgID(), item->svgID());
        QCOMPARE(copy->isPerfectSizeEnable(), item->isPerfectSizeEnable());
        QCOMPARE(copy->isPerfectSizeEnable(), PictureTypes.contains(type));
        QVERIFY(render(copy, Target::Direct) == render(item.get(), Target::Direct));
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
            countPixels(render(later.get(), Target::Cached), QRect(Margin, Margin, 40, 40), bluish), 40 * 40);
    }
};

QTEST_MAIN(TestChartItems)
#include "tst_chartitems.moc"
