#pragma once
// The shared connection: opens through the engine's Dialect, runs T-SQL
// (translated), binds `:name` parameters without regard to case and writes
// the statement trace when CLSERVICE_SQL_TRACE names a file.

#include "Dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

// Named parameters in the order they were first set; names match without regard to case.
class Params {
public:
    void set(const QString &name, const QVariant &value);
    bool contains(const QString &name) const;
    QVariant value(const QString &name) const;
    bool isEmpty() const { return m_items.empty(); }
    void clear() { m_items.clear(); }
    QString traceText() const;   // "name=value name2=value2"

private:
    static QString normal(const QString &name);
    std::vector<std::pair<QString, QVariant>> m_items;
};

class Connection {
public:
    explicit Connection(const QString &connectionName = QStringLiteral("ADOcnn"));
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool open(const ConnectionSettings &settings);
    void close();
    bool isOpen() const;
    // A statement that fails outside a transaction is followed by a probe of
    // the session; one the server ended (terminated, restarted, gone) is
    // opened again with the same settings, at once or, while the server is
    // unreachable, before the next statement. The failed statement is never
    // run again. Inside a transaction nothing is reopened: the work is lost
    // and the caller's rollback, once it leaves no transaction, probes.
    bool sessionLost() const { return m_lost; }
    // Opens a lost session again (bounded by the engine's connect timeout)
    // unless a transaction is open; true when the connection is open, else
    // lastError() says why: the server's answer, or that nothing is connected.
    bool ensureOpen();

    const Dialect &dialect() const { return *m_dialect; }
    const ConnectionSettings &settings() const { return m_settings; }
    QSqlDatabase database() const;
    QString connectionText() const;

    // Runs one statement. The query is prepared on this connection; false
    // leaves the error in lastError().
    bool exec(QSqlQuery &query, const QString &tsql, const Params &params = {}, bool forwardOnly = true);
    // The same for SQL already in the engine's dialect (paging, counts, DDL).
    bool execNative(QSqlQuery &query, const QString &sql, const QStringList &paramNames,
                    const Params &params, bool forwardOnly = true, const QString &traceAs = {});
    // The same without a trace line: a second statement of one traced read.
    bool execUntraced(QSqlQuery &query, const QString &sql, const QStringList &paramNames,
                      const Params &params, bool forwardOnly = true);

    // Transactions nest: one begun inside another is a savepoint, and commit
    // and rollback act on the innermost. A commit that fails leaves its level
    // open (the server may still hold it) until it is rolled back; the
    // server's message stays in lastError(). Transaction statements are not
    // written to the statement trace.
    bool beginTransaction();
    bool commit();
    bool rollback();
    bool inTransaction() const { return m_depth > 0; }
    int transactionDepth() const { return m_depth; }

    QString lastError() const { return m_lastError; }
    void setLastError(const QString &e) { m_lastError = e; }

    // Values as the engines want them: booleans as 0/1, dates as text with
    // midnight written as a plain date, NUL characters removed.
    static QVariant normaliseValue(const QVariant &v);

private:
    friend class PreparedStatement;
    static bool tracing();
    void trace(const QString &tsql, const Params &params) const;
    bool execSavepoint(const QString &sql);
    bool openDatabase(QSqlDatabase &db, QString *error);
    void checkSession();
    bool reopenSession();

    QString m_name;
    ConnectionSettings m_settings;
    std::unique_ptr<Dialect> m_dialect;
    QString m_lastError;
    int m_depth = 0;   // 1: a transaction; more: savepoints inside it
    bool m_lost = false;   // the session ended and could not be opened again yet
};

// One statement prepared once and run for many rows (bulk inserts). The
// values are given in the order of `names`, matched to the statement's
// :parameters without regard to case.
class PreparedStatement {
public:
    PreparedStatement(Connection &cnn, const QString &tsql, const QStringList &names);
    bool prepare(QString *error);
    bool exec(const QVector<QVariant> &values, QString *error);

    // "insert into table(c1,c2) values(:c1,:c2)"
    static QString insertSql(const QString &table, const QStringList &columns);

private:
    Connection &m_cnn;
    QString m_tsql;
    QStringList m_names;
    QSqlQuery m_query;
    QList<int> m_order;   // statement parameter -> index into the values
};

// Begun on the shared connection (a savepoint when a transaction is already
// open); rolls back in its destructor unless commit() succeeded. A failed
// commit leaves it active, so the destructor rolls back what the server kept.
class ScopedTransaction {
public:
    explicit ScopedTransaction(Connection &cnn);
    ~ScopedTransaction();
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit();   // false: the connection's lastError() says why

private:
    Connection &m_cnn;
    bool m_active = false;
};
