#include "painttool.h"

#include "abstractgraphicsutility.h"

PaintTool::PaintTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("图符库管理器"), AbstractGraphicsUtility::symbolDir(), {QStringLiteral("*")}, parent)
{
}
