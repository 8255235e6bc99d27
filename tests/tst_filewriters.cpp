// Every file writer of the program on a full disk (SafeFile's hook): a failed write says so and
// leaves the previous file byte for byte and nothing beside it. All of them write through
// SafeFile, whose fallback for a folder closed to new files is tried once, by the graph save.
#include "abstractgraphicsutility.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "dialogs/dlgpushgraphproperty.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "grouptool.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "librarychoice.h"
#include "painttool.h"
#include "scene/scene.h"
#include "serverdatabase.h"
#include "testbackend.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpinBox>
#include <QtTest>
#include <memory>
#include <unistd.h>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

// A folder that takes no new files while its file stays writable, for its lifetime; the
// process runs as an ordinary user meanwhile when it is root, for whom permissions would
// stop nothing.
class ClosedFolder
{
public:
    ClosedFolder(const QString &folder, const QString &file)
        : m_folder(folder)
    {
        const auto all = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        const auto enter = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
        const auto write = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        m_ready = QFile::setPermissions(file, all | write) && QFile::setPermissions(folder, all | enter);
        m_switched = m_ready && geteuid() == 0 && seteuid(65534) == 0;
        m_ready = m_ready && (m_switched || geteuid() != 0);
    }
    ~ClosedFolder()
    {
        if (m_switched && seteuid(0) != 0)
            qFatal("cannot return to root");
        QFile::setPermissions(m_folder, QFile::permissions(m_folder) | QFileDevice::WriteOwner);
    }
    bool isReady() const { return m_ready; }

private:
    QString m_folder;
    bool m_ready = false;
    bool m_switched = false;
};

// Answers every dialog of a writer: a name is given, a question is answered Yes, a notice
// is noted "title|text" in `seen` and closed.
void answerEverything(const QString &name, QStringList *seen)
{
    TestSupport::whenModals(
        [name, seen](QWidget *modal) {
            if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                input->setTextValue(name);
                input->accept();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                if (box->button(QMessageBox::Yes)) {
                    box->button(QMessageBox::Yes)->click();
                    return;
                }
                *seen << box->windowTitle() + QLatin1Char('|') + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        },
        1000);
}

enum class Writer
{
    Graph,
    Svg,
    Group,
    PushIni,
    ServerCopy,
    Import
};

// One writer of the program, its previous file already on disk.
struct WriterCase
{
    QString target; // the file replaced (empty: a new file in `folder`)
    QString folder; // where it lies
    std::function<bool()> write; // writes it again, with other content, as the user does
    QString failure; // start of the only notice when that write fails ("": none, the write says so)
    QStringList success; // the notices when it succeeds
    std::vector<std::shared_ptr<QObject>> keep;
};

} // namespace

