// The main window's commands: menus and toolbars, rights, keys, the customer
// and detail deletes, exit, tools, help and the about box.

#include "LoginDriver.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "ZipEntry.h"

#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"
#include "components/DataGrid.h"
#include "customers/TFrmMain.h"
#include "customers/TfrmAboutInfo.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kNotYet = QStringLiteral("该功能尚未完成，将在后续版本中提供。");

// A main window on a fresh database, logged in as admin, with scripted dialogs.
struct Fixture {
    explicit Fixture(const QString &backend)
    {
        dm = TestDb::freshModule(backend, dir.path());
        PubUnit::CurOper = QStringLiteral("admin");
        PubUnit::SeeAllClients = true;
        w = std::make_unique<TFrmMain>();
        w->SetLimits(QStringLiteral("admin"));
    }

    bool sql(const QString &s) { return dm->RunSQL(s); }
    int count(const QString &s) { return dm->GetIntValue(s); }

    void addCustomer(const QString &code, const QString &name, const QString &empName = QStringLiteral("admin"))
    {
        QVERIFY(sql(QStringLiteral("insert into t_client(F_code,F_name,F_empName) values(%1,%2,%3)")
                        .arg(sqlQuoted(code), sqlQuoted(name), sqlQuoted(empName))));
    }
    // table, its date field, the customer code and the date.
    void addRecord(const char *table, const char *dateField, const QString &code, const QString &date)
    {
        QVERIFY(sql(QStringLiteral("insert into %1(F_cltcode,F_cltName,%2) values(%3,'x',%4)")
                        .arg(QLatin1String(table), QLatin1String(dateField), sqlQuoted(code), sqlQuoted(date))));
    }
    void grant(const QString &oper, const QStringList &codes)
    {
        for (const QString &c : codes)
            QVERIFY(sql(QStringLiteral("insert into OperLimit(F_OperName,F_lmtName) select %1, F_name from Limits "
                                       "where F_code = %2")
                            .arg(sqlQuoted(oper), sqlQuoted(c))));
    }
    QAction *named(const char *objectName) const
    {
        auto *a = w->findChild<QAction *>(QString::fromLatin1(objectName));
        if (!a) qFatal("no action %s", objectName);
        return a;
    }
    void show()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<TFrmMain> w;
};

// Entries as the menu lists them, "-" for separators.
QStringList entries(const QMenu *m, bool visibleOnly = false)
{
    QStringList r;
    for (const QAction *a : m->actions()) {
        if (a->isSeparator()) {
            if (!visibleOnly) r << QStringLiteral("-");
        } else if (!visibleOnly || a->isVisible()) {
            r << a->text();
        }
    }
    return r;
}

QStringList toolbarEntries(const QToolBar *t)
{
    QStringList r;
    for (const QAction *a : t->actions()) r << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return r;
}

QStringList visibleMenus(const TFrmMain &w)
{
    QStringList r;
    for (const QAction *a : w.menuBar()->actions())
        if (a->isVisible()) r << a->text();
    return r;
}

// The customer editor, as the dialog seam records it (by its caption).
QString editorShown(bool edit)
{
    return QStringLiteral("-1:") + (edit ? QStringLiteral("用户档案 - 修改") : QStringLiteral("用户档案 - 新增"));
}

QStringList messageTexts(const ScriptedDialogs &d)
{
    QStringList r;
    for (const auto &c : d.calls) r << QStringLiteral("%1:%2").arg(c.kind).arg(c.text);
    return r;
}

QString msg(int kind, const QString &text) { return QStringLiteral("%1:%2").arg(kind).arg(text); }

// The first row of a written sheet (libxlsxwriter's constant-memory files carry inline strings).
QStringList headerRow(const QString &file)
{
    const QString xml = QString::fromUtf8(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    const QRegularExpression rowRe(QStringLiteral("<row[^>]*>(.*?)</row>"), QRegularExpression::DotMatchesEverythingOption);
    const QString row = rowRe.match(xml).captured(1);
    QStringList r;
    const QRegularExpression t(QStringLiteral("<t[^>]*>([^<]*)</t>"));
    for (auto it = t.globalMatch(row); it.hasNext();) r << it.next().captured(1);
    return r;
}

} // namespace

class TestMainCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }
    void cleanup() { PubUnit::resetLoginState(); }

    void commandFrame();
    void rights_data();
    void rights();
    void keysFollowRights();
    void preconditions_data();
    void preconditions();
    void providedWindows();
    void deleteCustomer_data() { TestDb::addBackendRows(); }
    void deleteCustomer();
    void deleteSharedOrEmptyCode_data();
    void deleteSharedOrEmptyCode();
    void failedDeleteRollsBack_data() { TestDb::addBackendRows(); }
    void failedDeleteRollsBack();
    void clearEmptyRows_data() { TestDb::addBackendRows(); }
    void clearEmptyRows();
    void detailCommands_data() { TestDb::addBackendRows(); }
    void detailCommands();
    void detailNewNeedsCustomer();
    void exportLists_data() { TestDb::addBackendRows(); }
    void exportLists();
    void exitQuestion_data();
    void exitQuestion();
    void connectionToolEndsAtOnce();
    void toolsAndDocuments();
    void aboutBox();
    void reLogin();
};

