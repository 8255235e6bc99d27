#include "pointlistimport.h"
#include "filechooser.h"

#include "pointlist.h"
#include "serverdatabase.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

QString PointListImport::run(QWidget *parent, const DbServerSettings &settings, const QString &password)
{
    const QString title = QStringLiteral("导入点表");
    const QString path = FileChooser::openFileName(
        parent, QStringLiteral("选择点表文件"), QString(), QStringLiteral("点表文件(*.csv *.txt);;所有文件(*)"));
    if (path.isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(parent, title, QStringLiteral("无法打开文件 %1:\n%2!").arg(path, file.errorString()));
        return QString();
    }
    int added = 0;
    QString failure;
    const PointList list(file.readAll());
    {
        // Importing may take a moment on a remote server.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ServerDatabase db;
        if (!db.open(settings, password))
            failure = QStringLiteral("无法连接数据库: %1").arg(db.errorText());
        else if (!db.importPoints(list.records, &added))
            failure = QStringLiteral("导入失败, 数据库未改变: %1").arg(db.errorText());
        QApplication::restoreOverrideCursor();
    }
    if (!failure.isEmpty()) {
        QMessageBox::warning(parent, title, failure);
        return QString();
    }
    const QString summary = list.summary(added);
    QMessageBox report(QMessageBox::Information, title, summary, QMessageBox::Ok, parent);
    const QStringList details = list.refused + list.remarks;
    if (!details.isEmpty())
        report.setDetailedText(details.join(QLatin1Char('\n')));
    report.exec();
    return summary;
}
