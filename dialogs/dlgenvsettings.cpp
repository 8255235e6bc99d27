#include "dlgenvsettings.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int MinimumSide = 100;
constexpr int MaximumSide = 204800;
}

DlgEnvSettings::DlgEnvSettings(const QRectF &sceneRect, QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    retranslateUi();
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint);
    // Whole pixels: the fraction is dropped, the spin boxes clamp to their ranges.
    spinBox_Width->setValue(int(sceneRect.width()));
    spinBox_Height->setValue(int(sceneRect.height()));
}

QRectF DlgEnvSettings::rect() const
{
    return QRectF(0, 0, spinBox_Width->value(), spinBox_Height->value());
}

void DlgEnvSettings::setupUi()
{
    setObjectName(QStringLiteral("DlgEnvSettings"));
    resize(194, 127);

    auto *verticalLayout = new QVBoxLayout(this);
    groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto *grid = new QGridLayout(groupBox);
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);
    grid->setColumnStretch(1, 1);

    label = new QLabel(groupBox);
    label->setObjectName(QStringLiteral("label"));
    spinBox_Width = new QSpinBox(groupBox);
    spinBox_Width->setObjectName(QStringLiteral("spinBox_Width"));
    spinBox_Width->setRange(MinimumSide, MaximumSide);
    label_3 = new QLabel(groupBox);
    label_3->setObjectName(QStringLiteral("label_3"));
    label_2 = new QLabel(groupBox);
    label_2->setObjectName(QStringLiteral("label_2"));
    spinBox_Height = new QSpinBox(groupBox);
    spinBox_Height->setObjectName(QStringLiteral("spinBox_Height"));
    spinBox_Height->setRange(MinimumSide, MaximumSide);
    label_4 = new QLabel(groupBox);
    label_4->setObjectName(QStringLiteral("label_4"));

    grid->addWidget(label, 0, 0);
    grid->addWidget(spinBox_Width, 0, 1);
    grid->addWidget(label_3, 0, 2);
    grid->addWidget(label_2, 1, 0);
    grid->addWidget(spinBox_Height, 1, 1);
    grid->addWidget(label_4, 1, 2);
    verticalLayout->addWidget(groupBox);

    auto *buttons = new QHBoxLayout;
    pushButton_OK = new QPushButton(this);
    pushButton_OK->setObjectName(QStringLiteral("pushButton_OK"));
    pushButton_Cancel = new QPushButton(this);
    pushButton_Cancel->setObjectName(QStringLiteral("pushButton_Cancel"));
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    buttons->addWidget(pushButton_OK);
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    buttons->addWidget(pushButton_Cancel);
    buttons->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout->addLayout(buttons);

    connect(pushButton_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(pushButton_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DlgEnvSettings::retranslateUi()
{
    const char *context = "DlgEnvSettings";
    setWindowTitle(QCoreApplication::translate(context, "绘图环境"));
    groupBox->setTitle(QCoreApplication::translate(context, "画布大小"));
    label->setText(QCoreApplication::translate(context, "宽度:"));
    label_3->setText(QCoreApplication::translate(context, "像素"));
    label_2->setText(QCoreApplication::translate(context, "高度:"));
    label_4->setText(QCoreApplication::translate(context, "像素"));
    pushButton_OK->setText(QCoreApplication::translate(context, "确定"));
    pushButton_Cancel->setText(QCoreApplication::translate(context, "取消"));
}
