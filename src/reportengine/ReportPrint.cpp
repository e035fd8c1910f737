#include "ReportPrint.h"

#include "ReportRenderer.h"
#include "TemplateFile.h"
#include "TfrmDesigner.h"
#include "TfrmPreview.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/ProgramFolder.h"
#include "components/CustomerListHost.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Report {

QString templatePath(const QString &fileName)
{
    return ProgramFolder::filePath(QStringLiteral("Qr/") + fileName);
}

std::optional<ReportTemplate> openTemplate(const QString &fileName)
{
    const QString path = templatePath(fileName);
    if (!QFileInfo(path).isFile()) {
        ShowMess(QStringLiteral("找不到报表文件“") + QDir::toNativeSeparators(path) + QStringLiteral("”，请确认它在程序目录的 Qr 文件夹中。"), 2);
        return std::nullopt;
    }
    QString error;
    std::optional<ReportTemplate> t = loadTemplate(path, &error);
    if (!t) ShowMess(QStringLiteral("报表文件“") + QDir::toNativeSeparators(path) + QStringLiteral("”无法读取：") + error, 2);
    return t;
}

namespace {

// Pages appear in the preview as they are made; the window stays usable and
// its 取消 stops the renderer.
void showPrepared(const ReportTemplate &t, Sources sources, QWidget *parent)
{
    const CompanyRecord company(sources);
    TfrmPreview view(parent);
    ReportRenderer renderer(t, sources);
    bool cancelled = false;
    view.beginRendering([&cancelled] { cancelled = true; });
    renderer.setPageDone([&view](int page, const PreparedReport &report) { view.addPage(report.pages.at(page)); });
    renderer.setProgress([&](int pages, int rowsDone, int rowsTotal) {
        view.setProgressText(QStringLiteral("正在生成报表：第 %1 页，%2 / %3 行").arg(pages).arg(rowsDone).arg(rowsTotal));
        QCoreApplication::processEvents();
        return !cancelled;
    });
    view.setWindowModality(Qt::ApplicationModal);
    view.show();
    PreparedReport report;
    const bool done = renderer.render(report);
    view.endRendering();
    // The texts filled at the end ([TOTALPAGES], report totals) are in the finished pages.
    view.setReport(std::move(report));
    if (!done && !renderer.cancelled()) {
        // Rows that could not be read: a report cut short is not offered for printing.
        qWarning("report rows could not be read: %s", qPrintable(renderer.error()));
        ShowMess(QStringLiteral("打开操作失败，请检查数据连接... "), 3);
        return;
    }
    // Closed while it rendered: the operator is done with it.
    if (renderer.cancelled() && !view.isVisible()) return;
    Dialogs::current().execDialog(view);
}

std::optional<ReportTemplate> filledTemplate(const PrintJob &job)
{
    std::optional<ReportTemplate> t = openTemplate(job.fileName);
    if (t)
        for (auto it = job.texts.cbegin(); it != job.texts.cend(); ++it) t->setObjectText(it.key(), it.value());
    return t;
}

} // namespace

void preview(const PrintJob &job, QWidget *parent)
{
    if (const std::optional<ReportTemplate> t = filledTemplate(job)) showPrepared(*t, job.sources, parent);
}

void design(const PrintJob &job, QWidget *parent)
{
    // A file that cannot be read is said and never opened, so nothing can be saved over it.
    const std::optional<ReportTemplate> t = openTemplate(job.fileName);
    if (!t) return;
    TfrmDesigner designer(parent);
    designer.setTemplate(*t, templatePath(job.fileName));
    designer.setSources(job.sources);
    const Sources sources = job.sources;
    designer.setPreview([sources, &designer](const ReportTemplate &edited) { showPrepared(edited, sources, &designer); });
    Dialogs::current().execDialog(designer);
}

CompanyRecord::CompanyRecord(Sources &sources)
{
    if (!dmData || sources.find(QStringLiteral("SysInfo")).rows) return;
    m_rows = std::make_unique<DataSet>(&dmData->ADOcnn);
    if (!dmData->OpenSQL(QStringLiteral("select * from SysInfo"), m_rows.get())) return;
    QList<SourceColumn> columns;
    for (int f = 0; f < m_rows->fieldCount(); ++f) columns.append({m_rows->fieldName(f), {}, {}, true});
    m_source = std::make_unique<DataSetSource>(m_rows.get(), columns);
    sources.bind(QStringLiteral("SysInfo"), m_source.get(), 0);
}

CompanyRecord::~CompanyRecord() = default;

HostSources::HostSources(CustomerListHost &host)
{
    auto keep = [this](std::unique_ptr<DataSetSource> rows, const QString &name, int currentRow) {
        if (!rows) return;
        m_sources.bind(name, rows.get(), currentRow);
        m_rows.push_back(std::move(rows));
    };
    const DataSet *customers = host.customerList();
    keep(host.customerRows(), QStringLiteral("frMain"), customers ? customers->recNo() : -1);
    for (int tab = 0; tab < 3; ++tab) {
        const DataSet *records = host.detailList(tab);
        keep(host.detailRows(tab), QStringLiteral("frDetail%1").arg(tab + 1), records ? records->recNo() : -1);
    }
}

HostSources::~HostSources() = default;

} // namespace Report
