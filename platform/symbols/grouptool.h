#ifndef GROUPTOOL_H
#define GROUPTOOL_H

#include "folderbrowser.h"

#include <QPixmap>

// The item-group library of the project (".grp" files), feeding the tool "自定义图元组".
class GroupTool : public FolderBrowser
{
    Q_OBJECT
public:
    explicit GroupTool(QWidget *parent = nullptr);

    static QString dir();
    // The preview of a group file: its group drawn into a small square, null when unreadable.
    static QPixmap picture(const QString &path);

protected:
    // The group drawn on the canvas colour; an unreadable file shows no picture.
    QIcon preview(const QString &path) const override;
};

#endif
