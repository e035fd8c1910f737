// The login window: first login and operator change, against a real database.

#include "LoginDriver.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "access/Session.h"
#include "access/TfrmOperLogin.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kRetry = QStringLiteral("用户名或密码不正确，请重新输入！");
const QString kNoSuchOperator = QStringLiteral("此操作员并不存在，请重新选择操作员！");

struct LogRow {
    QString emp;
    QString type;
    bool operator==(const LogRow &o) const { return emp == o.emp && type == o.type; }
};
char *toString(const LogRow &r) { return qstrdup(qPrintable(u'[' + r.emp + u'|' + r.type + u']')); }

QList<LogRow> logRows(TdmData *dm)
{
    DataSet q(&dm->ADOcnn);
    q.setSql(QStringLiteral("select F_EmpName, F_OperType, F_OperDate, F_OperTime from LogRec order by F_ID"));
    if (!q.open()) qFatal("LogRec: %s", qPrintable(q.lastError()));
    QList<LogRow> rows;
    for (q.first(); !q.eof(); q.next()) {
        rows.append({q.fieldByName(QStringLiteral("F_EmpName")).asString(),
                     q.fieldByName(QStringLiteral("F_OperType")).asString()});
        // Date and time are written as text in their fixed forms.
        const QString d = q.fieldByName(QStringLiteral("F_OperDate")).asString();
        const QString t = q.fieldByName(QStringLiteral("F_OperTime")).asString();
        if (!QDate::fromString(d, QStringLiteral("yyyy-MM-dd")).isValid() ||
            !QTime::fromString(t, QStringLiteral("hh:mm:ss")).isValid())
            qFatal("LogRec date/time: %s %s", qPrintable(d), qPrintable(t));
    }
    return rows;
}

void addOperator(TdmData *dm, const QString &name, const QString &clear, bool restricted)
{
    QVERIFY(dm->RunSQL(QStringLiteral("insert into OperList(F_Name,F_PassWord,F_Mem,F_Flag,F_xtFlag) values(") +
                       sqlQuoted(name) + u',' + sqlQuoted(SavePass(clear)) + QStringLiteral(",'',0,") +
                       (restricted ? u'1' : u'0') + u')'));
}
} // namespace

// One row per backend and login mode (0 first login, 1 operator change).
static void addBackendAndModeRows()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<int>("mode");
    for (const QString &b : TestDb::backends()) {
        QTest::newRow(qPrintable(b + QStringLiteral(" first login"))) << b << 0;
        QTest::newRow(qPrintable(b + QStringLiteral(" operator change"))) << b << 1;
    }
}

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }
    void cleanup()
    {
        PubUnit::resetLoginState();
        dmData = nullptr;
    }

    void windowContent_data() { TestDb::addBackendRows(); }
    void windowContent();
    void fourthWrongPasswordEnds_data();
    void fourthWrongPasswordEnds();
    void loginSetsSharedState_data() { TestDb::addBackendRows(); }
    void loginSetsSharedState();
    void namesAndPasswords_data();
    void namesAndPasswords();
    void cancel_data();
    void cancel();
    void decimalPlaces_data();
    void decimalPlaces();
    void keysAndClosing_data() { TestDb::addBackendRows(); }
    void keysAndClosing();
    void sessionSetUpAgain_data() { TestDb::addBackendRows(); }
    void sessionSetUpAgain();
};

void TestLogin::windowContent()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    addOperator(dm.get(), QStringLiteral("张三"), QStringLiteral("pw"), false);
    addOperator(dm.get(), QStringLiteral("   "), QString(), false);   // blank names are not offered
    PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini")))
        .writeString(QStringLiteral("config"), QStringLiteral("curopername"), QStringLiteral("张三"));

    ScopedSeams seams;
    LoginDriver driver;
    driver.cancel();
    QVERIFY(!RunLogin(TfrmOperLogin::ChangeOperator, {}));
    QVERIFY(driver.seen.found);
    QCOMPARE(driver.seen.title, QStringLiteral("登录窗口"));
    QCOMPARE(driver.seen.hint, QStringLiteral("请输入正确的操作员编号及密码，系统管理员“admin”，系统初始密码为空："));
    QCOMPARE(driver.seen.nameText, QStringLiteral("张三"));
    QStringList items = driver.seen.items;
    QCOMPARE(items.value(0), QString());   // the list starts with an empty item
    items.sort();
    QCOMPARE(items, (QStringList{QString(), QStringLiteral("admin"), QStringLiteral("张三")}));
    QVERIFY(driver.seen.passwordMasked);
    QVERIFY(driver.seen.nameMarkedChinese);
    QVERIFY(!(driver.seen.flags & Qt::WindowCloseButtonHint));
    QVERIFY(!(driver.seen.flags & Qt::WindowSystemMenuHint));
    QVERIFY(driver.seen.flags & Qt::CustomizeWindowHint);
    QVERIFY(seams.dialogs.calls.isEmpty());
}

