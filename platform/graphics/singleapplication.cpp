#include "singleapplication.h"

#include "abstractgraphicsutility.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Wire format of one parameter: "PWP1", the payload length (both big-endian 32 bit), the payload.
// The tag lets the running instance throw away anything that is not one of ours at the first bytes.
constexpr quint32 FrameTag = 0x50575031;
constexpr qint64 HeaderSize = 8;

constexpr int ConnectTimeoutMs = 500;
constexpr int WriteTimeoutMs = 2000;
constexpr int LockTimeoutMs = 2000;

enum class Peer
{
    Answered,
    Busy,
    Nobody,
    Unknown
};

// Asks whether an instance listens on the name. Only a refused connection or a missing socket file
// means that nobody is there; only then may the caller take the name over.
Peer probePeer(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(ConnectTimeoutMs)) {
        socket.abort();
        return Peer::Answered;
    }
    const QLocalSocket::LocalSocketError error = socket.error();
    const bool stillConnecting = socket.state() == QLocalSocket::ConnectingState;
    socket.abort();
    if (error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError)
        return Peer::Nobody;
    // A full listen backlog: an instance exists but does not accept right now.
    if (stillConnecting || error == QLocalSocket::SocketTimeoutError)
        return Peer::Busy;
    return Peer::Unknown;
}

QByteArray frame(const QByteArray &payload)
{
    QByteArray bytes(HeaderSize, Qt::Uninitialized);
    qToBigEndian<quint32>(FrameTag, bytes.data());
    qToBigEndian<quint32>(quint32(payload.size()), bytes.data() + 4);
    return bytes + payload;
}

} // namespace

SingleApplication::SingleApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The name depends on the project folder, which may depend on applicationDirPath(),
    // so it can only be computed now that the application object exists.
    const QString name = serverName();

    // Two starts at the same moment (two files opened at once) would both find nobody and the
    // later listen would silently replace the earlier socket. The lock makes the second one wait
    // until the first listens. Should the lock not be obtained, starting unserialised is better
    // than not starting.
    QLockFile lock(QDir::tempPath() + QLatin1Char('/') + name + QStringLiteral(".lock"));
    lock.tryLock(LockTimeoutMs);

    switch (probePeer(name)) {
    case Peer::Answered:
    case Peer::Busy:
        m_running = true;
        break;
    case Peer::Nobody:
        startServer();
        break;
    case Peer::Unknown:
        // Something we cannot talk to sits on the name (e.g. a file of another user).
        // Run on our own rather than remove it.
        qWarning("SingleApplication: local socket %s neither answers nor refuses; running without it",
            qPrintable(name));
        break;
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
}

QString SingleApplication::serverName()
{
#ifdef Q_OS_UNIX
    const QString user = QString::number(::getuid());
#else
    const QString user = QString::fromLatin1(
        QCryptographicHash::hash(qEnvironmentVariable("USERNAME").toUtf8(), QCryptographicHash::Sha256)
            .left(4)
            .toHex());
#endif
    // A hash rather than the folder itself: socket paths are limited to about 100 bytes and the
    // temporary folder already takes part of that.
    const QByteArray digest = QCryptographicHash::hash(
        AbstractGraphicsUtility::projectDir().toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("plotwright-%1-%2").arg(user, QString::fromLatin1(digest.left(4).toHex()));
}

void SingleApplication::startServer()
{
    const QString name = serverName();
    // Only called after nobody answered on the name, so a file left there is from a crashed instance.
    QLocalServer::removeServer(name);

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        qWarning("SingleApplication: cannot listen on %s: %s", qPrintable(name),
            qPrintable(m_server->errorString()));
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

    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;

    const QByteArray bytes = frame(parameter);
    if (socket.write(bytes) != bytes.size())
        return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(WriteTimeoutMs))
            return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(WriteTimeoutMs);
    return true;
}

void SingleApplication::acceptClients()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readClient(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // Whatever complete frames arrived before the hang-up still count; a partial one is lost.
            readClient(socket);
            socket->deleteLater();
        });
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
