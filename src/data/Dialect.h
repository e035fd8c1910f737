#pragma once
// One object per database engine: the T-SQL translation, schema type names,
// connection set-up, backup, and "end other connections" live here, never as
// driver tests scattered through windows.

#include <QString>
#include <QStringList>
#include <memory>

class QSqlDatabase;

enum class ColType { Identity, Integer, Float, Bit, DateTime, Text, LongText };

struct ConnectionSettings {
    QString driver = QStringLiteral("sqlite");   // sqlite | postgres | mssql
    QString server;                              // host or SQL Server instance
    QString database;                            // sqlite: file (relative to the program folder)
    QString user = QStringLiteral("sa");
    QString password;                            // clear text
    int port = 0;
};

// The SQLite file named by the settings: relative to the program folder,
// ".db" added when the name has no extension.
QString sqliteDatabaseFile(const ConnectionSettings &settings);

class Dialect {
public:
    virtual ~Dialect() = default;

    virtual QString name() const = 0;        // "sqlite", "postgres", "mssql"
    virtual QString qtDriver() const = 0;    // QSQLITE, QPSQL, QODBC

    // T-SQL as the windows write it -> the engine's SQL. `:name` parameters
    // become positional `?` and their names are returned in order.
    virtual QString translate(const QString &tsql, QStringList *paramNames) const = 0;

    // Fills in the QSqlDatabase from the settings (file path, host, options, timeouts).
    virtual bool configure(QSqlDatabase &db, const ConnectionSettings &s, QString *error) const = 0;
    // After open(): functions, pragmas, session settings, and a probe that the
    // database really is one.
    virtual bool afterOpen(QSqlDatabase &db, QString *error) const = 0;

    // Schema type for a column.
    virtual QString columnType(ColType type, int size) const = 0;
    // Statements run once before the tables are created (extensions, ...).
    virtual QStringList prepareSchema() const { return {}; }
    // The statement that makes the planner keep statistics (by name) on
    // expressions of a table; empty where the engine keeps none.
    virtual QString expressionStatistics(const QString & /*name*/, const QString & /*table*/,
                                         const QStringList & /*expressions*/) const
    {
        return {};
    }
    // Whether a contains search with few hits is faster read by the hits'
    // row keys from the narrow search index (ContainsScan.h).
    virtual bool readsContainsSearchesByKeys() const { return false; }
    virtual QString createIndex(const QString &name, const QString &table, const QString &columns, bool unique) const;
    // The index that serves like-patterns (contains and starts with) on a
    // text column; empty where the engine keeps none.
    virtual QString patternIndex(const QString & /*name*/, const QString & /*table*/, const QString & /*column*/) const
    {
        return {};
    }
    virtual QString dropIndex(const QString &name, const QString &table) const;

    // Creates the empty database itself when it does not exist yet.
    virtual bool createDatabase(const ConnectionSettings &s, QString *error) const = 0;

    // A full copy of the open database into `file`. The copy is written
    // beside it and checked, then renamed into place, so a half-written copy
    // never carries the file's name; an existing file is replaced only by a
    // whole one (callers ask before overwriting).
    virtual bool backup(QSqlDatabase &db, const ConnectionSettings &s, const QString &file,
                        QString *error) const = 0;
    // Replaces the database named by the settings with the backup in `file`,
    // on a connection of its own. This program's own connections must be
    // closed first. Other programs still using the database are ended where
    // the engine can (server engines), otherwise the restore is refused. A
    // file that is not a whole backup is refused with the database unchanged.
    virtual bool restore(const ConnectionSettings &s, const QString &file, QString *error) const = 0;
    // After an open refused with `openError`: lets the database take
    // connections again when a restore ended half-way left it closed to them.
    // True when the open is worth trying once more.
    virtual bool reopenClosedDatabase(const ConnectionSettings &, const QString & /*openError*/) const { return false; }

    // The text kept for display and logging (the password is never shown).
    virtual QString connectionText(const ConnectionSettings &s) const;

    // A result column's name quoted for the engine.
    virtual QString quoteName(const QString &name) const;
    // One item of an order by on a result column, sorting the way a list
    // sorts its loaded rows: empty values first, text by character without
    // regard to case, whatever the server's locale.
    virtual QString orderItem(const QString &column, bool descending, bool text) const;

    // Appends paging to a translated select.
    virtual QString pageSql(const QString &translatedSelect, qint64 offset, qint64 limit) const;

    // A transaction begun inside another one is a savepoint. An empty release
    // statement: the engine keeps the savepoint until the outer commit.
    virtual QString savepointSql(const QString &name) const { return QStringLiteral("savepoint ") + name; }
    virtual QString releaseSavepointSql(const QString &name) const { return QStringLiteral("release savepoint ") + name; }
    virtual QString rollbackToSavepointSql(const QString &name) const { return QStringLiteral("rollback to savepoint ") + name; }

    static std::unique_ptr<Dialect> create(const QString &driver);   // unknown names give nullptr
};
