#include "groupexport.h"

#include "abstractgraphicsscene.h"
#include "abstractgraphicsutility.h"
#include "apptexts.h"
#include "grouptool.h"
#include "itemstorage.h"
#include "safefile.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

void GroupExport::exportGroup(AbstractGraphicsUtility *group, QWidget *parent)
{
    QDir().mkpath(GroupTool::dir());
    const QString proposal = QStringLiteral("图元组%1").arg(QDateTime::currentMSecsSinceEpoch() / 1000);
    bool ok = false;
    const QString name = QInputDialog::getText(
        parent, QStringLiteral("图元组导出"), QStringLiteral("请输入导出名称:"), QLineEdit::Normal, proposal, &ok);
    if (!ok)
        return;
    const QString fileName = GroupTool::dir() + name + QStringLiteral(".grp");
    const auto cannotExport = [parent, &name](const QString &why) {
        QMessageBox::warning(
            parent, applicationTitle(), QStringLiteral("无法导出 %1:\n%2!").arg(name, why), QMessageBox::Ok);
    };
    // A name must stay a file of the group folder: a blank one would hide the file, a
    // separator would write elsewhere.
    if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        cannotExport(QStringLiteral("名称不能为空，也不能含有 / 或 \\"));
        return;
    }
    const QString exists = QStringLiteral("图元组 %1 已经存在，是否覆盖?").arg(name);
    if (QFileInfo::exists(fileName)
        && QMessageBox::question(parent, applicationTitle(), exists, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
        return;
    // A failed export keeps the group file that was there, not a truncated one.
    SafeFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        cannotExport(file.errorString());
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QDataStream stream(&file);
    bool saved = ItemStorage::writeGroupFile(stream, *group);
    if (saved)
        saved = file.commit(&stream);
    else
        file.cancelWriting();
    QGuiApplication::restoreOverrideCursor();
    if (saved)
        QMessageBox::information(parent, QStringLiteral("提示"), QStringLiteral("图元组导出成功!"), QMessageBox::Ok);
    else
        QMessageBox::information(parent, QStringLiteral("警告"), QStringLiteral("图元组导出失败!"), QMessageBox::Ok);
}
