#include "filechooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace FileChooser {

namespace {

Chooser &installed()
{
    static Chooser chooser;
    return chooser;
}

QStringList ask(const Request &request)
{
    if (installed())
        return installed()(request);
    switch (request.mode) {
    case Mode::Open: {
        const QString file
            = QFileDialog::getOpenFileName(request.parent, request.caption, request.directory, request.filter);
        return file.isEmpty() ? QStringList() : QStringList(file);
    }
    case Mode::OpenMany:
        return QFileDialog::getOpenFileNames(request.parent, request.caption, request.directory, request.filter);
    case Mode::Save: {
        QFileDialog dialog(request.parent, request.caption, request.directory, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(request.defaultSuffix);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().mid(0, 1) : QStringList();
    }
    }
    return {};
}

QString withSuffix(const QString &file, const QString &suffix)
{
    if (file.isEmpty() || suffix.isEmpty() || !QFileInfo(file).suffix().isEmpty())
        return file;
    return file + (file.endsWith(QLatin1Char('.')) ? suffix : QLatin1Char('.') + suffix);
}

QString first(const QStringList &files)
{
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

QString openFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return first(ask({Mode::Open, parent, caption, directory, filter, {}}));
}

QStringList openFileNames(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return ask({Mode::OpenMany, parent, caption, directory, filter, {}});
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
    const QString &defaultSuffix)
{
    return withSuffix(first(ask({Mode::Save, parent, caption, directory, filter, defaultSuffix})), defaultSuffix);
}

void setChooser(Chooser chooser)
{
    installed() = std::move(chooser);
}

} // namespace FileChooser
