#include "dlgenvsettings.h"
#include "ui_dlgenvsettings.h"

DlgEnvSettings::DlgEnvSettings(const QRectF &sceneRect, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DlgEnvSettings)
{
    ui->setupUi(this);
    connect(ui->pushButton_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint);
    // Whole pixels: the fraction is dropped, the spin boxes clamp to their ranges.
    ui->spinBox_Width->setValue(int(sceneRect.width()));
    ui->spinBox_Height->setValue(int(sceneRect.height()));
}

DlgEnvSettings::~DlgEnvSettings() = default;

QRectF DlgEnvSettings::rect() const
{
    return QRectF(0, 0, ui->spinBox_Width->value(), ui->spinBox_Height->value());
}
