#include "dbserverform.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const char *const GroupName = "dbServer";
}

DbServerSettings DbServerSettings::load()
{
    DbServerSettings s;
    QSettings settings;
    settings.beginGroup(QLatin1String(GroupName));
    s.host = settings.value(QStringLiteral("host"), s.host).toString();
    s.port = settings.value(QStringLiteral("port"), s.port).toInt();
    s.database = settings.value(QStringLiteral("database"), s.database).toString();
    s.user = settings.value(QStringLiteral("user"), s.user).toString();
    settings.endGroup();
    return s;
}

void DbServerSettings::save() const
{
    QSettings settings;
    settings.beginGroup(QLatin1String(GroupName));
    settings.setValue(QStringLiteral("host"), host);
    settings.setValue(QStringLiteral("port"), port);
    settings.setValue(QStringLiteral("database"), database);
    settings.setValue(QStringLiteral("user"), user);
    settings.endGroup();
}

DbServerForm::DbServerForm(QWidget *parent)
    : QDialog(parent)
    , m_host(new QLineEdit(this))
    , m_port(new QSpinBox(this))
    , m_database(new QLineEdit(this))
    , m_user(new QLineEdit(this))
    , m_password(new QLineEdit(this))
{
    setObjectName(QStringLiteral("DbServerForm"));
    setWindowTitle(QStringLiteral("数据库服务器"));
    setModal(true);

    m_host->setObjectName(QStringLiteral("lineEdit_Host"));
    m_port->setObjectName(QStringLiteral("spinBox_Port"));
    m_port->setRange(1, 65535);
    m_database->setObjectName(QStringLiteral("lineEdit_Database"));
    m_user->setObjectName(QStringLiteral("lineEdit_User"));
    m_password->setObjectName(QStringLiteral("lineEdit_Password"));
    m_password->setEchoMode(QLineEdit::Password);

    const DbServerSettings s = DbServerSettings::load();
    m_host->setText(s.host);
    m_port->setValue(s.port);
    m_database->setText(s.database);
    m_user->setText(s.user);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("服务器:"), m_host);
    form->addRow(QStringLiteral("端口:"), m_port);
    form->addRow(QStringLiteral("数据库:"), m_database);
    form->addRow(QStringLiteral("用户名:"), m_user);
    form->addRow(QStringLiteral("密码:"), m_password);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &DbServerForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DbServerForm::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

DbServerSettings DbServerForm::settings() const
{
    DbServerSettings s;
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.database = m_database->text().trimmed();
    s.user = m_user->text().trimmed();
    return s;
}

QString DbServerForm::password() const
{
    return m_password->text();
}

void DbServerForm::accept()
{
    settings().save();
    QDialog::accept();
}
