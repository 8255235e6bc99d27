#include "folderbrowser.h"
#include "filechooser.h"
#include "safefile.h"

#include "librarychoice.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A failed import never leaves half a file in place of a good one.
bool copyInto(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = in.readAll();
    return in.error() == QFile::NoError && SafeFile::replace(target, bytes);
}

} // namespace

FolderBrowser::FolderBrowser(const QString &title, int toolType, QWidget *parent)
    : QDialog(parent)
    , m_toolType(toolType)
    , m_folder(LibraryChoice::folder(toolType))
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
    const auto add = [this, buttons](const char *name, const QString &text, void (FolderBrowser::*slot)()) {
        QPushButton *button = buttons->addButton(text, QDialogButtonBox::ActionRole);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    add("pushButtonImport", QStringLiteral("导入..."), &FolderBrowser::importFiles);
    m_rename = add("pushButtonRename", QStringLiteral("重命名..."), &FolderBrowser::renameEntry);
    m_delete = add("pushButtonDelete", QStringLiteral("删除"), &FolderBrowser::deleteEntry);
    m_choose = add("pushButtonChoose", QStringLiteral("设为当前"), &FolderBrowser::chooseEntry);
    add("pushButtonRefresh", QStringLiteral("刷新"), &FolderBrowser::on_Refresh);
    QPushButton *close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("pushButtonClose"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListWidget::currentItemChanged, this, &FolderBrowser::updateButtons);
    // A double click chooses the entry, as in a picker.
    connect(m_list, &QListWidget::itemActivated, this, &FolderBrowser::chooseEntry);

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
    const QString selected = selectedEntry();
    m_list->clear();
    const QStringList files = LibraryChoice::entries(m_toolType);
    const QString current = LibraryChoice::current(m_toolType);
    for (const QString &name : files) {
        auto *item = new QListWidgetItem(preview(m_folder + name), name, m_list);
        if (name == current) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    }
    select(selected);
    QString summary = QStringLiteral("%1  共 %2 个文件").arg(QDir::toNativeSeparators(m_folder)).arg(files.size());
    if (!current.isEmpty())
        summary += QStringLiteral("  当前选用: %1").arg(current);
    m_summary->setText(summary);
    updateButtons();
}

QIcon FolderBrowser::preview(const QString &path) const
{
    return QIcon(path);
}

QString FolderBrowser::selectedEntry() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->text() : QString();
}

void FolderBrowser::select(const QString &name)
{
    const QList<QListWidgetItem *> found = m_list->findItems(name, Qt::MatchExactly);
    m_list->setCurrentItem(found.value(0));
}

void FolderBrowser::updateButtons()
{
    const bool any = m_list->currentItem() != nullptr;
    m_rename->setEnabled(any);
    m_delete->setEnabled(any);
    m_choose->setEnabled(any);
}

void FolderBrowser::warn(const QString &text)
{
    QMessageBox::warning(this, windowTitle(), text, QMessageBox::Ok);
}

void FolderBrowser::importFiles()
{
    const QString filter
        = QStringLiteral("%1(%2)").arg(windowTitle(), LibraryChoice::nameFilters(m_toolType).join(QLatin1Char(' ')));
    const QStringList files = FileChooser::openFileNames(this, QStringLiteral("导入文件"), QString(), filter);
    QString last;
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        const QString target = m_folder + name;
        if (QFileInfo(file).absoluteFilePath() == QFileInfo(target).absoluteFilePath())
            continue;
        if (QFileInfo::exists(target)
            && QMessageBox::question(this, windowTitle(), QStringLiteral("%1 已经存在，是否覆盖?").arg(name),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                != QMessageBox::Yes)
            continue;
        QDir().mkpath(m_folder);
        if (copyInto(file, target))
            last = name;
        else
            warn(QStringLiteral("无法导入 %1!").arg(name));
    }
    on_Refresh();
    if (!last.isEmpty())
        select(last);
}

void FolderBrowser::renameEntry()
{
    const QString old = selectedEntry();
    if (old.isEmpty())
        return;
    const QFileInfo info(old);
    bool ok = false;
    const QString base = QInputDialog::getText(
        this, QStringLiteral("重命名"), QStringLiteral("新名称:"), QLineEdit::Normal, info.completeBaseName(), &ok)
                             .trimmed();
    if (!ok)
        return;
    if (base.isEmpty() || base.contains(QLatin1Char('/')) || base.contains(QLatin1Char('\\'))) {
        warn(QStringLiteral("名称不能为空，也不能含有 / 或 \\。"));
        return;
    }
    // The extension stays, so that the file remains one of this library's.
    const QString name = info.suffix().isEmpty() ? base : base + QLatin1Char('.') + info.suffix();
    if (name == old)
        return;
    if (QFileInfo::exists(m_folder + name)) {
        warn(QStringLiteral("%1 已经存在!").arg(name));
        return;
    }
    const bool wasCurrent = LibraryChoice::current(m_toolType) == old;
    if (!QFile::rename(m_folder + old, m_folder + name)) {
        warn(QStringLiteral("无法重命名 %1!").arg(old));
        return;
    }
    if (wasCurrent)
        LibraryChoice::choose(m_toolType, name);
    on_Refresh();
    select(name);
}

void FolderBrowser::deleteEntry()
{
    const QString name = selectedEntry();
    if (name.isEmpty()
        || QMessageBox::question(this, windowTitle(), QStringLiteral("确定删除 %1?").arg(name),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    if (!QFile::remove(m_folder + name))
        warn(QStringLiteral("无法删除 %1!").arg(name));
    on_Refresh();
}

void FolderBrowser::chooseEntry()
{
    const QString name = selectedEntry();
    if (name.isEmpty())
        return;
    LibraryChoice::choose(m_toolType, name);
    on_Refresh();
}
