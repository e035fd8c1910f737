// The backup window on each engine: a backup and restore bringing back a
// deleted customer, the same day backed up twice, a damaged backup and a
// database still in use refused with the archive unchanged, the password and
// every cancel leaving the database as it was, the restart question, the
// folder questions and the saved settings.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PrivateProfile.h"
#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "maintenance/BackupSql.h"
#include "maintenance/BackupWindows.h"
#include "maintenance/TDlgSelectPath.h"
#include "maintenance/TFrmDataBack.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>

namespace {

// The PostgreSQL rows need the client programs that back up and restore.
bool pgToolsMissing(const QString &backend)
{
    if (backend != QLatin1String("postgres")) return false;
    for (const QString &d : QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (QFileInfo(QStringLiteral("/usr/lib/postgresql/%1/bin/pg_dump").arg(d)).isExecutable()) return false;
    return QStandardPaths::findExecutable(QStringLiteral("pg_dump")).isEmpty();
}
#define SKIP_WITHOUT_PG_TOOLS(backend) \
    if (pgToolsMissing(backend)) QSKIP("pg_dump not found: install postgresql-client")

const QString kBackedUp = QStringLiteral("数据备份成功！");
const QString kOverwrite = QStringLiteral("真的要覆盖以前备份吗？");
const QString kPrompt = QStringLiteral("请输入恢复密码");
const QString kWrongPassword = QStringLiteral("对不起,恢复密码错误，你没有恢复数据的权限！");
const QString kLoseData = QStringLiteral("此操作将使上次备份以来的所有数据丢失，是否继续？");
const QString kRestart = QStringLiteral("数据恢复成功,重新启动当前程序吗？");
const QString kInUse = QStringLiteral("数据库正在被使用！请确定已关闭其它使用该数据库程序！");
const QString kRestoreFailed = QStringLiteral("恢复失败！");

bool addCustomer(TdmData &dm, const QString &code)
{
    return dm.RunSQL(QStringLiteral("insert into t_client(F_code, F_name) values('%1', '客户%1')").arg(sqlValue(code)));
}

QStringList codes(TdmData &dm)
{
    DataSet ds(&dm.ADOcnn);
    QStringList r;
    if (!dm.OpenSQL(QStringLiteral("select F_code from t_client order by F_code"), &ds)) return {QStringLiteral("<failed>")};
    for (ds.first(); !ds.eof(); ds.next()) r << ds.field(0).value().toString();
    return r;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A data module on a fresh archive, with Config.ini as the program's
// settings and the backup window over it.
struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<PrivateProfile> ini;
    std::unique_ptr<TFrmDataBack> window;
    int reopened = 0;

    explicit Fixture(const QString &backend)
    {
        TestDb::signIn();
        dm = TestDb::freshModule(backend, dir.path());
        ini = std::make_unique<PrivateProfile>(QDir(dir.path()).filePath("Config.ini"));
        PubUnit::IniFile = ini.get();
        window = std::make_unique<TFrmDataBack>();
        window->setAfterReconnect([this] { ++reopened; });
        window->show();
    }
    ~Fixture() { PubUnit::IniFile = nullptr; }
    QString folder() const { return QDir(dir.path()).filePath("bak"); }
    QString todaysFile() const { return TdmData::backupFileName(folder(), QDate::currentDate()); }

    // A backup into the folder, which is there already.
    bool backup(ScriptedDialogs &dialogs)
    {
        QDir().mkpath(folder());
        window->edtBackPath->setText(folder());
        const int before = int(dialogs.calls.size());
        window->BackDataClick();
        return dialogs.calls.size() == before + 1 && dialogs.calls.last().text == kBackedUp;
    }
    // restartAnswer 0: the restore is expected to fail, nothing more is asked.
    void restore(ScriptedDialogs &dialogs, const QString &file, int restartAnswer = 2)
    {
        dialogs.answer(TFrmDataBack::RestorePassword);
        dialogs.answer(file);
        dialogs.answer(1);
        if (restartAnswer) dialogs.answer(restartAnswer);
        window->RecoverDataClick();
    }
};

// The program's other connections to the archive, as another workstation has them.
class OtherWorkstation {
public:
    explicit OtherWorkstation(const ConnectionSettings &s) { m_cnn.open(s); }
    bool isOpen() const { return m_cnn.isOpen(); }
    bool exec(const QString &sql)
    {
        QSqlQuery q(m_cnn.database());
        m_last = q;
        const bool ok = m_last.exec(sql);
        if (ok) m_last.next();   // a read holds its lock until the statement is done
        return ok;
    }

private:
    Connection m_cnn {QStringLiteral("other")};
    QSqlQuery m_last;
};

QStringList leftOverDatabases(TdmData &dm)
{
    if (dm.ADOcnn.dialect().name() != QLatin1String("postgres")) return {};
    // This test's own: other tests on the shared server restore at the same time.
    const QString own = dm.GetStrValue(QStringLiteral("select current_database()")).left(40);   // as the restore names them
    DataSet ds(&dm.ADOcnn);
    QStringList r;
    dm.OpenSQL(QStringLiteral("select datname from pg_database"), &ds);
    for (ds.first(); !ds.eof(); ds.next()) {
        const QString name = ds.field(0).value().toString();
        if (name.startsWith(own + QLatin1String("_restore_")) || name.startsWith(own + QLatin1String("_replaced_"))) r << name;
    }
    return r;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void statements()
    {
        QCOMPARE(backupFolderSql(), QStringLiteral("Select F_BakPath from SysInfo"));
        QCOMPARE(saveBackupFolderSql("/srv/o'k"), QStringLiteral("update sysInfo set F_bakPath = '/srv/o''k' "));
    }

    // Backed up into a folder made on the question, a customer deleted, the
    // backup restored: the customer is back, the program goes on connected
    // and its lists reopen.
    void roundTripBringsBackADeletedCustomer_data() { TestDb::addBackendRows(); }
    void roundTripBringsBackADeletedCustomer()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        ScopedSeams seams;
        Fixture fx(backend);
        QVERIFY(addCustomer(*fx.dm, "K'1"));
        QVERIFY(addCustomer(*fx.dm, "K2"));
        const QString folder = QDir(fx.folder()).filePath("daily");
        fx.window->edtBackPath->setText(folder);
        seams.dialogs.answer(1);
        fx.window->BackDataClick();
        QCOMPARE(seams.dialogs.texts(), (QStringList{"当前目录" + folder + " 不存在，是否创建！", kBackedUp}));
        QCOMPARE(seams.dialogs.calls.last().kind, 0);
        const QString file = TdmData::backupFileName(folder, QDate::currentDate());
        QVERIFY(QFileInfo(file).fileName() == "dp" + QDate::currentDate().toString("yyyyMMdd") + ".back");
        QVERIFY(QFileInfo(file).size() > 0);

        QVERIFY(fx.dm->RunSQL("delete from t_client where F_code = 'K''1'"));
        seams.dialogs.calls.clear();
        fx.restore(seams.dialogs, file);
        QCOMPARE(seams.dialogs.texts(), (QStringList{kPrompt, "打开", kLoseData, kRestart}));
        QCOMPARE(seams.dialogs.calls[2].defaultAnswer, int(Mess::No));
        QVERIFY(fx.dm->connected());
        QCOMPARE(codes(*fx.dm), (QStringList{"K'1", "K2"}));
        QCOMPARE(fx.reopened, 1);
        QVERIFY(fx.window->RecoverData->isEnabled());
        QCOMPARE(fx.window->windowTitle(), QStringLiteral("数据备份及恢复"));
        QVERIFY(fx.window->isVisible());
        QCOMPARE(leftOverDatabases(*fx.dm), QStringList());
    }

    // A second backup on the same day replaces the first after the question;
    // 否 leaves the first; restoring brings back the newest.
    void sameDayTwiceRestoresTheNewest_data() { TestDb::addBackendRows(); }
    void sameDayTwiceRestoresTheNewest()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        ScopedSeams seams;
        Fixture fx(backend);
        QVERIFY(addCustomer(*fx.dm, "K1"));
        QVERIFY(fx.backup(seams.dialogs));
        const QByteArray first = contents(fx.todaysFile());
        QVERIFY(addCustomer(*fx.dm, "K2"));

        seams.dialogs.calls.clear();
        seams.dialogs.answer(2);
        fx.window->BackDataClick();
        QCOMPARE(seams.dialogs.texts(), QStringList{kOverwrite});
        QCOMPARE(seams.dialogs.calls[0].defaultAnswer, int(Mess::No));
        QCOMPARE(contents(fx.todaysFile()), first);

        seams.dialogs.calls.clear();
        seams.dialogs.answer(1);
        fx.window->BackDataClick();
        QCOMPARE(seams.dialogs.texts(), (QStringList{kOverwrite, kBackedUp}));
        QCOMPARE(QDir(fx.folder()).entryList(QDir::Files), QStringList{QFileInfo(fx.todaysFile()).fileName()});

        QVERIFY(fx.dm->RunSQL("delete from t_client"));
        fx.restore(seams.dialogs, fx.todaysFile());
        QCOMPARE(codes(*fx.dm), (QStringList{"K1", "K2"}));
    }

