// The 数据 menu: clearing empty customer rows and changing the connection.

#include "TFrmMain.h"

#include "MainCommandSql.h"

#include "app/Companion.h"
#include "app/ProgramFolder.h"
#include "app/Shell.h"
#include "data/TdmData.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

void TFrmMain::createDataMenu()
{
    QAction *actClearRows = namedAction("actClearRows", QStringLiteral("清除客户空行"), QStyle::SP_DialogDiscardButton);
    mnuData = addMainMenu("mnuData", QStringLiteral("数据"));
    fillMenu(mnuData, {501, QVariant::fromValue(actClearRows), 502, 503, 0, 504});

    connect(actClearRows, &QAction::triggered, this, [] {
        if (dmData) dmData->RunSQL(emptyCustomerRowsSql());
        // Shown even after a failure, which RunSQL has already reported.
        ShowMess(QStringLiteral("清除客户空行成功！"), 2);
    });
    ownCommand(504, [this] {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/mdconn");
        if (!Shell::current().startProgram(program, {QStringLiteral("--home"), ProgramFolder::path()})) {
            ShowMess(QStringLiteral("无法启动连接配置程序“") + program + QStringLiteral("”。"), 3);
            return;
        }
        // Ends at once: the connection is being changed, there is nothing to ask.
        m_closeConfirmed = true;
        close();
        QCoreApplication::quit();
    });
}