void TestMainCommands::commandFrame()
{
    Fixture f(QStringLiteral("sqlite"));
    TFrmMain &w = *f.w;

    QCOMPARE(visibleMenus(w), (QStringList{"文件", "编辑", "输出", "统计", "数据", "视图", "工具", "帮助"}));
    QCOMPARE(entries(w.mnuFile), (QStringList{"公司信息", "更改密码", "用户权限", "-", "选项...", "自定义设置", "-",
                                               "重新登录", "退出系统"}));
    QCOMPARE(entries(w.mnuEdit), (QStringList{"新增", "复制", "修改", "删除", "-", "维护记录", "回访记录", "投诉记录", "-",
                                               "显示字段选择", "保存当前网格", "排序..."}));
    QCOMPARE(entries(w.mnuOutput), (QStringList{"导出", "报表设计", "-", "当前客户详细报表", "当前客户统计列表",
                                                 "当前客户信封打印", "客户信封标签打印", "导出客户电子信箱", "-",
                                                 "打印当前销售单据"}));
    QCOMPARE(entries(w.mnuStat), (QStringList{"统计", "业务提醒", "-", "电器销售统计", "用户维修统计", "电器安装统计",
                                               "用户赠品统计", "用户投诉统计"}));
    QCOMPARE(entries(w.mnuData), (QStringList{"导入客户资料", "清除客户空行", "系统数据清理", "数据备份恢复", "-",
                                               "连接网络数据库"}));
    QCOMPARE(entries(w.mnuView), (QStringList{"工具栏", "导航树", "状态栏"}));
    for (const QAction *a : w.mnuView->actions()) QVERIFY(a->isCheckable() && a->isChecked());
    QCOMPARE(entries(w.mnuTools), (QStringList{"计算器", "笔记本"}));
    QCOMPARE(entries(w.mnuHelp), (QStringList{"帮助文件", "每日一贴", "常见问题", "-", "自述文件", "最新功能", "-",
                                               "关于我们", "浏览作者的网站"}));
    QCOMPARE(entries(w.mnuHelp, true).contains(QStringLiteral("每日一贴")), false);

    QCOMPARE(toolbarEntries(w.ToolBar1), (QStringList{"重新登录", "刷新", "-", "维护", "回访", "投诉", "业务提醒", "-",
                                                       "新增", "复制", "修改", "删除", "-", "关闭"}));
    QCOMPARE(w.ToolBar1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    for (const QAction *a : w.ToolBar1->actions()) QVERIFY(a->isSeparator() || !a->icon().isNull());
    QStringList detailButtons;
    for (const QAction *a : w.tbDetail->actions()) detailButtons << a->objectName() + u'=' + a->text();
    QCOMPARE(detailButtons, (QStringList{"tbdNew=新增", "tbdEdit=修改", "tbddel=删除", "tbdpx=排序", "tbddc=导出"}));

    QCOMPARE(entries(w.PopupMenu1), (QStringList{"新增", "复制", "修改", "删除", "-", "排序...", "显示字段选择",
                                                  "保存当前网格", "-", "导出客户电子信箱", "打印当前销售单据"}));
    QCOMPARE(w.PopupMenu2->actions(), (QList<QAction *>{w.action(205), w.action(206)}));
    QCOMPARE(w.PopupMenu3->actions().value(0), w.action(901));
    QCOMPARE(entries(w.PopupMenu3), (QStringList{"新增", "修改", "删除", "-", "排序", "导出", "-", "显示字段选择",
                                                  "保存当前网格"}));
    for (QWidget *g : std::initializer_list<QWidget *>{w.DBGridEh1, w.DBGridEh2, w.DBGridEh3, w.DBGridEh4, w.rpcList})
        QCOMPARE(g->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(w.action(201)->objectName(), QStringLiteral("act201"));
    QCOMPARE(w.action(31)->property("category").toString(), QStringLiteral("从编辑"));

    // Status bar: five panels, the clock and the operator written at show.
    f.show();
    QStringList panels;
    for (int i = 0; i < 5; ++i) {
        auto *l = w.StatusBar1->findChild<QLabel *>(QStringLiteral("sbPanel%1").arg(i));
        QVERIFY(l);
        panels << l->text();
    }
    QCOMPARE(panels[0], QStringLiteral(" 当前用户"));
    QCOMPARE(panels[1], QStringLiteral(" admin"));
    QCOMPARE(panels[2], QStringLiteral(" 当前日期时间"));
    QVERIFY2(QRegularExpression(QStringLiteral("^ \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")).match(panels[3]).hasMatch(),
             qPrintable(panels[3]));
    QVERIFY(panels[4].startsWith(PubUnit::ProductName));
    QCOMPARE(w.Timer1->interval(), 1000);
    QVERIFY(w.Timer1->isActive());

    // The view toggles hide the toolbar band and the status bar.
    f.named("actViewToolbar")->trigger();
    QVERIFY(!w.ToolBar1->isVisible());
    f.named("actViewStatus")->trigger();
    QVERIFY(!w.StatusBar1->isVisible());
    f.named("actViewStatus")->trigger();
    QVERIFY(w.StatusBar1->isVisible());
    QVERIFY(f.seams.dialogs.calls.isEmpty());
}

void TestMainCommands::rights_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QStringList>("grants");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<QStringList>("fileEntries");
    QTest::addColumn<QStringList>("editEntries");
    QTest::addColumn<QStringList>("shown");   // of the probes below

    const QStringList tail{"视图", "工具", "帮助"};
    const QStringList lists{"维护记录", "回访记录", "投诉记录"};
    const QStringList allFile{"公司信息", "更改密码", "用户权限", "选项...", "自定义设置", "重新登录", "退出系统"};
    const QStringList allEdit{"新增", "复制", "修改", "删除", "维护记录", "回访记录", "投诉记录", "显示字段选择",
                              "保存当前网格", "排序..."};
    const QStringList allProbes{"act901", "act903", "act906", "act31", "actClearRows", "tbdNew", "tbddel", "tbddc",
                                "act106", "act208"};
    for (const QString &b : TestDb::backends()) {
        auto row = [&b](const char *name) { return &QTest::newRow(qPrintable(b + u' ' + QLatin1String(name))); };
        *row("admin typed with blanks") << b << " Admin " << QStringList() << QStringList{"文件", "编辑", "输出", "统计", "数据"} + tail
                                        << allFile << allEdit << allProbes;
        *row("only 207") << b << "op1" << QStringList{"207"} << QStringList{"编辑"} + tail << QStringList()
                         << QStringList{"复制"} + lists << QStringList{"act106", "act208"};
        *row("201 301 501 follow") << b << "op1" << QStringList{"201", "301", "501"}
                                   << QStringList{"编辑", "输出", "数据"} + tail << QStringList()
                                   << QStringList{"新增"} + lists
                                   << QStringList{"act901", "act31", "actClearRows", "tbdNew", "tbddc", "act106", "act208"};
        // 105 has no entry but still keeps the file menu with its ungated entries.
        *row("only 105") << b << "op1" << QStringList{"105"} << QStringList{"文件"} + tail
                         << QStringList{"自定义设置", "重新登录", "退出系统"} << lists
                         << QStringList{"act106", "act208"};
        *row("no rights") << b << "op1" << QStringList() << tail << QStringList() << lists
                          << QStringList{"act106", "act208"};
    }
}

void TestMainCommands::rights()
{
    FETCH_BACKEND(backend);
    QFETCH(QString, login);
    QFETCH(QStringList, grants);
    QFETCH(QStringList, menus);
    QFETCH(QStringList, fileEntries);
    QFETCH(QStringList, editEntries);
    QFETCH(QStringList, shown);
    Fixture f(backend);
    f.grant(QStringLiteral("op1"), grants);

    // Applied after an admin session, as a re-login does.
    PubUnit::CurOper = login.trimmed();
    f.w->SetLimits(login);

    QCOMPARE(visibleMenus(*f.w), menus);
    if (menus.contains(QStringLiteral("文件"))) QCOMPARE(entries(f.w->mnuFile, true), fileEntries);
    QCOMPARE(entries(f.w->mnuEdit, true), editEntries);
    const QStringList probes{"act901", "act903", "act906", "act31", "actClearRows", "tbdNew", "tbddel", "tbddc",
                             "act106", "act208"};
    QStringList visible;
    for (const QString &p : probes)
        if (f.named(qPrintable(p))->isVisible()) visible << p;
    QCOMPARE(visible, shown);
    // The toolbar's service-record buttons never depend on rights.
    QVERIFY(f.named("tbWX")->isVisible() && f.named("tbClose")->isVisible());
}

void TestMainCommands::keysFollowRights()
{
    Fixture f(QStringLiteral("sqlite"));
    f.addCustomer(QStringLiteral("A01"), QStringLiteral("某商行"));
    f.show();
    TFrmMain &w = *f.w;
    QCOMPARE(w.QryMain->recordCount(), 1);

    PubUnit::CurOper = QStringLiteral("op1");
    w.SetLimits(QStringLiteral("op1"));
    w.Edit1->setText(QStringLiteral("abc"));
    w.Edit1->deselect();
    QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.Edit1->selectedText(), QStringLiteral("abc"));   // the line edit kept its key
    w.Edit1->clear();
    for (QWidget *target : std::initializer_list<QWidget *>{w.Edit1, w.DBGridEh1})
        for (Qt::Key k : {Qt::Key_A, Qt::Key_E, Qt::Key_S}) QTest::keyClick(target, k, Qt::ControlModifier);
    emit w.DBGridEh1->rowDoubleClicked(0);
    QCOMPARE(messageTexts(f.seams.dialogs), QStringList());

    PubUnit::CurOper = QStringLiteral("admin");
    w.SetLimits(QStringLiteral("admin"));
    QTest::keyClick(w.Edit1, Qt::Key_A, Qt::ControlModifier);   // 201, even from the search box
    QTest::keyClick(w.DBGridEh1, Qt::Key_E, Qt::ControlModifier);
    emit w.DBGridEh1->rowDoubleClicked(0);
    QTest::keyClick(w.DBGridEh1, Qt::Key_S, Qt::ControlModifier);   // delete, not save: answered No
    QTest::keyClick(w.Edit1, Qt::Key_Escape);                        // exit question, answered No
    QCOMPARE(messageTexts(f.seams.dialogs),
             (QStringList{editorShown(false), editorShown(true), editorShown(true),
                          msg(1, QStringLiteral("删除当前售后记录，将删除当前记录所有相关内容，\n真的要删除当前用户某商行 的售后记录吗？")),
                          msg(1, QStringLiteral("真的要退出“澄岚电器售后服务管理软件 ”软件吗？"))}));
    QVERIFY(w.isVisible());
    QCOMPARE(f.count(QStringLiteral("select count(*) from t_client")), 1);
}

