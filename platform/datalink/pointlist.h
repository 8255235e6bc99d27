#ifndef POINTLIST_H
#define POINTLIST_H

#include "cidinfo.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// A point list as engineers export it from a spreadsheet: CSV rows of point id, variable
// name, qualifier and device name. Ids lose surrounding spaces (a spreadsheet pads them and
// nobody types them so); the other fields are taken verbatim (quotes, semicolons, spaces and
// all); quoted fields may hold commas, doubled quotes and line breaks. A first row that names
// the columns is skipped. Text is UTF-8, or GB18030 when the bytes are not valid UTF-8.
class PointList
{
public:
    explicit PointList(const QByteArray &bytes);

    // The records taken, one per id, in file order; a later row of an id replaces the earlier.
    QList<CIdInfo> records;
    // One line per refused row: "第 N 行: reason".
    QStringList refused;
    // One line per row taken with a remark: a repeated id, a name the replacement refuses.
    QStringList remarks;
    int duplicates = 0;
    int cutNames = 0;

    // What an import of this list did, for the report.
    QString summary(int added) const;
};

#endif
