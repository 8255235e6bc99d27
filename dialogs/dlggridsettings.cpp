#include "dlggridsettings.h"
#include "ui_dlggridsettings.h"

DlgGridSettings::DlgGridSettings(const GridSettings &settings, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DlgGridSettings)
{
    ui->setupUi(this);
    connect(ui->pushButton_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint);
    ui->spinBox_Size->setRange(GridSettings::MinimumSize, GridSettings::MaximumSize);
    ui->spinBox_Size->setValue(settings.size());
    ui->checkBox_Visible->setChecked(settings.isVisible());
    ui->checkBox_Snap->setChecked(settings.snaps());
    ui->checkBox_Glue->setChecked(settings.glues());
}

DlgGridSettings::~DlgGridSettings() = default;

GridSettings DlgGridSettings::value() const
{
    GridSettings settings;
    settings.setSize(ui->spinBox_Size->value());
    settings.setVisible(ui->checkBox_Visible->isChecked());
    settings.setSnap(ui->checkBox_Snap->isChecked());
    settings.setGlue(ui->checkBox_Glue->isChecked());
    return settings;
}
