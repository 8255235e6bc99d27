// The equipment symbols' own looks: switch status and turns, round circles, the danger
// sign, which bodies the brush fills, the item's pen, the selection frame, and the symbol
// library's cache. What holds for every kind is tested with all items.
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "symbollibrary.h"
#include "testsupport.h"

#include <QGraphicsScene>
#include <QPainter>
#include <QPicture>
#include <QStyleOptionGraphicsItem>
#include <QtTest>
#include <functional>
#include <memory>

using namespace ItemSamples;

namespace {

const QColor PenColour(255, 255, 0);
const QString IdStatus = QStringLiteral("状态");
const QString IdDirection = QStringLiteral("方向");

// A symbol with a yellow pen and no brush.
std::unique_ptr<GraphicsItem> make(int type, const QSizeF &size, int penWidth = 1)
{
    return outlined(type, size, PenColour, penWidth);
}

} // namespace

class TestSymbolItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("symbolitems"); }

    void turnsInsideRect_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("turn");
        for (int type : typesOf({ItemKind::Symbol})) {
            for (int turn = 1; turn < 4; ++turn)
                QTest::newRow(rowName(type, QStringLiteral("%1°").arg(turn * 90))) << type << turn;
        }
    }

    void turnsInsideRect()
    {
        QFETCH(int, type);
        QFETCH(int, turn);
        const QSizeF size(36, 90);
        const int penWidth = 2;
        std::unique_ptr<GraphicsItem> item = make(type, size, penWidth);
        item->setPropertyValue(IdDirection, turn);
        const QImage turned = render(item.get());
        QVERIFY(QRectF(QPointF(Margin, Margin), size).adjusted(-3, -3, 3, 3).contains(QRectF(paintedBounds(turned))));

        // It is the upright symbol, drawn in the rectangle with the sides swapped for a quarter
        // turn, and turned clockwise as a picture.
        std::unique_ptr<GraphicsItem> upright = make(type, turn % 2 ? size.transposed() : size, penWidth);
        const QImage expected = render(upright.get()).transformed(QTransform().rotate(90 * turn));
        QCOMPARE(expected.size(), turned.size());
        QVERIFY2(coveredBy(turned, expected) > 0.98, qPrintable(QString::number(coveredBy(turned, expected))));
        QVERIFY2(coveredBy(expected, turned) > 0.98, qPrintable(QString::number(coveredBy(expected, turned))));
    }

    void circlesStayRound_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("setup");
        const QVariantMap two{{QStringLiteral("绕组"), 0}};
        const QVariantMap three{{QStringLiteral("绕组"), 1}};
        for (int type : {ItemKind::Generator, ItemKind::Motor, ItemKind::DistributionTransformer, ItemKind::Lamp,
                 ItemKind::Bell, ItemKind::Reactor})
            QTest::newRow(rowName(type)) << type << QVariantMap();
        for (int type : {ItemKind::MainTransformer, ItemKind::VoltageTransformer}) {
            QTest::newRow(rowName(type, "双绕组")) << type << two;
            QTest::newRow(rowName(type, "三绕组")) << type << three;
        }
    }

    void circlesStayRound()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, setup);
        // Widening the rectangle neither stretches the circles nor moves them off centre.
        QRect previous;
        for (double width : {160.0, 320.0}) {
            std::unique_ptr<GraphicsItem> item = make(type, QSizeF(width, 60));
            for (auto it = setup.cbegin(); it != setup.cend(); ++it)
                item->setPropertyValue(it.key(), it.value());
            const QRect bounds = paintedBounds(render(item.get()));
            QVERIFY(bounds.width() < 0.6 * width);
            const double centre = (bounds.left() + bounds.right() + 1) / 2.0;
            QVERIFY2(qAbs(centre - (Margin + width / 2)) <= 1.0, qPrintable(QString::number(centre)));
            if (previous.isValid())
                QCOMPARE(bounds.size(), previous.size());
            previous = bounds;
        }
    }

    void statusChangesDrawing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("probe"); // where the two states differ, as a share of the rectangle
        QTest::addColumn<QColor>("closedColour");
        // A closed breaker is a filled square, an open one a hollow square.
        QTest::newRow("开关") << int(ItemKind::Breaker) << QPointF(0.5, 0.5) << PenColour;
        QTest::newRow("开关图形") << int(ItemKind::BreakerPicture) << QPointF(0.5, 0.5) << QColor(255, 0, 0);
        // The closed blade lies on the feeder; the open one swings away from it.
        QTest::newRow("刀闸") << int(ItemKind::Disconnector) << QPointF(0.5, 0.5) << PenColour;
        // In the working position the plug contacts meet the fixed ones.
        QTest::newRow("手车") << int(ItemKind::BreakerTruck) << QPointF(0.5, 0.09) << PenColour;
    }

    void statusChangesDrawing()
    {
        QFETCH(int, type);
        QFETCH(QPointF, probe);
        QFETCH(QColor, closedColour);
        const QSizeF size(48, 96);
        std::unique_ptr<GraphicsItem> item = make(type, size);
        const QPoint at(qFloor(Margin + probe.x() * size.width()), qFloor(Margin + probe.y() * size.height()));
        const QImage closed = render(item.get());
        item->setPropertyValue(IdStatus, 0);
        const QImage open = render(item.get());
        QCOMPARE(QColor(closed.pixel(at)), closedColour);
        QVERIFY(!painted(open, at.x(), at.y()));
        if (type == ItemKind::BreakerPicture) {
            // Its outline takes the status colour: red when closed, green when open.
            const QColor green(0, 255, 0);
            QCOMPARE(countColour(closed, green), 0);
            QVERIFY(countColour(open, green) > 20);
            QCOMPARE(countColour(open, closedColour), 0);
        }
        item->setPropertyValue(IdStatus, 1);
        QCOMPARE(render(item.get()), closed);
    }

    void dangerMarkStandsOut_data()
    {
        QTest::addColumn<QColor>("ground");
        QTest::addColumn<QColor>("mark");
        QTest::newRow("yellow ground") << QColor(245, 194, 17) << QColor(32, 32, 32);
        QTest::newRow("navy ground") << QColor(20, 20, 90) << QColor(255, 255, 255);
    }

    void dangerMarkStandsOut()
    {
        QFETCH(QColor, ground);
        QFETCH(QColor, mark);
        std::unique_ptr<GraphicsItem> item = make(ItemKind::Danger, QSizeF(80, 72));
        item->setPropertyValue(QStringLiteral("底色"), ground);
        const QImage image = render(item.get());
        QVERIFY(countColour(image, ground) > 800);
        // The exclamation mark sits in the middle of the sign.
        QVERIFY(countColour(image, mark) > 30);
        QCOMPARE(QColor(image.pixel(Margin + 40, Margin + 40)), mark);
    }

    void brushFillsBodies_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("setup");
        QTest::addColumn<bool>("filled");
        // Symbols drawn as strokes only have no body to fill.
        const QList<int> hollow{ItemKind::Disconnector, ItemKind::Capacitor, ItemKind::Reactor,
            ItemKind::ArcSuppressionCoil, ItemKind::Earth, ItemKind::CurrentTransformer, ItemKind::Diode,
            ItemKind::Danger};
        for (int type : typesOf({ItemKind::Symbol})) {
            const bool breaker = type == ItemKind::Breaker || type == ItemKind::BreakerPicture;
            QTest::newRow(rowName(type)) << type << QVariantMap() << (!breaker && !hollow.contains(type));
            // The brush fills the open switch; the closed one shows its status colour.
            if (breaker)
                QTest::newRow(rowName(type, "open")) << type << QVariantMap{{IdStatus, 0}} << true;
        }
    }

    void brushFillsBodies()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, setup);
        QFETCH(bool, filled);
        const QColor fill(0, 0, 200);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(60, 96));
        for (auto it = setup.cbegin(); it != setup.cend(); ++it)
            item->setPropertyValue(it.key(), it.value());
        item->setPropertyValue(QStringLiteral("填充颜色"), fill);
        QCOMPARE(countColour(render(item.get()), fill), 0); // no fill style yet
        item->setPropertyValue(QStringLiteral("填充方式"), 1);
        const int n = countColour(render(item.get()), fill);
        if (filled)
            QVERIFY2(n > 100, qPrintable(QString::number(n)));
        else
            QCOMPARE(n, 0);
    }

    void drawsWithItemPen_data() { addKindRows({ItemKind::Symbol}); }

    void drawsWithItemPen()
    {
        QFETCH(int, type);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(60, 96));
        const QColor colour(0, 200, 255);
        item->setPropertyValue(QStringLiteral("线条颜色"), colour);
        const QImage thin = render(item.get());
        QVERIFY(countColour(thin, colour) > 20);
        QCOMPARE(countColour(thin, PenColour), 0);
        item->setPropertyValue(QStringLiteral("线型"), 2);
        QVERIFY(countColour(render(item.get()), colour) < countColour(thin, colour));
        // Without a pen colour the symbol stays visible on the black canvas.
        item->setPropertyValue(QStringLiteral("线条颜色"), QColor());
        QVERIFY(countColour(render(item.get()), Qt::white) > 20);
    }

    void selectionFrameOnRect_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("path");
        for (int type : typesOf({ItemKind::Symbol})) {
            QTest::newRow(rowName(type, "screen")) << type << int(Path::Cached);
            QTest::newRow(rowName(type, "vectors")) << type << int(Path::Vectors);
        }
    }

    void selectionFrameOnRect()
    {
        QFETCH(int, type);
        QFETCH(int, path);
        // The base draws the selection after the symbol with the painter as the symbol left it.
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(40, 64), 2);
        item->setRect(QRectF(6, 9, 40, 64));
        QGraphicsScene scene;
        scene.addItem(item.get());
        item->setSelected(true);
        QImage image(40 + 6 + 2 * Margin, 64 + 9 + 2 * Margin, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QStyleOptionGraphicsItem option;
        option.state |= QStyle::State_Selected;
        QPicture picture;
        QPainter recorder(&picture);
        QPainter painter(&image);
        QPainter *target = Path(path) == Path::Vectors ? &recorder : &painter;
        target->translate(Margin, Margin);
        item->paint(target, &option, nullptr);
        recorder.end();
        painter.drawPicture(0, 0, picture);
        painter.end();
        scene.removeItem(item.get());
        // The dashed frame runs along the rectangle's left side, and nothing lies left of or above it.
        const QColor frame(0, 160, 255);
        QVERIFY(countColour(image, frame, QRect(Margin + 5, Margin + 15, 3, 52)) > 10);
        const QRect bounds = paintedBounds(image);
        QVERIFY(bounds.left() >= Margin && bounds.top() >= Margin + 3);
    }

    void libraryCacheSeparatesDrawings()
    {
        SymbolLibrary::clearCache();
        SymbolLibrary::Request base;
        base.type = ItemKind::CapacityFront;
        base.size = QSizeF(40, 64);
        base.level = 60;
        const SymbolLibrary::Drawing *first = SymbolLibrary::drawing(base);
        QCOMPARE(SymbolLibrary::drawing(base), first);
        QCOMPARE(SymbolLibrary::cachedCount(), 1);
        // A status has no meaning for a capacity: it must not split the cache.
        SymbolLibrary::Request same = base;
        same.variant = 1;
        QCOMPARE(SymbolLibrary::drawing(same), first);

        // Size, turn, level and kind each make another drawing.
        const std::function<void(SymbolLibrary::Request &)> changes[] = {[](auto &r) { r.size.setWidth(41); },
            [](auto &r) { r.size.setHeight(65); }, [](auto &r) { r.orientation = 2; }, [](auto &r) { r.level = 61; },
            [](auto &r) { r.type = ItemKind::CapacityPlan; }};
        for (const auto &change : changes) {
            SymbolLibrary::Request r = base;
            change(r);
            const int before = SymbolLibrary::cachedCount();
            QVERIFY(SymbolLibrary::drawing(r) != first);
            QCOMPARE(SymbolLibrary::cachedCount(), before + 1);
        }
        // Out-of-range turns and levels land on the valid ones.
        SymbolLibrary::Request r = base;
        r.orientation = 6;
        base.orientation = 2;
        QCOMPARE(SymbolLibrary::drawing(r), SymbolLibrary::drawing(base));
        QVERIFY(SymbolLibrary::build(SymbolLibrary::Request{ItemKind::Line, 0, 0, QSizeF(40, 40), 0}).layers.isEmpty());
        QVERIFY(SymbolLibrary::build(SymbolLibrary::Request{ItemKind::Fuse, 0, 0, QSizeF(0, 40), 0}).layers.isEmpty());
    }
};

QTEST_MAIN(TestSymbolItems)
#include "tst_symbolitems.moc"
