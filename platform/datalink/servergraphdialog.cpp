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
    m_list->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("修改时间"), QStringLiteral("大小")});
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    for (const ServerGraph &g : graphs) {
        auto *row = new QTreeWidgetItem(m_list);
        row->setText(0, g.name);
        row->setToolTip(0, g.name);
        row->setText(1, QDateTime::fromMSecsSinceEpoch(g.modified).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        row->setText(2, sizeText(g.size));
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setData(0, Qt::UserRole, g.id);
    }
    m_list->resizeColumnToContents(1);
    m_list->resizeColumnToContents(2);

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
        row->setHidden(!row->text(0).contains(text, Qt::CaseInsensitive));
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
    return current && !current->isHidden() ? current->data(0, Qt::UserRole).toLongLong() : 0;
}
