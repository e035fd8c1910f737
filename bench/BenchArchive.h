#pragma once
// A generated archive for the benchmarks, made once per size and backend and
// reused by later runs (the customer count tells whether it is complete).
// PostgreSQL: CLSERVICE_TEST_PG_PORT names a server on 127.0.0.1 (user sa).

#include "app/ProgramFolder.h"
#include "data/DemoData.h"
#include "data/Schema.h"
#include "data/TdmData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace bench {

inline long rssKb(const char *key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return -1;
    // /proc files report size 0, so read to the end rather than test atEnd().
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(int(strlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

inline QString arg(const QStringList &args, const QString &name, const QString &def)
{
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : def;
}

// Connects dm to the archive of `customers` customers, generating it first
// when it is missing or incomplete.
inline void openArchive(TdmData &dm, const QString &backend, int customers, const QString &dir)
{
    QDir().mkpath(dir);
    ProgramFolder::setPath(dir);
    ConnectionSettings s;
    s.driver = backend;
    if (backend == "postgres") {
        s.server = "127.0.0.1";
        s.port = qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT");
        s.database = QStringLiteral("bench_%1").arg(customers);
    } else {
        s.database = QStringLiteral("bench_%1.db").arg(customers);
    }
    QString error;
    if (dm.connect(s, &error) && dm.GetIntValue("select count(*) from t_client") == customers) {
        // An archive made by an older build gains the indexes added since.
        const Dialect &d = dm.ADOcnn.dialect();
        for (const QString &st : d.prepareSchema() + Schema::indexStatements(d, QStringLiteral("t_client"))) {
            QSqlQuery q;
            if (!dm.ADOcnn.execNative(q, st, {}, {})) qFatal("%s: %s", qPrintable(st), qPrintable(dm.ADOcnn.lastError()));
        }
        return;
    }
    dm.ADOcnn.close();
    if (backend == "sqlite") QFile::remove(sqliteDatabaseFile(s));
    std::printf("generating %d customers on %s ...\n", customers, qPrintable(backend));
    std::fflush(stdout);
    QElapsedTimer t;
    t.start();
    if (!Schema::createDatabase(s, &error)) qFatal("%s", qPrintable(error));
    Connection setup("bench-setup");
    if (!setup.open(s) || !Schema::install(setup, &error)) qFatal("%s %s", qPrintable(setup.lastError()), qPrintable(error));
    DemoData::Options o;
    o.customers = customers;
    if (!DemoData::generate(setup, o, &error)) qFatal("%s", qPrintable(error));
    if (backend == "postgres") {
        // Plans as on a server whose statistics are current.
        QSqlQuery q;
        if (!setup.execNative(q, QStringLiteral("vacuum analyze"), {}, {})) qFatal("%s", qPrintable(setup.lastError()));
    }
    setup.close();
    std::printf("generated in %.1f s\n", t.elapsed() / 1000.0);
    if (!dm.connect(s, &error)) qFatal("%s", qPrintable(error));
}

// The archive named by the command line: --backend (sqlite), --customers
// (the default given), --dir (a folder in the temporary folder).
struct ArchiveArgs {
    QString backend;
    int customers;
};

inline ArchiveArgs openArchiveFromArgs(TdmData &dm, const QStringList &args, int defaultCustomers)
{
    const ArchiveArgs a {arg(args, "--backend", "sqlite"), arg(args, "--customers", QString::number(defaultCustomers)).toInt()};
    openArchive(dm, a.backend, a.customers, arg(args, "--dir", QDir::temp().filePath("clservice-bench")));
    return a;
}

// Tops each service table up to `perKind` records by copying its own rows
// (the generator makes fewer of each kind than customers).
inline void ensureServiceRecords(TdmData &dm, int perKind)
{
    static const char *const tables[][2] = {
        {"T_WXrec", "F_mainID,F_cltcode,F_cltName,F_bxdate,F_xfdate,F_xinghao,F_reason,F_JScode,F_amount,F_price,"
                    "F_totalprice,F_shoukuan,F_setupDept,F_billcode,F_mem1,F_fwName"},
        {"T_HFrec", "F_mainID,F_cltcode,F_cltName,F_date,F_empname,F_mem1,f_mem2,F_editDate"},
        {"T_TSrec", "F_mainID,F_cltcode,F_cltName,F_tsdate,F_tstime,F_jibie,F_maker,F_reason,F_memo1,F_memo2"},
    };
    for (const auto &t : tables) {
        const QString table = QString::fromLatin1(t[0]), cols = QString::fromLatin1(t[1]);
        for (int have = dm.GetIntValue("select count(*) from " + table); have > 0 && have < perKind;
             have = dm.GetIntValue("select count(*) from " + table)) {
            QSqlQuery q;
            const QString st = QStringLiteral("insert into %1 (%2) select %2 from %1 order by F_ID limit %3")
                                   .arg(table, cols).arg(qMin(have, perKind - have));
            if (!dm.ADOcnn.execNative(q, st, {}, {})) qFatal("%s: %s", qPrintable(st), qPrintable(dm.ADOcnn.lastError()));
        }
    }
    if (dm.ADOcnn.dialect().name() == QLatin1String("postgres")) {
        QSqlQuery q;
        dm.ADOcnn.execNative(q, QStringLiteral("analyze"), {}, {});
    }
}

} // namespace bench
