#pragma once
// The statements of the import wizard.

#include <QString>
#include <QStringList>

// The importable columns of a table, in the order the server returns them.
QString importMappingSql(const QString &table);
// No rows, the table's columns.
QString importEmptyTableSql(const QString &table);
// One insert of `rows` rows: "insert into t(a,b) values(:a_0,:b_0),(:a_1,:b_1)";
// *names receives the parameters in statement order.
QString importInsertSql(const QString &table, const QStringList &columns, int rows, QStringList *names);
