// Counts and totals on a reader of their own: answers come back on the
// window's thread with their generation, several counters run side by side,
// and a refused statement answers -1 without stopping the next count.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/DataSet.h"
#include "data/ListCounter.h"
#include "data/TdmData.h"

#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TstListCounter : public QObject {
    Q_OBJECT
private slots:
    void countsAndTotals_data() { TestDb::addBackendRows(); }
    void countsAndTotals()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        for (int i = 1; i <= 5; ++i)
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_amount) values('C%1','n%1',%1)").arg(i)));
        const ConnectionSettings settings = dm->ADOcnn.settings();

        QList<QPair<int, int>> countsA, countsB;
        QList<double> totals;
        QThread *const uiThread = QThread::currentThread();
        bool onUiThread = true;
        ListCounter a(
            this,
            [&](int g, int n) {
                onUiThread = onUiThread && QThread::currentThread() == uiThread;
                countsA.append({g, n});
            },
            [&](int, const QVector<int> &fields, const QVector<double> &values) {
                QCOMPARE(fields, (QVector<int>{7}));
                totals = values.toList();
            });
        // A second counter at the same time must not take the first one's connection.
        ListCounter b(this, [&](int g, int n) { countsB.append({g, n}); }, {});

        a.requestCount(settings, QStringLiteral("select * from t_client where F_amount > 2 order by F_code"), 1);
        b.requestCount(settings, QStringLiteral("select * from t_client order by F_code"), 4);
        QTRY_COMPARE(countsA, (QList<QPair<int, int>>{{1, 3}}));
        QTRY_COMPARE(countsB, (QList<QPair<int, int>>{{4, 5}}));
        QVERIFY(onUiThread);

        // Columns as the list reports them (the engine's own spelling).
        const QString list = QStringLiteral("select * from t_client order by F_code");
        DataSet ds(&dm->ADOcnn);
        ds.setSql(list);
        QVERIFY(ds.open());
        const QString amount = ds.fieldName(ds.fieldIndex(QStringLiteral("F_amount")));
        a.requestSums(settings, list, 2, {7}, {amount});
        QTRY_COMPARE(totals, (QList<double>{15}));

        // A refused statement answers -1; the next count works again.
        a.requestCount(settings, QStringLiteral("select * from no_such_table"), 3);
        QTRY_COMPARE(countsA.size(), 2);
        QCOMPARE(countsA.last(), (QPair<int, int>{3, -1}));
        a.requestCount(settings, QStringLiteral("select * from t_client"), 5);
        QTRY_COMPARE(countsA.size(), 3);
        QCOMPARE(countsA.last(), (QPair<int, int>{5, 5}));
    }
};

QTEST_MAIN(TstListCounter)
#include "tst_listcounter.moc"
