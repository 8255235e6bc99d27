// An editor start in miniature for tst_singleapplication: prints "primary" as a first instance
// that serves later starts, "alone" when it runs on its own, "running" when it found one to hand
// over to. "--impostor PATH UID": another user's program on PATH that greets like an editor,
// prints "got:<bytes>" per connection and ends on "end".
#include "singleapplication.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

void printLine(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int impostor(int argc, char **argv)
{
    const uid_t uid = uid_t(QByteArray(argv[3]).toUInt());
    if (::setgid(uid) != 0 || ::setuid(uid) != 0)
        return 3;
    QCoreApplication app(argc, argv);
    QLocalServer server;
    if (!server.listen(QString::fromLocal8Bit(argv[2])))
        return 4;
    printLine("listening");
    while (server.waitForNewConnection(15000)) {
        QLocalSocket *socket = server.nextPendingConnection();
        // It answers like an editor would, so only the credentials can give it away.
        socket->write("PWH1");
        socket->flush();
        QByteArray bytes;
        do
            bytes += socket->readAll();
        while (socket->waitForReadyRead(5000));
        bytes += socket->readAll();
        printLine("got:" + bytes);
        if (bytes == "end")
            return 0;
        delete socket;
    }
    return 5;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--impostor") == 0)
        return impostor(argc, argv);

    SingleApplication app(argc, argv);
    printLine(app.isRunning() ? "running" : app.notice().isEmpty() ? "primary" : "alone");
    return 0;
}
