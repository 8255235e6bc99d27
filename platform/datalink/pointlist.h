#ifndef POINTLIST_H
#define POINTLIST_H

#include "cidinfo.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// A point list as engineers export it from a spreadsheet: CSV rows of point id, variable
// name, qualifier and device name. Fields are taken verbatim (quotes, semicolons, spaces and
// all); quoted fields may hold commas, doubled quotes and line breaks. A first row that names
// the columns is skipped. Text is UTF-8, or GB18030 when the bytes are not valid UTF-8.
class PointList
{
public:
    explicit PointList(const QByteArray &bytes);

    // The rows taken, in file order (a later row with the same id updates the earlier one).
    QList<CIdInfo> records;
    // One line per refused row: "第 N 行: reason".
    QStringList refused;
};

#endif
