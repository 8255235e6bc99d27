// The text and link items' own behaviour: alignment, wrapping, line spacing, Chinese
// glyphs, sample values and clock texts, limit and link colours, the button's contrast,
// the cached layout following every change, and texts kept whole in SVG.
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
#include <QtTest>
#include <tuple>

using namespace ItemSamples;

namespace {

const QColor PenColor(255, 255, 0);
const QColor OtherColor(0, 200, 255);
const QString LongText = QStringLiteral("一段很长很长的文字, 用来检查文字不会超出图元的矩形范围 ABCDEFG 0123456789");

std::unique_ptr<GraphicsItem> makeItem(int type, const QSizeF &size, const QVariantMap &values = {})
{
    std::unique_ptr<GraphicsItem> item = outlined(type, size, PenColor);
    setProperties(item.get(), values);
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
    return QString::fromUtf8(type == ItemKind::TextValue ? "前缀"
            : type == ItemKind::AnalogValue              ? "单位"
            : type == ItemKind::DigitalClock             ? "显示格式"
            : type == ItemKind::Circuit                  ? "回路名称"
                                                         : "文本");
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

    // Two Chinese glyphs side by side (a missing font would draw the same box for each); no
    // text draws nothing.
    void chineseTextRenders()
    {
        std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::PlainText, QSizeF(120, 40));
        item->setPropertyValue(QStringLiteral("文本"), QStringLiteral("文"));
        const QImage one = render(item.get());
        item->setPropertyValue(QStringLiteral("文本"), QStringLiteral("文字"));
        const QImage two = render(item.get());
        QVERIFY(paintedBounds(two).width() >= 2 * paintedBounds(one).width() - 2);
        QVERIFY(two.copy(paintedBounds(one)) == one.copy(paintedBounds(one)));
        QVERIFY(
            two.copy(paintedBounds(one).translated(paintedBounds(two).width() / 2, 0)) != one.copy(paintedBounds(one)));
        item->setPropertyValue(QStringLiteral("文本"), QString());
        QVERIFY(paintedBounds(render(item.get())).isNull());
    }

    // Start, centre, end: the gaps before and after the text tell where it sits; the whole
    // text shows at every alignment, none of it cut off by the rectangle.
    void alignment()
    {
        const QSizeF size(240, 120);
        for (const auto &[type, id, horizontal] : {std::tuple(ItemKind::PlainText, "对齐", true),
                 std::tuple(ItemKind::TextValue, "对齐", true), std::tuple(ItemKind::ExtendedText, "对齐", true),
                 std::tuple(ItemKind::ExtendedText, "垂直对齐", false)}) {
            std::unique_ptr<GraphicsItem> item = makeItem(type, size);
            QList<QRect> at;
            for (int i = 0; i < 3; ++i) {
                item->setPropertyValue(id, i);
                at << paintedBounds(render(item.get())).translated(-Margin, -Margin);
            }
            const auto before = [&](const QRect &r) { return horizontal ? r.left() : r.top(); };
            const auto after = [&](const QRect &r) {
                return horizontal ? size.width() - 1 - r.right() : size.height() - 1 - r.bottom();
            };
            const QByteArray row = rowName(type, id);
            QVERIFY2(
                !at[0].isNull() && before(at[0]) <= 6 && after(at[2]) <= 6 && qAbs(before(at[1]) - after(at[1])) <= 6,
                row);
            QVERIFY2(before(at[0]) < before(at[1]) && before(at[1]) < before(at[2]), row);
            for (const QRect &r : at)
                QVERIFY2(qAbs(r.width() - at[0].width()) <= 1 && qAbs(r.height() - at[0].height()) <= 1, row);
        }
    }

