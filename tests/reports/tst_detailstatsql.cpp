// The statements of the five detail statistics windows, letter for letter,
// with a quote in every filter value, and what they find on each backend.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reports/DetailStatSql.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DetailStatKind)

namespace {
const QDate kFrom(2024, 3, 1);
const QDate kTo(2024, 3, 15);

DetailStatFilter range(std::optional<QDate> from = kFrom, std::optional<QDate> to = kTo)
{
    DetailStatFilter f;
    f.from = from;
    f.to = to;
    f.from2 = from;
    f.to2 = to;
    return f;
}

const QString kSalesHead = QStringLiteral(
    "select c.F_name,c.F_buyAddress,c.F_phone,c.F_handphone,c.F_area, c.F_setupDate,c.F_setupDate1,c.F_xinghao,"
    "c.F_amount,c.F_price, c.F_totalprice,c.F_maker,c.F_buyDate,c.F_setupDept,c.F_type,c.F_addgoodA, c.F_addAmountA,"
    "c.F_addgoodB,c.F_addAmountB from t_client as c  Where (c.F_buyDate >= '");
const QString kRepairHead = QStringLiteral(
    "select c.F_name,c.F_buyaddress,c.F_area,c.F_phone,c.F_handPhone, W.* from t_WXrec as W left join t_client as c "
    "on w.F_cltcode = c.F_code Where (w.F_XFdate >= '");
const QString kSetupHead = QStringLiteral(
    "select c.F_name,c.F_buyAddress,c.F_phone,c.F_handphone,c.F_setupDept, c.F_setupDate,c.F_setupDate1,c.F_type,"
    "c.F_amount,c.F_price,c.F_buyDate,c.F_area, c.F_totalprice from t_client as c Where (c.F_setupDate >= '");
const QString kGiftHead = QStringLiteral(
    "select c.F_name,c.F_buyAddress,c.F_phone,c.F_handphone,c.F_area, c.F_buyDate,c.F_setupDate,c.F_setupDate1,"
    "c.F_AddGoodA,c.F_AddamountA, c.F_AddGoodB,c.F_AddAmountB,c.F_shoukuan from t_client as c   Where (c.F_buyDate >= '");
const QString kComplaintHead = QStringLiteral(
    "select c.F_name,c.F_buyaddress,c.F_area,c.F_phone,c.F_handphone, t.* from t_TSrec as t left join t_client as c "
    "on t.F_cltcode = c.F_code Where (t.F_tsDate >= '");

// Rows named by F_name (customers) in the statement's order.
QStringList names(TdmData &dm, const QString &sql, const QString &field = QStringLiteral("F_name"))
{
    DataSet q(&dm.ADOcnn);
    if (!dm.OpenSQL(sql, &q)) return {QStringLiteral("<failed>")};
    QStringList r;
    for (q.first(); !q.eof(); q.next()) r << q.fieldByName(field).asString();
    return r;
}
} // namespace

