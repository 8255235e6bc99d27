#include "dlgreplacevariables.h"
#include "ui_dlgreplacevariables.h"

#include "abstractgraphicsutility.h"
#include "cdatalink.h"
#include "dialogs/dlgdetail.h"

#include <QHash>
#include <QMessageBox>
#include <QRegularExpression>

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

} // namespace

DlgReplaceVariables::DlgReplaceVariables(QList<AbstractGraphicsUtility *> items, QWidget *parent)
    : QDialog(parent)
    , m_items(std::move(items))
    , ui(new Ui::DlgReplaceVariables)
{
    ui->setupUi(this);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->radioButtonDevice, &QRadioButton::toggled, this, &DlgReplaceVariables::slotToggled);
    connect(ui->checkBox, &QCheckBox::stateChanged, this, &DlgReplaceVariables::slotStateChanged);
    connect(ui->comboBox, &QComboBox::currentTextChanged, this, &DlgReplaceVariables::slotCurrentTextChanged);
    connect(ui->pushButtonReplace, &QPushButton::clicked, this, &DlgReplaceVariables::slotReplaceClicked);
}

DlgReplaceVariables::~DlgReplaceVariables() = default;

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
    ui->comboBox->addItems(m_deviceNames.keys());
    ui->radioButtonDevice->toggle();
    ui->checkBox->setChecked(false);
}

// The search field shows only in string mode; whether it is hidden is the mode.
void DlgReplaceVariables::slotToggled(bool checked)
{
    ui->lineEditFrom->setHidden(checked);
}

void DlgReplaceVariables::slotStateChanged(int state)
{
    ui->comboBox->setEnabled(state == Qt::Checked);
}

void DlgReplaceVariables::slotCurrentTextChanged(const QString &text)
{
    ui->lineEditTo->setText(text);
}

bool DlgReplaceVariables::rebind(QString id, const NameIndex &byNames, Rebinding *result) const
{
    const CIdInfo *record = CDataLink::GetIdInfo(id);
    if (!record)
        return false;
    QString name = record->name;
    QString device = record->deviceName;
    if (ui->lineEditFrom->isHidden()) {
        if (record->deviceName != ui->comboBox->currentText())
            return false;
        device = ui->lineEditTo->text();
    } else {
        const QRegularExpression pattern(ui->lineEditFrom->text());
        if (!pattern.isValid() || !pattern.match(name).hasMatch())
            return false;
        name.replace(pattern, ui->lineEditTo->text());
    }
    const QString found = byNames.value(QStringList{name, record->qualifier, device});
    if (found.isEmpty())
        return false;
    *result
        = {record->deviceName + QLatin1Char('.') + record->name, device + QLatin1Char('.') + name, device, name, found};
    return true;
}

void DlgReplaceVariables::slotReplaceClicked()
{
    const QString title = windowTitle();
    const bool stringMode = !ui->lineEditFrom->isHidden();
    if (ui->lineEditTo->text().simplified().isEmpty()
        || (stringMode && ui->lineEditFrom->text().simplified().isEmpty())) {
        QMessageBox::warning(this, title, QStringLiteral("替换参数为有误，不允许批量设置"), QMessageBox::Ok);
        return;
    }
    if (!ui->checkBox->isChecked() && ui->comboBox->count() > 1) {
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
            illegal = illegal
                || (r.newName != r.oldName && (CIdInfo::isCutName(r.newDevice) || CIdInfo::isCutName(r.newVariable)));
        }
    }
    // A new name with a dangling "-" means the pattern cut a name apart at a separator.
    // Such a replacement is refused before anything is shown or changed, so that the
    // bindings never end up on points that only happen to carry the cut-off names.
    if (illegal) {
        QMessageBox::warning(
            this, title, QStringLiteral("存在不合法的替换可能导致命名不规范，不允许进行设置!"), QMessageBox::Ok);
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
    QMessageBox::information(
        parentWidget(), title, QStringLiteral("共替换 %1 处!").arg(detail.changedCount()), QMessageBox::Ok);
}
