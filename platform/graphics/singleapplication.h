#ifndef SINGLEAPPLICATION_H
#define SINGLEAPPLICATION_H

#include <QApplication>
#include <QByteArray>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

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

    // Why this instance runs on its own although it could not make sure it is the only one
    // (for the user); empty when it is the first instance or hands over to a running one.
    QString notice() const { return m_notice; }

    // Full path of the local socket shared by the instances of this user and project folder,
    // inside a folder only this user may use; empty when there is no such folder.
    static QString serverName();

    // Largest parameter accepted; a parameter is a file path, anything bigger is refused.
    static constexpr quint32 MaxParamSize = 64 * 1024;
    // How long a later start waits for the running instance to answer before it starts on its own.
    static constexpr int AnswerTimeoutMs = 3000;

signals:
    void param(const QByteArray &parameter);

private:
    enum class Peer;
    Peer contact(const QString &name);
    void runAlone(const QString &why);
    void startServer(const QString &name);
    void acceptClients();
    void readClient(QLocalSocket *socket);
    void dropClient(QLocalSocket *socket);

    bool m_running = false;
    QString m_notice;
    QLocalServer *m_server = nullptr;
    // The connection to the running instance, kept from the check for setParam().
    QLocalSocket *m_link = nullptr;
    // Held by a first instance until its event loop runs, i.e. until it can answer.
    std::unique_ptr<QLockFile> m_lock;
};

#endif
