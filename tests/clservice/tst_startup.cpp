// Program start: configuration, connection, the set-up offer and the first login.

#include "LoginDriver.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/Application.h"
#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Shell.h"
#include "clservice/StartUp.h"
#include "customers/TFrmMain.h"
#include "data/Connection.h"
#include "data/ConnectionConfig.h"
#include "data/Schema.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kSetupQuestion = QStringLiteral("数据连接失败，是否要安装配置数据库？");
const QString kStarting = QStringLiteral("系统正在启动，请稍候 .....");
const QString kConnecting = QStringLiteral("正在连接数据库 .....");
const QString kLong = QStringLiteral("连接成功，正在登录 .....");
const QString kShort = QStringLiteral("连接成功，正在登录 ...");

// Also notes whether the splash was still on screen when a box came up.
class WatchingDialogs : public ScriptedDialogs {
public:
    bool splashVisibleAtMessage = false;
    int message(const QString &text, Kind kind, Mess::Answer defaultAnswer) override
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<TfrmSplash *>(w) && w->isVisible()) splashVisibleAtMessage = true;
        return ScriptedDialogs::message(text, kind, defaultAnswer);
    }
};

struct Seams {
    Seams() { Dialogs::install(&dialogs); }
    ScopedSeams base;   // recording shell; its destructor restores the real seams
    WatchingDialogs dialogs;
};
} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }
    void cleanup()
    {
        PubUnit::resetLoginState();
        PubUnit::DBName.clear();
        QVERIFY(dmData == nullptr);
        QVERIFY(PubUnit::IniFile == nullptr);
    }

    void noConfigIniOffersSetup_data();
    void noConfigIniOffersSetup();
    void blankDatabaseAsksWithoutConnecting_data();
    void blankDatabaseAsksWithoutConnecting();
    void unreadableConfigIniEnds();
    void goodDatabaseLogsIn_data() { TestDb::addBackendRows(); }
    void goodDatabaseLogsIn();
    void firstLoginAppliesRights_data() { TestDb::addBackendRows(); }
    void firstLoginAppliesRights();
    void failedLoginEnds_data() { TestDb::addBackendRows(); }
    void failedLoginEnds();
    void toolsStartFromTheExecutablesFolder();
    void platformDialogsSpeakChinese();
};

void TestStartUp::noConfigIniOffersSetup_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("starts");   // whether the tool could be started
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("no") << 2 << true << QStringList{kSetupQuestion};
    QTest::newRow("yes") << 1 << true << QStringList{kSetupQuestion};
    QTest::newRow("yes, tool missing") << 1 << false
                                       << QStringList{kSetupQuestion,
                                                      QStringLiteral("无法启动数据库设置程序 mdsetup，请检查它是否安装在本程序所在的文件夹 %1 中！")
                                                          .arg(QCoreApplication::applicationDirPath())};
}

// The program folder here is not the executable's: the tool is told which one to set up.
void TestStartUp::noConfigIniOffersSetup()
{
    QFETCH(int, answer);
    QFETCH(bool, starts);
    QFETCH(QStringList, messages);
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    Seams seams;
    seams.dialogs.answer(answer);
    seams.base.shell.result = starts;
    {
        StartUp startUp;
        QCOMPARE(startUp.prepare(), StartUp::Result::Ended);
        QCOMPARE(seams.dialogs.texts(), messages);
        QCOMPARE(seams.dialogs.calls[0].kind, 1);
        if (messages.size() > 1) QCOMPARE(seams.dialogs.calls[1].kind, 3);
        QVERIFY(!seams.dialogs.splashVisibleAtMessage);
        QCOMPARE(seams.base.shell.started,
                 answer == 1 ? QStringList{QStringLiteral("mdsetup --home ") + ProgramFolder::path()} : QStringList());
        // The defaults: database clSQLser on (Local) as sa with an empty password.
        QCOMPARE(PubUnit::DBName, QStringLiteral("clSQLser"));
        const ConnectionSettings &s = startUp.dataModule()->ADOcnn.settings();
        QCOMPARE(s.database, QStringLiteral("clSQLser"));
        QCOMPARE(s.server, QStringLiteral("(Local)"));
        QCOMPARE(s.user, QStringLiteral("sa"));
        QCOMPARE(s.password, QString());
        QCOMPARE(s.driver, QStringLiteral("sqlite"));
        QVERIFY(!startUp.dataModule()->connected());
        QCOMPARE(startUp.statusHistory(), (QStringList{kStarting, kConnecting}));
        QVERIFY(!startUp.mainWindow());
    }
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Config.ini"))));   // never created
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("clSQLser.db"))));
}

