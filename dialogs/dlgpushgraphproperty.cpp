#include "dlgpushgraphproperty.h"

#include "abstractgraphicsutility.h"
#include "pushgraphsettings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSize>
#include <QSpacerItem>
#include <QSpinBox>
#include <QVBoxLayout>

DlgPushGraphProperty::DlgPushGraphProperty(QWidget *parent)
    : QDialog(parent)
    , m_iniPath(AbstractGraphicsUtility::projectDir() + QStringLiteral("DlgPushGraphProperty.ini"))
{
    setupUi();
    retranslateUi();
    connect(pushButtonOK, &QPushButton::clicked, this, &DlgPushGraphProperty::slotClicked);
    load();
}

void DlgPushGraphProperty::load()
{
    const PushGraphSettings s = PushGraphSettings::read(m_iniPath);
    comboBox->setCurrentIndex(s.mode);
    spinBoxWidth->setValue(s.size.width());
    spinBoxHeight->setValue(s.size.height());
    spinBoxTime->setValue(s.time);
}

void DlgPushGraphProperty::slotClicked()
{
    PushGraphSettings s;
    s.mode = comboBox->currentIndex();
    s.size = QSize(spinBoxWidth->value(), spinBoxHeight->value());
    s.time = spinBoxTime->value();
    QString why;
    if (!s.write(m_iniPath, &why)) {
        // The file keeps its previous settings; the dialog stays open to retry or cancel.
        QMessageBox::warning(this, windowTitle(), QStringLiteral("无法写入文件 %1:\n%2!").arg(m_iniPath, why),
                             QMessageBox::Ok);
        return;
    }
    accept();
}

void DlgPushGraphProperty::setupUi()
{
    setObjectName(QStringLiteral("DlgPushGraphProperty"));
    resize(255, 133);

    auto *grid = new QGridLayout(this);
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);

    auto *labels = new QVBoxLayout;
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_3 = new QLabel(this);
    label_3->setObjectName(QStringLiteral("label_3"));
    labels->addWidget(label);
    labels->addWidget(label_2);
    labels->addWidget(label_3);
    grid->addLayout(labels, 0, 0);

    auto *editors = new QVBoxLayout;
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    for (int i = 0; i < PushGraphSettings::ModeCount; ++i)
        comboBox->addItem(QString());
    editors->addWidget(comboBox);

    auto *sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(0);
    spinBoxWidth = new QSpinBox(this);
    spinBoxWidth->setObjectName(QStringLiteral("spinBoxWidth"));
    spinBoxWidth->setRange(PushGraphSettings::MinSide, PushGraphSettings::MaxSide);
    label_4 = new QLabel(this);
    label_4->setObjectName(QStringLiteral("label_4"));
    spinBoxHeight = new QSpinBox(this);
    spinBoxHeight->setObjectName(QStringLiteral("spinBoxHeight"));
    spinBoxHeight->setRange(PushGraphSettings::MinSide, PushGraphSettings::MaxSide);
    sizeRow->addWidget(spinBoxWidth, 1);
    sizeRow->addWidget(label_4);
    sizeRow->addWidget(spinBoxHeight, 1);
    editors->addLayout(sizeRow);

    auto *timeRow = new QHBoxLayout;
    spinBoxTime = new QSpinBox(this);
    spinBoxTime->setObjectName(QStringLiteral("spinBoxTime"));
    spinBoxTime->setRange(0, PushGraphSettings::MaxTime);
    label_5 = new QLabel(this);
    label_5->setObjectName(QStringLiteral("label_5"));
    timeRow->addWidget(spinBoxTime, 1);
    timeRow->addWidget(label_5);
    editors->addLayout(timeRow);
    grid->addLayout(editors, 0, 1);

    grid->addItem(new QSpacerItem(20, 4, QSizePolicy::Minimum, QSizePolicy::Expanding), 1, 1);

    auto *buttons = new QHBoxLayout;
    pushButtonOK = new QPushButton(this);
    pushButtonOK->setObjectName(QStringLiteral("pushButtonOK"));
    pushButtonCancel = new QPushButton(this);
    pushButtonCancel->setObjectName(QStringLiteral("pushButtonCancel"));
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    buttons->addWidget(pushButtonOK);
    buttons->addWidget(pushButtonCancel);
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DlgPushGraphProperty::retranslateUi()
{
    const char *context = "DlgPushGraphProperty";
    setWindowTitle(QCoreApplication::translate(context, "推图窗口属性"));
    label->setText(QCoreApplication::translate(context, "窗口模式:"));
    label_2->setText(QCoreApplication::translate(context, "窗口大小:"));
    label_3->setText(QCoreApplication::translate(context, "窗口停留时间:"));
    comboBox->setItemText(0, QCoreApplication::translate(context, "非模态弹窗"));
    comboBox->setItemText(1, QCoreApplication::translate(context, "模态弹窗"));
    label_4->setText(QCoreApplication::translate(context, "×"));
    label_5->setText(QCoreApplication::translate(context, "秒"));
    pushButtonOK->setText(QCoreApplication::translate(context, "确认"));
    pushButtonCancel->setText(QCoreApplication::translate(context, "取消"));
}
