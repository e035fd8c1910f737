// The statements of the category counts, the reminders and the e-mail
// export, letter for letter. Only dates and a number go into them, both
// written by the program, so no typed text can reach a literal.
#include "reports/AwokeSql.h"
#include "reports/CltStatSql.h"

#include <QTest>

class TstCountReminderSql : public QObject {
    Q_OBJECT
private slots:
    void counts_data()
    {
        QTest::addColumn<int>("grouping");
        QTest::addColumn<bool>("from");
        QTest::addColumn<bool>("to");
        QTest::addColumn<bool>("includeDisabled");
        QTest::addColumn<QString>("sql");
        QTest::newRow("category, both dates, in use")
            << 0 << true << true << false
            << "select F_type as F_name,count(*) as F_num from t_client where (1=1)and F_buyDate >= '2026-03-01' "
               "and F_buyDate <= '2026-03-31' and isNull(F_useFlag,0) = 0  group by F_type ";
        QTest::newRow("batch, no dates, disabled too")
            << 1 << false << false << true << "select F_Kdcode as F_name,count(*) as F_num from t_client where (1=1) group by F_Kdcode ";
        QTest::newRow("model, from only")
            << 2 << true << false << true
            << "select F_xinghao as F_name,count(*) as F_num from t_client where (1=1)and F_buyDate >= '2026-03-01'  group by F_xinghao ";
        QTest::newRow("place, to only, in use")
            << 3 << false << true << false
            << "select F_area as F_name,count(*) as F_num from t_client where (1=1)and F_buyDate <= '2026-03-31' "
               "and isNull(F_useFlag,0) = 0  group by F_area ";
        QTest::newRow("team") << 4 << false << false << false
                              << "select F_setupDept as F_name,count(*) as F_num from t_client where (1=1)and isNull(F_useFlag,0) = 0  group by F_setupDept ";
        QTest::newRow("salesman") << 5 << false << false << true
                                  << "select F_maker as F_name,count(*) as F_num from t_client where (1=1) group by F_maker ";
        QTest::newRow("none") << -1 << true << true << true << QString();
        QTest::newRow("past the list") << 6 << true << true << true << QString();
    }
    void counts()
    {
        QFETCH(int, grouping);
        QFETCH(bool, from);
        QFETCH(bool, to);
        QFETCH(bool, includeDisabled);
        QFETCH(QString, sql);
        CltStatFilter f;
        if (from) f.from = QDate(2026, 3, 1);
        if (to) f.to = QDate(2026, 3, 31);
        f.includeDisabled = includeDisabled;
        QCOMPARE(cltStatSql(grouping, f), sql);
    }

    void groupingsAndTexts()
    {
        QStringList items;
        for (const CltStatGrouping &g : CltStatGroupings) items << QString::fromUtf8(g.item);
        QCOMPARE(items, (QStringList{"类    别", "开单批号", "型    号", "购买地点", "安 装 部", "业 务 员"}));
        QCOMPARE(cltStatTotalSql(), QStringLiteral("select count(*) from T_client "));
        QCOMPARE(cltStatCountText("1234", false), QStringLiteral("记录总数：1234"));
        QCOMPARE(cltStatCountText("7", true), QStringLiteral("记录总数：7 条"));
        QCOMPARE(cltStatChartTitle("型    号"), QStringLiteral("型    号/客户服务信息统计分析直方图"));
        QCOMPARE(cltStatStartTitle(), QStringLiteral("客户服务信息统计分析图表"));
    }

    void reminders()
    {
        QCOMPARE(awokeListSql(1),
                 QStringLiteral("select F_code,F_name,F_buyaddress,F_phone,F_KDcode,F_xinghao, F_amount,F_price,F_totalprice,"
                                "F_addgoodA,F_addAmountA,F_addgoodB, F_addAmountB,F_area,F_setupDept,F_buyDate,F_setupDate,"
                                "F_KPcode,F_reason, F_reasonAmount,(DateDiff(day,getdate(),F_awokeDate)) as F_num from t_client "
                                "where (DateDiff(day,getdate(),F_awokeDate) <= 1 and DateDiff(day,getdate(),F_awokeDate)>=0) "));
        QVERIFY(awokeListSql(31).contains(QLatin1String("F_awokeDate) <= 31 and")));
    }

    void emailExport()
    {
        QCOMPARE(emailAllSql(), QStringLiteral("select F_email from t_client "));
        // The hour of the 24-hour clock, ten digits.
        QCOMPARE(emailDefaultFileName(QDateTime(QDate(2026, 1, 5), QTime(17, 59))), QStringLiteral("2026010517"));
        QCOMPARE(emailDefaultFileName(QDateTime(QDate(2026, 12, 31), QTime(0, 1))), QStringLiteral("2026123100"));
        QCOMPARE(emailExportCaption(42), QStringLiteral("导出客户电子信箱( 42 )"));
    }
};

QTEST_APPLESS_MAIN(TstCountReminderSql)
#include "tst_countremindersql.moc"
