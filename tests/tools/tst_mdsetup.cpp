// The set-up tool's commands and window, run in-process.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "mdsetup/SetupCommands.h"
#include "common/ConnectionForm.h"
#include "mdsetup/SetupWindow.h"

#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    int rc = -1;
    QString out, err;
};

Run run(const QStringList &args)
{
    Run r;
    QTextStream out(&r.out), err(&r.err);
    r.rc = SetupCommands::run(args, out, err);
    out.flush();
    err.flush();
    return r;
}

// Points the program folder at `dir` and, for a server backend, writes the
// [DBconn] that names a new database on it. SQLite starts without Config.ini.
void prepareFolder(const QString &backend, const QString &dir)
{
    ProgramFolder::setPath(dir);
    if (backend == QLatin1String("postgres")) {
        PrivateProfile ini(QDir(dir).filePath("Config.ini"));
        ini.writeString("DBconn", "Driver", "postgres");
        ini.writeString("DBconn", "server", "127.0.0.1");
        ini.writeInteger("DBconn", "Port", qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT"));
        ini.writeString("DBconn", "Database", "md_" + QUuid::createUuid().toString(QUuid::Id128).left(12));
    }
}

// Takes the real and effective ids of `account` (nullptr: stays as it is)
// for its lifetime, so file permissions apply as they do to that account.
// Root keeps its saved id and takes itself back when the scope ends.
class AsAccount {
public:
    explicit AsAccount(const passwd *account)
    {
        if (!account) return;
        m_groups.resize(qMax(0, ::getgroups(0, nullptr)));
        ::getgroups(int(m_groups.size()), m_groups.data());
        const gid_t gid = account->pw_gid;
        m_switched = ::setgroups(1, &gid) == 0 && ::setresgid(gid, gid, 0) == 0
                     && ::setresuid(account->pw_uid, account->pw_uid, 0) == 0;
        if (!m_switched) m_error = QStringLiteral("cannot take the ids of %1: %2").arg(account->pw_name, strerror(errno));
        m_active = true;
    }
    ~AsAccount()
    {
        if (!m_active) return;
        if (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0
            || ::setgroups(m_groups.size(), m_groups.data()) != 0)
            qFatal("cannot take the root ids back");
    }
    AsAccount(const AsAccount &) = delete;
    AsAccount &operator=(const AsAccount &) = delete;
    bool switched() const { return !m_active || m_switched; }
    QString error() const { return m_error; }

private:
    std::vector<gid_t> m_groups;
    bool m_active = false;
    bool m_switched = false;
    QString m_error;
};

} // namespace

class TestMdsetup : public QObject {
    Q_OBJECT
private slots:
    void initCheckExec_data() { TestDb::addBackendRows(); }
    void initCheckExec();
    void initLeavesOneSettingsFileAndOneDatabase_data();
    void initLeavesOneSettingsFileAndOneDatabase();
    void checkReportsProblems();
    void unusableDatabaseFile_data();
    void unusableDatabaseFile();
    void usage_data();
    void usage();
    void createOrCheck();
    void windowWritesConfigAndCreates();
    void windowRefusesEmptyDatabase();
};

