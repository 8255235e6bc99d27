#include "pointbinding.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsutility.h"
#include "cdatalink.h"

#include <QStringList>

PointBinding::State PointBinding::stateOf(const QString &id, const CIdInfo **record)
{
    QString key = id;
    const CIdInfo *found = id.isEmpty() ? nullptr : CDataLink::GetIdInfo(key);
    if (record)
        *record = found;
    return id.isEmpty() ? Unbound : found ? Known : Unknown;
}

QString PointBinding::stateText(State state)
{
    switch (state) {
    case Known: return QStringLiteral("正常");
    case Unknown: return QStringLiteral("点号不存在");
    case Unbound: break;
    }
    return QStringLiteral("未绑定");
}

QString PointBinding::display(const QString &id)
{
    const CIdInfo *record = nullptr;
    if (stateOf(id, &record) != Known)
        return id;
    return QStringLiteral("%1 — %2 · %3").arg(id, record->deviceName, record->name);
}

QString PointBinding::toolTip(const AbstractGraphicsUtility &item)
{
    QStringList blocks;
    for (const QString *binding : {&PropertyIds::PointBinding, &PropertyIds::ControlBinding}) {
        const QString id = binding == &PropertyIds::PointBinding ? item.svgID() : item.ykID();
        const CIdInfo *record = nullptr;
        const State state = stateOf(id, &record);
        if (state == Unbound)
            continue;
        QString block = QStringLiteral("%1: %2").arg(*binding, id);
        if (record) {
            block += QStringLiteral("\n设备: %1\n变量: %2\n限定名: %3")
                         .arg(record->deviceName, record->name, record->qualifier);
        } else {
            block += QStringLiteral("\n%1").arg(stateText(state));
        }
        blocks << block;
    }
    return blocks.join(QStringLiteral("\n\n"));
}
