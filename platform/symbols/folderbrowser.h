#ifndef FOLDERBROWSER_H
#define FOLDERBROWSER_H

#include <QDialog>
#include <QStringList>

class QListWidget;
class QLabel;

// A modal window that shows the files of one library folder with a preview of each.
// The symbol, SVG and group managers are built on it.
class FolderBrowser : public QDialog
{
    Q_OBJECT
public:
    FolderBrowser(const QString &title, const QString &folder, const QStringList &nameFilters, QWidget *parent);

    QString folder() const { return m_folder; }
    // The file names currently listed, in display order.
    QStringList entries() const;

public slots:
    void on_Refresh();

protected:
    // A picture for one file of the folder; the default loads it as an image.
    virtual QIcon preview(const QString &path) const;

private:
    QString m_folder;
    QStringList m_nameFilters;
    QListWidget *m_list;
    QLabel *m_summary;
};

#endif
