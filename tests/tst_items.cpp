// The drawing items as the editor uses them: the factory, building from a drag,
// handles under the mouse, geometry for undo, locking, and properties.
#include "abstractgraphicsscene.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "testsupport.h"

#include <QGraphicsView>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionGraphicsItem>
#include <QtTest>
#include <memory>

namespace {

DrawingDefaults sampleDefaults()
{
    return ItemSamples::defaults();
}

std::unique_ptr<GraphicsItem> make(int type)
{
    return std::unique_ptr<GraphicsItem>(dynamic_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, type, true)));
}

QImage render(GraphicsItem *item)
{
    QImage image(260, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.translate(30, 30);
    QStyleOptionGraphicsItem option;
    item->paint(&painter, &option, nullptr);
    return image;
}

// Sends a drag with the left button held through the view's viewport.
void drag(QGraphicsView &view, const QPointF &fromScene, const QPointF &toScene, std::function<void()> during = {})
{
    QWidget *vp = view.viewport();
    const QPoint from = view.mapFromScene(fromScene);
    const QPoint to = view.mapFromScene(toScene);
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = from + (to - from) * i / 4;
        QMouseEvent move(QEvent::MouseMove, p, vp->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
    }
    if (during)
        during();
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace

class TestItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::isolate("items"); }

    void factoryKnowsEveryDrawingTool()
    {
        QCOMPARE(ItemKind::all().size(), 51);
        for (const ItemKind &kind : ItemKind::all()) {
            std::unique_ptr<QGraphicsItem> item(AbstractGraphicsScene::graphicsItem(0, kind.type, true));
            QVERIFY2(item, kind.name);
            QCOMPARE(item->type(), kind.type);
            QVERIFY2(dynamic_cast<AbstractGraphicsUtility *>(item.get()), kind.name);
            QVERIFY2(dynamic_cast<AbstractGraphicsResize *>(item.get()), kind.name);
            QVERIFY2(dynamic_cast<AbstractGraphicsProperty *>(item.get()), kind.name);
            QVERIFY2(dynamic_cast<AbstractGraphicsLibrary *>(item.get()), kind.name);
        }
        std::unique_ptr<QGraphicsItem> group(AbstractGraphicsScene::graphicsItem(1, 0x10002, true));
        QVERIFY(dynamic_cast<QGraphicsItemGroup *>(group.get()));
        QVERIFY(dynamic_cast<AbstractGraphicsUtility *>(group.get()));
        QCOMPARE(group->type(), 0x10002);

        QVERIFY(!AbstractGraphicsScene::graphicsItem(0, 0x10006, true)); // the pointer tool
        QVERIFY(!AbstractGraphicsScene::graphicsItem(0, 0x10000, true));
        QVERIFY(!AbstractGraphicsScene::graphicsItem(0, 0x1003d, true));
        QVERIFY(!AbstractGraphicsScene::graphicsItem(0, -1, true));
    }

    void createFromPointsInEveryDirection_data()
    {
        QTest::addColumn<int>("type");
        for (const ItemKind &kind : ItemKind::all())
            QTest::newRow(kind.name) << kind.type;
    }

    void createFromPointsInEveryDirection()
    {
        QFETCH(int, type);
        const DrawingDefaults defaults = sampleDefaults();
        const QPointF a(100, 50);
        const QPointF b(160, 130);
        const QList<QPair<QPointF, QPointF>> drags{{a, b}, {b, a}, {QPointF(160, 50), QPointF(100, 130)},
                                                   {QPointF(100, 130), QPointF(160, 50)}};
        for (const auto &d : drags) {
            auto item = make(type);
            QVERIFY(item);
            QVERIFY(item->createFromPoints(&defaults, d.first, d.second, nullptr));
            QCOMPARE(item->itemRect(), QRectF(100, 50, 60, 80));
            QCOMPARE(item->penColor(), QColor(255, 255, 0));
            QCOMPARE(item->penWidth(), 2);
            QCOMPARE(item->brushColor(), QColor(0, 0, 200));
            if (type == 0x10016) {
                // The line keeps the direction of the drag.
                QCOMPARE(item->mapToScene(item->rect().topLeft()), d.first);
                QCOMPARE(item->mapToScene(item->rect().bottomRight()), d.second);
            } else {
                QCOMPARE(item->pos(), QPointF(100, 50));
            }
        }

        auto clicked = make(type);
        QVERIFY(clicked);
        const bool made = clicked->createFromPoints(&defaults, a, a, nullptr);
        const QSizeF clickSize = ItemKind::find(type)->clickSize;
        QCOMPARE(made, !clickSize.isEmpty());
        if (made)
            QCOMPARE(clicked->itemRect(), QRectF(a - QPointF(clickSize.width() / 2, clickSize.height() / 2), clickSize));
    }

    void noFillWithoutBrush()
    {
        DrawingDefaults d = sampleDefaults();
        d.brushStyle = 0;
        auto item = make(0x10018);
        item->createFromPoints(&d, QPointF(0, 0), QPointF(50, 50), nullptr);
        QVERIFY(!item->hasFill());
        d.brushStyle = 1;
        d.bruchColor = QColor();
        item->createFromPoints(&d, QPointF(0, 0), QPointF(50, 50), nullptr);
        QVERIFY(!item->hasFill());
        QCOMPARE(item->brush().style(), Qt::NoBrush);
    }

    void handleDragResizesAndGeometryRestores()
    {
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 600, 400);
        QGraphicsView view(&scene);
        view.resize(700, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const DrawingDefaults defaults = sampleDefaults();
        GraphicsItem *item = make(0x10018).release();
        item->createFromPoints(&defaults, QPointF(100, 100), QPointF(200, 160), nullptr);
        scene.addItem(item);
        item->setSelected(true);
        const QVariant before = item->geometry();
        QCOMPARE(item->isResizing(), -1);

        int during = -2;
        drag(view, QPointF(200, 160), QPointF(260, 230), [&] { during = item->isResizing(); });
        QCOMPARE(during, 4); // the bottom-right handle
        QCOMPARE(item->isResizing(), -1);
        QCOMPARE(item->itemRect(), QRectF(100, 100, 160, 130));

        // Dragging the top-left handle past the opposite corner flips, never inverts.
        drag(view, QPointF(100, 100), QPointF(300, 300));
        QVERIFY(item->rect().width() >= 0 && item->rect().height() >= 0);

        const QVariant after = item->geometry();
        item->setGeometry(before);
        QCOMPARE(item->itemRect(), QRectF(100, 100, 100, 60));
        item->setGeometry(after);
        QCOMPARE(item->geometry().value<QVariantList>(), after.value<QVariantList>());
        QCOMPARE(item->itemRect(), item->mapRectToScene(item->rect()));

        // Dragging the body moves the item; no handle is involved.
        item->setGeometry(before);
        drag(view, QPointF(150, 130), QPointF(170, 150), [&] { during = item->isResizing(); });
        QCOMPARE(during, -1);
        QCOMPARE(item->pos(), QPointF(120, 120));
    }

    void lockedItemNeitherMovesNorResizes()
    {
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 600, 400);
        QGraphicsView view(&scene);
        view.resize(700, 500);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const DrawingDefaults defaults = sampleDefaults();
        GraphicsItem *item = make(0x10018).release();
        QVERIFY(item);
        item->createFromPoints(&defaults, QPointF(100, 100), QPointF(140, 180), nullptr);
        scene.addItem(item);
        item->setLock(true);
        const QVariant before = item->itemRect();

        drag(view, QPointF(120, 140), QPointF(200, 220));
        QVERIFY(item->isSelected()); // still selectable
        QCOMPARE(QVariant(item->itemRect()), before);
        drag(view, QPointF(140, 180), QPointF(220, 260));
        QCOMPARE(QVariant(item->itemRect()), before);

        item->setLock(false);
        drag(view, QPointF(140, 180), QPointF(160, 200));
        QCOMPARE(item->itemRect(), QRectF(100, 100, 60, 100));
    }

    void everyEditablePropertyReadsBack_data() { createFromPointsInEveryDirection_data(); }

    void everyEditablePropertyReadsBack()
    {
        QFETCH(int, type);
        auto item = make(type);
        QVERIFY(item);
        const DrawingDefaults defaults = sampleDefaults();
        QVERIFY(item->createFromPoints(&defaults, QPointF(10, 10), QPointF(150, 110), nullptr));
        const auto map = item->properties();
        QVERIFY(map.contains(AbstractGraphicsProperty::Common));
        QVERIFY(map.contains(AbstractGraphicsProperty::General));
        QVERIFY(map.contains(AbstractGraphicsProperty::Specific));
        QSet<QString> ids;
        for (const QList<Property *> &list : map) {
            for (const Property *p : list) {
                QVERIFY2(!ids.contains(p->id()), qPrintable(p->id()));
                ids.insert(p->id());
                if (!p->isEditable())
                    continue;
                const QVariant value = ItemSamples::otherValue(p, item->propertyValue(p->id()));
                item->setPropertyValue(p->id(), value);
                QVERIFY2(item->propertyValue(p->id()) == value, qPrintable(p->id()));
            }
        }
        QCOMPARE(item->propertyNames().size(), ids.size());
    }

    void visibleChangesRepaint_data() { createFromPointsInEveryDirection_data(); }

    void visibleChangesRepaint()
    {
        QFETCH(int, type);
        auto item = make(type);
        QVERIFY(item);
        const DrawingDefaults defaults = sampleDefaults();
        QVERIFY(item->createFromPoints(&defaults, QPointF(0, 0), QPointF(200, 140), nullptr));
        const QImage before = render(item.get());
        item->setPropertyValue(QStringLiteral("线条颜色"), QColor(255, 0, 255));
        item->setPropertyValue(QStringLiteral("线宽"), 5);
        const QImage after = render(item.get());
        QVERIFY2(before != after, ItemKind::find(type)->name);
        item->setPropertyValue(QStringLiteral("宽度"), 60.0);
        QCOMPARE(item->itemRect().width(), 60.0);
        QVERIFY(render(item.get()) != after);
    }

    void groupReportsItsMembers()
    {
        AbstractGraphicsScene scene;
        const DrawingDefaults defaults = sampleDefaults();
        GraphicsItem *a = make(0x10018).release();
        GraphicsItem *b = make(0x1001a).release();
        a->createFromPoints(&defaults, QPointF(0, 0), QPointF(50, 50), nullptr);
        b->createFromPoints(&defaults, QPointF(100, 20), QPointF(150, 90), nullptr);
        scene.addItem(a);
        scene.addItem(b);
        auto *group = static_cast<GroupItem *>(AbstractGraphicsScene::graphicsItem(0, 0x10002, true));
        scene.addItem(group);
        group->addToGroup(a);
        group->addToGroup(b);
        QCOMPARE(group->itemRect(), a->itemRect() | b->itemRect());
        QCOMPARE(group->propertyValue(QStringLiteral("图元个数")).toInt(), 2);
        group->setLock(true);
        QVERIFY(!(group->flags() & QGraphicsItem::ItemIsMovable));
        QVERIFY(!group->createFromPoints(&defaults, QPointF(0, 0), QPointF(10, 10), &scene));
    }
};

QTEST_MAIN(TestItems)
#include "tst_items.moc"
