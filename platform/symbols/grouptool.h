#ifndef GROUPTOOL_H
#define GROUPTOOL_H

#include "folderbrowser.h"

// The item-group library of the project (".grp" files).
class GroupTool : public FolderBrowser
{
    Q_OBJECT
public:
    explicit GroupTool(QWidget *parent = nullptr);

    static QString dir();
};

#endif
