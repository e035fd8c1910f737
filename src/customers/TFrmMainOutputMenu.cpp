// The 输出 menu: the customer list's export and the printed reports.

#include "TFrmMain.h"

#include "MainCommandHelpers.h"

#include "components/DataGrid.h"

#include <QAction>
#include <QMenu>

void TFrmMain::createOutputMenu()
{
    mnuOutput = addMainMenu("mnuOutput", QStringLiteral("输出"));
    fillMenu(mnuOutput, {301, 302, 0, 303, 304, 305, 306, 307, 0, 308});

    ownCommand(301, [this] { ExportGridToExcel(*DBGridEh1, QStringLiteral("客户服务记录列表")); });
    // Each prints the current customer, so an empty list prints nothing.
    for (int code : {303, 304, 305, 306, 308})
        ownCommand(code, [this] {
            if (!MainCommands::listEmpty(QryMain)) MainCommands::notYetAvailable();
        });
}
