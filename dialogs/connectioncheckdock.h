#ifndef CONNECTIONCHECKDOCK_H
#define CONNECTIONCHECKDOCK_H

#include "scene/connectioncheck.h"

#include <QDockWidget>
#include <QList>
#include <QPointer>

class QGraphicsView;
class QTreeWidget;
class QTreeWidgetItem;

// The dock "连接检查": what the last connection check of a document found, one row each with
// its place. A double-click on a row selects the row's item alone and centres its document's
// view on the row's point. It does not block: the user fixes one finding after the other.
class ConnectionCheckDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit ConnectionCheckDock(QWidget *parent = nullptr);

    // Shows the findings of a check of the view's scene, replacing what was shown.
    void showFindings(QGraphicsView *view, const QList<ConnectionCheck::Finding> &findings);
    QTreeWidget *list() const { return m_list; }

private:
    void goTo(QTreeWidgetItem *row);
    void clear();

    QPointer<QGraphicsView> m_view;
    QList<ConnectionCheck::Finding> m_findings;
    QTreeWidget *m_list;
};

#endif
