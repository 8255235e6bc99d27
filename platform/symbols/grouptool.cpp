#include "grouptool.h"

#include "abstractgraphicsutility.h"
#include "groupitem.h"

#include <QGraphicsScene>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int GroupType = 0x10002;
constexpr int PreviewSide = 64;
} // namespace

GroupTool::GroupTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("图元组管理器"), GroupType, parent)
{
    // The base lists the folder before this class exists; list again with group previews.
    on_Refresh();
}

QString GroupTool::dir()
{
    return AbstractGraphicsUtility::groupDir();
}

QIcon GroupTool::preview(const QString &path) const
{
    GroupItem *group = GroupItem::load(path);
    if (!group)
        return QIcon();
    QGraphicsScene scene;
    scene.addItem(group);
    QPixmap pixmap(PreviewSide, PreviewSide);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF source = group->sceneBoundingRect();
    scene.render(&painter, QRectF(2, 2, PreviewSide - 4, PreviewSide - 4), source, Qt::KeepAspectRatio);
    return QIcon(pixmap);
}
