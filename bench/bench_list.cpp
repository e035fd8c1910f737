// The customer list on a large archive, as the main window opens it:
// first screen of rows, the record count, memory of the open result, and
// what fetching every row into memory would cost instead.
//
//   bench_list [--backend sqlite|postgres] [--customers N] [--dir DIR] [--runs R]
// PostgreSQL: CLSERVICE_TEST_PG_PORT names a server on 127.0.0.1 (user sa).
#include "BenchArchive.h"
#include "data/DataSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>

namespace {
using bench::rssKb;

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

const QString kBase = QStringLiteral("select * from t_client where (1=1) ");
const QString kFlags = QStringLiteral("and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0 ");
const QString kOrder = QStringLiteral(" order by F_code");
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int runs = bench::arg(args, "--runs", "7").toInt();
    TdmData dm;
    const auto [backend, customers] = bench::openArchiveFromArgs(dm, args, 1000000);

    const struct { const char *label; QString sql; } cases[] = {
        {"no search", kBase + kFlags + kOrder},
        {"mobile like '%139%'", kBase + "and isNull(f_handphone,'') like '%139%' " + kFlags + kOrder},
    };
    std::printf("backend %s, %d customers, median of %d runs\n", qPrintable(backend), customers, runs);
    for (const auto &c : cases) {
        QVector<double> first, count;
        int rows = 0;
        for (int r = 0; r < runs; ++r) {
            DataSet ds(&dm.ADOcnn);
            QElapsedTimer t;
            t.start();
            if (!dm.OpenSQL(c.sql, &ds)) qFatal("open failed: %s", qPrintable(ds.lastError()));
            QString sink;
            for (int i = 0; i < 50 && !ds.eof(); ++i, ds.next())
                for (int f = 0; f < ds.fieldCount(); ++f) sink += ds.field(f).asString();
            first << t.nsecsElapsed() / 1e6;
            t.restart();
            rows = ds.recordCount();
            count << t.nsecsElapsed() / 1e6;
        }
        std::printf("  %-22s first 50 rows %7.1f ms   record count %7.1f ms   (%d rows)\n", c.label,
                    median(first), median(count), rows);
    }

    {
        const long before = rssKb("VmRSS:");
        DataSet ds(&dm.ADOcnn);
        dm.OpenSQL(kBase + kFlags + kOrder, &ds);
        for (int i = 0; i < 50; ++i) ds.next();
        ds.recordCount();
        ds.setRecNo(ds.recordCount() / 2);   // a jump to the middle, as a scrollbar drag
        std::printf("  open unfiltered result: RSS %ld MB (process), +%ld MB for the result\n",
                    rssKb("VmRSS:") / 1024, (rssKb("VmRSS:") - before) / 1024);
    }

    {
        // The naive way: every row fetched into memory before the first is shown.
        const long before = rssKb("VmRSS:");
        QElapsedTimer t;
        t.start();
        QSqlQuery q;
        if (!dm.ADOcnn.exec(q, kBase + kFlags + kOrder)) qFatal("%s", qPrintable(dm.ADOcnn.lastError()));
        QVector<QVector<QVariant>> all;
        const int cols = q.record().count();
        while (q.next()) {
            QVector<QVariant> row(cols);
            for (int c = 0; c < cols; ++c) row[c] = q.value(c);
            all.append(std::move(row));
        }
        std::printf("  naive fetch-all: %lld rows in %.0f ms, +%ld MB RSS\n", qlonglong(all.size()),
                    t.nsecsElapsed() / 1e6, (rssKb("VmRSS:") - before) / 1024);
    }
    std::printf("peak RSS %ld MB\n", rssKb("VmHWM:") / 1024);
    return 0;
}