    void wrappingAndLineSpacing()
    {
        std::unique_ptr<GraphicsItem> item
            = makeItem(ItemKind::PlainText, QSizeF(160, 160), {{"文本", LongText}, {"线型", 0}});
        const QRect single = paintedBounds(render(item.get()));
        item->setPropertyValue(QStringLiteral("自动换行"), true);
        const QRect wrapped = paintedBounds(render(item.get()));
        // One line of 16-pixel glyphs unwrapped; wrapped, the text fills several lines.
        QVERIFY2(single.height() < 24, QByteArray::number(single.height()));
        QVERIFY2(wrapped.height() > 3 * single.height(), QByteArray::number(wrapped.height()));
        QVERIFY(wrapped.width() <= 161);

        item = makeItem(ItemKind::ExtendedText, QSizeF(160, 200), {{"文本", "第一行\n第二行\n第三行"}});
        const QRect normal = paintedBounds(render(item.get()));
        item->setPropertyValue(QStringLiteral("行距"), 2.0);
        const QRect twice = paintedBounds(render(item.get()));
        // Three lines: two gaps between them, each one line taller at double spacing.
        QVERIFY(twice.height() - normal.height() >= 2 * ((normal.height() + 2) / 3));
        // Vertically centred either way.
        QVERIFY(qAbs(normal.center().y() - twice.center().y()) <= 3);
    }

