// The text and link items: creation by drag and click, their own properties, where and how
// they draw at any size and zoom, and that SVG exports keep their texts as text.
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "linkitem.h"
#include "testsupport.h"
#include "textitem.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

namespace {

const QColor Background(Qt::black);
const QColor PenColor(255, 255, 0);
const QColor OtherColor(0, 200, 255);
const QString LongText
    = QStringLiteral("一段很长很长的文字, 用来检查文字不会超出图元的矩形范围 ABCDEFG 0123456789");

enum
{
    PlainText = 0x10027,
    TextValue = 0x1003a,
    ExtendedText = 0x10035,
    AnalogValue = 0x10007,
    DigitalClock = 0x10024,
    Button = 0x10025,
    HotSpot = 0x10026,
    GraphLink = 0x10038,
    Details = 0x10034,
    Circuit = 0x10033,
};

QVector<const ItemKind *> ourKinds()
{
    QVector<const ItemKind *> kinds;
    for (const ItemKind &k : ItemKind::all()) {
        if (k.family == ItemKind::Text || k.family == ItemKind::Link)
            kinds << &k;
    }
    return kinds;
}

QByteArray rowName(int type, const QString &rest = QString())
{
    const QString name = ItemKind::find(type)->displayName();
    return (rest.isEmpty() ? name : name + QLatin1Char(' ') + rest).toUtf8();
}

DrawingDefaults defaults()
{
    DrawingDefaults d;
    d.penWidth = 1;
    d.penColor = PenColor;
    d.penStyle = 1;
    return d;
}

std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size = QSizeF(160, 80))
{
    std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
    if (item) {
        const DrawingDefaults d = defaults();
        item->createFromPoints(&d, QPointF(10, 10), QPointF(10 + size.width(), 10 + size.height()), nullptr);
    }
    return item;
}

// What the item displays, whichever family it is.
QString displayText(GraphicsItem *item)
{
    if (auto *text = dynamic_cast<TextItem *>(item))
        return text->displayText();
    if (auto *link = dynamic_cast<LinkItem *>(item))
        return link->displayText();
    return QString();
}

// The property that holds what a kind shows as text.
QString textProperty(int type)
{
    switch (type) {
    case TextValue:
        return QStringLiteral("前缀");
    case AnalogValue:
        return QStringLiteral("单位");
    case DigitalClock:
        return QStringLiteral("显示格式");
    case Circuit:
        return QStringLiteral("回路名称");
    default:
        return QStringLiteral("文本");
    }
}

constexpr int Margin = 20;

// The item painted into an image with Margin pixels around its rectangle.
QImage render(GraphicsItem *item, double scale = 1.0, const QColor &background = Background)
{
    const QRectF r = item->rect().normalized();
    QImage image(qCeil(r.width() * scale) + 2 * Margin, qCeil(r.height() * scale) + 2 * Margin,
        QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.translate(Margin, Margin);
    painter.scale(scale, scale);
    painter.translate(-r.topLeft());
    QStyleOptionGraphicsItem option;
    item->paint(&painter, &option, nullptr);
    return image;
}

// Bounding box of every pixel that differs from the background, optionally inside an area.
QRect ink(const QImage &image, const QColor &background = Background, QRect area = QRect())
{
    if (area.isNull())
        area = image.rect();
    area &= image.rect();
    const QRgb bg = background.rgba();
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (line[x] != bg) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    return left == INT_MAX ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

int countColor(const QImage &image, const QColor &color)
{
    const QRgb wanted = color.rgba();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += line[x] == wanted;
    }
    return n;
}

struct SvgContent
{
    QStringList texts;
    int images = 0;
};

// The item exported as SVG, with Margin units around its rectangle.
QByteArray svgOf(GraphicsItem *item)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QRectF r = item->rect().normalized();
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(r.size().toSize() + QSize(2 * Margin, 2 * Margin));
    generator.setViewBox(r.adjusted(-Margin, -Margin, Margin, Margin));
    QPainter painter(&generator);
    QStyleOptionGraphicsItem option;
    item->paint(&painter, &option, nullptr);
    painter.end();
    return buffer.data();
}

SvgContent paintSvg(GraphicsItem *item)
{
    SvgContent content;
    QXmlStreamReader xml(svgOf(item));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("text"))
            content.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("image"))
            ++content.images;
    }
    if (xml.hasError())
        qWarning() << "SVG does not parse:" << xml.errorString();
    return content;
}

