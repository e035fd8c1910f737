#pragma once
// The statements SQL Server backs up and restores with: the server writes
// and reads the file on its own machine.

#include <QString>
#include <QStringList>

namespace ServerBackupSql {

// Each backup starts the file afresh, so the file holds the newest backup
// alone and a restore brings back that one.
QString backup(const QString &database, const QString &file);
QString restore(const QString &database, const QString &file);

// Ending every connection to the database: a procedure kept in master,
// created the first time it is missing.
QString killProcedureCount();
QStringList killProcedureLines();
QString killConnections(const QString &database);

} // namespace ServerBackupSql
