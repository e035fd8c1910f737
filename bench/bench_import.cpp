// Import speed and memory: a sheet of 100,000 rows x 12 columns of customer
// data (written by our own .xlsx writer) is read, made into the preview with
// the stored default mapping, and written in the one batch to an empty
// customer table, beside the sqlite3 shell's .import of the same rows as CSV.
// PostgreSQL too when CLSERVICE_TEST_PG_PORT names a server.
//
//   bench_import [--rows N] [--dir DIR]

#include "BenchArchive.h"
#include "data/XlsxExport.h"
#include "maintenance/ImportPreview.h"
#include "maintenance/ImportStore.h"
#include "maintenance/Workbook.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QStringList kNames = {"ID码", "用户名称", "购买地点", "固定电话", "手机", "类别",
                            "型号", "台数", "单价", "金额", "地址", "购买日期"};
const QStringList kFields = {"F_code", "F_name", "F_area", "F_phone", "F_handphone", "F_type",
                             "F_xinghao", "F_amount", "F_price", "F_totalprice", "F_buyAddress", "F_buyDate"};

QString cell(int row, int col)
{
    switch (col) {
    case 0: return QStringLiteral("%1").arg(row + 1, 8, 10, QLatin1Char('0'));
    case 1: return QStringLiteral("客户%1").arg(row);
    case 2: return QStringLiteral("城东店");
    case 3: return QStringLiteral("0571-8%1").arg(row % 10000000, 7, 10, QLatin1Char('0'));
    case 4: return QStringLiteral("139%1").arg(row, 8, 10, QLatin1Char('0'));
    case 5: return QStringLiteral("空调");
    case 6: return QStringLiteral("KFR-%1GW").arg(row % 90 + 10);
    case 7: return QString::number(row % 3 + 1);
    case 8: return QString::number(1999.5 + row % 100);
    case 9: return QString::number((1999.5 + row % 100) * (row % 3 + 1));
    case 10: return QStringLiteral("解放路%1号%2单元").arg(row % 500).arg(row % 9 + 1);
    default: return QDate(2020, 1, 1).addDays(row % 1500).toString(QStringLiteral("yyyy-MM-dd"));
    }
}

class SheetRows : public RowSource {
public:
    explicit SheetRows(int rows) : m_rows(rows) {}
    QStringList fieldNames() const override { return kFields; }
    int rowCount() const override { return m_rows; }
    bool start() override
    {
        m_row = -1;
        return true;
    }
    bool nextRow() override { return ++m_row < m_rows; }
    QVariant value(int col) const override { return cell(m_row, col); }
    QString text(int col) const override { return cell(m_row, col); }

private:
    int m_rows;
    int m_row = -1;
};

// CPU seconds of the process, less disturbed than wall time on a busy machine.
double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double g_cpu = 0;
void startClock(QElapsedTimer &t)
{
    g_cpu = cpuSeconds();
    t.restart();
}

void report(const char *what, qint64 ms, double limit)
{
    std::printf("%-36s %6.2f s wall, %6.2f s CPU (target < %.1f s)  peak memory %ld MB\n", what, ms / 1000.0,
                cpuSeconds() - g_cpu, limit, bench::rssKb("VmHWM:") / 1024);
    std::fflush(stdout);
}

