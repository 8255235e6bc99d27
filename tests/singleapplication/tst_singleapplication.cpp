// The test process is itself the first SingleApplication of its temporary project folder; the
// probe executable plays the later starts. Other project folders give other socket names, which
// lets a test run its own first instance without disturbing the test process's server. Another
// user is played by folders and sockets given to an unused account, which only root can do.
#include "singleapplication.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char ProjectDirVar[] = "PLOTWRIGHT_PROJECT_DIR";
// Another account: the one nobody logs in as.
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
    process.start(QString::fromLatin1(program), arguments);
}

// Runs a start to its end, with this process's event loop running so that its own instance
// answers: the start's output, or "failed" unless it left normally with code 0.
QByteArray run(const QStringList &arguments, const QString &projectDir = ownProject(), const char *program = PROBE_PATH,
    const QProcessEnvironment &extra = QProcessEnvironment())
{
    QProcess process;
    start(process, arguments, projectDir, program, extra);
    QSignalSpy finished(&process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    if (!finished.wait(SingleApplication::AnswerTimeoutMs + 7000)) {
        process.kill();
        process.waitForFinished(5000);
        return "failed";
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? process.readAllStandardOutput()
                                                                                   : "failed";
}

bool setMode(const QString &path, QFile::Permissions permissions, uid_t owner = ::geteuid())
{
    return QFile::setPermissions(path, permissions)
        && (owner == ::geteuid() || ::chown(QFile::encodeName(path).constData(), owner, owner) == 0);
}

const QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
const QFile::Permissions OthersMayEnter
    = OwnerOnly | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

// Whether the process ends within the time; it may have ended already while an event loop ran,
// when waitForFinished() would report false.
bool ends(QProcess &process, int timeoutMs = 15000)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(timeoutMs);
}

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

    enum Holder
    {
        SharedName,
        SymlinkedFolder,
        OpenRuntimeFolder,
        ForeignFolder,
        ForeignRuntimeFolder,
        Impostor,
        Silent,
        Stopped
    };

private slots:
    void initTestCase()
    {
        m_app = qobject_cast<SingleApplication *>(QCoreApplication::instance());
        QVERIFY(m_app && !m_app->isRunning());
        m_server = m_app->findChild<QLocalServer *>();
        QVERIFY(m_server && m_server->isListening());
        QVERIFY(QFileInfo::exists(PROBE_PATH));
    }

    // A later start hands its first argument over, as the local 8-bit bytes of argv[1], and
    // without one sends nothing; the editor itself leaves with 0 before building any window
    // (a window would keep it running until the timeout). A marker sent last shows that
    // anything the start had sent has been seen.
    void laterStartHandsOver_data()
    {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        const QString chinese = QString::fromUtf8("/数据/变电站 一/主接线 图.pwg");
        QTest::newRow("plain path") << QByteArray(PROBE_PATH) << QStringList{"/data/feeder-12.pwg"}
                                    << QByteArray("handed-over\n");
        QTest::newRow("chinese and spaces")
            << QByteArray(PROBE_PATH) << QStringList{chinese} << QByteArray("handed-over\n");
        QTest::newRow("no argument") << QByteArray(PROBE_PATH) << QStringList() << QByteArray("second\n");
        QTest::newRow("editor") << QByteArray(EDITOR_PATH) << QStringList{chinese, "ignored-second-argument"}
                                << QByteArray();
        QTest::newRow("editor, no argument") << QByteArray(EDITOR_PATH) << QStringList() << QByteArray();
    }

    void laterStartHandsOver()
    {
        QFETCH(QByteArray, program);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, output);
        QSignalSpy spy(m_app, &SingleApplication::param);
        QCOMPARE(run(arguments, ownProject(), program.constData()), output);
        QVERIFY(m_app->setParam("marker"));
        QTRY_VERIFY_WITH_TIMEOUT(received(spy).contains("marker"), 5000);
        drainEvents();
        QList<QByteArray> expected{"marker"};
        if (!arguments.isEmpty())
            expected.prepend(QFile::encodeName(arguments.first()));
        QCOMPARE(received(spy), expected);
    }

    void parameterLimits()
    {
        QSignalSpy spy(m_app, &SingleApplication::param);
        QVERIFY(!m_app->setParam(QByteArray(int(SingleApplication::MaxParamSize) + 1, 'x')));
        const QByteArray largest(int(SingleApplication::MaxParamSize), 'y');
        QVERIFY(m_app->setParam(largest));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        drainEvents();
        QCOMPARE(received(spy), QList<QByteArray>{largest});
        // Nobody listens for another project folder.
        QTemporaryDir otherProject;
        EnvOverride override(ProjectDirVar, otherProject.path());
        QVERIFY(!m_app->setParam("nobody listens"));
    }

    // Several frames on one connection, arriving a byte at a time.
    void framesArrivingInPieces()
    {
        QSignalSpy spy(m_app, &SingleApplication::param);
        QLocalSocket socket;
        socket.connectToServer(SingleApplication::serverName());
        QVERIFY(socket.waitForConnected(2000));
        const QByteArray first = rawFrame("/data/bit by bit.pwg");
        const QByteArray bytes = first + rawFrame("") + rawFrame("third one");
        for (int i = 0; i < bytes.size(); ++i) {
            // Never a frame before its last byte.
            QVERIFY(spy.count() <= (i < first.size() ? 0 : i < first.size() + 8 ? 1 : 2));
            socket.write(bytes.constData() + i, 1);
            QVERIFY(socket.flush());
            drainEvents();
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 5000);
        QCOMPARE(received(spy), (QList<QByteArray>{"/data/bit by bit.pwg", "", "third one"}));
        // Several frames are not a reason to hang up.
        QCOMPARE(socket.state(), QLocalSocket::ConnectedState);
    }

    void malformedMessageIsDropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("serverHangsUp");
        QTest::newRow("huge length") << rawFrame("", "PWP1", 0xFFFFFFFFu) << true;
        QTest::newRow("one byte over the limit")
            << rawFrame(QByteArray(64, 'z'), "PWP1", SingleApplication::MaxParamSize + 1) << true;
        QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n") << true;
        // Without the tag check this would read as a well-formed three-byte message.
        QTest::newRow("wrong tag") << rawFrame("abc", "XXXX") << true;
        QTest::newRow("garbage before a good frame") << QByteArray("junk") + rawFrame("abc") << true;
        QTest::newRow("truncated payload") << rawFrame(QByteArray(10, 'p'), "PWP1", 100) << false;
        QTest::newRow("truncated header") << QByteArray("PWP") << false;
    }

    void malformedMessageIsDropped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, serverHangsUp);
        QSignalSpy spy(m_app, &SingleApplication::param);
        QLocalSocket socket;
        socket.connectToServer(SingleApplication::serverName());
        QVERIFY(socket.waitForConnected(2000));
        socket.write(bytes);
        QVERIFY(socket.flush());
        if (!serverHangsUp)
            socket.disconnectFromServer();
        QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 5000);

        // The instance keeps serving: a proper handover right after is delivered, and only it.
        const QByteArray after = QByteArray("after ") + QTest::currentDataTag();
        QCOMPARE(run({QString::fromLatin1(after)}), QByteArray("handed-over\n"));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        drainEvents();
        QCOMPARE(received(spy), QList<QByteArray>{after});
    }

    void staleSocketDoesNotBlockStart()
    {
        QTemporaryDir project;
        const QString socketPath = socketPathFor(project.path());

        // A first instance that dies without cleaning up leaves its socket file behind.
        QProcess crashed;
        QByteArray crashedOutput;
        start(crashed, {QStringLiteral("--wait-param")}, project.path());
        QVERIFY(waitForLine(crashed, crashedOutput, "primary"));
        crashed.kill();
        QVERIFY(crashed.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(socketPath));
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        QVERIFY(!socket.waitForConnected(2000));
        QCOMPARE(socket.error(), QLocalSocket::ConnectionRefusedError);

        QProcess next;
        QByteArray nextOutput;
        start(next, {QStringLiteral("--wait-param")}, project.path());
        QVERIFY2(waitForLine(next, nextOutput, "primary", 5000), nextOutput.constData());
        // And it is reachable, i.e. it listens on the real name and not on a side path.
        QCOMPARE(run({QStringLiteral("/data/after crash.pwg")}, project.path()), QByteArray("handed-over\n"));
        QVERIFY(ends(next));
        QCOMPARE(next.exitCode(), 0);
        QCOMPARE(nextOutput + next.readAllStandardOutput(), QByteArray("primary\n/data/after crash.pwg\n"));
        // A clean exit removes the socket file.
        QVERIFY(!QFileInfo::exists(socketPath));
    }

    void simultaneousStartsElectOnePrimary()
    {
        // Both get the same argument: the one that turns out first waits for a parameter, the
        // other hands "--wait-param" over to it. Two primaries would both wait in vain.
        for (int round = 0; round < 3; ++round) {
            QTemporaryDir project;
            QProcess a;
            QProcess b;
            start(a, {QStringLiteral("--wait-param")}, project.path());
            start(b, {QStringLiteral("--wait-param")}, project.path());
            QVERIFY(ends(a) && ends(b));
            QList<QByteArray> outputs{a.readAllStandardOutput(), b.readAllStandardOutput()};
            std::sort(outputs.begin(), outputs.end());
            QCOMPARE(outputs, (QList<QByteArray>{"handed-over\n", "primary\n--wait-param\n"}));
            QVERIFY(a.exitCode() == 0 && b.exitCode() == 0);
        }
    }

    void socketNameAndAccess()
    {
        // One name per user and project folder, however the folder is spelled.
        QTemporaryDir first;
        QTemporaryDir second;
        const QString firstPath = socketPathFor(first.path());
        QCOMPARE(socketPathFor(first.path() + QLatin1Char('/')), firstPath);
        QVERIFY(socketPathFor(second.path()) != firstPath);
        const QRegularExpression pattern(
            QStringLiteral("^%1/plotwright-%2/plotwright-%2-[0-9a-f]{8}$").arg(QDir::tempPath()).arg(::geteuid()));
        QVERIFY2(pattern.match(firstPath).hasMatch(), qPrintable(firstPath));

        const QString fullName = m_server->fullServerName();
        QCOMPARE(fullName, socketPathFor(ownProject()));
        // sun_path holds 107 bytes.
        QVERIFY2(QFile::encodeName(fullName).size() < 100, qPrintable(fullName));
        // The socket and its lock sit in a folder that only this user may enter.
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(QFileInfo(fullName).path()).constData(), &st) == 0);
        QVERIFY(S_ISDIR(st.st_mode) && st.st_uid == ::geteuid());
        QCOMPARE(st.st_mode & 0777, mode_t(0700));

        // A private runtime folder of the session is preferred.
        QTemporaryDir runtime(QDir::tempPath() + QStringLiteral("/r-XXXXXX"));
        QVERIFY(setMode(runtime.path(), OwnerOnly));
        EnvOverride xdg("XDG_RUNTIME_DIR", runtime.path());
        QCOMPARE(QFileInfo(socketPathFor(first.path())).path(), runtime.path());
    }

    // Whoever holds a socket where a later start might look, other than this user's editor
    // answering in its private folder, is never handed the start's file name, and the start
    // does not hang on it: somebody else's socket in the shared temporary folder, behind a
    // symlink, in a runtime folder open to others or in another user's folder; another user's
    // program in our own folder (its credentials give it away; only root can arrange that);
    // a listener that never answers and an instance that stopped.
    void laterStartTellsNobodyElse_data()
    {
        QTest::addColumn<int>("holder");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("name in the shared temporary folder") << int(SharedName) << QByteArray("primary\n");
        QTest::newRow("private folder is a symlink") << int(SymlinkedFolder) << QByteArray("alone\n");
        QTest::newRow("runtime folder open to others") << int(OpenRuntimeFolder) << QByteArray("primary\n");
        QTest::newRow("private folder of another user") << int(ForeignFolder) << QByteArray("alone\n");
        QTest::newRow("runtime folder of another user") << int(ForeignRuntimeFolder) << QByteArray("primary\n");
        QTest::newRow("another user's program in our folder") << int(Impostor) << QByteArray("alone\n");
        QTest::newRow("listener that never answers") << int(Silent) << QByteArray("alone\n");
        QTest::newRow("stopped instance") << int(Stopped) << QByteArray("alone\n");
    }

    void laterStartTellsNobodyElse()
    {
        QFETCH(int, holder);
        QFETCH(QByteArray, expected);
        if ((holder == ForeignFolder || holder == ForeignRuntimeFolder || holder == Impostor) && ::geteuid() != 0)
            QSKIP("only root can give a folder or a socket to another user");
        QTemporaryDir project;
        QTemporaryDir temp(outerTemp + QStringLiteral("/t-XXXXXX"));
        const QString ownSocket = socketPathFor(project.path());
        const QString privateFolder = temp.path() + QStringLiteral("/plotwright-%1").arg(::geteuid());
        QProcessEnvironment env;
        QString folder = temp.path(); // where a listener of this test's own is put
        QProcess other; // the impostor or the stopped instance
        QByteArray output;
        switch (holder) {
        case SymlinkedFolder:
            folder += QStringLiteral("/elsewhere");
            QVERIFY(QDir().mkdir(folder) && setMode(folder, OwnerOnly) && QFile::link(folder, privateFolder));
            break;
        case ForeignFolder:
            folder = privateFolder;
            QVERIFY(QDir().mkdir(folder) && setMode(folder, OwnerOnly, OtherUid));
            break;
        case OpenRuntimeFolder:
        case ForeignRuntimeFolder:
            folder += QStringLiteral("/runtime");
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(
                holder == OpenRuntimeFolder ? setMode(folder, OthersMayEnter) : setMode(folder, OwnerOnly, OtherUid));
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
            break;
        case Impostor: {
            // Bound in a folder open to it, then moved into ours.
            QVERIFY(QFile::setPermissions(temp.path(), OthersMayEnter | QFile::WriteGroup | QFile::WriteOther));
            const QString bound = temp.path() + QStringLiteral("/s");
            start(other, {QStringLiteral("--impostor"), bound, QString::number(OtherUid)});
            QVERIFY(waitForLine(other, output, "listening"));
            QVERIFY(::rename(QFile::encodeName(bound).constData(), QFile::encodeName(ownSocket).constData()) == 0);
            break;
        }
        case Silent: folder = QFileInfo(ownSocket).path(); break;
        case Stopped:
            start(other, {QStringLiteral("--wait-param")}, project.path());
            QVERIFY(waitForLine(other, output, "primary"));
            QCOMPARE(run({}, project.path()), QByteArray("second\n")); // it did answer once
            QVERIFY(::kill(pid_t(other.processId()), SIGSTOP) == 0);
            break;
        }
        if (holder < Impostor)
            env.insert(QStringLiteral("TMPDIR"), temp.path());
        QLocalServer listener;
        QVERIFY((holder >= Impostor && holder != Silent)
            || listener.listen(folder + QLatin1Char('/') + QFileInfo(ownSocket).fileName()));

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
        if (holder == Stopped) {
            ::kill(pid_t(other.processId()), SIGCONT);
            other.kill();
        } else if (holder == Impostor) {
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
            QVERIFY2(waitForLine(other, output, "got:end"), output.constData());
            QVERIFY2(!output.contains("secret"), output.constData());
        }
        QVERIFY(ends(other, 5000));
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
    if (!temp.isValid())
        return 1;
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    qunsetenv("XDG_RUNTIME_DIR");
    QTemporaryDir project;
    if (!project.isValid())
        return 1;
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
