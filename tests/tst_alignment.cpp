// Alignment, equal size and equal spacing of the selection in a focused view: the reference
// item, group members, the minimum selections and one undo step each.
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

const QPair<const char *, void (Scene::*)()> Operations[] = {{"AlignmentLeft", &Scene::alignmentLeft},
    {"AlignmentRight", &Scene::alignmentRight}, {"AlignmentTop", &Scene::alignmentTop},
    {"AlignmentBottom", &Scene::alignmentBottom}, {"AlignmentHCenter", &Scene::alignmentHCenter},
    {"AlignmentVCenter", &Scene::alignmentVCenter}, {"EqualWidth", &Scene::equalWidth},
    {"EqualHeight", &Scene::equalHeight}, {"EqualHCross", &Scene::equalHCross}, {"EqualVCross", &Scene::equalVCross}};

QRectF rectOf(QGraphicsItem *item)
{
    return dynamic_cast<AbstractGraphicsUtility *>(item)->itemRect();
}

} // namespace

class TestAlignment : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GraphicsView> m_view;
    Scene *scene() const { return m_view->documentScene(); }
    QUndoStack *stack() const { return scene()->undoStack(); }
    GraphicsItem *add(const QRectF &rect, bool selected = true)
    {
        GraphicsItem *item = ItemSamples::create(ItemKind::Rectangle, rect);
        scene()->addItem(item);
        item->setSelected(selected);
        return item;
    }
    // Runs the operation named by its macro text; true when it pushed exactly that macro.
    bool run(const QString &macro)
    {
        const int before = stack()->index();
        for (const auto &operation : Operations) {
            if (macro == QLatin1String(operation.first))
                (scene()->*operation.second)();
        }
        return stack()->index() == before + 1 && stack()->text(before) == macro;
    }

