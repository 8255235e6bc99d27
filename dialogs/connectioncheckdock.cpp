#include "connectioncheckdock.h"

#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeWidget>

ConnectionCheckDock::ConnectionCheckDock(QWidget *parent)
    : QDockWidget(QStringLiteral("连接检查"), parent)
    , m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("connectionCheckDock"));
    m_list->setObjectName(QStringLiteral("connectionFindings"));
    m_list->setHeaderLabels({QStringLiteral("问题"), QStringLiteral("位置")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    setWidget(m_list);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &ConnectionCheckDock::goTo);
}

void ConnectionCheckDock::showFindings(QGraphicsView *view, const QList<ConnectionCheck::Finding> &findings)
{
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    m_view = view;
    m_findings = findings;
    // The items belong to the view's scene: with the document gone they mean nothing.
    if (view)
        connect(view, &QObject::destroyed, this, &ConnectionCheckDock::clear);
    m_list->clear();
    QList<QTreeWidgetItem *> rows;
    for (const ConnectionCheck::Finding &f : findings) {
        const QString place = QStringLiteral("(%1, %2)").arg(f.point.x(), 0, 'g', 6).arg(f.point.y(), 0, 'g', 6);
        rows.append(new QTreeWidgetItem({f.text, place}));
    }
    m_list->addTopLevelItems(rows);
    m_list->resizeColumnToContents(1);
}

void ConnectionCheckDock::clear()
{
    m_findings.clear();
    m_list->clear();
}

void ConnectionCheckDock::goTo(QTreeWidgetItem *row)
{
    const int index = m_list->indexOfTopLevelItem(row);
    if (!m_view || index < 0 || index >= m_findings.size())
        return;
    const ConnectionCheck::Finding &finding = m_findings.at(index);
    QGraphicsScene *scene = m_view->scene();
    // Deleted or moved away since the check, the item is no longer what the row says; its
    // pointer is only compared, never followed, until the scene confirms it is still there.
    const double reach = ConnectionCheck::NearDistance;
    const QRectF around(finding.point - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach));
    if (!scene->items(around, Qt::IntersectsItemBoundingRect).contains(finding.item)) {
        row->setDisabled(true);
        return;
    }
    auto *window = qobject_cast<QMdiSubWindow *>(m_view->parentWidget());
    if (window && window->mdiArea())
        window->mdiArea()->setActiveSubWindow(window);
    scene->clearSelection();
    finding.item->setSelected(true);
    m_view->centerOn(finding.point);
}
