#ifndef DBSERVERFORM_H
#define DBSERVERFORM_H

#include <QDialog>
#include <QString>

class QLineEdit;
class QSpinBox;

// Server coordinates as the user last confirmed them (per-user settings; never the password).
struct DbServerSettings
{
    QString host = QStringLiteral("127.0.0.1");
    int port = 5432;
    QString database = QStringLiteral("plotwright");
    QString user;

    static DbServerSettings load();
    void save() const;
};

// The modal form in which the user confirms the automation system's database server.
class DbServerForm : public QDialog
{
    Q_OBJECT
public:
    explicit DbServerForm(QWidget *parent = nullptr);

    DbServerSettings settings() const;
    QString password() const;

    void accept() override;

private:
    QLineEdit *m_host;
    QSpinBox *m_port;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_password;
};

#endif
