#ifndef GROUPTOOL_H
#define GROUPTOOL_H

#include "folderbrowser.h"

// The item-group library of the project (".grp" files), feeding the tool "自定义图元组".
class GroupTool : public FolderBrowser
{
    Q_OBJECT
public:
    explicit GroupTool(QWidget *parent = nullptr);

    static QString dir();

protected:
    // The group drawn on the canvas colour; an unreadable file shows no picture.
    QIcon preview(const QString &path) const override;
};

#endif
