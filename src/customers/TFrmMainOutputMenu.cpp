// The 输出 menu: the customer list's export and the printed reports.

#include "TFrmMain.h"

#include "MainCommandHelpers.h"

#include "components/DataGrid.h"
#include "reportengine/ReportPrint.h"

#include <QAction>
#include <QMenu>

std::unique_ptr<DataSetSource> TFrmMain::customerRows() const
{
    return DBGridEh1->rowSource(DataGrid::Columns::AllFields);
}

std::unique_ptr<DataSetSource> TFrmMain::detailRows(int tab) const
{
    DataGrid *grid = detailGrid(tab);
    return grid ? grid->rowSource(DataGrid::Columns::AllFields) : nullptr;
}

void TFrmMain::createOutputMenu()
{
    mnuOutput = addMainMenu("mnuOutput", QStringLiteral("输出"));
    fillMenu(mnuOutput, {301, 302, 0, 303, 304, 305, 306, 307, 0, 308});

    ownCommand(301, [this] { ExportGridToExcel(*DBGridEh1, QStringLiteral("客户服务记录列表")); });
    // Each prints from the main window's sources; an empty list prints nothing.
    const struct {
        int code;
        const char *file;
    } prints[] = {{303, "frCltXianqing.frf"}, {304, "frCltList.frf"}, {305, "frCltXingFeng.frf"},
                  {306, "frCltBiaoqian.frf"}, {308, "frKhxsPGD.frf"}};
    for (const auto &p : prints)
        ownCommand(p.code, [this, file = QString::fromUtf8(p.file)] {
            if (MainCommands::listEmpty(QryMain)) return;
            const Report::HostSources sources(*this);
            Report::preview({file, {}, sources.sources()}, this);
        });
}
