// The client-side result set on every backend: a long list sorted, summed
// and searched as its loaded rows would be, and read front to back while
// other statements run on the same connection.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Every value of a field in the set's order, read once.
QStringList fieldValues(const DataSet &ds, const QString &field)
{
    QStringList values;
    DataSetReader reader(ds);
    while (reader.next()) values << DataSet::displayText(reader.value(ds.fieldIndex(field)), ds.fieldKind(ds.fieldIndex(field)));
    return values;
}

} // namespace

class TestDataSet : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new QTemporaryDir); }

    // A list too long to hold is sorted and summed by the database; the
    // answer must be the one the loaded rows give.
    void longListSortsAndSumsAsLoadedRows_data() { TestDb::addBackendRows(); }
    void longListSortsAndSumsAsLoadedRows()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into t_client(F_code,F_name,F_price) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 21000) "
            "select 'K' || i, "
            "case i % 6 when 0 then 'abc' || (i % 97) when 1 then 'ABD' || (i % 89) when 2 then '张' || (i % 50) "
            "when 3 then null when 4 then '' else 'Zed' || (i % 7) end, "
            "case when i % 11 = 0 then null else (i % 101) * 1.25 end from n")));
        // With a row key the keys are sorted apart from the rows; without one
        // the database orders each page.
        for (const QString &sql : {QStringLiteral("select * from t_client order by F_code"),
                                   QStringLiteral("select F_code, F_name, F_price from t_client")}) {
            DataSet lazy(&dm->ADOcnn), loaded(&dm->ADOcnn);
            QVERIFY(dm->OpenSQL(sql, &lazy));
            loaded.setCachedUpdates(true, QStringLiteral("t_client"));
            QVERIFY(dm->OpenSQL(sql, &loaded));
            QVERIFY(!lazy.isFullyFetched());
            QVERIFY(loaded.isFullyFetched());

            for (const QString &sort : {QStringLiteral("F_name ASC"), QStringLiteral("F_name DESC,F_price ASC"),
                                        QStringLiteral("F_price DESC"), QStringLiteral("f_price asc")}) {
                lazy.setSort(sort);
                loaded.setSort(sort);
                QVERIFY(!lazy.isFullyFetched());
                QCOMPARE(lazy.recordCount(), 21000);
                for (const QString &item : sort.split(u','))
                    QCOMPARE(fieldValues(lazy, item.section(u' ', 0, 0)), fieldValues(loaded, item.section(u' ', 0, 0)));
                // Sorting by keys is stable as the loaded rows' sort is; the database may order ties freely.
                if (lazy.fieldIndex(QStringLiteral("F_ID")) >= 0)
                    QCOMPARE(fieldValues(lazy, QStringLiteral("F_code")), fieldValues(loaded, QStringLiteral("F_code")));
                // Finding a row reads one column but lands where the loaded rows have it.
                QVERIFY(lazy.locate(QStringLiteral("F_code"), QStringLiteral("k777")));
                QVERIFY(loaded.locate(QStringLiteral("F_code"), QStringLiteral("k777")));
                QCOMPARE(lazy.fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("K777"));
                if (lazy.fieldIndex(QStringLiteral("F_ID")) >= 0) QCOMPARE(lazy.recNo(), loaded.recNo());
                QVERIFY(!lazy.locate(QStringLiteral("F_code"), QStringLiteral("nowhere")));
                // Random access agrees with the front-to-back read.
                lazy.setRecNo(20999);
                loaded.setRecNo(20999);
                const QString first = sort.section(u' ', 0, 0);
                QCOMPARE(lazy.fieldByName(first).asString(), loaded.fieldByName(first).asString());
            }
            const int price = lazy.fieldIndex(QStringLiteral("F_price"));
            QVERIFY(lazy.sum(price) > 0);
            QCOMPARE(lazy.sum(price), loaded.sum(price));
        }
    }

    // A contains search with few hits may be read by the hits' keys: the
    // rows and their order are those of the plain read, and a search with
    // more hits than a page stays a paged list.
    void containsSearchReadsTheSameRows_data() { TestDb::addBackendRows(); }
    void containsSearchReadsTheSameRows()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QSqlQuery fill;
        QVERIFY2(dm->ADOcnn.exec(fill, QStringLiteral(
            "insert into t_client(F_code,F_name,F_buyAddress) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
            "select 'K' || (10000 - i), case i % 500 when 7 then '王''芳' || i else '李' || i end, "
            "case when i % 3 = 0 then '东 order by 路' else null end from n")), qPrintable(dm->ADOcnn.lastError()));
        DataSet plain(&dm->ADOcnn);
        plain.setCachedUpdates(true, QStringLiteral("t_client"));   // read whole, as written
        DataSet searched(&dm->ADOcnn);
        const QStringList statements = {
            QStringLiteral("select * from t_client where (1=1) and F_name Like '%''芳%' order by f_code"),
            QStringLiteral("select * from t_client where F_name like '%芳%' and F_buyAddress like '% order by %' order by F_name desc"),
            QStringLiteral("select * from t_client where F_name like '%无此人%' order by f_code"),
            QStringLiteral("select * from t_client where F_name like '%李%' order by f_code"),
        };
        for (const QString &sql : statements) {
            QVERIFY2(dm->OpenSQL(sql, &plain), qPrintable(sql));
            QVERIFY2(dm->OpenSQL(sql, &searched), qPrintable(sql));
            QCOMPARE(searched.isFullyFetched(), plain.recordCount() <= 500);
            QCOMPARE(searched.recordCount(), plain.recordCount());
            QCOMPARE(fieldValues(searched, QStringLiteral("F_code")), fieldValues(plain, QStringLiteral("F_code")));
            QCOMPARE(searched.fieldCount(), plain.fieldCount());
        }
    }

    void readerSurvivesStatementsMeanwhile_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("sql");
        for (const QString &b : TestDb::backends()) {
            QTest::addRow("%s rows with a key", qPrintable(b)) << b << "select * from t_client order by F_amount desc";
            QTest::addRow("%s rows without one", qPrintable(b)) << b << "select F_code, F_amount from t_client order by F_amount desc";
        }
    }
    // A repaint, a look-up or the grid's own pages between two rows of an
    // export or a print: every row still comes once, in the list's order.
    void readerSurvivesStatementsMeanwhile()
    {
        FETCH_BACKEND(backend);
        QFETCH(QString, sql);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(QStringLiteral(
            "insert into t_client(F_code,F_amount) "
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2500) select 'C' || i, i from n")));
        DataSet ds(&dm->ADOcnn), other(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(sql, &ds));
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &other));
        QVERIFY(!ds.isFullyFetched());
        const bool keyed = ds.fieldIndex(QStringLiteral("F_ID")) >= 0;

        DataSetReader reader(ds);
        const int amount = ds.fieldIndex(QStringLiteral("F_amount"));
        QList<int> seen;
        while (reader.next()) {
            seen << reader.value(amount).toInt();
            if (seen.size() % 700 == 1) {
                QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client")), keyed && seen.size() > 1 ? 2499 : 2500);
                other.setRecNo(2400 - seen.size());   // another list fetches its pages
                ds.setRecNo(seen.size() + 600);       // and so does this one's own cursor
                QVERIFY(!other.fieldByName(QStringLiteral("F_code")).asString().isEmpty());
            }
            // A row deleted before the read reaches it is left out.
            if (keyed && seen.size() == 1) QVERIFY(dm->RunSQL(QStringLiteral("delete from t_client where F_amount = 1500")));
        }
        QVERIFY2(reader.error().isEmpty(), qPrintable(reader.error()));
        QList<int> expected;
        for (int i = 2500; i >= 1; --i)
            if (!(keyed && i == 1500)) expected << i;
        QCOMPARE(seen.size(), expected.size());
        QCOMPARE(seen, expected);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestDataSet)
#include "tst_dataset.moc"
