#include "pointcheckdock.h"
#include "filechooser.h"
#include "safefile.h"

#include "abstractgraphicsutility.h"
#include "cdatalink.h"
#include "document/graphicsview.h"
#include "scene/scene.h"

#include <QComboBox>
#include <QGraphicsItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {
constexpr int RowRole = Qt::UserRole + 1;
}

PointCheckDock::PointCheckDock(QWidget *parent)
    : QDockWidget(QStringLiteral("点号检查"), parent)
    , m_list(new QTreeWidget(this))
    , m_filter(new QComboBox(this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("pointCheckDock"));
    m_filter->setObjectName(QStringLiteral("comboBox_State"));
    m_filter->addItem(QStringLiteral("全部状态"), -1);
    for (PointBinding::State state : {PointBinding::Known, PointBinding::Unknown, PointBinding::Unbound})
        m_filter->addItem(PointBinding::stateText(state), int(state));
    auto *exportButton = new QPushButton(QStringLiteral("导出CSV"), this);
    auto *rebindButton = new QPushButton(QStringLiteral("按设备重新绑定..."), this);
    exportButton->setObjectName(QStringLiteral("pushButton_Export"));
    rebindButton->setObjectName(QStringLiteral("pushButton_Rebind"));

    m_list->setObjectName(QStringLiteral("pointBindings"));
    m_list->setHeaderLabels(PointCheck::headers());
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // In stacking order until a column header is clicked, then by that column.
    m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSectionsClickable(true);
    connect(m_list->header(), &QHeaderView::sortIndicatorChanged, m_list, &QTreeWidget::sortItems);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_filter);
    bar->addWidget(m_count, 1);
    bar->addWidget(rebindButton);
    bar->addWidget(exportButton);
    auto *content = new QWidget(this);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(m_list);
    setWidget(content);

    connect(m_filter, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &PointCheckDock::applyFilter);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &PointCheckDock::goTo);
    connect(exportButton, &QPushButton::clicked, this, &PointCheckDock::exportCsv);
    connect(rebindButton, &QPushButton::clicked, this, &PointCheckDock::rebindByDevice);
    connect(CDataLink::GetDataLink(), &CDataLink::pointsChanged, this, &PointCheckDock::scheduleRefresh);
}

void PointCheckDock::showBindings(GraphicsView *view)
{
    if (m_view)
        disconnect(m_view, nullptr, this, nullptr);
    disconnect(m_undoWatch);
    m_view = view;
    if (view) {
        // The items belong to the view's scene: with the document gone they mean nothing. The
        // guard still holds the half-destroyed view while `destroyed` is sent: never read it.
        connect(view, &QObject::destroyed, this, [this] {
            m_view.clear();
            disconnect(m_undoWatch);
            refresh();
        });
        m_undoWatch = connect(
            view->documentScene()->undoStack(), &QUndoStack::indexChanged, this, &PointCheckDock::scheduleRefresh);
    }
    refresh();
}

// Many edits may come in one turn of the event loop (a macro, a paste): one check after them.
void PointCheckDock::scheduleRefresh()
{
    // A hidden list is checked when it shows again, not on every edit of a large graph.
    if (!isVisible()) {
        m_stale = true;
        return;
    }
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_pending)
                refresh();
        },
        Qt::QueuedConnection);
}

void PointCheckDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    if (m_stale)
        scheduleRefresh();
}

void PointCheckDock::refresh()
{
    m_pending = false;
    m_stale = false;
    m_rows = m_view ? PointCheck::run(*m_view->documentScene()) : QList<PointCheck::Row>();
    m_list->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i) {
        auto *item = new QTreeWidgetItem(PointCheck::fields(m_rows.at(i)));
        item->setData(0, RowRole, i);
        if (m_rows.at(i).state == PointBinding::Unknown)
            item->setForeground(6, Qt::red);
        items << item;
    }
    m_list->addTopLevelItems(items);
    if (m_list->header()->sortIndicatorSection() >= 0)
        m_list->sortItems(m_list->header()->sortIndicatorSection(), m_list->header()->sortIndicatorOrder());
    applyFilter();
}

void PointCheckDock::applyFilter()
{
    const int state = m_filter->currentData().toInt();
    int shown = 0;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        const bool show = state < 0 || int(m_rows.at(item->data(0, RowRole).toInt()).state) == state;
        // Asking is cheap while no row is hidden; hiding a row is not.
        if (item->isHidden() == show)
            item->setHidden(!show);
        shown += show;
    }
    m_count->setText(QStringLiteral("%1 / %2 处").arg(shown).arg(m_rows.size()));
}

QGraphicsItem *PointCheckDock::itemOf(const QTreeWidgetItem *item) const
{
    if (!m_view || !item)
        return nullptr;
    const PointCheck::Row &row = m_rows.at(item->data(0, RowRole).toInt());
    // Compared, never followed, until the scene confirms the item is still where it was.
    const QList<QGraphicsItem *> there = m_view->scene()->items(row.place, Qt::IntersectsItemBoundingRect);
    return there.contains(row.item) ? row.item : nullptr;
}

void PointCheckDock::goTo(QTreeWidgetItem *item)
{
    QGraphicsItem *target = itemOf(item);
    if (!target)
        return;
    auto *window = qobject_cast<QMdiSubWindow *>(m_view->parentWidget());
    if (window && window->mdiArea())
        window->mdiArea()->setActiveSubWindow(window);
    m_view->scene()->clearSelection();
    target->setSelected(true);
    m_view->centerOn(target);
}

void PointCheckDock::exportCsv()
{
    QList<PointCheck::Row> shown;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (!m_list->topLevelItem(i)->isHidden())
            shown << m_rows.at(m_list->topLevelItem(i)->data(0, RowRole).toInt());
    }
    const QString path = FileChooser::saveFileName(this, QStringLiteral("导出CSV"),
        AbstractGraphicsUtility::projectDir() + QStringLiteral("点号检查.csv"), QStringLiteral("CSV文件(*.csv)"));
    if (path.isEmpty())
        return;
    QString why;
    if (!SafeFile::replace(path, PointCheck::csv(shown), &why))
        QMessageBox::warning(this, QStringLiteral("导出CSV"), QStringLiteral("无法写入文件 %1:\n%2!").arg(path, why));
}

void PointCheckDock::rebindByDevice()
{
    QList<AbstractGraphicsUtility *> items;
    for (QTreeWidgetItem *row : m_list->selectedItems()) {
        auto *item = dynamic_cast<AbstractGraphicsUtility *>(itemOf(row));
        if (item && !items.contains(item))
            items << item;
    }
    if (items.isEmpty())
        return;
    m_view->documentScene()->replaceVariables(items);
    // The replacement sets the ids directly, without an undo step to tell.
    refresh();
}
