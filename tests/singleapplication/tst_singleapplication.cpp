// The test process is itself the first SingleApplication of its temporary project folder; the
// probe executable plays the later starts. Other project folders give other socket names, which
// lets a test run its own first instance without disturbing the test process's server.
#include "singleapplication.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <unistd.h>

namespace {

const char ProjectDirVar[] = "PLOTWRIGHT_PROJECT_DIR";

// Switches the project folder of this process for the lifetime of the object, so that
// serverName() and setParam() can be asked about another folder.
class ProjectDirOverride
{
public:
    explicit ProjectDirOverride(const QString &dir)
        : m_old(qgetenv(ProjectDirVar))
    {
        qputenv(ProjectDirVar, QFile::encodeName(dir));
    }
    ~ProjectDirOverride() { qputenv(ProjectDirVar, m_old); }

private:
    QByteArray m_old;
};

QString ownProject()
{
    return qEnvironmentVariable(ProjectDirVar);
}

QString socketPathFor(const QString &projectDir)
{
    ProjectDirOverride override(projectDir);
    return QDir::tempPath() + QLatin1Char('/') + SingleApplication::serverName();
}

void start(QProcess &process, const QStringList &arguments, const QString &projectDir = ownProject(),
    const char *program = PROBE_PATH)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ProjectDirVar), projectDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QString::fromLatin1(program), arguments);
}

// Runs a start to its end: its output, or "failed" unless it left normally with code 0.
QByteArray run(
    const QStringList &arguments, const QString &projectDir = ownProject(), const char *program = PROBE_PATH)
{
    QProcess process;
    start(process, arguments, projectDir, program);
    if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return "failed";
    return process.readAllStandardOutput();
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

private slots:
    void initTestCase()
    {
        m_app = qobject_cast<SingleApplication *>(QCoreApplication::instance());
        QVERIFY(m_app && !m_app->isRunning());
        m_server = m_app->findChild<QLocalServer *>();
        QVERIFY(m_server && m_server->isListening());
        QVERIFY(QFileInfo::exists(PROBE_PATH));
    }

    void handsOverFileArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("plain path") << QStringLiteral("/data/feeder-12.pwg");
        QTest::newRow("chinese and spaces") << QString::fromUtf8("/数据/变电站 一/主接线 图.pwg");
    }

    void handsOverFileArgument()
    {
        QFETCH(QString, argument);
        QSignalSpy spy(m_app, &SingleApplication::param);
        QCOMPARE(run({argument}), QByteArray("handed-over\n"));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        drainEvents();
        // The probe forwards argv[1] untouched, i.e. the argument in the local 8-bit encoding.
        QCOMPARE(received(spy), QList<QByteArray> {QFile::encodeName(argument)});
    }

    void laterStartWithoutArgumentSendsNothing()
    {
        QSignalSpy spy(m_app, &SingleApplication::param);
        QCOMPARE(run({}), QByteArray("second\n"));
        // The probe's connection is long in the socket buffers; once a later message has been
        // read, anything it had sent would have been seen too.
        QVERIFY(m_app->setParam("marker"));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        drainEvents();
        QCOMPARE(received(spy), QList<QByteArray> {"marker"});
    }

    // The editor itself as the later start: it must hand its file over and leave with 0
    // before building any window (a window would keep it running until the timeout).
    void editorStartedAgainHandsOverAndExits()
    {
        QSignalSpy spy(m_app, &SingleApplication::param);
        const QString file = QString::fromUtf8("/数据/主接线 图.drw");
        QCOMPARE(
            run({file, QStringLiteral("ignored-second-argument")}, ownProject(), EDITOR_PATH), QByteArray());
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        QCOMPARE(QString::fromLocal8Bit(spy.at(0).at(0).toByteArray()), file);
        QCOMPARE(run({}, ownProject(), EDITOR_PATH), QByteArray());
        drainEvents();
        QCOMPARE(spy.count(), 1);
    }

    void parameterLimits()
    {
        QSignalSpy spy(m_app, &SingleApplication::param);
        QVERIFY(!m_app->setParam(QByteArray(int(SingleApplication::MaxParamSize) + 1, 'x')));
        const QByteArray largest(int(SingleApplication::MaxParamSize), 'y');
        QVERIFY(m_app->setParam(largest));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
        drainEvents();
        QCOMPARE(received(spy), QList<QByteArray> {largest});
        // Nobody listens for another project folder.
        QTemporaryDir otherProject;
        ProjectDirOverride override(otherProject.path());
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
        QCOMPARE(received(spy), (QList<QByteArray> {"/data/bit by bit.pwg", "", "third one"}));
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
        QCOMPARE(received(spy), QList<QByteArray> {after});
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
        QVERIFY(next.waitForFinished(15000));
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
            QVERIFY(a.waitForFinished(15000) && b.waitForFinished(15000));
            QList<QByteArray> outputs {a.readAllStandardOutput(), b.readAllStandardOutput()};
            std::sort(outputs.begin(), outputs.end());
            QCOMPARE(outputs, (QList<QByteArray> {"handed-over\n", "primary\n--wait-param\n"}));
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
        const QRegularExpression pattern(QStringLiteral("/plotwright-%1-[0-9a-f]{8}$").arg(::getuid()));
        QVERIFY2(pattern.match(firstPath).hasMatch(), qPrintable(firstPath));

        const QString fullName = m_server->fullServerName();
        QCOMPARE(fullName, socketPathFor(ownProject()));
        // sun_path holds 107 bytes, and with an access option Qt first binds under a temporary
        // folder named after the full name, which needs a few bytes more.
        QVERIFY2(QFile::encodeName(fullName).size() < 100, qPrintable(fullName));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QVERIFY(QFileInfo::exists(fullName));
        QCOMPARE(QFile::permissions(fullName) & others, QFile::Permissions());
    }

private:
    SingleApplication *m_app = nullptr;
    QLocalServer *m_server = nullptr;
};

int main(int argc, char **argv)
{
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
