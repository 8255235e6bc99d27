#include "singleapplication.h"

#include "abstractgraphicsutility.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Wire format of one parameter: "PWP1", the payload length (both big-endian 32 bit), the payload.
// The tag lets the running instance throw away anything that is not one of ours at the first bytes.
constexpr quint32 FrameTag = 0x50575031;
constexpr qint64 HeaderSize = 8;
// What the running instance says first on every connection, from its event loop: a later start
// that does not hear it in time knows the instance is hung (or is not ours) and starts on its own.
const char Greeting[] = "PWH1";
constexpr qint64 GreetingSize = 4;

constexpr int ConnectTimeoutMs = 500;
constexpr int WriteTimeoutMs = 2000;
// A first instance holds the lock until its event loop runs; building the main window may take
// a few seconds, and a start that waits for it in vain still comes up on its own afterwards.
constexpr int LockTimeoutMs = 5000;

QByteArray frame(const QByteArray &payload)
{
    QByteArray bytes(HeaderSize, Qt::Uninitialized);
    qToBigEndian<quint32>(FrameTag, bytes.data());
    qToBigEndian<quint32>(quint32(payload.size()), bytes.data() + 4);
    return bytes + payload;
}

#ifdef Q_OS_UNIX
// A folder that nobody but this user can enter, list or write: a real directory (not a link
// somebody could point elsewhere), owned by the user, without any rights for others.
bool isPrivateDir(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()
        && (st.st_mode & 077) == 0;
}

// Whether the process at the other end of a connected local socket runs as this user. The
// credentials are those of the process that listens (or connects), whoever made the file.
bool samePeer(QLocalSocket *socket)
{
    const int fd = int(socket->socketDescriptor());
#if defined(Q_OS_LINUX)
    struct ucred credentials;
    socklen_t size = sizeof credentials;
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0
        && credentials.uid == ::geteuid();
#else
    uid_t uid;
    gid_t gid;
    return fd >= 0 && ::getpeereid(fd, &uid, &gid) == 0 && uid == ::geteuid();
#endif
}
#else
bool samePeer(QLocalSocket *)
{
    return true;
} // named pipes are per session already
#endif

// The folder for the socket and its lock: the session's runtime folder when it is private,
// else a private folder of the user's own in the temporary folder; empty when neither is safe.
// In a shared folder another user could create the name first and receive our file names.
QString privateDir()
{
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateDir(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/plotwright-%1").arg(::geteuid());
    // Created without rights for others whatever the umask; an existing one must pass the same test.
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateDir(own) ? own : QString();
#else
    return QStringLiteral("."); // a pipe name, not a path
#endif
}

QString userId()
{
#ifdef Q_OS_UNIX
    return QString::number(::geteuid());
#else
    return QString::fromLatin1(
        QCryptographicHash::hash(qEnvironmentVariable("USERNAME").toUtf8(), QCryptographicHash::Sha256)
            .left(4)
            .toHex());
#endif
}

} // namespace

enum class SingleApplication::Peer
{
    Answered, // one of our instances, of this user, answered in time; m_link holds the connection
    Nobody, // no socket, or a file left by an instance that is gone
    Silent, // something listens but does not answer in time: a hung instance
    Foreign, // the listener runs as another user
    Unknown // something else that we cannot talk to
};

SingleApplication::SingleApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The name depends on the project folder, which may depend on applicationDirPath(),
    // so it can only be computed now that the application object exists.
    const QString name = serverName();
    if (name.isEmpty()) {
        runAlone(QStringLiteral("没有只属于本用户的临时文件夹, 本编辑器独立运行, 不与其他实例共用窗口。"));
        return;
    }

    // Two starts at the same moment (two files opened at once) would both find nobody and the
    // later listen would replace the earlier socket. The lock makes the second one wait until
    // the first can answer. Should the lock not be obtained, starting unserialised is better
    // than not starting.
    m_lock = std::make_unique<QLockFile>(name + QStringLiteral(".lock"));
    m_lock->tryLock(LockTimeoutMs);

    switch (contact(name)) {
    case Peer::Answered: m_running = true; break;
    case Peer::Nobody: startServer(name); break;
    case Peer::Silent:
        // Its socket stays: the instance may recover, and it removes its socket file when it ends.
        runAlone(QStringLiteral("正在运行的编辑器 %1 秒内没有响应, 本编辑器独立运行。").arg(AnswerTimeoutMs / 1000));
        break;
    case Peer::Foreign:
        runAlone(QStringLiteral("编辑器的本地连接 %1 属于其他用户, 本编辑器独立运行。").arg(name));
        break;
    case Peer::Unknown: runAlone(QStringLiteral("编辑器的本地连接 %1 无法使用, 本编辑器独立运行。").arg(name)); break;
    }
    if (!m_server) {
        m_lock.reset();
    } else {
        // Queued: runs once the event loop (or a dialog's) processes events, when the greeting
        // can be sent; until then later starts wait on the lock instead of timing out.
        QMetaObject::invokeMethod(
            this, [this] { m_lock.reset(); }, Qt::QueuedConnection);
    }
}

