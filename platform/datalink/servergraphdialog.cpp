#include "servergraphdialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The columns; a row sorts by the value its column shows, not by the text (a size in KB, a
// revision of two digits).
enum Column
{
    Name,
    Revision,
    Modified,
    Size
};

class GraphRow : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget()->sortColumn();
        if (column == Name)
            return text(column).localeAwareCompare(other.text(column)) < 0;
        return data(column, Qt::UserRole).toLongLong() < other.data(column, Qt::UserRole).toLongLong();
    }
};

QString sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 字节").arg(bytes);
    return bytes < qint64(1024) * 1024 ? QStringLiteral("%1 KB").arg(bytes / 1024.0, 0, 'f', 1)
                                       : QStringLiteral("%1 MB").arg(bytes / 1048576.0, 0, 'f', 1);
}
} // namespace

ServerGraphDialog::ServerGraphDialog(const QList<ServerGraph> &graphs, QWidget *parent)
    : QDialog(parent)
    , m_filter(new QLineEdit(this))
    , m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("ServerGraphDialog"));
    setWindowTitle(QStringLiteral("打开服务器画面"));
    resize(560, 420);

    m_filter->setObjectName(QStringLiteral("lineEdit_Filter"));
    m_filter->setPlaceholderText(QStringLiteral("按名称筛选"));
    m_filter->setClearButtonEnabled(true);
    auto *filterLabel = new QLabel(QStringLiteral("筛选(&F):"), this);
    filterLabel->setBuddy(m_filter);

    m_list->setObjectName(QStringLiteral("treeWidget_Graphs"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels(
        {QStringLiteral("名称"), QStringLiteral("版本"), QStringLiteral("修改时间"), QStringLiteral("大小")});
    m_list->header()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    for (const ServerGraph &g : graphs) {
        auto *row = new GraphRow(m_list);
        row->setText(Name, g.name);
        row->setToolTip(Name, g.name);
        row->setData(Name, Qt::UserRole, g.id);
        row->setText(Revision, QString::number(g.revision));
        row->setData(Revision, Qt::UserRole, g.revision);
        row->setText(
            Modified, QDateTime::fromMSecsSinceEpoch(g.modified).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        row->setData(Modified, Qt::UserRole, g.modified);
        row->setText(Size, sizeText(g.size));
        row->setData(Size, Qt::UserRole, g.size);
        for (int column : {Revision, Size})
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int column : {Revision, Modified, Size})
        m_list->resizeColumnToContents(column);
    // Sortable by any column; newest first to begin with.
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(Modified, Qt::DescendingOrder);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    m_open = buttons->button(QDialogButtonBox::Open);
    m_open->setText(QStringLiteral("打开"));
    m_open->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
        [this](QTreeWidgetItem *current) { m_open->setEnabled(current && !current->isHidden()); });
    connect(m_filter, &QLineEdit::textChanged, this, &ServerGraphDialog::applyFilter);

    auto *layout = new QVBoxLayout(this);
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter);
    layout->addLayout(filterRow);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    m_filter->setFocus();
    applyFilter(QString());
}

void ServerGraphDialog::applyFilter(const QString &text)
{
    QTreeWidgetItem *first = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_list->topLevelItem(i);
        row->setHidden(!row->text(Name).contains(text, Qt::CaseInsensitive));
        if (!first && !row->isHidden())
            first = row;
    }
    QTreeWidgetItem *current = m_list->currentItem();
    if (!current || current->isHidden())
        m_list->setCurrentItem(first);
    m_open->setEnabled(m_list->currentItem() && !m_list->currentItem()->isHidden());
}

qint64 ServerGraphDialog::selectedId() const
{
    const QTreeWidgetItem *current = m_list->currentItem();
    return current && !current->isHidden() ? current->data(Name, Qt::UserRole).toLongLong() : 0;
}
