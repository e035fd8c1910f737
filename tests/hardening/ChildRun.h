#pragma once
// Starting the crash child, reading what it reported, and looking at the
// database it wrote, for the crash and two-workstation tests.

#include "data/Connection.h"
#include "data/SqlText.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <csignal>
#include <unistd.h>

namespace ChildRun {

// The child's <database> argument for the settings.
inline QString databaseArg(const ConnectionSettings &s)
{
    return s.driver == QLatin1String("postgres") ? QStringLiteral("pg:%1:%2").arg(s.port).arg(s.database) : s.database;
}

// Starts the child in its own process group, so a kill takes any program it started too.
inline void start(QProcess &p, const QStringList &args)
{
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/crashchild"), args);
}

// Waits for the child's "ready" line; false when it never came.
inline bool waitReady(QProcess &p, QByteArray *out)
{
    while (!out->contains("ready\n")) {
        if (!p.waitForReadyRead(15000)) return false;
        *out += p.readAllStandardOutput();
    }
    return true;
}

inline void killGroup(QProcess &p)
{
    ::kill(-pid_t(p.processId()), SIGKILL);
    p.waitForFinished(10000);
}

// The keys of the complete "saved ..." lines (a line cut by the kill was never reported).
inline QStringList saved(const QByteArray &out, const QString &prefix = QStringLiteral("saved "))
{
    QStringList keys;
    const QString text = QString::fromUtf8(out);
    QStringList lines = text.split(u'\n');
    lines.removeLast();   // after the last newline: nothing, or a line being written
    for (const QString &l : std::as_const(lines))
        if (l.startsWith(prefix)) keys << l.mid(prefix.size());
    return keys;
}

// A connection of its own for looking at the database after a run.
class Look {
public:
    explicit Look(const ConnectionSettings &s)
        : m_cnn(QStringLiteral("look-") + QUuid::createUuid().toString(QUuid::Id128))
    {
        m_open = m_cnn.open(s);
    }
    ~Look() { m_cnn.close(); }
    bool isOpen() const { return m_open; }
    QString error() const { return m_cnn.lastError(); }
    Connection &cnn() { return m_cnn; }

    // The first column of every row; empty with *ok false when it failed.
    QStringList column(const QString &sql, bool *ok = nullptr)
    {
        QSqlQuery q(m_cnn.database());
        QStringList v;
        const bool done = q.exec(sql);
        if (ok) *ok = done;
        while (done && q.next()) v << q.value(0).toString();
        return v;
    }
    int count(const QString &sql) { return column(sql).value(0, QStringLiteral("-1")).toInt(); }
    // Values of `column` in `table` that start with `prefix`.
    QStringList startingWith(const QString &table, const QString &col, const QString &prefix)
    {
        return column(QStringLiteral("select %1 from %2 where %1 like %3").arg(col, table, sqlQuoted(prefix + u'%')));
    }
    // SQLite: the engine's own check says ok; PostgreSQL: the server answers on the database.
    QString integrity()
    {
        bool ok = false;
        const QStringList r = column(m_cnn.dialect().name() == QLatin1String("sqlite")
                                         ? QStringLiteral("pragma integrity_check")
                                         : QStringLiteral("select 'ok' from pg_database where datname = current_database() "
                                                          "and datallowconn"),
                                     &ok);
        return ok ? r.join(u';') : m_cnn.lastError();
    }

private:
    Connection m_cnn;
    bool m_open = false;
};

} // namespace ChildRun
