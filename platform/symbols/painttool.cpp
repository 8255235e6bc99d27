#include "painttool.h"

#include "itemkind.h"

PaintTool::PaintTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("图符库管理器"), ItemKind::CustomSymbol, parent)
{ }
