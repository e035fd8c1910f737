// The 视图, 工具 and 帮助 menus: toolbar and status bar, the calculator and
// editor, the documents beside the program and the about box.

#include "TFrmMain.h"

#include "TfrmAboutInfo.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "app/Shell.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace {

QString toolProgram(Settings::Key key)
{
    QString name = PubUnit::IniFile ? Settings::text(*PubUnit::IniFile, key).trimmed() : QString();
    if (name.isEmpty()) name = Settings::entry(key).def.toString();
    return name;
}

void startTool(Settings::Key key)
{
    const QString program = toolProgram(key);
    if (!Shell::current().startProgram(program, {}))
        ShowMess(QStringLiteral("无法启动程序“") + program + QStringLiteral("”，请在 Config.ini 的 [tools] 节中设置 ")
                     + QString::fromLatin1(Settings::entry(key).name) + QStringLiteral("。"),
                 3);
}

// The first of the named documents found in the program folder, else among
// those shipped with the program (an installed program keeps them under
// share/); the current folder is the last place to look, as a bare name would
// be found there.
void openBesideProgram(const QStringList &names)
{
    QString path;
    for (const QString &name : names) {
        for (const QString &candidate : {ProgramFolder::filePath(name), QDir(ProgramFolder::sharedDataPath()).filePath(name),
                                         QDir::current().absoluteFilePath(name)}) {
            if (QFileInfo(candidate).isFile()) {
                path = candidate;
                break;
            }
        }
        if (!path.isEmpty()) break;
    }
    if (path.isEmpty()) {
        ShowMess(QStringLiteral("找不到文件“") + names.join(QStringLiteral("”或“")) + QStringLiteral("”，请确认它在程序目录中。"), 2);
        return;
    }
    if (!Shell::current().openDocument(path))
        ShowMess(QStringLiteral("无法打开文件“") + path + QStringLiteral("”，系统中没有可以打开它的程序。"), 3);
}

} // namespace

void TFrmMain::createViewToolsHelpMenus()
{
    QAction *actViewToolbar = namedAction("actViewToolbar", QStringLiteral("工具栏"), QStyle::SP_TitleBarMenuButton);
    QAction *actViewTree = namedAction("actViewTree", QStringLiteral("导航树"), QStyle::SP_DirIcon);
    QAction *actViewStatus = namedAction("actViewStatus", QStringLiteral("状态栏"), QStyle::SP_TitleBarMenuButton);
    for (QAction *a : {actViewToolbar, actViewTree, actViewStatus}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    QAction *actCalc = namedAction("actCalc", QStringLiteral("计算器"), QStyle::SP_ComputerIcon);
    QAction *actNotepad = namedAction("actNotepad", QStringLiteral("笔记本"), QStyle::SP_FileIcon);
    QAction *actHelpFile = namedAction("actHelpFile", QStringLiteral("帮助文件"), QStyle::SP_DialogHelpButton);
    QAction *actTip = namedAction("actTip", QStringLiteral("每日一贴"), QStyle::SP_MessageBoxInformation);
    actTip->setVisible(false);
    QAction *actFaq = namedAction("actFaq", QStringLiteral("常见问题"), QStyle::SP_MessageBoxQuestion);
    QAction *actReadme = namedAction("actReadme", QStringLiteral("自述文件"), QStyle::SP_FileIcon);
    QAction *actWhatsNew = namedAction("actWhatsNew", QStringLiteral("最新功能"), QStyle::SP_FileIcon);
    QAction *actAbout = namedAction("actAbout", QStringLiteral("关于我们"), QStyle::SP_MessageBoxInformation);
    QAction *actWebSite = namedAction("actWebSite", QStringLiteral("浏览作者的网站"), QStyle::SP_DriveNetIcon);

    auto A = [](QAction *a) { return QVariant::fromValue(a); };
    mnuView = addMainMenu("mnuView", QStringLiteral("视图"));
    fillMenu(mnuView, {A(actViewToolbar), A(actViewTree), A(actViewStatus)});
    mnuTools = addMainMenu("mnuTools", QStringLiteral("工具"));
    fillMenu(mnuTools, {A(actCalc), A(actNotepad)});
    mnuHelp = addMainMenu("mnuHelp", QStringLiteral("帮助"));
    fillMenu(mnuHelp, {A(actHelpFile), A(actTip), A(actFaq), 0, A(actReadme), A(actWhatsNew), 0, A(actAbout),
                       A(actWebSite)});

    // The toolbar and status bar exist by now (created before the menus).
    connect(actViewToolbar, &QAction::toggled, ToolBar1, &QWidget::setVisible);
    connect(actViewStatus, &QAction::toggled, StatusBar1, &QWidget::setVisible);

    auto on = [this](QAction *a, auto handler) { connect(a, &QAction::triggered, this, handler); };
    on(actCalc, [] { startTool(Settings::Key::CalculatorProgram); });
    on(actNotepad, [] { startTool(Settings::Key::EditorProgram); });
    on(actHelpFile, [] { openBesideProgram({QStringLiteral("manual/index.html"), QStringLiteral("help.CHM")}); });
    on(actReadme, [] { openBesideProgram({QStringLiteral("readme.txt")}); });
    on(actWhatsNew, [] { openBesideProgram({QStringLiteral("whatisnew.txt")}); });
    on(actWebSite, [] { Shell::current().openDocument(QString::fromUtf8(Vendor::WebSite)); });
    on(actAbout, [this] {
        TfrmAboutInfo about(this);
        Dialogs::current().execDialog(about);
    });
}
