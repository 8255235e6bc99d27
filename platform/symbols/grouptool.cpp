#include "grouptool.h"

#include "abstractgraphicsutility.h"

GroupTool::GroupTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("图元组管理器"), dir(), {QStringLiteral("*.grp")}, parent)
{
}

QString GroupTool::dir()
{
    return AbstractGraphicsUtility::groupDir();
}