void TestMdsetup::initCheckExec()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    prepareFolder(backend, dir.path());

    Run r = run({"init", "--demo", "40"});
    QVERIFY2(r.rc == 0, qPrintable(r.err));
    QVERIFY(r.out.contains("完成"));
    QVERIFY(r.out.contains("40"));
    if (backend == QLatin1String("sqlite")) {
        // The embedded default was written and used.
        const PrivateProfile ini(QDir(dir.path()).filePath("Config.ini"));
        QCOMPARE(ini.readString("DBconn", "Driver"), QString("sqlite"));
        QCOMPARE(ini.readString("DBconn", "Database"), QString("clservice.db"));
        QVERIFY(QFile::exists(QDir(dir.path()).filePath("clservice.db")));
    }

    r = run({"check"});
    QVERIFY2(r.rc == 0, qPrintable(r.out + r.err));

    r = run({"exec", "select count(*) as n from t_client where isNull(F_useflag,0) >= 0"});
    QCOMPARE(r.rc, 0);
    QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts), QStringList({"n", "40"}));

    // Values with tabs or line breaks stay on one line and in one cell.
    r = run({"exec", "update t_client set F_memo1 = 'a\tb\nc', F_price = 1999.5 where F_code = '00000002'"});
    QCOMPARE(r.rc, 0);
    QVERIFY(r.out.contains("1"));
    r = run({"exec", "select F_code, F_memo1, F_price, F_buyDate from t_client where F_code = '00000002'"});
    QCOMPARE(r.rc, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    // PostgreSQL gives unquoted names back in lower case.
    QCOMPARE(lines[0].toLower(), QString("f_code\tf_memo1\tf_price\tf_buydate"));
    const QStringList cells = lines[1].split('\t');
    QCOMPARE(cells.size(), 4);
    QCOMPARE(cells[0], QString("00000002"));
    QCOMPARE(cells[1], QString("a\\tb\\nc"));
    QCOMPARE(cells[2], QString("1999.5"));
    QVERIFY(QRegularExpression("^\\d{4}-\\d{2}-\\d{2}$").match(cells[3]).hasMatch());

    r = run({"exec", "select * from t_nothing"});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.err.contains("error"));

    // A second init changes nothing and says so.
    r = run({"init"});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.err.contains("已有数据表"));
    QCOMPARE(run({"exec", "select count(*) from t_client"}).out.split('\n', Qt::SkipEmptyParts).value(1), QString("40"));
}

void TestMdsetup::initLeavesOneSettingsFileAndOneDatabase_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("creates");
    for (const QString &b : TestDb::backends()) {
        if (b == QLatin1String("sqlite")) {
            QTest::newRow("sqlite folder missing") << b << "folder missing" << true;
            QTest::newRow("sqlite folder empty") << b << "folder empty" << true;
            // What the client opens without Config.ini: the built-in name.
            QTest::newRow("sqlite database only") << b << "database only" << false;
        }
        QTest::newRow(qPrintable(b + " Config.ini only")) << b << "Config.ini only" << true;
        QTest::newRow(qPrintable(b + " both")) << b << "both" << false;
    }
}

// Whatever the folder held, one init leaves one Config.ini naming one
// database that holds the archive, and a second init finds that same one.
void TestMdsetup::initLeavesOneSettingsFileAndOneDatabase()
{
    FETCH_BACKEND(backend);
    QFETCH(QString, before);
    QFETCH(bool, creates);
    QTemporaryDir dir;
    const QString home = before == "folder missing" ? QDir(dir.path()).filePath("new/shop") : dir.path();
    const QString ini = QDir(home).filePath("Config.ini");
    const auto customers = [] {
        return run({"exec", "select count(*) from t_client"}).out.split('\n', Qt::SkipEmptyParts).value(1);
    };
    prepareFolder(backend, home);
    if (backend == "sqlite" && before == "Config.ini only")
        PrivateProfile(ini).writeString("DBconn", "Database", "archive");
    if (before == "both" || before == "database only") {
        if (backend == "sqlite") PrivateProfile(ini).writeString("DBconn", "Database", "clSQLser");
        QCOMPARE(run({"init", "--demo", "3"}).rc, 0);
        if (before == "database only") QVERIFY(QFile::remove(ini));
    }

    Run r = run({"init"});
    QCOMPARE(r.rc, creates ? 0 : 1);
    if (!creates) QVERIFY2(r.err.contains("已有数据表"), qPrintable(r.err));
    QVERIFY2(QFileInfo(ini).isFile(), qPrintable(r.out + r.err));
    const ConnectionSettings s = SetupCommands::readSettings();
    if (backend == "sqlite") {
        const QStringList files = QDir(home).entryList(QDir::Files).filter(".db");
        QCOMPARE(files.size(), 1);
        QCOMPARE(QFileInfo(sqliteDatabaseFile(s)).fileName(), files.first());
        if (before == "Config.ini only") QCOMPARE(files.first(), QString("archive.db"));
    }
    r = run({"check"});
    QVERIFY2(r.rc == 0, qPrintable(r.out + r.err));
    const QString count = creates ? "0" : "3";
    QCOMPARE(customers(), count);

    r = run({"init"});
    QCOMPARE(r.rc, 1);
    QVERIFY2(r.err.contains("已有数据表"), qPrintable(r.err));
    QCOMPARE(SetupCommands::readSettings().database, s.database);
    QCOMPARE(customers(), count);
    if (backend == "sqlite") QCOMPARE(QDir(home).entryList(QDir::Files).filter(".db").size(), 1);
}

