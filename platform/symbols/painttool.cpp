#include "painttool.h"

PaintTool::PaintTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("图符库管理器"), 0x10029, parent)
{
}
