// The document window: untitled names, opening with every failure message, saving in place,
// save as, the versioned backup, the close prompt and the SVG export of the saved document.
#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "app/plotwright.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "documentformat.h"
#include "drawingdefaults.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QUndoStack>
#include <QtTest>
#include <memory>
#include <sys/resource.h>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

using ItemSamples::describe;
using ItemSamples::documentBytes;

// A rectangle drawn with the given pen colour, so that it can be found in an SVG.
GraphicsItem *rectangle(const QRectF &rect, const QColor &pen)
{
    DrawingDefaults d = ItemSamples::defaults();
    d.penColor = pen;
    auto *item = static_cast<GraphicsItem *>(AbstractGraphicsScene::graphicsItem(0, ItemKind::Rectangle, true));
    item->createFromPoints(&d, rect.topLeft(), rect.bottomRight(), nullptr);
    return item;
}

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

using TestSupport::answerBox;
using TestSupport::describeBox;

// Records any modal that appears before cancelPendingModals(), and closes it.
void watchForUnexpectedModal(QString *seen)
{
    TestSupport::whenModal(
        [seen](QWidget *modal) {
            *seen = describeBox(modal);
            static_cast<QDialog *>(modal)->reject();
        },
        300);
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_base + QLatin1Char('/') + name; }

    // A named graph on disk, written by a view and left open in it.
    std::unique_ptr<GraphicsView> savedGraph(const QString &name, int items)
    {
        auto view = std::make_unique<GraphicsView>();
        view->newFile(0);
        view->documentScene()->setSceneRect(0, 0, 1600, 900);
        fill(view->documentScene(), items);
        if (!view->saveFile(path(name), false))
            return nullptr;
        return view;
    }

    // A version-12 graph of `count` items on disk; its bytes.
    QByteArray writeVersion12(const QString &name, int count)
    {
        AbstractGraphicsScene scene;
        scene.setSceneRect(0, 0, 800, 600);
        fill(&scene, count);
        const QByteArray bytes = documentBytes(scene, 12);
        return writeFile(path(name), bytes) ? bytes : QByteArray();
    }

    static bool noBackups()
    {
        return !QFileInfo::exists(GraphicsView::backupDir()) || QDir(GraphicsView::backupDir()).isEmpty();
    }

    QString backupOf(const QString &fileName, unsigned version) const
    {
        return GraphicsView::backupDir() + QStringLiteral("%1.Version%2.bak").arg(fileName).arg(version);
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

    // --- untitled documents (first, so that the counters are where the program starts them)

    void untitledNamesAndCounters()
    {
        const auto untitled = [](int type) {
            GraphicsView view;
            view.newFile(type);
            return view.currentFile();
        };
        GraphicsView first;
        first.newFile(0);
        QCOMPARE(first.currentFile(), QStringLiteral("画面1.drw"));
        QCOMPARE(first.documentScene()->type(), 0);
        QVERIFY(first.isUntitledOrModified());
        // Templates count on their own; a closed window does not give its number back.
        QCOMPARE(untitled(0), QStringLiteral("画面2.drw"));
        QCOMPARE(untitled(1), QStringLiteral("模板1.tpl"));
        QCOMPARE(untitled(0), QStringLiteral("画面3.drw"));
        GraphicsView tpl;
        tpl.newFile(1);
        QCOMPARE(tpl.currentFile(), QStringLiteral("模板2.tpl"));
        QCOMPARE(tpl.documentScene()->type(), 1);
        // An unknown type keeps the name and numbers nothing.
        tpl.newFile(7);
        QCOMPARE(tpl.currentFile(), QStringLiteral("模板2.tpl"));
        QCOMPARE(untitled(0), QStringLiteral("画面4.drw"));
    }

    // --- opening

    void openFailures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");

        AbstractGraphicsScene graph;
        graph.setSceneRect(0, 0, 300, 200);
        fill(&graph, 4);
        QByteArray damaged = documentBytes(graph);
        damaged[damaged.size() / 2] = char(damaged.at(damaged.size() / 2) ^ 0x5a);
        AbstractGraphicsScene tpl;
        tpl.setType(1);

        QTest::newRow("not our format") << "text.drw" << QByteArray("just some text, no graph") << 0
                                        << "警告|打开的文件格式错误!";
        QTest::newRow("template opened as graph") << "t.drw" << documentBytes(tpl) << 0 << "警告|打开的文件格式错误!";
        QTest::newRow("damaged") << "damaged.drw" << damaged << 0 << "警告|文件已损坏!";
        QTest::newRow("missing") << "missing.drw" << QByteArray() << 0 << QString();
    }

    void openFailures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(int, type);
        QFETCH(QString, message);
        const QString file = path(fileName);
        QFile::remove(file);
        if (!bytes.isEmpty())
            QVERIFY(writeFile(file, bytes));
        if (message.isEmpty()) {
            QFile probe(file);
            QVERIFY(!probe.open(QIODevice::ReadOnly));
            message = applicationTitle() + QStringLiteral("|无法打开文件 ") + file + QStringLiteral(":\n")
                + probe.errorString() + QLatin1Char('!');
        }

        Plotwright w;
        QString seen;
        answerBox(&seen);
        w.openFile(type, file);
        QCOMPARE(seen, message);
        QVERIFY(w.form().mdiArea->subWindowList().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(w.findChildren<GraphicsView *>().isEmpty(), 2000);
        QVERIFY(w.recentFiles().isEmpty());
    }

    void openNamesDocumentAndAddsRecentFileOnlyFromMainWindow()
    {
        auto source = savedGraph(QStringLiteral("recent.drw"), 5);
        QVERIFY(source);
        const QList<QVariantList> expected = describe(*source->documentScene());

        Plotwright w;
        // A path written with a detour is kept in its canonical form.
        const QString detour = m_base + QStringLiteral("/./sub/../recent.drw");
        QVERIFY(QDir().mkpath(path(QStringLiteral("sub"))));
        w.openFile(0, detour);
        QCOMPARE(w.form().mdiArea->subWindowList().size(), 1);
        auto *view = qobject_cast<GraphicsView *>(w.form().mdiArea->subWindowList().first()->widget());
        QVERIFY(view);
        QCOMPARE(view->currentFile(), path(QStringLiteral("recent.drw")));
        QCOMPARE(w.recentFiles(), QStringList{path(QStringLiteral("recent.drw"))});
        QCOMPARE(describe(*view->documentScene()), expected);
        QVERIFY(!view->isUntitledOrModified());

        // Inside its sub-window the view no longer reaches the list.
        QVERIFY(view->saveFile(path(QStringLiteral("renamed.drw")), false));
        QCOMPARE(view->currentFile(), path(QStringLiteral("renamed.drw")));
        QCOMPARE(w.recentFiles(), QStringList{path(QStringLiteral("recent.drw"))});
    }

    // --- saving

    void saveAndReload()
    {
        GraphicsView view;
        view.newFile(0);
        Scene *scene = view.documentScene();
        scene->setSceneRect(0, 0, 2000, 1200);
        scene->setBackgroundColor(QColor(10, 20, 30));
        fill(scene, 18);
        scene->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
        view.setWindowModified(true);
        QSignalSpy saved(&view, &GraphicsView::fileSaved);

        const QString file = path(QStringLiteral("roundtrip.drw"));
        QVERIFY(view.saveFile(file, false));
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.first().first().toBool(), true);
        QCOMPARE(view.currentFile(), file);
        QVERIFY(!view.isUntitledOrModified());
        // Nothing saved can be undone.
        QCOMPARE(scene->undoStack()->count(), 0);
        // Nothing of a temporary file is left beside the document.
        QCOMPARE(QDir(m_base).entryList({QStringLiteral("roundtrip*")}, QDir::Files),
            QStringList{QStringLiteral("roundtrip.drw")});

        GraphicsView reopened;
        QVERIFY(reopened.loadFile(0, file));
        Scene *again = reopened.documentScene();
        QCOMPARE(again->type(), 0);
        QCOMPARE(again->version(), 13u);
        QCOMPARE(again->sceneRect(), QRectF(0, 0, 2000, 1200));
        QCOMPARE(again->backgroundColor(), QColor(10, 20, 30));
        QCOMPARE(describe(*again), describe(*scene));
        QCOMPARE(reopened.currentFile(), file);
        QVERIFY(!reopened.isUntitledOrModified());

        // A template is read back as a template and refused as a graph.
        GraphicsView tpl;
        tpl.newFile(1);
        fill(tpl.documentScene(), 3);
        QVERIFY(tpl.saveFile(path(QStringLiteral("roundtrip.tpl")), false));
        GraphicsView tplAgain;
        QVERIFY(tplAgain.loadFile(1, path(QStringLiteral("roundtrip.tpl"))));
        QCOMPARE(tplAgain.documentScene()->type(), 1);
        QCOMPARE(describe(*tplAgain.documentScene()), describe(*tpl.documentScene()));
    }

    void saveOfOlderVersionKeepsBackup()
    {
        const QString file = path(QStringLiteral("old.drw"));
        const QByteArray v12 = writeVersion12(QStringLiteral("old.drw"), 6);
        QVERIFY(!v12.isEmpty());

        // An older backup of the same name is replaced.
        QVERIFY(QDir().mkpath(GraphicsView::backupDir()));
        QVERIFY(writeFile(backupOf(QStringLiteral("old.drw"), 12), "an older backup"));

        GraphicsView view;
        QVERIFY(view.loadFile(0, file));
        QCOMPARE(view.documentScene()->version(), 12u);
        // Version 12 has no fonts: what was read is what must come back.
        const QList<QVariantList> asRead = describe(*view.documentScene());
        QCOMPARE(view.windowTitle(), QStringLiteral("old.drw (Version 12) [*]"));

        // A save as that fails changes nothing, so the save in place still backs up version 12.
        QString seen;
        {
            TestSupport::FailingWrites full;
            TestSupport::answerFileRequest(path(QStringLiteral("old-copy.drw")));
            answerBox(&seen);
            QVERIFY(!view.saveAs());
        }
        QCOMPARE(seen, QStringLiteral("警告|文件操作错误!"));
        QCOMPARE(view.windowTitle(), QStringLiteral("old.drw (Version 12) [*]"));
        QCOMPARE(view.currentFile(), file);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("old-copy.drw"))));
        QVERIFY(view.save());
        QCOMPARE(readFile(backupOf(QStringLiteral("old.drw"), 12)), v12);
        QCOMPARE(QDir(GraphicsView::backupDir()).entryList(QDir::Files),
            QStringList{QStringLiteral("old.drw.Version12.bak")});
        QCOMPARE(view.windowTitle(), QStringLiteral("old.drw (Version 13) [*]"));
        QVERIFY(readFile(file) != v12);

        GraphicsView reopened;
        QVERIFY(reopened.loadFile(0, file));
        QCOMPARE(reopened.documentScene()->version(), 13u);
        QCOMPARE(describe(*reopened.documentScene()), asRead);

        // Now at the current version, another save (with an edit, and no dialog: one would
        // block) leaves the backups alone.
        QVERIFY(writeFile(backupOf(QStringLiteral("old.drw"), 12), "kept"));
        reopened.documentScene()->addItem(rectangle(QRectF(5, 5, 50, 50), Qt::red));
        QVERIFY(reopened.save());
        QCOMPARE(readFile(backupOf(QStringLiteral("old.drw"), 12)), QByteArray("kept"));
        QCOMPARE(QDir(GraphicsView::backupDir()).entryList(QDir::Files),
            QStringList{QStringLiteral("old.drw.Version12.bak")});
        GraphicsView check;
        QVERIFY(check.loadFile(0, file));
        QCOMPARE(check.documentScene()->items().size(), 7);
    }

    void backupFailureWarnsAndSaves()
    {
        const QString file = path(QStringLiteral("nobackup.drw"));
        QVERIFY(!writeVersion12(QStringLiteral("nobackup.drw"), 2).isEmpty());
        // A folder where the backup should go can be neither removed as a file nor copied over.
        QVERIFY(QDir().mkpath(backupOf(QStringLiteral("nobackup.drw"), 12)));

        GraphicsView view;
        QVERIFY(view.loadFile(0, file));
        QString seen;
        answerBox(&seen);
        QVERIFY(view.save());
        QCOMPARE(seen, applicationTitle() + QStringLiteral("|文件 %1 备份失败!").arg(file));
        GraphicsView reopened;
        QVERIFY(reopened.loadFile(0, file));
        QCOMPARE(reopened.documentScene()->version(), 13u);
    }

    void saveAsNeverBacksUp()
    {
        const QString file = path(QStringLiteral("old-as.drw"));
        const QByteArray v12 = writeVersion12(QStringLiteral("old-as.drw"), 2);
        QVERIFY(!v12.isEmpty());

        GraphicsView view;
        QVERIFY(view.loadFile(0, file));
        TestSupport::FileRequest dialog;
        TestSupport::answerFileRequest(path(QStringLiteral("new-as.drw")), &dialog);
        QVERIFY(view.saveAs());
        QCOMPARE(dialog.caption, QStringLiteral("另存为"));
        QCOMPARE(dialog.directory, file);
        QCOMPARE(view.currentFile(), path(QStringLiteral("new-as.drw")));
        QVERIFY(noBackups());
        QCOMPARE(readFile(file), v12);

        // Nor does a direct write without the backup request, over the old file itself.
        GraphicsView direct;
        QVERIFY(direct.loadFile(0, file));
        QVERIFY(direct.saveFile(file, false));
        QVERIFY(noBackups());
    }

    void proposedNames()
    {
        // What the file dialog proposes when the user cancels it, through save or save as.
        const auto cancelled = [](GraphicsView &view, bool saveAs) {
            TestSupport::FileRequest dialog;
            TestSupport::answerFileRequest(QString(), &dialog);
            const bool saved = saveAs ? view.saveAs() : view.save();
            return saved ? QStringLiteral("saved") : dialog.caption + '|' + dialog.directory + '|' + dialog.filter;
        };
        // Untitled graph: the graph folder in front, once, however often the dialog is cancelled.
        GraphicsView graph;
        graph.newFile(0);
        const QString graphName = graph.currentFile();
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(cancelled(graph, false),
                "另存为|" + AbstractGraphicsUtility::graphDir() + graphName + "|画面文件(*.drw)");
            QCOMPARE(graph.currentFile(), AbstractGraphicsUtility::graphDir() + graphName);
            QVERIFY(graph.isUntitledOrModified());
        }
        // Untitled template: saved from the template folder, filtered for templates.
        GraphicsView tpl;
        tpl.newFile(1);
        const QString tplName = tpl.currentFile();
        QCOMPARE(
            cancelled(tpl, false), "另存为|" + AbstractGraphicsUtility::templateDir() + tplName + "|模板文件(*.tpl)");
        // Save as straight away: a bare untitled name is proposed in the graph folder, for
        // templates as well.
        GraphicsView tpl2;
        tpl2.newFile(1);
        QVERIFY(cancelled(tpl2, true)
                    .startsWith("另存为|" + AbstractGraphicsUtility::graphDir() + tpl2.currentFile() + '|'));
        // A local copy of a server graph loses its marker segment; other names are proposed
        // as they are, the marker counting only at the start of a name.
        auto server = savedGraph(QStringLiteral("DIZ.x123.a.drw"), 1);
        auto plain = savedGraph(QStringLiteral("xDIZ.y1.b.drw"), 1);
        QVERIFY(server && plain);
        QVERIFY(cancelled(*server, true).startsWith("另存为|" + path(QStringLiteral("a.drw")) + '|'));
        QCOMPARE(server->currentFile(), path(QStringLiteral("DIZ.x123.a.drw")));
        QVERIFY(cancelled(*plain, true).startsWith("另存为|" + path(QStringLiteral("xDIZ.y1.b.drw")) + '|'));
    }

    void saveOfUntitledWritesChosenFile()
    {
        GraphicsView view;
        view.newFile(0);
        QCOMPARE(view.windowTitle(), view.currentFile() + QStringLiteral(" (Version 13) [*]"));
        fill(view.documentScene(), 4);
        QSignalSpy saved(&view, &GraphicsView::fileSaved);
        TestSupport::FileRequest dialog;
        const QString file = path(QStringLiteral("chosen.drw"));
        TestSupport::answerFileRequest(file, &dialog);
        QVERIFY(view.save());
        QCOMPARE(saved.size(), 1);
        QCOMPARE(view.currentFile(), file);
        QVERIFY(!view.isUntitledOrModified());
        QCOMPARE(view.windowTitle(), QStringLiteral("chosen.drw (Version 13) [*]"));
        QVERIFY(readFile(file) == documentBytes(*view.documentScene()));
    }

    void failedSaveKeepsPreviousFileAndState()
    {
        auto view = savedGraph(QStringLiteral("partial.drw"), 1);
        QVERIFY(view);
        const QString file = path(QStringLiteral("partial.drw"));
        const QByteArray before = readFile(file);
        QVERIFY(!before.isEmpty());

        fill(view->documentScene(), 300);
        view->setWindowModified(true);
        view->documentScene()->undoStack()->push(new QUndoCommand(QStringLiteral("edit")));
        const rlim_t limit = rlim_t(before.size()) + 4096;
        QVERIFY(documentBytes(*view->documentScene()).size() > qint64(limit) * 2);
        QSignalSpy saved(view.get(), &GraphicsView::fileSaved);

        QString seen;
        bool result = true;
        {
            // Writes past the file size limit fail part-way (EFBIG), for every user, root included.
            rlimit old{};
            QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
            rlimit lowered = old;
            lowered.rlim_cur = limit;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &lowered) == 0);
            const auto restore = qScopeGuard([&old] { setrlimit(RLIMIT_FSIZE, &old); });
            answerBox(&seen);
            result = view->save();
        }
        QVERIFY(!result);
        QCOMPARE(seen, QStringLiteral("警告|文件操作错误!"));
        QCOMPARE(readFile(file), before);
        QCOMPARE(QDir(m_base).entryList({QStringLiteral("partial*")}, QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("partial.drw")});
        QCOMPARE(saved.size(), 0);
        QVERIFY(view->isWindowModified());
        QCOMPARE(view->documentScene()->undoStack()->count(), 1);
        QCOMPARE(view->currentFile(), file);

        // A folder in place of the target cannot be opened for writing, by any user.
        const QString folder = path(QStringLiteral("folder.drw"));
        QVERIFY(QDir().mkpath(folder));
        answerBox(&seen);
        QVERIFY(!view->saveFile(folder, false));
        const QString prefix = applicationTitle() + QStringLiteral("|无法写入文件 ") + folder + QStringLiteral(":\n");
        QVERIFY2(seen.startsWith(prefix) && seen.endsWith(QLatin1Char('!')) && seen.size() > prefix.size() + 1,
            qPrintable(seen));
        QCOMPARE(view->currentFile(), file);
        QVERIFY(view->isWindowModified());
        QCOMPARE(saved.size(), 0);

        // Without the limit the same save goes through.
        QVERIFY(view->save());
        QVERIFY(readFile(file).size() > before.size());
    }

    // --- closing

    void closePrompt()
    {
        // Clean: closes without a question and goes away.
        QPointer<GraphicsView> clean = new GraphicsView;
        clean->newFile(0);
        clean->show();
        QString unexpected;
        watchForUnexpectedModal(&unexpected);
        QVERIFY(clean->close());
        QCOMPARE(unexpected, QString());
        TestSupport::cancelPendingModals();
        QTRY_VERIFY_WITH_TIMEOUT(clean.isNull(), 2000);

        // Modified, Cancel: stays open.
        QPointer<GraphicsView> view = new GraphicsView;
        view->newFile(0);
        view->show();
        view->setWindowModified(true);
        // The question offers exactly Save, Discard and Cancel.
        QString seen;
        QMessageBox::StandardButtons buttons;
        answerBox(&seen, QMessageBox::Cancel, [&buttons] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                buttons = box->standardButtons();
        });
        QVERIFY(!view->close());
        QCOMPARE(seen, applicationTitle() + QStringLiteral("|'%1' 已被修改!\n是否保存?").arg(view->currentFile()));
        QCOMPARE(buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QVERIFY(view->isVisible());

        // Save on an untitled document asks for a name; cancelling that keeps the window.
        TestSupport::FileRequest dialog;
        answerBox(&seen, QMessageBox::Save, [&dialog] { TestSupport::answerFileRequest(QString(), &dialog); });
        QVERIFY(!view->close());
        QCOMPARE(dialog.caption, QStringLiteral("另存为"));
        QVERIFY(!view.isNull() && view->isVisible());

        // Discard: closes without writing.
        answerBox(&seen, QMessageBox::Discard);
        QVERIFY(view->close());
        QTRY_VERIFY_WITH_TIMEOUT(view.isNull(), 2000);

        // Save on a named document writes it and closes.
        auto named = savedGraph(QStringLiteral("closing.drw"), 1);
        QVERIFY(named);
        QPointer<GraphicsView> owned = named.release();
        owned->show();
        owned->documentScene()->addItem(rectangle(QRectF(0, 0, 30, 30), Qt::blue));
        owned->setWindowModified(true);
        answerBox(&seen, QMessageBox::Save);
        QVERIFY(owned->close());
        QCOMPARE(seen, applicationTitle() + QStringLiteral("|'closing.drw' 已被修改!\n是否保存?"));
        QTRY_VERIFY_WITH_TIMEOUT(owned.isNull(), 2000);
        GraphicsView reopened;
        QVERIFY(reopened.loadFile(0, path(QStringLiteral("closing.drw"))));
        QCOMPARE(reopened.documentScene()->items().size(), 2);
    }

    void pasteMarksTheDocument()
    {
        // Pasted items end up unselected, so selecting cannot be what marks this change.
        auto source = savedGraph(QStringLiteral("source.drw"), 2);
        auto target = savedGraph(QStringLiteral("target.drw"), 0);
        QVERIFY(source && target);
        for (QGraphicsItem *item : source->documentScene()->items())
            item->setSelected(true);
        source->documentScene()->copy();
        for (int round = 0; round < 2; ++round) {
            QVERIFY(!target->isWindowModified());
            target->documentScene()->paste(QPointF());
            QVERIFY(target->documentScene()->selectedItems().isEmpty());
            QVERIFY(target->isWindowModified());
            QVERIFY(target->saveFile(target->currentFile(), false));
        }
    }

    // --- SVG export

    void svgFileNames()
    {
        auto view = savedGraph(QStringLiteral("a.b.drw"), 1);
        QVERIFY(view);
        QCOMPARE(view->svgFileName(), AbstractGraphicsUtility::svgDir() + QStringLiteral("a.b.svg"));
        // Backslashes (possible in names on this system) become slashes in the upload's name.
        auto slashed = savedGraph(QStringLiteral("x\\y.drw"), 1);
        QVERIFY(slashed);
        QCOMPARE(slashed->svgFileName(), AbstractGraphicsUtility::svgDir() + QStringLiteral("x/y.svg"));
    }

    void exportWritesAttributesTitleAndSavedColours_data()
    {
        QTest::addColumn<QColor>("saved");
        QTest::addColumn<QColor>("current");
        QTest::newRow("black") << QColor(Qt::black) << QColor(Qt::black);
        QTest::newRow("changed after the save") << QColor(255, 128, 0) << QColor(0x12, 0x34, 0x56);
    }

    void exportWritesAttributesTitleAndSavedColours()
    {
        QFETCH(QColor, saved);
        QFETCH(QColor, current);
        GraphicsView view;
        view.newFile(0);
        view.documentScene()->setSceneRect(0, 0, 640.4, 480.6);
        view.documentScene()->setBackgroundColor(saved);
        view.documentScene()->addItem(rectangle(QRectF(10, 10, 100, 50), QColor(0xfe, 0xdc, 0xba)));
        QVERIFY(view.saveFile(path(QStringLiteral("colours.v2.drw")), false));
        // Neither this edit nor the picture is saved; the colour counts from now on.
        view.documentScene()->addItem(rectangle(QRectF(200, 200, 100, 50), QColor(0xab, 0xcd, 0xef)));
        view.documentScene()->setBackgroundColor(current);

        const QString target = path(QStringLiteral("exp.%1.svg").arg(QTest::currentDataTag()));
        QFile::remove(target);
        TestSupport::FileRequest dialog;
        QString seen;
        TestSupport::answerFileRequest(target, &dialog, [&seen] { answerBox(&seen); });
        view.exportSvg();
        QCOMPARE(dialog.caption, QStringLiteral("导出为svg文件"));
        QCOMPARE(dialog.directory, AbstractGraphicsUtility::svgDir() + QStringLiteral("colours.v2.svg"));
        QCOMPARE(dialog.filter, QStringLiteral("svg文件 (*.svg)"));
        QCOMPARE(seen, QStringLiteral("提示|导出成功!"));

        const TestSupport::Svg svg(readFile(target));
        QVERIFY2(svg.error.isEmpty(), qPrintable(svg.error));
        const QString now = current.name();
        QCOMPARE(svg.attribute("svg", "style"), QStringLiteral("background-color:%1;").arg(now));
        QCOMPARE(svg.attribute("svg", "vcl-default"),
            QStringLiteral("{'1.txt':{'e':'#00ffff','w':'#00ff00','0':'#c0c0c0','1':'%1'}}").arg(now));
        QCOMPARE(svg.attribute("svg", "toolversion"), QStringLiteral("13.1"));
        QCOMPARE(svg.attribute("svg", "width") + 'x' + svg.attribute("svg", "height"), QStringLiteral("640x481"));
        QCOMPARE(svg.texts("title") + svg.texts("desc"), (QStringList{"exp", "exp"}));

        // Inserted right before the profile, closed by a blank.
        const QString text = QString::fromUtf8(readFile(target));
        QVERIFY(text.contains(QStringLiteral("toolversion=\"13.1\" baseProfile=")));
        // The drawing is the saved document: its item and its background colour, not the edit.
        const QString body = text.mid(text.indexOf(QLatin1String("</desc>")));
        QVERIFY(body.contains(QLatin1String("#fedcba")));
        QVERIFY(!body.contains(QLatin1String("#abcdef")));
        QVERIFY(body.contains(QStringLiteral("fill=\"%1\"").arg(saved.name())));
        if (saved != current)
            QVERIFY(!body.contains(now));
    }

    void exportReferencesBackgroundPictureOnce()
    {
        const QString picture = path(QStringLiteral("back.png"));
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(QColor(0x31, 0x41, 0x59));
        QVERIFY(image.save(picture));

        GraphicsView view;
        view.newFile(0);
        view.documentScene()->setSceneRect(0, 0, 400, 300);
        view.documentScene()->setBackgroundColor(QColor(0x0a, 0x0b, 0x0c));
        view.documentScene()->setBackgroundPixmap(picture);
        view.documentScene()->addItem(rectangle(QRectF(10, 10, 100, 50), QColor(0xfe, 0xdc, 0xba)));
        QVERIFY(view.saveFile(path(QStringLiteral("picture.drw")), false));

        const QString target = path(QStringLiteral("picture.svg"));
        QVERIFY(view.writeSvg(target));
        const QString text = QString::fromUtf8(readFile(target));
        // One <image>, referring to the file, under the drawing; neither the picture nor the
        // colour is painted over it.
        QCOMPARE(text.count(QLatin1String("<image")), 1);
        QVERIFY(text.contains(QStringLiteral("xlink:href=\"back.png\"")));
        QVERIFY(!text.contains(QLatin1String("base64")));
        QVERIFY(text.indexOf(QLatin1String("<image")) < text.indexOf(QLatin1String("#fedcba")));
        QCOMPARE(text.count(QLatin1String("#0a0b0c")), 2); // style and key 1 only

        // A picture that is not there (every new graph names bmp/default.bmp) is not referenced.
        QVERIFY(QFile::remove(picture));
        QVERIFY(view.writeSvg(target));
        QVERIFY(!readFile(target).contains("<image"));
    }

    void exportFailures()
    {
        // Untitled: nothing on disk to read, so only the red failure text.
        GraphicsView untitled;
        untitled.newFile(0);
        const QString target = path(QStringLiteral("never.svg"));
        TestSupport::FileRequest dialog;
        QString seen;
        QString unexpected;
        TestSupport::answerFileRequest(
            target, &dialog, [&] { answerBox(&seen, QMessageBox::Ok, [&] { watchForUnexpectedModal(&unexpected); }); });
        untitled.exportSvg();
        QCOMPARE(dialog.directory,
            AbstractGraphicsUtility::svgDir() + QFileInfo(untitled.currentFile()).completeBaseName()
                + QStringLiteral(".svg"));
        QCOMPARE(seen, applicationTitle() + QStringLiteral("|<font color=\"red\">导出svg文件失败,请重试!</font>"));
        QCOMPARE(unexpected, QString());
        TestSupport::cancelPendingModals();
        QVERIFY(!QFileInfo::exists(target));

        // The file went away after the save, or is damaged on disk: nothing is written.
        for (bool gone : {true, false}) {
            auto view = savedGraph(QStringLiteral("broken.drw"), 2);
            QVERIFY(view);
            const QByteArray bytes = readFile(path(QStringLiteral("broken.drw")));
            QVERIFY(gone ? QFile::remove(path(QStringLiteral("broken.drw")))
                         : writeFile(path(QStringLiteral("broken.drw")), bytes.chopped(1)));
            QVERIFY(!view->writeSvg(target));
            QVERIFY(!QFileInfo::exists(target));
        }

        // Cancelling the dialog shows nothing at all.
        auto fine = savedGraph(QStringLiteral("fine.drw"), 1);
        QVERIFY(fine);
        unexpected.clear();
        TestSupport::answerFileRequest(QString(), &dialog, [&unexpected] { watchForUnexpectedModal(&unexpected); });
        fine->exportSvg();
        QCOMPARE(dialog.caption, QStringLiteral("导出为svg文件"));
        QCOMPARE(unexpected, QString());
        TestSupport::cancelPendingModals();
    }

private:
    QTemporaryDir m_dir;
    QString m_base;
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
