// The main window: platform-dependent titles and file actions, the tool table, the enabling
// rules, tool choice, several documents, recent files, the about box and the binding check.
#include "app/plotwright.h"
#include "app/startup.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dialogs/aboutdlg.h"
#include "dialogs/pointcheckdock.h"
#include "dialogs/propertydockwidget.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "librarychoice.h"
#include "scene/commands.h"
#include "scene/editorstate.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

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

// The texts of an about box's three lines from the bottom up, a hidden one as "-".
QStringList aboutLines(AboutDlg *box)
{
    QList<QLabel *> labels = box->findChildren<QLabel *>();
    std::sort(labels.begin(), labels.end(), [](QLabel *a, QLabel *b) { return a->y() > b->y(); });
    QStringList texts;
    for (QLabel *label : labels)
        texts << (label->isHidden() ? QStringLiteral("-") : label->text());
    return texts;
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
        const auto &ui = w.form();
        QCOMPARE((QList<bool>{ui.actionDIZ30->isVisible(), ui.actionSaveDiz30->isVisible(),
                     !ui.action_OpenGraph->isVisible(), !ui.action_SaveAs->isVisible()}),
            QVector<bool>(4, serverActions).toList());
        // Only the main-station platform asks for a server: a form would block here. The title's
        // online and offline endings are tst_datalink's.
        if (platform > 0)
            QVERIFY(!connectAtStartup(&w));
    }

    // A failed connection is tst_datalink's; here the form is cancelled: no connection
    // attempt and no message.
    void startupConnection()
    {
        QVERIFY(TestSupport::writePlatform(0));
        Plotwright w;
        QStringList modals;
        TestSupport::whenModals([&modals](QWidget *modal) {
            modals << modal->objectName();
            static_cast<QDialog *>(modal)->reject();
        });
        QVERIFY(connectAtStartup(&w));
        TestSupport::cancelPendingModals();
        QCOMPARE(modals, QStringList{"DbServerForm"});

        // Opening from the server follows the online flag; saving there needs a document too.
        QVERIFY(!w.form().actionDIZ30->isEnabled());
        CDataLink::GetDataLink()->online = true;
        w.updateActions();
        QVERIFY(w.form().actionDIZ30->isEnabled() && !w.form().actionSaveDiz30->isEnabled());
        QVERIFY(TestSupport::newGraph(w));
        QVERIFY(w.form().actionSaveDiz30->isEnabled());
    }

    // Without a document: file commands, managers, view toggles, About and Quit. Hidden actions
    // count as disabled; undo and redo have no stack to act on.
    void noDocumentEnabling()
    {
        Plotwright w;
        QStringList expected{"action_About", "action_GraphicsManager", "action_GroupManager", "action_ImportPoints",
            "action_NewFromTemplate", "action_NewGraph", "action_NewTemplate", "action_OpenGraph",
            "action_OpenTemplate", "action_PropertyEditor", "action_PushGraphProperty", "action_Quit",
            "action_StatusBar", "action_SvgManager", "action_colorBox", "action_deviceBox", "action_graphicsBox",
            "action_mainToolBar", "action_monitorBox"};
        QCOMPARE(enabledCommands(w), expected);
        const auto &ui = w.form();
        QVERIFY(!ui.graphicsBox->isEnabled() && !ui.deviceBox->isEnabled() && !ui.monitorBox->isEnabled());
        // The "绘图" menu holds the same actions: disabled too.
        QVERIFY(std::none_of(ui.toolActions.begin(), ui.toolActions.end(), std::mem_fn(&QAction::isEnabled)));
        QVERIFY(w.form().action_Void->isChecked() && !w.form().action_Separator->isVisible());
    }

    void documentAndSelectionEnabling()
    {
        Plotwright w;
        const auto &ui = w.form();
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        QVERIFY(ui.graphicsBox->isEnabled() && ui.action_ZoomIn->isEnabled() && ui.action_Separator->isVisible());
        Scene *scene = view->documentScene();
        QList<QGraphicsItem *> items;
        for (int i = 0; i < 3; ++i)
            items << ItemSamples::create(ItemKind::Rectangle, QRectF(40 * i, 0, 20, 20));
        auto *group = new GroupItem;
        group->addToGroup(ItemSamples::create(ItemKind::Rectangle, QRectF(200, 0, 20, 20)));
        items << group;
        for (QGraphicsItem *item : items)
            scene->addItem(item);
        const auto enabled = [&ui] {
            QString flags;
            for (QAction *a : {ui.action_Copy, ui.action_LayerUpper, ui.action_AlignmentLeft, ui.action_EqualHCross,
                     ui.action_DestroyGroup})
                flags += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
            return flags;
        };
        // A saved, unmodified document may be exported; an edit (undo stack not clean) may not.
        view->setCurrentFile(QDir(TestSupport::projectFolder()).filePath(QStringLiteral("a.drw")));
        w.updateActions();
        // The number of items selected (the fourth is a group) and which of these actions that
        // enables; the window follows when control returns to the event loop. Selecting changes
        // nothing of the document.
        const char *rows[] = {"00000", "11000", "10100", "10110", "10111"};
        for (int selected = 0; selected < 5; ++selected) {
            for (int i = 0; i < 4; ++i)
                items[i]->setSelected(i < selected);
            QTRY_COMPARE(enabled(), QString::fromLatin1(rows[selected]));
            QVERIFY(!view->isWindowModified() && ui.action_svgFile->isEnabled());
        }
        scene->undoStack()->push(new QUndoCommand(QStringLiteral("x")));
        QVERIFY(!ui.action_svgFile->isEnabled());
        scene->undoStack()->undo(); // clean again
        QVERIFY(ui.action_svgFile->isEnabled());
    }

    // A bulk edit changes the selection once per item; the dock must follow once per action.
    void choosingAToolSetsNumberAndCursorOnEveryView()
    {
        Plotwright w;
        const auto &ui = w.form();
        GraphicsView *first = TestSupport::newGraph(w);
        GraphicsView *second = TestSupport::newGraph(w);
        QVERIFY(first && second);
        ui.action_Switch->trigger();
        QVERIFY(first->viewport()->cursor().shape() == Qt::BitmapCursor
            && second->viewport()->cursor().shape() == Qt::BitmapCursor);
        // A right click in a view goes back to the pointer (driven through the view: tst_view).
        emit first->rightClicked();
        QCOMPARE(second->viewport()->cursor().shape(), Qt::ArrowCursor);

        ui.action_Line->trigger();
        // Activating a document chooses the pointer again.
        ui.mdiArea->setActiveSubWindow(ui.mdiArea->subWindowList().first());
        QCOMPARE(EditorState::currentTool(), ItemKind::Pointer);

        // The measurement text is a tool like the others: it stays checked while chosen.
        ui.action_TextYc->trigger();
        QVERIFY(ui.action_TextYc->isChecked() && !ui.action_Line->isChecked());
        QCOMPARE(EditorState::currentTool(), ItemKind::TextValue);
    }

    void switchingDocumentsFollowsUndoAndStatusBar()
    {
        Plotwright w;
        GraphicsView *a = TestSupport::newGraph(w);
        QVERIFY(a);
        QGraphicsItem *item = ItemSamples::create(ItemKind::Rectangle, QRectF(0, 0, 20, 20));
        a->documentScene()->addItem(item);
        item->setSelected(true);
        a->documentScene()->undoStack()->push(new QUndoCommand(QStringLiteral("在A中")));
        GraphicsView *b = TestSupport::newGraph(w);
        QVERIFY(b);
        QVERIFY(!item->isSelected());
        QAction *undo = w.findChild<QAction *>(QStringLiteral("action_Undo"));
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
        // Only top-level items count.
        auto *group = new GroupItem;
        group->addToGroup(ItemSamples::create(ItemKind::Rectangle, QRectF(0, 0, 20, 20)));
        b->documentScene()->addItem(group);
        b->zoomIn(10);
        QCOMPARE(stat->text(), QStringLiteral("画布大小:1920×1080(114%),图元个数:1"));

        // Undo and the statistics follow the active document; they clear when the last one closes.
        w.form().mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(a->parentWidget()));
        QVERIFY2(undo->text().endsWith(QStringLiteral("在A中")), qPrintable(undo->text()));
        QCOMPARE(stat->text(), QStringLiteral("画布大小:1920×1080(100%),图元个数:1"));
        a->setWindowModified(false); // its step marked it; no close prompt wanted here
        w.form().mdiArea->closeAllSubWindows();
        QCOMPARE(stat->text(), QStringLiteral("画布大小:0×0(100%),图元个数:0"));
    }

    void newGraphCancelledAndNewTemplate()
    {
        Plotwright w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        TestSupport::whenModal([](QWidget *modal) { static_cast<QDialog *>(modal)->reject(); });
        w.form().action_NewGraph->trigger();
        QVERIFY(w.form().mdiArea->subWindowList().isEmpty());

        // A template with its own default canvas and title.
        QString shown;
        TestSupport::whenModal([&shown](QWidget *modal) {
            shown = QStringLiteral("%1 %2x%3")
                        .arg(modal->windowTitle())
                        .arg(TestSupport::child<QSpinBox>(modal, "spinBox_Width")->value())
                        .arg(TestSupport::child<QSpinBox>(modal, "spinBox_Height")->value());
            static_cast<QDialog *>(modal)->accept();
        });
        w.form().action_NewTemplate->trigger();
        QCOMPARE(shown, QStringLiteral("新建模板 400x300"));
        auto *view = qobject_cast<GraphicsView *>(w.form().mdiArea->activeSubWindow()->widget());
        QVERIFY(view);
        QCOMPARE(view->documentScene()->sceneRect(), QRectF(0, 0, 400, 300)); // its name and type: tst_document
    }

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
        QCOMPARE(w->form().menu_recentFiles->actions().value(9)->text(), expected[9]); // its entry: tst_document

        // The list survives the window, under its own name.
        w.reset();
        QCOMPARE(QSettings().value(QStringLiteral("最近的文件")).toStringList(), expected);
        QCOMPARE(Plotwright().recentFiles(), expected);

        // A list stored by earlier versions under the garbled name is taken over once.
        QSettings().clear();
        QSettings().setValue(QString::fromLatin1("最近的文件"), QStringList{"/g/old.drw"});
        QCOMPARE(Plotwright().recentFiles(), QStringList{"/g/old.drw"});
        QVERIFY(!QSettings().contains(QString::fromLatin1("最近的文件")));
        QCOMPARE(QSettings().value(QStringLiteral("最近的文件")).toStringList(), QStringList{"/g/old.drw"});
    }

    // The start-up progress window's two lines, and the about box (its logo: tst_platform).
    void aboutBoxAndProgressWindow()
    {
        Plotwright w;
        QVERIFY(w.findChildren<AboutDlg *>().isEmpty()); // the progress window is gone
        AboutDlg progress(1, nullptr);
        // A second message on line 0 replaces the first, any other line number is line 1.
        progress.showMessage(QStringLiteral("初始化环境参数 ..."), 0);
        progress.showMessage(QStringLiteral("读取调色板文件 ..."), 0);
        progress.showMessage(QStringLiteral("第二行"), 7);
        QCOMPARE(aboutLines(&progress), (QStringList{"读取调色板文件 ...", "第二行", "-"}));

        w.form().action_About->trigger();
        AboutDlg *box = w.findChild<AboutDlg *>();
        QVERIFY(box && box->isVisible() && !box->isModal() && box->windowFlags().testFlag(Qt::Popup));
        const QStringList lines = aboutLines(box);
        QCOMPARE(lines.value(0) + '|' + lines.value(2), QStringLiteral(" Tessaro|") + applicationTitle());
    }

    // "点号检查": a row per bound id, group members' too, and one per item of a kind that
    // carries a point but has none; the state filter, the CSV of the rows shown, a double-click
    // that selects and centres, the replacement on the selected rows' items, and the list
    // following the records and the undo stack.
    void pointCheck()
    {
        CDataLink::GetDataLink()->setPoints({{"1001", "Ia", "A相", "1#出线"}, {"2001", "Ib", "B相", "2#出线"}});
        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        Scene *scene = view->documentScene();
        QList<GraphicsItem *> items;
        for (const QString &spec :
            QStringList{"YC,0,1001,", "开关,0,9,1001", "YC,0,,", "矩形,0,,", "YC,1,9,", "YC,0,2001,"}) {
            const QStringList f = spec.split(',');
            items << ItemSamples::create(f[0] == "开关" ? ItemKind::Breaker
                    : f[0] == "YC"                      ? ItemKind::AnalogValue
                                                        : ItemKind::Rectangle,
                {items.size() * 100.0, 600, 60, 40});
            items.last()->setPropertyValue(PropertyIds::Name, QString("i%1").arg(items.size()));
            items.last()->setSvgID(f[2]);
            items.last()->setYkID(f[3]);
            f[1] == "1" ? ItemSamples::groupOf(*scene, {items.last()})->setPos(900, 0) : scene->addItem(items.last());
        }
        w.form().action_CheckPoints->trigger();
        auto *dock = w.findChild<PointCheckDock *>();
        const auto rows = [dock] {
            QStringList shown;
            for (int i = 0; i < dock->list()->topLevelItemCount(); ++i) {
                QTreeWidgetItem *row = dock->list()->topLevelItem(i);
                QStringList fields;
                for (int c = 0; c < row->columnCount(); ++c)
                    fields << row->text(c);
                if (!row->isHidden())
                    shown << fields.join(',');
            }
            return shown;
        };
        QCOMPARE(rows(),
            QStringList({"i1,模拟量,关联,1001,1#出线,Ia,正常", "i2,开关,关联,9,,,点号不存在",
                "i2,开关,遥控,1001,1#出线,Ia,正常", "i3,模拟量,关联,,,,未绑定", "i5,模拟量,关联,9,,,点号不存在",
                "i6,模拟量,关联,2001,2#出线,Ib,正常"}));

        dock->stateFilter()->setCurrentText("点号不存在");
        const QString csv = TestSupport::projectFolder() + "/check.csv";
        TestSupport::answerFileRequest(csv);
        dock->findChild<QPushButton *>("pushButton_Export")->click();
        QCOMPARE(TestSupport::readFile(csv),
            "\xEF\xBB\xBF名称,类型,绑定,点号,设备名,变量名,状态\r\ni2,开关,关联,9,,,点号不存在\r\ni5,模拟量,关联,9,,,"
            "点号不存在\r\n");

        const auto memberInSight = [&] {
            return view->viewport()->rect().contains(view->mapFromScene(items[4]->sceneBoundingRect().center()));
        };
        view->centerOn(0, 0);
        QVERIFY(!memberInSight());
        // A widget's double-click event comes after the press and release of the first click.
        const QPoint member = dock->list()->visualItemRect(dock->list()->topLevelItem(4)).center();
        QTest::mouseClick(dock->list()->viewport(), Qt::LeftButton, Qt::NoModifier, member);
        QTest::mouseDClick(dock->list()->viewport(), Qt::LeftButton, Qt::NoModifier, member);
        QCOMPARE(scene->selectedItems(), QList<QGraphicsItem *>{items[4]});
        QVERIFY(memberInSight());

        // Only the chosen rows' items reach the replacement: one device, not the other.
        dock->stateFilter()->setCurrentIndex(0);
        dock->list()->clearSelection();
        for (int row : {0, 2})
            dock->list()->topLevelItem(row)->setSelected(true);
        QStringList devices;
        TestSupport::whenModal([&](QWidget *dialog) {
            auto *combo = dialog->findChild<QComboBox *>("comboBox");
            for (int i = 0; i < combo->count(); ++i)
                devices << combo->itemText(i);
            static_cast<QDialog *>(dialog)->reject();
        });
        dock->findChild<QPushButton *>("pushButton_Rebind")->click();
        QCOMPARE(devices, QStringList{"1#出线"});

        dock->stateFilter()->setCurrentText("未绑定");
        scene->undoStack()->push(new CommandSetProperty(items[2], PropertyIds::PointBinding, "2001", nullptr));
        QTRY_COMPARE(rows(), QStringList());
        dock->stateFilter()->setCurrentText("点号不存在");
        CDataLink::GetDataLink()->setPoints(CDataLink::GetDataLink()->idList + QList<CIdInfo>{{"9", "P", "", "3#"}});
        QTRY_COMPARE(rows(), QStringList());
    }

    // The tool table and the kind table agree: every kind has exactly one tool, which carries
    // the kind's number and name; every tool has its icon and (but the pointer) its cursor, sits
    // in one bar and in the "绘图" menu, and draws an item of its own kind, undoably.
    void everyKindHasItsTool()
    {
        QHash<int, int> tools;
        for (const auto &t : Ui_PlotwrightClass::tools()) {
            ++tools[t.number];
            QVERIFY2(
                ItemKind::find(t.number) || t.number == ItemKind::Pointer || t.number == ItemKind::Group, t.objectName);
            QVERIFY2(t.number == ItemKind::Pointer
                    || !QPixmap(QStringLiteral(":/Plotwright/Resources/cursor/%1.png").arg(QLatin1String(t.stem)))
                            .isNull(),
                t.stem);
        }
        QCOMPARE(tools.values().count(1), tools.size());
        for (const ItemKind &kind : ItemKind::all())
            QVERIFY2(tools.contains(kind.type), kind.name);

        Plotwright w;
        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        Scene *scene = view->documentScene();
        int drawn = 0;
        for (const auto &t : Ui_PlotwrightClass::tools()) {
            QAction *action = w.form().*t.action;
            QCOMPARE(action->data().toInt(), t.number);
            QVERIFY2(!action->icon().isNull(), t.objectName);
            const ItemKind *kind = ItemKind::find(t.number);
            if (!kind)
                continue;
            QCOMPARE(action->text(), kind->displayName());
            const QWidgetList at = action->associatedWidgets(); // the bar, its button, the menu
            QVERIFY2(qobject_cast<QToolBar *>(at.value(0)) && at.last()->parent() == w.form().menu_draw, t.objectName);
            // Library tools draw nothing from an empty library.
            if (LibraryChoice::hasLibrary(t.number))
                continue;
            action->trigger();
            QCOMPARE(EditorState::currentTool(), t.number);
            TestSupport::drag(*view, QPointF(100, 100), QPointF(180, 150));
            QVERIFY2(scene->items().size() == 1 && scene->items().first()->type() == kind->type, t.objectName);
            scene->undoStack()->undo();
            QVERIFY2(scene->items().isEmpty(), t.objectName);
            ++drawn;
        }
        QVERIFY(drawn > 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
