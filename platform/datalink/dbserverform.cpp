#include "dbserverform.h"

#include "pointlistimport.h"
#include "serverdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *lineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// Connecting and importing may take a moment on a remote server.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

DbServerForm::DbServerForm(QWidget *parent)
    : QDialog(parent)
    , m_kind(new QComboBox(this))
    , m_file(lineEdit(this, "lineEdit_File"))
    , m_host(lineEdit(this, "lineEdit_Host"))
    , m_port(new QSpinBox(this))
    , m_database(lineEdit(this, "lineEdit_Database"))
    , m_user(lineEdit(this, "lineEdit_User"))
    , m_password(lineEdit(this, "lineEdit_Password"))
    , m_remember(new QCheckBox(QStringLiteral("记住密码(&R)"), this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("DbServerForm"));
    setWindowTitle(QStringLiteral("数据库服务器"));
    setModal(true);

    m_kind->setObjectName(QStringLiteral("comboBox_Kind"));
    m_kind->addItem(QStringLiteral("内置数据库(本机)"), int(DbServerSettings::Embedded));
    m_kind->addItem(QStringLiteral("PostgreSQL 服务器(多人共用)"), int(DbServerSettings::PostgreSql));
    m_file->setReadOnly(true);
    m_file->setText(QDir::toNativeSeparators(DbServerSettings::embeddedFile()));
    m_port->setObjectName(QStringLiteral("spinBox_Port"));
    m_port->setRange(1, 65535);
    m_password->setEchoMode(QLineEdit::Password);
    m_remember->setObjectName(QStringLiteral("checkBox_RememberPassword"));
    m_status->setObjectName(QStringLiteral("label_Status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const DbServerSettings s = DbServerSettings::load();
    m_kind->setCurrentIndex(m_kind->findData(int(s.kind)));
    m_host->setText(s.host);
    m_port->setValue(s.port);
    m_database->setText(s.database);
    m_user->setText(s.user);
    m_remember->setChecked(s.rememberPassword);
    if (s.rememberPassword)
        m_password->setText(DbServerSettings::savedPassword());

    auto *embedded = new QWidget(this);
    auto *embeddedForm = new QFormLayout(embedded);
    embeddedForm->setContentsMargins(0, 0, 0, 0);
    embeddedForm->addRow(QStringLiteral("数据库文件:"), m_file);
    auto *server = new QWidget(this);
    auto *serverForm = new QFormLayout(server);
    serverForm->setContentsMargins(0, 0, 0, 0);
    serverForm->addRow(QStringLiteral("服务器(&H):"), m_host);
    serverForm->addRow(QStringLiteral("端口(&P):"), m_port);
    serverForm->addRow(QStringLiteral("数据库(&D):"), m_database);
    serverForm->addRow(QStringLiteral("用户名(&U):"), m_user);
    serverForm->addRow(QStringLiteral("密码(&W):"), m_password);
    serverForm->addRow(QString(), m_remember);
    auto *pages = new QStackedWidget(this);
    pages->addWidget(embedded);
    pages->addWidget(server);
    pages->setCurrentIndex(m_kind->currentIndex());
    connect(m_kind, QOverload<int>::of(&QComboBox::currentIndexChanged), pages, &QStackedWidget::setCurrentIndex);
    connect(m_kind, QOverload<int>::of(&QComboBox::currentIndexChanged), m_status, &QLabel::clear);

    auto *kindForm = new QFormLayout;
    kindForm->addRow(QStringLiteral("数据库类型(&K):"), m_kind);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("确定"));
    ok->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    // Enter confirms the form wherever the focus is; these two act only when clicked.
    QPushButton *test = buttons->addButton(QStringLiteral("测试连接(&T)"), QDialogButtonBox::ActionRole);
    test->setObjectName(QStringLiteral("pushButton_Test"));
    test->setAutoDefault(false);
    QPushButton *import = buttons->addButton(QStringLiteral("导入点表(&I)..."), QDialogButtonBox::ActionRole);
    import->setObjectName(QStringLiteral("pushButton_Import"));
    import->setAutoDefault(false);
    connect(test, &QPushButton::clicked, this, &DbServerForm::testConnection);
    connect(import, &QPushButton::clicked, this, &DbServerForm::importPointList);
    connect(buttons, &QDialogButtonBox::accepted, this, &DbServerForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DbServerForm::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(kindForm);
    layout->addWidget(pages);
    layout->addWidget(m_status);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(460, sizeHint().height());
}

DbServerSettings DbServerForm::settings() const
{
    DbServerSettings s;
    s.kind = DbServerSettings::Kind(m_kind->currentData().toInt());
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.database = m_database->text().trimmed();
    s.user = m_user->text().trimmed();
    s.rememberPassword = m_remember->isChecked();
    return s;
}

QString DbServerForm::password() const
{
    return m_password->text();
}

void DbServerForm::accept()
{
    const DbServerSettings s = settings();
    s.save();
    QString error;
    if (!DbServerSettings::storePassword(s.rememberPassword ? password() : QString(), &error)) {
        // The connection goes ahead with the password as typed; only keeping (or forgetting) it failed.
        const QString file = QDir::toNativeSeparators(DbServerSettings::passwordFile());
        QMessageBox::warning(this, QStringLiteral("警告"),
            (s.rememberPassword ? QStringLiteral("无法保存密码文件 %1:\n%2!")
                                : QStringLiteral("无法删除密码文件 %1:\n%2!"))
                .arg(file, error));
    }
    QDialog::accept();
}

void DbServerForm::testConnection()
{
    // A real connection, so an empty database gets its tables here already, as on connect.
    WaitCursor wait;
    ServerDatabase db;
    if (db.open(settings(), password()))
        m_status->setText(QStringLiteral("连接成功: %1, 点记录 %2 条").arg(db.description()).arg(db.pointCount()));
    else
        m_status->setText(QStringLiteral("连接失败: %1").arg(db.errorText()));
}

void DbServerForm::importPointList()
{
    const QString summary = PointListImport::run(this, settings(), password());
    if (!summary.isEmpty())
        m_status->setText(summary);
}
