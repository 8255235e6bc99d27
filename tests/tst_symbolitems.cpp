// The equipment symbols' own looks: turns, the item's pen and brush, the selection frame,
// switch status, round circles, the danger sign, and the symbol library's cache. What holds
// for every kind is tested with all items.
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

// A symbol with a yellow pen and no brush, and the given property values.
std::unique_ptr<GraphicsItem> make(int type, const QSizeF &size, const QVariantMap &values = {}, int penWidth = 1)
{
    std::unique_ptr<GraphicsItem> item = outlined(type, size, PenColour, penWidth);
    setProperties(item.get(), values);
    return item;
}

bool isBreaker(int type)
{
    return type == ItemKind::Breaker || type == ItemKind::BreakerPicture;
}

} // namespace

class TestSymbolItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("symbolitems"); }

    void eachSymbol_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("filled");
        // Symbols drawn as strokes only have no body to fill.
        const QList<int> hollow{ItemKind::Disconnector, ItemKind::Capacitor, ItemKind::Reactor,
            ItemKind::ArcSuppressionCoil, ItemKind::Earth, ItemKind::CurrentTransformer, ItemKind::Diode,
            ItemKind::Danger};
        for (int type : typesOf({ItemKind::Symbol}))
            QTest::newRow(rowName(type)) << type << !hollow.contains(type);
    }

    // Every symbol turns, follows its item's pen and brush, and shows the selection frame.
    void eachSymbol()
    {
        QFETCH(int, type);
        QFETCH(bool, filled);
        // A turned symbol stays inside its rectangle: it is the upright symbol, drawn in the
        // rectangle with the sides swapped for a quarter turn, and turned clockwise as a picture.
        const QSizeF size(36, 90);
        for (int turn = 1; turn < 4; ++turn) {
            std::unique_ptr<GraphicsItem> item = make(type, size, {{"方向", turn}}, 2);
            const QImage turned = render(item.get());
            QVERIFY(
                QRectF(QPointF(Margin, Margin), size).adjusted(-3, -3, 3, 3).contains(QRectF(paintedBounds(turned))));
            const QImage expected = render(make(type, turn % 2 ? size.transposed() : size, {}, 2).get())
                                        .transformed(QTransform().rotate(90 * turn));
            QCOMPARE(expected.size(), turned.size());
            const double covered = qMin(coveredBy(turned, expected), coveredBy(expected, turned));
            QVERIFY2(covered > 0.98, qPrintable(QStringLiteral("%1°: %2").arg(turn * 90).arg(covered)));
        }

        // The pen's colour, and its dashes; without a colour the symbol stays visible on the
        // black canvas.
        const QColor colour(0, 200, 255);
        std::unique_ptr<GraphicsItem> item = make(type, QSizeF(60, 96), {{"线条颜色", colour}});
        const QImage solid = render(item.get());
        QVERIFY(countColour(solid, colour) > 20 && countColour(solid, PenColour) == 0);
        item->setPropertyValue(QStringLiteral("线型"), 2);
        QVERIFY(countColour(render(item.get()), colour) < countColour(solid, colour));
        item->setPropertyValue(QStringLiteral("线条颜色"), QColor());
        QVERIFY(countColour(render(item.get()), Qt::white) > 20);

        // The brush fills the body only with a fill style; a closed switch shows its status
        // colour instead, an open one takes the brush.
        const QColor fill(0, 0, 200);
        item = make(type, QSizeF(60, 96), {{"填充颜色", fill}});
        QCOMPARE(countColour(render(item.get()), fill), 0);
        item->setPropertyValue(QStringLiteral("填充方式"), 1);
        for (int status : {1, 0}) {
            item->setPropertyValue(IdStatus, status);
            const int n = countColour(render(item.get()), fill);
            const bool expected = filled && (!isBreaker(type) || status == 0);
            QVERIFY2(expected ? n > 100 : n == 0, qPrintable(QStringLiteral("%1: %2").arg(status).arg(n)));
        }

        // The base draws the selection after the symbol, with the painter as the symbol left
        // it: the dashed frame runs along the rectangle's left side, and nothing lies left of
        // or above it, on screen and as vectors.
        item = make(type, QSizeF(40, 64), {}, 2);
        item->setRect(QRectF(6, 9, 40, 64));
        QGraphicsScene scene;
        scene.addItem(item.get());
        item->setSelected(true);
        QStyleOptionGraphicsItem option;
        option.state |= QStyle::State_Selected;
        for (bool vectors : {false, true}) {
            QImage image(40 + 6 + 2 * Margin, 64 + 9 + 2 * Margin, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPicture picture;
            QPainter recorder(&picture);
            QPainter painter(&image);
            QPainter *target = vectors ? &recorder : &painter;
            target->translate(Margin, Margin);
            item->paint(target, &option, nullptr);
            recorder.end();
            painter.drawPicture(0, 0, picture);
            painter.end();
            QVERIFY(countColour(image, QColor(0, 160, 255), QRect(Margin + 5, Margin + 15, 3, 52)) > 10);
            const QRect bounds = paintedBounds(image);
            QVERIFY(bounds.left() >= Margin && bounds.top() >= Margin + 3);
        }
        scene.removeItem(item.get());
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
        // The switch picture's outline takes the status colour: red when closed, green when open.
        const QColor green(0, 255, 0);
        QVERIFY(type != ItemKind::BreakerPicture
            || (countColour(closed, green) == 0 && countColour(open, green) > 20
                && countColour(open, closedColour) == 0));
        item->setPropertyValue(IdStatus, 1);
        QCOMPARE(render(item.get()), closed);
    }

    void circlesStayRound_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("setup");
        for (int type : {ItemKind::Generator, ItemKind::Motor, ItemKind::DistributionTransformer, ItemKind::Lamp,
                 ItemKind::Bell, ItemKind::Reactor})
            QTest::newRow(rowName(type)) << type << QVariantMap();
        for (int type : {ItemKind::MainTransformer, ItemKind::VoltageTransformer}) {
            QTest::newRow(rowName(type, "双绕组")) << type << QVariantMap{{"绕组", 0}};
            QTest::newRow(rowName(type, "三绕组")) << type << QVariantMap{{"绕组", 1}};
        }
    }

    // Widening the rectangle neither stretches the circles nor moves them off centre.
    void circlesStayRound()
    {
        QFETCH(int, type);
        QFETCH(QVariantMap, setup);
        QList<QRect> bounds;
        for (double width : {160.0, 320.0}) {
            bounds << paintedBounds(render(make(type, QSizeF(width, 60), setup).get()));
            QVERIFY(bounds.last().width() < 0.6 * width);
            const double centre = (bounds.last().left() + bounds.last().right() + 1) / 2.0;
            QVERIFY2(qAbs(centre - (Margin + width / 2)) <= 1.0, qPrintable(QString::number(centre)));
        }
        QCOMPARE(bounds.first().size(), bounds.last().size());
    }

    // The exclamation mark stands out in the middle of the sign, on a light or dark ground.
    void dangerMarkStandsOut()
    {
        for (const QColor &ground : {QColor(245, 194, 17), QColor(20, 20, 90)}) {
            const QColor mark = ground.lightness() > 128 ? QColor(32, 32, 32) : QColor(255, 255, 255);
            std::unique_ptr<GraphicsItem> item = make(ItemKind::Danger, QSizeF(80, 72), {{"底色", ground}});
            const QImage image = render(item.get());
            QVERIFY(countColour(image, ground) > 800 && countColour(image, mark) > 30);
            QCOMPARE(QColor(image.pixel(Margin + 40, Margin + 40)), mark);
        }
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
        // Out-of-range turns land on the valid ones; nothing is drawn for other kinds or no size.
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