void TestMainCommands::preconditions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("withCustomer");
    QTest::addColumn<QStringList>("shown");
    const QStringList notYet{msg(0, kNotYet)};
    QTest::newRow("202 empty") << "act202" << false << QStringList{msg(3, QStringLiteral("此表为空，没有售后记录需要修改！"))};
    QTest::newRow("202") << "act202" << true << QStringList{editorShown(true)};
    QTest::newRow("207 empty") << "act207" << false << QStringList{msg(0, QStringLiteral("售后记录是空，不能复制！"))};
    QTest::newRow("207") << "act207" << true << QStringList{editorShown(false)};
    QTest::newRow("201 empty") << "act201" << false << QStringList{editorShown(false)};
    QTest::newRow("203 empty") << "act203" << false << QStringList();
    QTest::newRow("303 empty") << "act303" << false << QStringList();
    // %1: the program folder; without the template the print says where it looked.
    QTest::newRow("308") << "act308" << true
                         << QStringList{msg(2, QStringLiteral("找不到报表文件“%1/Qr/frKhxsPGD.frf”，请确认它在程序目录的 Qr 文件夹中。"))};
    QTest::newRow("208 via toolbar") << "tbWX" << false << notYet;
    QTest::newRow("503") << "act503" << false << notYet;
}

