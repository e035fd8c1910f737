// The data module on every backend: SQL Server semantics through the
// translation, each operation's result and message, and the DataSet cursor.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kOpFailed = QStringLiteral("操作失败，请检查数据连接... ");

void addClient(TdmData &dm, const QString &code, const QString &name, const QString &extra = {}, const QString &values = {})
{
    QVERIFY(dm.RunSQL(QStringLiteral("insert into t_client(F_code,F_name%1) values('%2','%3'%4)")
                          .arg(extra.isEmpty() ? QString() : u',' + extra, sqlValue(code), sqlValue(name),
                               values.isEmpty() ? QString() : u',' + values)));
}
} // namespace

class TstDataModule : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }

    void sqlServerSemantics_data() { TestDb::addBackendRows(); }
    void sqlServerSemantics()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        addClient(*dm, "001", "Wang Shop", "F_useflag,F_IFshoukuan,F_buyDate", "NULL,0,'2024-03-15 14:07:09'");
        addClient(*dm, "002", "wang shop", "F_useflag,F_buyDate", "1,'2024-03-15'");
        addClient(*dm, "003", "李商行", "F_buyDate", "'2024-03-16'");

        QCOMPARE(dm->GetIntValue("select count(*) from t_client where F_name = 'WANG SHOP'"), 2);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where isNull(F_name,'') = 'WANG SHOP'"), 2);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where isNull(f_name,'') like '%ANG%'"), 2);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where isNull(f_name,'') like '%商行%'"), 1);
        // NULL flags count as "in use, not paid".
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0"), 2);
        // A date literal is midnight: a time of day on the last day falls outside.
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where F_buyDate >= '2024-03-15'"), 3);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where F_buyDate <= '2024-03-15'"), 1);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where F_buyDate >= '2024-03-15' and F_buyDate <= '2024-03-16'"), 3);
        QCOMPARE(dm->GetStrValue("select F_buyDate from t_client where F_code = '001'"), QStringLiteral("2024-03-15 14:07:09"));
        QCOMPARE(dm->GetStrValue("select F_buyDate from t_client where F_code = '002'"), QStringLiteral("2024-03-15"));
        QCOMPARE(dm->GetStrValue("select [F_name] from [t_client] where [F_code] = '003'"), QStringLiteral("李商行"));
        QCOMPARE(dm->GetStrValue("select F_useflag from t_client where F_code = '002'"), QStringLiteral("True"));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void dateDiffCountsDayBoundaries_data() { TestDb::addBackendRows(); }
    void dateDiffCountsDayBoundaries()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QDate today = QDate::currentDate();
        const struct { const char *code; QString awoke; int days; } cases[] = {
            {"a", today.addDays(1).toString("yyyy-MM-dd") + " 00:30:00", 1},
            {"b", today.toString("yyyy-MM-dd") + " 23:59:59", 0},
            {"c", today.addDays(-1).toString("yyyy-MM-dd"), -1},
            {"d", today.addDays(40).toString("yyyy-MM-dd"), 40},
        };
        for (const auto &c : cases) addClient(*dm, c.code, "x", "F_awokeDate", sqlQuoted(c.awoke));
        for (const auto &c : cases)
            QCOMPARE(dm->GetIntValue(QStringLiteral("select DateDiff(day,getdate(),F_awokeDate) from t_client where F_code = '%1'").arg(c.code)), c.days);
        QCOMPARE(dm->GetIntValue("select DateDiff(month,'2024-01-31','2024-02-01')"), 1);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where (DateDiff(day,getdate(),F_awokeDate) <= 3) and (DateDiff(day,getdate(),F_awokeDate) >= 0)"), 2);
    }

    void hostileValuesAndParameters_data() { TestDb::addBackendRows(); }
    void hostileValuesAndParameters()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QString nasty = QStringLiteral("O'Brien 100% _x_ ") + QChar(u'\0') + QStringLiteral("end'); drop table t_client; --");
        addClient(*dm, "q1", nasty);
        const QString stored = dm->GetStrValue("select F_name from t_client where F_code = 'q1'");
        QCOMPARE(stored, QString(nasty).remove(QChar(u'\0')));
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where F_name = '" + sqlValue(nasty) + "'"), 1);

        const QString longText(10000, u'长');
        DataSet *q = dm->QryPub;
        q->setSql("insert into t_client(F_code,F_memo1,F_IFshoukuan,F_buyDate) values(:Code,:MEMO,:paid,:buy)");
        q->setParam("code", "q2");
        q->setParam("Memo", longText);
        q->setParam("PAID", true);
        q->setParam("Buy", QDateTime(QDate(2024, 5, 1), QTime(0, 0)));
        QVERIFY2(q->execSql(), qPrintable(q->lastError()));
        QCOMPARE(dm->GetStrValue("select F_memo1 from t_client where F_code = 'q2'").size(), 10000);
        QCOMPARE(dm->GetIntValue("select count(*) from t_client where F_IFshoukuan = 1 and F_buyDate = '2024-05-01'"), 1);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void operationsGiveNeutralResultsOnFailure_data() { TestDb::addBackendRows(); }
    void operationsGiveNeutralResultsOnFailure()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QCOMPARE(dm->GetIntValue("select F_ID from t_client where F_code = 'none'"), 0);
        QCOMPARE(dm->GetIntValue("select max(F_amount) from t_client"), 0);
        QCOMPARE(dm->GetStrValue("select F_name from t_client where 1=0"), QString());
        QCOMPARE(dm->GetBoolValue("select F_useflag from t_client"), false);
        QVERIFY(seams.dialogs.calls.isEmpty());

        QVERIFY(!dm->RunSQL("update no_such_table set x = 1"));
        QCOMPARE(dm->GetIntValue("select nothing from nowhere"), 0);
        QCOMPARE(dm->GetStrValue("select nothing from nowhere"), QString());
        QVERIFY(!dm->GetBoolValue("select nothing from nowhere"));
        QVERIFY(!dm->DeleteByID("no_such_table", 3));
        DataSet list(&dm->ADOcnn);
        QVERIFY(!dm->OpenSQL("select * from nowhere", &list));
        QVERIFY(!list.isActive());
        QCOMPARE(seams.dialogs.texts(), (QStringList{kOpFailed, kOpFailed, kOpFailed, kOpFailed,
                                                     QStringLiteral("删除操作失败，请检查数据连接... "),
                                                     QStringLiteral("打开操作失败，请检查数据连接... ")}));
        for (const auto &c : seams.dialogs.calls) QCOMPARE(c.kind, 3);

        addClient(*dm, "d1", "x");
        const int id = dm->GetIntValue("select F_ID from t_client where F_code = 'd1'");
        QVERIFY(dm->DeleteByID("t_client", id));
        QCOMPARE(dm->GetIntValue("select count(*) from t_client"), 0);
    }

    void fillAndSelectItems_data() { TestDb::addBackendRows(); }
    void fillAndSelectItems()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        for (const char *n : {" 空调 ", "", "  ", "冰箱"})
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_type) values('%1','type')").arg(n)));
        QComboBox box;
        box.addItem("old");
        dm->FillItems("select F_name from t_code where F_type = 'type' order by F_ID", &box);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(0), QString());
        QCOMPARE(box.itemText(1), QStringLiteral(" 空调 "));   // kept untrimmed
        QCOMPARE(box.itemText(2), QStringLiteral("冰箱"));
        dm->FillItems("select F_name from t_code where F_name = ''", &box);
        QCOMPARE(box.count(), 1);
        dm->FillItems("select broken from", &box);
        QCOMPARE(box.count(), 1);
        QCOMPARE(seams.dialogs.count(kOpFailed), 1);
    }

    void selectItem()
    {
        QComboBox box;
        box.setEditable(true);
        box.addItems({"", "abc", "ABC ", "xyz", "Ａbc"});
        TdmData::SelectItem("ABC ", &box);
        QCOMPARE(box.currentIndex(), 2);   // the last equal item wins
        TdmData::SelectItem(" xyZ", &box);
        QCOMPARE(box.currentIndex(), 3);
        TdmData::SelectItem("不在列表", &box);
        QCOMPARE(box.currentText(), QStringLiteral("不在列表"));
        QComboBox fixed;
        fixed.addItems({"", "a"});
        TdmData::SelectItem("missing", &fixed);
        QCOMPARE(fixed.currentText(), QStringLiteral("missing"));
    }

    void writeLogAndRights_data() { TestDb::addBackendRows(); }
    void writeLogAndRights()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        PubUnit::CurOper = "op'1";
        dm->WriteLog("登录成功！");
        QCOMPARE(dm->GetStrValue("select F_OperType from LogRec where F_EmpName = 'op''1'"), QStringLiteral("登录成功！"));
        QCOMPARE(dm->GetStrValue("select F_OperDate from LogRec"), QDate::currentDate().toString("yyyy-MM-dd"));

        const QString name201 = dm->GetStrValue("select F_name from Limits where F_code = '201'");
        QVERIFY(!name201.isEmpty());
        QVERIFY(dm->RunSQL("insert into OperLimit(F_OperName,F_lmtName) values('op''1','" + sqlValue(name201) + "')"));
        QVERIFY(dm->HasRight("201"));
        QVERIFY(!dm->HasRight("202"));
        QVERIFY(seams.dialogs.calls.isEmpty());

        QVERIFY(dm->RunSQL("drop table LogRec"));
        dm->WriteLog("x");   // swallowed
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // Generated codes count up from the largest code that ends in a number
    // and are never a code already there.
    void nextCode_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("expected");
        QStringList lettersAbove;
        for (int i = 0; i < 250; ++i) lettersAbove << QStringLiteral("Z%1").arg(i, 7, 10, QLatin1Char('0'));
        for (const QString &b : TestDb::backends()) {
            QTest::addRow("%s empty", qPrintable(b)) << b << QStringList{} << "00000001";
            QTest::addRow("%s carry", qPrintable(b)) << b << QStringList{"00000001", "00000009"} << "00000010";
            QTest::addRow("%s 123", qPrintable(b)) << b << QStringList{"00000001", "00000123"} << "00000124";
            QTest::addRow("%s prefix", qPrintable(b)) << b << QStringList{"A00000099"} << "A00000100";
            QTest::addRow("%s short", qPrintable(b)) << b << QStringList{"123"} << "124";
            QTest::addRow("%s wrap", qPrintable(b)) << b << QStringList{"99999999"} << "00000000";
            QTest::addRow("%s wrap taken", qPrintable(b)) << b << QStringList{"99999999", "00000000", "00000005"} << "00000006";
            QTest::addRow("%s letter in the tail", qPrintable(b)) << b << QStringList{"00001117", "X0001118"} << "00001118";
            QTest::addRow("%s only letters", qPrintable(b)) << b << QStringList{"AB", "X'1", ""} << "00000001";
            QTest::addRow("%s letters over a page", qPrintable(b)) << b << (lettersAbove + QStringList{"00000042"}) << "00000043";
        }
    }
    void nextCode()
    {
        FETCH_BACKEND(backend);
        QFETCH(QStringList, codes);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        if (!codes.isEmpty()) {
            QStringList rows;
            for (const QString &c : codes) rows << QStringLiteral("('%1','x')").arg(sqlValue(c));
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values") + rows.join(u',')));
        }
        QCOMPARE(dm->NextCode("t_client", "F_code", 8), expected);
        QVERIFY(seams.dialogs.calls.isEmpty());
        QVERIFY(dm->RunSQL("drop table t_client"));
        QVERIFY_THROWS_EXCEPTION(DbError, dm->NextCode("t_client", "F_code", 8));
    }

    void makeDisplayFormat_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("plain 2") << 2 << 1 << "0.##";
        QTest::newRow("plain 0") << 0 << 1 << "0.";
        QTest::newRow("plain -1") << -1 << 1 << "0.";
        QTest::newRow("money 1") << 1 << 2 << "￥,0.0";
        QTest::newRow("money 2") << 2 << 3 << "￥,0.00";
        QTest::newRow("money 3") << 3 << 2 << "￥,0.00#";
        QTest::newRow("money 4") << 4 << 3 << "￥,0.00##";
        QTest::newRow("money 0") << 0 << 2 << "￥,0.";
    }
    void makeDisplayFormat()
    {
        QFETCH(int, n);
        QFETCH(int, kind);
        QFETCH(QString, pattern);
        QCOMPARE(TdmData::MakeDisplayFormat(n, kind), pattern);
    }

    void autoBackupOncePerDay_data() { TestDb::addBackendRows(); }
    void autoBackupOncePerDay()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QString folder = QDir(dir.path()).filePath("bak/daily");
        QVERIFY(dm->RunSQL("update SysInfo set F_BakPath = '" + sqlValue(folder) + "'"));

        seams.dialogs.answer(2);   // No: nothing is made, nothing more is shown
        dm->AutoBackup();
        QVERIFY(!QDir(folder).exists());
        QCOMPARE(seams.dialogs.calls.size(), 1);
        QCOMPARE(seams.dialogs.calls[0].text, "当前目录" + folder + " 不存在，是否创建！");

        seams.dialogs.answer(1);
        dm->AutoBackup();
        dm->AutoBackup();
        const QString file = TdmData::backupFileName(folder, QDate::currentDate());
        QVERIFY(QFileInfo(file).size() > 0);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
        QCOMPARE(seams.dialogs.calls.size(), 2);
    }

    // The folder is there but today's file cannot be written.
    void autoBackupFailureIsReported_data() { TestDb::addBackendRows(); }
    void autoBackupFailureIsReported()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QString folder = QDir(dir.path()).filePath("bak");
        QVERIFY(dm->RunSQL("update SysInfo set F_BakPath = '" + sqlValue(folder) + "'"));
        const QString file = TdmData::backupFileName(folder, QDate::currentDate());
        QVERIFY(QDir().mkpath(file + ".part"));   // where the copy is written first
        dm->AutoBackup();
        QCOMPARE(seams.dialogs.texts(), QStringList{"备份失败，请与管理员联系！"});
        QCOMPARE(seams.dialogs.calls[0].kind, 3);
        QVERIFY(!QFileInfo::exists(file));
    }

    void lostServerIsReported_data() { TestDb::addBackendRows(); }
    void lostServerIsReported()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const int codes = dm->GetIntValue("select count(*) from t_code");
        if (backend == "postgres") {
            // Another session ends ours, as a server restart would.
            const int pid = dm->GetIntValue("select pg_backend_pid()");
            Connection admin("admin");
            QVERIFY(admin.open(dm->ADOcnn.settings()));
            QSqlQuery q;
            QVERIFY(admin.exec(q, QStringLiteral("select pg_terminate_backend(%1)").arg(pid)));
        } else {
            // Another client holds the write lock: we wait, then report.
            Connection other("other");
            QVERIFY(other.open(dm->ADOcnn.settings()));
            QSqlQuery q;
            QVERIFY(other.exec(q, "begin exclusive"));
            QVERIFY(!dm->RunSQL("insert into t_code(F_name) values('x')"));
            QVERIFY(other.exec(q, "rollback"));
            QVERIFY(dm->RunSQL("insert into t_code(F_name) values('x')"));
            QCOMPARE(seams.dialogs.texts(), QStringList{kOpFailed});
            return;
        }
        // The statement that met the ended session fails and is not run again;
        // the session is opened again at once, so the next one works.
        QVERIFY(!dm->RunSQL("insert into t_code(F_name) values('x')"));
        QCOMPARE(dm->GetIntValue("select count(*) from t_code"), codes);
        QCOMPARE(seams.dialogs.texts(), QStringList{kOpFailed});
        QVERIFY(dm->RunSQL("insert into t_code(F_name) values('x')"));
        QCOMPARE(dm->GetIntValue("select count(*) from t_code"), codes + 1);
    }

    void dataSetCursorAndPages_data() { TestDb::addBackendRows(); }
    void dataSetCursorAndPages()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        {
            ScopedTransaction tx(dm->ADOcnn);
            QSqlQuery q;
            for (int i = 1; i <= 1234; ++i) {
                Params p;
                p.set("code", QStringLiteral("%1").arg(i, 8, 10, QChar(u'0')));
                p.set("name", QStringLiteral("客户%1").arg(i % 7));
                p.set("amount", i * 1.5);
                QVERIFY(dm->ADOcnn.exec(q, "insert into t_client(F_code,F_name,F_amount) values(:code,:name,:amount)", p));
            }
            QVERIFY(tx.commit());
        }
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL("select * from t_client where (1=1) order by F_code", &ds));
        QVERIFY(!ds.isFullyFetched());   // read in pages
        QCOMPARE(ds.recordCount(), 1234);
        QCOMPARE(ds.fieldByName("f_CODE").asString(), QStringLiteral("00000001"));
        ds.prior();
        QVERIFY(ds.bof());
        QCOMPARE(ds.recNo(), 0);
        int seen = 0;
        for (ds.first(); !ds.eof(); ds.next()) ++seen;
        QCOMPARE(seen, 1234);
        QCOMPARE(ds.fieldByName("F_code").asString(), QStringLiteral("00001234"));
        QCOMPARE(ds.value(1000, ds.fieldIndex("F_code")).toString(), QStringLiteral("00001001"));
        QCOMPARE(ds.fieldByName("F_amount").asFloat(), 1234 * 1.5);

        QVERIFY(ds.locate("F_CODE", "00000777"));
        QCOMPARE(ds.recNo(), 776);
        QVERIFY(!ds.locate("F_code", "nope"));
        QCOMPARE(ds.recNo(), 776);

        ds.setSort("F_amount DESC,");
        QCOMPARE(ds.fieldByName("F_code").asString(), QStringLiteral("00001234"));
        ds.setSort("F_name ASC,F_code DESC");
        QCOMPARE(ds.fieldByName("F_name").asString(), QStringLiteral("客户0"));
        QCOMPARE(ds.fieldByName("F_code").asString(), QStringLiteral("00001232"));
        ds.setSort("");
        QCOMPARE(ds.fieldByName("F_code").asString(), QStringLiteral("00000001"));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void longScrollKeepsTheFirstRow_data() { TestDb::addBackendRows(); }
    void longScrollKeepsTheFirstRow()
    {
        // More pages than the cache holds: the first one is dropped on the way.
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL("with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) "
                            "select i from n order by i", &ds));
        int seen = 0;
        for (ds.first(); !ds.eof(); ds.next()) ++seen;
        QCOMPARE(seen, 20000);
        QCOMPARE(ds.field(0).asInteger(), 20000);
        ds.first();
        QVERIFY(!ds.isEmpty());
        QCOMPARE(ds.recNo(), 0);
        QCOMPARE(ds.field(0).asInteger(), 1);
    }

    void cachedUpdatesApplyInOneBatch_data() { TestDb::addBackendRows(); }
    void cachedUpdatesApplyInOneBatch()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        for (const char *n : {"a", "b", "c"})
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_type) values('%1','area')").arg(n)));
        DataSet ds(&dm->ADOcnn);
        ds.setCachedUpdates(true, "t_code");
        ds.setSql("select * from t_code where F_type = 'area' order by F_ID");
        QVERIFY(ds.open());
        QVERIFY(ds.setFieldValue("F_name", " a' "));
        ds.next();
        ds.deleteRecord();
        ds.appendRecord();
        ds.setFieldValue("F_name", "d");
        ds.setFieldValue("F_type", "area");
        QVERIFY(ds.hasPendingUpdates());
        ds.cancelUpdates();
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(dm->GetStrValue("select F_name from t_code where F_type = 'area' order by F_ID"), QStringLiteral("a"));

        ds.first();
        ds.setFieldValue("F_name", " a' ");
        ds.next();
        ds.deleteRecord();
        ds.appendRecord();
        ds.setFieldValue("F_name", "d");
        ds.setFieldValue("F_type", "area");
        QVERIFY2(ds.applyUpdates(), qPrintable(ds.lastError()));
        QCOMPARE(dm->GetIntValue("select count(*) from t_code where F_type = 'area'"), 3);
        QCOMPARE(dm->GetStrValue("select F_name from t_code where F_type = 'area' order by F_ID"), QStringLiteral(" a' "));
        QCOMPARE(dm->GetIntValue("select count(*) from t_code where F_name = 'b'"), 0);
        QVERIFY(ds.locate("F_name", "d"));
        QVERIFY(ds.fieldByName("F_ID").asInteger() > 0);
    }
};

QTEST_MAIN(TstDataModule)
#include "tst_datamodule.moc"
