// The test process is itself the first SingleApplication of its temporary project folder, to
// which the editor's later starts hand over; the probe plays a start in another project folder
// (another socket name) among sockets that are not to be trusted.
#include "singleapplication.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char ProjectDirVar[] = "PLOTWRIGHT_PROJECT_DIR";
// Another user's account (only root can act as it): the one nobody logs in as.
constexpr uid_t OtherUid = 65534;
// The temporary folder outside the test's own (which only this user may enter).
QString outerTemp;

// Sets (or, with a null value, removes) an environment variable for the lifetime of the
// object, so that serverName() and setParam() can be asked about another folder.
struct EnvOverride
{
    EnvOverride(const char *name, const QString &value)
        : name(name)
        , had(qEnvironmentVariableIsSet(name))
        , old(qgetenv(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
    }
    ~EnvOverride() { had ? qputenv(name, old) : qunsetenv(name); }
    const char *name;
    bool had;
    QByteArray old;
};

QString ownProject()
{
    return qEnvironmentVariable(ProjectDirVar);
}

QString socketPathFor(const QString &projectDir)
{
    EnvOverride override(ProjectDirVar, projectDir);
    return SingleApplication::serverName();
}

void start(QProcess &process, const QStringList &arguments, const QString &projectDir = ownProject(),
    const char *program = PROBE_PATH, const QProcessEnvironment &extra = QProcessEnvironment())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ProjectDirVar), projectDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(extra);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(projectDir);
    process.start(QString::fromLatin1(program), arguments);
}