void TestMainCommands::preconditions()
{
    QFETCH(QString, command);
    QFETCH(bool, withCustomer);
    QFETCH(QStringList, shown);
    Fixture f(QStringLiteral("sqlite"));
    if (withCustomer) f.addCustomer(QStringLiteral("A01"), QStringLiteral("张三"));
    f.w->RunQuery();
    f.named(qPrintable(command))->trigger();
    for (QString &text : shown) text.replace(QStringLiteral("%1"), ProgramFolder::path());
    QCOMPARE(messageTexts(f.seams.dialogs), shown);
}

// A subsystem's window opens through the registry with the main window as
// its host; the main window itself knows nothing of it.
void TestMainCommands::providedWindows()
{
    Fixture f(QStringLiteral("sqlite"));
    f.addCustomer(QStringLiteral("A01"), QStringLiteral("张三"));
    f.w->RunQuery();
    QStringList opened;
    CommandRegistry::instance().provide(208, [&opened](CustomerListHost &host) {
        opened << QStringLiteral("208 ") + host.customerList()->fieldByName(QStringLiteral("F_code")).asString();
    });
    auto cleanup = qScopeGuard([] { CommandRegistry::instance().clear(); });
    f.named("tbWX")->trigger();
    f.w->action(208)->trigger();
    QCOMPARE(opened, (QStringList{QStringLiteral("208 A01"), QStringLiteral("208 A01")}));
    QVERIFY(f.seams.dialogs.calls.isEmpty());
    // One not provided still answers plainly.
    f.w->action(209)->trigger();
    QCOMPARE(messageTexts(f.seams.dialogs), QStringList{msg(0, kNotYet)});
}

