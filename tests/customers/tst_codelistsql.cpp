// The code-list statements, letter for letter, with quotes doubled.
#include "customers/CodeListSql.h"

#include <QTest>

class TestCodeListSql : public QObject {
    Q_OBJECT
private slots:
    void statements_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fill") << codeFillSql(QStringLiteral("type"))
                              << QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'type' ");
        QTest::newRow("picker list") << codePickListSql(QStringLiteral("xinghao"))
                                     << QStringLiteral("select F_name,F_type from t_code where (F_name <> '') and F_type = "
                                                       "'xinghao' order by F_name ");
        QTest::newRow("search, no name") << codePickFilterSql(QStringLiteral("maker"), QString())
                                         << QStringLiteral("select F_name,F_type from t_code where F_type = 'maker' ");
        QTest::newRow("search, blanks only") << codePickFilterSql(QStringLiteral("maker"), QStringLiteral("   "))
                                             << QStringLiteral("select F_name,F_type from t_code where F_type = 'maker' ");
        QTest::newRow("search, name trimmed")
            << codePickFilterSql(QStringLiteral("type"), QStringLiteral(" 机 "))
            << QStringLiteral("select F_name,F_type from t_code where F_type = 'type' and F_name like '%机%' ");
        QTest::newRow("maintenance list") << codeManListSql(QStringLiteral("abSheet1"))
                                          << QStringLiteral("Select * From t_code where F_type = 'abSheet1' ");
        QTest::newRow("insert keeps blanks") << codeInsertSql(QStringLiteral(" 冰 箱 "), QStringLiteral("type"))
                                             << QStringLiteral("insert into t_code(F_name,F_type) values(' 冰 箱 ','type')");

        // A quote in any value stays inside its literal.
        const QString q = QStringLiteral("O'B");
        QTest::newRow("fill quote") << codeFillSql(q)
                                    << QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'O''B' ");
        QTest::newRow("picker list quote")
            << codePickListSql(q)
            << QStringLiteral("select F_name,F_type from t_code where (F_name <> '') and F_type = 'O''B' order by F_name ");
        QTest::newRow("search quote")
            << codePickFilterSql(q, QStringLiteral("a'b"))
            << QStringLiteral("select F_name,F_type from t_code where F_type = 'O''B' and F_name like '%a''b%' ");
        QTest::newRow("maintenance quote") << codeManListSql(q)
                                           << QStringLiteral("Select * From t_code where F_type = 'O''B' ");
        QTest::newRow("insert quote") << codeInsertSql(QStringLiteral("x'); drop table t_code; --"), q)
                                      << QStringLiteral("insert into t_code(F_name,F_type) values('x''); drop table t_code; --','O''B')");
    }

    void statements()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // The tabs in order; each type is the tab's name without its first letter.
    void tabs()
    {
        QStringList names, types, captions;
        for (const CodeTab &t : codeTabs()) {
            names << t.name;
            types << codeTypeOfTab(t.name);
            captions << t.caption;
        }
        QCOMPARE(names, (QStringList{"ttype", "tkdcode", "txinghao", "taddgood", "tsetupdept", "treason", "tmaker",
                                     "tfwname", "tarea", "ttsjibie", "topername", "TabSheet1"}));
        QCOMPARE(types, (QStringList{"type", "kdcode", "xinghao", "addgood", "setupdept", "reason", "maker", "fwname",
                                     "area", "tsjibie", "opername", "abSheet1"}));
        QCOMPARE(captions.first(), QStringLiteral(" 类    别 "));
        QCOMPARE(captions.last(), QStringLiteral(" 特殊字符 "));
    }
};

QTEST_GUILESS_MAIN(TestCodeListSql)
#include "tst_codelistsql.moc"
