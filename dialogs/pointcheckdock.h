#ifndef POINTCHECKDOCK_H
#define POINTCHECKDOCK_H

#include "scene/pointcheck.h"

#include <QDockWidget>
#include <QList>
#include <QPointer>

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class GraphicsView;

// The dock "点号检查": every point binding of one document with its state, filtered by state.
// A double-click selects the row's item alone and centres the view on it; "导出CSV" writes the
// rows shown; "按设备重新绑定..." runs the variable replacement on the selected rows' items. The
// list follows the document's edits and the point records.
class PointCheckDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit PointCheckDock(QWidget *parent = nullptr);

    void showBindings(GraphicsView *view);
    QTreeWidget *list() const { return m_list; }
    QComboBox *stateFilter() const { return m_filter; }

    void exportCsv();
    void rebindByDevice();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void scheduleRefresh();
    void refresh();
    void applyFilter();
    void goTo(QTreeWidgetItem *item);
    // The row's item while it is still in the document where it was checked, else null.
    QGraphicsItem *itemOf(const QTreeWidgetItem *item) const;

    QPointer<GraphicsView> m_view;
    QList<PointCheck::Row> m_rows;
    QTreeWidget *m_list;
    QComboBox *m_filter;
    QLabel *m_count;
    QMetaObject::Connection m_undoWatch;
    bool m_pending = false;
    bool m_stale = false; // changed while hidden
};

#endif
