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

QString serverNameFor(const QString &projectDir)
{
    ProjectDirOverride override(projectDir);
    return SingleApplication::serverName();
}

QString socketPathFor(const QString &projectDir)
{
    return QDir::tempPath() + QLatin1Char('/') + serverNameFor(projectDir);
}

QProcessEnvironment probeEnvironment(const QString &projectDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ProjectDirVar), projectDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void startProbe(QProcess &process, const QString &projectDir, const QStringList &arguments)
{
    process.setProcessEnvironment(probeEnvironment(projectDir));
    process.setProgram(QStringLiteral(PROBE_PATH));
    process.setArguments(arguments);
    process.start();
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
QByteArray rawFrame(const QByteArray &payload, const QByteArray &tag = "PWP1")
{
    QByteArray length(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(payload.size()), length.data());
    return tag + length + payload;
}

QByteArray rawHeader(quint32 declaredLength)
{
    QByteArray length(4, Qt::Uninitialized);
    qToBigEndian<quint32>(declaredLength, length.data());
    return QByteArray("PWP1") + length;
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
    void initTestCase();

    // Handing a parameter over from a later start
    void handsOverFileArgument_data();
    void handsOverFileArgument();
    void laterStartWithoutArgumentSendsNothing();
    void editorStartedAgainHandsOverAndExits();
    void setParamWithoutListenerFails();
    void parameterSizeIsLimited();

    // Reading the socket
    void severalFramesOnOneConnection();
    void frameArrivingInPieces();
    void malformedMessageIsDropped_data();
    void malformedMessageIsDropped();

    // Starting
    void staleSocketDoesNotBlockStart();
    void simultaneousStartsElectOnePrimary();

    // Socket name and access
    void serverNameIsPerProjectFolder();
    void socketPathIsShortAndPrivate();

private:
    SingleApplication *m_app = nullptr;
    QLocalServer *m_server = nullptr;
};

void SingleApplicationTest::initTestCase()
{
    m_app = qobject_cast<SingleApplication *>(QCoreApplication::instance());
    QVERIFY(m_app);
    QVERIFY(!m_app->isRunning());
    m_server = m_app->findChild<QLocalServer *>();
    QVERIFY(m_server);
    QVERIFY(m_server->isListening());
    QVERIFY(QFileInfo::exists(PROBE_PATH));
}

void SingleApplicationTest::handsOverFileArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::newRow("plain path") << QStringLiteral("/data/feeder-12.pwg");
    QTest::newRow("spaces") << QStringLiteral("/data/north station/main bus 2.pwg");
    QTest::newRow("chinese and spaces") << QString::fromUtf8("/数据/变电站 一/主接线 图.pwg");
}

void SingleApplicationTest::handsOverFileArgument()
{
    QFETCH(QString, argument);
    QSignalSpy spy(m_app, &SingleApplication::param);

    QProcess probe;
    startProbe(probe, qEnvironmentVariable(ProjectDirVar), {argument});
    QVERIFY(probe.waitForFinished(15000));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(probe.readAllStandardOutput(), QByteArray("handed-over\n"));

    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
    drainEvents();
    QCOMPARE(spy.count(), 1);
    const QByteArray bytes = spy.at(0).at(0).toByteArray();
    // The probe forwards argv[1] untouched, i.e. the argument in the local 8-bit encoding.
    QCOMPARE(bytes, QFile::encodeName(argument));
    QCOMPARE(QFile::decodeName(bytes), argument);
}

void SingleApplicationTest::laterStartWithoutArgumentSendsNothing()
{
    QSignalSpy spy(m_app, &SingleApplication::param);

    QProcess probe;
    startProbe(probe, qEnvironmentVariable(ProjectDirVar), {});
    QVERIFY(probe.waitForFinished(15000));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(probe.readAllStandardOutput(), QByteArray("second\n"));

    drainEvents();
    QCOMPARE(spy.count(), 0);

    // The probe's connection is long in the socket buffers; once a later message has been
    // read, anything it had sent would have been seen too.
    QVERIFY(m_app->setParam("marker"));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
    drainEvents();
    QCOMPARE(received(spy), QList<QByteArray> {"marker"});
}

