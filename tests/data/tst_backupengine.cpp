// The engines' backup and restore beneath the backup window: the SQL Server
// statements, a backup replacing an older file only with a whole one, files
// that are no backup refused untouched, and the list counters' connections
// kept closed while a restore runs.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/ListCounter.h"
#include "data/ServerBackupSql.h"
#include "data/TdmData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

int customers(TdmData &dm) { return dm.GetIntValue(QStringLiteral("select count(*) from t_client")); }

bool addCustomer(TdmData &dm, const QString &code)
{
    return dm.RunSQL(QStringLiteral("insert into t_client(F_code, F_name) values('%1', '客户%1')").arg(code));
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestBackupEngine : public QObject {
    Q_OBJECT
private slots:
    void serverStatements()
    {
        QCOMPARE(ServerBackupSql::backup("cl'SQL]ser", "D:\\bak\\o'k\\dp20260105.back"),
                 QStringLiteral("Backup DataBase [cl'SQL]]ser] to Disk = 'D:\\bak\\o''k\\dp20260105.back' with Init "));
        QCOMPARE(ServerBackupSql::restore("clSQLser", "D:\\o'k.back"),
                 QStringLiteral("Restore DataBase [clSQLser] from Disk = 'D:\\o''k.back' with Replace"));
        QCOMPARE(ServerBackupSql::killProcedureCount(),
                 QStringLiteral("use master SELECT count(*) FROM sysobjects WHERE (name = 'yh_killspid')"));
        QCOMPARE(ServerBackupSql::killConnections("cl'ser"), QStringLiteral("use master exec yh_killspid 'cl''ser' "));
        const QStringList lines = ServerBackupSql::killProcedureLines();
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines.first(), QStringLiteral("CREATE procedure yh_killspid(@dbid varchar(20))"));
        QCOMPARE(lines[6], QStringLiteral("select spid from sysprocesses where dbid=db_id('''+@dbid+''')'"));
        QCOMPARE(lines[12], QStringLiteral("exec('kill '+@spid)"));
        QCOMPARE(lines.last(), QStringLiteral("end"));
    }

    // A file of the day already there is replaced by the new backup; a
    // backup that cannot be made leaves the older file as it was.
    void backupReplacesOnlyWithAWholeCopy_data() { TestDb::addBackendRows(); }
    void backupReplacesOnlyWithAWholeCopy()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QString file = dir.filePath("dp.back");
        QVERIFY(writeFile(file, "an older backup"));
        QString error;
        QVERIFY2(dm->backupTo(file, &error), qPrintable(error));
        QVERIFY(QFileInfo(file).size() > 100);
        QVERIFY(!QFileInfo::exists(file + ".part"));

        const QByteArray whole = [&] { QFile f(file); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        QVERIFY(QDir().mkpath(file + ".part"));   // where the copy is written first
        QVERIFY(!dm->backupTo(file, &error));
        QVERIFY(!error.isEmpty());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), whole);
    }

    // Whatever the file, nothing of the database changes when it is not a
    // whole backup of one; the program's connection is closed and reopens.
    void notABackupIsRefused_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QByteArray>("content");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + " text")) << b << QByteArray("这不是备份\n");
            QTest::newRow(qPrintable(b + " empty")) << b << QByteArray();
            QTest::newRow(qPrintable(b + " sqlite header only")) << b << QByteArray("SQLite format 3\0\x10\0", 19);
            QTest::newRow(qPrintable(b + " dump header only")) << b << QByteArray("PGDMP\x01\x0e\0\x04\x08", 10);
        }
    }
    void notABackupIsRefused()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(addCustomer(*dm, "K1"));
        const QString file = dir.filePath("bad.back");
        QVERIFY(writeFile(file, content));
        QString error;
        QVERIFY(!dm->restoreFrom(file, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!dm->ADOcnn.isOpen());
        QVERIFY2(dm->reconnect(&error), qPrintable(error));
        QCOMPARE(customers(*dm), 1);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // A counter asked while a restore holds the connections answers once
    // they may open again, from the restored database.
    void counterWaitsForTheRestore_data() { TestDb::addBackendRows(); }
    void counterWaitsForTheRestore()
    {
        FETCH_BACKEND(backend);
        SKIP_WITHOUT_PG_TOOLS(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(addCustomer(*dm, "K1"));
        const QString file = dir.filePath("dp.back");
        QString error;
        QVERIFY2(dm->backupTo(file, &error), qPrintable(error));
        QVERIFY(addCustomer(*dm, "K2"));

        QObject receiver;
        QList<int> counts;
        ListCounter counter(&receiver, [&](int, int n) { counts << n; }, [](int, const QVector<int> &, const QVector<double> &) {});
        const QString sql = QStringLiteral("select * from t_client");
        counter.requestCount(dm->ADOcnn.settings(), sql, 1);
        QTRY_COMPARE(counts, QList<int>{2});

        QVERIFY2(dm->restoreFrom(file, &error), qPrintable(error));
        counter.requestCount(dm->ADOcnn.settings(), sql, 2);
        QTest::qWait(300);
        QCOMPARE(counts, QList<int>{2});
        QVERIFY2(dm->reconnect(&error), qPrintable(error));
        QTRY_COMPARE(counts, (QList<int>{2, 1}));
        QCOMPARE(customers(*dm), 1);
    }
};

QTEST_MAIN(TestBackupEngine)
#include "tst_backupengine.moc"