void TestStartUp::blankDatabaseAsksWithoutConnecting_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QByteArray>("database");
    QTest::addColumn<bool>("attempted");
    for (const QString &b : TestDb::backends()) {
        QTest::newRow(qPrintable(b + QStringLiteral(" empty"))) << b << QByteArray("") << false;
        QTest::newRow(qPrintable(b + QStringLiteral(" blanks"))) << b << QByteArray("\"   \"") << false;
        // Only the emptiness test trims: the name itself is used as stored.
        QTest::newRow(qPrintable(b + QStringLiteral(" name with blanks"))) << b << QByteArray("\" nosuch \"") << true;
    }
}

void TestStartUp::blankDatabaseAsksWithoutConnecting()
{
    FETCH_BACKEND(backend);
    QFETCH(QByteArray, database);
    QFETCH(bool, attempted);
    QTemporaryDir dir;
    TestDb::fresh(backend, dir.path());
    PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini")))
        .writeString(QStringLiteral("DBconn"), QStringLiteral("Database"), QString::fromUtf8(database));
    Seams seams;
    seams.dialogs.answer(2);
    StartUp startUp;
    QCOMPARE(startUp.prepare(), StartUp::Result::Ended);
    QCOMPARE(seams.dialogs.texts(), QStringList{kSetupQuestion});
    QVERIFY(seams.base.shell.started.isEmpty());
    QCOMPARE(startUp.statusHistory().contains(kConnecting), attempted);
    if (attempted) QCOMPARE(PubUnit::DBName, QStringLiteral(" nosuch "));
    QVERIFY(!startUp.dataModule()->connected());
}

void TestStartUp::unreadableConfigIniEnds()
{
    // There, but not a readable file (running as root, permissions would not stop a read).
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Config.ini")));
    Seams seams;
    StartUp startUp;
    QCOMPARE(startUp.prepare(), StartUp::Result::Ended);
    QCOMPARE(seams.dialogs.texts(), QStringList{QStringLiteral("配置文件不存在或出错，请先配置系统！")});
    QCOMPARE(seams.dialogs.calls[0].kind, 2);
    QVERIFY(!seams.dialogs.splashVisibleAtMessage);
    QVERIFY(seams.base.shell.started.isEmpty());
    QVERIFY(!startUp.statusHistory().contains(kConnecting));
}

void TestStartUp::goodDatabaseLogsIn()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    const ConnectionSettings made = TestDb::fresh(backend, dir.path());
    PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini")))
        .writeString(QStringLiteral("DBconn"), QStringLiteral("password"), SavePass(QStringLiteral("sa 密码")));
    Seams seams;
    LoginDriver driver;
    driver.add(QStringLiteral("admin"), QString());
    {
        StartUp startUp;
        QStringList rightsFor;
        startUp.applyRights = [&](const QString &name) { rightsFor << name; };
        QCOMPARE(startUp.prepare(), StartUp::Result::LoggedIn);
        QVERIFY2(seams.dialogs.calls.isEmpty(), qPrintable(seams.dialogs.texts().join(u'\n')));
        QVERIFY(driver.seen.found);
        QCOMPARE(rightsFor, QStringList{QStringLiteral("admin")});
        QCOMPARE(PubUnit::CurOper, QStringLiteral("admin"));

        QCOMPARE(startUp.statusHistory(), (QStringList{kStarting, kConnecting, kShort, kLong, kShort, kLong}));
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<TfrmSplash *>(w) && w->isVisible()));

        QCOMPARE(dmData, startUp.dataModule());
        QVERIFY(dmData->connected());
        QCOMPARE(dmData->ADOcnn.settings().password, QStringLiteral("sa 密码"));
        QVERIFY(PubUnit::IniFile);
        QCOMPARE(QFileInfo(PubUnit::IniFile->path()), QFileInfo(dir.filePath(QStringLiteral("Config.ini"))));
        QCOMPARE(PubUnit::IniFile->readString(QStringLiteral("Config"), QStringLiteral("CurOperName")),
                 QStringLiteral("admin"));
        QCOMPARE(PubUnit::DBName, made.database);
        QCOMPARE(QGuiApplication::applicationDisplayName(), PubUnit::ApplicationTitle);

        // The main window exists, placed, but is shown only by the message loop.
        TFrmMain *main = startUp.mainWindow();
        QVERIFY(main);
        QVERIFY(!main->isVisible());
        QCOMPARE(main->objectName(), QStringLiteral("FrmMain"));
        QCOMPARE(main->windowTitle(), QStringLiteral("澄岚电器售后服务管理软件 v3.10(网络版) "));
        QCOMPARE(main->statusBar(), main->StatusBar1);
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(avail.contains(main->geometry()));
        QVERIFY(main->width() > avail.width() / 2);
    }
    QVERIFY(!dmData);
    QVERIFY(!PubUnit::IniFile);
}

