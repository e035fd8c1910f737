// Saving customers without a window: the statement's values, the run's
// area id, the repeat look-ups and the all-or-nothing save with the service
// records following a changed code.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "customers/CustomerStore.h"
#include "data/TdmData.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

CustomerRecord sale(const QString &code, const QString &name)
{
    CustomerRecord r;
    r.code = code;
    r.name = name;
    r.buyDate = QStringLiteral("2026-03-01");
    for (QString *d : {&r.setupDate, &r.setupDate1, &r.awokeDate, &r.rq[0], &r.rq[1], &r.rq[2]})
        *d = QLatin1String(PubUnit::NoDate);
    return r;
}

} // namespace

class TestCustomerStore : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }

    // Texts are trimmed except the memo and the free texts; an edit carries its row id.
    void params()
    {
        CustomerRecord r = sale(QStringLiteral(" C1 "), QStringLiteral(" 张三 "));
        r.type = QStringLiteral(" 空调 ");
        r.maker = QStringLiteral("\t李\t");
        r.memo1 = QStringLiteral(" 第一行\n第二行 ");
        r.zf[2] = QStringLiteral(" 卡 ");
        r.amount = 2;
        r.useFlag = true;
        const Params insert = customerParams(r, 7, QStringLiteral("op"));
        QCOMPARE(insert.value(QStringLiteral("code")).toString(), QStringLiteral("C1"));
        QCOMPARE(insert.value(QStringLiteral("NAME")).toString(), QStringLiteral("张三"));
        QCOMPARE(insert.value(QStringLiteral("type")).toString(), QStringLiteral("空调"));
        QCOMPARE(insert.value(QStringLiteral("maker")).toString(), QStringLiteral("李"));
        QCOMPARE(insert.value(QStringLiteral("memo1")).toString(), r.memo1);
        QCOMPARE(insert.value(QStringLiteral("ZF3")).toString(), QStringLiteral(" 卡 "));
        QCOMPARE(insert.value(QStringLiteral("amount")).toDouble(), 2.0);
        QCOMPARE(insert.value(QStringLiteral("areaID")).toInt(), 7);
        QCOMPARE(insert.value(QStringLiteral("empName")).toString(), QStringLiteral("op"));
        QCOMPARE(insert.value(QStringLiteral("useFlag")).toBool(), true);
        QVERIFY(!insert.contains(QStringLiteral("ID")));
        // Every parameter of each statement is given.
        for (const QString &sql : {customerInsertSql(), customerUpdateSql()}) {
            const Params p = customerParams(r, 7, QStringLiteral("op"), 42);
            QCOMPARE(p.value(QStringLiteral("id")).toLongLong(), 42);
            static const QRegularExpression param(QStringLiteral(":(\\w+)"));
            for (auto it = param.globalMatch(sql); it.hasNext();) {
                const QString name = it.next().captured(1);
                QVERIFY2(p.contains(name), qPrintable(name));
            }
        }
    }

    // The run's area id: -1 for no area, kept once real, looked up otherwise.
    void areaId_data() { TestDb::addBackendRows(); }
    void areaId()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_treecode(F_Caption,F_flag) values('城东','area'),('城''西','area')")));
        const int east = dm->GetIntValue(QStringLiteral("select F_ID from t_treecode where F_Caption = '城东'"));
        const int west = dm->GetIntValue(QStringLiteral("select F_ID from t_treecode where F_Caption = '城''西'"));
        const CustomerStore store(*dm);
        QCOMPARE(store.areaIdFor(QStringLiteral("  "), 7), -1);
        QCOMPARE(store.areaIdFor(QStringLiteral("城东"), 7), 7);
        QCOMPARE(store.areaIdFor(QStringLiteral(" 城东 "), 0), east);
        QCOMPARE(store.areaIdFor(QStringLiteral("城'西"), -1), west);
        QCOMPARE(store.areaIdFor(QStringLiteral("别处"), 0), 0);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // A value counts as repeated when the first row holding it is another row.
    void repeats_data() { TestDb::addBackendRows(); }
    void repeats()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_phone) values('A1','甲','0571''1')")));
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_phone) values('A2','乙','0571''1')")));
        const qint64 first = dm->GetIntValue(QStringLiteral("select F_ID from t_client where F_code = 'A1'"));
        const qint64 second = dm->GetIntValue(QStringLiteral("select F_ID from t_client where F_code = 'A2'"));
        const CustomerStore store(*dm);
        const QString phone = QStringLiteral(" 0571'1 ");
        QVERIFY(store.repeats(QStringLiteral("F_phone"), phone, std::nullopt));
        QVERIFY(!store.repeats(QStringLiteral("F_phone"), phone, EditedCustomer {first, QStringLiteral("A1")}));
        // The first row found is the other one: a repeat, though the edited row holds it too.
        const qint64 firstFound = dm->GetIntValue(QStringLiteral("select F_ID From t_client Where F_phone = '0571''1' "));
        const qint64 other = firstFound == first ? second : first;
        QVERIFY(store.repeats(QStringLiteral("F_phone"), phone, EditedCustomer {other, QString()}));
        QVERIFY(!store.repeats(QStringLiteral("F_phone"), QStringLiteral("   "), std::nullopt));
        // An empty code is never a repeat: customers may be saved without one.
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values('','丙')")));
        QVERIFY(!store.repeats(QStringLiteral("F_Code"), QString(), std::nullopt));
        QVERIFY(!store.repeats(QStringLiteral("F_Code"), QStringLiteral("A3"), std::nullopt));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // A new row with everything a form gives, read back as stored.
    void insert_data() { TestDb::addBackendRows(); }
    void insert()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        CustomerRecord r = sale(QStringLiteral("N'1"), QStringLiteral("王'五"));
        r.setupDate = QStringLiteral("2026-04-02");
        r.totalPrice = 2800.5;
        r.ifShoukuan = true;
        r.sz[1] = 3.25;
        int areaId = 0;
        CustomerStore store(*dm);
        QVERIFY2(store.save(r, std::nullopt, QStringLiteral("op'2"), areaId), qPrintable(store.lastError()));
        QCOMPARE(areaId, -1);
        DataSet q(&dm->ADOcnn);
        q.setSql(QStringLiteral("select * from t_client"));
        QVERIFY(q.open());
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("N'1"));
        QCOMPARE(q.fieldByName(QStringLiteral("F_name")).asString(), QStringLiteral("王'五"));
        QCOMPARE(q.fieldByName(QStringLiteral("F_empName")).asString(), QStringLiteral("op'2"));
        QCOMPARE(q.fieldByName(QStringLiteral("F_areaID")).asInteger(), -1);
        QCOMPARE(q.fieldByName(QStringLiteral("F_totalprice")).asFloat(), 2800.5);
        QCOMPARE(q.fieldByName(QStringLiteral("F_SZ2")).asFloat(), 3.25);
        QVERIFY(q.fieldByName(QStringLiteral("F_IFshoukuan")).asBoolean());
        QVERIFY(!q.fieldByName(QStringLiteral("F_useFlag")).asBoolean());
        QCOMPARE(q.fieldByName(QStringLiteral("F_setupDate")).asString().left(10), QStringLiteral("2026-04-02"));
        QCOMPARE(q.fieldByName(QStringLiteral("F_awokeDate")).asString().left(10), QStringLiteral("1900-08-14"));
        QVERIFY(!dm->ADOcnn.inTransaction());
    }

    // An edit that changes the code takes the customer's service records
    // along, and only its own; a failure part-way writes nothing and the
    // next save works.
    void codeChange_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("fail");
        for (const QString &b : TestDb::backends()) {
            QTest::newRow(qPrintable(b + QStringLiteral(" saved"))) << b << false;
            QTest::newRow(qPrintable(b + QStringLiteral(" refused"))) << b << true;
        }
    }
    void codeChange()
    {
        FETCH_BACKEND(backend);
        QFETCH(bool, fail);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_areaID) values('C1','丙',7),('D1','丁',7)")));
        for (const char *table : {"T_WXrec", "T_HFrec", "T_TSrec"})
            QVERIFY(dm->RunSQL(QStringLiteral("insert into %1(F_cltcode,F_mainID) values('C1',5),('D1',6)").arg(QLatin1String(table))));
        if (fail) QVERIFY(dm->RunSQL(QStringLiteral("drop table T_TSrec")));   // the last statement is refused
        const qint64 id = dm->GetIntValue(QStringLiteral("select F_ID from t_client where F_code = 'C1'"));

        CustomerRecord r = sale(QStringLiteral(" C'2 "), QStringLiteral("丙改"));
        r.area = QStringLiteral("城东");
        int areaId = 7;
        CustomerStore store(*dm);
        QCOMPARE(store.save(r, EditedCustomer {id, QStringLiteral("C1")}, QStringLiteral("admin"), areaId), !fail);
        QVERIFY(!dm->ADOcnn.inTransaction());
        QCOMPARE(areaId, 7);
        auto count = [&](const QString &sql) { return dm->GetIntValue(sql); };
        if (fail) {
            QVERIFY(!store.lastError().isEmpty());
            QCOMPARE(count(QStringLiteral("select count(*) from t_client where F_code = 'C1' and F_name = '丙'")), 1);
            QCOMPARE(count(QStringLiteral("select count(*) from T_WXrec where F_cltcode = 'C1'")), 1);
            QCOMPARE(count(QStringLiteral("select count(*) from T_HFrec where F_cltcode = 'C1'")), 1);
            // The connection is free for the next save.
            r.code = QStringLiteral("C1");
            QVERIFY2(store.save(r, EditedCustomer {id, QStringLiteral("C1")}, QStringLiteral("admin"), areaId),
                     qPrintable(store.lastError()));
            QCOMPARE(count(QStringLiteral("select count(*) from t_client where F_code = 'C1' and F_name = '丙改'")), 1);
        } else {
            QCOMPARE(count(QStringLiteral("select count(*) from t_client where F_code = 'C''2' and F_name = '丙改'")), 1);
            for (const char *table : {"T_WXrec", "T_HFrec", "T_TSrec"}) {
                const QString t = QLatin1String(table);
                QCOMPARE(count(QStringLiteral("select F_mainID from %1 where F_cltcode = 'C''2'").arg(t)), 5);
                QCOMPARE(count(QStringLiteral("select count(*) from %1 where F_cltcode = 'C1'").arg(t)), 0);
                QCOMPARE(count(QStringLiteral("select F_mainID from %1 where F_cltcode = 'D1'").arg(t)), 6);
            }
        }
        QCOMPARE(count(QStringLiteral("select count(*) from t_client where F_code = 'D1' and F_name = '丁'")), 1);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestCustomerStore)
#include "tst_customerstore.moc"
