#pragma once
// Every table and column the program uses, the indexes its statements need,
// and the starting rows. mdsetup and the tests create databases from it.

#include "Dialect.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Connection;

namespace Schema {

struct ColumnDef {
    QString name;
    ColType type;
    int size = 0;   // characters for Text; 0 = unsized
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
};

const QList<TableDef> &tables();
const TableDef *table(const QString &name);   // without regard to case

// The type of a column by name alone (names are the same type in every table,
// except F_flag, which is text in t_treecode and a flag elsewhere: nullopt).
std::optional<ColType> columnType(const QString &column);

// Native statements that create every table and index on the dialect.
QStringList createStatements(const Dialect &dialect);
// The secondary indexes of one table: creating them, and dropping them (a
// bulk load drops them first and builds them again after, much faster).
QStringList indexStatements(const Dialect &dialect, const QString &table);
QStringList dropIndexStatements(const Dialect &dialect, const QString &table);
// T-SQL inserts of the starting rows (operator admin, SysInfo, KeyValue,
// Limits, cfg_Grid, cfg_import, t_code).
QStringList seedStatements();

// The starting code lists: list key -> entries. The demo archive draws from them.
struct CodeList {
    QString type;
    QStringList names;
};
const QList<CodeList> &starterCodes();
QStringList starterCodes(const QString &type);
// Appliance category -> its starting models (the "xinghao" list is their union).
struct CategoryModels {
    QString category;
    QStringList models;
};
const QList<CategoryModels> &starterModels();

// Creates the empty database itself when it does not exist (SQLite file,
// PostgreSQL database through the maintenance database). SQL Server: not here.
bool createDatabase(const ConnectionSettings &settings, QString *error);
// The customer table is there: the database has been set up.
bool isInstalled(Connection &cnn);
// Tables, indexes and starting rows, in one transaction.
bool install(Connection &cnn, QString *error);
// Every table and column present; problems listed in Chinese.
bool check(Connection &cnn, QStringList *problems);

} // namespace Schema
