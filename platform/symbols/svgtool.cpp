#include "svgtool.h"

SvgTool::SvgTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("SVG库管理器"), 0x10031, parent)
{
}
