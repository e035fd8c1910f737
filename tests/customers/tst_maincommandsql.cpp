// Statements and question texts of the main window's commands, letter for letter.

#include "app/PubUnit.h"
#include "customers/MainCommandSql.h"

#include <QTest>

class TestMainCommandSql : public QObject {
    Q_OBJECT
private slots:
    void customerDelete_data();
    void customerDelete();
    void emptyRows();
    void questions();
    void detailTabs_data();
    void detailTabs();
};

void TestMainCommandSql::customerDelete_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << QStringLiteral("00012345") << QStringLiteral("00012345");
    QTest::newRow("quote") << QStringLiteral("A'01") << QStringLiteral("A''01");
    QTest::newRow("injection") << QStringLiteral("x' or '1'='1") << QStringLiteral("x'' or ''1''=''1");
}

void TestMainCommandSql::customerDelete()
{
    QFETCH(QString, code);
    QFETCH(QString, quoted);
    const QStringList expected{
        QStringLiteral("delete from t_hfRec where F_cltcode = '%1' ").arg(quoted),
        QStringLiteral("delete from t_wxRec where F_cltcode = '%1' ").arg(quoted),
        QStringLiteral("delete from t_tsREC where F_cltcode = '%1' ").arg(quoted),
        QStringLiteral("delete from t_client where F_code = '%1' ").arg(quoted),
    };
    QCOMPARE(customerDeleteStatements(code), expected);
}

void TestMainCommandSql::emptyRows()
{
    QCOMPARE(emptyCustomerRowsSql(), QStringLiteral("delete from T_client where F_code = '' and F_name = '' "));
}

void TestMainCommandSql::questions()
{
    const QStringList lines = customerDeleteQuestion(QStringLiteral("某商行")).split(u'\n');
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].endsWith(QStringLiteral("相关内容，")));
    QCOMPARE(lines[0], QStringLiteral("删除当前售后记录，将删除当前记录所有相关内容，"));
    QCOMPARE(lines[1], QStringLiteral("真的要删除当前用户某商行 的售后记录吗？"));

    // The product name keeps its trailing blank, just before the closing mark.
    QCOMPARE(exitQuestion(PubUnit::ProductName), QStringLiteral("真的要退出“澄岚电器售后服务管理软件 ”软件吗？"));
}

void TestMainCommandSql::detailTabs_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("dateField");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("needsCustomer");
    QTest::newRow("repairs") << 0 << "T_WXrec" << "F_BXdate"
                             << QStringLiteral("真的要删除当前报修日期为“2024-03-01”的维修记录吗？") << "wxrecman"
                             << QStringLiteral("维修记录") << QStringLiteral("请先选择要增加维护记录的客户资料！");
    QTest::newRow("visits") << 1 << "T_HFrec" << "F_date"
                            << QStringLiteral("真的要删除当前回访日期为“2024-03-01”的回访记录吗？") << "hfrecman"
                            << QStringLiteral("回访记录") << QStringLiteral("请先选择要增加回访记录的客户资料！");
    QTest::newRow("complaints") << 2 << "T_TSrec" << "F_TSdate"
                                << QStringLiteral("真的要删除当前日期为“2024-03-01”的投诉记录吗？") << "tsrecman"
                                << QStringLiteral("投诉记录") << QStringLiteral("请先选择要增加投诉记录的客户资料！");
    QTest::newRow("out of range") << 3 << "" << "" << "" << "" << "" << "";
}

void TestMainCommandSql::detailTabs()
{
    QFETCH(int, tab);
    QFETCH(QString, table);
    QFETCH(QString, dateField);
    QFETCH(QString, question);
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(QString, needsCustomer);
    QCOMPARE(detailTable(tab), table);
    QCOMPARE(detailDateField(tab), dateField);
    QCOMPARE(detailDeleteQuestion(tab, QStringLiteral("2024-03-01")), question);
    QCOMPARE(detailGridKey(tab), key);
    QCOMPARE(detailSheetTitle(tab), title);
    QCOMPARE(detailNeedsCustomerMessage(tab), needsCustomer);
}

QTEST_APPLESS_MAIN(TestMainCommandSql)
#include "tst_maincommandsql.moc"
