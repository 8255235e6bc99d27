#ifndef SINGLEAPPLICATION_H
#define SINGLEAPPLICATION_H

#include <QApplication>
#include <QByteArray>

class QLocalServer;
class QLocalSocket;

// The application object that makes sure one editor runs per user and project folder.
// A later start finds the running one, hands its parameter over and exits.
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    SingleApplication(int &argc, char **argv);
    ~SingleApplication() override;

    // True when another instance was already running when this one started.
    bool isRunning() const { return m_running; }
    // Sends a parameter to the running instance; true when it was delivered.
    bool setParam(const QByteArray &parameter);

    // Name of the local socket shared by the instances of this user and project folder.
    static QString serverName();

    // Largest parameter accepted; a parameter is a file path, anything bigger is refused.
    static constexpr quint32 MaxParamSize = 64 * 1024;

signals:
    void param(const QByteArray &parameter);

private:
    void startServer();
    void acceptClients();
    void readClient(QLocalSocket *socket);
    void dropClient(QLocalSocket *socket);

    bool m_running = false;
    QLocalServer *m_server = nullptr;
};

#endif
