#ifndef DBSERVERFORM_H
#define DBSERVERFORM_H

#include "dbserversettings.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The modal form in which the user chooses the database: the embedded file in the project
// folder, or a shared server with its address and account. From here the connection can be
// tried and a point list imported into the chosen database.
class DbServerForm : public QDialog
{
    Q_OBJECT
public:
    explicit DbServerForm(QWidget *parent = nullptr);

    DbServerSettings settings() const;
    QString password() const;

    // Remembers the choice for the user (and the password when asked to), then closes.
    void accept() override;

private:
    void testConnection();
    void importPointList();

    QComboBox *m_kind;
    QLineEdit *m_file;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_remember;
    QLabel *m_status;
};

#endif