void TestMainCommands::deleteCustomer()
{
    FETCH_BACKEND(backend);
    Fixture f(backend);
    const QString code = QStringLiteral("A'01");   // a quote in the code must not break the statements
    f.addCustomer(code, QStringLiteral("某商行"));
    f.addCustomer(QStringLiteral("B02"), QStringLiteral("别家"));
    for (const QString &c : {code, QStringLiteral("B02")}) {
        f.addRecord("T_WXrec", "F_bxdate", c, QStringLiteral("2024-03-01"));
        f.addRecord("T_HFrec", "F_date", c, QStringLiteral("2024-03-02"));
        f.addRecord("T_TSrec", "F_tsdate", c, QStringLiteral("2024-03-03"));
    }
    f.addRecord("T_WXrec", "F_bxdate", code, QStringLiteral("2024-04-01"));
    TFrmMain &w = *f.w;
    w.RunQuery();
    QVERIFY(w.QryMain->locate(QStringLiteral("F_name"), QStringLiteral("某商行")));

    auto counts = [&f](const QString &c) {
        const QString q = sqlQuoted(c);
        return QList<int>{f.count(QStringLiteral("select count(*) from t_client where F_code = ") + q),
                          f.count(QStringLiteral("select count(*) from T_WXrec where F_cltcode = ") + q),
                          f.count(QStringLiteral("select count(*) from T_HFrec where F_cltcode = ") + q),
                          f.count(QStringLiteral("select count(*) from T_TSrec where F_cltcode = ") + q)};
    };
    QCOMPARE(counts(code), (QList<int>{1, 2, 1, 1}));

    // No keeps everything.
    w.action(203)->trigger();
    QCOMPARE(f.seams.dialogs.texts(),
             QStringList{QStringLiteral("删除当前售后记录，将删除当前记录所有相关内容，\n真的要删除当前用户某商行 的售后记录吗？")});
    QCOMPARE(f.seams.dialogs.calls[0].kind, 1);
    QCOMPARE(f.seams.dialogs.calls[0].defaultAnswer, int(Mess::No));   // Enter must not delete
    QCOMPARE(counts(code), (QList<int>{1, 2, 1, 1}));

    f.seams.dialogs.answer(1);
    w.action(203)->trigger();
    QCOMPARE(f.seams.dialogs.calls.size(), 2);   // the question, and no failure
    // The customer with every service record of its code; the other customer untouched.
    QCOMPARE(counts(code), (QList<int>{0, 0, 0, 0}));
    QCOMPARE(counts(QStringLiteral("B02")), (QList<int>{1, 1, 1, 1}));
    QVERIFY(!f.dm->ADOcnn.inTransaction());
    QCOMPARE(w.QryMain->recordCount(), 1);
    QCOMPARE(w.QryMain->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("B02"));
    QCOMPARE(w.lblCLTnum->text(), QStringLiteral("记录总数： 1 条"));
}

void TestMainCommands::deleteSharedOrEmptyCode_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("code");
    for (const QString &b : TestDb::backends()) {
        QTest::newRow(qPrintable(b + QStringLiteral(" shared"))) << b << QStringLiteral("S01");
        QTest::newRow(qPrintable(b + QStringLiteral(" empty"))) << b << QString();
    }
}

// A code that does not name one customer must not take the other customers
// (and their records) with it: only the current row and what is attached to it.
void TestMainCommands::deleteSharedOrEmptyCode()
{
    FETCH_BACKEND(backend);
    QFETCH(QString, code);
    Fixture f(backend);
    f.addCustomer(code, QStringLiteral("甲"));
    f.addCustomer(code, QStringLiteral("乙"));
    auto idOf = [&f](const char *name) {
        return f.count(QStringLiteral("select F_ID from t_client where F_name = '%1'").arg(QString::fromUtf8(name)));
    };
    const int first = idOf("甲"), second = idOf("乙");
    for (int id : {first, second})
        for (const char *table : {"T_WXrec", "T_HFrec", "T_TSrec"})
            QVERIFY(f.sql(QStringLiteral("insert into %1(F_mainID,F_cltcode,F_cltName) values(%2,%3,'x')")
                              .arg(QLatin1String(table)).arg(id).arg(sqlQuoted(code))));
    TFrmMain &w = *f.w;
    w.RunQuery();
    QVERIFY(w.QryMain->locate(QStringLiteral("F_name"), QStringLiteral("甲")));

    f.seams.dialogs.answer(1);
    w.action(203)->trigger();
    QCOMPARE(f.seams.dialogs.calls.size(), 1);   // the question, and no failure
    auto attached = [&f](int id) {
        return f.count(QStringLiteral("select count(*) from T_WXrec where F_mainID = %1").arg(id))
               + f.count(QStringLiteral("select count(*) from T_HFrec where F_mainID = %1").arg(id))
               + f.count(QStringLiteral("select count(*) from T_TSrec where F_mainID = %1").arg(id));
    };
    QCOMPARE(f.count(QStringLiteral("select count(*) from t_client")), 1);
    QCOMPARE(idOf("乙"), second);
    QCOMPARE(attached(first), 0);
    QCOMPARE(attached(second), 3);
    QCOMPARE(w.QryMain->recordCount(), 1);
}

