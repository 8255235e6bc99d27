#include "dlgdetail.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>
#include <QVBoxLayout>

DlgDetail::DlgDetail(QMap<QString, QString> preview, QWidget *parent)
    : QDialog(parent)
    , m_preview(preview)
{
    setupUi();
    retranslateUi();
    tableWidget->setRowCount(m_preview.size());
    int row = 0;
    for (auto it = m_preview.cbegin(); it != m_preview.cend(); ++it, ++row) {
        tableWidget->setItem(row, 0, new QTableWidgetItem(it.key()));
        auto *after = new QTableWidgetItem(it.value());
        if (it.value() != it.key()) {
            after->setBackground(QBrush(Qt::red));
            ++m_changed;
        }
        tableWidget->setItem(row, 1, after);
    }
}

void DlgDetail::setupUi()
{
    setObjectName(QStringLiteral("DlgDetail"));
    resize(364, 268);
    auto *verticalLayout = new QVBoxLayout(this);
    tableWidget = new QTableWidget(0, 2, this);
    tableWidget->setObjectName(QStringLiteral("tableWidget"));
    tableWidget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableWidget->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableWidget->horizontalHeader()->setDefaultSectionSize(180);
    tableWidget->horizontalHeader()->setStretchLastSection(true);
    verticalLayout->addWidget(tableWidget);

    auto *buttons = new QHBoxLayout;
    pushButtonOk = new QPushButton(this);
    pushButtonOk->setObjectName(QStringLiteral("pushButtonOk"));
    pushButtonCancel = new QPushButton(this);
    pushButtonCancel->setObjectName(QStringLiteral("pushButtonCancel"));
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    buttons->addWidget(pushButtonOk);
    buttons->addWidget(pushButtonCancel);
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(buttons);

    connect(pushButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DlgDetail::retranslateUi()
{
    const char *context = "DlgDetail";
    setWindowTitle(QCoreApplication::translate(context, "确定替换?"));
    tableWidget->setHorizontalHeaderLabels(
        {QCoreApplication::translate(context, "替换前"), QCoreApplication::translate(context, "替换后")});
    pushButtonOk->setText(QCoreApplication::translate(context, "确定"));
    pushButtonCancel->setText(QCoreApplication::translate(context, "取消"));
}
