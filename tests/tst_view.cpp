// The document view in a real main window: zoom, panning and the right click; and arranging the
// selection through the window's actions and context menu (z-order, lock, grouping, group export,
// alignment, equal size and spacing), each one undo step, and nothing at all without input focus.
#include "app/plotwright.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "grouptool.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScrollBar>
#include <QUndoStack>
#include <QtTest>
#include <memory>
#include <tuple>

namespace {

using Items = QList<QGraphicsItem *>;

// The alignment and spacing operations, by the text of the undo step each pushes.
const QPair<const char *, void (Scene::*)()> Alignments[] = {{"AlignmentLeft", &Scene::alignmentLeft},
    {"AlignmentRight", &Scene::alignmentRight}, {"AlignmentTop", &Scene::alignmentTop},
    {"AlignmentBottom", &Scene::alignmentBottom}, {"AlignmentHCenter", &Scene::alignmentHCenter},
    {"AlignmentVCenter", &Scene::alignmentVCenter}, {"EqualWidth", &Scene::equalWidth},
    {"EqualHeight", &Scene::equalHeight}, {"EqualHCross", &Scene::equalHCross}, {"EqualVCross", &Scene::equalVCross}};

QRectF rectOf(QGraphicsItem *item)
{
    return dynamic_cast<AbstractGraphicsUtility *>(item)->itemRect();
}

} // namespace