class TestDetailStatSql : public QObject {
    Q_OBJECT
private slots:
    void everyFilter_data()
    {
        QTest::addColumn<DetailStatKind>("kind");
        QTest::addColumn<QStringList>("values");   // control, value, ...
        QTest::addColumn<QString>("sql");
        QTest::newRow("sales") << DetailStatKind::Sales
                               << QStringList {"edtName", " O'Neil ", "cbbArea", " 湖'滨 ", "cbbMaker", " 张'三 ",
                                               "cbbXingHao", " KFR'35 ", "cbbSetupDept", " 一'部 ", "cbbType", " 空'调 "}
                               << kSalesHead + "2024-03-01' And c.F_buyDate <= '2024-03-15') "
                                  "And isNull(c.F_name,'') Like '% O''Neil %' "
                                  "And isNull(c.F_area,'') Like '%湖''滨%' "
                                  "and isNull(c.F_Maker,'') Like '%张''三%' "
                                  "and isNull(c.F_xinghao,'') Like '%KFR''35%' "
                                  "and isNull(c.F_setupDept,'') Like '%一''部%' "
                                  "and isNull(c.F_type,'') Like '%空''调%' "
                                  "Order By c.F_buyDate";
        QTest::newRow("repairs") << DetailStatKind::Repairs
                                 << QStringList {"edtName", " O'Neil ", "cbbArea", " 湖'滨 ", "cbbXingHao", " K'1 ",
                                                 "cbbReason", " 漏'水 ", "cbbSetupDept", " 一'部 ", "edtbillcode", " W'X "}
                                 << kRepairHead + "2024-03-01' And w.F_XFdate <= '2024-03-15') "
                                    "And isNull(c.F_name,'') Like '%O''Neil%' "
                                    "And isNull(c.F_area,'') Like '%湖''滨%' "
                                    "and isNull(w.F_xinghao,'') Like '%K''1%' "
                                    "and isNull(w.F_Reason,'') Like '%漏''水%' "
                                    "and isNull(w.F_setupDept,'') Like '%一''部%' "
                                    "and isNull(w.F_billcode,'') like '%W''X%' "
                                    "Order By w.F_XFdate";
        QTest::newRow("installations")
            << DetailStatKind::Installations
            << QStringList {"edtName", " O'Neil ", "edtphone", " 0571'8 ", "cbbSetupDept", " 一'部 ", "cbbType", " 空'调 "}
            << kSetupHead + "2024-03-01' And c.F_setupDate <= '2024-03-15')and(c.F_setupDate1 >= '2024-03-01' "
               "And c.F_setupDate1 <= '2024-03-15') "
               "And isNull(c.F_name,'') Like '% O''Neil %' "
               "And isNull(c.F_phone,'') Like '%0571''8%' "
               "and isNull(c.F_setupDept,'') Like '%一''部%' "
               "and isNull(c.F_type,'') Like '%空''调%' "
               "Order By c.F_setupDate ";
        QTest::newRow("gifts") << DetailStatKind::Gifts
                               << QStringList {"edtName", " O'Neil ", "cbbArea", " 湖'滨 ", "cbbAddGood", " 电'饭煲 "}
                               << kGiftHead + "2024-03-01' And c.F_buyDate <= '2024-03-15') "
                                  "And isNull(c.F_name,'') Like '% O''Neil %' "
                                  "And isNull(c.F_area,'') Like '%湖''滨%' "
                                  "and (isNull(c.F_AddGoodA,'') Like '%电''饭煲%' or isNull(c.F_AddGoodB,'') Like '%电''饭煲%') "
                                  "Order By c.F_buyDate";
        // Complaints keep their time of day: the to-date reaches the end of its day.
        QTest::newRow("complaints")
            << DetailStatKind::Complaints
            << QStringList {"edtName", " O'Neil ", "cbbTSjibie", " 高'级 ", "edtReason", " 态'度 ", "cbbMaker", " 张'三 "}
            << kComplaintHead + "2024-03-01' And t.F_tsDate <= '2024-03-15 23:59:59') "
               "And isNull(c.F_name,'') Like '%O''Neil%' "
               "And isNull(t.F_jibie,'') Like '%高''级%' "
               "and isNull(t.F_reason,'') Like '%态''度%' "
               "and isNull(t.F_Maker,'') Like '%张''三%' "
               "Order By t.F_tsDate ";
    }

    // Conditions in the statement's order whatever the tab order; names as
    // typed or trimmed as each window has it; every quote doubled.
    void everyFilter()
    {
        QFETCH(DetailStatKind, kind);
        QFETCH(QStringList, values);
        QFETCH(QString, sql);
        DetailStatFilter f = range();
        for (int i = 0; i + 1 < values.size(); i += 2) f.values.insert(values[i], values[i + 1]);
        QCOMPARE(detailStatSql(kind, f), sql);
    }

    void openBounds_data()
    {
        QTest::addColumn<DetailStatKind>("kind");
        QTest::addColumn<QString>("sql");
        QTest::newRow("sales") << DetailStatKind::Sales
                               << kSalesHead + "1900-08-14' And c.F_buyDate <= '3000-08-14') Order By c.F_buyDate";
        QTest::newRow("repairs") << DetailStatKind::Repairs
                                 << kRepairHead + "1900-06-14' And w.F_XFdate <= '3000-08-14') Order By w.F_XFdate";
        QTest::newRow("installations")
            << DetailStatKind::Installations
            << kSetupHead + "1900-08-14' And c.F_setupDate <= '3000-08-14')and(c.F_setupDate1 >= '1900-08-14' "
               "And c.F_setupDate1 <= '3000-08-14') Order By c.F_setupDate ";
        QTest::newRow("gifts") << DetailStatKind::Gifts
                               << kGiftHead + "1900-08-14' And c.F_buyDate <= '3000-08-14') Order By c.F_buyDate";
        QTest::newRow("complaints") << DetailStatKind::Complaints
                                    << kComplaintHead + "1900-08-14' And t.F_tsDate <= '3000-08-14') Order By t.F_tsDate ";
    }

    // Unticked bounds, and filters of spaces only, add nothing.
    void openBounds()
    {
        QFETCH(DetailStatKind, kind);
        QFETCH(QString, sql);
        DetailStatFilter f = range(std::nullopt, std::nullopt);
        for (const DetailStatControl &c : detailStatFamily(kind).controls) f.values.insert(c.name, QStringLiteral("   "));
        QCOMPARE(detailStatSql(kind, f), sql);
    }

