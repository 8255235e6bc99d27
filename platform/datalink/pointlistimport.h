#ifndef POINTLISTIMPORT_H
#define POINTLISTIMPORT_H

#include "dbserversettings.h"

#include <QString>

class QWidget;

// "导入点表": asks for a point-list file, imports it into the database, all or nothing, and
// reports what was taken, refused and remarked. The database form and the Tools menu of the
// platforms without a server both import through here.
class PointListImport
{
public:
    // The report's summary; empty when the user cancelled or the import failed (said in a box).
    static QString run(QWidget *parent, const DbServerSettings &settings, const QString &password);
};

#endif