class TestView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Plotwright> m_window;
    GraphicsView *m_view = nullptr;
    Scene *scene() const { return m_view->documentScene(); }
    QUndoStack *stack() const { return scene()->undoStack(); }
    const Ui::PlotwrightClass &ui() const { return m_window->form(); }
    Items stacking() const { return Scene::noParentFilter(scene()->items(Qt::AscendingOrder)); } // bottom first
    GraphicsItem *add(const QRectF &rect, bool selected = false)
    {
        GraphicsItem *item = ItemSamples::create(ItemKind::Rectangle, rect);
        scene()->addItem(item);
        item->setSelected(selected);
        return item;
    }
    GraphicsItem *add(double x) { return add(QRectF(x, 100, 100, 100)); }
    GroupItem *group(const Items &members) { return ItemSamples::groupOf(*scene(), members); }
    // Gives the view the input as a click into it does. Grouping needs it, and on this platform
    // a closed menu may leave the window inactive.
    bool focusView()
    {
        QApplication::setActiveWindow(m_window.get());
        m_view->setFocus();
        return QTest::qWaitFor([this] { return scene()->hasFocus(); }, 2000);
    }
    void select(const Items &items)
    {
        scene()->clearSelection();
        for (QGraphicsItem *item : items)
            item->setSelected(true);
        if (!scene()->hasFocus())
            QVERIFY(focusView());
    }
    void chooseFromMenu(const QString &entry)
    {
        TestSupport::chooseFromContextMenu(
            *m_view, scene()->selectedItems().first()->sceneBoundingRect().center(), entry);
    }
    // Exports the selected group under `name`: the proposed name, then each message as
    // "title|text"; a question is answered with `overwrite`.
    QStringList exportAs(const QString &name, QMessageBox::StandardButton overwrite = QMessageBox::No)
    {
        return TestSupport::answerModals([this] { chooseFromMenu(QStringLiteral("导出...")); }, name, overwrite);
    }
    // Runs the alignment named by its undo text; true when it pushed exactly that one step.
    bool align(const QString &macro)
    {
        const int before = stack()->index();
        for (const auto &operation : Alignments) {
            if (macro == QLatin1String(operation.first))
                (scene()->*operation.second)();
        }
        return stack()->index() == before + 1 && stack()->text(before) == macro;
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, at, m_view->viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &event);
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolate("view");
        QVERIFY(TestSupport::writePlatform(1));
        CDataLink::Init();
        m_window = std::make_unique<Plotwright>();
        m_view = TestSupport::newGraph(*m_window);
        QVERIFY(m_view);
        m_window->form().mdiArea->activeSubWindow()->showMaximized();
        m_view->viewport()->setMouseTracking(true);
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    void init()
    {
        m_window->form().action_ZoomDefault->trigger();
        m_window->form().action_Void->trigger();
        stack()->clear();
        scene()->clear();
        QVERIFY(focusView());
    }

    // The zoom level sets the scale, replacing any earlier transformation, and the percent, with
    // one change signal (the status bar follows: tst_mainwindow, tst_grid). The larger turn of
    // the wheel decides; a zoom keeps the centre in place, and only the plain wheel scrolls.
    void wheel()
    {
        const struct
        {
            QPoint angle;
            Qt::KeyboardModifier modifier;
            int percent;
        } rows[] = {{{0, 120}, Qt::ControlModifier, 114}, {{0, -120}, Qt::ControlModifier, 87},
            {{120, 0}, Qt::ControlModifier, 114}, {{0, -120}, Qt::NoModifier, 100}};
        for (const auto &row : rows) {
            ui().action_ZoomDefault->trigger();
            m_view->centerOn(960, 540);
            const QPoint at = m_view->viewport()->rect().center();
            const QPointF before = m_view->mapToScene(at);
            QSignalSpy changed(m_view, &GraphicsView::changed);
            QWheelEvent event(at, m_view->viewport()->mapToGlobal(at), QPoint(), row.angle, Qt::NoButton, row.modifier,
                Qt::NoScrollPhase, false);
            QApplication::sendEvent(m_view->viewport(), &event);
            QCOMPARE((QList<int>{m_view->zoomPercent(), int(m_view->transform().m11() * 100), changed.count()}),
                (QList<int>{row.percent, row.percent, int(row.percent != 100)}));
            QCOMPARE((m_view->mapToScene(at) - before).manhattanLength() > 2, row.percent == 100);
        }
        m_view->scale(3, 3); // the zoom command replaces it
        ui().action_ZoomOut->trigger();
        QCOMPARE(int(m_view->transform().m11() * 100), 87);
    }

    // The middle button pans and blocks selection meanwhile.
    void mouseButtons()
    {
        m_view->documentScene()->addItem(ItemSamples::create(ItemKind::Rectangle, QRectF(600, 400, 100, 100)));
        m_view->centerOn(650, 450);
        const QPoint item = m_view->mapFromScene(QPointF(650, 450));
        const int h = m_view->horizontalScrollBar()->value();
        const int v = m_view->verticalScrollBar()->value();
        const QCursor before = m_view->viewport()->cursor();
        mouse(QEvent::MouseButtonPress, QPoint(200, 200), Qt::MiddleButton, Qt::MiddleButton);
        QCOMPARE(m_view->viewport()->cursor().shape(), Qt::OpenHandCursor);
        mouse(QEvent::MouseMove, QPoint(170, 180), Qt::NoButton, Qt::MiddleButton);
        QCOMPARE(m_view->horizontalScrollBar()->value(), h + 30);
        QCOMPARE(m_view->verticalScrollBar()->value(), v + 20);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, item - QPoint(30, 20));
        QVERIFY(m_view->documentScene()->selectedItems().isEmpty());
        mouse(QEvent::MouseButtonRelease, QPoint(170, 180), Qt::MiddleButton, Qt::NoButton);
        QCOMPARE(m_view->viewport()->cursor().shape(), before.shape());
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::NoModifier, item - QPoint(30, 20));
        QCOMPARE(m_view->documentScene()->selectedItems().size(), 1);

        // With a drawing tool the scene sees no moves; a right click returns to the pointer.
        QSignalSpy moves(m_view->documentScene(), &Scene::posChanged);
        ui().action_Rectangle->trigger();
        mouse(QEvent::MouseMove, QPoint(50, 60), Qt::NoButton, Qt::NoButton);
        QCOMPARE(moves.count(), 0);
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(50, 60));
        QVERIFY(ui().action_Void->isChecked() && EditorState::currentTool() == ItemKind::Pointer);
        mouse(QEvent::MouseMove, QPoint(50, 61), Qt::NoButton, Qt::NoButton);
        QCOMPARE(moves.count(), 1);
    }

    // Each restacking action moves its one selected item; with two selected nothing moves.
    void zOrderActsOnExactlyOneItem()
    {
        GraphicsItem *a = add(100), *b = add(120), *c = add(140);
        select({a, c});
        for (auto operation : {&Scene::bringToFront, &Scene::sendToBack, &Scene::layerUpper, &Scene::layerLower})
            (scene()->*operation)();
        QCOMPARE(stack()->count(), 0);
        const QList<std::tuple<QAction *, QGraphicsItem *, Items>> steps{{ui().action_LayerUpper, a, {b, a, c}},
            {ui().action_LayerLower, c, {b, c, a}}, {ui().action_SendToBack, c, {c, b, a}},
            {ui().action_BringToFront, c, {b, a, c}}};
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [&] {
            for (const auto &step : steps) {
                select({std::get<1>(step)});
                std::get<0>(step)->trigger();
                QCOMPARE(stacking(), std::get<2>(step));
            }
        }));
        QCOMPARE(stack()->count(), 4);
    }

    void lockSetsEverySelectedItem()
    {
        GraphicsItem *a = add(100), *b = add(300), *member = add(500);
        GroupItem *holder = group({member});
        a->setLock(true);
        select({a, b, member});
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [this] { chooseFromMenu(QStringLiteral("锁定")); }));
        QCOMPARE(stack()->count(), 1);
        QVERIFY(a->islocked() && b->islocked() && member->islocked() && !holder->islocked());
    }

    // Grouping keeps the members' order (the places and the undo: tst_scene's random edits).
    void groupingThroughActionAndMenu()
    {
        GraphicsItem *a = add(100), *b = add(300), *c = add(500), *single = add(700);
        select({c, a, b});
        ui().action_CreateGroup->trigger();
        QGraphicsItem *grouped = a->parentItem();
        select({single});
        chooseFromMenu(QStringLiteral("组合"));
        QVERIFY(grouped && single->parentItem() && single->parentItem()->childItems() == Items{single});
        // A group and a plain item: only the group is dissolved.
        select({grouped, single});
        ui().action_DestroyGroup->trigger();
        QVERIFY(!grouped->scene() && !a->parentItem() && single->parentItem());
        stack()->undo();
        QCOMPARE(grouped->childItems(), (Items{a, b, c}));
    }

    void exportedGroupIsListedAndDrawnAgain()
    {
        GraphicsItem *a = add(100), *b = add(300);
        ItemSamples::changeEveryProperty(b);
        b->setRect(QRectF(0, 0, 100, 100));
        b->setPos(160, 50); // the two together: (100, 50) to (260, 200)
        QGraphicsItem *exported = group({a, b});
        select({exported});
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const QStringList first = exportAs(QStringLiteral("feeder"));
        QCOMPARE(first.value(1), QStringLiteral("提示|图元组导出成功!"));
        const qint64 proposed = first[0].mid(3).toLongLong() - before; // the name proposed: the time
        QVERIFY2(first[0].startsWith(QStringLiteral("图元组")) && proposed >= 0 && proposed <= 1, qPrintable(first[0]));
        const QString file = GroupTool::dir() + QStringLiteral("feeder.grp");
        const QByteArray written = TestSupport::readFile(file);
        QByteArray version;
        QDataStream header(&version, QIODevice::WriteOnly);
        header << QStringLiteral("13.0");
        QVERIFY(written.startsWith(version));
        std::unique_ptr<GroupItem> back(GroupItem::load(file));
        QVERIFY(back && back->childItems().size() == 2);
        QCOMPARE(ItemSamples::propertySnapshot(back->childItems()[1]), ItemSamples::propertySnapshot(b));

        // An existing name: No writes nothing, Yes replaces the file; failures say why.
        b->setLock(!b->islocked());
        const QString question = applicationTitle() + QStringLiteral("|图元组 feeder 已经存在，是否覆盖?");
        QCOMPARE(exportAs(QStringLiteral("feeder")).mid(1), QStringList{question});
        QCOMPARE(TestSupport::readFile(file), written);
        QCOMPARE(exportAs(QStringLiteral("feeder"), QMessageBox::Yes).mid(1),
            (QStringList{question, QStringLiteral("提示|图元组导出成功!")}));
        QVERIFY(TestSupport::readFile(file) != written);
        QVERIFY(QDir().mkpath(GroupTool::dir() + QStringLiteral("busy.grp")));
        QVERIFY(exportAs(QStringLiteral("busy"), QMessageBox::Yes)
                    .value(2)
                    .startsWith(applicationTitle() + QStringLiteral("|无法导出 busy:\n")));
        QCOMPARE(exportAs(QStringLiteral("../feeder")).value(1),
            applicationTitle() + QStringLiteral("|无法导出 ../feeder:\n名称不能为空，也不能含有 / 或 \\!"));
        QVERIFY(!QFile::exists(GroupTool::dir() + QStringLiteral("../feeder.grp")));

        // The group manager shows its picture; the group tool draws it scaled into a drag.
        QVERIFY(!GroupTool().findChild<QListWidget *>()->item(0)->icon().isNull());
        ui().action_Group->trigger();
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, {}, m_view->mapFromScene(QPointF(400, 400)));
        QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, m_view->mapFromScene(QPointF(720, 550)));
        auto *drawn = dynamic_cast<GroupItem *>(stacking().last());
        QVERIFY(drawn && drawn != exported && drawn->childItems().size() == 2);
        QCOMPARE(drawn->itemRect(), QRectF(400, 400, 320, 150));
        QCOMPARE(rectOf(drawn->childItems()[1]).translated(drawn->pos()), QRectF(520, 400, 200, 100));
    }

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

    // The item with the focus leads, not the first of the selection list; a selected group
    // member stays as it is. With the focus on an unselected item the first selected leads.
    void lineUp()
    {
        QFETCH(QString, macro);
        QFETCH(QRectF, aLedByB);
        QFETCH(QRectF, bLedByA);
        GraphicsItem *a = add(QRectF(10, 10, 30, 40), true);
        GraphicsItem *b = add(QRectF(50, 50, 10, 20), true);
        GraphicsItem *member = add(QRectF(200, 200, 50, 60));
        group({member});
        member->setSelected(true);
        const auto rects = [&] { return QList<QRectF>{rectOf(a), rectOf(b), rectOf(member)}; };
        const auto ledBy = [&](QGraphicsItem *leader) {
            return QList<QRectF>{leader == b ? aLedByB : QRectF(10, 10, 30, 40),
                leader == a ? bLedByA : QRectF(50, 50, 10, 20), QRectF(200, 200, 50, 60)};
        };
        GraphicsItem *focus = scene()->selectedItems().first() == a ? b : a;
        focus->setFocus();
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [&] { QVERIFY(align(macro)); }));
        QCOMPARE(rects(), ledBy(focus));
        stack()->undo();
        member->setSelected(false);
        add(QRectF(300, 300, 5, 5))->setFocus();
        QVERIFY(align(macro));
        QCOMPARE(rects(), ledBy(scene()->selectedItems().first()));
    }

    void equalSpacing_data()
    {
        QTest::addColumn<QString>("macro");
        QTest::addColumn<bool>("lastInGroup");
        QTest::newRow("horizontal") << "EqualHCross" << false;
        QTest::newRow("vertical") << "EqualVCross" << false;
        QTest::newRow("two top-level items and a member") << "EqualHCross" << true;
    }

    // Starts 100, 0 and 15, lengths 20, 10 and 10 on the axis: the first item stays, the others
    // follow with a gap of 40. Two top-level items and a group member are too few to move.
    void equalSpacing()
    {
        QFETCH(QString, macro);
        QFETCH(bool, lastInGroup);
        const bool horizontal = macro == QLatin1String("EqualHCross");
        const QList<QPointF> spans{{100, 20}, {0, 10}, {15, 10}};
        QList<GraphicsItem *> items;
        for (int i = 0; i < spans.size(); ++i) {
            const QPointF s = spans[i];
            items << add(horizontal ? QRectF(s.x(), 20 * i, s.y(), 10) : QRectF(20 * i, s.x(), 10, s.y()), true);
        }
        if (lastInGroup) {
            group({items.last()});
            items.last()->setSelected(true);
        }
        QVERIFY(ItemSamples::undoRedoRestores(*stack(), *scene(), [&] { QCOMPARE(align(macro), !lastInGroup); }));
        QList<double> starts;
        for (GraphicsItem *item : items)
            starts << (horizontal ? rectOf(item).x() : rectOf(item).y());
        QCOMPARE(starts, (QList<double>{100, 0, lastInGroup ? 15.0 : 50.0}));
    }

    void withoutInputFocusNothingHappens()
    {
        GroupItem *grouped = group({add(QRectF(0, 0, 10, 10))});
        add(QRectF(30, 50, 20, 20), true);
        add(QRectF(100, 5, 40, 10), true);
        grouped->setSelected(true);
        m_view->clearFocus();
        QTRY_VERIFY(!scene()->hasFocus());
        const QList<QVariantList> before = ItemSamples::describe(*scene());
        scene()->createGroup();
        scene()->destroyGroup();
        for (const auto &operation : Alignments)
            (scene()->*operation.second)();
        QCOMPARE(stack()->count(), 0);
        QCOMPARE(ItemSamples::describe(*scene()), before);
    }
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