SingleApplication::~SingleApplication()
{
    // Closed here rather than among the QObject children, so that the socket file is gone and
    // the client sockets are deleted while the event dispatcher still exists.
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    delete m_link;
    m_link = nullptr;
}

QString SingleApplication::serverName()
{
    const QString dir = privateDir();
    if (dir.isEmpty())
        return QString();
    // A hash rather than the folder itself: socket paths are limited to about 100 bytes and the
    // runtime folder already takes part of that.
    const QByteArray digest
        = QCryptographicHash::hash(AbstractGraphicsUtility::projectDir().toUtf8(), QCryptographicHash::Sha256);
    return dir + QStringLiteral("/plotwright-%1-%2").arg(userId(), QString::fromLatin1(digest.left(4).toHex()));
}

SingleApplication::Peer SingleApplication::contact(const QString &name)
{
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(name);
    if (!socket->waitForConnected(int(deadline.remainingTime()))) {
        const QLocalSocket::LocalSocketError error = socket->error();
        if (error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError)
            return Peer::Nobody;
        // Still connecting: a full listen backlog, i.e. an instance that does not accept.
        if (socket->state() == QLocalSocket::ConnectingState || error == QLocalSocket::SocketTimeoutError)
            return Peer::Silent;
        return Peer::Unknown;
    }
    // Checked before a single byte is read or written: another user's process learns nothing.
    if (!samePeer(socket.get()))
        return Peer::Foreign;
    while (socket->bytesAvailable() < GreetingSize) {
        if (deadline.hasExpired() || !socket->waitForReadyRead(int(deadline.remainingTime())))
            return socket->state() == QLocalSocket::ConnectedState ? Peer::Silent : Peer::Unknown;
    }
    if (socket->read(GreetingSize) != QByteArray(Greeting, GreetingSize))
        return Peer::Unknown;
    m_link = socket.release();
    return Peer::Answered;
}

void SingleApplication::runAlone(const QString &why)
{
    m_notice = why;
    qWarning("%s", qUtf8Printable(why));
}

void SingleApplication::startServer(const QString &name)
{
    // Only called after nobody answered on the name, so a file left there is from an instance
    // that is gone; in our private folder nobody else can have put it there.
    QLocalServer::removeServer(name);

    // No socket options: the folder keeps others out, and with an option Qt would bind elsewhere
    // and rename the socket over the name, replacing whatever listens there.
    m_server = new QLocalServer(this);
    if (!m_server->listen(name)) {
        runAlone(
            QStringLiteral("编辑器无法建立本地连接 %1 (%2), 本编辑器独立运行。").arg(name, m_server->errorString()));
        delete m_server;
        m_server = nullptr;
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::acceptClients);
}

bool SingleApplication::setParam(const QByteArray &parameter)
{
    if (quint32(parameter.size()) > MaxParamSize)
        return false;

    QLocalSocket own;
    QLocalSocket *socket = m_link;
    if (!socket || socket->state() != QLocalSocket::ConnectedState) {
        const QString name = serverName();
        if (name.isEmpty())
            return false;
        own.connectToServer(name);
        if (!own.waitForConnected(ConnectTimeoutMs) || !samePeer(&own))
            return false;
        socket = &own;
    }

    const QByteArray bytes = frame(parameter);
    if (socket->write(bytes) != bytes.size())
        return false;
    while (socket->bytesToWrite() > 0) {
        if (!socket->waitForBytesWritten(WriteTimeoutMs))
            return false;
    }
    socket->disconnectFromServer();
    if (socket->state() != QLocalSocket::UnconnectedState)
        socket->waitForDisconnected(WriteTimeoutMs);
    return true;
}

void SingleApplication::acceptClients()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        if (!samePeer(socket)) {
            dropClient(socket);
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readClient(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // Whatever complete frames arrived before the hang-up still count; a partial one is lost.
            readClient(socket);
            socket->deleteLater();
        });
        socket->write(Greeting, GreetingSize);
        readClient(socket);
    }
}

void SingleApplication::readClient(QLocalSocket *socket)
{
    for (;;) {
        const qint64 available = socket->bytesAvailable();
        if (available < 4)
            return;
        char header[HeaderSize];
        const qint64 seen = socket->peek(header, qMin(available, HeaderSize));
        if (seen < 4 || qFromBigEndian<quint32>(header) != FrameTag) {
            dropClient(socket);
            return;
        }
        if (seen < HeaderSize)
            return;
        const quint32 length = qFromBigEndian<quint32>(header + 4);
        if (length > MaxParamSize) {
            dropClient(socket);
            return;
        }
        if (available < HeaderSize + qint64(length))
            return;

        socket->skip(HeaderSize);
        const QByteArray payload = socket->read(length);
        // Queued, so that a receiver opening a dialog does not run inside this socket's signal.
        QMetaObject::invokeMethod(
            this, [this, payload] { emit param(payload); }, Qt::QueuedConnection);
    }
}

void SingleApplication::dropClient(QLocalSocket *socket)
{
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
