#include "svgtool.h"

#include "abstractgraphicsutility.h"

SvgTool::SvgTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("SVG库管理器"), AbstractGraphicsUtility::svgDir(), {QStringLiteral("*.svg")}, parent)
{
}
