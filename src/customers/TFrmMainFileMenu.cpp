// The 文件 menu: the windows of the file commands, re-login and exit.

#include "TFrmMain.h"

#include "TFrmCodeMan.h"

#include "access/TfrmOperLogin.h"
#include "app/Dialogs.h"

#include <QAction>
#include <QMenu>

void TFrmMain::createFileMenu()
{
    QAction *actReLogin = namedAction("actReLogin", QStringLiteral("重新登录"), QStyle::SP_BrowserReload);
    QAction *actExit = namedAction("actExit", QStringLiteral("退出系统"), QStyle::SP_DialogCloseButton);

    mnuFile = addMainMenu("mnuFile", QStringLiteral("文件"));
    fillMenu(mnuFile, {101, 102, 103, 0, 104, 106, 0, QVariant::fromValue(actReLogin), QVariant::fromValue(actExit)});

    ownCommand(104, [this] {
        TFrmCodeMan codes(this);
        Dialogs::current().execDialog(codes);
    });
    // From the menu the list stays as it is; the toolbar's button re-runs it.
    connect(actReLogin, &QAction::triggered, this,
            [this] { RunLogin(TfrmOperLogin::ChangeOperator, [this](const QString &n) { SetLimits(n); }); });
    connect(actExit, &QAction::triggered, this, [this] { close(); });
}
