// The T-SQL the windows write, rewritten for each engine.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "data/TsqlTranslator.h"

#include <QDate>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

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
        // A day count compared with a number is a range on the column, so its index serves.
        QTest::newRow("datediff") << "where (DateDiff(day,getdate(),F_awokeDate) <= 3)"
                                  << "where ((F_awokeDate < date(datetime('now','localtime'),'+4 days')))"
                                  << "where ((F_awokeDate < (CAST(localtimestamp(0) AS date) + 4)))";
        QTest::newRow("datediff reminders")
            << "where (DateDiff(day,getdate(),F_awokeDate) <= 7 and DateDiff(day,getdate(),F_awokeDate)>=0) "
            << "where ((F_awokeDate < date(datetime('now','localtime'),'+8 days')) and (F_awokeDate >= date(datetime('now','localtime'),'+0 days'))) "
            << "where ((F_awokeDate < (CAST(localtimestamp(0) AS date) + 8)) and (F_awokeDate >= (CAST(localtimestamp(0) AS date) + 0))) ";
        QTest::newRow("datediff operators")
            << "where DateDiff(dd,'2024-03-15',c.F_awokeDate) = -1 or DateDiff(day,getdate(),x) <> 2 or DateDiff(day,getdate(),x)>5 and DateDiff(d,getdate(),[y])<1"
            << "where (c.F_awokeDate >= date('2024-03-15','-1 days') and c.F_awokeDate < date('2024-03-15','+0 days')) or (x < date(datetime('now','localtime'),'+2 days') or x >= date(datetime('now','localtime'),'+3 days')) or (x >= date(datetime('now','localtime'),'+6 days')) and (\"y\" < date(datetime('now','localtime'),'+1 days'))"
            << "where (c.F_awokeDate >= (CAST('2024-03-15' AS date) + -1) and c.F_awokeDate < (CAST('2024-03-15' AS date) + 0)) or (x < (CAST(localtimestamp(0) AS date) + 2) or x >= (CAST(localtimestamp(0) AS date) + 3)) or (x >= (CAST(localtimestamp(0) AS date) + 6)) and (\"y\" < (CAST(localtimestamp(0) AS date) + 1))";
        // Where the count is part of a larger expression it stays a count.
        QTest::newRow("datediff kept")
            << "select (DateDiff(day,getdate(),a)) where 1+DateDiff(day,getdate(),a) < 2 and DateDiff(day,getdate(),a) < 2*3 and DateDiff(day,b,a) < 2"
            << "select (ms_datediff('day',datetime('now','localtime'),a)) where 1+ms_datediff('day',datetime('now','localtime'),a) < 2 and ms_datediff('day',datetime('now','localtime'),a) < 2*3 and ms_datediff('day',b,a) < 2"
            << "select ((CAST(CAST(a AS timestamp) AS date) - CAST(CAST(localtimestamp(0) AS timestamp) AS date))) where 1+(CAST(CAST(a AS timestamp) AS date) - CAST(CAST(localtimestamp(0) AS timestamp) AS date)) < 2 and (CAST(CAST(a AS timestamp) AS date) - CAST(CAST(localtimestamp(0) AS timestamp) AS date)) < 2*3 and (CAST(CAST(a AS timestamp) AS date) - CAST(CAST(b AS timestamp) AS date)) < 2";
        // A unit that is not a bare word is no DateDiff we know: the engine refuses it.
        QTest::newRow("datediff quoted unit") << "select DateDiff('da`',b,a), datediff(week,b,a)"
                                              << "select DateDiff('da`',b,a), datediff(week,b,a)"
                                              << "select DateDiff('da`',b,a), datediff(week,b,a)";
        // PostgreSQL reads a backslash in a pattern as an escape; T-SQL as a character.
        QTest::newRow("like backslash") << "where F_name like '%a\\%' and F_code like 'b\\' escape '!'"
                                        << "where F_name like '%a\\%' and F_code like 'b\\' escape '!'"
                                        << "where F_name ilike '%a\\%' escape '' and F_code ilike 'b\\' escape '!'";
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

    // The ranges pick the rows SQL Server's count of day boundaries picks, a
    // time late in the day, the no-date value and NULL included, and the
    // index on the reminder date serves them.
    void dayRangesOnTheEngines_data() { TestDb::addBackendRows(); }
    void dayRangesOnTheEngines()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path());
        const QDate today = QDate::currentDate();
        auto day = [&](int n) { return today.addDays(n).toString(QStringLiteral("yyyy-MM-dd")); };
        const struct {
            const char *code;
            QString awoke;
            std::optional<qint64> days;   // none for NULL
        } rows[] = {
            {"a", day(0), 0},
            {"b", day(0) + " 23:59:59", 0},
            {"c", day(1) + " 00:00:01", 1},
            {"d", day(3) + " 23:59:59", 3},
            {"e", day(4), 4},
            {"f", day(-1) + " 23:59:59", -1},
            {"g", PubUnit::NoDate, QDate::fromString(PubUnit::NoDate, Qt::ISODate).daysTo(today) * -1},
            {"h", QString(), std::nullopt},
        };
        for (const auto &r : rows)
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_awokeDate) values('%1','x''y',%2)")
                                   .arg(r.code, r.awoke.isEmpty() ? QStringLiteral("NULL") : sqlQuoted(r.awoke))));

        const struct {
            const char *op;
            bool (*holds)(qint64, qint64);
        } ops[] = {
            {"<", [](qint64 d, qint64 n) { return d < n; }},   {"<=", [](qint64 d, qint64 n) { return d <= n; }},
            {">", [](qint64 d, qint64 n) { return d > n; }},   {">=", [](qint64 d, qint64 n) { return d >= n; }},
            {"=", [](qint64 d, qint64 n) { return d == n; }},  {"<>", [](qint64 d, qint64 n) { return d != n; }},
        };
        for (const auto &op : ops) {
            for (qint64 n : {-1, 0, 3}) {
                QStringList expected;
                for (const auto &r : rows)
                    if (r.days && op.holds(*r.days, n)) expected << QString::fromLatin1(r.code);
                QSqlQuery q(dm->ADOcnn.database());
                const QString sql = QStringLiteral("select F_code from t_client where DateDiff(day,getdate(),F_awokeDate) %1 %2 order by F_code")
                                        .arg(QLatin1String(op.op)).arg(n);
                QVERIFY2(dm->ADOcnn.exec(q, sql), qPrintable(dm->ADOcnn.lastError()));
                QStringList found;
                while (q.next()) found << q.value(0).toString();
                QVERIFY2(found == expected, qPrintable(sql + " -> " + found.join(',') + " expected " + expected.join(',')));
            }
        }

        // The reminders' condition, as the engine plans it.
        const QString native = dm->ADOcnn.dialect().translate(
            "select F_code from t_client where (DateDiff(day,getdate(),F_awokeDate) <= 3 and DateDiff(day,getdate(),F_awokeDate)>=0) ",
            nullptr);
        QSqlQuery plan(dm->ADOcnn.database());
        if (backend == QLatin1String("postgres")) {
            // The table is tiny: only forbidding the scan shows whether an index could serve.
            QVERIFY(plan.exec(QStringLiteral("set enable_seqscan = off")));
            QVERIFY(plan.exec(QStringLiteral("explain ") + native));
        } else {
            QVERIFY(plan.exec(QStringLiteral("explain query plan ") + native));
        }
        QString text;
        while (plan.next()) text += plan.value(plan.record().count() - 1).toString() + u'\n';
        QVERIFY2(text.contains(QLatin1String("ix_client_awokedate")), qPrintable(text));
        QVERIFY(seams.dialogs.calls.isEmpty());
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

QTEST_GUILESS_MAIN(TstTsql)
#include "tst_tsql.moc"
