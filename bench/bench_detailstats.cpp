// The five detail statistics windows on a large archive: each window's
// query over all dates (both ticks off) and over this month, to the
// repainted first screen; then the record count and the footer totals,
// which follow on a reader of their own; and a click on the first column's
// title over all dates once the list is counted, to the re-sorted first screen.
//
//   bench_detailstats [--backend sqlite|postgres] [--customers N] [--records N] [--runs R] [--dir DIR]
// The archive gains copies of its own service records until each kind has
// --records rows (default 300000), so it is kept apart from the other
// benchmarks' archive (default folder clservice-bench-stats).
// PostgreSQL: CLSERVICE_TEST_PG_PORT names a server on 127.0.0.1 (user sa).
#include "BenchArchive.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "reports/DetailStatWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSqlQuery>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[v.size() / 2];
}

// Copies the table's own rows (oldest first) until it holds `wanted`.
void topUp(TdmData &dm, const QString &table, const QString &columns, int wanted)
{
    int have = dm.GetIntValue(QStringLiteral("select count(*) from ") + table);
    if (have <= 0 || have >= wanted) return;
    std::printf("copying %s rows up to %d ...\n", qPrintable(table), wanted);
    std::fflush(stdout);
    while (have < wanted) {
        const int n = qMin(wanted - have, have);
        QSqlQuery q;
        const QString st = QStringLiteral("insert into %1(%2) select %2 from %1 order by F_ID limit %3").arg(table, columns).arg(n);
        if (!dm.ADOcnn.execNative(q, st, {}, {})) qFatal("%s: %s", qPrintable(st), qPrintable(dm.ADOcnn.lastError()));
        have += n;
    }
    QSqlQuery q;
    dm.ADOcnn.execNative(q, QStringLiteral("analyze"), {}, {});
}

// Runs the event loop until `done` or a minute has passed; the milliseconds taken.
double waitFor(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 60000) {
        QThread::usleep(200);
        QApplication::processEvents();
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    if (!args.contains(QStringLiteral("--dir"))) args << QStringLiteral("--dir") << QDir::temp().filePath("clservice-bench-stats");
    const int runs = bench::arg(args, "--runs", "5").toInt();
    const int records = bench::arg(args, "--records", "300000").toInt();
    TdmData dm;
    const auto [backend, customers] = bench::openArchiveFromArgs(dm, args, 1000000);
    topUp(dm, QStringLiteral("T_WXrec"),
          QStringLiteral("F_mainID,F_cltcode,F_cltName,F_bxdate,F_xfdate,F_xinghao,F_reason,F_JScode,F_amount,F_price,"
                         "F_totalprice,F_shoukuan,F_setupDept,F_billcode,F_mem1,F_fwName"),
          records);
    topUp(dm, QStringLiteral("T_TSrec"),
          QStringLiteral("F_mainID,F_cltcode,F_cltName,F_tsdate,F_tstime,F_jibie,F_maker,F_reason,F_memo1,F_memo2"), records);
    PubUnit::CurOper = QStringLiteral("admin");
    PubUnit::SeeAllClients = true;
    std::printf("backend %s, %d customers, %d repairs, %d complaints, median of %d runs\n", qPrintable(backend), customers,
                dm.GetIntValue(QStringLiteral("select count(*) from T_WXrec")),
                dm.GetIntValue(QStringLiteral("select count(*) from T_TSrec")), runs);
    std::printf("  %-18s %-10s %14s %14s %14s %10s\n", "window", "dates", "first screen", "record count", "footer totals",
                "rows");

    for (DetailStatKind kind : kDetailStatKinds) {
        for (const bool allDates : {true, false}) {
            QVector<double> first, count, sums;
            int rows = 0;
            for (int r = 0; r < runs; ++r) {
                DetailStatWindow w(kind);
                w.resize(1100, 650);
                w.show();
                QApplication::processEvents();
                if (allDates)
                    for (CheckedDateEdit *d : {w.dtpFromDate, w.dtpToDate, w.dtpfromDate1, w.dtptoDate1})
                        if (d) d->setChecked(false);
                QElapsedTimer t;
                t.start();
                w.tbQueryClick();
                w.repaint();
                QApplication::processEvents();
                first << t.nsecsElapsed() / 1e6;
                count << first.last() + waitFor([&w] { return w.QryTable->isRecordCountKnown(); });
                const QVector<int> fields = w.DBGridEh1->footerSumFields();
                sums << count.last() + waitFor([&] { return w.QryTable->hasSums(fields); });
                rows = w.QryTable->recordCount();
            }
            std::printf("  %-18s %-10s %11.1f ms %11.1f ms %11.1f ms %10d\n", qPrintable(detailStatFamily(kind).gridKey),
                        allDates ? "all" : "this month", median(first), median(count), median(sums), rows);
            std::fflush(stdout);
        }
    }
    std::printf("  title click on the first column, all dates:\n");
    for (DetailStatKind kind : kDetailStatKinds) {
        DetailStatWindow w(kind);
        w.resize(1100, 650);
        w.show();
        QApplication::processEvents();
        for (CheckedDateEdit *d : {w.dtpFromDate, w.dtpToDate, w.dtpfromDate1, w.dtptoDate1})
            if (d) d->setChecked(false);
        w.tbQueryClick();
        waitFor([&w] { return w.QryTable->isRecordCountKnown(); });   // clicked once the list is counted
        QElapsedTimer t;
        t.start();
        emit w.DBGridEh1->horizontalHeader()->sectionClicked(w.DBGridEh1->horizontalHeader()->logicalIndex(0));
        w.repaint();
        QApplication::processEvents();
        std::printf("  %-18s %-10s %11.1f ms   by %s\n", qPrintable(detailStatFamily(kind).gridKey), "all",
                    t.nsecsElapsed() / 1e6, qPrintable(w.DBGridEh1->column(0).field));
        std::fflush(stdout);
    }
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
