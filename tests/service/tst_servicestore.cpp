// Saving service records without a window: each kind's row as stored, an
// edit rewriting every column, quotes and memos kept, the log, and a failed
// save that writes nothing.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/DataSet.h"
#include "data/TdmData.h"
#include "service/ServiceStore.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

ServiceRecord customer(qint64 id, const QString &code, const QString &name)
{
    ServiceRecord r;
    r.customerId = id;
    r.cltCode = code;
    r.cltName = name;
    return r;
}

QString cell(TdmData &dm, const QString &sql)
{
    return dm.GetStrValue(sql);
}

// Every column of the one row of `table`, as the lists read it.
QVariantMap row(TdmData &dm, const QString &table, qint64 id)
{
    DataSet ds(&dm.ADOcnn);
    QVariantMap m;
    if (!dm.OpenSQL(QStringLiteral("select * from %1 where F_ID = %2").arg(table).arg(id), &ds) || ds.isEmpty())
        return m;
    for (int c = 0; c < ds.fieldCount(); ++c)
        m.insert(ds.fieldName(c).toLower(), DataSet::displayText(ds.field(c).value(), ds.fieldKind(c)));
    return m;
}

} // namespace

class TestServiceStore : public QObject {
    Q_OBJECT
private slots:
    void init() { TestDb::signIn(QStringLiteral("小李")); }

    // A repair with a quote in every text, a memo of two lines and no
    // repair-done date; then an edit of it, which rewrites every column.
    void repair_data() { TestDb::addBackendRows(); }
    void repair()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        ServiceRecord r = customer(3, QStringLiteral(" C'01 "), QStringLiteral(" 王'五 "));
        r.set("BXdate", QStringLiteral("2026-03-01"));
        r.set("XFdate", QStringLiteral("1900-08-14"));
        r.set("xinghao", QStringLiteral(" KFR'35 "));
        r.set("reason", QStringLiteral("\t不制冷 "));
        r.set("amount", 2.0);
        r.set("price", 12.5);
        r.set("totalPrice", 25.0);
        r.set("shoukuan", 80.25);
        r.set("setupDept", QStringLiteral("城东"));
        r.set("billcode", QStringLiteral(" W-1 "));
        r.set("FWname", QStringLiteral("张'师傅"));
        r.set("JScode", QStringLiteral(" JS9 "));
        r.set("mem1", QStringLiteral(" 第一行\n第二行 "));
        ServiceStore store(*dm);
        qint64 id = 0;
        QVERIFY2(store.save(ServiceKind::Repair, r, std::nullopt, &id), qPrintable(store.lastError()));
        QVERIFY(id > 0);
        QVariantMap m = row(*dm, QStringLiteral("T_WXrec"), id);
        QCOMPARE(m.value("f_mainid").toString(), QStringLiteral("3"));
        QCOMPARE(m.value("f_cltcode").toString(), QStringLiteral("C'01"));
        QCOMPARE(m.value("f_cltname").toString(), QStringLiteral("王'五"));
        QCOMPARE(m.value("f_bxdate").toString(), QStringLiteral("2026-03-01"));
        QCOMPARE(m.value("f_xfdate").toString(), QStringLiteral("1900-08-14"));
        QCOMPARE(m.value("f_xinghao").toString(), QStringLiteral("KFR'35"));
        QCOMPARE(m.value("f_reason").toString(), QStringLiteral("不制冷"));
        QCOMPARE(m.value("f_amount").toString(), QStringLiteral("2"));
        QCOMPARE(m.value("f_price").toString(), QStringLiteral("12.5"));
        QCOMPARE(m.value("f_totalprice").toString(), QStringLiteral("25"));
        QCOMPARE(m.value("f_shoukuan").toString(), QStringLiteral("80.25"));
        QCOMPARE(m.value("f_billcode").toString(), QStringLiteral("W-1"));
        QCOMPARE(m.value("f_fwname").toString(), QStringLiteral("张'师傅"));
        QCOMPARE(m.value("f_jscode").toString(), QStringLiteral("JS9"));
        QCOMPARE(m.value("f_mem1").toString(), QStringLiteral(" 第一行\n第二行 "));
        QCOMPARE(cell(*dm, QStringLiteral("select F_OperType from LogRec where F_OperType like '%维修%'")),
                 QStringLiteral("增加维修记录！"));