void TestMainCommands::failedDeleteRollsBack()
{
    FETCH_BACKEND(backend);
    Fixture f(backend);
    f.addCustomer(QStringLiteral("A01"), QStringLiteral("某商行"));
    f.addRecord("T_WXrec", "F_bxdate", QStringLiteral("A01"), QStringLiteral("2024-03-01"));
    f.addRecord("T_HFrec", "F_date", QStringLiteral("A01"), QStringLiteral("2024-03-02"));
    f.w->RunQuery();
    // The complaint delete, third in line, fails after two deletes have run.
    QVERIFY(f.sql(QStringLiteral("drop table T_TSrec")));

    f.seams.dialogs.answer(1);
    f.w->action(203)->trigger();
    QCOMPARE(f.seams.dialogs.texts().value(1), QStringLiteral("操作失败，请检查连接..."));
    QCOMPARE(f.seams.dialogs.calls.value(1).kind, 3);
    QCOMPARE(f.count(QStringLiteral("select count(*) from t_client")), 1);
    QCOMPARE(f.count(QStringLiteral("select count(*) from T_WXrec")), 1);
    QCOMPARE(f.count(QStringLiteral("select count(*) from T_HFrec")), 1);
    QVERIFY(!f.dm->ADOcnn.inTransaction());
    QCOMPARE(f.w->QryMain->recordCount(), 1);
}

void TestMainCommands::clearEmptyRows()
{
    FETCH_BACKEND(backend);
    Fixture f(backend);
    f.addCustomer(QString(), QString());
    f.addCustomer(QString(), QStringLiteral("只有名称"));
    f.addCustomer(QStringLiteral("C01"), QString());
    f.w->RunQuery();
    QCOMPARE(f.w->QryMain->recordCount(), 3);

    f.named("actClearRows")->trigger();
    QCOMPARE(messageTexts(f.seams.dialogs), QStringList{msg(2, QStringLiteral("清除客户空行成功！"))});
    QCOMPARE(f.count(QStringLiteral("select count(*) from t_client")), 2);
    QCOMPARE(f.count(QStringLiteral("select count(*) from t_client where F_code = '' and F_name = ''")), 0);
    QCOMPARE(f.w->QryMain->recordCount(), 3);   // the list is not re-run
}

void TestMainCommands::detailCommands()
{
    FETCH_BACKEND(backend);
    Fixture f(backend);
    f.addCustomer(QStringLiteral("A01"), QStringLiteral("某商行"));
    f.addRecord("T_WXrec", "F_bxdate", QStringLiteral("A01"), QStringLiteral("2024-03-05"));
    f.addRecord("T_WXrec", "F_bxdate", QStringLiteral("A01"), QStringLiteral("2024-03-01"));
    f.addRecord("T_TSrec", "F_tsdate", QStringLiteral("A01"), QStringLiteral("2024-04-02"));
    TFrmMain &w = *f.w;
    w.RunQuery();
    QCOMPARE(w.QryDetail1->recordCount(), 2);
    ScriptedDialogs &d = f.seams.dialogs;

    // Repairs: the question names the current row's date; No keeps it, Yes removes only it.
    w.rpcList->setCurrentIndex(0);
    f.named("tbddel")->trigger();
    const QString question = QStringLiteral("真的要删除当前报修日期为“2024-03-01”的维修记录吗？");
    QCOMPARE(messageTexts(d), QStringList{msg(1, question)});
    QCOMPARE(d.calls[0].defaultAnswer, int(Mess::No));
    QCOMPARE(f.count(QStringLiteral("select count(*) from T_WXrec")), 2);
    d.answer(1);
    w.action(903)->trigger();
    QCOMPARE(d.texts().value(1), question);
    QCOMPARE(f.count(QStringLiteral("select count(*) from T_WXrec")), 1);
    QCOMPARE(w.QryDetail1->recordCount(), 1);
    QCOMPARE(w.QryDetail1->fieldByName(QStringLiteral("F_BXdate")).asString(), QStringLiteral("2024-03-05"));

    // Return visits: an empty tab deletes nothing and refuses to edit.
    d.calls.clear();
    w.rpcList->setCurrentIndex(1);
    f.named("tbddel")->trigger();
    f.named("tbdEdit")->trigger();
    w.action(902)->trigger();
    const QString empty = QStringLiteral("此表为空，没有记录需要修改！");
    QCOMPARE(messageTexts(d), (QStringList{msg(3, empty), msg(3, empty)}));

    // Complaints: the edit goes ahead (a double-click too); the delete question has the complaint date.
    d.calls.clear();
    w.rpcList->setCurrentIndex(2);
    f.named("tbdEdit")->trigger();
    emit w.DBGridEh4->rowDoubleClicked(0);
    w.action(903)->trigger();
    QCOMPARE(messageTexts(d), (QStringList{msg(0, kNotYet), msg(0, kNotYet),
                                           msg(1, QStringLiteral("真的要删除当前日期为“2024-04-02”的投诉记录吗？"))}));
    QCOMPARE(f.count(QStringLiteral("select count(*) from T_TSrec")), 1);
}

