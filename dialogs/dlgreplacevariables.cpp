#include "dlgreplacevariables.h"

#include "abstractgraphicsutility.h"
#include "cdatalink.h"
#include "dialogs/dlgdetail.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

using NameIndex = QHash<QStringList, QString>;

// The id of the first record carrying each combination of variable name, qualifier and
// device name, so that every lookup finds what a walk from the list's start would find.
NameIndex indexByNames()
{
    NameIndex index;
    const QList<CIdInfo> &records = CDataLink::GetDataLink()->idList;
    for (const CIdInfo &record : records) {
        const QStringList key{record.name, record.qualifier, record.deviceName};
        if (!index.contains(key))
            index.insert(key, record.id);
    }
    return index;
}

// A name part that starts or ends with "-" has lost a piece on that side.
bool truncated(const QString &part)
{
    return part.startsWith(QLatin1Char('-')) || part.endsWith(QLatin1Char('-'));
}

} // namespace

DlgReplaceVariables::DlgReplaceVariables(QList<AbstractGraphicsUtility *> items, QWidget *parent)
    : QDialog(parent)
    , m_items(items)
{
    setupUi();
    retranslateUi();
    connect(radioButtonDevice, &QRadioButton::toggled, this, &DlgReplaceVariables::slotToggled);
    connect(checkBox, &QCheckBox::stateChanged, this, &DlgReplaceVariables::slotStateChanged);
    connect(comboBox, &QComboBox::currentTextChanged, this, &DlgReplaceVariables::slotCurrentTextChanged);
    connect(pushButtonReplace, &QPushButton::clicked, this, &DlgReplaceVariables::slotReplaceClicked);
}

void DlgReplaceVariables::initData()
{
    for (AbstractGraphicsUtility *item : qAsConst(m_items)) {
        for (QString id : {item->svgID(), item->ykID()}) {
            if (id.isEmpty())
                continue;
            if (const CIdInfo *info = CDataLink::GetIdInfo(id))
                m_deviceNames.insert(info->deviceName, info->deviceName);
        }
    }
    // The first name becomes the current text, and so the replacement text.
    comboBox->addItems(m_deviceNames.keys());
    radioButtonDevice->toggle();
    checkBox->setChecked(false);
}

// The search field shows only in string mode; whether it is hidden is the mode.
void DlgReplaceVariables::slotToggled(bool checked)
{
    lineEditFrom->setHidden(checked);
}

void DlgReplaceVariables::slotStateChanged(int state)
{
    comboBox->setEnabled(state == Qt::Checked);
}

void DlgReplaceVariables::slotCurrentTextChanged(QString text)
{
    lineEditTo->setText(text);
}

bool DlgReplaceVariables::rebind(QString id, const NameIndex &byNames, Rebinding *result) const
{
    const CIdInfo *record = CDataLink::GetIdInfo(id);
    if (!record)
        return false;
    QString name = record->name;
    QString device = record->deviceName;
    if (lineEditFrom->isHidden()) {
        if (record->deviceName != comboBox->currentText())
            return false;
        device = lineEditTo->text();
    } else {
        const QRegularExpression pattern(lineEditFrom->text());
        if (!pattern.isValid() || !pattern.match(name).hasMatch())
            return false;
        name.replace(pattern, lineEditTo->text());
    }
    const QString found = byNames.value(QStringList{name, record->qualifier, device});
    if (found.isEmpty())
        return false;
    *result = {record->deviceName + QLatin1Char('.') + record->name, device + QLatin1Char('.') + name, device, name,
               found};
    return true;
}

void DlgReplaceVariables::slotReplaceClicked()
{
    const QString title = windowTitle();
    const bool stringMode = !lineEditFrom->isHidden();
    if (lineEditTo->text().simplified().isEmpty() || (stringMode && lineEditFrom->text().simplified().isEmpty())) {
        QMessageBox::warning(this, title, QStringLiteral("替换参数为有误，不允许批量设置"), QMessageBox::Ok);
        return;
    }
    if (!checkBox->isChecked() && comboBox->count() > 1) {
        QMessageBox::warning(this, title, QStringLiteral("变量设备名不一致，不允许批量设置"), QMessageBox::Ok);
        return;
    }

    struct Planned
    {
        AbstractGraphicsUtility *item;
        bool svg;
        QString id;
    };
    const NameIndex byNames = indexByNames();
    QMap<QString, QString> preview;
    QList<Planned> plan;
    bool illegal = false;
    for (AbstractGraphicsUtility *item : qAsConst(m_items)) {
        for (bool svg : {true, false}) {
            const QString id = svg ? item->svgID() : item->ykID();
            Rebinding r;
            if (id.isEmpty() || !rebind(id, byNames, &r))
                continue;
            preview.insert(r.oldName, r.newName);
            plan.append({item, svg, r.id});
            illegal = illegal || (r.newName != r.oldName && (truncated(r.newDevice) || truncated(r.newVariable)));
        }
    }
    // A new name with a dangling "-" means the pattern cut a name apart at a separator.
    // Such a replacement is refused before anything is shown or changed, so that the
    // bindings never end up on points that only happen to carry the cut-off names.
    if (illegal) {
        QMessageBox::warning(this, title, QStringLiteral("存在不合法的替换可能导致命名不规范，不允许进行设置!"),
                             QMessageBox::Ok);
        return;
    }

    DlgDetail detail(preview, this);
    if (detail.exec() != QDialog::Accepted)
        return;
    for (const Planned &p : qAsConst(plan)) {
        if (p.svg)
            p.item->setSvgID(p.id);
        else
            p.item->setYkID(p.id);
    }
    accept();
    QMessageBox::information(parentWidget(), title, QStringLiteral("共替换 %1 处!").arg(detail.changedCount()),
                             QMessageBox::Ok);
}

