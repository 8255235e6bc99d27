#include "documentstatus.h"

#include "document/graphicsview.h"
#include "scene/scene.h"

#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QUndoStack>

DocumentStatus::DocumentStatus(QMainWindow *window, QStatusBar *bar)
    : m_readyLabel(new QLabel(QStringLiteral("就绪"), window))
    , m_posLabel(new QLabel(QStringLiteral("当前坐标"), window))
    , m_statLabel(new QLabel(QStringLiteral("图元个数"), window))
{
    m_readyLabel->setIndent(2);
    m_posLabel->setFrameShape(QFrame::Panel);
    m_posLabel->setFrameShadow(QFrame::Sunken);
    m_statLabel->setFrameShape(QFrame::Panel);
    m_statLabel->setFrameShadow(QFrame::Sunken);
    bar->setStyleSheet(QStringLiteral("QStatusBar::item{border:0px}"));
    bar->addWidget(m_readyLabel);
    bar->addPermanentWidget(m_posLabel);
    bar->addPermanentWidget(m_statLabel);
}

// The count walks every item; a drag changes the scene at every mouse move but the count only
// with the number of items or an undoable step, so it is taken again only then.
int DocumentStatus::topLevelCount(Scene *scene)
{
    const int total = scene->items(Qt::SortOrder(-1)).size();
    const int step = scene->undoStack()->index();
    if (scene != m_counted.scene || total != m_counted.total || step != m_counted.step)
        m_counted = {scene, total, step, scene->topLevelItemCount()};
    return m_counted.count;
}

void DocumentStatus::showDocument(GraphicsView *view)
{
    double width = 0;
    double height = 0;
    int zoom = 100;
    int count = 0;
    if (view) {
        const QRectF rect = view->documentScene()->sceneRect();
        width = rect.width();
        height = rect.height();
        zoom = view->zoomPercent();
        count = topLevelCount(view->documentScene());
    }
    m_statLabel->setText(QStringLiteral("画布大小:%1×%2(%3%),图元个数:%4")
                             .arg(width, 0, 'g', -1)
                             .arg(height, 0, 'g', -1)
                             .arg(zoom)
                             .arg(count));
}

void DocumentStatus::showPosition(double x, double y)
{
    m_posLabel->setText(QStringLiteral("当前坐标:x=%1,y=%2").arg(x, 0, 'g', -1).arg(y, 0, 'g', -1));
}
