#include "pointpickerdialog.h"

#include "cdatalink.h"
#include "pointfilterproxy.h"
#include "pointtablemodel.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

PointPickerDialog::PointPickerDialog(const QString &current, QWidget *parent)
    : QDialog(parent)
    , m_model(new PointTableModel(this))
    , m_proxy(new PointFilterProxy(m_model, this))
    , m_filter(new QLineEdit(this))
    , m_table(new QTableView(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("PointPickerDialog"));
    setWindowTitle(QStringLiteral("选择点号"));
    m_filter->setObjectName(QStringLiteral("lineEdit_Filter"));
    m_filter->setPlaceholderText(QStringLiteral("筛选: 点号、变量名、限定名或设备名"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    m_status->setObjectName(QStringLiteral("label_Status"));

    m_table->setObjectName(QStringLiteral("tableView_Points"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    // Rows of one height and columns of fixed width: nothing is measured over 100 000 rows.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setModel(m_proxy);
    for (int column : {PointTableModel::Id, PointTableModel::Name, PointTableModel::Qualifier})
        m_table->setColumnWidth(column, 130);
    // In the records' own order (by id) until a header is clicked: no sort of every row on opening.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_table, &QTableView::doubleClicked, this, &QDialog::accept);
    connect(m_filter, &QLineEdit::textChanged, this, &PointPickerDialog::filterChanged);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_filter);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 480);

    const int row = m_model->rowOf(current);
    if (row >= 0) {
        const QModelIndex at = m_proxy->mapFromSource(m_model->index(row, 0));
        m_table->setCurrentIndex(at);
        m_table->scrollTo(at, QAbstractItemView::PositionAtCenter);
    }
    showCount();
    m_filter->setFocus();
}

QString PointPickerDialog::selectedId() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return QString();
    return m_model->record(m_proxy->mapToSource(rows.first()).row()).id;
}

void PointPickerDialog::filterChanged(const QString &text)
{
    const QString before = selectedId();
    m_proxy->setText(text);
    // The chosen record stays chosen while it passes; otherwise the first row that does.
    const int row = m_model->rowOf(before);
    QModelIndex at = row >= 0 ? m_proxy->mapFromSource(m_model->index(row, 0)) : QModelIndex();
    if (!at.isValid())
        at = m_proxy->index(0, 0);
    m_table->setCurrentIndex(at);
    if (at.isValid())
        m_table->scrollTo(at);
    showCount();
}

void PointPickerDialog::showCount()
{
    const QString problem = CDataLink::GetDataLink()->pointsProblem();
    if (m_model->rowCount() == 0 && !problem.isEmpty())
        m_status->setText(QStringLiteral("没有点记录: %1").arg(problem));
    else
        m_status->setText(QStringLiteral("显示 %1 / %2 条").arg(m_proxy->rowCount()).arg(m_model->rowCount()));
}

bool PointPickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Up and down move through the rows while the focus stays in the filter box.
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QKeyEvent copy(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(m_table, &copy);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
