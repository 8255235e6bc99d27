#ifndef FOLDERBROWSER_H
#define FOLDERBROWSER_H

#include <QDialog>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// A modal window over the library folder of one drawing tool: it shows the folder's files
// with a preview of each, imports files into it, renames and deletes them (asking first),
// and chooses the entry that the tool draws. The symbol, SVG and group managers are built on it.
class FolderBrowser : public QDialog
{
    Q_OBJECT
public:
    FolderBrowser(const QString &title, int toolType, QWidget *parent);

    QString folder() const { return m_folder; }
    // The file names currently listed, in display order.
    QStringList entries() const;

public slots:
    void on_Refresh();

protected:
    // A picture for one file of the folder; the default loads it as an image.
    virtual QIcon preview(const QString &path) const;

private:
    void importFiles();
    void renameEntry();
    void deleteEntry();
    void chooseEntry();
    void updateButtons();
    QString selectedEntry() const;
    void select(const QString &name);
    void warn(const QString &text);

    int m_toolType;
    QString m_folder;
    QListWidget *m_list;
    QLabel *m_summary;
    QPushButton *m_rename;
    QPushButton *m_delete;
    QPushButton *m_choose;
};

#endif