void TestMainCommands::detailNewNeedsCustomer()
{
    Fixture f(QStringLiteral("sqlite"));
    f.show();
    TFrmMain &w = *f.w;
    QVERIFY(w.QryMain->isEmpty());
    const QStringList texts{"请先选择要增加维护记录的客户资料！", "请先选择要增加回访记录的客户资料！",
                            "请先选择要增加投诉记录的客户资料！"};
    for (int tab = 0; tab < 3; ++tab) {
        f.seams.dialogs.calls.clear();
        w.rpcList->setCurrentIndex(tab);
        w.Edit1->setFocus();
        f.named("tbdNew")->trigger();
        // 901 makes no such check.
        w.action(901)->trigger();
        QCOMPARE(messageTexts(f.seams.dialogs), (QStringList{msg(0, texts[tab]), msg(0, kNotYet)}));
        if (QApplication::activeWindow() == &w) QCOMPARE(QApplication::focusWidget(), w.DBGridEh1);
    }
}

void TestMainCommands::exportLists()
{
    FETCH_BACKEND(backend);
    Fixture f(backend);
    f.addCustomer(QStringLiteral("A01"), QStringLiteral("某商行"));
    f.addRecord("T_TSrec", "F_tsdate", QStringLiteral("A01"), QStringLiteral("2024-04-02"));
    TFrmMain &w = *f.w;
    w.RunQuery();
    // The grid as the operator arranged it: name before code, the area hidden.
    QList<GridColumn> cols = w.DBGridEh1->columns().mid(0, 4);
    cols.swapItemsAt(0, 1);
    cols[2].visible = false;
    w.DBGridEh1->setColumns(cols);

    w.action(301)->trigger();
    w.rpcList->setCurrentIndex(2);
    f.named("tbddc")->trigger();
    QCOMPARE(f.seams.dialogs.calls.size(), 0);
    const QStringList opened = f.seams.shell.opened;
    QCOMPARE(opened.size(), 2);
    auto cleanupFiles = qScopeGuard([&opened] {
        for (const QString &p : opened) QFile::remove(p);
    });
    QVERIFY(QFileInfo(opened[0]).fileName().startsWith(QStringLiteral("客户服务记录列表")));
    QVERIFY(QFileInfo(opened[1]).fileName().startsWith(QStringLiteral("投诉记录")));
    for (const QString &p : opened) QVERIFY2(QFileInfo(p).size() > 0, qPrintable(p));
    // Every column in grid order, the hidden area too.
    QCOMPARE(headerRow(opened[0]), (QStringList{"用户名称", "ID    码", cols[2].caption, "固定电话"}));
    QCOMPARE(headerRow(opened[1]).value(0), QStringLiteral("客户名称"));
}

void TestMainCommands::exitQuestion_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    for (const char *how : {"close", "Esc", "actExit", "tbClose"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 no").arg(QLatin1String(how)))) << how << 2 << false;
        QTest::newRow(qPrintable(QStringLiteral("%1 yes").arg(QLatin1String(how)))) << how << 1 << true;
    }
}

void TestMainCommands::exitQuestion()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    Fixture f(QStringLiteral("sqlite"));
    f.show();
    f.seams.dialogs.answer(answer);
    if (how == QLatin1String("close"))
        f.w->close();
    else if (how == QLatin1String("Esc"))
        QTest::keyClick(f.w->DBGridEh1, Qt::Key_Escape);
    else
        f.named(qPrintable(how))->trigger();
    QCOMPARE(messageTexts(f.seams.dialogs),
             QStringList{msg(1, QStringLiteral("真的要退出“澄岚电器售后服务管理软件 ”软件吗？"))});
    QCOMPARE(f.w->isVisible(), !closed);
}

void TestMainCommands::connectionToolEndsAtOnce()
{
    Fixture f(QStringLiteral("sqlite"));
    f.show();
    const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/mdconn --home ") + ProgramFolder::path();

    // A tool that cannot be started is reported and the program stays.
    f.seams.shell.result = false;
    f.w->action(504)->trigger();
    QCOMPARE(f.seams.shell.started, QStringList{expected});
    QCOMPARE(f.seams.dialogs.calls.size(), 1);
    QCOMPARE(f.seams.dialogs.calls[0].kind, 3);
    QVERIFY(f.w->isVisible());

    f.seams.shell.result = true;
    f.seams.dialogs.calls.clear();
    f.w->action(504)->trigger();
    QCOMPARE(f.seams.shell.started.size(), 2);
    QVERIFY(f.seams.dialogs.calls.isEmpty());   // no exit question
    QVERIFY(!f.w->isVisible());
}

