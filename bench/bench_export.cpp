// Export speed and memory. First the writer alone: 10,000 and 100,000 rows
// x 40 columns of codes, names, numbers with display patterns and dates made
// on the fly. Then the real path: ExportToExcel of 40 columns of the customer
// list of a generated archive, read through a DataSet. Memory must stay flat:
// the peak after the large export should be close to the peak after the
// small one.
//
//   bench_export [--backend sqlite|postgres] [--customers N] [--dir DIR]

#include "BenchArchive.h"
#include "data/DataSet.h"
#include "data/XlsxExport.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kColumns = 40;

// CPU seconds of the process, less disturbed than wall time on a busy machine.
double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Values made on demand, as a lazily fetched list would hand them out.
class GeneratedRows : public RowSource {
public:
    explicit GeneratedRows(int rows) : m_rows(rows) {}
    QStringList fieldNames() const override { return QStringList(kColumns, QString()); }
    int rowCount() const override { return m_rows; }
    bool start() override { m_row = -1; return true; }
    bool nextRow() override { return ++m_row < m_rows; }
    QVariant value(int col) const override { return value(m_row, col); }
    QString text(int col) const override { return text(m_row, col); }

    QVariant value(int row, int col) const
    {
        switch (col % 8) {
        case 2: return (row % 997) * 1.25;                 // quantity
        case 3: return 100.0 + (row * 37 % 100000) / 100.0;   // price
        case 4: return (row * 13 % 1000000) / 100.0;          // total
        default: return text(row, col);
        }
    }

    QString text(int row, int col) const
    {
        switch (col % 8) {
        case 0: return QStringLiteral("%1").arg(row + 1, 8, 10, QLatin1Char('0'));
        case 1: return QStringLiteral("客户%1 海尔冰箱 BCD-%2").arg(row).arg(col);
        case 2:
        case 3:
        case 4: return QString::number(value(row, col).toDouble(), 'g', 15);
        case 5: return row % 3 == 0 ? QStringLiteral("1900-08-14")
                                    : m_base.addDays(row % 3650).toString(Qt::ISODate);
        case 6: return QStringLiteral("139%1").arg(row, 8, 10, QLatin1Char('0'));
        default: return QStringLiteral("北京市朝阳区建国路%1号").arg(row % 500);
        }
    }

private:
    int m_rows;
    int m_row = -1;
    QDate m_base {2015, 1, 1};
};

QList<XlsxColumn> makeColumns()
{
    QList<XlsxColumn> cols;
    for (int c = 0; c < kColumns; ++c) {
        QString pattern;
        switch (c % 8) {
        case 2: pattern = QStringLiteral("0.##"); break;
        case 3: pattern = QStringLiteral("￥,0.00"); break;
        case 4: pattern = QStringLiteral("￥,0.00#"); break;
        default: break;
        }
        cols.append({QStringLiteral("列%1").arg(c + 1), pattern});
    }
    return cols;
}

bool run(const QString &dir, int rows)
{
    const QString file = dir + QStringLiteral("/export_%1.xlsx").arg(rows);
    GeneratedRows source(rows);
    QString error;
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuSeconds();
    const bool ok = writeXlsx(file, QStringLiteral("客户资料"), makeColumns(), source, &error);
    const double secs = t.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    if (!ok) {
        std::printf("export %dx%d failed: %s\n", rows, kColumns, qPrintable(error));
        return false;
    }
    std::printf("export %dx%d: %.2f s (cpu %.2f s), peak RSS %ld MB, file %.1f MB\n", rows, kColumns,
                secs, cpu, bench::rssKb("VmHWM:") / 1024, QFileInfo(file).size() / 1048576.0);
    std::fflush(stdout);
    return true;
}

// What the generated source alone costs, to tell it from the writer's share.
void readSource(int rows)
{
    GeneratedRows source(rows);
    const double cpu0 = cpuSeconds();
    qsizetype sink = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kColumns; ++c)
            sink += source.text(r, c).size() + source.value(r, c).isValid();
    std::printf("read source only %dx%d: cpu %.2f s (%lld)\n", rows, kColumns, cpuSeconds() - cpu0,
                static_cast<long long>(sink % 10));
}

// ExportToExcel as a window calls it, minus opening the file.
void exportList(TdmData &dm, const QString &dir)
{
    DataSet ds(&dm.ADOcnn);
    if (!dm.OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds))
        qFatal("open failed: %s", qPrintable(ds.lastError()));
    QList<ExportColumn> columns;
    for (int f = 1; f < ds.fieldCount() && columns.size() < kColumns; ++f) {
        const QString name = ds.fieldName(f);
        const bool money = ds.fieldKind(f) == FieldKind::Float;
        columns.append({name, name, money ? QStringLiteral("￥,0.00") : QString()});
    }
    QElapsedTimer t;
    t.start();
    const double cpu0 = cpuSeconds();
    if (!dm.ExportToExcel(columns, &ds, QStringLiteral("客户资料"), false))
        qFatal("export failed");
    const double secs = t.nsecsElapsed() / 1e9;
    qint64 size = 0;
    for (const QFileInfo &fi : QDir(dir).entryInfoList({QStringLiteral("*.xlsx")}, QDir::Files)) {
        size += fi.size();
        QFile::remove(fi.filePath());
    }
    std::printf("ExportToExcel customer list %dx%lld: %.2f s (cpu %.2f s), peak RSS %ld MB, file %.1f MB\n",
                ds.recordCount(), static_cast<long long>(columns.size()), secs, cpuSeconds() - cpu0,
                bench::rssKb("VmHWM:") / 1024, size / 1048576.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    TdmData dm;
    bench::openArchiveFromArgs(dm, args, 100000);
    QTemporaryDir out;
    // ExportToExcel writes to the temporary folder: make that ours.
    qputenv("TMPDIR", QFile::encodeName(out.path()));
    std::printf("start: peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    if (!run(out.path(), 10000) || !run(out.path(), 100000))
        return 1;
    readSource(100000);
    exportList(dm, out.path());
    return 0;
}
