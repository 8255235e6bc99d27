#include "serversave.h"

#include "cdatalink.h"
#include "document/graphicsview.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <algorithm>

namespace ServerSave {

QString askName(QWidget *window, const QString &proposed)
{
    // The name is also the local file's, before the upload gives the copy its server name.
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString name = proposed;
    for (;;) {
        bool ok = false;
        name = QInputDialog::getText(
            window, QStringLiteral("保存到服务器"), QStringLiteral("画面名称:"), QLineEdit::Normal, name, &ok)
                   .trimmed();
        if (!ok)
            return QString();
        const bool plain = std::none_of(name.begin(), name.end(), [](QChar c) { return refused.contains(c); });
        if (!name.isEmpty() && plain && !name.startsWith(QLatin1Char('.')))
            return name;
        QMessageBox::warning(window, QStringLiteral("提示"),
            QStringLiteral("画面名称不能为空, 不能以“.”开头, 也不能含有 %1 中的字符。").arg(refused), QMessageBox::Ok);
    }
}

bool save(QWidget *window, GraphicsView *view)
{
    QString fileName = view->currentFile();
    if (view->isUntitled()) {
        const QFileInfo untitled(fileName);
        const QString name = askName(window, untitled.completeBaseName());
        if (name.isEmpty())
            return false;
        fileName = untitled.dir().filePath(name + QLatin1Char('.') + untitled.suffix());
    }
    if (!view->saveFile(fileName, false))
        return false;
    const QString svgName = view->svgFileName();
    if (!view->writeSvg(svgName))
        return false;
    const QString stored = CDataLink::GetDataLink()->SaveDizFile(fileName, svgName);
    if (stored.isEmpty()) {
        QMessageBox::warning(window, QStringLiteral("提示"), QStringLiteral("保存失败!"), QMessageBox::Ok);
        return false;
    }
    if (stored != fileName)
        view->saveFile(stored, false);
    QMessageBox::information(window, QStringLiteral("提示"), QStringLiteral("保存成功!"), QMessageBox::Ok);
    return true;
}

} // namespace ServerSave