private slots:
    void initTestCase() { TestSupport::isolate("alignment"); }

    void init()
    {
        m_view = std::make_unique<GraphicsView>();
        m_view->setAttribute(Qt::WA_DeleteOnClose, false);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        m_view->setFocus();
        QTRY_VERIFY(scene()->hasFocus());
    }

    void cleanup() { m_view.reset(); }

    void lineUp_data()
    {
        QTest::addColumn<QString>("macro");
        QTest::addColumn<QRectF>("aLedByB"); // A (10, 10, 30, 40) lined up with B (50, 50, 10, 20)
        QTest::addColumn<QRectF>("bLedByA");
        QTest::newRow("left") << "AlignmentLeft" << QRectF(50, 10, 30, 40) << QRectF(10, 50, 10, 20);
        QTest::newRow("right") << "AlignmentRight" << QRectF(30, 10, 30, 40) << QRectF(30, 50, 10, 20);
        QTest::newRow("hcenter") << "AlignmentHCenter" << QRectF(40, 10, 30, 40) << QRectF(20, 50, 10, 20);
        QTest::newRow("top") << "AlignmentTop" << QRectF(10, 50, 30, 40) << QRectF(50, 10, 10, 20);
        QTest::newRow("bottom") << "AlignmentBottom" << QRectF(10, 30, 30, 40) << QRectF(50, 30, 10, 20);
        QTest::newRow("vcenter") << "AlignmentVCenter" << QRectF(10, 40, 30, 40) << QRectF(50, 20, 10, 20);
        QTest::newRow("width") << "EqualWidth" << QRectF(10, 10, 10, 40) << QRectF(50, 50, 30, 20);
        QTest::newRow("height") << "EqualHeight" << QRectF(10, 10, 30, 20) << QRectF(50, 50, 10, 40);
    }

    void lineUp()
    {
        QFETCH(QString, macro);
        QFETCH(QRectF, aLedByB);
        QFETCH(QRectF, bLedByA);
        const QRectF a0(10, 10, 30, 40);
        const QRectF b0(50, 50, 10, 20);
        GraphicsItem *a = add(a0);
        GraphicsItem *b = add(b0);
        const auto expectLeader = [&](GraphicsItem *leader) {
            QCOMPARE(rectOf(a), leader == b ? aLedByB : a0);
            QCOMPARE(rectOf(b), leader == a ? bLedByA : b0);
        };
        // The focus leads, not the first of the selection list; a selected group member
        // stays as it is.
        GraphicsItem *focus = scene()->selectedItems().first() == a ? b : a;
        focus->setFocus();
        auto *group = new GroupItem;
        scene()->addItem(group);
        GraphicsItem *member = add(QRectF(200, 200, 50, 60));
        group->addToGroup(member);
        member->setSelected(true);
        QVERIFY(run(macro));
        expectLeader(focus);
        QCOMPARE(rectOf(member), QRectF(200, 200, 50, 60));
        stack()->undo();
        expectLeader(nullptr);
        // The focus on an unselected item: the first of the selection leads.
        member->setSelected(false);
        add(QRectF(300, 300, 5, 5), false)->setFocus();
        QVERIFY(run(macro));
        expectLeader(static_cast<GraphicsItem *>(scene()->selectedItems().first()));
    }

    void equalSpacing_data()
    {
        QTest::addColumn<QString>("macro");
        QTest::addColumn<QList<QPointF>>("spans"); // start and length on the axis
        QTest::addColumn<bool>("lastInGroup");
        QTest::addColumn<QList<double>>("expected"); // starts afterwards; none when nothing moves
        const QList<QPointF> example{{100, 20}, {0, 10}, {15, 10}};
        QTest::newRow("horizontal, gap 40") << "EqualHCross" << example << false << QList<double>{100, 0, 50};
        QTest::newRow("vertical, gap 40") << "EqualVCross" << example << false << QList<double>{100, 0, 50};
        QTest::newRow("overlap, gap -10")
            << "EqualHCross" << QList<QPointF>{{0, 30}, {5, 30}, {40, 30}} << false << QList<double>{0, 20, 40};
        QTest::newRow("two top-level and a member") << "EqualHCross" << example << true << QList<double>();
        QTest::newRow("two items") << "EqualVCross" << example.mid(1) << false << QList<double>();
    }

    void equalSpacing()
    {
        QFETCH(QString, macro);
        QFETCH(QList<QPointF>, spans);
        QFETCH(bool, lastInGroup);
        QFETCH(QList<double>, expected);
        const bool horizontal = macro == QLatin1String("EqualHCross");
        QList<GraphicsItem *> items;
        for (int i = 0; i < spans.size(); ++i) {
            const QPointF s = spans[i];
            items << add(horizontal ? QRectF(s.x(), 20 * i, s.y(), 10) : QRectF(20 * i, s.x(), 10, s.y()));
        }
        if (lastInGroup) {
            auto *group = new GroupItem;
            scene()->addItem(group);
            group->addToGroup(items.last());
            items.last()->setSelected(true);
        }
        const auto starts = [&] {
            QList<double> result;
            for (GraphicsItem *item : items)
                result << (horizontal ? rectOf(item).x() : rectOf(item).y());
            return result;
        };
        const QList<double> before = starts();
        QCOMPARE(run(macro), !expected.isEmpty());
        QCOMPARE(starts(), expected.isEmpty() ? before : expected);
        stack()->undo();
        QCOMPARE(starts(), before);
    }

    void withoutInputFocusNothingHappens()
    {
        const QList<QRectF> rects{{0, 0, 10, 10}, {30, 50, 20, 20}, {100, 5, 40, 10}};
        for (const QRectF &r : rects)
            add(r);
        m_view->clearFocus();
        QVERIFY(!scene()->hasFocus());
        for (const auto &operation : Operations)
            (scene()->*operation.second)();
        QCOMPARE(stack()->count(), 0);
        QList<QRectF> after;
        for (QGraphicsItem *item : scene()->items(Qt::AscendingOrder))
            after << rectOf(item);
        QCOMPARE(after, rects);
    }
};

QTEST_MAIN(TestAlignment)
#include "tst_alignment.moc"
