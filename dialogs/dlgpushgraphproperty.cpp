#include "dlgpushgraphproperty.h"
#include "ui_dlgpushgraphproperty.h"

#include "abstractgraphicsutility.h"
#include "pushgraphsettings.h"

#include <QMessageBox>
#include <QSize>

DlgPushGraphProperty::DlgPushGraphProperty(QWidget *parent)
    : QDialog(parent)
    , m_iniPath(AbstractGraphicsUtility::projectDir() + QStringLiteral("DlgPushGraphProperty.ini"))
    , ui(new Ui::DlgPushGraphProperty)
{
    ui->setupUi(this);
    // The ranges are the settings' own, which the file is checked against too.
    ui->spinBoxWidth->setRange(PushGraphSettings::MinSide, PushGraphSettings::MaxSide);
    ui->spinBoxHeight->setRange(PushGraphSettings::MinSide, PushGraphSettings::MaxSide);
    ui->spinBoxTime->setRange(0, PushGraphSettings::MaxTime);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &DlgPushGraphProperty::slotClicked);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

DlgPushGraphProperty::~DlgPushGraphProperty() = default;

void DlgPushGraphProperty::load()
{
    const PushGraphSettings s = PushGraphSettings::read(m_iniPath);
    ui->comboBox->setCurrentIndex(s.mode);
    ui->spinBoxWidth->setValue(s.size.width());
    ui->spinBoxHeight->setValue(s.size.height());
    ui->spinBoxTime->setValue(s.time);
}

void DlgPushGraphProperty::slotClicked()
{
    PushGraphSettings s;
    s.mode = ui->comboBox->currentIndex();
    s.size = QSize(ui->spinBoxWidth->value(), ui->spinBoxHeight->value());
    s.time = ui->spinBoxTime->value();
    QString why;
    if (!s.write(m_iniPath, &why)) {
        // The file keeps its previous settings; the dialog stays open to retry or cancel.
        QMessageBox::warning(
            this, windowTitle(), QStringLiteral("无法写入文件 %1:\n%2!").arg(m_iniPath, why), QMessageBox::Ok);
        return;
    }
    accept();
}
