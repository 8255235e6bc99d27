#include "filechooser.h"

#include <QFileDialog>

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
        const QString file
            = QFileDialog::getSaveFileName(request.parent, request.caption, request.directory, request.filter);
        return file.isEmpty() ? QStringList() : QStringList(file);
    }
    }
    return {};
}

QString first(const QStringList &files)
{
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

QString openFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return first(ask({Mode::Open, parent, caption, directory, filter}));
}

QStringList openFileNames(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return ask({Mode::OpenMany, parent, caption, directory, filter});
}

QString saveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter)
{
    return first(ask({Mode::Save, parent, caption, directory, filter}));
}

void setChooser(Chooser chooser)
{
    installed() = std::move(chooser);
}

} // namespace FileChooser
