// The statements of the service record editors, letter for letter, and the
// values each kind gives their parameters.
#include "service/ServiceEditSql.h"

#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(ServiceKind)

namespace {

ServiceRecord filled(ServiceKind kind)
{
    ServiceRecord r;
    r.customerId = 17;
    r.cltCode = QStringLiteral(" C'1 ");
    r.cltName = QStringLiteral("\t王'五 \n");
    for (const ServiceField &f : serviceKindData(kind).fields)
        r.set(f.param, f.value == ServiceValue::Number ? QVariant(2.5) : QVariant(QStringLiteral(" ' 值\n ")));
    return r;
}

} // namespace

class TestServiceEditSql : public QObject {
    Q_OBJECT
private slots:
    void statements_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("update");
        QTest::newRow("repair")
            << ServiceKind::Repair
            << QStringLiteral("Insert into T_WXrec(F_mainID,F_CLTcode,F_CLTname,F_BXdate, F_XFdate,F_xinghao,F_reason,"
                              "F_amount,F_shoukuan,F_setupDept,F_billcode, F_mem1,F_price,F_totalPrice, F_FWname,"
                              "F_JScode) Values(:mainID,:CLTcode,:CLTname,:BXdate,:XFdate,:xinghao,:reason, :amount,"
                              ":shoukuan,:setupDept,:billcode,:mem1,:price,:totalPrice, :FWname,:JScode) ")
            << QStringLiteral("Update T_WXrec Set F_mainID = :mainID,F_CLTcode = :CLTcode, F_CLTname = :CLTname,"
                              "F_BXdate = :BXdate,F_XFdate = :XFdate, F_xinghao = :xinghao,F_reason = :reason,"
                              "F_amount = :amount,F_shoukuan = :shoukuan, F_setupDept = :setupDept,"
                              "F_billcode = :billcode,F_mem1 = :mem1, F_price = :price,F_totalPrice = :totalPrice,"
                              "F_FWname = :FWname, F_JScode = :JScode Where F_ID = :ID");
        QTest::newRow("return visit")
            << ServiceKind::ReturnVisit
            << QStringLiteral("Insert into T_HFrec(F_mainID,F_cltCode,F_cltName,F_date, F_empName,F_mem1,F_mem2,"
                              "F_editDate) Values(:mainID,:cltCode,:cltName,:date,:empName,:mem1,:mem2,:editDate) ")
            << QStringLiteral("Update T_HFrec Set F_mainID = :mainID,F_cltCode = :cltCode, F_cltName = :cltName,"
                              "F_date = :date,F_empName = :empName,F_mem1 = :mem1, F_mem2 = :mem2,"
                              "F_editDate = :editDate Where F_ID = :ID");
        QTest::newRow("complaint")
            << ServiceKind::Complaint
            << QStringLiteral("Insert into T_TSrec(F_mainID,F_cltCode,F_cltName,F_tsDate, F_jibie,F_maker,F_reason,"
                              "F_memo1,F_memo2) Values(:mainID,:cltCode,:cltName,:tsDate,:jibie,:maker,:reason, "
                              ":memo1,:memo2) ")
            << QStringLiteral("Update T_TSrec Set F_mainID = :mainID,F_CLTcode = :CLTcode, F_CLTname = :CLTname,"
                              "F_tsDate = :tsDate,F_jibie = :jibie,F_maker = :maker, F_reason = :reason,"
                              "F_memo1 = :memo1,F_memo2 = :memo2 Where F_ID = :ID");
    }
    // The texts as the editors send them, and every parameter of each given:
    // nothing the operator typed reaches the statement text.
    void statements()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(QString, insert);
        QFETCH(QString, update);
        QCOMPARE(serviceInsertSql(kind), insert);
        QCOMPARE(serviceUpdateSql(kind), update);
        const Params p = serviceParams(kind, filled(kind), 5, QDate(2026, 3, 1));
        static const QRegularExpression param(QStringLiteral(":(\\w+)"));
        for (const QString &sql : {insert, update})
            for (auto it = param.globalMatch(sql); it.hasNext();) {
                const QString name = it.next().captured(1);
                QVERIFY2(p.contains(name), qPrintable(name));
            }
        QVERIFY(!serviceParams(kind, filled(kind), std::nullopt, QDate(2026, 3, 1)).contains(QStringLiteral("ID")));
    }

    // Texts lose blanks and line breaks at both ends, memos and formed dates
    // keep them; numbers travel as numbers; a return visit stamps the day.
    void values_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<QStringList>("trimmed");
        QTest::addColumn<QStringList>("asTyped");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("repair") << ServiceKind::Repair
                                << QStringList {"xinghao", "reason", "setupDept", "billcode", "FWname", "JScode"}
                                << QStringList {"mem1", "BXdate", "XFdate"}
                                << QStringList {"amount", "shoukuan", "price", "totalprice"};
        QTest::newRow("return visit") << ServiceKind::ReturnVisit << QStringList {"empName"}
                                      << QStringList {"mem1", "mem2", "date"} << QStringList {};
        QTest::newRow("complaint") << ServiceKind::Complaint << QStringList {"jibie", "maker", "reason"}
                                   << QStringList {"memo1", "memo2", "tsDate"} << QStringList {};
    }
    void values()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(QStringList, trimmed);
        QFETCH(QStringList, asTyped);
        QFETCH(QStringList, numbers);
        const QDate today(2026, 3, 1);
        const Params p = serviceParams(kind, filled(kind), 9, today);
        QCOMPARE(p.value(QStringLiteral("mainID")).toLongLong(), 17);
        QCOMPARE(p.value(QStringLiteral("cltcode")).toString(), QStringLiteral("C'1"));
        QCOMPARE(p.value(QStringLiteral("CLTNAME")).toString(), QStringLiteral("王'五"));
        QCOMPARE(p.value(QStringLiteral("ID")).toLongLong(), 9);
        for (const QString &n : trimmed) QCOMPARE(p.value(n).toString(), QStringLiteral("' 值"));
        for (const QString &n : asTyped) QCOMPARE(p.value(n).toString(), QStringLiteral(" ' 值\n "));
        for (const QString &n : numbers) {
            QCOMPARE(p.value(n).typeId(), QMetaType::Double);
            QCOMPARE(p.value(n).toDouble(), 2.5);
        }
        const bool stamps = kind == ServiceKind::ReturnVisit;
        QCOMPARE(p.contains(QStringLiteral("editDate")), stamps);
        if (stamps) {
            QCOMPARE(p.value(QStringLiteral("editDate")).typeId(), QMetaType::QDate);
            QCOMPARE(p.value(QStringLiteral("editDate")).toDate(), today);
        }
    }

    // A complaint's date and time of day make one moment; the seconds are kept.
    void complaintMomentText()
    {
        QCOMPARE(complaintMoment(QDate(2024, 3, 5), QTime(14, 7, 9)), QStringLiteral("2024-03-05 14:07:09"));
        QCOMPARE(complaintMoment(QDate(2024, 12, 31), QTime(0, 0, 0)), QStringLiteral("2024-12-31 00:00:00"));
    }
};

QTEST_GUILESS_MAIN(TestServiceEditSql)
#include "tst_serviceeditsql.moc"
