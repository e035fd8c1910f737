// Clearing a large archive: every customer with their repairs, return
// visits and complaints emptied in one transaction, the way the data
// clearing window does it. First a clearing whose last delete fails (the
// code table is renamed away), which must leave every row in place; then
// the real one. Prints the times and checks the database afterwards.
//
// The archive is the benchmark's own (it is emptied), generated anew on each run:
//   bench_dataclear [--backend sqlite|postgres] [--customers N] [--dir DIR]
#include "BenchArchive.h"
#include "maintenance/DataClear.h"

#include <QCoreApplication>
#include <QSqlQuery>

namespace {

const char *const kTables[] = {"t_client", "T_HFrec", "T_WXrec", "T_TSrec", "t_code"};

QList<int> counts(TdmData &dm)
{
    QList<int> c;
    for (const char *t : kTables) c << dm.GetIntValue(QStringLiteral("select count(*) from ") + QLatin1String(t));
    return c;
}

void native(TdmData &dm, const QString &sql)
{
    QSqlQuery q;
    if (!dm.ADOcnn.execNative(q, sql, {}, {})) qFatal("%s: %s", qPrintable(sql), qPrintable(dm.ADOcnn.lastError()));
}

void print(const char *what, const QList<int> &c)
{
    std::printf("  %-28s customers %d, return visits %d, repairs %d, complaints %d, codes %d\n", what, c[0], c[1], c[2],
                c[3], c[4]);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString backend = bench::arg(args, "--backend", "sqlite");
    const int customers = bench::arg(args, "--customers", "1000000").toInt();
    const QString dir = bench::arg(args, "--dir", QDir::temp().filePath("clservice-bench-dataclear"));
    QDir().mkpath(dir);
    ProgramFolder::setPath(dir);

    ConnectionSettings s;
    s.driver = backend;
    if (backend == "postgres") {
        s.server = "127.0.0.1";
        s.port = qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT");
        s.database = QStringLiteral("bench_dataclear");
    } else {
        s.database = QStringLiteral("bench_dataclear.db");
        QFile::remove(QDir(dir).filePath(s.database));
    }
    QString error;
    {
        // A fresh archive each run: the last one was emptied.
        if (backend == "postgres") {
            ConnectionSettings maintenance = s;
            maintenance.database = QStringLiteral("postgres");
            Connection c("bench-drop");
            if (!c.open(maintenance)) qFatal("%s", qPrintable(c.lastError()));
            QSqlQuery q;
            c.execNative(q, QStringLiteral("drop database if exists bench_dataclear"), {}, {});
        }
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
        setup.close();
        std::printf("generated in %.1f s\n", t.elapsed() / 1000.0);
    }
    TdmData dm;
    if (!dm.connect(s, &error)) qFatal("%s", qPrintable(error));
    const QList<int> before = counts(dm);
    print("before", before);

    DataClearStore store(dm);
    const DataClearChoice all{true, true, true, true, true};
    const DataClearChoice records{true, true, true, true, false};

    // A failing last delete: everything deleted before it is undone.
    native(dm, QStringLiteral("alter table t_code rename to t_code_away"));
    QElapsedTimer t;
    t.start();
    const bool failed = !store.clear(all);
    const double failMs = t.nsecsElapsed() / 1e6;
    native(dm, QStringLiteral("alter table t_code_away rename to t_code"));
    const QList<int> afterFailure = counts(dm);
    std::printf("  %-28s %10.1f ms\n", "failed clearing (rolled back)", failMs);
    print("after the failure", afterFailure);
    if (!failed || afterFailure != before || dm.ADOcnn.inTransaction()) qFatal("the failed clearing changed the database");

    t.restart();
    if (!store.clear(records)) qFatal("clearing failed: %s", qPrintable(store.lastError()));
    const double clearMs = t.nsecsElapsed() / 1e6;
    const QList<int> after = counts(dm);
    std::printf("  %-28s %10.1f ms  (%.0f rows/s)\n", "clearing in one transaction", clearMs,
                (before[0] + before[1] + before[2] + before[3]) / (clearMs / 1000.0));
    print("after", after);
    if (after != QList<int>{0, 0, 0, 0, before[4]} || dm.ADOcnn.inTransaction()) qFatal("the clearing left rows behind");
    if (backend == "sqlite") {
        QSqlQuery q;
        if (!dm.ADOcnn.execNative(q, QStringLiteral("pragma integrity_check"), {}, {}) || !q.next() ||
            q.value(0).toString() != QLatin1String("ok"))
            qFatal("integrity check failed: %s", qPrintable(q.value(0).toString()));
        std::printf("  integrity check: ok\n");
    }
    // The archive is usable again at once.
    if (!dm.RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values('00000001','x')")) ||
        dm.GetIntValue(QStringLiteral("select count(*) from t_client")) != 1)
        qFatal("the cleared archive does not take new rows");
    std::printf("  a new customer is saved afterwards: ok\n");
    return 0;
}
