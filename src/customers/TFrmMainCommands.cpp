// The main window's command centre: menus, toolbars, context menus, keys,
// status bar, rights and the commands on the customer list and detail tabs.

#include "TFrmMain.h"

#include "MainCommandSql.h"
#include "TFrmCodeMan.h"
#include "TfrmAboutInfo.h"
#include "TfrmCltEdit.h"

#include "access/TfrmOperLogin.h"
#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "app/Shell.h"
#include "components/DataGrid.h"
#include "components/GridLayout.h"
#include "data/TdmData.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kNotYet = QStringLiteral("该功能尚未完成，将在后续版本中提供。");

// Windows that arrive in later versions answer plainly instead of doing nothing.
void notYetAvailable() { ShowMess(kNotYet, 0); }

struct ActionDef {
    int code;
    const char *caption;
    const char *category;
    QStyle::StandardPixmap icon;
};

// clang-format off
const ActionDef kActions[] = {
    {101, "公司信息", "文件", QStyle::SP_ComputerIcon},
    {102, "更改密码", "文件", QStyle::SP_DialogResetButton},
    {103, "用户权限", "文件", QStyle::SP_DirHomeIcon},
    {104, "选项...", "文件", QStyle::SP_FileDialogListView},
    {106, "自定义设置", "文件", QStyle::SP_FileDialogDetailedView},
    {201, "新增", "编辑", QStyle::SP_FileIcon},
    {202, "修改", "编辑", QStyle::SP_FileDialogContentsView},
    {203, "删除", "编辑", QStyle::SP_TrashIcon},
    {204, "排序...", "编辑", QStyle::SP_ArrowDown},
    {205, "显示字段选择", "编辑", QStyle::SP_FileDialogDetailedView},
    {206, "保存当前网格", "编辑", QStyle::SP_DialogSaveButton},
    {207, "复制", "编辑", QStyle::SP_FileLinkIcon},
    {208, "维护记录", "编辑", QStyle::SP_DriveHDIcon},
    {209, "回访记录", "编辑", QStyle::SP_MessageBoxQuestion},
    {210, "投诉记录", "编辑", QStyle::SP_MessageBoxWarning},
    {301, "导出", "输出", QStyle::SP_DialogSaveButton},
    {302, "报表设计", "输出", QStyle::SP_FileDialogInfoView},
    {303, "当前客户详细报表", "输出", QStyle::SP_FileIcon},
    {304, "当前客户统计列表", "输出", QStyle::SP_FileIcon},
    {305, "当前客户信封打印", "输出", QStyle::SP_FileIcon},
    {306, "客户信封标签打印", "输出", QStyle::SP_FileIcon},
    {307, "导出客户电子信箱", "输出", QStyle::SP_DialogSaveButton},
    {308, "打印当前销售单据", "输出", QStyle::SP_FileIcon},
    {401, "统计", "统计", QStyle::SP_FileDialogInfoView},
    {402, "业务提醒", "统计", QStyle::SP_MessageBoxInformation},
    {403, "电器销售统计", "统计", QStyle::SP_FileDialogInfoView},
    {404, "用户维修统计", "统计", QStyle::SP_FileDialogInfoView},
    {405, "电器安装统计", "统计", QStyle::SP_FileDialogInfoView},
    {406, "用户赠品统计", "统计", QStyle::SP_FileDialogInfoView},
    {407, "用户投诉统计", "统计", QStyle::SP_FileDialogInfoView},
    {501, "导入客户资料", "数据", QStyle::SP_DialogOpenButton},
    {502, "系统数据清理", "数据", QStyle::SP_DialogDiscardButton},
    {503, "数据备份恢复", "数据", QStyle::SP_DriveFDIcon},
    {504, "连接网络数据库", "数据", QStyle::SP_DriveNetIcon},
    {901, "新增", "从编辑", QStyle::SP_FileIcon},
    {902, "修改", "从编辑", QStyle::SP_FileDialogContentsView},
    {903, "删除", "从编辑", QStyle::SP_TrashIcon},
    {904, "排序", "从编辑", QStyle::SP_ArrowDown},
    {905, "显示字段选择", "从编辑", QStyle::SP_FileDialogDetailedView},
    {906, "保存当前网格", "从编辑", QStyle::SP_DialogSaveButton},
    {31, "导出", "从编辑", QStyle::SP_DialogSaveButton},
};
// clang-format on

