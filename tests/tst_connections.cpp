// Where equipment symbols and lines connect: each kind's connection points, checked against the
// drawn pixels in every direction, and their place in the scene; the connection check of a
// feeder drawn in the main window.
#include "abstractgraphicsproperty.h"
#include "abstractgraphicsterminals.h"
#include "app/plotwright.h"
#include "cdatalink.h"
#include "dialogs/connectioncheckdock.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

using namespace ItemSamples;

namespace {

AbstractGraphicsTerminals *terminalsOf(QGraphicsItem *item)
{
    return dynamic_cast<AbstractGraphicsTerminals *>(item);
}

// Whether a pixel within `reach` pixels of the point is painted.
bool paintedNear(const QImage &image, const QPointF &at, int reach)
{
    const QPoint centre = at.toPoint();
    return !paintedBounds(image, QRect(centre - QPoint(reach, reach), centre + QPoint(reach, reach))).isEmpty();
}

} // namespace

class TestConnections : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        TestSupport::isolate("connections");
        CDataLink::Init();
    }

    void terminalsEndTheDrawing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("count"); // -1: the kind does not connect
        QTest::addColumn<int>("countOfVariant"); // open switches, the test position, three windings
        const QList<int> one{ItemKind::Capacitor, ItemKind::ArcSuppressionCoil, ItemKind::Arrester, ItemKind::Generator,
            ItemKind::Motor, ItemKind::Earth, ItemKind::VoltageTransformer, ItemKind::Bell};
        const QList<int> none{ItemKind::Danger, ItemKind::CapacityPlan, ItemKind::CapacityFront};
        for (const ItemKind &kind : ItemKind::all()) {
            const bool circuit = kind.family == ItemKind::Symbol || kind.type == ItemKind::Line;
            const int count = !circuit ? -1 : none.contains(kind.type) ? 0 : one.contains(kind.type) ? 1 : 2;
            QTest::newRow(kind.name) << kind.type << count << (kind.type == ItemKind::MainTransformer ? 3 : count);
        }
    }

    // Only the symbols and the line connect. Each connection point lies on the drawing where it
    // ends: a painted pixel at the point and none a little further out, in every direction and
    // variant, on tall and on flat rectangles.
    void terminalsEndTheDrawing()
    {
        QFETCH(int, type);
        QFETCH(int, count);
        QFETCH(int, countOfVariant);
        const double scale = 2;
        const QSizeF sizes[] = {QSizeF(30, 52), QSizeF(52, 30), QSizeF(-52, 30)};
        for (int i = 0; i < 24; ++i) {
            const QSizeF size = sizes[i / 8];
            const int direction = i / 2 % 4;
            const int variant = i % 2;
            std::unique_ptr<GraphicsItem> item = outlined(type, size);
            QCOMPARE(terminalsOf(item.get()) != nullptr, count >= 0);
            if (count < 0)
                return;
            setProperties(item.get(), {{"方向", direction}, {"状态", variant}, {"绕组", variant}});
            const QList<QPointF> points = terminalsOf(item.get())->terminalPoints();
            const QString where
                = QString::asprintf("%g×%g, %d°, variant %d", size.width(), size.height(), direction * 90, variant);
            QVERIFY2(points.size() == (variant ? countOfVariant : count), qPrintable(where));
            const QImage image = render(item.get(), Path::Cached, scale);
            const QRectF r = item->rect().normalized();
            for (const QPointF &p : points) {
                const QPointF local = item->mapFromScene(p);
                const QPointF at = QPointF(Margin, Margin) + (local - r.topLeft()) * scale;
                const QPointF out = local - r.center();
                const QPointF beyond = at + out / std::hypot(out.x(), out.y()) * 3 * scale;
                const QString point = where + QString::asprintf(" at (%g, %g)", p.x(), p.y());
                QVERIFY2(paintedNear(image, at, 2), qPrintable(point + " not on the drawing"));
                QVERIFY2(!paintedNear(image, beyond, 1), qPrintable(point + " short of the drawing's end"));
            }
        }
    }

    // Drawn by a drag, turned and moved, an item's connection points are scene points.
    void pointsInTheScene()
    {
        const QRectF upright(100, 200, 24, 48);
        const struct
        {
            int type;
            QVariantMap properties;
            QRectF drag;
            QList<QPointF> expected;
        } rows[] = {
            // A quarter turn clockwise brings the top to the right.
            {ItemKind::Breaker, {{"方向", 1}}, upright, {{124, 224}, {100, 224}}},
            // The machine's circle fits the shorter side: its top is 20 units from the centre (30, 20).
            {ItemKind::Generator, {{"方向", 1}}, QRectF(0, 0, 60, 40), {{50, 20}}},
            // Three windings of radius 10 fill 33 units across; centres 13 apart in a triangle.
            {ItemKind::MainTransformer, {{"绕组", 1}}, QRectF(0, 0, 33, 60),
                {{16.5, 30 - 5.629 - 10}, {10, 30 + 5.629 + 10}, {23, 30 + 5.629 + 10}}},
            {ItemKind::Line, {}, QRectF(QPointF(50, 50), QPointF(20, 90)), {{50, 50}, {20, 90}}},
        };
        for (const auto &row : rows) {
            std::unique_ptr<GraphicsItem> item(create(row.type, row.drag));
            setProperties(item.get(), row.properties);
            item->moveBy(7, -3);
            const QList<QPointF> points = terminalsOf(item.get())->terminalPoints();
            QCOMPARE(points.size(), row.expected.size());
            for (int i = 0; i < points.size(); ++i) {
                const QPointF want = row.expected.at(i) + QPointF(7, -3);
                QVERIFY2(QLineF(points.at(i), want).length() < 0.01, rowName(row.type, QString::number(i)));
            }
        }
    }

    // Breaker QF1 above a disconnector, a line between them, a second line from 3 units below the
    // disconnector, nothing above the breaker: the check lists the two faults until they are mended.
    void checkOfAFeeder()
    {
        Plotwright w;
        const Ui::PlotwrightClass &ui = w.form();
        QVERIFY(!ui.action_CheckConnections->isEnabled());
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view && ui.action_CheckConnections->isEnabled());
        ui.mdiArea->activeSubWindow()->showMaximized();
        if (ui.action_SnapGrid->isChecked())
            ui.action_SnapGrid->trigger();
        view->centerOn(960, 450);
        Scene *scene = view->documentScene();
        // A drag without moving is a click, which places a symbol of its usual size.
        const auto draw = [&](int tool, const QPointF &from, const QPointF &to, Qt::KeyboardModifiers keys = {}) {
            ui.toolAction(tool)->trigger();
            TestSupport::drag(*view, from, to, {}, keys);
            return scene->items(Qt::DescendingOrder).first();
        };
        auto *breaker = dynamic_cast<GraphicsItem *>(draw(ItemKind::Breaker, {960, 400}, {960, 400}));
        breaker->setPropertyValue(PropertyIds::Name, "QF1");
        draw(ItemKind::Disconnector, {960, 500}, {960, 500});
        draw(ItemKind::Line, {960, 424}, {960, 476});
        // Alt: exactly there, not onto the connection point 3 units away.
        QGraphicsItem *shortLine = draw(ItemKind::Line, {960, 527}, {960, 600}, Qt::AltModifier);
        QCOMPARE(scene->items().size(), 4);
        QTreeWidget *list = nullptr;
        const auto check = [&] {
            ui.action_CheckConnections->trigger();
            auto *dock = TestSupport::child<ConnectionCheckDock>(&w, "connectionCheckDock");
            list = dock && dock->isVisible() ? dock->list() : nullptr;
            QStringList rows;
            for (int i = 0; list && i < list->topLevelItemCount(); ++i)
                rows << list->topLevelItem(i)->text(0);
            return rows;
        };
        QCOMPARE(check(), QStringList({"开关“QF1”的接点1未连接", "“直线2”的起点离“刀闸1”的接点2还差 3"}));
        QCOMPARE(ui.statusBar->currentMessage(), QStringLiteral("检查连接：发现 2 处问题"));

        // A double-click selects the short line alone and brings its end into the middle.
        ui.action_Void->trigger();
        breaker->setSelected(true);
        view->centerOn(0, 0);
        // A widget's double-click event comes after the press and release of the first click.
        const QPoint row = list->visualItemRect(list->topLevelItem(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row);
        QCOMPARE(scene->selectedItems(), QList<QGraphicsItem *>{shortLine});
        QVERIFY(QLineF(view->mapToScene(view->viewport()->rect().center()), QPointF(960, 527)).length() < 2);

        // Three steps up put the line on the disconnector; a bus bar through the breaker's top
        // connects it anywhere along the bar.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(view->viewport(), Qt::Key_Up);
        draw(ItemKind::Line, {900, 376}, {1020, 376});
        QCOMPARE(check(), QStringList());
        QCOMPARE(ui.statusBar->currentMessage(), QStringLiteral("检查连接：未发现问题"));
    }
};

QTEST_MAIN(TestConnections)
#include "tst_connections.moc"