void TestLogin::fourthWrongPasswordEnds_data() { addBackendAndModeRows(); }

void TestLogin::fourthWrongPasswordEnds()
{
    FETCH_BACKEND(backend);
    QFETCH(int, mode);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    addOperator(dm.get(), QStringLiteral("张三"), QStringLiteral("pw 1"), false);

    // The state of the previous login at an operator change.
    const QString previous = mode == 1 ? QStringLiteral("admin") : QString();
    PubUnit::CurOper = previous;
    PubUnit::FmtAmount = QStringLiteral("0.#");
    PubUnit::SeeAllClients = false;

    ScopedSeams seams;
    LoginDriver driver;
    driver.add(QStringLiteral("admin"), QStringLiteral("x"));        // 1
    driver.add(QStringLiteral("张三"), QStringLiteral("PW 1"));       // 2: case counts
    driver.add(QStringLiteral("nobody"), QString());                  // not counted
    driver.add(QString(), QString());                                 // not counted
    driver.add(QStringLiteral("张三"), QStringLiteral("pw 1 "));      // 3: blanks count
    driver.add(QStringLiteral("admin"), QStringLiteral(" "));         // 4
    driver.add(QStringLiteral("admin"), QString());                   // never reached
    bool called = false;
    QVERIFY(!RunLogin(mode, [&](const QString &) { called = true; }));
    QCOMPARE(driver.stepsDone, 6);
    QVERIFY(!driver.ranOut);
    QVERIFY(!called);

    const QString final = mode == 1 ? QStringLiteral("更换操作员失败!") : QStringLiteral("非法操作员!");
    QCOMPARE(seams.dialogs.texts(), (QStringList{kRetry, kRetry, kNoSuchOperator, QStringLiteral("请选择用户！"),
                                                 kRetry, final}));
    QCOMPARE(seams.dialogs.calls.last().kind, 3);
    QCOMPARE(seams.dialogs.calls.first().kind, 0);

    const QString logText = mode == 1 ? QStringLiteral("更换操作员失败！") : QStringLiteral("登录失败！");
    QCOMPARE(logRows(dm.get()), (QList<LogRow>{{previous, logText}}));
    QCOMPARE(PubUnit::CurOper, previous);
    QCOMPARE(PubUnit::FmtAmount, QStringLiteral("0.#"));
    QVERIFY(!PubUnit::SeeAllClients);
    QVERIFY(PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini")))
                .readString(QStringLiteral("Config"), QStringLiteral("CurOperName"))
                .isEmpty());
}

void TestLogin::loginSetsSharedState()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    addOperator(dm.get(), QStringLiteral("O'Brien"), QStringLiteral("售后 pw"), true);
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '3' where F_ID = 12")));
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '1' where F_ID = 13")));
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '4' where F_ID = 14")));
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '型号备注' where F_ID = 1")));
    QVERIFY(dm->RunSQL(QStringLiteral("insert into KeyValue(F_ID,F_Value) values(16,'extra')")));
    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    ini.writeString(QStringLiteral("SYS"), QStringLiteral("bzdcode"), QStringLiteral("1"));

    ScopedSeams seams;
    LoginDriver driver;
    driver.add(QStringLiteral("  O'Brien "), QStringLiteral("售后 pw"));
    QString rightsFor;
    QVERIFY(RunLogin(TfrmOperLogin::FirstLogin, [&](const QString &name) {
        rightsFor = name;
        // The shared state is complete before the rights are applied.
        QCOMPARE(PubUnit::CurOper, QStringLiteral("O'Brien"));
        QVERIFY(!PubUnit::FmtTotal.isEmpty());
    }));
    QVERIFY2(seams.dialogs.calls.isEmpty(), qPrintable(seams.dialogs.texts().join(u'\n')));
    QCOMPARE(rightsFor, QStringLiteral("O'Brien"));
    QCOMPARE(PubUnit::CurOper, QStringLiteral("O'Brien"));
    QVERIFY(!PubUnit::SeeAllClients);   // F_xtFlag set: own customers only
    QCOMPARE(ini.readString(QStringLiteral("Config"), QStringLiteral("CurOperName")), QStringLiteral("O'Brien"));
    QCOMPARE(ini.readString(QStringLiteral("sys"), QStringLiteral("bZDcode")), QStringLiteral("1"));
    QVERIFY(PubUnit::AutoCode);

    QCOMPARE(PubUnit::KeyValues[1], QStringLiteral("型号备注"));
    QCOMPARE(PubUnit::KeyValues[2], QStringLiteral("自定义文本2"));
    QCOMPARE(PubUnit::KeyValues[12], QStringLiteral("3"));
    QCOMPARE(PubUnit::KeyValues[15], QString());
    QCOMPARE(PubUnit::KeyValues[16], QString());   // rows after the fifteenth are not kept
    QCOMPARE(PubUnit::FmtAmount, QStringLiteral("0.###"));
    QCOMPARE(PubUnit::FmtPrice, QStringLiteral("￥,0.0"));
    QCOMPARE(PubUnit::FmtTotal, QStringLiteral("￥,0.00##"));

    QCOMPARE(logRows(dm.get()), (QList<LogRow>{{QStringLiteral("O'Brien"), QStringLiteral("登录成功！")}}));
}

