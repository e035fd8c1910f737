// Report preparation speed and memory: the customer list template over the
// customer list of a generated archive, read through a DataSet as the main
// window's frMain. Prints, for 10,000 customers, when the first page was
// ready and when all pages were, then the PDF written from them; for
// 100,000 customers the same with progress, and the memory before and
// after: it must grow with the pages kept, not with the rows read. One run
// reads the 100,000 rows for the totals alone (the row band left empty):
// one page, so memory must stay where it was.
//
//   QT_QPA_PLATFORM=offscreen bench_report [--backend sqlite|postgres] [--template FILE] [--dir DIR]
//
// The template is Qr/frCltList.frf of the source tree (or --template); when
// there is none, a list of the same shape is built here.

#include "BenchArchive.h"
#include "data/DataSet.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportRenderer.h"
#include "reportengine/TemplateFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace Report;

namespace {

ReportObject cell(const QString &text, double x, double width, double height, bool bold = false)
{
    ReportObject o;
    o.text = text;
    o.rect = QRectF(x, 0, width, height);
    o.font.size = 9;
    o.font.bold = bold;
    o.frame = Frame::all();
    return o;
}

ReportTemplate builtList()
{
    ReportTemplate t;
    t.page.landscape = true;
    struct Column { const char *caption; const char *field; double width; };
    const Column cols[] = {{"ID 码", "F_code", 22}, {"用户名称", "F_name", 30}, {"手机", "F_handphone", 28},
                           {"地址", "F_buyAddress", 70}, {"类别", "F_type", 20}, {"型号", "F_xinghao", 30},
                           {"数量", "F_amount", 17}, {"总价", "F_totalprice", 30}, {"收款", "F_shoukuan", 30}};
    Band header, master, footer, summary, title;
    header.kind = BandKind::ColumnHeader;
    header.height = 7;
    master.kind = BandKind::MasterData;
    master.source = "frMain";
    master.height = 7;
    double x = 0;
    for (const Column &c : cols) {
        header.objects << cell(QString::fromUtf8(c.caption), x, c.width, 7, true);
        master.objects << cell(QStringLiteral("[frMain.%1]").arg(QLatin1String(c.field)), x, c.width, 7);
        x += c.width;
    }
    title.kind = BandKind::PageHeader;
    title.height = 12;
    title.objects << cell(QStringLiteral("客户统计列表 [DATE] [TIME]"), 0, 277, 10, true);
    footer.kind = BandKind::PageFooter;
    footer.height = 10;
    footer.objects << cell(QStringLiteral("本页合计 [SUM(frMain.F_totalprice,PAGE)]"), 0, 120, 7)
                   << cell(QStringLiteral("第[PAGE#]页 共[TOTALPAGES]页"), 200, 77, 7);
    summary.kind = BandKind::ReportSummary;
    summary.height = 8;
    summary.objects << cell(QStringLiteral("共 [COUNT(frMain)] 户，总价 [SUM(frMain.F_totalprice)]"), 0, 200, 7);
    t.bands << title << header << master << footer << summary;
    return t;
}

ReportTemplate listTemplate(const QStringList &args)
{
    QString path = bench::arg(args, "--template", {});
    if (path.isEmpty()) path = QCoreApplication::applicationDirPath() + QStringLiteral("/../../Qr/frCltList.frf");
    if (QFileInfo::exists(path)) {
        QString error;
        if (auto t = loadTemplate(path, &error)) {
            std::printf("template %s\n", qPrintable(QFileInfo(path).canonicalFilePath()));
            return *t;
        }
        std::printf("template %s not read (%s); using the built-in list\n", qPrintable(path), qPrintable(error));
    } else {
        std::printf("no template file; using the built-in list\n");
    }
    return builtList();
}

QList<SourceColumn> columns()
{
    QList<SourceColumn> c;
    for (const char *f : {"F_code", "F_name", "F_phone", "F_handphone", "F_buyAddress", "F_type", "F_xinghao",
                          "F_maker", "F_setupDept"})
        c << SourceColumn{QLatin1String(f), {}, {}, false};
    c << SourceColumn{"F_buyDate", {}, {}, true} << SourceColumn{"F_amount", {}, "0.##", false}
      << SourceColumn{"F_totalprice", {}, "￥,0.00", false} << SourceColumn{"F_shoukuan", {}, "￥,0.00", false};
    return c;
}

void run(const QString &backend, int customers, const ReportTemplate &t, const QString &dir, bool pdf)
{
    TdmData dm;
    bench::openArchive(dm, backend, customers, dir);
    DataSet list(&dm.ADOcnn);
    list.setSql(QStringLiteral("select * from t_client order by F_code"));
    QElapsedTimer clock;
    clock.start();
    if (!list.open()) qFatal("%s", qPrintable(list.lastError()));
    DataSetSource rows(&list, columns());
    Sources sources;
    sources.bind("frMain", &rows);
    const long rssBefore = bench::rssKb("VmRSS:");

    ReportRenderer renderer(t, sources);
    double firstPage = -1;
    renderer.setPageDone([&](int page, const PreparedReport &) {
        if (page == 0) firstPage = clock.elapsed() / 1000.0;
    });
    int lastTenth = 0;
    renderer.setProgress([&](int pages, int done, int total) {
        const int tenth = total > 0 ? done * 10 / total : 10;
        if (customers >= 100000 && tenth > lastTenth) {
            lastTenth = tenth;
            std::printf("  %3d%%  %6d rows  %5d pages  %6.2f s  rss %ld MB\n", tenth * 10, done, pages,
                        clock.elapsed() / 1000.0, bench::rssKb("VmRSS:") / 1024);
            std::fflush(stdout);
        }
        return true;
    });
    PreparedReport report;
    if (!renderer.render(report)) qFatal("render failed: %s", qPrintable(renderer.error()));
    const double all = clock.elapsed() / 1000.0;
    const long rssAfter = bench::rssKb("VmRSS:");
    qsizetype items = 0;
    for (const PreparedPage &p : report.pages) items += p.items.size();
    std::printf("%s, %d customers: list opened and first page ready %.3f s, all %lld pages ready %.3f s\n",
                qPrintable(backend), customers, firstPage, qint64(report.pages.size()), all);
    std::printf("  memory: %ld MB before, %ld MB after (%.1f KB a page, %.2f KB a row; %lld items)\n",
                rssBefore / 1024, rssAfter / 1024, double(rssAfter - rssBefore) / report.pages.size(),
                double(rssAfter - rssBefore) / customers, qint64(items));
    if (pdf) {
        QTemporaryDir out;
        QString error;
        clock.restart();
        if (!writePdf(report, out.filePath("list.pdf"), &error)) qFatal("pdf: %s", qPrintable(error));
        std::printf("  PDF of %lld pages written in %.2f s (%lld KB)\n", qint64(report.pages.size()),
                    clock.elapsed() / 1000.0, QFileInfo(out.filePath("list.pdf")).size() / 1024);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString backend = bench::arg(args, "--backend", "sqlite");
    const QString dir = bench::arg(args, "--dir", QDir::temp().filePath("clservice-bench"));
    const ReportTemplate t = listTemplate(args);
    run(backend, 10000, t, dir, true);
    // The totals alone first, while the memory is not yet taken by pages.
    ReportTemplate totalsOnly = t;
    for (Band &b : totalsOnly.bands)
        if (b.kind == BandKind::MasterData) {
            b.objects.clear();
            b.height = 0;
        }
    std::printf("totals only:\n");
    run(backend, 100000, totalsOnly, dir, false);
    std::printf("every row:\n");
    run(backend, 100000, t, dir, false);
    return 0;
}