void TestMdsetup::checkReportsProblems()
{
    QTemporaryDir dir;
    prepareFolder("sqlite", dir.path());
    QCOMPARE(run({"init"}).rc, 0);
    QCOMPARE(run({"exec", "drop table KeyValue"}).rc, 0);
    const Run r = run({"check"});
    QCOMPARE(r.rc, 1);
    QVERIFY(r.out.contains("KeyValue"));
    QVERIFY(r.err.contains("1"));

    // A database that cannot be reached is a failure, not a crash.
    PrivateProfile ini(QDir(dir.path()).filePath("Config.ini"));
    ini.writeString("DBconn", "Database", "missing.db");
    QCOMPARE(run({"check"}).rc, 1);
}

void TestMdsetup::unusableDatabaseFile_data()
{
    QTest::addColumn<QByteArray>("content");   // empty: a real database
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a database") << QByteArray("客户,电话\n张三,139\n") << 0644 << 0755
                                    << QStringLiteral("不是有效的数据库文件");
    QTest::newRow("read-only file") << QByteArray() << 0444 << 0755 << QStringLiteral("数据库文件是只读的");
    QTest::newRow("read-only folder") << QByteArray() << 0644 << 0555
                                      << QStringLiteral("数据库文件所在的文件夹不能写入");
}

// Permissions mean nothing to root, so as root the check runs in this
// process under the ids of an ordinary account (nothing needs to be started
// from the build folder, which that account may not reach).
void TestMdsetup::unusableDatabaseFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    prepareFolder("sqlite", dir.path());
    PrivateProfile(QDir(dir.path()).filePath("Config.ini")).writeString("DBconn", "Database", "clservice.db");
    const QString db = QDir(dir.path()).filePath("clservice.db");
    if (content.isEmpty()) {
        QCOMPARE(run({"init"}).rc, 0);
    } else {
        QFile f(db);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const passwd *ordinary = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    if (geteuid() == 0) {
        if (!ordinary) QSKIP("running as root, the check needs the ordinary account nobody, which is missing");
        for (const QString &path : {db, dir.path()})
            QCOMPARE(::chown(QFile::encodeName(path).constData(), ordinary->pw_uid, ordinary->pw_gid), 0);
    }
    QCOMPARE(::chmod(QFile::encodeName(db).constData(), mode_t(fileMode)), 0);
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(folderMode)), 0);

    Run r;
    QString skipped;
    {
        AsAccount as(ordinary);
        if (!as.switched())
            skipped = as.error();
        else if (::access(QFile::encodeName(dir.path()).constData(), X_OK) != 0)
            skipped = QStringLiteral("the account nobody cannot reach the temporary folder %1; "
                                     "set TMPDIR to a folder every account can reach")
                          .arg(dir.path());
        else
            r = run({"check"});
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);   // so the folder can be removed
    if (!skipped.isEmpty()) QSKIP(qPrintable(skipped));
    QCOMPARE(r.rc, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY2(r.err.contains(dir.path()), qPrintable(r.err));
}