// The editor itself as the later start: it must hand its file over and leave with 0
// before building any window (a window would keep it running until the timeout).
void SingleApplicationTest::editorStartedAgainHandsOverAndExits()
{
    QSignalSpy spy(m_app, &SingleApplication::param);
    const QString file = QString::fromUtf8("/数据/主接线 图.drw");

    QProcess editor;
    editor.setProcessEnvironment(probeEnvironment(qEnvironmentVariable(ProjectDirVar)));
    editor.setProgram(QStringLiteral(EDITOR_PATH));
    editor.setArguments({file, QStringLiteral("ignored-second-argument")});
    editor.start();
    QVERIFY(editor.waitForFinished(15000));
    QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(editor.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
    QCOMPARE(QString::fromLocal8Bit(spy.at(0).at(0).toByteArray()), file);

    editor.setArguments({});
    editor.start();
    QVERIFY(editor.waitForFinished(15000));
    QCOMPARE(editor.exitCode(), 0);
    drainEvents();
    QCOMPARE(spy.count(), 1);
}

void SingleApplicationTest::setParamWithoutListenerFails()
{
    QTemporaryDir otherProject;
    QVERIFY(otherProject.isValid());
    ProjectDirOverride override(otherProject.path());

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!m_app->setParam("nobody listens"));
    QVERIFY2(timer.elapsed() < 3000, "setParam must give up quickly when nobody listens");
}

void SingleApplicationTest::parameterSizeIsLimited()
{
    QSignalSpy spy(m_app, &SingleApplication::param);

    QVERIFY(!m_app->setParam(QByteArray(int(SingleApplication::MaxParamSize) + 1, 'x')));

    const QByteArray largest(int(SingleApplication::MaxParamSize), 'y');
    QVERIFY(m_app->setParam(largest));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
    drainEvents();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toByteArray(), largest);
}

void SingleApplicationTest::severalFramesOnOneConnection()
{
    QSignalSpy spy(m_app, &SingleApplication::param);

    QLocalSocket socket;
    socket.connectToServer(SingleApplication::serverName());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(rawFrame("first") + rawFrame("") + rawFrame("third one"));
    QVERIFY(socket.flush());

    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 5000);
    QCOMPARE(received(spy), (QList<QByteArray> {"first", "", "third one"}));
    // Several frames are not a reason to hang up.
    QCOMPARE(socket.state(), QLocalSocket::ConnectedState);
    socket.disconnectFromServer();
}

void SingleApplicationTest::frameArrivingInPieces()
{
    QSignalSpy spy(m_app, &SingleApplication::param);

    QLocalSocket socket;
    socket.connectToServer(SingleApplication::serverName());
    QVERIFY(socket.waitForConnected(2000));
    const QByteArray bytes = rawFrame("/data/bit by bit.pwg");
    for (char byte : bytes) {
        QCOMPARE(spy.count(), 0);
        socket.write(&byte, 1);
        QVERIFY(socket.flush());
        drainEvents();
    }
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
    QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("/data/bit by bit.pwg"));
    socket.disconnectFromServer();
}

void SingleApplicationTest::malformedMessageIsDropped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("serverHangsUp");

    QTest::newRow("huge length") << rawHeader(0xFFFFFFFFu) << true;
    QTest::newRow("one byte over the limit")
        << rawHeader(SingleApplication::MaxParamSize + 1) + QByteArray(64, 'z') << true;
    QTest::newRow("garbage") << QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n") << true;
    // Without the tag check this would read as a well-formed three-byte message.
    QTest::newRow("wrong tag") << rawFrame("abc", "XXXX") << true;
    QTest::newRow("garbage before a good frame") << QByteArray("junk") + rawFrame("abc") << true;
    QTest::newRow("truncated payload") << rawHeader(100) + QByteArray(10, 'p') << false;
    QTest::newRow("truncated header") << QByteArray("PWP") << false;
}

void SingleApplicationTest::malformedMessageIsDropped()
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
    QProcess probe;
    startProbe(probe, qEnvironmentVariable(ProjectDirVar), {QString::fromLatin1(after)});
    QVERIFY(probe.waitForFinished(15000));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(probe.readAllStandardOutput(), QByteArray("handed-over\n"));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 5000);
    drainEvents();
    QCOMPARE(received(spy), QList<QByteArray> {after});
}