// The operator's rights are on the main window before it is first shown.
void TestStartUp::firstLoginAppliesRights()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    TestDb::fresh(backend, dir.path());
    {
        Connection cnn(QStringLiteral("rights-fixture"));
        QVERIFY(cnn.open(readConnectionSettings(PrivateProfile(ProgramFolder::filePath(QStringLiteral("Config.ini"))))));
        QSqlQuery q;
        QVERIFY(cnn.exec(q, QStringLiteral("insert into OperList(F_Name,F_PassWord,F_xtFlag) values('op1','%1',1)")
                                .arg(sqlValue(SavePass(QString())))));
        QVERIFY(cnn.exec(q, QStringLiteral("insert into OperLimit(F_OperName,F_lmtName) "
                                           "select 'op1', F_name from Limits where F_code = '207'")));
    }
    Seams seams;
    LoginDriver driver;
    driver.add(QStringLiteral("op1"), QString());
    StartUp startUp;
    QCOMPARE(startUp.prepare(), StartUp::Result::LoggedIn);
    TFrmMain *main = startUp.mainWindow();
    QVERIFY(main->action(207)->isVisible());
    QVERIFY(!main->action(203)->isVisible());
    QVERIFY(!main->action(101)->isVisible());
    QVERIFY(!main->mnuFile->menuAction()->isVisible());
}

void TestStartUp::failedLoginEnds()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    TestDb::fresh(backend, dir.path());
    Seams seams;
    LoginDriver driver;
    for (int i = 0; i < 4; ++i) driver.add(QStringLiteral("admin"), QStringLiteral("bad"));
    StartUp startUp;
    bool rightsApplied = false;
    startUp.applyRights = [&](const QString &) { rightsApplied = true; };
    QCOMPARE(startUp.prepare(), StartUp::Result::Ended);
    QCOMPARE(seams.dialogs.texts().last(), QStringLiteral("非法操作员!"));
    QVERIFY(!rightsApplied);
    QVERIFY(PubUnit::CurOper.isEmpty());
    QVERIFY(startUp.mainWindow() && !startUp.mainWindow()->isVisible());
    QVERIFY(seams.base.shell.started.isEmpty());
}

// With the program folder elsewhere, a tool installed beside the executable
// is still found: here the real mdsetup, told to set up another folder.
void TestStartUp::toolsStartFromTheExecutablesFolder()
{
    if (!QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/mdsetup")).isExecutable())
        QSKIP("mdsetup is not built beside the tests");
    QTemporaryDir home, shop;
    ProgramFolder::setPath(home.path());
    DesktopShell shell;
    QVERIFY(!shell.startProgram(QStringLiteral("no-such-tool-here"), {}));
    QVERIFY(shell.startProgram(QStringLiteral("mdsetup"), {QStringLiteral("--home"), shop.path(), QStringLiteral("init")}));
    ConnectionSettings s;
    s.database = QDir(shop.path()).filePath(QStringLiteral("clservice.db"));
    // Installed in one transaction: the tables show once the tool is done.
    const auto installed = [&] {
        Connection cnn(QStringLiteral("started-tool"));
        return QFileInfo(s.database).size() > 0 && cnn.open(s) && Schema::isInstalled(cnn);
    };
    QTRY_VERIFY_WITH_TIMEOUT(installed(), 30000);
    QVERIFY(QFile::exists(QDir(shop.path()).filePath(QStringLiteral("Config.ini"))));
    QVERIFY(QDir(home.path()).isEmpty());
}

// File, print and page set-up dialogs come from Qt itself: its own texts
// must be in Chinese too.
void TestStartUp::platformDialogsSpeakChinese()
{
    initApplication({});
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("打开"));
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("打印"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