void TestMdsetup::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("only home") << QStringList{"--home", "/tmp"};
    QTest::newRow("unknown") << QStringList{"frobnicate"};
    QTest::newRow("init extra") << QStringList{"init", "--fast"};
    QTest::newRow("negative demo") << QStringList{"init", "--demo", "-5"};
    QTest::newRow("exec without sql") << QStringList{"exec"};
    QTest::newRow("exec blank") << QStringList{"exec", "  "};
    QTest::newRow("check extra") << QStringList{"check", "x"};
}

void TestMdsetup::usage()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    const Run r = run(args);
    QCOMPARE(r.rc, 2);
    QVERIFY(!r.err.isEmpty());
    // Nothing was created by a refused command line.
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void TestMdsetup::createOrCheck()
{
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    ConnectionSettings s;
    s.driver = "sqlite";
    s.database = "sub/shop";
    QString message;
    QVERIFY2(SetupCommands::createOrCheck(s, &message), qPrintable(message));
    QVERIFY(message.contains("建立成功"));
    QVERIFY(QFile::exists(QDir(dir.path()).filePath("sub/shop.db")));
    QVERIFY2(SetupCommands::createOrCheck(s, &message), qPrintable(message));
    QVERIFY(message.contains("检查通过"));

    s.driver = "oracle";
    QVERIFY(!SetupCommands::createOrCheck(s, &message));
    QVERIFY(message.contains("oracle"));
}

void TestMdsetup::windowWritesConfigAndCreates()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    TfrmSetup w;
    w.frmConnection->cbbDriver->setCurrentIndex(w.frmConnection->cbbDriver->findData("sqlite"));
    QVERIFY(!w.frmConnection->edtServer->isEnabled());
    w.frmConnection->edtDatabase->setText("  gui  ");
    w.frmConnection->edtPassWord->setText("pa'ss");
    QTest::mouseClick(w.btnOk, Qt::LeftButton);

    QCOMPARE(w.result(), int(QDialog::Accepted));
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls[0].kind, 0);
    const PrivateProfile ini(QDir(dir.path()).filePath("Config.ini"));
    QCOMPARE(ini.readString("DBconn", "Driver"), QString("sqlite"));
    QCOMPARE(ini.readString("DBconn", "Database"), QString("gui"));
    // Stored coded, read back clear.
    QVERIFY(ini.readString("DBconn", "password") != "pa'ss");
    QCOMPARE(SetupCommands::readSettings().password, QString("pa'ss"));
    QVERIFY(QFile::exists(QDir(dir.path()).filePath("gui.db")));

    // Opened again, the window shows what was written.
    TfrmSetup again;
    QCOMPARE(again.frmConnection->edtDatabase->text(), QString("gui"));
    QCOMPARE(again.frmConnection->cbbDriver->currentData().toString(), QString("sqlite"));
}

void TestMdsetup::windowRefusesEmptyDatabase()
{
    ScopedSeams seams;
    QTemporaryDir dir;
    ProgramFolder::setPath(dir.path());
    TfrmSetup w;
    w.frmConnection->edtDatabase->clear();
    QTest::mouseClick(w.btnOk, Qt::LeftButton);
    QCOMPARE(seams.dialogs.texts(), QStringList{"请输入数据库名称！"});
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath("Config.ini")));

    w.frmConnection->cbbDriver->setCurrentIndex(w.frmConnection->cbbDriver->findData("postgres"));
    QVERIFY(w.frmConnection->edtServer->isEnabled());
    w.frmConnection->edtServer->clear();
    w.frmConnection->edtDatabase->setText("shop");
    QTest::mouseClick(w.btnOk, Qt::LeftButton);
    QCOMPARE(seams.dialogs.texts().last(), QString("请输入服务器名称！"));
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath("Config.ini")));
}

QTEST_MAIN(TestMdsetup)
#include "tst_mdsetup.moc"