void DlgReplaceVariables::setupUi()
{
    setObjectName(QStringLiteral("DlgReplaceVariables"));
    resize(380, 184);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    auto *verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(6);
    verticalLayout->setContentsMargins(11, 11, 11, 11);

    groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto *grid = new QGridLayout(groupBox);
    grid->setSpacing(6);
    grid->setContentsMargins(11, 11, 11, 11);
    checkBox = new QCheckBox(groupBox);
    checkBox->setObjectName(QStringLiteral("checkBox"));
    checkBox->setChecked(true);
    comboBox = new QComboBox(groupBox);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    auto *deviceRow = new QHBoxLayout;
    deviceRow->addWidget(checkBox);
    deviceRow->addWidget(comboBox, 1);
    grid->addLayout(deviceRow, 0, 0, 1, 3);
    lineEditFrom = new QLineEdit(groupBox);
    lineEditFrom->setObjectName(QStringLiteral("lineEditFrom"));
    lineEditFrom->setMaxLength(128);
    label_2 = new QLabel(groupBox);
    label_2->setObjectName(QStringLiteral("label_2"));
    lineEditTo = new QLineEdit(groupBox);
    lineEditTo->setObjectName(QStringLiteral("lineEditTo"));
    lineEditTo->setMaxLength(128);
    grid->addWidget(lineEditFrom, 1, 0);
    grid->addWidget(label_2, 1, 1);
    grid->addWidget(lineEditTo, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    verticalLayout->addWidget(groupBox);

    auto *lower = new QHBoxLayout;
    groupBox_2 = new QGroupBox(this);
    groupBox_2->setObjectName(QStringLiteral("groupBox_2"));
    auto *modes = new QVBoxLayout(groupBox_2);
    radioButtonDevice = new QRadioButton(groupBox_2);
    radioButtonDevice->setObjectName(QStringLiteral("radioButtonDevice"));
    radioButtonChar = new QRadioButton(groupBox_2);
    radioButtonChar->setObjectName(QStringLiteral("radioButtonChar"));
    modes->addWidget(radioButtonDevice);
    modes->addWidget(radioButtonChar);
    lower->addWidget(groupBox_2);
    auto *buttons = new QGridLayout;
    pushButtonReplace = new QPushButton(this);
    pushButtonReplace->setObjectName(QStringLiteral("pushButtonReplace"));
    pushButtonReplace->setDefault(true);
    pushButtonCancel = new QPushButton(this);
    pushButtonCancel->setObjectName(QStringLiteral("pushButtonCancel"));
    buttons->addWidget(pushButtonReplace, 0, 0);
    buttons->addWidget(pushButtonCancel, 1, 0);
    buttons->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 0);
    lower->addLayout(buttons);
    verticalLayout->addLayout(lower);

    setTabOrder(pushButtonReplace, pushButtonCancel);
    setTabOrder(pushButtonCancel, checkBox);
    setTabOrder(checkBox, lineEditFrom);
    setTabOrder(lineEditFrom, lineEditTo);
    setTabOrder(lineEditTo, radioButtonDevice);
    setTabOrder(radioButtonDevice, radioButtonChar);
    connect(pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void DlgReplaceVariables::retranslateUi()
{
    const char *context = "DlgReplaceVariables";
    groupBox->setTitle(QCoreApplication::translate(context, "替换选择"));
    checkBox->setText(QCoreApplication::translate(context, "设备名："));
    label_2->setText(QCoreApplication::translate(context, "替换为："));
    groupBox_2->setTitle(QCoreApplication::translate(context, "替换方式"));
    radioButtonDevice->setText(QCoreApplication::translate(context, "设备名替换"));
    radioButtonChar->setText(QCoreApplication::translate(context, "变量中字符串替换"));
    pushButtonReplace->setText(QCoreApplication::translate(context, "替换"));
    pushButtonCancel->setText(QCoreApplication::translate(context, "取消"));
}