void TestLogin::namesAndPasswords_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("typedPassword");
    QTest::addColumn<QString>("curOper");
    QTest::addColumn<bool>("seeAll");
    for (const QString &b : TestDb::backends()) {
        auto row = [&](const char *tag) { return &QTest::newRow(qPrintable(b + u' ' + QString::fromUtf8(tag))); };
        *row("Admin with blanks, empty password") << b << QStringLiteral(" Admin ") << QString()
                                                   << QStringLiteral("Admin") << true;
        *row("chinese name, blanks inside password") << b << QStringLiteral("李 四") << QStringLiteral(" a b ")
                                                      << QStringLiteral("李 四") << false;
        *row("plain text stored password") << b << QStringLiteral("legacy") << QStringLiteral("old123")
                                            << QStringLiteral("legacy") << true;
    }
}

void TestLogin::namesAndPasswords()
{
    FETCH_BACKEND(backend);
    QFETCH(QString, typedName);
    QFETCH(QString, typedPassword);
    QFETCH(QString, curOper);
    QFETCH(bool, seeAll);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    addOperator(dm.get(), QStringLiteral("李 四"), QStringLiteral(" a b "), true);
    // A password typed into the table by hand, not coded.
    QVERIFY(dm->RunSQL(QStringLiteral("insert into OperList(F_Name,F_PassWord,F_Mem,F_Flag,F_xtFlag) "
                                      "values('legacy','old123','',0,0)")));

    ScopedSeams seams;
    LoginDriver driver;
    driver.add(typedName, typedPassword);
    QString rightsFor;
    QVERIFY(RunLogin(TfrmOperLogin::FirstLogin, [&](const QString &n) { rightsFor = n; }));
    QVERIFY2(seams.dialogs.calls.isEmpty(), qPrintable(seams.dialogs.texts().join(u'\n')));
    QCOMPARE(PubUnit::CurOper, curOper);
    QCOMPARE(rightsFor, curOper);
    QCOMPARE(PubUnit::SeeAllClients, seeAll);
    QCOMPARE(PubUnit::FmtAmount, QStringLiteral("0."));   // starting rows: 0, 2, 2 places
    QCOMPARE(PubUnit::FmtPrice, QStringLiteral("￥,0.00"));
    QCOMPARE(PubUnit::FmtTotal, QStringLiteral("￥,0.00"));
    QVERIFY(!PubUnit::AutoCode);
}

void TestLogin::cancel_data() { addBackendAndModeRows(); }

void TestLogin::cancel()
{
    FETCH_BACKEND(backend);
    QFETCH(int, mode);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    PubUnit::CurOper = QStringLiteral("previous");
    PubUnit::KeyValues.set(12, QStringLiteral("kept"));

    ScopedSeams seams;
    {
        LoginDriver driver;
        driver.add(QStringLiteral("admin"), QStringLiteral("wrong"));
        driver.cancel();
        QVERIFY(!RunLogin(mode, {}));
        QCOMPARE(driver.stepsDone, 2);
    }
    QCOMPARE(seams.dialogs.texts(), QStringList{kRetry});
    QCOMPARE(PubUnit::CurOper, QStringLiteral("previous"));
    QCOMPARE(PubUnit::KeyValues[12], QStringLiteral("kept"));
    QVERIFY(logRows(dm.get()).isEmpty());

    // The counter starts again with every window: three more wrong tries do not end it.
    LoginDriver again;
    for (int i = 0; i < 3; ++i) again.add(QStringLiteral("admin"), QStringLiteral("wrong"));
    again.add(QStringLiteral("admin"), QString());
    QVERIFY(RunLogin(mode, {}));
    QCOMPARE(PubUnit::CurOper, QStringLiteral("admin"));
    QCOMPARE(seams.dialogs.count(kRetry), 4);
}

