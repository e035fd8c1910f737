#pragma once
// Databases for tests, one per backend. SQLite always runs; PostgreSQL runs
// when CLSERVICE_TEST_PG_PORT names a server on 127.0.0.1 (user sa, trust),
// and its rows are skipped, with the reason, when it does not.

#include "data/Dialect.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class TdmData;

namespace TestDb {

// Every backend the suite covers, configured here or not.
QStringList backends();
// Adds the "backend" column and one data row per backend to a _data() function.
void addBackendRows();
// Whether the backend can be tested here, and if not, why.
bool available(const QString &backend);
QString unavailableReason(const QString &backend);

// A fresh database with the schema and starting rows; the program folder is
// pointed at `folder` and a Config.ini naming the database is written there.
ConnectionSettings fresh(const QString &backend, const QString &folder, bool withStartingRows = true);

// A data module connected to a fresh database (also installed as dmData).
std::unique_ptr<TdmData> freshModule(const QString &backend, const QString &folder,
                                     bool withStartingRows = true);

// A logged-in operator as the login leaves it: the shared state cleared, then
// the operator and whether it sees every customer.
void signIn(const QString &oper = QStringLiteral("admin"), bool seeAllClients = true);

} // namespace TestDb

// Fetches the row's backend; a row whose backend is not configured here is
// skipped with the reason, so the run shows what it did not test.
#define FETCH_BACKEND(name)                                                                    \
    QFETCH(QString, name);                                                                     \
    if (!TestDb::available(name)) QSKIP(qPrintable(TestDb::unavailableReason(name)))
