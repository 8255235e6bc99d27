// The document window: untitled names, opening (failure messages, the main window's routes),
// saving in place and as, the versioned backup, the close prompts, the SVG export, and copy,
// cut and paste through the Edit actions within a document and between two.
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "app/plotwright.h"
#include "apptexts.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QUndoStack>
#include <QtTest>
#include <memory>

namespace {

using ItemSamples::describe;
using ItemSamples::documentBytes;
using TestSupport::answerBox;
using TestSupport::answerFileRequest;
using TestSupport::readFile;
using TestSupport::writeFile;

// Several kinds of item with every property changed.
void fill(AbstractGraphicsScene *scene, int count)
{
    const int types[] = {ItemKind::Breaker, ItemKind::Disconnector, ItemKind::Line, ItemKind::PlainText,
        ItemKind::Rectangle, ItemKind::MainTransformer, ItemKind::AnalogValue, ItemKind::Bar, ItemKind::Button};
    for (int i = 0; i < count; ++i) {
        GraphicsItem *item = ItemSamples::create(types[i % 9], QRectF(10 + 50 * (i % 30), 20 + 90 * (i / 30), 40, 80));
        ItemSamples::changeEveryProperty(item);
        item->setSvgID(QStringLiteral("YX%1").arg(i));
        scene->addItem(item);
    }
}

// What the view tells of its document (title with name and version, whether it needs a save)
// and the steps left to undo.
QString state(GraphicsView &view)
{
    return view.windowTitle() + (view.isUntitledOrModified() ? " unsaved" : " saved")
        + QStringLiteral(" undo %1").arg(view.documentScene()->undoStack()->count());
}

// The backup folder's files with their bytes.
QMap<QString, QByteArray> backups()
{
    QMap<QString, QByteArray> files;
    const QDir dir(GraphicsView::backupDir());
    for (const QString &name : dir.entryList(QDir::Files))
        files.insert(name, readFile(dir.filePath(name)));
    return files;
}

GraphicsView *activeView(Plotwright &w)
{
    QMdiSubWindow *sub = w.form().mdiArea->activeSubWindow();
    return sub ? qobject_cast<GraphicsView *>(sub->widget()) : nullptr;
}

// Rectangles of the top-level items, bottom first.
QList<QRectF> topLevelRects(Scene *scene)
{
    QList<QRectF> rects;
    for (QGraphicsItem *item : Scene::noParentFilter(scene->items(Qt::AscendingOrder)))
        rects << dynamic_cast<AbstractGraphicsUtility *>(item)->itemRect();
    return rects;
}

// Items and undo steps of the scene.
QString counts(Scene *scene)
{
    return QStringLiteral("%1 items, %2 steps").arg(scene->items().size()).arg(scene->undoStack()->count());
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_base + QLatin1Char('/') + name; }

    // A named graph on disk, written by a view and left open in it; a failed save fails the test.
    std::unique_ptr<GraphicsView> savedGraph(const QString &name, int items, int type = 0)
    {
        auto view = std::make_unique<GraphicsView>();
        view->newFile(type);
        fill(view->documentScene(), items);
        if (!view->saveFile(path(name), false))
            QTest::qFail(qPrintable("cannot save " + name), __FILE__, __LINE__);
        return view;
    }

