#ifndef FILECHOOSER_H
#define FILECHOOSER_H

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Every question for a file name goes through here, so that tests can answer it without a
// file dialog (a native or Qt dialog under a test is the one modal that cannot be answered
// reliably: a focused name field ignores selectFile()).
namespace FileChooser {

enum class Mode
{
    Open,
    OpenMany,
    Save
};

struct Request
{
    Mode mode;
    QWidget *parent;
    QString caption;
    QString directory;
    QString filter;
    QString defaultSuffix; // given to a name typed without one (saving only)
};

// Answers a request with the chosen files; an empty list is a cancel.
using Chooser = std::function<QStringList(const Request &)>;

QString openFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
QStringList openFileNames(QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
// A name chosen without a suffix gets `defaultSuffix` (without the dot), whoever answered.
QString saveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filter,
    const QString &defaultSuffix = QString());

// Replaces the dialogs with `chooser`; an empty function brings the dialogs back.
void setChooser(Chooser chooser);

} // namespace FileChooser

#endif
