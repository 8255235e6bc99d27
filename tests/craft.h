#ifndef CRAFT_H
#define CRAFT_H

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QVariant>

// Files built byte by byte from the format description (docs/document-format.md), so that
// they can hold what the editor itself never writes: values out of range, huge counts.
namespace Craft {

// One specific value: its property type and the value.
struct Value
{
    int type;
    QVariant value;
};

QByteArray itemRecord(int itemType, const QPointF &pos, const QSizeF &size, const QList<Value> &values,
    int penWidth = 1, int penStyle = 1);
QByteArray groupRecord(const QPointF &pos, const QList<QByteArray> &members);
// A version-13 document (graph or template) of the given top-level records.
QByteArray document(const QList<QByteArray> &records, const QString &background = QString(), int type = 0);
// A clipboard payload of the given top-level records.
QByteArray itemList(const QList<QByteArray> &records);
// A group file: the version text, then the single-item envelope of the record.
QByteArray groupFile(const QByteArray &record);

} // namespace Craft

#endif
