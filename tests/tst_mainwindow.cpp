// The main window: platform-dependent titles and file actions, the form, the enabling
// rules, tool choice, selection handling, the window menu and the recent-file list.
#include "app/plotwright.h"
#include "app/startup.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dialogs/propertydockwidget.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "librarychoice.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QDialog>
#include <QDockWidget>
#include <QGraphicsRectItem>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSpinBox>
#include <QToolBar>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

// A selectable stand-in for a drawing item; `groupType` makes it report the group type.
class TestItem : public QGraphicsRectItem
{
public:
    explicit TestItem(bool groupType = false)
        : QGraphicsRectItem(0, 0, 20, 20)
        , m_group(groupType)
    {
        setFlag(ItemIsSelectable);
    }
    int type() const override { return m_group ? ItemKind::Group : QGraphicsRectItem::type(); }

private:
    bool m_group;
};

// The enabled named actions of the window, sorted, except the tool actions (which sit in
// disabled bars).
QStringList enabledCommands(Plotwright &w)
{
    QList<QAction *> tools;
    for (const auto &t : Ui_PlotwrightClass::tools())
        tools << w.form().*t.action;
    QStringList names;
    for (QAction *a : w.findChildren<QAction *>()) {
        if (a->isEnabled() && !a->objectName().isEmpty() && !tools.contains(a))
            names << a->objectName();
    }
    names.sort();
    return names;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("mainwindow");
        CDataLink::Init();
    }

    // Most cases run on a substation, where no server form is shown.
    void init() { QVERIFY(TestSupport::writePlatform(1)); }

    void cleanup()
    {
        TestSupport::writePlatform(-1);
        CDataLink::GetDataLink()->online = false;
        QCOMPARE(TestSupport::missedModals(), 0);
    }

    // --- platform value

    void platformTitlesAndFileActions_data()
    {
        QTest::addColumn<int>("platform"); // -1: no config.ini
        QTest::addColumn<QString>("appTitle");
        QTest::addColumn<bool>("serverActions");
        QTest::newRow("missing config.ini") << -1 << "Plotwright(主站版)" << true;
        QTest::newRow("platform 0") << 0 << "Plotwright(主站版)" << true;
        QTest::newRow("platform 1") << 1 << "Plotwright(子站版)" << false;
        QTest::newRow("platform 2") << 2 << "Plotwright(单机版)" << false;
        QTest::newRow("platform 3") << 3 << "Plotwright" << false;
    }

    void platformTitlesAndFileActions()
    {
        QFETCH(int, platform);
        QFETCH(QString, appTitle);
        QFETCH(bool, serverActions);
        QVERIFY(TestSupport::writePlatform(platform));
        Plotwright w;
        QCOMPARE(CDataLink::platform(), platform < 0 ? 0 : platform);
        QCOMPARE(applicationTitle(), appTitle);
        QCOMPARE(w.windowTitle(), appTitle + QStringLiteral(" - Tessaro"));
        QCOMPARE(windowTitleText(appTitle, true), appTitle + QStringLiteral(" - Tessaro(当前离线)"));

        const auto &ui = w.form();
        QCOMPARE(ui.actionDIZ30->isVisible(), serverActions);
        QCOMPARE(ui.actionSaveDiz30->isVisible(), serverActions);
        QCOMPARE(ui.action_OpenGraph->isVisible(), !serverActions);
        QCOMPARE(ui.action_SaveAs->isVisible(), !serverActions);
        // Only the main-station platform asks for a server: a form would block here.
        if (platform > 0)
            QVERIFY(!connectAtStartup(&w));
        CDataLink::GetDataLink()->online = true;
        const QString online = windowTitleText(QStringLiteral("X%1"), true);
        QVERIFY2(online.startsWith(QStringLiteral("X%1 - Tessaro(当前在线;")) && online.endsWith(QLatin1Char(')')),
            qPrintable(online));
    }

    // A failed connection is tst_datalink's; here the form is cancelled.
    void startupConnection()
    {
        QVERIFY(TestSupport::writePlatform(0));
        Plotwright w;
        // Cancelled form: no connection attempt and no message, the title still shows the state.
        bool sawOtherModal = false;
        TestSupport::whenModal([&sawOtherModal](QWidget *form) {
            QCOMPARE(form->objectName(), QStringLiteral("DbServerForm"));
            static_cast<QDialog *>(form)->reject();
            TestSupport::whenModal(
                [&sawOtherModal](QWidget *other) {
                    sawOtherModal = true;
                    static_cast<QDialog *>(other)->reject();
                },
                200);
        });
        QVERIFY(connectAtStartup(&w));
        // A message would have been run modally inside the call and caught by the watcher.
        QVERIFY(!sawOtherModal);
        TestSupport::cancelPendingModals();

        // Opening from the server follows the online flag; saving there needs a document too.
        QVERIFY(!w.form().actionDIZ30->isEnabled());
        CDataLink::GetDataLink()->online = true;
        w.updateActions();
        QVERIFY(w.form().actionDIZ30->isEnabled());
        QVERIFY(!w.form().actionSaveDiz30->isEnabled());
        QVERIFY(TestSupport::newGraph(w));
        QVERIFY(w.form().actionSaveDiz30->isEnabled());
    }

    // --- the form

    // Every tool has its icon and (but the pointer) its cursor, and no two share a number.
    void toolTable()
    {
        Plotwright w;
        const auto &ui = w.form();
        QSet<int> numbers;
        for (const auto &t : Ui_PlotwrightClass::tools()) {
            QAction *a = ui.*t.action;
            numbers.insert(t.number);
            QVERIFY2(!a->icon().isNull(), t.objectName);
            QVERIFY2(a == ui.action_Void
                    || !QPixmap(QStringLiteral(":/Plotwright/Resources/cursor/%1.png").arg(QLatin1String(t.stem)))
                            .isNull(),
                t.stem);
        }
        QCOMPARE(numbers.size(), Ui_PlotwrightClass::tools().size());
        QVERIFY(ui.action_Void->isChecked());
        QCOMPARE(EditorState::currentTool(), int(ItemKind::Pointer));
    }

    void viewToggles()
    {
        Plotwright w;
        w.show();
        const auto &ui = w.form();
        ui.action_deviceBox->trigger();
        QVERIFY(!ui.deviceBox->isVisible());
        // The dock reports its visibility back to its action.
        ui.action_PropertyEditor->setChecked(true);
        QDockWidget *dock = w.findChild<QDockWidget *>();
        dock->hide();
        QVERIFY(!ui.action_PropertyEditor->isChecked());
    }

    // --- enabling rules

    void noDocumentEnabling()
    {
        Plotwright w;
        // File commands, managers, view toggles, About and Quit. Hidden actions count as
        // disabled; undo and redo have no stack to act on.
        QStringList expected{
            "action_About",
            "action_GraphicsManager",
            "action_GroupManager",
            "action_NewGraph",
            "action_NewTemplate",
            "action_OpenGraph",
            "action_OpenTemplate",
            "action_PropertyEditor",
            "action_PushGraphProperty",
            "action_Quit",
            "action_StatusBar",
            "action_SvgManager",
            "action_colorBox",
            "action_deviceBox",
            "action_graphicsBox",
            "action_mainToolBar",
        };
        expected.sort();
        const QStringList actual = enabledCommands(w);
        QVERIFY2(actual == expected, qPrintable(actual.join(',')));
        QVERIFY(!w.form().graphicsBox->isEnabled());
        QVERIFY(!w.form().deviceBox->isEnabled());
        QVERIFY(w.form().action_Void->isChecked());
        QVERIFY(!w.form().action_Separator->isVisible());
    }

    void documentAndSelectionEnabling()
    {
        Plotwright w;
        const auto &ui = w.form();
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        QVERIFY(ui.graphicsBox->isEnabled());
        QVERIFY(ui.action_SelectAll->isEnabled());
        QVERIFY(ui.action_ZoomIn->isEnabled());
        QVERIFY(ui.action_Separator->isVisible());
        QVERIFY(!ui.action_Copy->isEnabled());

        Scene *scene = view->documentScene();
        QList<TestItem *> items;
        for (int i = 0; i < 3; ++i) {
            items << new TestItem;
            items.last()->setPos(40 * i, 0);
            scene->addItem(items.last());
        }
        auto *group = new TestItem(true);
        scene->addItem(group);

        // The window follows a selection change when control returns to the event loop.
        items[0]->setSelected(true);
        QTRY_VERIFY(ui.action_Copy->isEnabled());
        QVERIFY(ui.action_LayerUpper->isEnabled());
        QVERIFY(!ui.action_AlignmentLeft->isEnabled());
        QVERIFY(!ui.action_DestroyGroup->isEnabled());
        QVERIFY(view->isWindowModified()); // selecting marks the document modified

        items[1]->setSelected(true);
        QTRY_VERIFY(ui.action_AlignmentLeft->isEnabled());
        QVERIFY(ui.action_EqualHeight->isEnabled());
        QVERIFY(!ui.action_EqualHCross->isEnabled());
        QVERIFY(!ui.action_LayerUpper->isEnabled());

        items[2]->setSelected(true);
        QTRY_VERIFY(ui.action_EqualHCross->isEnabled());
        QVERIFY(ui.action_EqualVCross->isEnabled());

        group->setSelected(true);
        QTRY_VERIFY(ui.action_DestroyGroup->isEnabled());

        ui.action_Deselect->trigger();
        QVERIFY(scene->selectedItems().isEmpty());
        QVERIFY(!ui.action_Copy->isEnabled());
        QVERIFY(!ui.action_DestroyGroup->isEnabled());

        ui.action_SelectAll->trigger();
        QCOMPARE(scene->selectedItems().size(), 4);

        // A saved, unmodified document may be exported; an edit (undo stack not clean) may not.
        view->setCurrentFile(QDir(TestSupport::projectFolder()).filePath(QStringLiteral("a.drw")));
        w.updateActions();
        QVERIFY(ui.action_svgFile->isEnabled());
        scene->undoStack()->push(new QUndoCommand(QStringLiteral("x")));
        QVERIFY(!ui.action_svgFile->isEnabled());
        scene->undoStack()->undo(); // clean again
        QVERIFY(ui.action_svgFile->isEnabled());
    }

    // A bulk edit changes the selection once per item; the dock must follow once per action.
    void bulkEditsRebuildTheDockOncePerAction()
    {
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        Scene *scene = view->documentScene();
        const QVector<ItemKind> &kinds = ItemKind::all();
        for (int i = 0; i < 2000; ++i) {
            GraphicsItem *item = ItemKind::create(kinds.at(i % kinds.size()).type);
            item->createFromPoints(
                nullptr, QPointF(i % 50 * 30, i / 50 * 20), QPointF(i % 50 * 30 + 20, i / 50 * 20 + 12), scene);
            scene->addItem(item);
        }
        QApplication::setActiveWindow(&w);
        view->setFocus();
        QVERIFY(QTest::qWaitFor([scene] { return scene->hasFocus(); }, 2000));
        const Ui::PlotwrightClass &ui = w.form();
        auto *dock = w.findChild<PropertyDockWidget *>();
        QAction *undo = w.findChild<QAction *>(QStringLiteral("action_Undo"));
        const auto rebuildsOf = [dock](const std::function<void()> &action) {
            const int before = dock->rebuildCount();
            action();
            QCoreApplication::processEvents();
            return dock->rebuildCount() - before;
        };
        // Each action with the number of top-level items it leaves.
        const struct
        {
            const char *name;
            std::function<void()> run;
            int topLevel;
        } actions[] = {
            {"select all", [&] { ui.action_SelectAll->trigger(); }, 2000},
            {"arrow key", [&] { QTest::keyClick(view->viewport(), Qt::Key_Right); }, 2000},
            {"group", [&] { ui.action_CreateGroup->trigger(); }, 1},
            {"select the group", [&] { ui.action_SelectAll->trigger(); }, 1},
            {"ungroup", [&] { ui.action_DestroyGroup->trigger(); }, 2000},
            {"undo ungroup", [&] { undo->trigger(); }, 1},
            {"undo group", [&] { undo->trigger(); }, 2000},
            {"delete", [&] { ui.action_Delete->trigger(); }, 0},
            {"undo delete", [&] { undo->trigger(); }, 2000},
            {"deselect", [&] { ui.action_Deselect->trigger(); }, 2000},
        };
        for (const auto &action : actions) {
            QVERIFY2(rebuildsOf(action.run) <= 2, action.name);
            QVERIFY2(scene->topLevelItemCount() == action.topLevel, action.name);
        }
        QCOMPARE(scene->undoStack()->count(), 2); // the arrow key and the delete
        QCOMPARE(dock->items().size(), 0);
    }

    // --- tools

    void choosingAToolSetsNumberAndCursorOnEveryView()
    {
        Plotwright w;
        const auto &ui = w.form();
        GraphicsView *first = TestSupport::newGraph(w);
        GraphicsView *second = TestSupport::newGraph(w);
        QVERIFY(first && second);
        QCOMPARE(ui.mdiArea->activeSubWindow()->widget(), second);

        ui.action_Switch->trigger();
        QCOMPARE(EditorState::currentTool(), ItemKind::Disconnector);
        for (GraphicsView *v : {first, second}) {
            QCOMPARE(v->viewport()->cursor().shape(), Qt::BitmapCursor);
            QCOMPARE(v->viewport()->cursor().pixmap().size(), QSize(32, 32));
        }
        // A right click in a view goes back to the pointer.
        emit first->rightClicked();
        QVERIFY(ui.action_Void->isChecked());
        QCOMPARE(EditorState::currentTool(), ItemKind::Pointer);
        QCOMPARE(second->viewport()->cursor().shape(), Qt::ArrowCursor);

        ui.action_Line->trigger();
        QCOMPARE(EditorState::currentTool(), ItemKind::Line);
        // Activating a document chooses the pointer again.
        ui.mdiArea->setActiveSubWindow(ui.mdiArea->subWindowList().first());
        QCOMPARE(EditorState::currentTool(), ItemKind::Pointer);

        // Tools outside the bars are not in the group: triggering one changes nothing.
        ui.action_YC->trigger();
        QCOMPARE(EditorState::currentTool(), ItemKind::Pointer);
    }

    // A line drawn with the window's tool takes its pen and both decorations from the defaults
    // (the window's undo action is the property dock test's).
    void drawingThroughTheWindow()
    {
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        EditorState::drawingDefaults().penWidth = 3;
        EditorState::drawingDefaults().lineHead = 0;
        EditorState::drawingDefaults().lineEnd = 1;
        w.form().action_Line->trigger();
        TestSupport::drag(*view, QPointF(200, 200), QPointF(300, 260));
        QCOMPARE(view->documentScene()->items().size(), 1);
        auto *line = dynamic_cast<GraphicsItem *>(view->documentScene()->items().first());
        QVERIFY(line);
        QCOMPARE(line->penWidth(), 3);
        QCOMPARE(line->propertyValue(QStringLiteral("起点")).toInt(), 0);
        QCOMPARE(line->propertyValue(QStringLiteral("终点")).toInt(), 1);
    }

    // --- several documents

    void switchingDocumentsFollowsUndoAndStatusBar()
    {
        Plotwright w;
        const auto &ui = w.form();
        GraphicsView *a = TestSupport::newGraph(w);
        QVERIFY(a);
        auto *item = new TestItem;
        a->documentScene()->addItem(item);
        item->setSelected(true);
        a->documentScene()->undoStack()->push(new QUndoCommand(QStringLiteral("在A中")));
        GraphicsView *b = TestSupport::newGraph(w);
        QVERIFY(b);
        QVERIFY(!item->isSelected());
        QAction *undo = ui.mainToolBar->actions().at(ui.mainToolBar->actions().size() - 2);
        QVERIFY(!undo->isEnabled());

        QLabel *pos = TestSupport::statusLabel(w, QStringLiteral("当前坐标"));
        QLabel *stat = TestSupport::statusLabel(w, QStringLiteral("画布大小"));
        QVERIFY(pos && stat);
        QCOMPARE(stat->text(), QStringLiteral("画布大小:1920×1080(100%),图元个数:0"));

        emit b->documentScene()->posChanged(QPointF(12.5, 7));
        QCOMPARE(pos->text(), QStringLiteral("当前坐标:x=12.5,y=7"));
        // A scene that is not the active one reports zeros.
        emit a->documentScene()->posChanged(QPointF(3, 4));
        QCOMPARE(pos->text(), QStringLiteral("当前坐标:x=0,y=0"));

        auto *parent = new TestItem;
        auto *child = new TestItem;
        child->setParentItem(parent);
        b->documentScene()->addItem(parent);
        b->zoomIn(10);
        QCOMPARE(stat->text(), QStringLiteral("画布大小:1920×1080(114%),图元个数:1"));

        // Undo and the statistics follow the active document; they clear when the last one closes.
        w.form().mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(a->parentWidget()));
        QVERIFY2(undo->text().endsWith(QStringLiteral("在A中")), qPrintable(undo->text()));
        QCOMPARE(stat->text(), QStringLiteral("画布大小:1920×1080(100%),图元个数:1"));
        a->setWindowModified(false); // the selection marked it; no close prompt wanted here
        b->documentScene()->undoStack()->clear();
        b->documentScene()->undoStack()->resetClean();
        w.form().mdiArea->closeAllSubWindows();
        QCOMPARE(stat->text(), QStringLiteral("画布大小:0×0(100%),图元个数:0"));
    }

    void windowMenuNumbersTenDocuments()
    {
        Plotwright w;
        QList<GraphicsView *> views;
        for (int i = 0; i < 10; ++i)
            views << TestSupport::newGraph(w);
        QVERIFY(!views.contains(nullptr));
        emit w.form().menu_windows->aboutToShow();
        QStringList entries;
        QAction *checked = nullptr;
        for (QAction *a : w.form().menu_windows->actions()) {
            if (a->isSeparator() || a->objectName().startsWith(QLatin1String("action_")))
                continue;
            entries << a->text();
            if (a->isChecked())
                checked = a;
        }
        QCOMPARE(entries.size(), 10);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(entries.at(i), QStringLiteral("&%1 %2").arg(i + 1).arg(views.at(i)->userFriendlyCurrentFile()));
        QCOMPARE(entries.at(9), QStringLiteral("10 %1").arg(views.at(9)->userFriendlyCurrentFile()));
        QVERIFY(checked);
        QCOMPARE(checked->text(), entries.at(9));

        // Choosing an entry activates that document.
        for (QAction *a : w.form().menu_windows->actions()) {
            if (a->text() == entries.at(2))
                a->trigger();
        }
        QCOMPARE(w.form().mdiArea->activeSubWindow()->widget(), views.at(2));
    }

    void newGraphCancelledCreatesNothing()
    {
        Plotwright w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        TestSupport::whenModal([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
        w.form().action_NewGraph->trigger();
        QVERIFY(w.form().mdiArea->subWindowList().isEmpty());

        // A template with its own default canvas and title.
        QString title;
        QSize shown;
        TestSupport::whenModal([&](QWidget *modal) {
            title = modal->windowTitle();
            shown = QSize(modal->findChild<QSpinBox *>(QStringLiteral("spinBox_Width"))->value(),
                modal->findChild<QSpinBox *>(QStringLiteral("spinBox_Height"))->value());
            static_cast<QDialog *>(modal)->accept();
        });
        w.form().action_NewTemplate->trigger();
        QCOMPARE(title, QStringLiteral("新建模板"));
        QCOMPARE(shown, QSize(400, 300));
        auto *view = qobject_cast<GraphicsView *>(w.form().mdiArea->activeSubWindow()->widget());
        QVERIFY(view);
        QCOMPARE(view->documentScene()->type(), 1);
        QCOMPARE(view->documentScene()->sceneRect(), QRectF(0, 0, 400, 300));
        QVERIFY(view->userFriendlyCurrentFile().startsWith(QStringLiteral("模板")));
    }

    void drawingPropertiesApplyHoweverClosed()
    {
        Plotwright w;
        QVERIFY(TestSupport::newGraph(w));
        EditorState::drawingDefaults().penWidth = 2;
        TestSupport::whenModal([](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("DlgPaintProperty"));
            auto *width = dialog->findChild<QSpinBox *>(QStringLiteral("spinBox"));
            QCOMPARE(width->value(), 2);
            width->setValue(7);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        w.form().action_PaintProperty->trigger();
        QCOMPARE(EditorState::drawingDefaults().penWidth, 7);

        // The push-window settings run modally and keep their own file.
        TestSupport::whenModal([](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("DlgPushGraphProperty"));
            static_cast<QDialog *>(dialog)->reject();
        });
        w.form().action_PushGraphProperty->trigger();
    }

    // --- recent files and messages

    void recentFiles()
    {
        QSettings().clear(); // the list is kept between runs
        auto w = std::make_unique<Plotwright>();
        emit w->form().menu_file->aboutToShow();
        QVERIFY(!w->form().menu_recentFiles->isEnabled());
        for (int i = 0; i < 11; ++i)
            w->addRecentFile(QStringLiteral("/g/%1.drw").arg(i));
        w->addRecentFile(QStringLiteral("/g/5.drw"));
        QStringList expected{"/g/5.drw", "/g/10.drw", "/g/9.drw", "/g/8.drw", "/g/7.drw", "/g/6.drw", "/g/4.drw",
            "/g/3.drw", "/g/2.drw", "/g/1.drw"};
        QCOMPARE(w->recentFiles(), expected);
        emit w->form().menu_file->aboutToShow();
        QVERIFY(w->form().menu_recentFiles->isEnabled());
        QCOMPARE(w->form().menu_recentFiles->actions().size(), 10);
        QCOMPARE(w->form().menu_recentFiles->actions().first()->text(), QStringLiteral("/g/5.drw"));

        // The list survives the window, under its own name.
        w.reset();
        QCOMPARE(QSettings().value(QStringLiteral("最近的文件")).toStringList(), expected);
        {
            Plotwright again;
            QCOMPARE(again.recentFiles(), expected);
        }

        // A list stored by earlier versions under the garbled name is taken over once.
        QSettings().clear();
        QSettings().setValue(QString::fromLatin1("最近的文件"), QStringList{"/g/old.drw"});
        {
            Plotwright upgraded;
            QCOMPARE(upgraded.recentFiles(), QStringList{"/g/old.drw"});
        }
        QVERIFY(!QSettings().contains(QString::fromLatin1("最近的文件")));
        QCOMPARE(QSettings().value(QStringLiteral("最近的文件")).toStringList(), QStringList{"/g/old.drw"});
    }

    void externalMessages()
    {
        Plotwright w;
        w.show();
        w.slotNewMessage(1, 0, 0);
        QVERIFY(w.isVisible());
        w.slotNewMessage(2024, 0, 0);
        QVERIFY(!w.isVisible());
    }

    // The tool table and the kind table agree: every kind has exactly one tool, which carries
    // the kind's number and name; the tools in the bars draw an item of their own kind.
    void everyKindHasItsTool()
    {
        QHash<int, int> tools;
        for (const auto &t : Ui_PlotwrightClass::tools()) {
            ++tools[t.number];
            QVERIFY2(
                ItemKind::find(t.number) || t.number == ItemKind::Pointer || t.number == ItemKind::Group, t.objectName);
        }
        for (const ItemKind &kind : ItemKind::all())
            QVERIFY2(tools.value(kind.type) == 1, kind.name);

        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        Scene *scene = view->documentScene();
        int drawn = 0;
        for (const auto &t : Ui_PlotwrightClass::tools()) {
            QAction *action = w.form().*t.action;
            QCOMPARE(action->data().toInt(), t.number);
            const ItemKind *kind = ItemKind::find(t.number);
            if (!kind)
                continue;
            QCOMPARE(action->text(), kind->displayName());
            // Library tools draw nothing from an empty library; tools off the bars are not chosen.
            if (t.bar == Ui_PlotwrightClass::Tool::None || LibraryChoice::hasLibrary(t.number))
                continue;
            action->trigger();
            QCOMPARE(EditorState::currentTool(), t.number);
            TestSupport::drag(*view, QPointF(100, 100), QPointF(180, 150));
            QCOMPARE(scene->items().size(), 1);
            QVERIFY2(scene->items().first()->type() == kind->type, t.objectName);
            scene->undoStack()->undo();
            QVERIFY(scene->items().isEmpty());
            ++drawn;
        }
        QVERIFY(drawn > 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