// Runs a start to its end, with this process's event loop running so that its own instance
// answers: the start's output, or "failed" unless it left normally with code 0. The bound only
// guards against a hang, so it is generous for loaded machines.
QByteArray run(const QStringList &arguments, const QString &projectDir = ownProject(), const char *program = PROBE_PATH,
    const QProcessEnvironment &extra = QProcessEnvironment())
{
    QProcess process;
    start(process, arguments, projectDir, program, extra);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    if (!finished.wait(15000)) {
        process.kill();
        process.waitForFinished(5000);
        return "failed";
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? process.readAllStandardOutput()
                                                                                   : "failed";
}

const QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
const QFile::Permissions OthersMayEnter
    = OwnerOnly | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

// Reads the probe's output until it holds `line` as a whole line or the time is up.
bool waitForLine(QProcess &process, QByteArray &output, const QByteArray &line, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        output += process.readAllStandardOutput();
        if (output.split('\n').contains(line))
            return true;
        if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
}

// The bytes setParam puts on the socket, built independently so that the reader is tested
// against the format rather than against the writer.
QByteArray rawFrame(const QByteArray &payload, const QByteArray &tag = "PWP1", qint64 declaredLength = -1)
{
    QByteArray length(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(declaredLength < 0 ? payload.size() : declaredLength), length.data());
    return tag + length + payload;
}

QList<QByteArray> received(const QSignalSpy &spy)
{
    QList<QByteArray> list;
    for (const QList<QVariant> &arguments : spy)
        list << arguments.at(0).toByteArray();
    return list;
}

// Lets pending socket and queued events run, so that a wrong late emission would show up.
void drainEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class SingleApplicationTest : public QObject
{
    Q_OBJECT

    enum Sender
    {
        Start,
        Param,
        Socket,
        BytewiseSocket
    };

    enum Holder
    {
        SharedName,
        SymlinkedFolder,
        OpenRuntimeFolder,
        Impostor,
        Silent
    };

private slots:
    void initTestCase()
    {
        m_app = qobject_cast<SingleApplication *>(QCoreApplication::instance());
        QVERIFY(m_app && !m_app->isRunning());
        m_server = m_app->findChild<QLocalServer *>();
        QVERIFY(m_server && m_server->isListening());
    }

    // What reaches the instance: what a later start of the editor hands over (the local 8-bit
    // bytes of its argv[1] made absolute; it leaves with 0 before building any window, with or without one), a
    // parameter up to the limit, several frames on one connection arriving a byte at a time;
    // nothing of a malformed message, after which the connection ends and the instance keeps
    // serving. A marker sent last shows that anything sent before has been seen.
    void whatReachesTheInstance_data()
    {
        QTest::addColumn<int>("sender");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("bytes"); // the parameter, or what is written on a socket
        QTest::addColumn<QByteArray>("result"); // the start's output, or what becomes of the sender
        QTest::addColumn<QByteArrayList>("delivered");
        const auto start = [](const char *tag, const QStringList &arguments, const QByteArrayList &delivered) {
            QTest::newRow(tag) << int(Start) << arguments << QByteArray() << QByteArray() << delivered;
        };
        const auto send = [](const char *tag, Sender sender, const QByteArray &bytes, const QByteArray &result,
                              const QByteArrayList &delivered = {}) {
            QTest::newRow(tag) << int(sender) << QStringList() << bytes << result << delivered;
        };
        const QString chinese = QString::fromUtf8("/数据/变电站 一/主接线 图.pwg");
        start("editor, chinese and spaces", {chinese, "ignored-second-argument"}, {QFile::encodeName(chinese)});
        start("editor, no argument", {}, {});
        // Resolved in the later start's working folder (the project folder), not the instance's.
        start("editor, relative path", {"sub/bay.tpl"},
            {QFile::encodeName(QFileInfo(ownProject()).canonicalFilePath() + "/sub/bay.tpl")});
        const QByteArray largest(int(SingleApplication::MaxParamSize), 'y');
        send("largest parameter", Param, largest, "sent", {largest});
        send("parameter over the limit", Param, largest + 'x', "refused");
        send("frames arriving in pieces", BytewiseSocket,
            rawFrame("/data/bit by bit.pwg") + rawFrame("") + rawFrame("third one"), "stays connected",
            {"/data/bit by bit.pwg", "", "third one"});
        send("one byte over the limit", Socket,
            rawFrame(QByteArray(64, 'z'), "PWP1", SingleApplication::MaxParamSize + 1), "hung up");
        // Without the tag check this would read as a well-formed three-byte message.
        send("wrong tag", Socket, rawFrame("abc", "XXXX"), "hung up");
        send("truncated payload", Socket, rawFrame(QByteArray(10, 'p'), "PWP1", 100), "left");
    }

    void whatReachesTheInstance()
    {
        QFETCH(int, sender);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, result);
        QFETCH(QByteArrayList, delivered);
        QSignalSpy spy(m_app, &SingleApplication::param);
        QLocalSocket socket;
        if (sender == Start) {
            QCOMPARE(run(arguments, ownProject(), EDITOR_PATH), result);
        } else if (sender == Param) {
            QCOMPARE(QByteArray(m_app->setParam(bytes) ? "sent" : "refused"), result);
        } else {
            socket.connectToServer(SingleApplication::serverName());
            QVERIFY(socket.waitForConnected(2000));
            // A frame read before its last byte would come out cut short.
            for (int i = 0; i < bytes.size(); i += sender == Socket ? bytes.size() : 1) {
                socket.write(bytes.mid(i, sender == Socket ? bytes.size() : 1));
                QVERIFY(socket.flush());
                drainEvents();
            }
            if (result == "left")
                socket.disconnectFromServer();
        }
        QVERIFY(m_app->setParam("marker"));
        QTRY_VERIFY_WITH_TIMEOUT(received(spy).contains("marker"), 5000);
        drainEvents();
        QCOMPARE(received(spy), delivered + QByteArrayList{"marker"});
        if (sender >= Socket)
            QTRY_COMPARE_WITH_TIMEOUT(socket.state(),
                result == "stays connected" ? QLocalSocket::ConnectedState : QLocalSocket::UnconnectedState, 5000);
    }

    void socketNameAndAccess()
    {
        // One name per project folder (the other cases' folders show it), however it is spelled.
        QTemporaryDir first;
        QCOMPARE(socketPathFor(first.path() + QLatin1Char('/')), socketPathFor(first.path()));
        const QString fullName = m_server->fullServerName();
        // The socket and its lock sit in a folder that only this user may enter.
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(QFileInfo(fullName).path()).constData(), &st) == 0);
        QVERIFY(S_ISDIR(st.st_mode) && st.st_uid == ::geteuid());
        QCOMPARE(st.st_mode & 0777, mode_t(0700));

        // A private runtime folder of the session is preferred.
        QTemporaryDir runtime(QDir::tempPath() + QStringLiteral("/r-XXXXXX"));
        QVERIFY(QFile::setPermissions(runtime.path(), OwnerOnly));
        EnvOverride xdg("XDG_RUNTIME_DIR", runtime.path());
        QCOMPARE(QFileInfo(socketPathFor(first.path())).path(), runtime.path());
    }

    // Whoever holds a socket where a later start might look, other than this user's editor
    // answering in its private folder, is never handed the start's file name, and the start
    // does not hang on it: a socket in the shared temporary folder, behind a symlinked private
    // folder (as one of another user would be), in a runtime folder open to others; another
    // user's program in our own folder (its credentials give it away); a listener that never
    // answers, as a stopped instance.
    void laterStartTellsNobodyElse_data()
    {
        QTest::addColumn<int>("holder");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("name in the shared temporary folder") << int(SharedName) << QByteArray("primary\n");
        QTest::newRow("private folder is a symlink") << int(SymlinkedFolder) << QByteArray("alone\n");
        QTest::newRow("runtime folder open to others") << int(OpenRuntimeFolder) << QByteArray("primary\n");
        QTest::newRow("another user's program in our folder") << int(Impostor) << QByteArray("alone\n");
        QTest::newRow("listener that never answers") << int(Silent) << QByteArray("alone\n");
    }

    void laterStartTellsNobodyElse()
    {
        QFETCH(int, holder);
        QFETCH(QByteArray, expected);
        if (holder == Impostor && ::geteuid() != 0)
            QSKIP("only root can run a program as another user");
        QTemporaryDir project;
        QTemporaryDir temp(outerTemp + QStringLiteral("/t-XXXXXX"));
        const QString ownSocket = socketPathFor(project.path());
        const QString privateFolder = temp.path() + QStringLiteral("/plotwright-%1").arg(::geteuid());
        QProcessEnvironment env;
        QString folder = temp.path(); // where a listener of this test's own is put
        QProcess impostor;
        QByteArray output;
        switch (holder) {
        case SymlinkedFolder:
            folder += QStringLiteral("/elsewhere");
            QVERIFY(
                QDir().mkdir(folder) && QFile::setPermissions(folder, OwnerOnly) && QFile::link(folder, privateFolder));
            break;
        case OpenRuntimeFolder:
            folder += QStringLiteral("/runtime");
            QVERIFY(QDir().mkdir(folder) && QFile::setPermissions(folder, OthersMayEnter));
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
            break;
        case Impostor: {
            // Bound in a folder open to it, then moved into ours.
            QVERIFY(QFile::setPermissions(temp.path(), OthersMayEnter | QFile::WriteGroup | QFile::WriteOther));
            const QString bound = temp.path() + QStringLiteral("/s");
            start(impostor, {QStringLiteral("--impostor"), bound, QString::number(OtherUid)});
            QVERIFY(waitForLine(impostor, output, "listening"));
            QVERIFY(::rename(QFile::encodeName(bound).constData(), QFile::encodeName(ownSocket).constData()) == 0);
            break;
        }
        case Silent: folder = QFileInfo(ownSocket).path(); break;
        }
        if (holder < Impostor)
            env.insert(QStringLiteral("TMPDIR"), temp.path());
        QLocalServer listener;
        QVERIFY(holder == Impostor || listener.listen(folder + QLatin1Char('/') + QFileInfo(ownSocket).fileName()));

        QCOMPARE(run({QStringLiteral("/data/secret.drw")}, project.path(), PROBE_PATH, env), expected);
        // A listener of our own was at most knocked at: not one byte of the file name reached it.
        QByteArray heard;
        while (listener.waitForNewConnection(0)) {
            QLocalSocket *knock = listener.nextPendingConnection();
            QVERIFY(holder == Silent);
            knock->waitForDisconnected(2000);
            heard += knock->readAll();
        }
        QCOMPARE(heard, QByteArray());
        if (holder == Impostor) {
            // It takes its connections in turn: once it has seen this one, it has seen all.
            QLocalSocket marker;
            marker.connectToServer(ownSocket);
            QVERIFY(marker.waitForConnected(5000));
            // Its greeting first, so that it is done writing before the connection closes.
            while (marker.bytesAvailable() < 4)
                QVERIFY(marker.waitForReadyRead(5000));
            marker.write("end");
            QVERIFY(marker.flush());
            marker.disconnectFromServer();
            QVERIFY2(waitForLine(impostor, output, "got:end"), output.constData());
            QVERIFY2(!output.contains("secret"), output.constData());
        }
        // It may have ended while an event loop ran, when waitForFinished() would report false.
        QVERIFY(impostor.state() == QProcess::NotRunning || impostor.waitForFinished(5000));
    }

private:
    SingleApplication *m_app = nullptr;
    QLocalServer *m_server = nullptr;
};

int main(int argc, char **argv)
{
    // The instances of this test live in a temporary folder of their own, apart from the user's.
    outerTemp = QDir::tempPath();
    QTemporaryDir temp(outerTemp + QStringLiteral("/sa-XXXXXX"));
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qunsetenv("XDG_RUNTIME_DIR");
    QTemporaryDir project;
    qputenv(ProjectDirVar, QFile::encodeName(project.path()));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("PlotwrightTests"));

    SingleApplication app(argc, argv);
    if (app.isRunning()) {
        qCritical("another instance already listens on %s", qPrintable(SingleApplication::serverName()));
        return 1;
    }
    SingleApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleapplication.moc"
