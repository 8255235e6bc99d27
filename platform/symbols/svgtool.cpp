#include "svgtool.h"

#include "itemkind.h"

SvgTool::SvgTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("SVG库管理器"), ItemKind::SvgPicture, parent)
{ }
