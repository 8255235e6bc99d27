// Z-order, lock, grouping and group export through the main window's actions and the
// scene's context menu, and the exported group drawn again with the group tool.
#include "app/plotwright.h"
#include "apptexts.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "grouptool.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QUndoStack>
#include <QtTest>
#include <memory>

using Items = QList<QGraphicsItem *>;

class TestGrouping : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Plotwright> m_window;
    GraphicsView *m_view = nullptr;
    Scene *scene() const { return m_view->documentScene(); }
    QUndoStack *stack() const { return scene()->undoStack(); }
    const Ui::PlotwrightClass &ui() const { return m_window->form(); }
    Items stacking() const { return Scene::noParentFilter(scene()->items(Qt::AscendingOrder)); } // bottom first
    GraphicsItem *add(double x)
    {
        GraphicsItem *item = ItemSamples::create(ItemKind::Rectangle, QRectF(x, 100, 100, 100));
        scene()->addItem(item);
        return item;
    }
    // Gives the view the input as a click into it does. Grouping needs it, and on this platform
    // a closed menu may leave the window inactive.
    bool focusView()
    {
        QApplication::setActiveWindow(m_window.get());
        m_view->setFocus();
        return QTest::qWaitFor([this] { return scene()->hasFocus(); }, 2000);
    }
    void select(const Items &items, bool focused = true)
    {
        scene()->clearSelection();
        for (QGraphicsItem *item : items)
            item->setSelected(true);
        if (focused && !scene()->hasFocus())
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
        QStringList seen;
        TestSupport::whenModals(
            [&](QWidget *modal) {
                if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                    seen << input->textValue();
                    input->setTextValue(name);
                    input->accept();
                } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                    seen << box->windowTitle() + '|' + box->text();
                    box->button(box->button(overwrite) ? overwrite : QMessageBox::Ok)->click();
                }
            },
            1000);
        chooseFromMenu(QStringLiteral("导出..."));
        TestSupport::cancelPendingModals();
        return seen;
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolate("grouping");
        m_window = std::make_unique<Plotwright>();
        m_view = TestSupport::newGraph(*m_window);
        QVERIFY(m_view);
    }

    void init()
    {
        stack()->clear();
        scene()->clear();
        QVERIFY(focusView());
    }

    void zOrderActsOnExactlyOneItem()
    {
        GraphicsItem *a = add(100), *b = add(120), *c = add(140);
        select({a, c});
        for (auto operation : {&Scene::bringToFront, &Scene::sendToBack, &Scene::layerUpper, &Scene::layerLower})
            (scene()->*operation)();
        QCOMPARE(stack()->count(), 0);
        select({a});
        ui().action_LayerUpper->trigger();
        QCOMPARE(stacking(), (Items{b, a, c}));
        select({c});
        ui().action_LayerLower->trigger();
        QCOMPARE(stacking(), (Items{b, c, a}));
        scene()->sendToBack();
        QCOMPARE(stacking(), (Items{c, b, a}));
        for (int i = 0; i < 3; ++i)
            stack()->undo();
        QCOMPARE(stacking(), (Items{a, b, c}));
    }

    void lockSetsEverySelectedItem()
    {
        GraphicsItem *a = add(100), *b = add(300), *member = add(500);
        auto *group = new GroupItem;
        scene()->addItem(group);
        group->addToGroup(member);
        a->setLock(true);
        select({a, b, member});
        chooseFromMenu(QStringLiteral("锁定"));
        QCOMPARE(stack()->text(0), QStringLiteral("setLock"));
        QCOMPARE(stack()->command(0)->childCount(), 3);
        QVERIFY(a->islocked() && b->islocked() && member->islocked() && !group->islocked());
        stack()->undo();
        QVERIFY(a->islocked() && !b->islocked() && !member->islocked());
        stack()->redo();

        // Locked items are grouped, restacked and ungrouped like the others.
        select({b, a});
        ui().action_CreateGroup->trigger();
        QGraphicsItem *locked = a->parentItem();
        QVERIFY(locked && locked->type() == ItemKind::Group);
        QCOMPARE(locked->childItems(), (Items{a, b}));
        select({locked});
        scene()->sendToBack();
        QCOMPARE(stacking().first(), locked);
        ui().action_DestroyGroup->trigger();
        QVERIFY(!a->parentItem() && !b->parentItem() && a->isSelected() && b->isSelected());
    }

    void groupingThroughMenuAndFocus()
    {
        // The members' order and places, and the undo, are the stacking steps' (tst_scene).
        GraphicsItem *a = add(100), *b = add(300), *c = add(500), *single = add(700);
        select({c, a, b});
        ui().action_CreateGroup->trigger();
        QGraphicsItem *group = a->parentItem();
        QVERIFY(group);
        select({single});
        chooseFromMenu(QStringLiteral("组合"));
        QVERIFY(single->parentItem());
        QCOMPARE(single->parentItem()->childItems(), Items{single});

        // Without input focus nothing is grouped or ungrouped.
        m_view->clearFocus();
        QTRY_VERIFY(!scene()->hasFocus());
        const int steps = stack()->count();
        select({a, single->parentItem()}, false);
        scene()->destroyGroup();
        scene()->createGroup();
        QCOMPARE(stack()->count(), steps);
        QVERIFY(focusView());

        // A group and a plain item: only the group is dissolved.
        select({group, single});
        ui().action_DestroyGroup->trigger();
        QVERIFY(!group->scene() && !a->parentItem() && single->parentItem());
        stack()->undo();
        QCOMPARE(group->childItems(), (Items{a, b, c}));
    }

    void exportedGroupIsListedAndDrawnAgain()
    {
        GraphicsItem *a = add(100), *b = add(300);
        ItemSamples::changeEveryProperty(b);
        b->setRect(QRectF(0, 0, 100, 100));
        b->setPos(160, 50); // the two together: (100, 50) to (260, 200)
        select({a, b});
        ui().action_CreateGroup->trigger();
        QGraphicsItem *group = a->parentItem();
        select({group});
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const QStringList first = exportAs(QStringLiteral("feeder"));
        QCOMPARE(first.value(1), QStringLiteral("提示|图元组导出成功!"));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^图元组\\d{10}$")).match(first[0]).hasMatch(), qPrintable(first[0]));
        QVERIFY(first[0].mid(3).toLongLong() >= before && first[0].mid(3).toLongLong() <= before + 1);
        QFile file(GroupTool::dir() + QStringLiteral("feeder.grp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString version;
        QDataStream stream(&file);
        stream >> version;
        QCOMPARE(version, QStringLiteral("13.0"));
        const QByteArray written = file.readAll();
        file.close();
        std::unique_ptr<GroupItem> back(GroupItem::load(file.fileName()));
        QVERIFY(back && back->childItems().size() == 2);
        QCOMPARE(ItemSamples::propertySnapshot(back->childItems()[1]), ItemSamples::propertySnapshot(b));

        // An existing name: No writes nothing, Yes replaces the file; failures say why.
        b->setLock(!b->islocked());
        const QString question = applicationTitle() + QStringLiteral("|图元组 feeder 已经存在，是否覆盖?");
        QCOMPARE(exportAs(QStringLiteral("feeder")).mid(1), QStringList{question});
        QVERIFY(TestSupport::readFile(file.fileName()).endsWith(written));
        QCOMPARE(exportAs(QStringLiteral("feeder"), QMessageBox::Yes).mid(1),
            (QStringList{question, QStringLiteral("提示|图元组导出成功!")}));
        QVERIFY(!TestSupport::readFile(file.fileName()).endsWith(written));
        QVERIFY(QDir().mkpath(GroupTool::dir() + QStringLiteral("busy.grp")));
        QVERIFY(exportAs(QStringLiteral("busy"), QMessageBox::Yes)
                    .value(2)
                    .startsWith(applicationTitle() + QStringLiteral("|无法导出 busy:\n")));
        QVERIFY(exportAs(QStringLiteral("../feeder")).value(1).contains(QStringLiteral("无法导出")));
        QVERIFY(!QFile::exists(GroupTool::dir() + QStringLiteral("../feeder.grp")));

        // The group manager lists it at once; the group tool draws it scaled into a drag.
        TestSupport::whenModal([](QWidget *modal) {
            auto *manager = qobject_cast<GroupTool *>(modal);
            QVERIFY(manager && manager->entries() == QStringList{"feeder.grp"});
            QVERIFY(!manager->findChild<QListWidget *>()->item(0)->icon().isNull());
            manager->reject();
        });
        ui().action_GroupManager->trigger();
        QCOMPARE(TestSupport::missedModals(), 0);
        ui().action_Group->trigger();
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, {}, m_view->mapFromScene(QPointF(400, 400)));
        QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, m_view->mapFromScene(QPointF(720, 550)));
        auto *drawn = dynamic_cast<GroupItem *>(stacking().last());
        QVERIFY(drawn && drawn != group && drawn->childItems().size() == 2);
        QCOMPARE(drawn->itemRect(), QRectF(400, 400, 320, 150));
        QCOMPARE(dynamic_cast<GraphicsItem *>(drawn->childItems()[1])->itemRect().translated(drawn->pos()),
            QRectF(520, 400, 200, 100));
    }
};

QTEST_MAIN(TestGrouping)
#include "tst_grouping.moc"