class TestFileWriters : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name) const { return m_base + QLatin1Char('/') + name; }

    // A graph on the server, for the local-copy writer; its id, 0 when it cannot be stored.
    qint64 storeServerGraph()
    {
        TestBackend::settings().save();
        if (!TestBackend::reset() || !DbServerSettings::storePassword(TestBackend::password())
            || !CDataLink::GetDataLink()->SetupRtuDev())
            return 0;
        ServerDatabase other;
        if (!other.open(TestBackend::settings(), TestBackend::password()))
            return 0;
        ServerGraph graph;
        graph.name = QStringLiteral("feeder");
        graph.graph = QByteArray(3000, 'g');
        return other.store(graph) == ServerDatabase::Store::Stored ? graph.id : 0;
    }

    // Each writer in the current project folder. Every write() changes what is written.
    WriterCase writerCase(Writer writer, qint64 serverGraph)
    {
        WriterCase c;
        auto counter = std::make_shared<int>(0);
        // The saved document of the graph, SVG and group writers.
        auto view = std::make_shared<GraphicsView>();
        view->newFile(0);
        // A few items of different kinds, so that a real graph is written.
        for (const int kind : {ItemKind::Breaker, ItemKind::Line, ItemKind::PlainText})
            view->documentScene()->addItem(ItemSamples::create(kind, QRectF(10, 20, 40, 80)));
        const QString graph = AbstractGraphicsUtility::graphDir() + QStringLiteral("small.drw");
        if (!view->saveFile(graph, false))
            return {};
        c.keep.push_back(view);
        switch (writer) {
        case Writer::Graph: {
            c.folder = AbstractGraphicsUtility::graphDir();
            c.target = graph;
            c.write = [v = view.get(), counter] {
                v->documentScene()->addItem(
                    ItemSamples::create(ItemKind::Rectangle, QRectF(5 + ++*counter, 5, 50, 50)));
                v->setWindowModified(true);
                return v->save();
            };
            c.failure = QStringLiteral("警告|文件操作错误!");
            break;
        }
        case Writer::Svg: {
            c.folder = AbstractGraphicsUtility::svgDir();
            c.target = c.folder + QStringLiteral("small.svg");
            c.write = [v = view.get(), counter, target = c.target] {
                // The colour of the live scene goes into the attributes: another file each time.
                v->documentScene()->setBackgroundColor(QColor(++*counter, 0, 0));
                TestSupport::answerFileRequest(target);
                v->exportSvg();
                return true;
            };
            c.failure = applicationTitle() + QStringLiteral("|<font color=\"red\">导出svg文件失败,请重试!</font>");
            c.success = QStringList{QStringLiteral("提示|导出成功!")};
            break;
        }
        case Writer::Group: {
            auto *group = new GroupItem;
            view->documentScene()->addItem(group);
            c.folder = GroupTool::dir();
            c.target = c.folder + QStringLiteral("feeder.grp");
            c.write = [scene = view->documentScene(), group, counter] {
                group->addToGroup(ItemSamples::create(ItemKind::Rectangle, QRectF(10 * ++*counter, 5, 50, 50)));
                scene->exportGroup(group);
                return true;
            };
            c.failure = QStringLiteral("警告|图元组导出失败!");
            c.success = QStringList{QStringLiteral("提示|图元组导出成功!")};
            break;
        }
        case Writer::PushIni: {
            auto dialog = std::make_shared<DlgPushGraphProperty>(nullptr);
            c.folder = AbstractGraphicsUtility::projectDir();
            c.target = c.folder + QStringLiteral("DlgPushGraphProperty.ini");
            c.write = [d = dialog.get()] {
                auto *time = d->findChild<QSpinBox *>(QStringLiteral("spinBoxTime"));
                time->setValue(time->value() + 1);
                d->setResult(QDialog::Rejected);
                d->findChild<QAbstractButton *>(QStringLiteral("pushButtonOK"))->click();
                return d->result() == QDialog::Accepted;
            };
            c.failure = QStringLiteral("推图窗口属性|无法写入文件 ") + c.target;
            c.keep.push_back(dialog);
            break;
        }
        case Writer::ServerCopy:
            // A new file: there is no previous one to keep, only nothing to leave behind.
            c.folder = AbstractGraphicsUtility::graphDir();
            c.write = [folder = c.folder, serverGraph] {
                return !CDataLink::GetDataLink()->fetchDizFile(serverGraph, folder).isEmpty();
            };
            c.failure = QStringLiteral("提示|无法写入文件 ");
            break;
        case Writer::Import: {
            auto manager = std::make_shared<PaintTool>();
            c.folder = LibraryChoice::folder(ItemKind::CustomSymbol);
            c.target = c.folder + QStringLiteral("pic.png");
            // Sources with other content each time, written now: the writer may run as
            // another user.
            for (int i = 1; i <= 2; ++i) {
                const QString folder = path(QStringLiteral("import-%1").arg(i));
                if (!QDir().mkpath(folder) || !writeFile(folder + QStringLiteral("/pic.png"), QByteArray::number(i)))
                    return {};
            }
            c.write = [m = manager.get(), this, counter] {
                TestSupport::answerFileRequest(path(QStringLiteral("import-%1/pic.png").arg(++*counter)));
                m->findChild<QAbstractButton *>(QStringLiteral("pushButtonImport"))->click();
                return true;
            };
            c.failure = manager->windowTitle() + QStringLiteral("|无法导入 pic.png!");
            c.keep.push_back(manager);
            break;
        }
        }
        return c;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestSupport::startLocalFileTests("filewriters"));
        QVERIFY(m_dir.isValid());
        m_base = QFileInfo(m_dir.path()).canonicalFilePath();
        // An ordinary user must reach the files: the test's own folder is private. Root's
        // group stays ours, so the group needs the same access.
        QVERIFY(QFile::setPermissions(m_base,
            QFile::permissions(m_base) | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                | QFileDevice::ExeOther));
    }

    void cleanupTestCase() { TestSupport::writePlatform(-1); }

    void cleanup()
    {
        TestSupport::cancelPendingModals();
        QCOMPARE(TestSupport::missedModals(), 0);
    }

    void writersKeepThePreviousFile_data()
    {
        QTest::addColumn<int>("writer");
        QTest::addColumn<bool>("fullDisk");
        const std::pair<const char *, Writer> writers[] = {{"graph save", Writer::Graph}, {"SVG export", Writer::Svg},
            {"group export", Writer::Group}, {"push-window INI", Writer::PushIni},
            {"server local copy", Writer::ServerCopy}, {"manager import", Writer::Import}};
        for (const auto &w : writers)
            QTest::addRow("%s, full disk", w.first) << int(w.second) << true;
        QTest::newRow("graph save, folder closed to new files") << int(Writer::Graph) << false;
    }

    // On a full disk a write fails, says so and leaves the previous file byte for byte and
    // nothing else behind; in a folder that takes no new files an existing file is still saved.
    void writersKeepThePreviousFile()
    {
        QFETCH(int, writer);
        QFETCH(bool, fullDisk);
        const Writer w = Writer(writer);
        const qint64 serverGraph = w == Writer::ServerCopy ? storeServerGraph() : 0;
        QVERIFY(w != Writer::ServerCopy || serverGraph);

        const QString project = path(QStringLiteral("project-%1-%2").arg(writer).arg(fullDisk));
        QVERIFY(QDir().mkpath(project));
        const QByteArray oldProject = qgetenv("PLOTWRIGHT_PROJECT_DIR");
        qputenv("PLOTWRIGHT_PROJECT_DIR", QFile::encodeName(project));
        const auto restoreProject = qScopeGuard([&oldProject] { qputenv("PLOTWRIGHT_PROJECT_DIR", oldProject); });
        AbstractGraphicsUtility::initProject();
        WriterCase c = writerCase(w, serverGraph);
        QVERIFY(c.write);

        QStringList seen;
        const auto run = [&] {
            seen.clear();
            answerEverything(QStringLiteral("feeder"), &seen);
            const bool ok = c.write();
            TestSupport::cancelPendingModals();
            return ok;
        };
        const auto current = [&c] { return c.target.isEmpty() ? QByteArray() : readFile(c.target); };
        QVERIFY2(c.target.isEmpty() || (run() && seen == c.success), qPrintable(seen.join(QLatin1Char('\n'))));
        const QByteArray before = current();
        const QStringList files = QDir(c.folder).entryList(QDir::Files | QDir::Hidden);
        if (fullDisk) {
            TestSupport::FailingWrites full;
            const bool ok = run();
            QVERIFY2(c.failure.isEmpty() ? !ok : seen.size() == 1 && seen.first().startsWith(c.failure),
                qPrintable(seen.join('\n')));
            QCOMPARE(current(), before);
        } else {
            bool ok = false;
            {
                ClosedFolder closed(c.folder, c.target);
                if (!closed.isReady())
                    QSKIP("The folder cannot be closed to new files here.");
                ok = run();
            }
            QVERIFY2(ok && seen == c.success, qPrintable(seen.join('\n')));
            QVERIFY(current() != before);
        }
        QCOMPARE(QDir(c.folder).entryList(QDir::Files | QDir::Hidden), files);
    }

private:
    QTemporaryDir m_dir;
    QString m_base;
};

QTEST_MAIN(TestFileWriters)
#include "tst_filewriters.moc"