// Every right code, in the order they are asked; 105 and 505 gate no entry
// but 105 still counts for its menu group.
const int kRightCodes[] = {101, 102, 103, 104, 105, 201, 202, 203, 204, 205, 206, 207, 301, 302, 303, 304,
                           305, 306, 307, 308, 401, 402, 403, 404, 405, 406, 407, 501, 502, 503, 504, 505};

// The window that opens for a command, by code; everything else is handled below.
bool isPendingWindow(int code)
{
    switch (code) {
    case 101: case 102: case 103: case 106:
    case 208: case 209: case 210:
    case 302: case 307:
    case 401: case 402: case 403: case 404: case 405: case 406: case 407:
    case 501: case 502: case 503:
        return true;
    default:
        return false;
    }
}

bool isReportCommand(int code) { return (code >= 303 && code <= 306) || code == 308; }

bool listEmpty(const DataSet *ds) { return !ds || !ds->isActive() || ds->isEmpty(); }

// What the grid shows, in its order: the columns a spreadsheet export writes.
QList<ExportColumn> exportColumns(const DataGrid &grid)
{
    QList<ExportColumn> cols;
    for (int i = 0; i < grid.columnCount(); ++i) {
        const GridColumn &c = grid.column(i);
        if (c.visible) cols.append({c.field, c.caption, c.displayFormat});
    }
    return cols;
}

void exportGrid(DataGrid *grid, const QString &title)
{
    if (!dmData || !grid) return;
    dmData->ExportToExcel(exportColumns(*grid), grid->dataSet(), title, true);
}

void sortGrid(DataGrid *grid)
{
    if (!grid) return;
    QString sort = grid->dataSet() ? grid->dataSet()->sort() : QString();
    if (ArrangeSort(*grid, sort)) grid->applySort(sort);
}

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

// A document that lives beside the program; the current folder is the
// second place to look, as a bare name would be found there.
void openBesideProgram(const QString &name)
{
    QString path;
    for (const QString &candidate : {ProgramFolder::filePath(name), QDir::current().absoluteFilePath(name)}) {
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        ShowMess(QStringLiteral("找不到文件“") + name + QStringLiteral("”，请确认它在程序目录中。"), 2);
        return;
    }
    if (!Shell::current().openDocument(path))
        ShowMess(QStringLiteral("无法打开文件“") + path + QStringLiteral("”，系统中没有可以打开它的程序。"), 3);
}

// --- customer commands --------------------------------------------------------

void openCustomerEditor(TFrmMain &w, int mode)
{
    TfrmCltEdit editor(w, &w);
    editor.OpenEditor(mode);
}

void editCustomer(TFrmMain &w)
{
    if (listEmpty(w.QryMain)) {
        ShowMess(QStringLiteral("此表为空，没有售后记录需要修改！"), 3);
        return;
    }
    openCustomerEditor(w, TfrmCltEdit::EditMode);
}

void copyCustomer(TFrmMain &w)
{
    if (listEmpty(w.QryMain)) {
        ShowMess(QStringLiteral("售后记录是空，不能复制！"), 0);
        return;
    }
    openCustomerEditor(w, TfrmCltEdit::CopyMode);
}

void runStatements(const QStringList &statements, bool *ok)
{
    for (const QString &sql : statements) {
        if (!*ok) return;
        dmData->QryPub->close();
        dmData->QryPub->params().clear();
        dmData->QryPub->setSql(sql);
        *ok = dmData->QryPub->execSql();
    }
}