    void sampleTexts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("expected");
        const auto value = [](const char *format, const char *unit) {
            return QVariantMap{{QStringLiteral("格式"), format}, {QStringLiteral("单位"), QString::fromUtf8(unit)}};
        };
        QTest::newRow("123") << int(ItemKind::AnalogValue) << value("0", "") << "123";
        QTest::newRow("123.46 kV") << int(ItemKind::AnalogValue) << value("0.00", "kV") << "123.46 kV";
        QTest::newRow("电流: 123.456 MW") << int(ItemKind::TextValue) << value("0.000", "MW") << "电流: 123.456 MW";
        const QString format = QStringLiteral("显示格式");
        QTest::newRow("time") << int(ItemKind::DigitalClock) << QVariantMap{{format, "hh:mm:ss"}} << "12:34:56";
        QTest::newRow("date and time") << int(ItemKind::DigitalClock) << QVariantMap{{format, "yyyy-MM-dd hh:mm:ss"}}
                                       << "2018-03-16 12:34:56";
        // A graph link is named after its target unless it has a text of its own.
        const QVariantMap link{{QStringLiteral("链接画面"), QStringLiteral("/graph/1号主变.drw")}};
        QTest::newRow("link target") << int(ItemKind::GraphLink) << link << "1号主变";
        QVariantMap text = link;
        text.insert(QStringLiteral("文本"), QStringLiteral("返回"));
        QTest::newRow("link text") << int(ItemKind::GraphLink) << text << "返回";
        const QString id = QStringLiteral("文本");
        QTest::newRow("文字(扩展) 多行") << int(ItemKind::ExtendedText) << QVariantMap{{id, "甲乙\n丙丁"}}
                                         << "甲乙\n丙丁";
        QTest::newRow("文字 <&>") << int(ItemKind::PlainText) << QVariantMap{{id, "10kV <I段> & II段"}}
                                  << "10kV <I段> & II段";
    }

    void sampleTexts()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, values);
        QFETCH(QString, expected);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(240, 80));
        setProperties(item.get(), values);
        const QString shown = displayText(item.get());
        QCOMPARE(shown, expected);
        // SVG keeps the text as text, one element per line.
        const QStringList texts = TestSupport::Svg(svgOf(item.get())).texts("text");
        QCOMPARE(texts.join(QString()), QString(shown).remove(QLatin1Char('\n')));
        QVERIFY(type != ItemKind::ExtendedText || texts.size() == 2);
        // The clock is centred in its box.
        const QRect drawn = paintedBounds(render(item.get())).translated(-Margin, -Margin);
        QVERIFY(type != ItemKind::DigitalClock || qAbs(drawn.left() - (239 - drawn.right())) <= 4);
        const QString target = QStringLiteral("链接画面");
        QVERIFY(!values.contains(target) || item->toolTip() == values.value(target));
    }

    // Beyond either limit the value shows in the limit colour; it sits at the right of its box.
    void analogLimits()
    {
        const struct
        {
            double upper, lower;
            bool over;
        } cases[] = {{1000.0, 0.0, false}, {123.0, 0.0, true}, {1000.0, 124.0, true}, {123.5, 123.4, false}};
        for (const auto &c : cases) {
            std::unique_ptr<GraphicsItem> item = makeItem(ItemKind::AnalogValue, QSizeF(120, 30),
                {{"上限", c.upper}, {"下限", c.lower}, {"越限颜色", OtherColor}});
            // The frame stays in the line colour, so look inside it.
            const QImage image = render(item.get()).copy(Margin + 2, Margin + 2, 116, 26);
            QCOMPARE((QList<bool>{countColour(image, OtherColor) > 0, countColour(image, PenColor) > 0}),
                (QList<bool>{c.over, !c.over}));
            const QRect drawn = paintedBounds(image);
            QVERIFY2(116 - 1 - drawn.right() <= 6 && drawn.left() > 40, QByteArray::number(drawn.left()));
        }
    }

    // The button's text and action glyph contrast with its face, light or dark.
    void buttonInk()
    {
        for (const QColor &face : {QColor(250, 250, 210), QColor(0, 0, 120)}) {
            const QColor ink = face.lightness() > 128 ? Qt::black : Qt::white;
            for (const QString &action : {QStringLiteral("设点"), QStringLiteral("弹出画面")}) {
                std::unique_ptr<GraphicsItem> item = makeItem(
                    ItemKind::Button, QSizeF(120, 30), {{"动作", action}, {"填充颜色", face}, {"填充方式", 1}});
                const QImage inside = render(item.get()).copy(Margin + 3, Margin + 3, 114, 24);
                QVERIFY(countColour(inside, face) > 114 * 24 / 2);
                // The text in the middle, the glyph at the right end.
                QVERIFY(countColour(inside.copy(0, 0, 100, 24), ink) > 10);
                QVERIFY2(countColour(inside.copy(100, 0, 14, 24), ink) > 3, qPrintable(action));
                const QColor other = ink == QColor(Qt::black) ? QColor(Qt::white) : QColor(Qt::black);
                QCOMPARE(countColour(inside.copy(100, 0, 14, 24), other), 0);
            }
        }
    }

    void eachKind_data() { addKindRows({ItemKind::Text, ItemKind::Link}); }

    // What holds for every kind that shows text.
    void eachKind()
    {
        QFETCH(int, type);
        const QString textId = textProperty(type);
        // No frame: only the text shows where it is.
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(160, 80), {{"线型", 0}});
        if (displayText(item.get()).isEmpty())
            item->setPropertyValue(textId, QStringLiteral("起始"));
        // SVG keeps the text whole, as text.
        QCOMPARE(TestSupport::Svg(svgOf(item.get())).texts("text").join(QString()),
            displayText(item.get()).remove(QLatin1Char('\n')));

        // A turned view draws the glyphs directly instead of through the pixmap cache; the text
        // must land where the cached one does, turned about the rectangle's centre.
        const QRect straight = paintedBounds(render(item.get()));
        QImage image(QSize(160, 80) + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(Margin + 160, Margin + 80);
        painter.rotate(180);
        QStyleOptionGraphicsItem option;
        item->paint(&painter, &option, nullptr);
        painter.end();
        const QRect turned = paintedBounds(image);
        const QPoint expected(2 * Margin + 159 - straight.right(), 2 * Margin + 79 - straight.bottom());
        QVERIFY(!turned.isNull() && (turned.topLeft() - expected).manhattanLength() <= 3);
        QVERIFY(qAbs(turned.width() - straight.width()) <= 2 && qAbs(turned.height() - straight.height()) <= 2);

        // Painted after each change, it looks exactly like an item made in its final state at once.
        const QFont bigger(QStringLiteral("Noto Sans CJK SC"), 18);
        const QString newText
            = type == ItemKind::DigitalClock ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("新值AB12");
        const QImage first = render(item.get());
        item->setPropertyValue(QStringLiteral("字体"), bigger);
        QVERIFY(render(item.get()) != first);
        setProperties(item.get(), {{"宽度", 220.0}, {"高度", 100.0}});
        render(item.get());
        item->setPropertyValue(textId, newText);
        std::unique_ptr<GraphicsItem> fresh
            = makeItem(type, QSizeF(220, 100), {{"线型", 0}, {"字体", bigger}, {textId, newText}});
        QVERIFY(render(item.get()) == render(fresh.get()));

        // Texts, glyphs and frames are drawn in the line colour, with or without a line, white
        // without a colour; a text colour of the kind's own comes first. The glyphs come from
        // a pixmap cache that the other colours filled.
        const bool ownColour = item->propertyNames().contains(QStringLiteral("文字颜色"));
        const struct
        {
            QColor line, text, expected;
        } colours[] = {{PenColor, {}, PenColor}, {OtherColor, {}, OtherColor}, {{}, {}, Qt::white},
            {PenColor, OtherColor, ownColour ? OtherColor : PenColor}};
        // The button's text takes an ink of its own, so without a line nothing shows the colour.
        for (int line : {1, 0}) {
            if (line == 0 && type == ItemKind::Button)
                continue;
            item->setPropertyValue(QStringLiteral("线型"), line);
            for (const auto &c : colours) {
                setProperties(item.get(), {{"线条颜色", c.line}, {"文字颜色", c.text}});
                const QImage image = render(item.get());
                for (const QColor &colour : {PenColor, OtherColor, QColor(Qt::white)})
                    QVERIFY2((countColour(image, colour) > 20) == (colour == c.expected), qPrintable(colour.name()));
            }
        }
    }

    void longTextStaysInside_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("points");
        for (int type : typesOf({ItemKind::Text, ItemKind::Link})) {
            QTest::newRow(rowName(type, "96x24 40pt")) << type << QSizeF(96, 24) << 40;
            QTest::newRow(rowName(type, "300x90 16pt")) << type << QSizeF(300, 90) << 16;
            QTest::newRow(rowName(type, "50x200 40pt")) << type << QSizeF(50, 200) << 40;
        }
    }

    // Text that does not fit is cut at the rectangle on screen; SVG has no clipping here, so
    // there it must be left out, not cut off.
    void longTextStaysInside()
    {
        QFETCH(int, type);
        QFETCH(QSizeF, size);
        QFETCH(int, points);
        // No frame: only the text can show where it is drawn.
        std::unique_ptr<GraphicsItem> item = makeItem(type, size,
            {{"字体", QFont(QStringLiteral("Noto Sans CJK SC"), points)}, {"线型", 0},
                {textProperty(type),
                    type == ItemKind::DigitalClock ? QStringLiteral("yyyy-MM-dd hh:mm:ss") : LongText}});
        if (type == ItemKind::PlainText)
            item->setPropertyValue(QStringLiteral("对齐"), 1);
        for (double scale : {1.0, 2.5}) {
            const QRect drawn = paintedBounds(render(item.get(), Path::Cached, scale));
            QVERIFY2(!drawn.isNull()
                    && QRectF(Margin, Margin, size.width() * scale, size.height() * scale)
                           .adjusted(-1, -1, 1, 1)
                           .contains(QRectF(drawn)),
                qPrintable(QString::number(scale)));
        }

        // What SVG writes is part of what is shown, and drawn back stays inside.
        const QByteArray svg = svgOf(item.get());
        const QStringList texts = TestSupport::Svg(svg).texts("text");
        const QString shown = displayText(item.get()).remove(QLatin1Char('\n'));
        for (const QString &t : texts)
            QVERIFY2(shown.contains(t), qPrintable(t));
        QVERIFY(!texts.isEmpty() || size.height() < 90 || points >= 40);
        QImage image(size.toSize() + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QSvgRenderer(svg).render(&painter);
        painter.end();
        const QRect drawn = paintedBounds(image);
        QVERIFY(texts.isEmpty() || !drawn.isNull());
        QVERIFY(drawn.isNull()
            || QRectF(QPointF(Margin, Margin), size).adjusted(-1.5, -1.5, 1.5, 1.5).contains(QRectF(drawn)));
    }
};

QTEST_MAIN(TestTextItems)
#include "tst_textitems.moc"
