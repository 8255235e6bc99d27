#include "folderbrowser.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FolderBrowser::FolderBrowser(const QString &title, const QString &folder, const QStringList &nameFilters,
                             QWidget *parent)
    : QDialog(parent)
    , m_folder(folder)
    , m_nameFilters(nameFilters)
    , m_list(new QListWidget(this))
    , m_summary(new QLabel(this))
{
    setWindowTitle(title);
    resize(640, 480);
    m_list->setObjectName(QStringLiteral("listWidget"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(64, 64));
    m_list->setGridSize(QSize(112, 100));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *refresh = buttons->addButton(QStringLiteral("刷新"), QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(refresh, &QPushButton::clicked, this, &FolderBrowser::on_Refresh);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    on_Refresh();
}

QStringList FolderBrowser::entries() const
{
    QStringList names;
    for (int i = 0; i < m_list->count(); ++i)
        names << m_list->item(i)->text();
    return names;
}

void FolderBrowser::on_Refresh()
{
    m_list->clear();
    QDir dir(m_folder);
    const QStringList files = dir.entryList(m_nameFilters, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : files)
        m_list->addItem(new QListWidgetItem(preview(dir.filePath(name)), name));
    m_summary->setText(QStringLiteral("%1  共 %2 个文件").arg(QDir::toNativeSeparators(m_folder)).arg(files.size()));
}

QIcon FolderBrowser::preview(const QString &path) const
{
    return QIcon(path);
}
