#include "pointcheck.h"

#include "abstractgraphicsproperty.h"
#include "abstractgraphicsutility.h"
#include "cidinfo.h"
#include "itemkind.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QHash>

namespace {

// Which bindings a kind offers, asked once per kind: the kinds that offer one usually carry
// a point, and an item of them bound to nothing is worth a row.
struct Offers
{
    bool point = false;
    bool control = false;
};

Offers offersOf(const QGraphicsItem *item, QHash<int, Offers> &known)
{
    const auto found = known.constFind(item->type());
    if (found != known.constEnd())
        return *found;
    Offers offers;
    if (const auto *p = dynamic_cast<const AbstractGraphicsProperty *>(item)) {
        const QStringList names = p->propertyNames();
        offers = {names.contains(PropertyIds::PointBinding), names.contains(PropertyIds::ControlBinding)};
    }
    known.insert(item->type(), offers);
    return offers;
}

QString quoted(const QString &field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n'))
        && !field.contains(QLatin1Char('\r')))
        return field;
    return QLatin1Char('"') + QString(field).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The rows of one item: one per bound id, or one "未绑定" when it offers a binding and has none.
void addRows(QGraphicsItem *item, const AbstractGraphicsUtility &bound, Offers offers, QList<PointCheck::Row> &rows)
{
    const QString ids[] = {bound.svgID(), bound.ykID()};
    const bool none = ids[0].isEmpty() && ids[1].isEmpty();
    if (none && !offers.point && !offers.control)
        return;
    const auto *properties = dynamic_cast<const AbstractGraphicsProperty *>(item);
    const ItemKind *kind = ItemKind::find(item->type());
    PointCheck::Row row;
    row.item = item;
    row.place = item->sceneBoundingRect();
    row.name = properties ? properties->propertyValue(PropertyIds::Name).toString() : QString();
    row.kind = kind ? kind->displayName() : QString();
    const QString names[] = {QStringLiteral("关联"), QStringLiteral("遥控")};
    if (none) {
        row.binding = names[offers.point ? 0 : 1];
        rows << row;
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (ids[i].isEmpty())
            continue;
        const CIdInfo *record = nullptr;
        row.state = PointBinding::stateOf(ids[i], &record);
        row.binding = names[i];
        row.id = ids[i];
        row.device = record ? record->deviceName : QString();
        row.variable = record ? record->name : QString();
        rows << row;
    }
}

} // namespace

QList<PointCheck::Row> PointCheck::run(const QGraphicsScene &scene)
{
    QHash<int, Offers> known;
    QList<Row> rows;
    const QList<QGraphicsItem *> items = scene.items(Qt::AscendingOrder);
    for (QGraphicsItem *item : items) {
        if (const auto *bound = dynamic_cast<const AbstractGraphicsUtility *>(item))
            addRows(item, *bound, offersOf(item, known), rows);
    }
    return rows;
}

QStringList PointCheck::headers()
{
    return {QStringLiteral("名称"), QStringLiteral("类型"), QStringLiteral("绑定"), QStringLiteral("点号"),
        QStringLiteral("设备名"), QStringLiteral("变量名"), QStringLiteral("状态")};
}

QStringList PointCheck::fields(const Row &row)
{
    return {row.name, row.kind, row.binding, row.id, row.device, row.variable, PointBinding::stateText(row.state)};
}

QByteArray PointCheck::csv(const QList<Row> &rows)
{
    const auto line = [](const QStringList &fields) {
        QStringList out;
        for (const QString &f : fields)
            out << quoted(f);
        return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    QString text = line(headers());
    for (const Row &row : rows)
        text += line(fields(row));
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
