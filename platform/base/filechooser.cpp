#include "filechooser.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace FileChooser {

namespace {

Chooser &installed()
{
    static Chooser chooser;
    return chooser;
}

// The file list writes its dates and sizes in the system's locale, while the rest of the
// dialog speaks Chinese through the translation: they follow the dialog.
class ChineseDates : public QIdentityProxyModel
{
public:
    QVariant data(const QModelIndex &index, int role) const override
    {
        enum Column
        {
            Name,
            Size,
            Type,
            Modified
        };
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (!files || role != Qt::DisplayRole || (index.column() != Size && index.column() != Modified))
            return QIdentityProxyModel::data(index, role);
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        const QModelIndex file = mapToSource(index);
        if (index.column() == Modified)
            return chinese.toString(files->lastModified(file), QLocale::ShortFormat);
        return files->isDir(file) ? QString() : chinese.formattedDataSize(files->size(file));
    }
};

QStringList runDialog(const Request &request)
{
    QFileDialog dialog(request.parent, request.caption, request.directory, request.filter);
    dialog.setFileMode(request.mode == Mode::Open ? QFileDialog::ExistingFile
            : request.mode == Mode::OpenMany      ? QFileDialog::ExistingFiles
                                                  : QFileDialog::AnyFile);
    dialog.setAcceptMode(request.mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setProxyModel(new ChineseDates); // the dialog takes it over
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return request.mode == Mode::OpenMany ? files : QStringList(files.mid(0, 1));
}

QStringList ask(const Request &request)
{
    return installed() ? installed()(request) : runDialog(request);
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
