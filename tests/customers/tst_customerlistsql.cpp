// The customer list statements, letter for letter.
#include "customers/CustomerListSql.h"

#include <QTest>

class TestCustomerListSql : public QObject {
    Q_OBJECT
private slots:
    void workedExample()
    {
        CustomerSearch s;
        s.seeAllClients = false;
        s.curOper = QStringLiteral("op1");
        s.field = SearchMobile;
        s.text = QStringLiteral("139");
        QCOMPARE(customerListSql(s),
                 QStringLiteral("select * from t_client where (F_empName = 'op1')and isNull(f_handphone,'') like '%139%' "
                                "and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0  order by F_code"));
    }

    void searchClauses_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("clause");
        const QString t = QStringLiteral("t'x"), v = QStringLiteral("v'y");
        QTest::newRow("none") << -1 << QString();
        QTest::newRow("name") << 0 << QStringLiteral("and isNull(f_name,'') like '%t''x%' ");
        QTest::newRow("code") << 1 << QStringLiteral("and isNull(F_code,'') like 't''x%' ");
        QTest::newRow("address") << 2 << QStringLiteral("and isNull(f_buyaddress,'') like '%t''x%' ");
        QTest::newRow("phone") << 3 << QStringLiteral("and isNull(f_phone,'') like '%t''x%' ");
        QTest::newRow("mobile") << 4 << QStringLiteral("and isNull(f_handphone,'') like '%t''x%' ");
        QTest::newRow("body code") << 5 << QStringLiteral("and isNull(F_JScode,'') like 't''x%' ");
        QTest::newRow("gift") << 6
                              << QStringLiteral("and (isNull(F_AddGoodA,'') like 'v''y%' Or isNull(F_AddGoodB,'') Like 'v''y%') ");
        QTest::newRow("bill") << 7 << QStringLiteral("and isNull(F_KPcode,'') like 't''x%' ");
        QTest::newRow("memo") << 8 << QStringLiteral("and isNull(F_memo1,'') like '%t''x%' ");
        QTest::newRow("salesman") << 9 << QStringLiteral("and isNull(f_maker,'') like 'v''y%' ");
    }

    // Each field's clause, with the quotes of the typed text doubled; the
    // gift and salesman fields take the value drop-down's text.
    void searchClauses()
    {
        QFETCH(int, field);
        QFETCH(QString, clause);
        CustomerSearch s;
        s.field = field;
        s.text = QStringLiteral("t'x");
        s.value = QStringLiteral("v'y");
        s.includeDisabled = s.includePaid = true;
        QCOMPARE(customerListSql(s), QStringLiteral("select * from t_client where (1=1) ") + clause + QStringLiteral(" order by F_code"));
    }

    void boxesAndCategories_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("paid");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<QString>("tail");
        QTest::newRow("start") << false << false << 0 << false
                               << QStringLiteral("and isNull(F_useFlag,0) = 0 and isNull(F_IFshoukuan,0) = 0  order by F_code");
        QTest::newRow("paid shown") << false << true << 0 << false
                                    << QStringLiteral("and isNull(F_useFlag,0) = 0  order by F_code");
        QTest::newRow("type") << true << true << 0 << true << QStringLiteral("and isNull(F_type,'') = '海''尔'  order by F_code");
        QTest::newRow("model") << true << true << 1 << true << QStringLiteral("and isNull(F_xingHao,'') = '海''尔'  order by F_code");
        QTest::newRow("area") << true << true << 2 << true << QStringLiteral("and isNull(F_area,'') = '海''尔'  order by F_code");
        QTest::newRow("dept") << true << true << 3 << true << QStringLiteral("and isNull(F_setupDept,'') = '海''尔'  order by F_code");
        QTest::newRow("batch") << true << true << 4 << true << QStringLiteral("and isNull(F_KDcode,'') = '海''尔'  order by F_code");
        QTest::newRow("all") << true << true << 4 << false << QStringLiteral(" order by F_code");
    }

    void boxesAndCategories()
    {
        QFETCH(bool, disabled);
        QFETCH(bool, paid);
        QFETCH(int, type);
        QFETCH(bool, chosen);
        QFETCH(QString, tail);
        CustomerSearch s;
        s.includeDisabled = disabled;
        s.includePaid = paid;
        s.categoryType = type;
        s.categoryChosen = chosen;
        s.category = QStringLiteral("海'尔");
        QCOMPARE(customerListSql(s), QStringLiteral("select * from t_client where (1=1) ") + tail);
    }

    void fieldsCategoriesAndDetails()
    {
        QCOMPARE(searchFieldItems(true).size(), 10);
        QCOMPARE(searchFieldItems(true).last(), QStringLiteral("业 务 员"));
        QCOMPARE(searchFieldItems(false).size(), 9);
        QCOMPARE(searchValueCodeType(SearchGift), QStringLiteral("addgood"));
        QCOMPARE(searchValueCodeType(SearchSalesman), QStringLiteral("maker"));
        QVERIFY(searchValueCodeType(SearchName).isEmpty());
        QCOMPARE(codeValuesSql(QStringLiteral("maker")),
                 QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'maker' "));
        QCOMPARE(categoryListSql(1), QStringLiteral("select distinct F_xingHao as F_name from T_client where "
                                                    "(isNull(F_useFlag,0) = 0)and(F_xingHao <> '') group by F_xingHao"));
        QCOMPARE(categoryTitle(4), QStringLiteral("安 装 部"));
        QCOMPARE(detailListSql(2), QStringLiteral("select * from t_tsREC where F_cltCode = :F_code order by F_tsDate"));
    }
};

QTEST_MAIN(TestCustomerListSql)
#include "tst_customerlistsql.moc"