// The customer code's service records and every customer row with that
// code, all or nothing.
void deleteCustomer(TFrmMain &w)
{
    if (listEmpty(w.QryMain) || !dmData) return;
    const QString name = w.QryMain->fieldByName(QStringLiteral("F_Name")).asString();
    if (ShowMess(customerDeleteQuestion(name), 1) == 2) return;
    const QString code = w.QryMain->fieldByName(QStringLiteral("F_code")).asString();

    bool ok = false;
    bool listRerun = false;
    {
        ScopedTransaction transaction(dmData->ADOcnn);
        ok = transaction.isActive();
        runStatements(customerDeleteStatements(code), &ok);
        if (ok) {
            w.RunQuery();
            listRerun = true;
            ok = transaction.commit();
            if (!ok) dmData->ADOcnn.rollback();
        }
    }
    if (!ok) {
        ShowMess(QStringLiteral("操作失败，请检查连接..."), 3);
        // The list was read inside the rolled-back transaction.
        if (listRerun) w.RunQuery();
    }
}

void clearEmptyRows()
{
    if (dmData) dmData->RunSQL(emptyCustomerRowsSql());
    // Shown even after a failure, which RunSQL has already reported.
    ShowMess(QStringLiteral("清除客户空行成功！"), 2);
}

void reportCommand(TFrmMain &w)
{
    if (listEmpty(w.QryMain)) return;
    notYetAvailable();
}

// --- detail-tab commands ------------------------------------------------------

int currentTab(const TFrmMain &w)
{
    const int tab = w.rpcList ? w.rpcList->currentIndex() : 0;
    return tab >= 0 && tab <= 2 ? tab : 0;
}

void detailNew(TFrmMain &w, bool needCustomer)
{
    if (needCustomer && listEmpty(w.QryMain)) {
        ShowMess(detailNeedsCustomerMessage(currentTab(w)), 0);
        w.DBGridEh1->setFocus();
        return;
    }
    notYetAvailable();
}

void detailEdit(TFrmMain &w)
{
    if (listEmpty(w.detailQuery(currentTab(w)))) {
        ShowMess(QStringLiteral("此表为空，没有记录需要修改！"), 3);
        return;
    }
    notYetAvailable();
}

void detailDelete(TFrmMain &w)
{
    const int tab = currentTab(w);
    DataSet *q = w.detailQuery(tab);
    if (listEmpty(q) || !dmData) return;
    const QString date = q->fieldByName(detailDateField(tab)).asString();
    if (ShowMess(detailDeleteQuestion(tab, date), 1) == 2) return;
    const qint64 id = q->fieldByName(QStringLiteral("F_ID")).value().toLongLong();
    if (dmData->DeleteByID(detailTable(tab), id)) w.ReopenDetail(tab);
}

} // namespace

// -------------------------------------------------------------------------------