        ServiceRecord changed = customer(4, QStringLiteral("C02"), QStringLiteral("赵六"));
        changed.set("BXdate", QStringLiteral("2026-03-02"));
        changed.set("XFdate", QStringLiteral("2026-03-04"));
        QVERIFY(store.save(ServiceKind::Repair, changed, id));
        m = row(*dm, QStringLiteral("T_WXrec"), id);
        QCOMPARE(m.value("f_mainid").toString(), QStringLiteral("4"));
        QCOMPARE(m.value("f_cltname").toString(), QStringLiteral("赵六"));
        QCOMPARE(m.value("f_xfdate").toString(), QStringLiteral("2026-03-04"));
        QCOMPARE(m.value("f_xinghao").toString(), QString());
        QCOMPARE(m.value("f_mem1").toString(), QString());
        QCOMPARE(m.value("f_amount").toString(), QStringLiteral("0"));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from T_WXrec")), 1);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from LogRec where F_OperType = '修改维修记录！'")), 1);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // A return visit keeps its memos as typed and stamps the day of every save.
    void returnVisit_data() { TestDb::addBackendRows(); }
    void returnVisit()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        ServiceRecord r = customer(8, QStringLiteral("C8"), QStringLiteral("钱七"));
        r.set("date", QStringLiteral("2026-02-27"));
        r.set("empName", QStringLiteral(" 不在列表的人 "));
        r.set("mem1", QString());
        r.set("mem2", QStringLiteral("  已处理\r\n第二行  "));
        ServiceStore store(*dm);
        qint64 id = 0;
        QVERIFY2(store.save(ServiceKind::ReturnVisit, r, std::nullopt, &id), qPrintable(store.lastError()));
        QVERIFY(dm->RunSQL(QStringLiteral("update T_HFrec set F_editDate = '2020-01-01'")));
        QVERIFY(store.save(ServiceKind::ReturnVisit, r, id));   // unchanged, saved again
        const QVariantMap m = row(*dm, QStringLiteral("T_HFrec"), id);
        QCOMPARE(m.value("f_date").toString(), QStringLiteral("2026-02-27"));
        QCOMPARE(m.value("f_empname").toString(), QStringLiteral("不在列表的人"));
        QCOMPARE(m.value("f_mem1").toString(), QString());
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from T_HFrec where F_mem1 = ''")), 1);
        QCOMPARE(m.value("f_mem2").toString(), QStringLiteral("  已处理\r\n第二行  "));
        QCOMPARE(m.value("f_editdate").toString(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(cell(*dm, QStringLiteral("select F_OperType from LogRec order by F_ID desc")),
                 QStringLiteral("修改用户服务记录！"));
    }

    // A complaint's moment is stored whole, and the list orders by it.
    void complaint_data() { TestDb::addBackendRows(); }
    void complaint()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        ServiceStore store(*dm);
        const char *const moments[] = {"2024-03-05 14:07:09", "2024-03-05 09:30:00", "2024-03-05 14:07:10"};
        qint64 ids[3] = {};
        for (int i = 0; i < 3; ++i) {
            ServiceRecord r = customer(1, QStringLiteral("C1"), QStringLiteral("孙八"));
            r.set("tsDate", QString::fromLatin1(moments[i]));
            r.set("reason", QStringLiteral(" \n 噪音大 \n"));
            r.set("memo1", QStringLiteral(" 上门\n"));
            r.set("memo2", QStringLiteral("\t备注 "));
            QVERIFY2(store.save(ServiceKind::Complaint, r, std::nullopt, &ids[i]), qPrintable(store.lastError()));
        }
        const QVariantMap m = row(*dm, QStringLiteral("T_TSrec"), ids[0]);
        QCOMPARE(m.value("f_tsdate").toString(), QStringLiteral("2024-03-05 14:07:09"));
        QCOMPARE(m.value("f_reason").toString(), QStringLiteral("噪音大"));
        QCOMPARE(m.value("f_memo1").toString(), QStringLiteral(" 上门\n"));
        QCOMPARE(m.value("f_memo2").toString(), QStringLiteral("\t备注 "));
        QCOMPARE(m.value("f_tstime").toString(), QString());
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select F_ID from T_TSrec order by F_tsDate"), &ds));
        QList<qint64> order;
        for (ds.first(); !ds.eof(); ds.next()) order << ds.field(0).asInteger();
        QCOMPARE(order, (QList<qint64> {ids[1], ids[0], ids[2]}));
    }

    // A refused statement writes nothing, logs nothing and says why; an edit
    // of a row another counter deleted meanwhile is no success either.
    void failure_data() { TestDb::addBackendRows(); }
    void failure()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        ServiceStore store(*dm);
        ServiceRecord r = customer(1, QStringLiteral("C1"), QStringLiteral("周九"));
        r.set("date", QStringLiteral("2026-03-01"));
        QVERIFY(!store.save(ServiceKind::ReturnVisit, r, 12345));
        QVERIFY(!store.lastError().isEmpty());
        QVERIFY(dm->RunSQL(QStringLiteral("drop table T_TSrec")));
        r.set("tsDate", QStringLiteral("2026-03-01 10:00:00"));
        QVERIFY(!store.save(ServiceKind::Complaint, r, std::nullopt));
        QVERIFY(!store.lastError().isEmpty());
        QVERIFY(!dm->ADOcnn.inTransaction());
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from T_HFrec")), 0);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from LogRec")), 0);
        // The connection is usable again at once.
        QVERIFY(store.save(ServiceKind::ReturnVisit, r, std::nullopt));
    }
};

QTEST_GUILESS_MAIN(TestServiceStore)
#include "tst_servicestore.moc"
