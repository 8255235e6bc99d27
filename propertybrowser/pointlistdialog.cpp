#include "pointlistdialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

PointListDialog::PointListDialog(const QPolygonF &points, QWidget *parent)
    : QDialog(parent)
    , m_table(new QTableWidget(0, 2, this))
{
    setWindowTitle(QStringLiteral("编辑点列表"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("X"), QStringLiteral("Y")});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (const QPointF &p : points)
        appendRow(p);

    auto *add = new QPushButton(QStringLiteral("添加"));
    auto *remove = new QPushButton(QStringLiteral("删除"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->addButton(add, QDialogButtonBox::ActionRole);
    buttons->addButton(remove, QDialogButtonBox::ActionRole);

    connect(add, &QPushButton::clicked, this, [this] {
        // A new point starts on the last one, which is where it is usually moved from.
        const QPolygonF current = this->points();
        appendRow(current.isEmpty() ? QPointF() : current.last());
        m_table->selectRow(m_table->rowCount() - 1);
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end(), std::greater<int>());
        for (int row : qAsConst(rows))
            m_table->removeRow(row);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
}

void PointListDialog::appendRow(const QPointF &point)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    for (int column = 0; column < 2; ++column) {
        auto *cell = new QTableWidgetItem;
        cell->setData(Qt::EditRole, column == 0 ? point.x() : point.y());
        m_table->setItem(row, column, cell);
    }
}

QPolygonF PointListDialog::points() const
{
    QPolygonF result;
    for (int row = 0; row < m_table->rowCount(); ++row)
        result << QPointF(
            m_table->item(row, 0)->data(Qt::EditRole).toDouble(), m_table->item(row, 1)->data(Qt::EditRole).toDouble());
    return result;
}
