// The main window's document commands with real files: opening (dialogs, command line,
// handover, recent files), the recent-file list and closing the editor. Server save is
// exercised on a real database by tst_datalink.
#include "app/plotwright.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "testsupport.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>
#include <memory>

namespace {

// Writes a graph (type 0) or template (type 1) holding `count` rectangles.
QString writeDocument(const QString &name, int type, int count = 1)
{
    const QString path = QDir(TestSupport::projectFolder()).filePath(name);
    Scene scene;
    scene.setType(type);
    for (int i = 0; i < count; ++i)
        scene.addItem(ItemSamples::create(ItemKind::Rectangle, QRectF(10 + 30 * i, 10, 20, 20)));
    return TestSupport::writeFile(path, ItemSamples::documentBytes(scene)) ? path : QString();
}

GraphicsView *activeView(Plotwright &w)
{
    QMdiSubWindow *sub = w.form().mdiArea->activeSubWindow();
    return sub ? qobject_cast<GraphicsView *>(sub->widget()) : nullptr;
}

} // namespace

class TestDocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate("documentcommands");
        QVERIFY(TestSupport::writePlatform(1));
        CDataLink::Init();
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    // Each case gets a new, shown and active main window; the recent files are kept between runs.
    void init()
    {
        QSettings().clear();
        m_window = std::make_unique<Plotwright>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        QCOMPARE(TestSupport::missedModals(), 0);
    }

    void openingTheSameFileTwiceActivatesIt()
    {
        const QString a = writeDocument(QStringLiteral("a.drw"), 0, 3);
        const QString b = writeDocument(QStringLiteral("b.drw"), 0);
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        Plotwright &w = *m_window;
        w.openFile(0, a);
        w.openFile(0, b);
        QCOMPARE(w.form().mdiArea->subWindowList().size(), 2);
        QCOMPARE(activeView(w)->currentFile(), QFileInfo(b).canonicalFilePath());
        // Another spelling of the same path only activates the first window.
        const QString other = QDir(TestSupport::projectFolder()).filePath(QStringLiteral("./sub/../a.drw"));
        QDir(TestSupport::projectFolder()).mkdir(QStringLiteral("sub"));
        w.openFile(0, other);
        QCOMPARE(w.form().mdiArea->subWindowList().size(), 2);
        QCOMPARE(activeView(w)->currentFile(), QFileInfo(a).canonicalFilePath());
        QCOMPARE(activeView(w)->documentScene()->items().size(), 3);
    }

    void openDialogAndCommandLine()
    {
        const QString graph = writeDocument(QStringLiteral("dialog.drw"), 0);
        const QString tpl = writeDocument(QStringLiteral("T.TPL"), 1);
        Plotwright &w = *m_window;
        TestSupport::FileRequest request;
        TestSupport::answerFileRequest(graph, &request);
        w.form().action_OpenGraph->trigger();
        QCOMPARE(request.caption + QLatin1Char('|') + request.filter, QStringLiteral("选择文件|画面文件(*.drw)"));
        QCOMPARE(activeView(w)->documentScene()->type(), 0);

        // The handover opens by suffix, capitals included; other suffixes do nothing.
        w.slotParam(tpl.toLocal8Bit());
        QCOMPARE(activeView(w)->documentScene()->type(), 1);
        QCOMPARE(w.form().mdiArea->subWindowList().size(), 2);
        w.slotParam(QByteArray("/tmp/readme.txt"));
        QCOMPARE(w.form().mdiArea->subWindowList().size(), 2);
    }

    void recentTemplateOpensAsTemplate()
    {
        const QString tpl = writeDocument(QStringLiteral("recent.tpl"), 1);
        Plotwright &w = *m_window;
        w.addRecentFile(QFileInfo(tpl).canonicalFilePath());
        emit w.form().menu_file->aboutToShow();
        QAction *entry = w.form().menu_recentFiles->actions().first();
        QCOMPARE(entry->text(), QFileInfo(tpl).canonicalFilePath());
        entry->trigger();
        QCOMPARE(activeView(w)->documentScene()->type(), 1);
        QCOMPARE(w.recentFiles().first(), QFileInfo(tpl).canonicalFilePath());
        QCOMPARE(w.recentFiles().count(QFileInfo(tpl).canonicalFilePath()), 1);
    }

    void closingTheEditorAsksEachModifiedDocument()
    {
        const QString a = writeDocument(QStringLiteral("c1.drw"), 0);
        const QString b = writeDocument(QStringLiteral("c2.drw"), 0);
        Plotwright *w = m_window.get();
        w->openFile(0, a);
        w->openFile(0, b);
        GraphicsView *modified = activeView(*w);
        modified->setWindowModified(true);
        QString seen;
        TestSupport::answerBox(&seen, QMessageBox::Cancel);
        QVERIFY(!w->close());
        QVERIFY2(seen.endsWith(QStringLiteral("已被修改!\n是否保存?")), qPrintable(seen));
        QVERIFY(w->isVisible());
        QCOMPARE(w->form().mdiArea->subWindowList().size(), 1);
        QCOMPARE(activeView(*w), modified);

        modified->setWindowModified(false);
        QVERIFY(w->close());
    }

private:
    std::unique_ptr<Plotwright> m_window;
};

QTEST_MAIN(TestDocumentCommands)
#include "tst_documentcommands.moc"