void TFrmMain::createCommands()
{
    QStyle *st = style();

    // Coded actions.
    for (const ActionDef &d : kActions) {
        auto *a = new QAction(st->standardIcon(d.icon), QString::fromUtf8(d.caption), this);
        a->setObjectName(QStringLiteral("act%1").arg(d.code));
        a->setProperty("category", QString::fromUtf8(d.category));
        m_actions.insert(d.code, a);
    }
    auto named = [this, st](const char *objectName, const QString &caption, QStyle::StandardPixmap icon) {
        auto *a = new QAction(st->standardIcon(icon), caption, this);
        a->setObjectName(QString::fromLatin1(objectName));
        return a;
    };

    QAction *actReLogin = named("actReLogin", QStringLiteral("重新登录"), QStyle::SP_BrowserReload);
    QAction *actExit = named("actExit", QStringLiteral("退出系统"), QStyle::SP_DialogCloseButton);
    QAction *actClearRows = named("actClearRows", QStringLiteral("清除客户空行"), QStyle::SP_DialogDiscardButton);
    QAction *actViewToolbar = named("actViewToolbar", QStringLiteral("工具栏"), QStyle::SP_TitleBarMenuButton);
    QAction *actViewTree = named("actViewTree", QStringLiteral("导航树"), QStyle::SP_DirIcon);
    QAction *actViewStatus = named("actViewStatus", QStringLiteral("状态栏"), QStyle::SP_TitleBarMenuButton);
    for (QAction *a : {actViewToolbar, actViewTree, actViewStatus}) {
        a->setCheckable(true);
        a->setChecked(true);
    }
    QAction *actCalc = named("actCalc", QStringLiteral("计算器"), QStyle::SP_ComputerIcon);
    QAction *actNotepad = named("actNotepad", QStringLiteral("笔记本"), QStyle::SP_FileIcon);
    QAction *actHelpFile = named("actHelpFile", QStringLiteral("帮助文件"), QStyle::SP_DialogHelpButton);
    QAction *actTip = named("actTip", QStringLiteral("每日一贴"), QStyle::SP_MessageBoxInformation);
    actTip->setVisible(false);
    QAction *actFaq = named("actFaq", QStringLiteral("常见问题"), QStyle::SP_MessageBoxQuestion);
    QAction *actReadme = named("actReadme", QStringLiteral("自述文件"), QStyle::SP_FileIcon);
    QAction *actWhatsNew = named("actWhatsNew", QStringLiteral("最新功能"), QStyle::SP_FileIcon);
    QAction *actAbout = named("actAbout", QStringLiteral("关于我们"), QStyle::SP_MessageBoxInformation);
    QAction *actWebSite = named("actWebSite", QStringLiteral("浏览作者的网站"), QStyle::SP_DriveNetIcon);

    // Toolbar-only buttons.
    QAction *tbReLogin = named("tbReLogin", QStringLiteral("重新登录"), QStyle::SP_BrowserReload);
    QAction *tbRefresh = named("tbRefresh", QStringLiteral("刷新"), QStyle::SP_BrowserReload);
    QAction *tbWX = named("tbWX", QStringLiteral("维护"), QStyle::SP_DriveHDIcon);
    QAction *tbHF = named("tbHF", QStringLiteral("回访"), QStyle::SP_MessageBoxQuestion);
    QAction *tbTS = named("tbTS", QStringLiteral("投诉"), QStyle::SP_MessageBoxWarning);
    QAction *tbClose = named("tbClose", QStringLiteral("关闭"), QStyle::SP_DialogCloseButton);

    // The detail area's own toolbar.
    QAction *tbdNew = named("tbdNew", QStringLiteral("新增"), QStyle::SP_FileIcon);
    QAction *tbdEdit = named("tbdEdit", QStringLiteral("修改"), QStyle::SP_FileDialogContentsView);
    QAction *tbddel = named("tbddel", QStringLiteral("删除"), QStyle::SP_TrashIcon);
    QAction *tbdpx = named("tbdpx", QStringLiteral("排序"), QStyle::SP_ArrowDown);
    QAction *tbddc = named("tbddc", QStringLiteral("导出"), QStyle::SP_DialogSaveButton);

    // --- main menu ---
    QMenuBar *bar = menuBar();
    auto addMenu = [bar](const char *objectName, const QString &title) {
        QMenu *m = bar->addMenu(title);
        m->setObjectName(QString::fromLatin1(objectName));
        return m;
    };
    auto fill = [this](QMenu *m, std::initializer_list<QVariant> items) {
        for (const QVariant &v : items) {
            if (v.typeId() == QMetaType::Int) {
                if (v.toInt() == 0)
                    m->addSeparator();
                else
                    m->addAction(action(v.toInt()));
            } else {
                m->addAction(v.value<QAction *>());
            }
        }
    };
    auto A = [](QAction *a) { return QVariant::fromValue(a); };

    mnuFile = addMenu("mnuFile", QStringLiteral("文件"));
    fill(mnuFile, {101, 102, 103, 0, 104, 106, 0, A(actReLogin), A(actExit)});
    mnuEdit = addMenu("mnuEdit", QStringLiteral("编辑"));
    fill(mnuEdit, {201, 207, 202, 203, 0, 208, 209, 210, 0, 205, 206, 204});
    mnuOutput = addMenu("mnuOutput", QStringLiteral("输出"));
    fill(mnuOutput, {301, 302, 0, 303, 304, 305, 306, 307, 0, 308});
    mnuStat = addMenu("mnuStat", QStringLiteral("统计"));
    fill(mnuStat, {401, 402, 0, 403, 404, 405, 406, 407});
    mnuData = addMenu("mnuData", QStringLiteral("数据"));
    fill(mnuData, {501, A(actClearRows), 502, 503, 0, 504});
    mnuView = addMenu("mnuView", QStringLiteral("视图"));
    fill(mnuView, {A(actViewToolbar), A(actViewTree), A(actViewStatus)});
    mnuTools = addMenu("mnuTools", QStringLiteral("工具"));
    fill(mnuTools, {A(actCalc), A(actNotepad)});
    mnuHelp = addMenu("mnuHelp", QStringLiteral("帮助"));
    fill(mnuHelp, {A(actHelpFile), A(actTip), A(actFaq), 0, A(actReadme), A(actWhatsNew), 0, A(actAbout),
                   A(actWebSite)});

    // --- toolbar ---
    ToolBar1 = new QToolBar(QStringLiteral("工具栏"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setMovable(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    ToolBar1->addAction(tbReLogin);
    ToolBar1->addAction(tbRefresh);
    ToolBar1->addSeparator();
    ToolBar1->addAction(tbWX);
    ToolBar1->addAction(tbHF);
    ToolBar1->addAction(tbTS);
    ToolBar1->addAction(action(402));
    ToolBar1->addSeparator();
    for (int code : {201, 207, 202, 203}) ToolBar1->addAction(action(code));
    ToolBar1->addSeparator();
    ToolBar1->addAction(tbClose);

    for (QAction *a : {tbdNew, tbdEdit, tbddel, tbdpx, tbddc}) tbDetail->addAction(a);

    // --- context menus ---
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    fill(PopupMenu1, {201, 207, 202, 203, 0, 204, 205, 206, 0, 307, 308});
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    fill(PopupMenu2, {205, 206});
    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    fill(PopupMenu3, {901, 902, 903, 0, 904, 31, 0, 905, 906});

    auto attachPopup = [](QAbstractScrollArea *area, QMenu *menu) {
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(area, &QWidget::customContextMenuRequested, menu, [area, menu](const QPoint &pos) {
            menu->popup(area->viewport()->mapToGlobal(pos));
        });
    };
    attachPopup(DBGridEh1, PopupMenu1);
    for (DataGrid *g : {DBGridEh2, DBGridEh3, DBGridEh4}) attachPopup(g, PopupMenu3);
    rpcList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rpcList, &QWidget::customContextMenuRequested, PopupMenu2,
            [this](const QPoint &pos) { PopupMenu2->popup(rpcList->mapToGlobal(pos)); });

    // --- status bar ---
    const struct {
        QString text;
        int width;
    } panels[] = {{QStringLiteral(" 当前用户"), 60},
                  {QStringLiteral(" ") + PubUnit::CurOper, 80},
                  {QStringLiteral(" 当前日期时间"), 100},
                  {QString(), 140}};
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(panels[i].text, StatusBar1);
        l->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        l->setMinimumWidth(panels[i].width);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar1->addWidget(l);
    }
    auto *fixedLine = new QLabel(PubUnit::ProductName + PubUnit::PublisherText, StatusBar1);
    fixedLine->setObjectName(QStringLiteral("sbPanel4"));
    fixedLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fixedLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addPermanentWidget(fixedLine, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrmMain::showClock);
    Timer1->start();

    // --- what the actions do ---
    auto on = [this](QAction *a, auto handler) { connect(a, &QAction::triggered, this, handler); };
    for (const ActionDef &d : kActions) {
        const int code = d.code;
        if (isPendingWindow(code))
            on(action(code), [] { notYetAvailable(); });
        else if (isReportCommand(code))
            on(action(code), [this] { reportCommand(*this); });
    }
    on(action(104), [this] {
        TFrmCodeMan codes(this);
        Dialogs::current().execDialog(codes);
    });
    on(action(201), [this] { openCustomerEditor(*this, TfrmCltEdit::NewMode); });
    on(action(202), [this] { editCustomer(*this); });
    on(action(207), [this] { copyCustomer(*this); });
    on(action(203), [this] { deleteCustomer(*this); });
    on(action(204), [this] { sortGrid(DBGridEh1); });
    on(action(205), [this] { ChooseColumns(*DBGridEh1); });
    on(action(206), [this] { AskAndSaveGridLayout(*DBGridEh1, QStringLiteral("clientmain")); });
    on(action(301), [this] { exportGrid(DBGridEh1, QStringLiteral("客户服务记录列表")); });
    on(action(504), [this] {
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

    on(tbWX, [this] { action(208)->trigger(); });
    on(tbHF, [this] { action(209)->trigger(); });
    on(tbTS, [this] { action(210)->trigger(); });

    on(action(901), [this] { detailNew(*this, false); });
    on(tbdNew, [this] { detailNew(*this, true); });
    for (QAction *a : {action(902), tbdEdit}) on(a, [this] { detailEdit(*this); });
    for (QAction *a : {action(903), tbddel}) on(a, [this] { detailDelete(*this); });
    for (QAction *a : {action(904), tbdpx}) on(a, [this] { sortGrid(detailGrid(currentTab(*this))); });
    for (QAction *a : {action(31), tbddc})
        on(a, [this] {
            const int tab = currentTab(*this);
            exportGrid(detailGrid(tab), detailSheetTitle(tab));
        });
    on(action(905), [this] { ChooseColumns(*detailGrid(currentTab(*this))); });
    on(action(906), [this] {
        const int tab = currentTab(*this);
        AskAndSaveGridLayout(*detailGrid(tab), detailGridKey(tab));
    });

    on(actReLogin, [this] {
        RunLogin(TfrmOperLogin::ChangeOperator, [this](const QString &n) { SetLimits(n); });
    });
    on(tbReLogin, [this] {
        RunLogin(TfrmOperLogin::ChangeOperator, [this](const QString &n) { SetLimits(n); });
        RunQuery();
    });
    on(tbRefresh, [this] { RefreshList(); });
    on(actClearRows, [] { clearEmptyRows(); });
    for (QAction *a : {actExit, tbClose}) on(a, [this] { close(); });

    connect(actViewToolbar, &QAction::toggled, ToolBar1, &QWidget::setVisible);
    connect(actViewStatus, &QAction::toggled, StatusBar1, &QWidget::setVisible);

    on(actCalc, [] { startTool(Settings::Key::CalculatorProgram); });
    on(actNotepad, [] { startTool(Settings::Key::EditorProgram); });
    on(actHelpFile, [] { openBesideProgram(QStringLiteral("help.CHM")); });
    on(actReadme, [] { openBesideProgram(QStringLiteral("readme.txt")); });
    on(actWhatsNew, [] { openBesideProgram(QStringLiteral("whatisnew.txt")); });
    on(actWebSite, [] { Shell::current().openDocument(QString::fromUtf8(Vendor::WebSite)); });
    on(actAbout, [this] {
        TfrmAboutInfo about(this);
        Dialogs::current().execDialog(about);
    });

    // --- double-clicks ---
    connect(DBGridEh1, &DataGrid::rowDoubleClicked, this, [this] {
        if (action(202)->isVisible()) action(202)->trigger();
    });
    for (DataGrid *g : {DBGridEh2, DBGridEh3, DBGridEh4})
        connect(g, &DataGrid::rowDoubleClicked, this, [this, tbdEdit] {
            if (tbdEdit->isVisible() && tbdEdit->isEnabled()) tbdEdit->trigger();
        });

    // Keys reach the window before its controls (a focused line edit would
    // otherwise take Ctrl+A for itself).
    qApp->installEventFilter(this);
}

void TFrmMain::SetLimits(const QString &loginName)
{
    const bool admin = loginName.trimmed().toLower() == QStringLiteral("admin");
    QHash<int, bool> granted;
    for (int code : kRightCodes) granted[code] = admin || (dmData && dmData->HasRight(QString::number(code)));

    for (auto it = granted.cbegin(); it != granted.cend(); ++it)
        if (QAction *a = action(it.key())) a->setVisible(it.value());

    // Followers.
    for (int i = 1; i <= 6; ++i) action(900 + i)->setVisible(granted.value(200 + i));
    action(31)->setVisible(granted.value(301));
    if (auto *a = findChild<QAction *>(QStringLiteral("actClearRows"))) a->setVisible(granted.value(501));
    // The detail toolbar acts like the detail context entries, so it carries their rights.
    const struct {
        const char *name;
        int code;
    } detailButtons[] = {{"tbdNew", 901}, {"tbdEdit", 902}, {"tbddel", 903}, {"tbdpx", 904}, {"tbddc", 31}};
    for (const auto &b : detailButtons)
        if (auto *a = findChild<QAction *>(QString::fromLatin1(b.name))) a->setVisible(action(b.code)->isVisible());

    auto anyOf = [&granted](int from, int to) {
        for (int c = from; c <= to; ++c)
            if (granted.value(c)) return true;
        return false;
    };
    mnuFile->menuAction()->setVisible(anyOf(101, 105));
    mnuEdit->menuAction()->setVisible(anyOf(201, 207));
    mnuOutput->menuAction()->setVisible(anyOf(301, 308));
    mnuStat->menuAction()->setVisible(anyOf(401, 407));
    mnuData->menuAction()->setVisible(anyOf(501, 504));
}

void TFrmMain::showClock()
{
    if (auto *clock = StatusBar1->findChild<QLabel *>(QStringLiteral("sbPanel3")))
        clock->setText(QStringLiteral(" ") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    if (auto *oper = StatusBar1->findChild<QLabel *>(QStringLiteral("sbPanel1")))
        oper->setText(QStringLiteral(" ") + PubUnit::CurOper);
}

namespace {
// The command a key stands for: 201/202/203, -1 for Esc, 0 for none.
int keyCommand(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Escape && mods == Qt::NoModifier) return -1;
    if (mods != Qt::ControlModifier) return 0;
    switch (e->key()) {
    case Qt::Key_A: return 201;
    case Qt::Key_E: return 202;
    case Qt::Key_S: return 203;
    default: return 0;
    }
}

// Esc inside an open cell editor cancels the edit rather than the window.
bool insideCellEditor(QObject *watched)
{
    auto *w = qobject_cast<QWidget *>(watched);
    for (QObject *o = watched; o; o = o->parent())
        if (auto *view = qobject_cast<QAbstractItemView *>(o))
            return w && w != view->viewport() && view->viewport()->isAncestorOf(w);
    return false;
}
} // namespace

bool TFrmMain::commandKey(QKeyEvent *event)
{
    const int code = keyCommand(event);
    if (code == -1) {
        close();
        return true;
    }
    if (code == 0) return false;
    QAction *a = action(code);
    if (!a || !a->isVisible() || !a->isEnabled()) return false;
    a->trigger();
    return true;
}

bool TFrmMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        auto *ke = static_cast<QKeyEvent *>(event);
        const int code = keyCommand(ke);
        if (code == -1 && insideCellEditor(watched)) return QMainWindow::eventFilter(watched, event);
        if (type == QEvent::ShortcutOverride) {
            // Claim the key so no control or shortcut takes it; the press follows.
            const QAction *a = code > 0 ? action(code) : nullptr;
            if (code == -1 || (a && a->isVisible() && a->isEnabled())) {
                ke->accept();
                return true;
            }
        } else if (commandKey(ke)) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::closeEvent(QCloseEvent *event)
{
    if (!m_closeConfirmed && ShowMess(exitQuestion(PubUnit::ProductName), 1) != 1) {
        event->ignore();
        return;
    }
    m_closeConfirmed = false;
    event->accept();
}