// An empty customer table on a fresh database of the backend.
bool freshDatabase(TdmData &dm, const QString &backend, const QString &dir)
{
    ConnectionSettings s;
    s.driver = backend;
    if (backend == u"postgres") {
        s.server = QStringLiteral("127.0.0.1");
        s.port = qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT");
        s.database = QStringLiteral("bench_import");
    } else {
        s.database = dir + QStringLiteral("/bench_import.db");
        QFile::remove(s.database);
    }
    QString error;
    if (!Schema::createDatabase(s, &error) || !dm.connect(s, &error)) {
        std::printf("%s: %s\n", qPrintable(backend), qPrintable(error));
        return false;
    }
    if (!Schema::isInstalled(dm.ADOcnn) && !Schema::install(dm.ADOcnn, &error)) {
        std::printf("%s: %s\n", qPrintable(backend), qPrintable(error));
        return false;
    }
    return dm.RunSQL(QStringLiteral("delete from t_client"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rows = bench::arg(args, "--rows", "100000").toInt();
    QTemporaryDir tmp;
    const QString dir = bench::arg(args, "--dir", tmp.path());
    QDir().mkpath(dir);
    ProgramFolder::setPath(dir);

    const QString xlsx = dir + QStringLiteral("/import.xlsx");
    {
        QList<XlsxColumn> cols;
        for (const QString &n : kNames) cols << XlsxColumn{n, {}};
        SheetRows source(rows);
        QString error;
        if (!writeXlsx(xlsx, QStringLiteral("客户资料"), cols, source, &error)) qFatal("%s", qPrintable(error));
    }
    std::printf("%d rows x %d columns, sheet %.1f MB\n", rows, int(kNames.size()), QFileInfo(xlsx).size() / 1048576.0);

    QElapsedTimer t;
    startClock(t);
    QString error;
    std::unique_ptr<Workbook> book = Workbook::open(xlsx, &error);
    SheetTable sheet;
    if (!book || !loadTable(*book, book->tableNames().value(0), &sheet, {}, &error)) qFatal("%s", qPrintable(error));
    report("reading the .xlsx", t.elapsed(), 3);

    QList<ImportMapping> mappings;
    for (int i = 0; i < kNames.size(); ++i) mappings << ImportMapping{kNames.at(i), kFields.at(i), kNames.at(i)};
    startClock(t);
    ImportPreview preview;
    preview.reset(importColumns(QStringLiteral("t_client"), mappings));
    const ImportBuild built = buildPreview(sheet, mappings, &preview);
    if (!built.ok || preview.rowCount() != rows) qFatal("preview: %s at %d", qPrintable(built.failedColumn), built.failedRow);
    report("building the preview", t.elapsed(), 3);

    QStringList backends{QStringLiteral("sqlite")};
    if (qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT") > 0) backends << QStringLiteral("postgres");
    for (const QString &backend : backends) {
        TdmData dm;
        if (!freshDatabase(dm, backend, dir)) continue;
        startClock(t);
        const ImportWriteResult w = writeImport(dm.ADOcnn, QStringLiteral("t_client"), preview);
        const qint64 ms = t.elapsed();
        if (!w.ok) qFatal("write: %s", qPrintable(w.reason));
        if (dm.GetIntValue(QStringLiteral("select count(*) from t_client")) != rows) qFatal("rows missing");
        report(qPrintable(QStringLiteral("the batch write on ") + backend), ms, backend == u"sqlite" ? 1.5 : 5);
    }

    // The sqlite3 shell's own CSV import of the same rows, into a table of
    // the same twelve columns, for comparison.
    const QString csv = dir + QStringLiteral("/import.csv");
    {
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly)) qFatal("csv");
        for (int r = 0; r < rows; ++r) {
            QStringList line;
            for (int c = 0; c < kNames.size(); ++c) line << cell(r, c);
            f.write(line.join(u',').toUtf8() + '\n');
        }
    }
    const QString shellDb = dir + QStringLiteral("/shell.db");
    QFile::remove(shellDb);
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {shellDb});
    if (shell.waitForStarted()) {
        QStringList cols;
        for (const QString &f : kFields) cols << f + QStringLiteral(" text");
        shell.write(QStringLiteral("create table t(%1);\n").arg(cols.join(u',')).toUtf8());
        shell.waitForBytesWritten();
        t.restart();
        shell.write(QStringLiteral(".mode csv\n.import %1 t\n.quit\n").arg(csv).toUtf8());
        shell.closeWriteChannel();
        shell.waitForFinished(120000);
        std::printf("%-44s %8.2f s\n", "sqlite3 shell .import of the same rows", t.elapsed() / 1000.0);
    } else {
        std::printf("sqlite3 shell not found: no comparison\n");
    }
    return 0;
}