void TestMainCommands::toolsAndDocuments()
{
    Fixture f(QStringLiteral("sqlite"));
    RecordingShell &shell = f.seams.shell;
    ScriptedDialogs &d = f.seams.dialogs;

    // Programs: the configured names, with defaults when Config.ini says nothing.
    f.named("actNotepad")->trigger();
    PrivateProfile ini(f.dir.filePath(QStringLiteral("Config.ini")));
    QVERIFY(ini.writeString(QStringLiteral("tools"), QStringLiteral("calculator"), QStringLiteral("kcalc")));
    PubUnit::IniFile = &ini;
    auto restore = qScopeGuard([] { PubUnit::IniFile = nullptr; });
    f.named("actCalc")->trigger();
    QCOMPARE(shell.started, (QStringList{"gedit", "kcalc"}));
    QVERIFY(d.calls.isEmpty());
    shell.result = false;
    f.named("actCalc")->trigger();
    QCOMPARE(d.calls.size(), 1);
    QCOMPARE(d.calls[0].kind, 3);
    QVERIFY(d.calls[0].text.contains(QStringLiteral("kcalc")));
    shell.result = true;
    d.calls.clear();

    // Documents beside the program; a missing one is reported, nothing is opened.
    QFile readme(f.dir.filePath(QStringLiteral("readme.txt")));
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.close();
    f.named("actReadme")->trigger();
    f.named("actHelpFile")->trigger();
    f.named("actWhatsNew")->trigger();
    QCOMPARE(shell.opened, QStringList{ProgramFolder::filePath(QStringLiteral("readme.txt"))});
    QCOMPARE(d.calls.size(), 2);
    QVERIFY(d.calls[0].text.contains(QStringLiteral("help.CHM")));
    QVERIFY(d.calls[1].text.contains(QStringLiteral("whatisnew.txt")));

    QFile help(f.dir.filePath(QStringLiteral("help.CHM")));
    QVERIFY(help.open(QIODevice::WriteOnly));
    help.close();
    f.named("actHelpFile")->trigger();
    QCOMPARE(shell.opened.last(), ProgramFolder::filePath(QStringLiteral("help.CHM")));

    f.named("actWebSite")->trigger();
    QCOMPARE(shell.opened.last(), QString::fromUtf8(Vendor::WebSite));
    // No command behind these two.
    f.named("actFaq")->trigger();
    f.named("actViewTree")->trigger();
    QCOMPARE(shell.opened.size(), 3);
    QCOMPARE(d.calls.size(), 2);
}

void TestMainCommands::aboutBox()
{
    Fixture f(QStringLiteral("sqlite"));
    bool seen = false;
    f.seams.dialogs.handleDialog([&](QDialog &dlg) {
        seen = true;
        auto *about = qobject_cast<TfrmAboutInfo *>(&dlg);
        if (!about) return int(QDialog::Rejected);
        [&] {
            QCOMPARE(about->windowTitle(), QStringLiteral("关于我们"));
            QVERIFY(about->isModal());
            QCOMPARE(about->lblProduct->text(), PubUnit::ProductName + PubUnit::VersionText);
            QVERIFY(about->lblProduct->font().bold());
            QVERIFY(!about->imgLogo->pixmap().isNull());
            for (QLabel *link : {about->lblWeb, about->lblMail}) {
                QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
                const QString href = QRegularExpression(QStringLiteral("href=\"([^\"]+)\"")).match(link->text()).captured(1);
                emit link->linkActivated(href);
            }
        }();
        return int(QDialog::Accepted);
    });
    f.named("actAbout")->trigger();
    QVERIFY(seen);
    QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("关于我们")});
    QCOMPARE(f.seams.shell.opened, (QStringList{QString::fromUtf8(Vendor::WebSite),
                                                QStringLiteral("mailto:") + QString::fromUtf8(Vendor::MailAddress)}));
}

void TestMainCommands::reLogin()
{
    Fixture f(QStringLiteral("sqlite"));
    QVERIFY(f.sql(QStringLiteral("insert into OperList(F_Name,F_PassWord,F_Mem,F_Flag,F_xtFlag) values('op1','','',0,1)")));
    f.grant(QStringLiteral("op1"), {QStringLiteral("207")});
    f.addCustomer(QStringLiteral("A01"), QStringLiteral("甲"));
    f.addCustomer(QStringLiteral("A02"), QStringLiteral("乙"));
    f.addCustomer(QStringLiteral("B01"), QStringLiteral("丙"), QStringLiteral("op1"));
    TFrmMain &w = *f.w;
    w.RunQuery();
    QCOMPARE(w.QryMain->recordCount(), 3);

    // From the menu: the rights change, the list stays as it was.
    {
        LoginDriver driver;
        driver.add(QStringLiteral("op1"), QString());
        f.named("actReLogin")->trigger();
        QCOMPARE(driver.stepsDone, 1);
    }
    QCOMPARE(PubUnit::CurOper, QStringLiteral("op1"));
    QVERIFY(!w.action(201)->isVisible());
    QVERIFY(w.action(207)->isVisible());
    QVERIFY(!w.mnuFile->menuAction()->isVisible());
    QCOMPARE(w.QryMain->recordCount(), 3);

    // From the toolbar: the list is re-run for the operator now logged in.
    {
        LoginDriver driver;
        driver.add(QStringLiteral("op1"), QString());
        f.named("tbReLogin")->trigger();
        QCOMPARE(driver.stepsDone, 1);
    }
    QCOMPARE(w.QryMain->recordCount(), 1);
    QCOMPARE(w.QryMain->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("B01"));
}

QTEST_MAIN(TestMainCommands)
#include "tst_maincommands.moc"