    // A backup cut short is refused before anything changes: what was
    // entered after the backup is still there and the program goes on.
    void truncatedBackupIsRefused_data() { TestDb::addBackendRows(); }
    void truncatedBackupIsRefused()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        ScopedSeams seams;
        Fixture fx(backend);
        for (int i = 0; i < 300; ++i) QVERIFY(addCustomer(*fx.dm, QStringLiteral("K%1").arg(i, 3, 10, QChar(u'0'))));
        QVERIFY(fx.backup(seams.dialogs));
        QFile f(fx.todaysFile());
        QVERIFY(f.resize(f.size() * 2 / 3));
        QVERIFY(fx.dm->RunSQL("delete from t_client where F_code < 'K100'"));
        QVERIFY(addCustomer(*fx.dm, "NEW"));

        seams.dialogs.calls.clear();
        fx.restore(seams.dialogs, fx.todaysFile(), 0);
        QCOMPARE(seams.dialogs.texts(), (QStringList{kPrompt, "打开", kLoseData, kInUse, kRestoreFailed}));
        QCOMPARE(seams.dialogs.calls[3].kind, 2);
        QCOMPARE(seams.dialogs.calls[4].kind, 3);
        QVERIFY(fx.dm->connected());
        QCOMPARE(fx.dm->GetIntValue("select count(*) from t_client"), 201);
        QCOMPARE(fx.dm->GetStrValue("select F_name from t_client where F_code = 'NEW'"), QStringLiteral("客户NEW"));
        QCOMPARE(fx.reopened, 1);
        QVERIFY(fx.window->RecoverData->isEnabled());
        QCOMPARE(fx.window->windowTitle(), QStringLiteral("数据备份及恢复"));
        QCOMPARE(leftOverDatabases(*fx.dm), QStringList());
    }

    // Another workstation in the middle of reading: the file database cannot
    // be taken from it and is left as it was; the server ends that session
    // and restores.
    void restoreWhileAnotherConnectionHoldsTheDatabase_data() { TestDb::addBackendRows(); }
    void restoreWhileAnotherConnectionHoldsTheDatabase()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        ScopedSeams seams;
        Fixture fx(backend);
        QVERIFY(addCustomer(*fx.dm, "K1"));
        QVERIFY(fx.backup(seams.dialogs));
        QVERIFY(addCustomer(*fx.dm, "K2"));

        OtherWorkstation other(fx.dm->ADOcnn.settings());
        QVERIFY(other.isOpen());
        QVERIFY(other.exec("begin"));
        QVERIFY(other.exec("select * from t_client"));
        seams.dialogs.calls.clear();
        fx.restore(seams.dialogs, fx.todaysFile(), backend == "sqlite" ? 0 : 2);
        QVERIFY(fx.dm->connected());
        if (backend == "sqlite") {
            QCOMPARE(seams.dialogs.texts(), (QStringList{kPrompt, "打开", kLoseData, kInUse, kRestoreFailed}));
            QCOMPARE(codes(*fx.dm), (QStringList{"K1", "K2"}));
            // Once the other one has finished, the restore goes through.
            QVERIFY(other.exec("commit"));
            seams.dialogs.calls.clear();
            fx.restore(seams.dialogs, fx.todaysFile());
        } else {
            QVERIFY(!other.exec("select 1"));   // its session was ended
        }
        QCOMPARE(seams.dialogs.texts(), (QStringList{kPrompt, "打开", kLoseData, kRestart}));
        QCOMPARE(codes(*fx.dm), QStringList{"K1"});
    }

    // Cancelling the password, a wrong password, cancelling the file dialog
    // or answering 否: the database is untouched and 恢复 usable again.
    void cancelLeavesTheDatabaseUntouched_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QVariantList>("answers");   // password, file, confirmation
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("title");
        const QString start = QStringLiteral("系统备份及恢复"), after = QStringLiteral("数据备份及恢复");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + " password cancelled")) << b << QVariantList{} << QStringList{kPrompt} << start;
            QTest::newRow(qPrintable(b + " wrong password")) << b << QVariantList{"58392"} << QStringList{kPrompt, kWrongPassword} << start;
            QTest::newRow(qPrintable(b + " password with a blank"))
                << b << QVariantList{" 583920"} << QStringList{kPrompt, kWrongPassword} << start;
            QTest::newRow(qPrintable(b + " no file")) << b << QVariantList{"583920", ""} << QStringList{kPrompt, "打开"} << after;
            QTest::newRow(qPrintable(b + " answered no"))
                << b << QVariantList{"583920", "<file>", 2} << QStringList{kPrompt, "打开", kLoseData} << after;
        }
    }
    void cancelLeavesTheDatabaseUntouched()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        QFETCH(QVariantList, answers);
        QFETCH(QStringList, asked);
        QFETCH(QString, title);
        ScopedSeams seams;
        Fixture fx(backend);
        QVERIFY(addCustomer(*fx.dm, "K1"));
        QVERIFY(fx.backup(seams.dialogs));
        QVERIFY(fx.dm->RunSQL("delete from t_client"));
        seams.dialogs.calls.clear();
        for (const QVariant &a : std::as_const(answers)) seams.dialogs.answer(a == "<file>" ? QVariant(fx.todaysFile()) : a);
        fx.window->RecoverDataClick();
        QCOMPARE(seams.dialogs.texts(), asked);
        if (asked.contains(kWrongPassword)) QCOMPARE(seams.dialogs.calls.last().kind, 3);
        QVERIFY(fx.dm->connected());
        QCOMPARE(codes(*fx.dm), QStringList());
        QCOMPARE(fx.reopened, 0);
        QVERIFY(fx.window->RecoverData->isEnabled());
        QCOMPARE(fx.window->windowTitle(), title);
    }

    // 是 to the restart question ends the program: the window closes and the
    // connection is not opened again.
    void restartEndsTheProgram()
    {
        ScopedSeams seams;
        Fixture fx(QStringLiteral("sqlite"));
        QVERIFY(addCustomer(*fx.dm, "K1"));
        QVERIFY(fx.backup(seams.dialogs));
        fx.restore(seams.dialogs, fx.todaysFile(), 1);
        QCOMPARE(seams.dialogs.texts().last(), kRestart);
        QVERIFY(!fx.dm->connected());
        QVERIFY(!fx.window->isVisible());
        QCOMPARE(fx.reopened, 0);
    }

    // The folder questions of 备份: 否 makes nothing; a folder that cannot be
    // made and a backup that cannot be written are reported.
    void backupFolderQuestions()
    {
        ScopedSeams seams;
        Fixture fx(QStringLiteral("sqlite"));
        const QString missing = QDir(fx.dir.path()).filePath("none/deeper");
        fx.window->edtBackPath->setText(missing);
        seams.dialogs.answer(2);
        fx.window->BackDataClick();
        QCOMPARE(seams.dialogs.texts(), QStringList{"当前目录" + missing + " 不存在，是否创建！"});
        QVERIFY(!QFileInfo::exists(missing));

        QFile blocker(QDir(fx.dir.path()).filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString impossible = blocker.fileName() + "/bak";
        fx.window->edtBackPath->setText(impossible);
        seams.dialogs.calls.clear();
        seams.dialogs.answer(1);
        fx.window->BackDataClick();
        QCOMPARE(seams.dialogs.texts(),
                 (QStringList{"当前目录" + impossible + " 不存在，是否创建！", "目录 " + impossible + " 创建失败,请检测路径是否合法!"}));
        QCOMPARE(seams.dialogs.calls.last().kind, 3);

        QDir().mkpath(fx.todaysFile() + ".part");   // the copy cannot be written
        fx.window->edtBackPath->setText(fx.folder());
        seams.dialogs.calls.clear();
        fx.window->BackDataClick();
        QCOMPARE(seams.dialogs.texts(), QStringList{"备份失败，请与管理员联系！"});
        QCOMPARE(seams.dialogs.calls.last().kind, 3);
        QVERIFY(!QFileInfo::exists(fx.todaysFile()));
    }

    // 确定 keeps the folder in SysInfo and the schedule in Config.ini; the
    // window shows both when it opens again.
    void settingsAreSaved()
    {
        ScopedSeams seams;
        Fixture fx(QStringLiteral("sqlite"));
        const QString folder = QDir(fx.dir.path()).filePath("o'k bak");
        fx.window->edtBackPath->setText(folder);
        fx.window->RadioGroup1Items->button(2)->setChecked(true);
        seams.dialogs.answer(2);
        fx.window->Button1Click();
        QCOMPARE(seams.dialogs.texts(), QStringList{"当前目录" + folder + " 不存在，是否创建！"});
        QVERIFY(fx.window->edtBackPath->hasFocus() || !fx.window->isActiveWindow());
        QCOMPARE(PubUnit::BakMode, 0);
        QCOMPARE(fx.ini->readInteger("config", "ibak", -1), -1);

        seams.dialogs.calls.clear();
        seams.dialogs.answer(1);
        fx.window->Button1Click();
        QCOMPARE(seams.dialogs.texts(), (QStringList{"当前目录" + folder + " 不存在，是否创建！", "当前软件设置更改成功！"}));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(PubUnit::BakMode, 2);
        QCOMPARE(fx.ini->readInteger("config", "ibak", -1), 2);
        QCOMPARE(fx.dm->GetStrValue("select F_BakPath from SysInfo"), folder);

        TFrmDataBack again;
        again.show();
        QCOMPARE(again.edtBackPath->text(), folder);
        QCOMPARE(again.RadioGroup1Items->checkedId(), 2);

        QFile blocker(QDir(fx.dir.path()).filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString impossible = blocker.fileName() + "/bak";
        again.edtBackPath->setText(impossible);
        seams.dialogs.calls.clear();
        seams.dialogs.answer(1);
        again.Button1Click();
        QCOMPARE(seams.dialogs.texts().last(), "目录" + impossible + "创建失败,请检测路径是否合法!");
        QCOMPARE(fx.dm->GetStrValue("select F_BakPath from SysInfo"), folder);
    }

    // The chooser opens on the folder typed; 确定 on another folder puts it
    // in the box, 取消 leaves the box alone.
    void folderChooser()
    {
        ScopedSeams seams;
        Fixture fx(QStringLiteral("sqlite"));
        const QString start = QDir(fx.dir.path()).filePath("a");
        const QString other = QDir(fx.dir.path()).filePath("b");
        QDir().mkpath(start);
        QDir().mkpath(other);
        fx.window->edtBackPath->setText("  " + start + "/missing  ");
        QString shownAtStart;
        seams.dialogs.handleDialog([&](QDialog &d) {
            auto &chooser = static_cast<TDlgSelectPath &>(d);
            shownAtStart = chooser.currentPath();
            chooser.setCurrentPath(other);
            return int(QDialog::Accepted);
        });
        fx.window->SpeedButton1Click();
        QCOMPARE(seams.dialogs.texts(), QStringList{"选择文件路径"});
        QCOMPARE(shownAtStart, start);
        QCOMPARE(fx.window->edtBackPath->text(), other);

        seams.dialogs.handleDialog([&](QDialog &d) {
            static_cast<TDlgSelectPath &>(d).setCurrentPath(start);
            return int(QDialog::Rejected);
        });
        fx.window->SpeedButton1Click();
        QCOMPARE(fx.window->edtBackPath->text(), other);
    }

    void commandOpensTheWindow()
    {
        CommandRegistry::instance().clear();
        provideBackupWindows();
        QVERIFY(CommandRegistry::instance().handler(503));
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
