#ifndef POINTCHECK_H
#define POINTCHECK_H

#include "pointbinding.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>

class QGraphicsItem;
class QGraphicsScene;

// The check of a graph's point bindings: one row per bound id of every item, group members
// included, and one for each item of a kind that carries a point but is bound to none.
namespace PointCheck {

struct Row
{
    QGraphicsItem *item = nullptr;
    // Where the item was at the check: a row's item is only used while it is still there.
    QRectF place;
    QString name;
    QString kind;
    QString binding; // "关联" or "遥控"
    QString id;
    QString device;
    QString variable;
    PointBinding::State state = PointBinding::Unbound;
};

// In stacking order; one lookup in the point index per bound id.
QList<Row> run(const QGraphicsScene &scene);

// The rows as a CSV file that spreadsheet programs open with the Chinese intact: UTF-8 with a
// byte-order mark, a header row, CRLF line ends, fields quoted where they need it.
QByteArray csv(const QList<Row> &rows);
QStringList headers();
QStringList fields(const Row &row);

} // namespace PointCheck

#endif
