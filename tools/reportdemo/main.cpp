// reportdemo: renders a template of Qr/ against an archive to PDF, PNG
// pages or a saved prepared report without a window, with the main window's sources (frMain, the first
// customer's frDetail1..3), the company record and frDBDataSet1 from a statement.
//
//   reportdemo [--home DIR] --template FILE.frf [--pdf OUT.pdf] [--png OUT-%1.png]
//              [--prepared OUT.clrep] [--dpi N] [--sql STATEMENT]
#include "access/Session.h"
#include "app/Application.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "components/GridLayout.h"
#include "customers/TFrmMain.h"
#include "data/ConnectionConfig.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/PagePainter.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportPrint.h"
#include "reportengine/ReportRenderer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char kUsage[] = "usage: reportdemo [--home DIR] --template FILE.frf [--pdf OUT.pdf] [--png OUT-%1.png] "
                      "[--prepared OUT.clrep] [--dpi N] [--sql STATEMENT]\n";

// The rows a list or statistics window would hand its template as frDBDataSet1.
QString defaultStatement(const QString &file)
{
    const QString f = file.toLower();
    if (f.startsWith(QLatin1String("frwx"))) return QStringLiteral("select * from T_WXrec order by F_ID");
    if (f.startsWith(QLatin1String("frhf"))) return QStringLiteral("select * from T_HFrec order by F_ID");
    if (f.startsWith(QLatin1String("frts"))) return QStringLiteral("select * from T_TSrec order by F_ID");
    if (f.startsWith(QLatin1String("frstat")))
        return QStringLiteral("select F_type as F_name, count(*) as F_num from t_client group by F_type order by F_type");
    return QStringLiteral("select * from t_client order by F_code");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    initApplication(args);

    QTextStream out(stdout), err(stderr);
    QString file, pdf, png, prepared, sql;
    int dpi = 100;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--home") && hasValue) ++i;   // taken by initApplication
        else if (a == QLatin1String("--template") && hasValue) file = args.at(++i);
        else if (a == QLatin1String("--pdf") && hasValue) pdf = args.at(++i);
        else if (a == QLatin1String("--png") && hasValue) png = args.at(++i);
        else if (a == QLatin1String("--prepared") && hasValue) prepared = args.at(++i);
        else if (a == QLatin1String("--sql") && hasValue) sql = args.at(++i);
        else if (a == QLatin1String("--dpi") && hasValue) dpi = qBound(20, args.at(++i).toInt(), 600);
        else {
            err << "reportdemo: unknown or incomplete argument " << a << "\n" << kUsage;
            return 2;
        }
    }
    if (file.isEmpty() || (pdf.isEmpty() && png.isEmpty() && prepared.isEmpty())) {
        err << kUsage;
        return 2;
    }

    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    PubUnit::IniFile = &ini;
    TdmData data;
    dmData = &data;
    QString error;
    if (!data.connect(readConnectionSettings(ini), &error)) {
        err << "reportdemo: cannot open the database: " << error << "\n";
        return 1;
    }
    Session::SetUp(QStringLiteral("admin"));

    std::optional<Report::ReportTemplate> t = Report::openTemplate(QFileInfo(file).fileName());
    if (!t) {
        err << "reportdemo: cannot read " << Report::templatePath(QFileInfo(file).fileName()) << "\n";
        return 1;
    }
    t->setObjectText(QStringLiteral("MemoDate"), QStringLiteral("统计日期：自 启用系统 至 记帐最后一天"));
    t->setObjectText(QStringLiteral("Memo1"), QStringLiteral("客户分类统计图"));
    t->setObjectText(QStringLiteral("Memo2"), QStringLiteral("类别"));

    // The main window's own sources, its first customer current.
    TFrmMain main;
    // The stored layouts carry the columns' number patterns, so cells print as the grids show them.
    LoadGridLayout(*main.DBGridEh1, QStringLiteral("clientmain"));
    const char *const detailKeys[] = {"wxrecman", "hfrecman", "tsrecman"};
    for (int tab = 0; tab < 3; ++tab) LoadGridLayout(*main.detailGrid(tab), QString::fromLatin1(detailKeys[tab]));
    main.ApplyGridCaptions();
    main.RunQuery();
    const Report::HostSources host(main);
    Report::Sources sources = host.sources();
    DataSet rows(&data.ADOcnn);
    if (!data.OpenSQL(sql.isEmpty() ? defaultStatement(file) : sql, &rows)) return 1;
    QList<SourceColumn> columns;
    for (int f = 0; f < rows.fieldCount(); ++f) columns.append({rows.fieldName(f), {}, {}, true});
    DataSetSource listRows(&rows, columns);
    sources.bind(QStringLiteral("frDBDataSet1"), &listRows, 0);
    const Report::CompanyRecord company(sources);

    QElapsedTimer timer;
    timer.start();
    Report::PreparedReport report;
    Report::ReportRenderer renderer(*t, sources);
    if (!renderer.render(report)) {
        err << "reportdemo: " << renderer.error() << "\n";
        return 1;
    }
    out << file << ": " << report.pages.size() << " pages in " << timer.elapsed() << " ms\n";
    if (!pdf.isEmpty() && !Report::writePdf(report, pdf, &error)) {
        err << "reportdemo: " << error << "\n";
        return 1;
    }
    if (!prepared.isEmpty() && !Report::savePrepared(report, prepared, &error)) {
        err << "reportdemo: " << error << "\n";
        return 1;
    }
    for (int p = 0; !png.isEmpty() && p < report.pages.size(); ++p) {
        const QString name = png.contains(QLatin1String("%1")) ? png.arg(p + 1) : png;
        if (!Report::pageImage(report.pages.at(p), dpi).save(name)) {
            err << "reportdemo: cannot write " << name << "\n";
            return 1;
        }
        if (!png.contains(QLatin1String("%1"))) break;
    }
    return 0;
}
