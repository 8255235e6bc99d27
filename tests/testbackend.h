#ifndef TESTBACKEND_H
#define TESTBACKEND_H

#include "dbserversettings.h"

#include <QSqlDatabase>

// The database a data-link test runs against, chosen by PLOTWRIGHT_TEST_BACKEND: "sqlite"
// (the default: the embedded file in the test's project folder) or "postgres" (the server
// that tests/pgserver.sh started; PLOTWRIGHT_TEST_PG names its state file).
namespace TestBackend {

bool postgres();
DbServerSettings settings();
QString password();
// A connection of the test's own to that database, beside the data link's.
QSqlDatabase open();
// Leaves the database as a first start finds it: no tables at all.
bool reset();

} // namespace TestBackend

#endif