void TestLogin::decimalPlaces_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("places");
    QTest::newRow("0") << QStringLiteral("0") << 0;
    QTest::newRow("3") << QStringLiteral("3") << 3;
    QTest::newRow("blanks") << QStringLiteral(" 4 ") << 4;
    QTest::newRow("empty") << QString() << 2;
    QTest::newRow("text") << QStringLiteral("两位") << 2;
    QTest::newRow("fraction") << QStringLiteral("2.5") << 2;
    QTest::newRow("negative") << QStringLiteral("-1") << 0;
    QTest::newRow("huge") << QStringLiteral("2000000000") << 15;
}

void TestLogin::decimalPlaces()
{
    QFETCH(QString, setting);
    QFETCH(int, places);
    QCOMPARE(Session::decimalPlaces(setting), places);
}

void TestLogin::keysAndClosing()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    ScopedSeams seams;

    TfrmOperLogin frm(TfrmOperLogin::ChangeOperator, {});
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    frm.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frm));
    // No operator remembered yet: typing starts in the name box.
    QVERIFY(frm.focusWidget() == frm.cbbOperName || frm.focusWidget() == frm.cbbOperName->lineEdit());

    // Esc and a close request from the window manager are swallowed.
    QTest::keyClick(&frm, Qt::Key_Escape);
    QVERIFY(frm.isVisible());
    QCloseEvent closeEvent;
    QApplication::sendEvent(&frm, &closeEvent);
    QVERIFY(!closeEvent.isAccepted());
    frm.close();
    QVERIFY(frm.isVisible());

    // Enter walks the fields and presses the button it reaches.
    QTest::keyClicks(frm.focusWidget(), QStringLiteral("admin"));
    QTest::keyClick(frm.focusWidget(), Qt::Key_Return);
    QCOMPARE(frm.focusWidget(), frm.edtPassWord);
    QCOMPARE(frm.cbbOperName->currentText(), QStringLiteral("admin"));
    QCOMPARE(frm.cbbOperName->count(), 2);   // Enter adds nothing to the list
    QTest::keyClick(frm.edtPassWord, Qt::Key_Return);
    QCOMPARE(frm.focusWidget(), frm.btnOk);
    QVERIFY(frm.isVisible());
    QTest::keyClick(frm.btnOk, Qt::Key_Return);
    QVERIFY(!frm.isVisible());
    QCOMPARE(frm.result(), int(QDialog::Accepted));
    QCOMPARE(PubUnit::CurOper, QStringLiteral("admin"));
    QVERIFY(seams.dialogs.calls.isEmpty());
}

// The windows that change operators or settings set the session up again:
// it follows the tables, and a settings table it cannot read keeps what is
// in force.
void TestLogin::sessionSetUpAgain()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    addOperator(dm.get(), QStringLiteral("王五"), QString(), false);
    ScopedSeams seams;
    Session::SetUp(QStringLiteral("王五"));
    QVERIFY(PubUnit::SeeAllClients);
    QCOMPARE(PubUnit::FmtPrice, QStringLiteral("￥,0.00"));
    QVERIFY(!PubUnit::AutoCode);

    QVERIFY(dm->RunSQL(QStringLiteral("update OperList set F_xtFlag = 1 where F_Name = '王五'")));
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '3' where F_ID = 13")));
    QVERIFY(dm->RunSQL(QStringLiteral("update KeyValue set F_Value = '保修卡' where F_ID = 1")));
    PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini")))
        .writeString(QStringLiteral("sys"), QStringLiteral("bZDcode"), QStringLiteral("1"));
    Session::SetUp(PubUnit::CurOper);
    QVERIFY(!PubUnit::SeeAllClients);
    QCOMPARE(PubUnit::FmtPrice, QStringLiteral("￥,0.00#"));
    QCOMPARE(PubUnit::KeyValues[1], QStringLiteral("保修卡"));
    QVERIFY(PubUnit::AutoCode);
    QCOMPARE(Session::lastOperator(), QStringLiteral("王五"));
    QVERIFY(logRows(dm.get()).isEmpty());   // setting up is not a login
    QVERIFY(seams.dialogs.calls.isEmpty());

    QVERIFY(dm->RunSQL(QStringLiteral("drop table KeyValue")));
    Session::SetUp(PubUnit::CurOper);
    QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("打开操作失败，请检查数据连接... ")});
    QCOMPARE(PubUnit::KeyValues[1], QStringLiteral("保修卡"));
    QCOMPARE(PubUnit::FmtPrice, QStringLiteral("￥,0.00#"));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
