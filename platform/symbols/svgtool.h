#ifndef SVGTOOL_H
#define SVGTOOL_H

#include "folderbrowser.h"

// The SVG symbol library of the project, feeding the tool "SVG矢量图元".
class SvgTool : public FolderBrowser
{
    Q_OBJECT
public:
    explicit SvgTool(QWidget *parent = nullptr);
};

#endif
