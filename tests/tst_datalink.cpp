// The data link against a real database, embedded or shared (testbackend.h): point-list import
// and lookups, variable replacement, graphs saved to and opened from the server, upload
// conflicts, failed connections, hostile names, the kept password, a server that comes back.
#include "abstractgraphicsutility.h"
#include "app/plotwright.h"
#include "app/startup.h"
#include "apptexts.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "graphicsitem.h"
#include "groupitem.h"
#include "itemkind.h"
#include "itemsamples.h"
#include "scene/scene.h"
#include "serverdatabase.h"
#include "servergraphdialog.h"
#include "testbackend.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTcpServer>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>

namespace {

// Answers the next modal widget of type T, passing over others (a form still open below).
template<typename T> void whenModalOf(std::function<void(T *)> answer)
{
    TestSupport::whenModal([answer](QWidget *modal) {
        if (auto *widget = qobject_cast<T *>(modal))
            answer(widget);
        else
            whenModalOf<T>(answer);
    });
}

// Notes the next `count` message boxes as "title|text" lines and closes each with OK.
void answerBoxes(QString *seen, int count)
{
    whenModalOf<QMessageBox>([seen, count](QMessageBox *box) {
        *seen += box->windowTitle() + QLatin1Char('|') + box->text() + QLatin1Char('\n');
        if (count > 1)
            answerBoxes(seen, count - 1);
        box->button(QMessageBox::Ok)->click();
    });
}

// Fills in the next database form, runs `more` on it and confirms it with Return.
void answerForm(const DbServerSettings &s, const QString &password, std::function<void(QWidget *)> more = {})
{
    TestSupport::whenModal([=](QWidget *form) {
        auto *kind = form->findChild<QComboBox *>(QStringLiteral("comboBox_Kind"));
        kind->setCurrentIndex(kind->findData(int(s.kind)));
        form->findChild<QLineEdit *>(QStringLiteral("lineEdit_Host"))->setText(s.host);
        form->findChild<QSpinBox *>(QStringLiteral("spinBox_Port"))->setValue(s.port);
        form->findChild<QLineEdit *>(QStringLiteral("lineEdit_Database"))->setText(s.database);
        form->findChild<QLineEdit *>(QStringLiteral("lineEdit_User"))->setText(s.user);
        form->findChild<QLineEdit *>(QStringLiteral("lineEdit_Password"))->setText(password);
        if (more)
            more(form);
        QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, Qt::Key_Return);
    });
}

QString csvField(QString text)
{
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(TestSupport::projectFolder()).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

// A device name meant to break out of a quoted SQL text.
const QString HostileDevice = QStringLiteral("D'\"; DROP TABLE points; SELECT '");

// Items as "svgID/ykID"; `device` checks the box and picks it; a null `to` keeps the start
// text. `seen`: the start (device names, replacement text), then each preview row (red when
// changed) and message, "open" when the dialog stays open.
struct Replacement
{
    const char *tag;
    QStringList items;
    bool stringMode;
    QString device;
    QString from;
    QString to;
    bool confirm;
    QStringList seen;
    QStringList after;
};

QList<Replacement> replacements()
{
    const QStringList rows{"DevA,DevA", "DevA.Ia>DevB.Ia red", "DevA.Ib>DevB.Ib red"};
    const QString cut = QStringLiteral("存在不合法的替换可能导致命名不规范，不允许进行设置!");
    return {
        {"device name", {"1/2", "1/", "7/999"}, false, "", "", "DevB", true, rows + QStringList{"共替换 2 处!"},
            {"3/4", "3/", "7/999"}},
        {"preview cancelled", {"1/2"}, false, "", "", "DevB", false, rows + QStringList{"open"}, {"1/2"}},
        {"unchanged name", {"1/"}, false, "", "", QString(), true, {"DevA,DevA", "DevA.Ia>DevA.Ia", "共替换 0 处!"},
            {"1/"}},
        {"two devices", {"1/3"}, false, "", "", "DevB", true,
            {"DevA DevB,DevA", "变量设备名不一致，不允许批量设置", "open"}, {"1/3"}},
        {"checked device", {"1/3", "4/"}, false, "DevB", "", "DevA", true,
            {"DevA DevB,DevA", "DevB.Ia>DevA.Ia red", "DevB.Ib>DevA.Ib red", "共替换 2 处!"}, {"1/1", "2/"}},
        {"pattern and group", {"1/2", "7/"}, true, "", "I(.)", "U\\11", true,
            {"DevA,DevA", "DevA.Ia>DevA.Ua1 red", "共替换 1 处!"}, {"5/2", "7/"}},
        {"blank replacement", {"1/"}, false, "", "", "  ", true,
            {"DevA,DevA", "替换参数为有误，不允许批量设置", "open"}, {"1/"}},
        {"cut name", {"2/1"}, true, "", "b$", "-", true, {"DevA,DevA", cut, "open"}, {"2/1"}},
    };
}
} // namespace

class TestDataLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestSupport::isolate(TestBackend::postgres() ? "datalink-postgres" : "datalink-sqlite");
        // Untitled graphs are saved beside the working directory before their upload.
        QDir::setCurrent(TestSupport::projectFolder());
        AbstractGraphicsUtility::initProject();
        QVERIFY2(TestBackend::reset(), "the test database cannot be reached");
    }

    void init()
    {
        CDataLink::UnInit();
        QVERIFY(TestBackend::reset());
    }

    void cleanup()
    {
        const int missed = TestSupport::missedModals();
        TestSupport::cancelPendingModals();
        QCOMPARE(missed, 0);
    }

    void cleanupTestCase() { CDataLink::UnInit(); }

    void pointListImport()
    {
        const QString longName(100000, QChar(0x957f));
        const QString hostile = QStringLiteral("O'Brien\"; DROP TABLE points; --");
        const QString csv = writeFile(QStringLiteral("points.csv"),
            (QStringLiteral("点号,变量名,限定名,设备名\nYC1,Ia,A相,1#进线\nYC2,%1,%2,%4\nYC3,only,three\n,noid,q,d\n"
                            "YC1,Ib-,B相,1#进线\n YC4 ,%3,,\"multi\nline\"\n\"YC5,unclosed\n")
                    .arg(csvField(hostile), csvField(QStringLiteral("q,\"x\"")), longName, csvField(HostileDevice)))
                .toUtf8());
        QVERIFY(TestBackend::open().tables().isEmpty());
        QString report;
        answerForm(TestBackend::settings(), TestBackend::password(), [&](QWidget *form) {
            TestSupport::answerFileRequest(csv, nullptr, [&] {
                whenModalOf<QMessageBox>([&](QMessageBox *box) {
                    report = box->text() + QLatin1Char('\n') + box->detailedText();
                    box->button(QMessageBox::Ok)->click();
                });
            });
            form->findChild<QPushButton *>(QStringLiteral("pushButton_Import"))->click();
        });
        QCOMPARE(CDataLink::ShowSetDbServerForm(), 1);
        // The row with a quoted line break spans two lines, so the unclosed one starts on line 9.
        // A repeated id keeps its last row; cut names ("--", "Ib-") are taken and remarked.
        QVERIFY2(
            report.startsWith(QStringLiteral("取用 4 行(新增 3 条, 更新 0 条), 拒绝 3 行。点号重复 1 行, "
                                             "保留最后一行。名称不合规 2 条, 已导入并标出。\n第 4 行: 有 3 个字段")),
            qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("第 5 行: 点号为空\n第 9 行: 引号未闭合\n第 3 行: 点号 YC2 的名称以"))
                && report.contains(QStringLiteral("第 6 行: 点号 YC1 重复, 取代第 2 行\n第 6 行: 点号 YC1 的名称以")),
            qPrintable(report));

        CDataLink *link = CDataLink::GetDataLink();
        QVERIFY(link->SetupRtuDev());
        // Every record as stored, in id order (lookups by id: replace()).
        QList<QStringList> stored;
        for (const CIdInfo &p : qAsConst(link->idList))
            stored << QStringList{p.id, p.name, p.qualifier, p.deviceName};
        QCOMPARE(stored,
            (QList<QStringList>{{"YC1", "Ib-", "B相", "1#进线"}, {"YC2", hostile, "q,\"x\"", HostileDevice},
                {"YC4", longName, "", "multi\nline"}}));
    }

    // Variable replacement: the dialog's start, its refusals, the preview and the rebinding of
    // the items' point ids to the records that carry the new names.
    void replace_data()
    {
        QTest::addColumn<int>("row");
        const QList<Replacement> all = replacements();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all.at(i).tag) << i;
    }

    void replace()
    {
        QFETCH(int, row);
        const Replacement c = replacements().at(row);
        // Ib has no counterpart with its qualifier as Ub1; Ic's counterpart on DevB has no id.
        CDataLink::GetDataLink()->idList = {{"1", "Ia", "q", "DevA"}, {"2", "Ib", "q", "DevA"},
            {"3", "Ia", "q", "DevB"}, {"4", "Ib", "q", "DevB"}, {"5", "Ua1", "q", "DevA"}, {"6", "Ub1", "x", "DevA"},
            {"7", "Ic", "q", "DevA"}, {"", "Ic", "q", "DevB"}, {"9", "I-", "q", "DevA"}};
        // The items sit in a group: the scene hands over the selected group and its members.
        Scene scene;
        auto *group = new GroupItem;
        scene.addItem(group);
        QList<GraphicsItem *> bound;
        for (const QString &ids : c.items) {
            bound << ItemSamples::create(ItemKind::Rectangle, QRectF(bound.size() * 50, 0, 40, 40));
            bound.last()->setSvgID(ids.section('/', 0, 0));
            bound.last()->setYkID(ids.section('/', 1, 1));
            bound.last()->setParentItem(group);
        }
        group->setSelected(true);

        QStringList noted;
        QWidget *dialog = nullptr;
        TestSupport::whenModals(
            [&](QWidget *modal) {
                auto *combo = TestSupport::child<QComboBox>(modal, "comboBox");
                if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                    noted << box->text();
                    box->button(QMessageBox::Ok)->click();
                } else if (auto *table = modal->findChild<QTableWidget *>()) {
                    for (int row = 0; row < table->rowCount(); ++row)
                        noted << table->item(row, 0)->text() + '>' + table->item(row, 1)->text()
                                + (table->item(row, 1)->background().color() == Qt::red ? " red" : "");
                    c.confirm ? static_cast<QDialog *>(modal)->accept() : static_cast<QDialog *>(modal)->reject();
                } else if (modal == dialog) {
                    noted << QStringLiteral("open");
                    static_cast<QDialog *>(modal)->reject();
                } else {
                    dialog = modal;
                    QStringList names;
                    for (int i = 0; i < combo->count(); ++i)
                        names << combo->itemText(i);
                    auto *lineEditTo = TestSupport::child<QLineEdit>(modal, "lineEditTo");
                    noted << names.join(' ') + ',' + lineEditTo->text();
                    QVERIFY(TestSupport::child<QLineEdit>(modal, "lineEditFrom")->isHidden() && !combo->isEnabled());
                    QCOMPARE(modal->windowTitle(), QStringLiteral("变量替换"));
                    TestSupport::child<QRadioButton>(modal, "radioButtonChar")->setChecked(c.stringMode);
                    TestSupport::child<QCheckBox>(modal, "checkBox")->setChecked(!c.device.isEmpty());
                    combo->setCurrentText(c.device.isEmpty() ? combo->currentText() : c.device);
                    TestSupport::child<QLineEdit>(modal, "lineEditFrom")->setText(c.from);
                    lineEditTo->setText(c.to.isNull() ? lineEditTo->text() : c.to);
                    TestSupport::child<QPushButton>(modal, "pushButtonReplace")->click();
                }
            },
            2000);
        scene.replaceVariables(scene.utilityItems(scene.selectedItems()));
        TestSupport::cancelPendingModals();
        QCOMPARE(noted, c.seen);
        QStringList ids;
        for (GraphicsItem *item : bound)
            ids << item->svgID() + '/' + item->ykID();
        QCOMPARE(ids, c.after);
    }

    void saveAndOpenThroughTheMainWindow()
    {
        Plotwright w;
        answerForm(TestBackend::settings(), TestBackend::password());
        QVERIFY(connectAtStartup(&w));
        const QString title = windowTitleText(applicationTitle(), true);
        QVERIFY2(title.endsWith("(当前在线;" + CDataLink::GetDbServerInfo() + ")"), qPrintable(title));
        QVERIFY(TestBackend::password().isEmpty() || !title.contains(TestBackend::password()));
        w.updateActions();

        GraphicsView *view = TestSupport::newGraph(w);
        QVERIFY(view);
        for (int i = 0; i < 3; ++i)
            view->documentScene()->addItem(ItemSamples::create(ItemKind::Rectangle, QRectF(10 + 30 * i, 10, 20, 20)));
        // A new graph is named before its first upload: cancelled (nothing is saved), then a
        // name no file may carry, then a good one.
        const QString untitled = QFileInfo(view->currentFile()).completeBaseName();
        QStringList shown;
        TestSupport::whenModals([&shown](QWidget *modal) {
            auto *input = qobject_cast<QInputDialog *>(modal);
            shown << (input ? input->textValue() : TestSupport::describeBox(modal).section('|', 1).left(6));
            if (!input)
                return static_cast<QMessageBox *>(modal)->button(QMessageBox::Ok)->click();
            input->setTextValue(shown.size() == 2 ? " a/b " : " 馈线 1 ");
            shown.size() == 1 ? input->reject() : input->accept();
        });
        w.form().actionSaveDiz30->trigger();
        w.form().actionSaveDiz30->trigger();
        TestSupport::cancelPendingModals();
        QCOMPARE(shown, (QStringList{untitled, untitled, "画面名称不能", "a/b", "保存成功!"}));
        QString seen;
        const QString first = view->currentFile();
        QCOMPARE(QFileInfo(first).dir(), QDir(AbstractGraphicsUtility::graphDir()));
        QVERIFY2(QRegularExpression("/DIZ\\.\\d+r1\\.馈线 1\\.drw$").match(first).hasMatch(), qPrintable(first));
        // Each upload is a revision; the local copy moves along.
        answerBoxes(&seen, 1);
        w.form().actionSaveDiz30->trigger();
        const QString second = QFileInfo(view->currentFile()).fileName();
        QCOMPARE(second, QFileInfo(first).fileName().replace("r1.", "r2."));
        QVERIFY(!QFile::exists(first));

        w.form().mdiArea->closeAllSubWindows();
        whenModalOf<ServerGraphDialog>([](ServerGraphDialog *dialog) {
            auto *filter = dialog->findChild<QLineEdit *>("lineEdit_Filter");
            filter->setText("馈线");
            QTest::keyClick(filter, Qt::Key_Return);
        });
        w.form().actionDIZ30->trigger();
        auto *reopened = qobject_cast<GraphicsView *>(w.form().mdiArea->subWindowList().value(0)->widget());
        QCOMPARE(QFileInfo(reopened->currentFile()).fileName(), second);
        QCOMPARE(reopened->documentScene()->items().size(), 3);

        // A colleague uploads the same revision first: this copy is not stored over theirs.
        const QString colleague = QDir(TestSupport::projectFolder()).filePath("colleague/" + second);
        QVERIFY(QDir().mkpath(QFileInfo(colleague).path()) && QFile::copy(reopened->currentFile(), colleague));
        const QString theirs = CDataLink::GetDataLink()->SaveDizFile(colleague, writeFile("c.svg", "<svg/>"));
        reopened->documentScene()->addItem(ItemSamples::create(ItemKind::Rectangle, QRectF(200, 10, 20, 20)));
        seen.clear();
        answerBoxes(&seen, 2);
        w.form().actionSaveDiz30->trigger();
        QVERIFY2(
            seen.contains("服务器版本 3, 本地副本基于版本 2") && seen.endsWith("提示|保存失败!\n"), qPrintable(seen));
        ServerDatabase other;
        ServerGraph kept;
        QVERIFY(other.open(TestBackend::settings(), TestBackend::password()));
        QVERIFY(other.fetch(other.graphs(0).value(0).id, kept, true));
        QFile file(theirs);
        QVERIFY(kept.revision == 3 && file.open(QIODevice::ReadOnly) && file.readAll() == kept.graph);

        // Their revision, as the list shows it, is fetched and saved on: only the SVG of the
        // newest revision stays.
        whenModalOf<ServerGraphDialog>([&seen](ServerGraphDialog *dialog) {
            auto *list = dialog->findChild<QTreeWidget *>();
            seen = list->headerItem()->text(1) + list->topLevelItem(0)->text(1);
            dialog->accept();
        });
        w.form().actionDIZ30->trigger();
        QCOMPARE(seen, QString("版本3"));
        answerBoxes(&seen, 1);
        w.form().actionSaveDiz30->trigger();
        const auto *fourth = qobject_cast<GraphicsView *>(w.form().mdiArea->activeSubWindow()->widget());
        QCOMPARE(QDir(AbstractGraphicsUtility::svgDir()).entryList({"DIZ.*"}),
            QStringList{fourth->svgFileName().section('/', -1)});
    }

    // The server list starts newest first, then sorts by name, revision, time and size, each
    // by value: revision 10 after 9, 2 KB after 900 bytes.
    void serverListSortsByValue()
    {
        ServerGraphDialog dialog({{1, "b", 0, 10, 3000, 900, {}, {}}, {2, "a", 0, 9, 1000, 2048, {}, {}},
            {3, "c", 0, 2, 2000, 1 << 20, {}, {}}});
        auto *list = dialog.findChild<QTreeWidget *>();
        QString orders;
        for (int column : {-1, 0, 1, 2, 3}) {
            if (column >= 0)
                list->sortByColumn(column, Qt::AscendingOrder);
            for (int i = 0; i < 3; ++i)
                orders += list->topLevelItem(i)->text(0);
            orders += ' ';
        }
        QCOMPARE(orders, QString("bca abc cab acb bac "));
    }

    void failedConnectionGoesOffline_data()
    {
        QTest::addColumn<int>("port"); // 0: the embedded file, damaged
        QTest::addColumn<QString>("password");
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        QTest::newRow("damaged embedded file") << 0 << QString();
        QTest::newRow("nobody listens") << int(closed.serverPort()) << QStringLiteral("x");
    }

    void failedConnectionGoesOffline()
    {
        QFETCH(int, port);
        QFETCH(QString, password);
        DbServerSettings s = TestBackend::settings();
        s.kind = port ? DbServerSettings::PostgreSql : DbServerSettings::Embedded;
        s.port = port ? port : s.port;
        if (!port)
            QVERIFY(!writeFile(QFileInfo(DbServerSettings::embeddedFile()).fileName(), "not a database").isEmpty());
        Plotwright w;
        QString seen;
        answerForm(s, password, [&](QWidget *) { answerBoxes(&seen, 1); });
        QVERIFY(connectAtStartup(&w));
        QCOMPARE(seen, QStringLiteral("提示|无法连接服务器,进入离线编辑!\n"));
        const CDataLink *link = CDataLink::GetDataLink();
        QVERIFY(!link->online && link->idList.isEmpty() && !link->errorText().isEmpty());
        QVERIFY(windowTitleText(applicationTitle(), true).endsWith(QStringLiteral("(当前离线)")));
    }

    // The kept password is never readable by others, not even for a moment (with a umask that
    // would let everybody read new files), and a failure to keep or forget it is reported.
    void keptPasswordIsPrivate_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("before"); // "": no file, "file": an older one readable by all, "dir": a folder
        QTest::addColumn<QString>("box");
        const QString none;
        QTest::newRow("older file readable by all") << true << "file" << none;
        QTest::newRow("forgotten") << false << "file" << none;
        QTest::newRow("folder in the way") << true << QStringLiteral("dir") << "警告|无法保存密码文件 ";
        QTest::newRow("folder in the way of forgetting") << false << QStringLiteral("dir") << "警告|无法删除密码文件 ";
    }

    void keptPasswordIsPrivate()
    {
        QFETCH(bool, remember);
        QFETCH(QString, before);
        QFETCH(QString, box);
        const QString path = DbServerSettings::passwordFile();
        const QDir folder = QFileInfo(path).dir();
        QVERIFY(QDir().mkpath(folder.path()));
        const mode_t oldMask = ::umask(0);
        const auto restore = qScopeGuard([&] {
            ::umask(oldMask);
            QDir(path).removeRecursively();
            QFile::remove(path);
        });
        if (before == "file")
            QVERIFY(!writeFile(QDir(TestSupport::projectFolder()).relativeFilePath(path), "old").isEmpty()
                && QFile::setPermissions(path, QFile::Permissions(0x6644)));
        else if (before == "dir")
            QVERIFY(QDir().mkpath(path + "/inside"));

        QString seen;
        answerForm(TestBackend::settings(), QStringLiteral("密码 pass"), [&](QWidget *form) {
            form->findChild<QCheckBox *>(QStringLiteral("checkBox_RememberPassword"))->setChecked(remember);
            if (!box.isEmpty())
                answerBoxes(&seen, 1);
        });
        QCOMPARE(CDataLink::ShowSetDbServerForm(), 1);
        QVERIFY2(box.isEmpty() ? seen.isEmpty() : seen.startsWith(box), qPrintable(seen));
        if (before == "dir")
            return;
        // Nothing beside it either: no temporary copy left behind.
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden | QDir::System),
            remember ? QStringList{QFileInfo(path).fileName()} : QStringList());
        if (remember) {
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
            QCOMPARE(st.st_mode & 07777, mode_t(0600));
            QCOMPARE(DbServerSettings::savedPassword(), QStringLiteral("密码 pass"));
        }
    }

    // A shared server that drops the connection or goes away for a while: the next use
    // reconnects; while it cannot, the editor is offline and says so in its title, and it
    // comes back online by itself.
    void serverThatWentAwayComesBack()
    {
        if (!TestBackend::postgres())
            QSKIP("an embedded database does not go away");
        Plotwright w;
        answerForm(TestBackend::settings(), TestBackend::password());
        QVERIFY(connectAtStartup(&w));
        followConnectionState(&w, true);
        const QString online = w.windowTitle();
        QVERIFY2(online.contains(QStringLiteral("(当前在线;")), qPrintable(online));
        ServerGraph graph;
        graph.name = QStringLiteral("馈线");
        graph.graph = "graph bytes";
        {
            ServerDatabase other;
            QVERIFY(other.open(TestBackend::settings(), TestBackend::password()));
            QCOMPARE(other.store(graph), ServerDatabase::Store::Stored);
        }
        CDataLink *link = CDataLink::GetDataLink();
        const QString dir = AbstractGraphicsUtility::graphDir();
        // Connections to the database cannot be disallowed from within it.
        QSqlDatabase adminDb = QSqlDatabase::cloneDatabase(TestBackend::open(), QStringLiteral("admin"));
        adminDb.setDatabaseName(QStringLiteral("postgres"));
        QVERIFY(adminDb.open());
        QSqlQuery own(TestBackend::open());
        QVERIFY(own.exec(QStringLiteral("SELECT pg_backend_pid()")) && own.next());
        const int ownPid = own.value(0).toInt();
        QSqlQuery admin(adminDb);
        const QString database = TestBackend::settings().database;
        const auto allowConnections = [&](bool allow) {
            return admin.exec(QStringLiteral("ALTER DATABASE \"%1\" ALLOW_CONNECTIONS %2")
                                  .arg(database, allow ? QStringLiteral("true") : QStringLiteral("false")));
        };
        // Every connection of the data link (the test's own stays).
        const auto cutLink = [&] {
            admin.prepare(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                         "WHERE datname = ? AND pid <> ?"));
            admin.addBindValue(database);
            admin.addBindValue(ownPid);
            return admin.exec();
        };
        const auto reopen = qScopeGuard([&] {
            allowConnections(true);
            admin = QSqlQuery();
            adminDb.close();
        });

        // A use that should go through; a message box would tell why not, and is answered in time.
        QString seen;
        QVERIFY(cutLink());
        answerBoxes(&seen, 1);
        QVERIFY2(!link->fetchDizFile(graph.id, dir).isEmpty(), qPrintable(seen));
        TestSupport::cancelPendingModals();
        QCOMPARE(w.windowTitle(), online);

        QVERIFY2(allowConnections(false) && cutLink(), qPrintable(admin.lastError().text()));
        answerBoxes(&seen, 1);
        QVERIFY(link->fetchDizFile(graph.id, dir).isEmpty());
        QVERIFY2(seen.startsWith(QStringLiteral("提示|与服务器的连接已断开, 进入离线编辑: ")), qPrintable(seen));
        QVERIFY(!link->online);
        QVERIFY2(w.windowTitle().endsWith(QStringLiteral("(当前离线)")), qPrintable(w.windowTitle()));
        QVERIFY(!w.form().actionDIZ30->isEnabled());

        QVERIFY(allowConnections(true));
        QTRY_VERIFY_WITH_TIMEOUT(link->online, 3 * CDataLink::RetryIntervalMs);
        QCOMPARE(w.windowTitle(), online);
        QVERIFY(w.form().actionDIZ30->isEnabled());
    }

    // A statement, separators and a name far longer than a file name may be.
    void hostileGraphName()
    {
        const QString name = "x'); DROP TABLE graphs; --/\\:*?<>|\n." + QString(3000, QChar(0x957f));
        TestBackend::settings().save();
        QVERIFY(DbServerSettings::storePassword(TestBackend::password()));
        CDataLink *link = CDataLink::GetDataLink();
        QVERIFY(link->SetupRtuDev());
        ServerDatabase other; // a colleague's editor
        QVERIFY(other.open(TestBackend::settings(), TestBackend::password()));
        ServerGraph graph;
        graph.name = name;
        graph.graph = "graph bytes";
        QCOMPARE(other.store(graph), ServerDatabase::Store::Stored);

        const QString path = link->fetchDizFile(graph.id, AbstractGraphicsUtility::graphDir());
        // One file, right in the folder, short enough for any file system.
        QVERIFY(QFile::exists(path) && QFileInfo(path).fileName().toUtf8().size() <= 255);
        QCOMPARE(QFileInfo(path).absolutePath(), QDir(AbstractGraphicsUtility::graphDir()).absolutePath());
        QVERIFY(!link->SaveDizFile(path, writeFile("a.svg", "<svg/>")).isEmpty());
        const QList<ServerGraph> stored = other.graphs(0);
        QVERIFY(stored.size() == 1 && stored.first().revision == 2);
        QCOMPARE(stored.first().name, name);
    }
};

QTEST_MAIN(TestDataLink)
#include "tst_datalink.moc"
