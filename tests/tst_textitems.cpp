// The text and link items' own behaviour: alignment, wrapping, line spacing, Chinese
// glyphs, sample values and clock texts, limit and link colours, the button's contrast,
// the cached layout following every change, and texts kept whole in SVG. What holds for
// every kind is tested with all items.
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "linkitem.h"
#include "testsupport.h"
#include "textitem.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

using namespace ItemSamples;

namespace {

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

std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size = QSizeF(160, 80))
{
    std::unique_ptr<GraphicsItem> item(ItemKind::create(type));
    DrawingDefaults d;
    d.penWidth = 1;
    d.penColor = PenColor;
    d.penStyle = 1;
    item->createFromPoints(&d, QPointF(10, 10), QPointF(10 + size.width(), 10 + size.height()), nullptr);
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
    return QString::fromUtf8(type == TextValue ? "前缀"
            : type == AnalogValue              ? "单位"
            : type == DigitalClock             ? "显示格式"
            : type == Circuit                  ? "回路名称"
                                               : "文本");
}

// The texts of an SVG export, one per <text> element.
QStringList svgTexts(const QByteArray &svg)
{
    QStringList texts;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return texts;
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

    // --- how text is drawn

    void chineseTextRenders()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(PlainText, QSizeF(120, 40));
        const QString key = QStringLiteral("文本");
        item->setPropertyValue(key, QString());
        QVERIFY(paintedBounds(render(item.get())).isNull());
        item->setPropertyValue(key, QStringLiteral("文"));
        const QImage wen = render(item.get());
        item->setPropertyValue(key, QStringLiteral("字"));
        const QImage zi = render(item.get());
        item->setPropertyValue(key, QStringLiteral("文字"));
        const QImage both = render(item.get());
        QVERIFY(!paintedBounds(wen).isNull());
        // A missing font would draw the same empty box for every character.
        QVERIFY(wen != zi);
        // A 12 pt glyph is 16 pixels wide; two of them are twice as wide.
        QVERIFY2(paintedBounds(wen).width() >= 12 && paintedBounds(wen).width() <= 16,
            QByteArray::number(paintedBounds(wen).width()));
        QVERIFY(paintedBounds(both).width() >= paintedBounds(wen).width() + 14);
        QVERIFY(paintedBounds(wen).height() >= 12);
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
            at[i] = paintedBounds(render(item.get())).translated(-Margin, -Margin);
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
        const QRect single = paintedBounds(render(item.get()));
        item->setPropertyValue(QStringLiteral("自动换行"), true);
        const QRect wrapped = paintedBounds(render(item.get()));
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
            at[i] = paintedBounds(render(item.get()));
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
        const struct
        {
            int type;
            const char *format, *unit, *expected;
        } rows[] = {{AnalogValue, "0", "", "123"}, {AnalogValue, "0.0", "", "123.5"},
            {AnalogValue, "0.00", "kV", "123.46 kV"}, {AnalogValue, "0.000", "", "123.456"},
            {TextValue, "0", "A", "电流: 123 A"}, {TextValue, "0.00", "A", "电流: 123.46 A"},
            {TextValue, "0.000", "MW", "电流: 123.456 MW"}};
        for (const auto &r : rows) {
            QTest::newRow(r.expected) << r.type << QString::fromUtf8(r.format) << QString::fromUtf8(r.unit)
                                      << QString::fromUtf8(r.expected);
        }
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
        QCOMPARE(svgTexts(svgOf(item.get())).join(QString()), expected);
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
        QCOMPARE(svgTexts(svgOf(item.get())), QStringList {expected});
        // Centred in its box.
        const QRect drawn = paintedBounds(render(item.get())).translated(-Margin, -Margin);
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
        QCOMPARE(countColour(image, OtherColor) > 0, over);
        QCOMPARE(countColour(image, PenColor) > 0, !over);
        // The number sits at the right of its box.
        const QRect drawn = paintedBounds(image);
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
        QVERIFY(countColour(image, expected) > 10);
        for (const QColor &c : {PenColor, OtherColor, QColor(Qt::white)}) {
            if (c != expected)
                QCOMPARE(countColour(image, c), 0);
        }
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
        QVERIFY(countColour(render(item.get()), PenColor) > 20);
        item->setPropertyValue(QStringLiteral("线条颜色"), OtherColor);
        const QImage image = render(item.get());
        QVERIFY(countColour(image, OtherColor) > 20);
        QCOMPARE(countColour(image, PenColor), 0);
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
            QVERIFY(countColour(inside, face) > 114 * 24 / 2);
            // The text in the middle, the glyph at the right end.
            QVERIFY(countColour(inside.copy(0, 0, 100, 24), ink) > 10);
            QVERIFY2(countColour(inside.copy(100, 0, 14, 24), ink) > 3, qPrintable(action));
            const QColor other = ink == QColor(Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
            QCOMPARE(countColour(inside.copy(100, 0, 14, 24), other), 0);
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
        const QString textId = textProperty(type);
        const QString newText
            = type == DigitalClock ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("新值AB12");

        // Painted after each change...
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(160, 80));
        if (displayText(item.get()).isEmpty())
            item->setPropertyValue(textId, QStringLiteral("起始"));
        const QImage first = render(item.get());
        item->setPropertyValue(QStringLiteral("字体"), bigger);
        const QImage afterFont = render(item.get());
        QVERIFY(afterFont != first);
        item->setPropertyValue(QStringLiteral("宽度"), 220.0);
        item->setPropertyValue(QStringLiteral("高度"), 100.0);
        render(item.get());
        item->setPropertyValue(textId, newText);
        const QImage last = render(item.get());

        // ...it looks exactly like an item made in its final state at once.
        std::unique_ptr<GraphicsItem> fresh = makeItem(type, QSizeF(220, 100));
        fresh->setPropertyValue(QStringLiteral("字体"), bigger);
        fresh->setPropertyValue(textId, newText);
        QVERIFY(last == render(fresh.get()));
    }

    void svgKeepsText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        for (const ItemKind *k : ourKinds())
            QTest::newRow(rowName(k->type, QStringLiteral("default"))) << k->type << QString() << QString();
        QTest::newRow("文字(扩展) 多行") << int(ExtendedText) << QStringLiteral("甲乙\n丙丁") << "甲乙丙丁";
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
        const QStringList texts = svgTexts(svgOf(item.get()));
        const QString shown
            = expected.isEmpty() ? displayText(item.get()).remove(QLatin1Char('\n')) : expected;
        QCOMPARE(texts.join(QString()), shown);
        if (type == ExtendedText)
            QCOMPARE(texts.size(), 2);
    }

    void longTextStaysInside_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("points");
        for (const ItemKind *k : ourKinds()) {
            QTest::newRow(rowName(k->type, QStringLiteral("96x24 40pt"))) << k->type << QSizeF(96, 24) << 40;
            QTest::newRow(rowName(k->type, QStringLiteral("300x90 16pt")))
                << k->type << QSizeF(300, 90) << 16;
            QTest::newRow(rowName(k->type, QStringLiteral("50x200 40pt")))
                << k->type << QSizeF(50, 200) << 40;
        }
    }

    // Text that does not fit is cut at the rectangle on screen; SVG has no clipping here, so
    // there it must be left out, not cut off.
    void longTextStaysInside()
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
        if (type == PlainText)
            item->setPropertyValue(QStringLiteral("对齐"), 1);
        // No frame: only the text can show where it is drawn.
        item->setPropertyValue(QStringLiteral("线型"), 0);
        const QRectF allowed = QRectF(QPointF(Margin, Margin), size).adjusted(-1.5, -1.5, 1.5, 1.5);
        for (double scale : {1.0, 2.5}) {
            const QRect drawn = paintedBounds(render(item.get(), Path::Cached, scale));
            QVERIFY(!drawn.isNull());
            const QRectF zoomed(Margin, Margin, size.width() * scale, size.height() * scale);
            QVERIFY2(
                zoomed.adjusted(-1, -1, 1, 1).contains(QRectF(drawn)), qPrintable(QString::number(scale)));
        }

        // What SVG writes is part of what is shown, and drawn back stays inside.
        const QByteArray svg = svgOf(item.get());
        const QStringList texts = svgTexts(svg);
        const QString shown = displayText(item.get()).remove(QLatin1Char('\n'));
        for (const QString &t : texts)
            QVERIFY2(shown.contains(t), qPrintable(t));
        if (size.height() >= 90 && points < 40)
            QVERIFY(!texts.isEmpty());
        QSvgRenderer renderer(svg);
        QImage image(size.toSize() + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
        painter.end();
        const QRect drawn = paintedBounds(image);
        QVERIFY(texts.isEmpty() || !drawn.isNull());
        QVERIFY(drawn.isNull() || allowed.contains(QRectF(drawn)));
    }

    void turnedViewDrawsTextInPlace_data() { layoutFollowsChanges_data(); }

    // A turned view draws the glyphs directly instead of through the pixmap cache; the text
    // must land where the cached one does, turned with the rectangle.
    void turnedViewDrawsTextInPlace()
    {
        QFETCH(int, type);
        const QSize size(160, 60);
        std::unique_ptr<GraphicsItem> item = makeItem(type, size);
        item->setPropertyValue(QStringLiteral("线型"), 0);
        const QRect straight = paintedBounds(render(item.get()));
        QImage image(size + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(Margin + size.width(), Margin + size.height());
        painter.rotate(180);
        QStyleOptionGraphicsItem option;
        item->paint(&painter, &option, nullptr);
        painter.end();
        const QRect drawn = paintedBounds(image);
        QVERIFY(!drawn.isNull());
        // Turned about the rectangle's centre.
        const QPoint expected(2 * Margin + size.width() - 1 - straight.right(),
            2 * Margin + size.height() - 1 - straight.bottom());
        QVERIFY2((drawn.topLeft() - expected).manhattanLength() <= 3
                && qAbs(drawn.width() - straight.width()) <= 2
                && qAbs(drawn.height() - straight.height()) <= 2,
            qPrintable(QStringLiteral("%1,%2 instead of %3,%4")
                           .arg(drawn.left())
                           .arg(drawn.top())
                           .arg(expected.x())
                           .arg(expected.y())));
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
        QCOMPARE(svgTexts(svgOf(item.get())), QStringList {QStringLiteral("返回")});
    }
};

QTEST_MAIN(TestTextItems)
#include "tst_textitems.moc"
