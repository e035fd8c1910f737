// The main window's commands for the operator, settings and clearing
// windows: who sees them after logging in, and what the main window shows
// once the settings are saved.

#include "LoginDriver.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "access/AccessWindows.h"
#include "access/OperatorStore.h"
#include "app/CommandTable.h"
#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "components/DataGrid.h"
#include "customers/TFrmMain.h"
#include "data/TdmData.h"
#include "maintenance/SetupWindows.h"
#include "maintenance/TfrmZDYset.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

namespace {

// The coded commands the main window shows.
QList<int> visibleRights(const TFrmMain &w)
{
    QList<int> codes;
    for (int code : Commands::rightCodes())
        if (QAction *a = w.action(code); a && a->isVisible()) codes << code;
    return codes;
}

// Every place an action is reachable from: a shown menu entry or toolbar button.
bool reachable(const TFrmMain &w, QAction *a)
{
    if (!a->isVisible()) return false;
    for (const QMenu *m : {w.mnuFile, w.mnuEdit, w.mnuOutput, w.mnuStat, w.mnuData})
        if (m->menuAction()->isVisible() && m->actions().contains(a)) return true;
    return w.ToolBar1->actions().contains(a);
}

} // namespace

class TestSetupCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        CommandRegistry::instance().clear();
        provideAccessWindows();
        provideSetupWindows();
    }
    void init() { PubUnit::resetLoginState(); }
    void cleanup()
    {
        PubUnit::resetLoginState();
        dmData = nullptr;
    }

    void rightsAtNextLogin_data() { TestDb::addBackendRows(); }
    void rightsAtNextLogin();
    void settingsShownAtOnce_data() { TestDb::addBackendRows(); }
    void settingsShownAtOnce();
};

void TestSetupCommands::rightsAtNextLogin()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;
    TestDb::signIn();
    TFrmMain w;
    w.SetLimits(QStringLiteral("admin"));
    QVERIFY(reachable(w, w.action(103)));
    const QList<int> all = visibleRights(w);

    OperatorStore store(*dm);
    QVERIFY(store.save({QStringLiteral("客服'一"), QStringLiteral("pw"), QString(), false, false,
                        {QStringLiteral("新增"), QStringLiteral("修改"), QStringLiteral("复制")}},
                       std::nullopt));
    // The rights apply when the operator logs in (重新登录), through the main window's SetLimits.
    LoginDriver driver;
    driver.add(QStringLiteral("客服'一"), QStringLiteral("pw"));
    QVERIFY(RunLogin(TfrmOperLogin::ChangeOperator, [&w](const QString &n) { w.SetLimits(n); }));
    QCOMPARE(visibleRights(w), (QList<int>{201, 202, 207}));
    QVERIFY(!w.mnuFile->menuAction()->isVisible());
    QVERIFY(w.mnuEdit->menuAction()->isVisible());
    for (int code : {101, 102, 103, 106, 502}) QVERIFY2(!reachable(w, w.action(code)), qPrintable(QString::number(code)));
    QVERIFY(!w.action(103)->isVisible());

    // Back as admin, everything is there again.
    driver.add(QStringLiteral("admin"), QString());
    QVERIFY(RunLogin(TfrmOperLogin::ChangeOperator, [&w](const QString &n) { w.SetLimits(n); }));
    QCOMPARE(visibleRights(w), all);
}

void TestSetupCommands::settingsShownAtOnce()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;
    TestDb::signIn();
    TFrmMain w;
    w.SetLimits(QStringLiteral("admin"));
    w.ApplyGridCaptions();

    seams.dialogs.handleDialog([](QDialog &d) {
        auto &frm = static_cast<TfrmZDYset &>(d);
        frm.edtZF[0]->setText(QStringLiteral("颜色"));
        frm.rsPrice->setValue(3);
        frm.Button2->click();
        return frm.result();
    });
    w.action(106)->trigger();
    QCOMPARE(seams.dialogs.texts(), (QStringList{QStringLiteral("自定义设置"), QStringLiteral("当前软件设置更改成功！")}));
    const DataGrid *grid = w.DBGridEh1;
    const int zf1 = grid->columnOfField(QStringLiteral("F_ZF1"));
    const int price = grid->columnOfField(QStringLiteral("F_price"));
    QVERIFY(zf1 >= 0 && price >= 0);
    QCOMPARE(grid->column(zf1).caption, QStringLiteral("颜色"));
    QCOMPARE(grid->column(price).displayFormat, TdmData::MakeDisplayFormat(3, 2));
}

QTEST_MAIN(TestSetupCommands)
#include "tst_setupcommands.moc"
