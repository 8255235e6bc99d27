// The text and link items: alignment, wrapping and line spacing, what each kind shows and how
// SVG keeps it, the limit colour, the cached layout following every change, and long texts
// kept inside the rectangle.
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "linkitem.h"
#include "testsupport.h"
#include "textitem.h"

#include <QFontDatabase>
#include <QPainter>
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

    // Start, centre, end: the gaps before and after the text tell where it sits; the whole
    // text shows at every alignment, none of it cut off by the rectangle.
    void alignment()
    {
        const QSizeF size(240, 120);
        for (const auto &[type, id, horizontal] :
            {std::tuple(ItemKind::PlainText, "对齐", true), std::tuple(ItemKind::ExtendedText, "垂直对齐", false)}) {
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
        // A graph link is named after its target unless it has a text of its own.
        QTest::newRow("link nowhere") << int(ItemKind::GraphLink) << QVariantMap() << "未指定画面";
        const QVariantMap link{{QStringLiteral("链接画面"), QStringLiteral("/graph/1号主变.drw")}};
        QTest::newRow("link target") << int(ItemKind::GraphLink) << link << "1号主变";
        QTest::newRow("link text") << int(ItemKind::GraphLink)
                                   << QVariantMap{{"链接画面", "/graph/1号主变.drw"}, {"文本", "返回"}} << "返回";
        QTest::newRow("文字(扩展) 多行") << int(ItemKind::ExtendedText) << QVariantMap{{"文本", "甲乙\n丙丁"}}
                                         << "甲乙\n丙丁";
        QTest::newRow("文字 <&>") << int(ItemKind::PlainText) << QVariantMap{{"文本", "10kV <I段> & II段"}}
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
        const QString target = QStringLiteral("链接画面");
        QVERIFY(!values.contains(target) || item->toolTip() == values.value(target));
    }

    // Beyond either limit the value shows in the limit colour.
    void analogLimits()
    {
        for (const auto &[upper, lower, over] :
            {std::tuple(1000.0, 0.0, false), std::tuple(123.0, 0.0, true), std::tuple(1000.0, 124.0, true)}) {
            std::unique_ptr<GraphicsItem> item = makeItem(
                ItemKind::AnalogValue, QSizeF(120, 30), {{"上限", upper}, {"下限", lower}, {"越限颜色", OtherColor}});
            // The frame stays in the line colour, so look inside it.
            const QImage image = render(item.get()).copy(Margin + 2, Margin + 2, 116, 26);
            QCOMPARE((QList<bool>{countColour(image, OtherColor) > 0, countColour(image, PenColor) > 0}),
                (QList<bool>{over, !over}));
        }
    }

    void eachKind_data() { addKindRows({ItemKind::Text, ItemKind::Link}); }

    // Painted after each change, a kind that shows text looks exactly like one made in its final
    // state at once. Without a line and its colour the text still shows, in white.
    void eachKind()
    {
        QFETCH(int, type);
        const QString textId = textProperty(type);
        std::unique_ptr<GraphicsItem> item = makeItem(type, QSizeF(160, 80), {{"线型", 0}});
        if (displayText(item.get()).isEmpty())
            item->setPropertyValue(textId, QStringLiteral("起始"));
        const QFont bigger(QStringLiteral("Noto Sans CJK SC"), 18);
        const QString newText
            = type == ItemKind::DigitalClock ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("新值AB12");
        render(item.get());
        item->setPropertyValue(QStringLiteral("字体"), bigger);
        render(item.get());
        setProperties(item.get(), {{"宽度", 220.0}, {"高度", 100.0}});
        render(item.get());
        item->setPropertyValue(textId, newText);
        std::unique_ptr<GraphicsItem> fresh
            = makeItem(type, QSizeF(220, 100), {{"线型", 0}, {"字体", bigger}, {textId, newText}});
        QVERIFY(render(item.get()) == render(fresh.get()));
        // The button's text takes an ink of its own.
        item->setPropertyValue(QStringLiteral("线条颜色"), QColor());
        QVERIFY(type == ItemKind::Button || countColour(render(item.get()), Qt::white) > 20);
    }

    void longTextStaysInside_data() { addKindRows({ItemKind::Text, ItemKind::Link}); }

    // Text that does not fit is cut at the rectangle on screen; SVG has no clipping here, so
    // there it must be left out, not cut off. No frame: only the text can show where it is drawn.
    void longTextStaysInside()
    {
        QFETCH(int, type);
        for (const auto &[size, points] :
            {std::pair(QSizeF(96, 24), 40), std::pair(QSizeF(300, 90), 16), std::pair(QSizeF(50, 200), 40)}) {
            std::unique_ptr<GraphicsItem> item = makeItem(type, size,
                {{"字体", QFont(QStringLiteral("Noto Sans CJK SC"), points)}, {"线型", 0},
                    {textProperty(type),
                        type == ItemKind::DigitalClock ? QStringLiteral("yyyy-MM-dd hh:mm:ss") : LongText}});
            if (type == ItemKind::PlainText)
                item->setPropertyValue(QStringLiteral("对齐"), 1);
            const QString name = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
            for (double scale : {1.0, 2.5}) {
                const QRect drawn = paintedBounds(render(item.get(), Path::Cached, scale));
                QVERIFY2(!drawn.isNull()
                        && QRectF(Margin, Margin, size.width() * scale, size.height() * scale)
                               .adjusted(-1, -1, 1, 1)
                               .contains(QRectF(drawn)),
                    qPrintable(name));
            }
            // What SVG writes is part of what is shown, and drawn back stays inside.
            const QByteArray svg = svgOf(item.get());
            const QStringList texts = TestSupport::Svg(svg).texts("text");
            const QString shown = displayText(item.get()).remove(QLatin1Char('\n'));
            for (const QString &t : texts)
                QVERIFY2(shown.contains(t), qPrintable(t));
            QVERIFY2(!texts.isEmpty() || size.height() < 90 || points >= 40, qPrintable(name));
            QImage image(size.toSize() + QSize(2 * Margin, 2 * Margin), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            QSvgRenderer(svg).render(&painter);
            painter.end();
            const QRect drawn = paintedBounds(image);
            QVERIFY2(texts.isEmpty() || !drawn.isNull(), qPrintable(name));
            QVERIFY2(drawn.isNull()
                    || QRectF(QPointF(Margin, Margin), size).adjusted(-1.5, -1.5, 1.5, 1.5).contains(QRectF(drawn)),
                qPrintable(name));
        }
    }
};

QTEST_MAIN(TestTextItems)
#include "tst_textitems.moc"