// A value different from the property's initial one, of the property's type.
QVariant otherValue(const Property *p, const QVariant &initial)
{
    const QVariantHash a = p->attributes();
    switch (p->type()) {
    case Property::String:
        return QStringLiteral("新值AB12");
    case Property::Bool:
        return !initial.toBool();
    case Property::Int:
        return initial.toInt() + 1;
    case Property::Double:
        return initial.toDouble() + 0.5;
    case Property::Color:
        return OtherColor;
    case Property::Enum: {
        const int count = a.value(QStringLiteral("enumNames")).toStringList().size();
        return (initial.toInt() + 1) % count;
    }
    case Property::Path:
        return TestSupport::projectFolder() + QStringLiteral("/graph/主接线图.drw");
    case Property::Popup: {
        const QStringList items = a.value(QStringLiteral("items")).toStringList();
        return items.value((items.indexOf(initial.toString()) + 1) % items.size());
    }
    default:
        return QVariant();
    }
}

QList<Property *> ownProperties(GraphicsItem *item)
{
    return item->properties().value(AbstractGraphicsProperty::Specific);
}

} // namespace

class TestTextItems : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("textitems");
        QVERIFY(QFontDatabase().families().contains(QStringLiteral("Noto Sans CJK SC")));
    }

    // --- the kind table and the property tables

    void kinds_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *k : ourKinds())
            QTest::newRow(rowName(k->type)) << k->type;
    }

    void kinds()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        QVERIFY(item);
        QCOMPARE(item->type(), type);
        const bool isText = ItemKind::find(type)->family == ItemKind::Text;
        QCOMPARE(dynamic_cast<TextItem *>(item.get()) != nullptr, isText);
        QCOMPARE(dynamic_cast<LinkItem *>(item.get()) != nullptr, !isText);
        // Every kind shows text, so the base offers the font.
        QVERIFY(item->propertyNames().contains(QStringLiteral("字体")));

        // Initial values fit their property: a popup's value is one of its items, an
        // enum's index is in range, and every property starts with a value of its kind.
        const QList<Property *> own = ownProperties(item.get());
        QVERIFY(!own.isEmpty());
        for (const Property *p : own) {
            const QVariant v = item->propertyValue(p->id());
            QVERIFY2(v.isValid(), qPrintable(p->id()));
            const QVariantHash a = p->attributes();
            switch (p->type()) {
            case Property::Popup:
                QVERIFY2(a.value(QStringLiteral("items")).toStringList().contains(v.toString()),
                    qPrintable(p->id()));
                break;
            case Property::Enum:
                QVERIFY(
                    v.toInt() >= 0 && v.toInt() < a.value(QStringLiteral("enumNames")).toStringList().size());
                break;
            case Property::Path:
                QVERIFY(a.value(QStringLiteral("filter")).toString().contains(QStringLiteral("*.drw")));
                break;
            case Property::Double:
                QVERIFY(v.toDouble() >= a.value(QStringLiteral("minimum")).toDouble());
                QVERIFY(v.toDouble() <= a.value(QStringLiteral("maximum")).toDouble());
                break;
            case Property::Color:
                QVERIFY(v.canConvert<QColor>());
                break;
            default:
                break;
            }
        }
    }

    // --- creation

    void createFromPoints_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        const struct
        {
            const char *name;
            QPointF press, release;
        } drags[] = {
            {"down-right", {50, 60}, {150, 100}},
            {"up-left", {150, 100}, {50, 60}},
            {"down-left", {150, 60}, {50, 100}},
            {"up-right", {50, 100}, {150, 60}},
            {"click", {200, 100}, {200, 100}},
        };
        for (const ItemKind *k : ourKinds()) {
            for (const auto &d : drags)
                QTest::newRow(rowName(k->type, QLatin1String(d.name))) << k->type << d.press << d.release;
        }
    }

    void createFromPoints()
    {
        QFETCH(int, type);
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
        const DrawingDefaults d = defaults();
        QVERIFY(item->createFromPoints(&d, press, release, nullptr));
        if (press == release) {
            const QSizeF click = ItemKind::find(type)->clickSize;
            QVERIFY(!click.isEmpty());
            QCOMPARE(item->rect(), QRectF(QPointF(0, 0), click));
            QCOMPARE(item->pos() + item->rect().center(), press);
        } else {
            const QRectF dragged = QRectF(press, release).normalized();
            QCOMPARE(item->pos(), dragged.topLeft());
            QCOMPARE(item->rect(), QRectF(QPointF(0, 0), dragged.size()));
        }
        QCOMPARE(item->penColor(), PenColor);
    }

    // --- own properties: exact read-back and a visible effect

    void specificProperties_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariantMap>("setup");
        QTest::addColumn<bool>("changesLook");
        for (const ItemKind *k : ourKinds()) {
            std::unique_ptr<GraphicsItem> item(ItemKind::create(k->type));
            for (const Property *p : ownProperties(item.get())) {
                if (!p->isEditable())
                    continue;
                QVariant value = otherValue(p, item->propertyValue(p->id()));
                QVariantMap setup;
                bool looks = p->id() != QStringLiteral("关联点号") && p->id() != QStringLiteral("遥控点号");
                if (k->type == HotSpot && p->id() == QStringLiteral("链接画面"))
                    looks = false; // only the tooltip names the target
                if (k->type == PlainText && p->id() == QStringLiteral("自动换行"))
                    setup.insert(QStringLiteral("文本"), LongText);
                if (k->type == AnalogValue) {
                    // The sample value lies between the default limits; move a limit past it.
                    if (p->id() == QStringLiteral("上限"))
                        value = 100.0;
                    else if (p->id() == QStringLiteral("下限"))
                        value = 200.0;
                    else if (p->id() == QStringLiteral("越限颜色"))
                        setup.insert(QStringLiteral("上限"), 100.0);
                }
                QTest::newRow(rowName(k->type, p->id())) << k->type << p->id() << value << setup << looks;
            }
        }
    }

    void specificProperties()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(QVariant, value);
        QFETCH(QVariantMap, setup);
        QFETCH(bool, changesLook);
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        for (auto it = setup.cbegin(); it != setup.cend(); ++it)
            item->setPropertyValue(it.key(), it.value());
        QVERIFY(item->propertyValue(id) != value);
        const QImage before = render(item.get());
        item->setPropertyValue(id, value);
        QCOMPARE(item->propertyValue(id), value);
        const QImage after = render(item.get());
        if (changesLook)
            QVERIFY2(before != after, "the drawing did not change");
        else
            QVERIFY2(before == after, "the drawing changed");
    }

    void pointBindings_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        for (const ItemKind *k : ourKinds()) {
            std::unique_ptr<GraphicsItem> item(ItemKind::create(k->type));
            const QStringList names = item->propertyNames();
            for (const char *id : {"关联点号", "遥控点号"}) {
                if (names.contains(QString::fromUtf8(id)))
                    QTest::newRow(rowName(k->type, QString::fromUtf8(id)))
                        << k->type << QString::fromUtf8(id);
            }
        }
    }

    void pointBindings()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        const bool control = id == QStringLiteral("遥控点号");
        for (const QString &point :
            {QStringLiteral("YC.10kV.1#进线.Ia"), QStringLiteral("P002"), QString()}) {
            item->setPropertyValue(id, point);
            QCOMPARE(control ? item->ykID() : item->svgID(), point);
            QCOMPARE(control ? item->svgID() : item->ykID(), QString());
            QCOMPARE(item->propertyValue(id).toString(), point);
        }
    }

    // --- where things are drawn

    void drawsInsideRect_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("scale");
        const QSizeF sizes[] = {{40, 40}, {200, 120}, {6, 300}, {400, 6}};
        for (const ItemKind *k : ourKinds()) {
            for (const QSizeF &s : sizes) {
                for (double scale : {1.0, 3.0, 0.2}) {
                    QTest::newRow(rowName(
                        k->type, QStringLiteral("%1x%2 @%3").arg(s.width()).arg(s.height()).arg(scale)))
                        << k->type << s << scale;
                }
            }
        }
    }

    void drawsInsideRect()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(double, scale);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        // A thick pen, so that a frame drawn inwards or outwards by mistake shows.
        item->setPropertyValue(QStringLiteral("线宽"), 3);
        const QImage image = render(item.get(), scale);
        const QRect drawn = ink(image);
        QVERIFY2(!drawn.isNull(), "nothing drawn");
        const double tolerance = 1.5 * scale + 1;
        const QRectF allowed = QRectF(Margin, Margin, size.width() * scale, size.height() * scale)
                                   .adjusted(-tolerance, -tolerance, tolerance, tolerance);
        QVERIFY2(allowed.contains(QRectF(drawn)),
            qPrintable(QStringLiteral("drawn at %1,%2 %3x%4")
                           .arg(drawn.x() - Margin)
                           .arg(drawn.y() - Margin)
                           .arg(drawn.width())
                           .arg(drawn.height())));
    }

    void longTextStaysInside_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("scale");
        for (const ItemKind *k : ourKinds()) {
            for (const QSizeF &s : {QSizeF(96, 24), QSizeF(50, 200), QSizeF(300, 90)}) {
                for (double scale : {1.0, 2.5}) {
                    QTest::newRow(rowName(
                        k->type, QStringLiteral("%1x%2 @%3").arg(s.width()).arg(s.height()).arg(scale)))
                        << k->type << s << scale;
                }
            }
        }
    }

    void longTextStaysInside()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(double, scale);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        item->setPropertyValue(QStringLiteral("字体"), QFont(QStringLiteral("Noto Sans CJK SC"), 40));
        if (type == DigitalClock) {
            item->setPropertyValue(QStringLiteral("显示格式"), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        } else {
            item->setPropertyValue(textProperty(type), LongText);
            if (type == PlainText)
                item->setPropertyValue(QStringLiteral("对齐"), 1);
        }
        // No frame: only the text can show where it is drawn.
        item->setPropertyValue(QStringLiteral("线型"), 0);
        const QImage image = render(item.get(), scale);
        const QRect drawn = ink(image);
        QVERIFY2(!drawn.isNull(), "nothing drawn");
        const QRectF allowed
            = QRectF(Margin, Margin, size.width() * scale, size.height() * scale).adjusted(-1, -1, 1, 1);
        QVERIFY2(allowed.contains(QRectF(drawn)),
            qPrintable(QStringLiteral("drawn at %1,%2 %3x%4")
                           .arg(drawn.x() - Margin)
                           .arg(drawn.y() - Margin)
                           .arg(drawn.width())
                           .arg(drawn.height())));
    }

    // --- how text is drawn

    void chineseTextRenders()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(PlainText, QSizeF(120, 40));
        const QString key = QStringLiteral("文本");
        item->setPropertyValue(key, QString());
        QVERIFY(ink(render(item.get())).isNull());
        item->setPropertyValue(key, QStringLiteral("文"));
        const QImage wen = render(item.get());
        item->setPropertyValue(key, QStringLiteral("字"));
        const QImage zi = render(item.get());
        item->setPropertyValue(key, QStringLiteral("文字"));
        const QImage both = render(item.get());
        QVERIFY(!ink(wen).isNull());
        // A missing font would draw the same empty box for every character.
        QVERIFY(wen != zi);
        // A 12 pt glyph is 16 pixels wide; two of them are twice as wide.
        QVERIFY2(ink(wen).width() >= 12 && ink(wen).width() <= 16, QByteArray::number(ink(wen).width()));
        QVERIFY(ink(both).width() >= ink(wen).width() + 14);
        QVERIFY(ink(wen).height() >= 12);
    }

    void alignment_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("文字") << int(PlainText) << QStringLiteral("对齐") << true;
        QTest::newRow("文本模拟量") << int(TextValue) << QStringLiteral("对齐") << true;
        QTest::newRow("文字(扩展)") << int(ExtendedText) << QStringLiteral("对齐") << true;
        QTest::newRow("文字(扩展) 垂直") << int(ExtendedText) << QStringLiteral("垂直对齐") << false;
    }

    void alignment()
    {
        QFETCH(int, type);
        QFETCH(QString, id);
        QFETCH(bool, horizontal);
        const QSizeF size(240, 120);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        QRect at[3];
        for (int i = 0; i < 3; ++i) {
            item->setPropertyValue(id, i);
            at[i] = ink(render(item.get())).translated(-Margin, -Margin);
            QVERIFY(!at[i].isNull());
        }
        // Start, centre, end: the gaps before and after the text tell where it sits.
        const auto before = [&](const QRect &r) { return horizontal ? r.left() : r.top(); };
        const auto after = [&](const QRect &r) {
            return horizontal ? size.width() - 1 - r.right() : size.height() - 1 - r.bottom();
        };
        QVERIFY2(before(at[0]) <= 6, QByteArray::number(before(at[0])));
        QVERIFY2(after(at[2]) <= 6, QByteArray::number(after(at[2])));
        QVERIFY2(qAbs(before(at[1]) - after(at[1])) <= 6,
            QByteArray::number(before(at[1])) + " " + QByteArray::number(after(at[1])));
        QVERIFY(before(at[0]) < before(at[1]) && before(at[1]) < before(at[2]));
        // The whole text shows at every alignment, none of it cut off by the rectangle.
        for (int i = 1; i < 3; ++i)
            QVERIFY(qAbs(at[i].width() - at[0].width()) <= 1 && qAbs(at[i].height() - at[0].height()) <= 1);
    }

    void wrapping()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(PlainText, QSizeF(160, 160));
        item->setPropertyValue(QStringLiteral("文本"), LongText);
        item->setPropertyValue(QStringLiteral("线型"), 0);
        const QRect single = ink(render(item.get()));
        item->setPropertyValue(QStringLiteral("自动换行"), true);
        const QRect wrapped = ink(render(item.get()));
        // One line of 16-pixel glyphs unwrapped; wrapped, the text fills several lines.
        QVERIFY2(single.height() < 24, QByteArray::number(single.height()));
        QVERIFY2(wrapped.height() > 3 * single.height(), QByteArray::number(wrapped.height()));
        QVERIFY(wrapped.width() <= 161);
    }

    void lineSpacing()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(ExtendedText, QSizeF(160, 200));
        item->setPropertyValue(QStringLiteral("文本"), QStringLiteral("第一行\n第二行\n第三行"));
        QRect at[2];
        const double spacing[] = {1.0, 2.0};
        for (int i = 0; i < 2; ++i) {
            item->setPropertyValue(QStringLiteral("行距"), spacing[i]);
            at[i] = ink(render(item.get()));
        }
        // Three lines: two gaps between them, each one line taller at double spacing.
        const int lineHeight = (at[0].height() + 2) / 3;
        QVERIFY2(at[1].height() - at[0].height() >= 2 * lineHeight,
            QByteArray::number(at[0].height()) + " " + QByteArray::number(at[1].height()));
        // Vertically centred either way.
        QVERIFY(qAbs(at[0].center().y() - at[1].center().y()) <= 3);
    }

    void sampleValue_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("模拟量 0") << int(AnalogValue) << "0"
                                  << ""
                                  << "123";
        QTest::newRow("模拟量 0.0") << int(AnalogValue) << "0.0"
                                    << ""
                                    << "123.5";
        QTest::newRow("模拟量 0.00 kV") << int(AnalogValue) << "0.00"
                                        << "kV"
                                        << "123.46 kV";
        QTest::newRow("模拟量 0.000") << int(AnalogValue) << "0.000"
                                      << ""
                                      << "123.456";
        QTest::newRow("文本模拟量 0") << int(TextValue) << "0"
                                      << "A"
                                      << "电流: 123 A";
        QTest::newRow("文本模拟量 0.00") << int(TextValue) << "0.00"
                                         << "A"
                                         << "电流: 123.46 A";
        QTest::newRow("文本模拟量 0.000 MW") << int(TextValue) << "0.000"
                                             << "MW"
                                             << "电流: 123.456 MW";
    }

    void sampleValue()
    {
        QFETCH(int, type);
        QFETCH(QString, format);
        QFETCH(QString, unit);
        QFETCH(QString, expected);
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        item->setPropertyValue(QStringLiteral("格式"), format);
        item->setPropertyValue(QStringLiteral("单位"), unit);
        QCOMPARE(displayText(item.get()), expected);
        QCOMPARE(paintSvg(item.get()).texts.join(QString()), expected);
    }

    void clockShowsSampleTime_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("time") << "hh:mm:ss"
                              << "12:34:56";
        QTest::newRow("date and time") << "yyyy-MM-dd hh:mm:ss"
                                       << "2018-03-16 12:34:56";
        QTest::newRow("date") << "yyyy-MM-dd"
                              << "2018-03-16";
    }

    void clockShowsSampleTime()
    {
        QFETCH(QString, format);
        QFETCH(QString, expected);
        std::unique_ptr<GraphicsItem> item = makeItem(DigitalClock, QSizeF(240, 40));
        item->setPropertyValue(QStringLiteral("显示格式"), format);
        QCOMPARE(displayText(item.get()), expected);
        QCOMPARE(paintSvg(item.get()).texts, QStringList {expected});
        // Centred in its box.
        const QRect drawn = ink(render(item.get())).translated(-Margin, -Margin);
        QVERIFY(qAbs(drawn.left() - (239 - drawn.right())) <= 4);
    }

    void analogLimits_data()
    {
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("lower");
        QTest::addColumn<bool>("over");
        QTest::newRow("within") << 1000.0 << 0.0 << false;
        QTest::newRow("above upper") << 123.0 << 0.0 << true;
        QTest::newRow("below lower") << 1000.0 << 124.0 << true;
        QTest::newRow("just within") << 123.5 << 123.4 << false;
    }

    void analogLimits()
    {
        QFETCH(double, upper);
        QFETCH(double, lower);
        QFETCH(bool, over);
        std::unique_ptr<GraphicsItem> item = makeItem(AnalogValue, QSizeF(120, 30));
        item->setPropertyValue(QStringLiteral("上限"), upper);
        item->setPropertyValue(QStringLiteral("下限"), lower);
        item->setPropertyValue(QStringLiteral("越限颜色"), OtherColor);
        // The frame stays in the line colour, so look inside it.
        const QImage image = render(item.get()).copy(Margin + 2, Margin + 2, 116, 26);
        QCOMPARE(countColor(image, OtherColor) > 0, over);
        QCOMPARE(countColor(image, PenColor) > 0, !over);
        // The number sits at the right of its box.
        const QRect drawn = ink(image);
        QVERIFY2(116 - 1 - drawn.right() <= 6 && drawn.left() > 40, QByteArray::number(drawn.left()));
    }

    void textColor_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QColor>("penColor");
        QTest::addColumn<int>("penStyle");
        QTest::addColumn<QColor>("textColor");
        QTest::addColumn<QColor>("expected");
        for (int type : {int(PlainText), int(TextValue), int(ExtendedText)}) {
            QTest::newRow(rowName(type, QStringLiteral("pen colour")))
                << type << PenColor << 1 << QColor() << PenColor;
            QTest::newRow(rowName(type, QStringLiteral("own colour")))
                << type << PenColor << 1 << OtherColor << OtherColor;
            QTest::newRow(rowName(type, QStringLiteral("no pen colour")))
                << type << QColor() << 1 << QColor() << QColor(Qt::white);
            QTest::newRow(rowName(type, QStringLiteral("no line")))
                << type << PenColor << 0 << QColor() << PenColor;
        }
    }

    void textColor()
    {
        QFETCH(int, type);
        QFETCH(QColor, penColor);
        QFETCH(int, penStyle);
        QFETCH(QColor, textColor);
        QFETCH(QColor, expected);
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        item->setPropertyValue(QStringLiteral("线条颜色"), penColor);
        item->setPropertyValue(QStringLiteral("线型"), penStyle);
        item->setPropertyValue(QStringLiteral("文字颜色"), textColor);
        const QImage image = render(item.get());
        QVERIFY(countColor(image, expected) > 10);
        for (const QColor &c : {PenColor, OtherColor, QColor(Qt::white)}) {
            if (c != expected)
                QCOMPARE(countColor(image, c), 0);
        }
    }

    void fillAndFrame_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *k : ourKinds())
            QTest::newRow(rowName(k->type)) << k->type;
    }

    void fillAndFrame()
    {
        QFETCH(int, type);
        // A fill shows inside the rectangle (the button's face, the others' background).
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        item->setPropertyValue(QStringLiteral("填充颜色"), QColor(0, 0, 160));
        item->setPropertyValue(QStringLiteral("填充方式"), 1);
        const QImage filled = render(item.get());
        QVERIFY(countColor(filled, QColor(0, 0, 160)) > 160 * 80 / 4);
        // Never outside it.
        const QRect blue = ink(filled, Background, QRect());
        QVERIFY(QRect(Margin - 2, Margin - 2, 164, 84).contains(blue));
    }

    void linkColors_data()
    {
        QTest::addColumn<int>("type");
        for (int type : {int(HotSpot), int(GraphLink), int(Details), int(Circuit)})
            QTest::newRow(rowName(type)) << type;
    }

    // Glyphs, frames and texts of the links are drawn in the line colour, also where the
    // glyph comes from the pixmap cache that other items filled.
    void linkColors()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        item->setPropertyValue(textProperty(type), QStringLiteral("链接"));
        QVERIFY(countColor(render(item.get()), PenColor) > 20);
        item->setPropertyValue(QStringLiteral("线条颜色"), OtherColor);
        const QImage image = render(item.get());
        QVERIFY(countColor(image, OtherColor) > 20);
        QCOMPARE(countColor(image, PenColor), 0);
    }

    void buttonInk_data()
    {
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("ink");
        QTest::newRow("light face") << QColor(250, 250, 210) << QColor(Qt::black);
        QTest::newRow("dark face") << QColor(0, 0, 120) << QColor(Qt::white);
    }

    // The button's text and action glyph contrast with its face.
    void buttonInk()
    {
        QFETCH(QColor, face);
        QFETCH(QColor, ink);
        for (const QString &action : {QStringLiteral("设点"), QStringLiteral("弹出画面")}) {
            std::unique_ptr<GraphicsItem> item = makeItem(Button, QSizeF(120, 30));
            item->setPropertyValue(QStringLiteral("动作"), action);
            item->setPropertyValue(QStringLiteral("填充颜色"), face);
            item->setPropertyValue(QStringLiteral("填充方式"), 1);
            const QImage image = render(item.get());
            const QImage inside = image.copy(Margin + 3, Margin + 3, 114, 24);
            QVERIFY(countColor(inside, face) > 114 * 24 / 2);
            // The text in the middle, the glyph at the right end.
            QVERIFY(countColor(inside.copy(0, 0, 100, 24), ink) > 10);
            QVERIFY2(countColor(inside.copy(100, 0, 14, 24), ink) > 3, qPrintable(action));
            const QColor other = ink == QColor(Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
            QCOMPARE(countColor(inside.copy(100, 0, 14, 24), other), 0);
        }
    }

    // --- the cached layout follows every change

    void layoutFollowsChanges_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind *k : ourKinds())
            QTest::newRow(rowName(k->type)) << k->type;
    }

    void layoutFollowsChanges()
    {
        QFETCH(int, type);
        const QFont bigger(QStringLiteral("Noto Sans CJK SC"), 18);
        std::unique_ptr<GraphicsItem> probe(ItemKind::create(type));
        const Property *textProp = nullptr;
        for (const Property *p : ownProperties(probe.get())) {
            if (p->id() == textProperty(type))
                textProp = p;
        }
        QVERIFY(textProp);
        const QVariant newText = otherValue(textProp, probe->propertyValue(textProp->id()));

        // Painted after each change...
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(160, 80));
        const bool blank = displayText(item.get()).isEmpty();
        if (blank)
            item->setPropertyValue(textProp->id(), QStringLiteral("起始"));
        const QImage first = render(item.get());
        item->setPropertyValue(QStringLiteral("字体"), bigger);
        const QImage afterFont = render(item.get());
        QVERIFY(afterFont != first);
        item->setPropertyValue(QStringLiteral("宽度"), 220.0);
        item->setPropertyValue(QStringLiteral("高度"), 100.0);
        render(item.get());
        item->setPropertyValue(textProp->id(), newText);
        const QImage last = render(item.get());

        // ...it looks exactly like an item made in its final state at once.
        std::unique_ptr<GraphicsItem> fresh = makeItem(type, QSizeF(220, 100));
        fresh->setPropertyValue(QStringLiteral("字体"), bigger);
        fresh->setPropertyValue(textProp->id(), newText);
        QVERIFY(last == render(fresh.get()));
    }

    // --- SVG export

    void svgKeepsText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        for (const ItemKind *k : ourKinds())
            QTest::newRow(rowName(k->type, QStringLiteral("default"))) << k->type << QString() << QString();
        QTest::newRow("文字(扩展) 多行") << int(ExtendedText) << QStringLiteral("甲乙\n丙丁") << "甲乙丙丁";
        QTest::newRow("热点 文本") << int(HotSpot) << QStringLiteral("前往主画面") << "前往主画面";
        QTest::newRow("文字 <&>") << int(PlainText) << QStringLiteral("10kV <I段> & II段")
                                  << "10kV <I段> & II段";
    }

    void svgKeepsText()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        std::unique_ptr<GraphicsItem> item = makeItem(type);
        if (!text.isEmpty())
            item->setPropertyValue(textProperty(type), text);
        // Paint on screen first: the export must not reuse what the screen cached.
        render(item.get());
        const SvgContent svg = paintSvg(item.get());
        QCOMPARE(svg.images, 0);
        const QString shown
            = expected.isEmpty() ? displayText(item.get()).remove(QLatin1Char('\n')) : expected;
        QCOMPARE(svg.texts.join(QString()), shown);
        if (type == ExtendedText)
            QCOMPARE(svg.texts.size(), 2);
    }

    void svgStaysInside_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("points");
        for (const ItemKind *k : ourKinds()) {
            QTest::newRow(rowName(k->type, QStringLiteral("96x24 40pt"))) << k->type << QSizeF(96, 24) << 40;
            QTest::newRow(rowName(k->type, QStringLiteral("300x90 16pt")))
                << k->type << QSizeF(300, 90) << 16;
            QTest::newRow(rowName(k->type, QStringLiteral("40x200 12pt")))
                << k->type << QSizeF(40, 200) << 12;
        }
    }

    // SVG has no clipping here, so text that does not fit must be left out, not cut off.
    void svgStaysInside()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(int, points);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        item->setPropertyValue(QStringLiteral("字体"), QFont(QStringLiteral("Noto Sans CJK SC"), points));
        if (type == DigitalClock)
            item->setPropertyValue(QStringLiteral("显示格式"), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        else
            item->setPropertyValue(textProperty(type), LongText);
        const QByteArray svg = svgOf(item.get());

        // What is written is part of what is shown, in order.
        SvgContent content;
        QXmlStreamReader xml(svg);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
                content.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        const QString shown = displayText(item.get()).remove(QLatin1Char('\n'));
        for (const QString &t : content.texts)
            QVERIFY2(shown.contains(t), qPrintable(t));
        if (size.height() >= 90)
            QVERIFY(!content.texts.isEmpty());

        // Drawn back, nothing lies outside the rectangle.
        QSvgRenderer renderer(svg);
        QVERIFY(renderer.isValid());
        QImage image(size.toSize() + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32_Premultiplied);
        image.fill(Background);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QRect drawn = ink(image);
        if (!content.texts.isEmpty())
            QVERIFY(!drawn.isNull());
        const QRectF allowed = QRectF(QPointF(Margin, Margin), size).adjusted(-1.5, -1.5, 1.5, 1.5);
        QVERIFY2(drawn.isNull() || allowed.contains(QRectF(drawn)),
            qPrintable(QStringLiteral("drawn at %1,%2 %3x%4")
                           .arg(drawn.x() - Margin)
                           .arg(drawn.y() - Margin)
                           .arg(drawn.width())
                           .arg(drawn.height())));
    }

    void uncachedPaths_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("rotated");
        for (const ItemKind *k : ourKinds()) {
            QTest::newRow(rowName(k->type, QStringLiteral("rotated"))) << k->type << true;
            QTest::newRow(rowName(k->type, QStringLiteral("zoom 20"))) << k->type << false;
        }
    }

    // Turned views and very large zooms draw the glyphs directly instead of through the
    // pixmap cache; the text must land where the cached one does.
    void uncachedPaths()
    {
        QFETCH(int, type);
        QFETCH(bool, rotated);
        const QSizeF size = rotated ? QSizeF(160, 60) : QSizeF(40, 24);
        const double scale = rotated ? 1.0 : 20.0;
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        item->setPropertyValue(QStringLiteral("线型"), 0);
        const QImage straight = render(item.get(), scale);

        QImage image(straight.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Background);
        QPainter painter(&image);
        if (rotated) {
            painter.translate(Margin + size.width(), Margin + size.height());
            painter.rotate(180);
        } else {
            // A translation of a whole number of pixels keeps the cache's pixel grid.
            painter.translate(Margin, Margin);
            painter.scale(scale, scale);
        }
        QStyleOptionGraphicsItem option;
        item->paint(&painter, &option, nullptr);
        painter.end();

        QRect expected = ink(straight);
        if (rotated) {
            expected = QRect(image.width() - 1 - expected.right(), image.height() - 1 - expected.bottom(),
                expected.width(), expected.height());
        }
        const QRect drawn = ink(image);
        QVERIFY(!drawn.isNull());
        const int slack = rotated ? 2 : 3;
        QVERIFY2(qAbs(drawn.left() - expected.left()) <= slack
                && qAbs(drawn.right() - expected.right()) <= slack
                && qAbs(drawn.top() - expected.top()) <= slack
                && qAbs(drawn.bottom() - expected.bottom()) <= slack,
            qPrintable(QStringLiteral("%1,%2 %3x%4 instead of %5,%6 %7x%8")
                           .arg(drawn.x())
                           .arg(drawn.y())
                           .arg(drawn.width())
                           .arg(drawn.height())
                           .arg(expected.x())
                           .arg(expected.y())
                           .arg(expected.width())
                           .arg(expected.height())));
    }

    void graphLinkNamesTarget()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(GraphLink);
        const QString untargeted = displayText(item.get());
        QVERIFY(!untargeted.isEmpty());
        const QString target = TestSupport::projectFolder() + QStringLiteral("/graph/1号主变.drw");
        item->setPropertyValue(QStringLiteral("链接画面"), target);
        QCOMPARE(displayText(item.get()), QStringLiteral("1号主变"));
        QCOMPARE(item->toolTip(), target);
        item->setPropertyValue(QStringLiteral("文本"), QStringLiteral("返回"));
        QCOMPARE(paintSvg(item.get()).texts, QStringList {QStringLiteral("返回")});
    }
};

QTEST_MAIN(TestTextItems)
#include "tst_textitems.moc"