void SingleApplicationTest::staleSocketDoesNotBlockStart()
{
    QTemporaryDir project;
    QVERIFY(project.isValid());
    const QString socketPath = socketPathFor(project.path());

    // A first instance that dies without cleaning up leaves its socket file behind.
    QProcess crashed;
    QByteArray crashedOutput;
    startProbe(crashed, project.path(), {QStringLiteral("--wait-param")});
    QVERIFY(waitForLine(crashed, crashedOutput, "primary"));
    QVERIFY(QFileInfo::exists(socketPath));
    crashed.kill();
    QVERIFY(crashed.waitForFinished(5000));
    QCOMPARE(crashed.exitStatus(), QProcess::CrashExit);
    QVERIFY(QFileInfo::exists(socketPath));
    {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        QVERIFY(!socket.waitForConnected(2000));
        QCOMPARE(socket.error(), QLocalSocket::ConnectionRefusedError);
    }

    QProcess next;
    QByteArray nextOutput;
    startProbe(next, project.path(), {QStringLiteral("--wait-param")});
    QVERIFY2(waitForLine(next, nextOutput, "primary", 5000), nextOutput.constData());

    // And it is reachable, i.e. it listens on the real name and not on a side path.
    QProcess later;
    startProbe(later, project.path(), {QStringLiteral("/data/after crash.pwg")});
    QVERIFY(later.waitForFinished(15000));
    QCOMPARE(later.exitCode(), 0);
    QCOMPARE(later.readAllStandardOutput(), QByteArray("handed-over\n"));

    QVERIFY(next.waitForFinished(15000));
    QCOMPARE(next.exitCode(), 0);
    nextOutput += next.readAllStandardOutput();
    QCOMPARE(nextOutput, QByteArray("primary\n/data/after crash.pwg\n"));
    // A clean exit removes the socket file.
    QVERIFY(!QFileInfo::exists(socketPath));
}

void SingleApplicationTest::simultaneousStartsElectOnePrimary()
{
    // Both get the same argument: the one that turns out first waits for a parameter, the
    // other hands "--wait-param" over to it. Two primaries would both wait in vain.
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir project;
        QVERIFY(project.isValid());
        QProcess a;
        QProcess b;
        startProbe(a, project.path(), {QStringLiteral("--wait-param")});
        startProbe(b, project.path(), {QStringLiteral("--wait-param")});
        QVERIFY(a.waitForFinished(15000));
        QVERIFY(b.waitForFinished(15000));
        QList<QByteArray> outputs {a.readAllStandardOutput(), b.readAllStandardOutput()};
        std::sort(outputs.begin(), outputs.end());
        QCOMPARE(outputs, (QList<QByteArray> {"handed-over\n", "primary\n--wait-param\n"}));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
    }
}

void SingleApplicationTest::serverNameIsPerProjectFolder()
{
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid());
    QVERIFY(second.isValid());

    const QString firstName = serverNameFor(first.path());
    QCOMPARE(serverNameFor(first.path() + QLatin1Char('/')), firstName);
    QVERIFY(serverNameFor(second.path()) != firstName);

    const QRegularExpression pattern(QStringLiteral("^plotwright-%1-[0-9a-f]{8}$").arg(::getuid()));
    QVERIFY2(pattern.match(firstName).hasMatch(), qPrintable(firstName));

    QCOMPARE(m_server->serverName(), SingleApplication::serverName());
}

void SingleApplicationTest::socketPathIsShortAndPrivate()
{
    const QString fullName = m_server->fullServerName();
    QCOMPARE(fullName, socketPathFor(qEnvironmentVariable(ProjectDirVar)));
    // sun_path holds 107 bytes, and with an access option Qt first binds under a temporary
    // folder named after the full name, which needs a few bytes more.
    QVERIFY2(QFile::encodeName(fullName).size() < 100, qPrintable(fullName));

    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QVERIFY(QFileInfo::exists(fullName));
    QCOMPARE(QFile::permissions(fullName) & others, QFile::Permissions());
}

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
