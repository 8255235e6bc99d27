#ifndef SVGTOOL_H
#define SVGTOOL_H

#include "folderbrowser.h"

// The SVG symbol library of the project.
class SvgTool : public FolderBrowser
{
    Q_OBJECT
public:
    explicit SvgTool(QWidget *parent = nullptr);
};

#endif
