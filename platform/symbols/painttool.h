#ifndef PAINTTOOL_H
#define PAINTTOOL_H

#include "folderbrowser.h"

// The custom-symbol library of the project, feeding the tool "自定义图符".
class PaintTool : public FolderBrowser
{
    Q_OBJECT
public:
    explicit PaintTool(QWidget *parent = nullptr);
};

#endif