    // Each range of the installation window has its own ticks.
    void installationRanges()
    {
        DetailStatFilter f;
        f.to = kTo;
        f.from2 = kFrom;
        QCOMPARE(detailStatSql(DetailStatKind::Installations, f),
                 kSetupHead + "1900-08-14' And c.F_setupDate <= '2024-03-15')and(c.F_setupDate1 >= '2024-03-01' "
                              "And c.F_setupDate1 <= '3000-08-14') Order By c.F_setupDate ");
    }

    void listsAndHeading()
    {
        QCOMPARE(detailStatListSql(QStringLiteral("Reason")),
                 QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'Reason' "));
        QCOMPARE(detailStatMemoDate(kFrom, kTo), QStringLiteral("统计日期：自 2024-03-01 至 2024-03-15"));
        QCOMPARE(detailStatMemoDate(std::nullopt, kTo), QStringLiteral("统计日期：自 启用系统 至 2024-03-15"));
        QCOMPARE(detailStatMemoDate(std::nullopt, std::nullopt), QStringLiteral("统计日期：自 启用系统 至 记帐最后一天"));
    }

    void onTheDatabase_data() { TestDb::addBackendRows(); }

    // The statements run on each engine: a quote in a filter finds its row;
    // NULL columns never match a filter; open bounds take the no-date rows;
    // a service record whose customer is gone is listed with blank customer
    // columns; a complaint late on the to-day is in range.
    void onTheDatabase()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into t_client(F_code,F_name,F_area,F_buyDate,F_setupDate,F_setupDate1,F_AddGoodA,F_AddGoodB,F_type) values"
            "('001','O''Neil','湖滨','2024-03-02','2024-03-05','2024-03-06','电饭煲','','空调'),"
            "('002','李四',NULL,'2024-03-15','2024-03-16','1900-08-14','','电''扇',NULL),"
            "('003','王五','城西','1900-08-14','1900-08-14','1900-08-14',NULL,NULL,'冰箱')")));
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into T_WXrec(F_cltcode,F_cltName,F_bxdate,F_xfdate,F_billcode) values"
            "('001','O''Neil','2024-03-01','2024-03-03','W1'),('999','走了','2024-03-04','2024-03-04','W2'),"
            "('002','李四','2024-03-04','1900-08-14','W3')")));
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into T_TSrec(F_cltcode,F_cltName,F_tsdate,F_jibie,F_maker) values"
            "('002','李四','2024-03-15 18:30:00','高','张三'),('999','走了','2024-03-16 00:00:00','低','李')")));

        DetailStatFilter f = range();
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Sales, f)), (QStringList {"O'Neil", "李四"}));
        f.values.insert(QStringLiteral("edtName"), QStringLiteral("'n"));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Sales, f)), QStringList {"O'Neil"});
        f.values.clear();
        f.values.insert(QStringLiteral("cbbArea"), QStringLiteral("湖"));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Sales, f)), QStringList {"O'Neil"});
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Sales, range(std::nullopt, std::nullopt))),
                 (QStringList {"王五", "O'Neil", "李四"}));

        DetailStatFilter gift = range(std::nullopt, std::nullopt);
        gift.values.insert(QStringLiteral("cbbAddGood"), QStringLiteral("电'"));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Gifts, gift)), QStringList {"李四"});
        gift.values.insert(QStringLiteral("cbbAddGood"), QStringLiteral("电"));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Gifts, gift)), (QStringList {"O'Neil", "李四"}));

        // Both setup dates must fall in their ranges.
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Installations, range())), QStringList {"O'Neil"});
        DetailStatFilter setup = range();
        setup.from2.reset();
        setup.to2.reset();
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Installations, setup)), QStringList {"O'Neil"});
        setup.to = QDate(2024, 3, 31);
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Installations, setup)), (QStringList {"O'Neil", "李四"}));

        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Repairs, range()), QStringLiteral("F_billcode")),
                 (QStringList {"W1", "W2"}));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Repairs, range()), QStringLiteral("F_name")),
                 (QStringList {"O'Neil", ""}));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Repairs, range(std::nullopt, std::nullopt)),
                       QStringLiteral("F_billcode")),
                 (QStringList {"W3", "W1", "W2"}));
        DetailStatFilter repair = range(std::nullopt, std::nullopt);
        repair.values.insert(QStringLiteral("edtName"), QStringLiteral("o'n"));
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Repairs, repair), QStringLiteral("F_billcode")),
                 QStringList {"W1"});

        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Complaints, range()), QStringLiteral("F_jibie")),
                 QStringList {"高"});
        QCOMPARE(names(*dm, detailStatSql(DetailStatKind::Complaints, range(kFrom, QDate(2024, 3, 16))),
                       QStringLiteral("F_name")),
                 (QStringList {"李四", ""}));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestDetailStatSql)
#include "tst_detailstatsql.moc"
