// The T-SQL the windows write, rewritten for each engine.
#include "data/TsqlTranslator.h"

#include <QTest>

class TstTsql : public QObject {
    Q_OBJECT
private slots:
    void translate_data()
    {
        QTest::addColumn<QString>("tsql");
        QTest::addColumn<QString>("sqlite");
        QTest::addColumn<QString>("postgres");
        QTest::newRow("isNull") << "select * from t where isNull(f_name,'') like '%%'"
                                << "select * from t where (coalesce(f_name,'') COLLATE NOCASE) like '%%'"
                                << "select * from t where coalesce(f_name,'') like '%%'";
        // A pattern or value an empty text cannot match: the bare column, so its index can serve.
        QTest::newRow("isNull like text") << "where isNull(f_name,'') like '%a%' and isNull([F_code], '') like '0_'"
                                          << "where f_name like '%a%' and \"F_code\" like '0_'"
                                          << "where f_name::text ilike '%a%' and \"f_code\"::text like '0_'";
        QTest::newRow("isNull equals") << "and isNull(F_type,'') = '空''调' and isNull(F_area,'') = ''"
                                       << "and F_type = '空''调' and (coalesce(F_area,'') COLLATE NOCASE) = ''"
                                       << "and F_type = '空''调' and coalesce(F_area,'') = ''";
        QTest::newRow("isNull kept") << "isNull(F_useFlag,0) = 0 and isNull(a.b,'') like 'x' and isNull(c,'x') like 'y'"
                                     << "(coalesce(F_useFlag,0) COLLATE NOCASE) = 0 and (coalesce(a.b,'') COLLATE NOCASE) like 'x' and (coalesce(c,'x') COLLATE NOCASE) like 'y'"
                                     << "coalesce(F_useFlag,0) = 0 and coalesce(a.b,'') ilike 'x' and coalesce(c,'x') ilike 'y'";
        QTest::newRow("nested isNull") << "ISNULL(a, isnull(b,0))"
                                       << "(coalesce(a,(coalesce(b,0) COLLATE NOCASE)) COLLATE NOCASE)"
                                       << "coalesce(a,coalesce(b,0))";
        QTest::newRow("literal untouched") << "select 'isNull(x,1) like [y] :p getdate()' from t"
                                           << "select 'isNull(x,1) like [y] :p getdate()' from t"
                                           << "select 'isNull(x,1) like [y] :p getdate()' from t";
        QTest::newRow("quote in literal") << "select * from t where a = 'O''Brien -- x' and b = 1"
                                          << "select * from t where a = 'O''Brien -- x' and b = 1"
                                          << "select * from t where a = 'O''Brien -- x' and b = 1";
        QTest::newRow("brackets") << "select [F_Name] from [t_client]"
                                  << "select \"F_Name\" from \"t_client\""
                                  << "select \"f_name\" from \"t_client\"";
        QTest::newRow("getdate") << "select getdate()" << "select datetime('now','localtime')"
                                 << "select localtimestamp(0)";
        QTest::newRow("datediff") << "where (DateDiff(day,getdate(),F_awokeDate) <= 3)"
                                  << "where (ms_datediff('day',datetime('now','localtime'),F_awokeDate) <= 3)"
                                  << "where ((CAST(CAST(F_awokeDate AS timestamp) AS date) - CAST(CAST(localtimestamp(0) AS timestamp) AS date)) <= 3)";
        QTest::newRow("top") << "select top 10 F_code from t order by F_code"
                             << "select  F_code from t order by F_code limit 10"
                             << "select  F_code from t order by F_code limit 10";
        QTest::newRow("len and N''") << "select len(N'丁')" << "select length('丁')" << "select length('丁')";
        QTest::newRow("trailing semicolon") << "delete from t;" << "delete from t" << "delete from t";
        QTest::newRow("comment dropped") << "select 1 -- note\nfrom t" << "select 1  \nfrom t" << "select 1  \nfrom t";
    }
    void translate()
    {
        QFETCH(QString, tsql);
        QFETCH(QString, sqlite);
        QFETCH(QString, postgres);
        QCOMPARE(Tsql::translate(tsql, Tsql::Target::Sqlite), sqlite);
        QCOMPARE(Tsql::translate(tsql, Tsql::Target::Postgres), postgres);
        QCOMPARE(Tsql::translate(tsql, Tsql::Target::Mssql), tsql);
    }

    void parameters()
    {
        QStringList names;
        const QString out = Tsql::translate(
            "insert into LogRec(F_EmpName,F_OperType) values(:EmpName,:opertype) -- ':no'\n", Tsql::Target::Postgres, &names);
        QCOMPARE(names, (QStringList{"EmpName", "opertype"}));
        QVERIFY(out.startsWith("insert into LogRec(F_EmpName,F_OperType) values(?,?)"));
        names.clear();
        Tsql::translate("select ':x' , a::int", Tsql::Target::Sqlite, &names);
        QVERIFY(names.isEmpty());
    }

    void nulCharactersRemoved()
    {
        const QString s = QStringLiteral("select 'a") + QChar(u'\0') + QStringLiteral("b'");
        QCOMPARE(Tsql::translate(s, Tsql::Target::Sqlite), QStringLiteral("select 'ab'"));
    }

    void withoutOrderBy()
    {
        bool limit = true;
        QCOMPARE(Tsql::withoutOrderBy("select * from t where (x in (select a from b order by a)) order by F_code", &limit),
                 QStringLiteral("select * from t where (x in (select a from b order by a)) "));
        QVERIFY(!limit);
        QCOMPARE(Tsql::withoutOrderBy("select * from t order by a limit 5", &limit),
                 QStringLiteral("select * from t order by a limit 5"));
        QVERIFY(limit);
        QCOMPARE(Tsql::withoutOrderBy("select 'order by' from t"), QStringLiteral("select 'order by' from t"));
    }
};

QTEST_APPLESS_MAIN(TstTsql)
#include "tst_tsql.moc"
