#include "grouptool.h"

#include "abstractgraphicsutility.h"
#include "groupitem.h"
#include "itemkind.h"

#include <QGraphicsScene>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {
constexpr int PreviewSide = 64;
constexpr double MinPreviewExtent = 1.0;
} // namespace

GroupTool::GroupTool(QWidget *parent)
    : FolderBrowser(QStringLiteral("图元组管理器"), ItemKind::Group, parent)
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
    const QPixmap pixmap = picture(path);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QPixmap GroupTool::picture(const QString &path)
{
    GroupItem *group = GroupItem::load(path);
    if (!group)
        return QPixmap();
    QGraphicsScene scene;
    scene.addItem(group);
    QPixmap pixmap(PreviewSide, PreviewSide);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // A group of almost no extent would be magnified beyond any sensible scale; it is shown
    // at most this much enlarged.
    QRectF source = group->sceneBoundingRect();
    const double side = qMax(MinPreviewExtent, qMax(source.width(), source.height()));
    source = QRectF(source.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    scene.render(&painter, QRectF(2, 2, PreviewSide - 4, PreviewSide - 4), source, Qt::KeepAspectRatio);
    return pixmap;
}
