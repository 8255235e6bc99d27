#include "dlgdetail.h"
#include "ui_dlgdetail.h"

DlgDetail::DlgDetail(QMap<QString, QString> preview, QWidget *parent)
    : QDialog(parent)
    , m_preview(std::move(preview))
    , ui(new Ui::DlgDetail)
{
    ui->setupUi(this);
    connect(ui->pushButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    ui->tableWidget->setRowCount(m_preview.size());
    int row = 0;
    for (auto it = m_preview.cbegin(); it != m_preview.cend(); ++it, ++row) {
        ui->tableWidget->setItem(row, 0, new QTableWidgetItem(it.key()));
        auto *after = new QTableWidgetItem(it.value());
        if (it.value() != it.key()) {
            after->setBackground(QBrush(Qt::red));
            ++m_changed;
        }
        ui->tableWidget->setItem(row, 1, after);
    }
}

DlgDetail::~DlgDetail() = default;