    // A main window of two new graphs, the first active and empty, and an empty clipboard.
    void twoGraphs()
    {
        if (!m_window) {
            m_window = std::make_unique<Plotwright>();
            m_first = TestSupport::newGraph(*m_window);
            m_second = TestSupport::newGraph(*m_window);
        }
        QGuiApplication::clipboard()->clear();
        activate(m_first);
        m_first->documentScene()->clear();
        m_first->documentScene()->undoStack()->clear();
    }
    const Ui_PlotwrightClass &ui() const { return m_window->form(); }
    void activate(GraphicsView *view)
    {
        ui().mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(view->parent()));
    }
    GraphicsItem *add(GraphicsView *view, const QRectF &rect)
    {
        GraphicsItem *item = ItemSamples::create(ItemKind::Rectangle, rect);
        view->documentScene()->addItem(item);
        return item;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestSupport::startLocalFileTests("document"));
        QVERIFY(m_dir.isValid());
        m_base = QFileInfo(m_dir.path()).canonicalFilePath();
    }

    void cleanupTestCase()
    {
        m_window.reset();
        TestSupport::writePlatform(-1);
        QDir(GraphicsView::backupDir()).removeRecursively();
    }

    void init()
    {
        QDir(GraphicsView::backupDir()).removeRecursively();
        // The main window keeps its recent files in the settings store between runs.
        QSettings().clear();
    }

    void cleanup()
    {
        TestSupport::cancelPendingModals();
        QCOMPARE(TestSupport::missedModals(), 0);
    }

    // First, so that the counters are where the program starts them. Templates count on their
    // own; a closed window does not give its number back; an unknown type numbers nothing.
    void untitledNamesAndCounters()
    {
        QStringList names;
        for (const QVector<int> &types : QVector<QVector<int>>{{0}, {0}, {1}, {0}, {1, 7}, {0}}) {
            GraphicsView view;
            view.newFile(types.first());
            names << view.currentFile() + QStringLiteral(" %1").arg(view.documentScene()->type());
            for (const int type : types.mid(1)) {
                view.newFile(type);
                names << view.currentFile();
            }
        }
        QCOMPARE(names,
            (QStringList{"画面1.drw 0", "画面2.drw 0", "模板1.tpl 1", "画面3.drw 0", "模板2.tpl 1", "模板2.tpl",
                "画面4.drw 0"}));
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<QString>("message"); // empty: the system's reason
        AbstractGraphicsScene graph;
        fill(&graph, 4);
        QByteArray damaged = documentBytes(graph);
        damaged[damaged.size() / 2] = char(damaged.at(damaged.size() / 2) ^ 0x5a);
        AbstractGraphicsScene tpl;
        tpl.setType(1);
        QTest::newRow("template opened as graph") << "t.drw" << documentBytes(tpl) << "警告|打开的文件格式错误!";
        QTest::newRow("damaged") << "damaged.drw" << damaged << "警告|文件已损坏!";
        QTest::newRow("missing") << "missing.drw" << QByteArray() << QString();
    }

    void openFailures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString file = path(fileName);
        QFile::remove(file);
        QVERIFY(bytes.isEmpty() || writeFile(file, bytes));
        if (message.isEmpty()) {
            QFile probe(file);
            QVERIFY(!probe.open(QIODevice::ReadOnly));
            message = applicationTitle() + "|无法打开文件 " + file + ":\n" + probe.errorString() + '!';
        }
        Plotwright w;
        QString seen;
        answerBox(&seen);
        w.openFile(0, file);
        QCOMPARE(seen, message);
        QVERIFY(w.form().mdiArea->subWindowList().isEmpty() && w.recentFiles().isEmpty());
    }

    // The open dialog, the handover (by suffix, capitals included), another spelling of a
    // path (kept canonical; an open file's only activates its window) and the recent files.
    void openingRoutes()
    {
        savedGraph("a.drw", 5);
        auto tpl = savedGraph("T.TPL", 1, 1);
        auto recent = savedGraph("recent.tpl", 1, 1);
        QVERIFY(QDir().mkpath(path("sub")));
        const QString detour = path("./sub/../a.drw");
        Plotwright w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Windows, then the active one's document type and file.
        const auto opened = [&w] {
            GraphicsView *view = activeView(w);
            return QStringLiteral("%1 %2 %3")
                .arg(w.form().mdiArea->subWindowList().size())
                .arg(view ? view->documentScene()->type() : -1)
                .arg(view ? view->currentFile() : QString());
        };
        TestSupport::FileRequest request;
        answerFileRequest(detour, &request);
        w.form().action_OpenGraph->trigger();
        QCOMPARE(request.caption + '|' + request.filter, QStringLiteral("选择文件|画面文件(*.drw)"));
        QCOMPARE(opened(), "1 0 " + path("a.drw"));
        QCOMPARE(w.recentFiles(), QStringList{path("a.drw")});
        w.slotParam(tpl->currentFile().toLocal8Bit());
        QCOMPARE(opened(), "2 1 " + tpl->currentFile());
        w.openFile(0, detour);
        QCOMPARE(opened(), "2 0 " + path("a.drw"));
        w.addRecentFile(recent->currentFile());
        emit w.form().menu_file->aboutToShow();
        w.form().menu_recentFiles->actions().first()->trigger();
        QCOMPARE(opened(), "3 1 " + recent->currentFile());
    }

    // An untitled graph or template saved through the file dialog: the chosen file, with the
    // kind's suffix added, holds the document's bytes, nothing of a temporary file is left, the
    // history stays, the editor hears of the save and reopening gives the same.
    void saveAndReload()
    {
        for (const int type : {0, 1}) {
            GraphicsView view;
            view.newFile(type);
            Scene *scene = view.documentScene();
            fill(scene, 18);
            scene->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
            view.setWindowModified(true);
            QSignalSpy saved(&view, &GraphicsView::fileSaved);
            const QString name = type ? QStringLiteral("roundtrip.tpl") : QStringLiteral("roundtrip.drw");
            // Proposed in the kind's folder (by save as for a template), filtered for the kind.
            const QString proposed
                = (type ? AbstractGraphicsUtility::templateDir() + view.currentFile() + "|模板文件(*.tpl)"
                        : AbstractGraphicsUtility::graphDir() + view.currentFile() + "|画面文件(*.drw)");
            TestSupport::FileRequest dialog;
            // Typed without its suffix.
            answerFileRequest(path(QStringLiteral("roundtrip")), &dialog);
            QVERIFY(type ? view.saveAs() : view.save());
            QCOMPARE(dialog.directory + '|' + dialog.filter + ' ' + QString::number(saved.size()), proposed + " 1");
            const QString named = path(name) + ' ' + name + " (Version 13) [*] saved undo ";
            QCOMPARE(view.currentFile() + ' ' + state(view), named + '1');
            QCOMPARE(readFile(path(name)), documentBytes(*scene));
            GraphicsView reopened;
            QVERIFY(reopened.loadFile(type, path(name)));
            QCOMPARE(reopened.currentFile() + ' ' + state(reopened), named + '0');
            QCOMPARE(describe(*reopened.documentScene()), describe(*scene));
        }
        QCOMPARE(QDir(m_base).entryList({QStringLiteral("roundtrip*")}, QDir::Files | QDir::Hidden),
            (QStringList{"roundtrip.drw", "roundtrip.tpl"}));
    }

    // A save in place of an older version first keeps the file's bytes in the backup folder,
    // over an older backup of the same name. A save as leaves the old file and the backups
    // alone. A backup that cannot be made is reported and the save goes on. A failed save, part
    // way or at a folder that cannot be opened for writing by any user, leaves the document as
    // it was (the old version, so the next save still backs up; the file: tst_filewriters).
    void savesInPlaceBackUpAndFailuresKeepTheDocument()
    {
        const QString file = path("old.drw");
        const QString backup = QStringLiteral("old.drw.Version12.bak");
        AbstractGraphicsScene older;
        fill(&older, 6);
        const QByteArray v12 = documentBytes(older, 12);
        // A folder where the backup should go can be neither removed as a file nor copied over.
        QVERIFY(writeFile(file, v12) && QDir().mkpath(GraphicsView::backupDir() + backup));
        GraphicsView copy;
        QVERIFY(copy.loadFile(0, file));
        answerFileRequest(path("old-as.drw"));
        QVERIFY(copy.saveAs());
        QCOMPARE(readFile(file), v12);
        QCOMPARE(backups(), (QMap<QString, QByteArray>{}));
        GraphicsView view;
        QVERIFY(view.loadFile(0, file));
        QCOMPARE(state(view), QStringLiteral("old.drw (Version 12) [*] saved undo 0"));
        // Version 12 has no fonts: what was read is what must come back.
        const QList<QVariantList> asRead = describe(*view.documentScene());
        view.documentScene()->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
        const QString unsaved = view.currentFile() + ' ' + state(view);
        {
            TestSupport::FailingWrites full;
            QCOMPARE(TestSupport::answerModals([&view] { QVERIFY(!view.save()); }, QString()),
                (QStringList{applicationTitle() + QStringLiteral("|文件 %1 备份失败!").arg(file),
                    QStringLiteral("警告|文件操作错误!")}));
        }
        const QString folder = path("folder.drw");
        QVERIFY(QDir().mkpath(folder));
        const QStringList refused
            = TestSupport::answerModals([&] { QVERIFY(!view.saveFile(folder, false)); }, QString());
        const QString prefix = applicationTitle() + QStringLiteral("|无法写入文件 ") + folder + QStringLiteral(":\n");
        QVERIFY2(refused.size() == 1 && refused[0].startsWith(prefix) && refused[0].endsWith('!')
                && refused[0].size() > prefix.size() + 1,
            qPrintable(refused.join('\n')));
        QCOMPARE(view.currentFile() + ' ' + state(view), unsaved);
        QVERIFY(QDir(GraphicsView::backupDir() + backup).removeRecursively()
            && writeFile(GraphicsView::backupDir() + backup, "an older backup"));
        QVERIFY(view.save());
        QCOMPARE(backups(), (QMap<QString, QByteArray>{{backup, v12}}));
        // The save keeps the edit in the history.
        QCOMPARE(state(view), QStringLiteral("old.drw (Version 13) [*] saved undo 1"));
        GraphicsView reopened;
        QVERIFY(reopened.loadFile(0, file));
        QCOMPARE(state(reopened), QStringLiteral("old.drw (Version 13) [*] saved undo 0"));
        QCOMPARE(describe(*reopened.documentScene()), asRead);
        QVERIFY(writeFile(GraphicsView::backupDir() + backup, "kept"));
        QVERIFY(reopened.save());
        QCOMPARE(backups(), (QMap<QString, QByteArray>{{backup, "kept"}}));
    }

    // What the file dialog proposes when the user cancels it, through save or save as.
    void proposedNames()
    {
        const auto cancelled = [](GraphicsView &view, bool saveAs) {
            TestSupport::FileRequest dialog;
            answerFileRequest(QString(), &dialog);
            const bool saved = saveAs ? view.saveAs() : view.save();
            return saved ? QStringLiteral("saved") : dialog.caption + '|' + dialog.directory + '|' + dialog.filter;
        };
        const QString graphDir = AbstractGraphicsUtility::graphDir();
        // Untitled graph: the graph folder in front, once, however often the dialog is cancelled.
        GraphicsView graph;
        graph.newFile(0);
        const QString graphName = graph.currentFile();
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(cancelled(graph, false), "另存为|" + graphDir + graphName + "|画面文件(*.drw)");
            QCOMPARE(graph.currentFile(), graphDir + graphName);
            QVERIFY(graph.isUntitledOrModified());
        }
        // A local copy of a server graph loses its marker segment; other names are proposed
        // as they are, the marker counting only at the start of a name.
        auto server = savedGraph("DIZ.x123.a.drw", 1);
        auto plain = savedGraph("xDIZ.y1.b.drw", 1);
        QVERIFY(cancelled(*server, true).startsWith("另存为|" + path("a.drw") + '|'));
        QVERIFY(cancelled(*plain, true).startsWith("另存为|" + path("xDIZ.y1.b.drw") + '|'));
    }

    // A modified document asks, offering exactly Save, Discard and Cancel; Discard closes it. A
    // clean one, Cancel and Save: the editor's close, below.
    void closePrompt()
    {
        QPointer<GraphicsView> view = new GraphicsView;
        view->newFile(0);
        view->show();
        view->setWindowModified(true);
        QString seen;
        QMessageBox::StandardButtons buttons;
        answerBox(&seen, QMessageBox::Discard, [&buttons] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                buttons = box->standardButtons();
        });
        QVERIFY(view->close());
        QCOMPARE(seen, applicationTitle() + QStringLiteral("|'%1' 已被修改!\n是否保存?").arg(view->currentFile()));
        QCOMPARE(buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QTRY_VERIFY_WITH_TIMEOUT(view.isNull(), 2000);
    }

    // Closing the editor closes the clean documents without a question and asks for each
    // modified one; Cancel keeps that one and the editor open, Save writes it and closes.
    void closingTheEditorAsksEachModifiedDocument()
    {
        auto first = savedGraph("c1.drw", 1);
        auto second = savedGraph("c2.drw", 1);
        Plotwright w;
        w.show();
        w.openFile(0, first->currentFile());
        w.openFile(0, second->currentFile());
        GraphicsView *modified = activeView(w);
        add(modified, QRectF(0, 0, 30, 30));
        modified->setWindowModified(true);
        QString seen;
        answerBox(&seen, QMessageBox::Cancel);
        QVERIFY(!w.close());
        QCOMPARE(seen, applicationTitle() + QStringLiteral("|'c2.drw' 已被修改!\n是否保存?"));
        QCOMPARE(w.form().mdiArea->subWindowList().size(), 1);
        QCOMPARE(activeView(w), modified);
        answerBox(&seen, QMessageBox::Save);
        QVERIFY(w.close());
        GraphicsView reopened;
        QVERIFY(reopened.loadFile(0, second->currentFile()));
        QCOMPARE(reopened.documentScene()->items().size(), 2);
    }

    // Only the history away from the saved state marks a document (a selection does not:
    // tst_mainwindow). A save keeps it: undoing marks the document again, in the maximised
    // window's title too, and takes the export away; redoing to the saved state gives both back.
    // A change outside the history (the canvas) stays marked whatever is undone.
    void modifiedFollowsTheHistory()
    {
        twoGraphs();
        add(m_first, QRectF(10, 10, 20, 20))->setSelected(true);
        m_first->documentScene()->remove();
        QVERIFY(m_first->saveFile(path("history.drw"), false));
        m_first->parentWidget()->showMaximized();
        TestSupport::whenModal([](QWidget *modal) { static_cast<QDialog *>(modal)->accept(); });
        // Document and main window modified, export enabled, items.
        QStringList marks;
        for (const char *name :
            {"", "action_Undo", "action_Redo", "action_EnvironmentSettings", "action_Undo", "action_Redo"}) {
            if (*name)
                m_window->findChild<QAction *>(QLatin1String(name))->trigger();
            const int shown = m_first->isWindowModified() * 1000 + m_window->isWindowModified() * 100
                + ui().action_svgFile->isEnabled() * 10 + m_first->documentScene()->items().size();
            marks << QStringLiteral("%1").arg(shown, 4, 10, QLatin1Char('0'));
        }
        QCOMPARE(marks, (QStringList{"0010", "1101", "0010", "1100", "1101", "1100"}));
        activate(m_second);
        QVERIFY(!m_window->isWindowModified());
        m_first->parentWidget()->showNormal();
    }

    // A new graph from a template holds a copy of its items, canvas and background, untitled,
    // unmodified and without history.
    void newGraphFromTemplate()
    {
        auto tpl = savedGraph("bay.tpl", 7, 1);
        Scene *source = tpl->documentScene();
        source->setSceneRect(0, 0, 640, 200);
        source->setBackgroundColor(QColor(0, 40, 80));
        QVERIFY(tpl->save());
        twoGraphs();
        answerFileRequest(tpl->currentFile());
        ui().action_NewFromTemplate->trigger();
        GraphicsView *view = activeView(*m_window);
        Scene *copy = view->documentScene();
        QCOMPARE(describe(*copy), describe(*source));
        QCOMPARE(QStringLiteral("%1 %2").arg(copy->type()).arg(copy->backgroundColor().name()), "0 #002850");
        QCOMPARE(state(*view), view->currentFile() + " (Version 13) [*] unsaved undo 0");
        QVERIFY(copy->sceneRect() == source->sceneRect() && !view->isWindowModified());
    }

    // --- SVG export

    // The export writes the saved document (its item and background, not a later edit) under
    // the attributes, title and description, with the current background colour in the
    // attributes. A background picture is referenced once, by its name beside the file, and the
    // drawing then paints no background colour; a picture that is not there is not referenced.
    void exportOfTheSavedDocument_data()
    {
        QTest::addColumn<QColor>("saved");
        QTest::addColumn<QColor>("current");
        QTest::addColumn<QString>("picture"); // the background picture's file, made when "back.png"
        const QColor picked(0x0a, 0x0b, 0x0c);
        QTest::newRow("changed after the save") << QColor(255, 128, 0) << QColor(0x12, 0x34, 0x56) << QString();
        QTest::newRow("background picture") << picked << picked << "back.png";
        QTest::newRow("background picture not there") << picked << picked << "gone.png";
    }

    void exportOfTheSavedDocument()
    {
        QFETCH(QColor, saved);
        QFETCH(QColor, current);
        QFETCH(QString, picture);
        const bool shown = picture == QLatin1String("back.png");
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(QColor(0x31, 0x41, 0x59));
        QVERIFY(!shown || image.save(path(picture)));
        GraphicsView view;
        view.newFile(0);
        view.documentScene()->setSceneRect(0, 0, 640.4, 480.6);
        view.documentScene()->setBackgroundColor(saved);
        if (!picture.isEmpty())
            view.documentScene()->setBackgroundPixmap(path(picture));
        // Rectangles of their own pen colours, to be found in the SVG.
        view.documentScene()->addItem(ItemSamples::outlined(ItemKind::Rectangle, {100, 50}, 0xfedcba).release());
        QVERIFY(view.saveFile(path("colours.v2.drw"), false));
        // Neither this edit nor the picture is saved; the colour counts from now on.
        view.documentScene()->addItem(ItemSamples::outlined(ItemKind::Rectangle, {100, 50}, 0xabcdef).release());
        view.documentScene()->setBackgroundColor(current);

        const QString target = path(QStringLiteral("exp.%1.svg").arg(QTest::currentDataTag()));
        QFile::remove(target);
        TestSupport::FileRequest dialog;
        QString seen;
        answerFileRequest(target, &dialog, [&seen] { answerBox(&seen); });
        view.exportSvg();
        QCOMPARE(dialog.caption + '|' + dialog.directory + '|' + dialog.filter,
            "导出为svg文件|" + AbstractGraphicsUtility::svgDir() + "colours.v2.svg|svg文件 (*.svg)");
        QCOMPARE(seen, QStringLiteral("提示|导出成功!"));

        const TestSupport::Svg svg(readFile(target));
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        const QString now = current.name();
        QStringList attributes;
        for (const char *name : {"style", "vcl-default", "toolversion", "width", "height"})
            attributes << svg.attribute("svg", name);
        QCOMPARE(attributes,
            (QStringList{"background-color:" + now + ';',
                QStringLiteral("{'1.txt':{'e':'#00ffff','w':'#00ff00','0':'#c0c0c0','1':'%1'}}").arg(now), "13.1",
                "640", "481"}));
        QCOMPARE(svg.texts("title") + svg.texts("desc"), (QStringList{"exp", "exp"}));
        // Inserted right before the profile, closed by a blank.
        const QString text = QString::fromUtf8(readFile(target));
        QVERIFY(text.contains(QStringLiteral("toolversion=\"13.1\" baseProfile=")));
        const QString body = text.mid(text.indexOf(QLatin1String("</desc>")));
        QVERIFY(body.contains(QLatin1String("#fedcba")) && !body.contains(QLatin1String("#abcdef")));
        QCOMPARE(body.contains(QStringLiteral("fill=\"%1\"").arg(saved.name())), !shown);
        QVERIFY(saved == current || !body.contains(now));
        QCOMPARE(text.count(QLatin1String("<image")), shown ? 1 : 0);
        QVERIFY(!shown || text.contains(QStringLiteral("xlink:href=\"back.png\"")));
    }

    // Untitled (nothing on disk to read): only the red failure text. A file damaged on disk
    // after the save: nothing is written.
    void exportFailures()
    {
        GraphicsView untitled;
        untitled.newFile(0);
        const QString target = path("never.svg");
        answerFileRequest(target);
        QCOMPARE(TestSupport::answerModals([&untitled] { untitled.exportSvg(); }, QString()),
            QStringList{applicationTitle() + QStringLiteral("|<font color=\"red\">导出svg文件失败,请重试!</font>")});
        QVERIFY(!QFileInfo::exists(target));

        auto damaged = savedGraph("broken.drw", 2);
        QVERIFY(writeFile(path("broken.drw"), readFile(path("broken.drw")).chopped(1)));
        QVERIFY(!damaged->writeSvg(target) && !QFileInfo::exists(target));
    }

    // --- copy and paste

    void pastesCascadeOrLandAtThePosition()
    {
        twoGraphs();
        Scene *scene = m_first->documentScene();
        const QList<QRectF> copied{QRectF(100, 50, 40, 30), QRectF(150, 80, 20, 20)};
        for (const QRectF &rect : copied)
            add(m_first, rect)->setSelected(true);
        ui().action_Copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->formats(), QStringList{QStringLiteral("SCENE")});

        // Without a position (and at exactly (0, 0)) each paste goes 10 further right; at a
        // position, the pasted set's top-left lands there and later pastes go on from it.
        // Copying with nothing selected neither replaces the clipboard nor resets the cascade.
        const QList<QPair<QPointF, QPointF>> steps{
            {{0, 0}, {10, 0}}, {{0, 0}, {20, 0}}, {{0, 0}, {30, 0}}, {{300, 300}, {200, 250}}, {{0, 0}, {210, 250}}};
        for (const auto &step : steps) {
            scene->items().first()->setSelected(true);
            if (step.first.isNull())
                ui().action_Paste->trigger();
            else
                scene->paste(step.first);
            QVERIFY(scene->selectedItems().isEmpty());
            QCOMPARE(topLevelRects(scene).mid(scene->items().size() - 2),
                (QList<QRectF>{copied[0].translated(step.second), copied[1].translated(step.second)}));
            ui().action_Copy->trigger();
        }
        // (Each paste's undo and redo: tst_scene's random edits.)
        QCOMPARE(counts(scene) + ", " + scene->undoStack()->text(4), QStringLiteral("12 items, 5 steps, paste"));
        // A copy that copies something starts the cascade again.
        add(m_first, QRectF(0, 0, 10, 10))->setSelected(true);
        ui().action_Copy->trigger();
        ui().action_Paste->trigger();
        QCOMPARE(topLevelRects(scene).last(), QRectF(10, 0, 10, 10));
    }

    void groupsTravelWholeBetweenDocuments()
    {
        twoGraphs();
        auto *group = new GroupItem;
        m_first->documentScene()->addItem(group);
        group->addToGroup(add(m_first, QRectF(200, 100, 30, 30)));
        group->addToGroup(add(m_first, QRectF(250, 120, 30, 30)));
        group->setSelected(true);
        ui().action_Cut->trigger();
        QVERIFY(!group->scene());
        QCOMPARE(m_first->documentScene()->undoStack()->text(0), QStringLiteral("remove"));
        activate(m_second);
        Scene *second = m_second->documentScene();
        m_second->setWindowModified(false);
        second->paste(QPointF(400, 400));
        // Pasted items end up unselected: the paste itself marks the document.
        QVERIFY(second->selectedItems().isEmpty() && m_second->isWindowModified());
        QCOMPARE(counts(second), QStringLiteral("3 items, 1 steps"));
        auto *pasted = dynamic_cast<GroupItem *>(second->items(Qt::AscendingOrder).first());
        QVERIFY(pasted && pasted->childItems().size() == 2);
        QCOMPARE(pasted->itemRect(), QRectF(400, 400, 80, 50));
    }

    // Foreign content (another format, a real copy cut short) pastes nothing; Paste is offered
    // for our format only.
    void foreignContentPastesNothing()
    {
        twoGraphs();
        Scene *scene = m_first->documentScene();
        add(m_first, QRectF(10, 10, 20, 20))->setSelected(true);
        ui().action_Copy->trigger();
        const QByteArray cutShort = QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("SCENE")).chopped(3);
        for (const QString &format : {QStringLiteral("text/plain"), QStringLiteral("SCENE")}) {
            auto *data = new QMimeData;
            data->setData(format, format == QLatin1String("SCENE") ? cutShort : QByteArray("开关1"));
            QGuiApplication::clipboard()->setMimeData(data);
            QCOMPARE(ui().action_Paste->isEnabled(), format == QLatin1String("SCENE"));
            ui().action_Paste->trigger();
            scene->paste(QPointF(50, 50));
            QCOMPARE(counts(scene), QStringLiteral("1 items, 0 steps"));
            QVERIFY(scene->selectedItems().isEmpty());
        }
    }

private:
    QTemporaryDir m_dir;
    QString m_base;
    std::unique_ptr<Plotwright> m_window;
    GraphicsView *m_first = nullptr;
    GraphicsView *m_second = nullptr;
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
