// The shared connection on every backend: transactions that survive a failed
// commit, transactions inside transactions, and the statement trace.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "data/TdmData.h"

#include <QFile>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A child row whose parent is checked only at commit.
void createDeferredTables(Connection &cnn)
{
    QSqlQuery q;
    if (cnn.dialect().name() == QLatin1String("sqlite")) QVERIFY(cnn.execNative(q, "PRAGMA foreign_keys=ON", {}, {}));
    QVERIFY(cnn.execNative(q, "create table tx_parent (id integer primary key)", {}, {}));
    QVERIFY2(cnn.execNative(q, "create table tx_child (id integer primary key, pid integer "
                               "references tx_parent(id) deferrable initially deferred)", {}, {}),
             qPrintable(cnn.lastError()));
}

int count(TdmData &dm, const QString &table)
{
    return dm.GetIntValue(QStringLiteral("select count(*) from ") + table);
}

QStringList traceLines(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class TstConnection : public QObject {
    Q_OBJECT
private slots:
    // A restore ended between blocking new sessions and swapping the names
    // leaves the database refusing connections; the next open lets it take
    // them again.
    void openReopensADatabaseLeftClosed()
    {
        if (qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT") <= 0)
            QSKIP("PostgreSQL not configured: set CLSERVICE_TEST_PG_PORT");
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("postgres"), dir.path(), false);
        const ConnectionSettings s = dm->ADOcnn.settings();
        dm->ADOcnn.close();
        ConnectionSettings server = s;
        server.database = QStringLiteral("postgres");
        Connection admin(QStringLiteral("reopen-admin"));
        QVERIFY2(admin.open(server), qPrintable(admin.lastError()));
        QSqlQuery q;
        QVERIFY2(admin.execNative(q, QStringLiteral("alter database \"%1\" allow_connections false").arg(s.database), {}, {}),
                 qPrintable(admin.lastError()));
        admin.close();
        Connection again(QStringLiteral("reopen-test"));
        QVERIFY2(again.open(s), qPrintable(again.lastError()));
        QVERIFY(again.execNative(q, QStringLiteral("select 1"), {}, {}));
    }

    void failedCommitIsRolledBackAndTheNextSaveWorks_data() { TestDb::addBackendRows(); }
    void failedCommitIsRolledBackAndTheNextSaveWorks()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        Connection &cnn = dm->ADOcnn;
        createDeferredTables(cnn);
        QSqlQuery q;
        {
            ScopedTransaction tx(cnn);
            QVERIFY(tx.isActive());
            QVERIFY(cnn.exec(q, "insert into tx_child(id,pid) values(1,99)"));   // no parent 99
            {
                // The check waits for the outer commit: releasing a savepoint passes.
                ScopedTransaction inner(cnn);
                QVERIFY(cnn.exec(q, "insert into tx_child(id,pid) values(2,98)"));
                QVERIFY(inner.commit());
            }
            QVERIFY(!tx.commit());
            QVERIFY2(cnn.lastError().contains(QLatin1String("foreign key"), Qt::CaseInsensitive), qPrintable(cnn.lastError()));
            QVERIFY(tx.isActive());
            QVERIFY(cnn.inTransaction());
        }
        QVERIFY(!cnn.inTransaction());
        QCOMPARE(count(*dm, "tx_child"), 0);

        // The same connection saves again.
        {
            ScopedTransaction tx(cnn);
            QVERIFY2(tx.isActive(), qPrintable(cnn.lastError()));
            QVERIFY(cnn.exec(q, "insert into tx_parent(id) values(99)"));
            QVERIFY(cnn.exec(q, "insert into tx_child(id,pid) values(1,99)"));
            QVERIFY2(tx.commit(), qPrintable(cnn.lastError()));
            QVERIFY(!tx.isActive());
        }
        QVERIFY(!cnn.inTransaction());
        QCOMPARE(count(*dm, "tx_child"), 1);
        QVERIFY(!cnn.commit());   // nothing open
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void nestedTransactionsAreSavepoints_data() { TestDb::addBackendRows(); }
    void nestedTransactionsAreSavepoints()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        Connection &cnn = dm->ADOcnn;
        QSqlQuery q;
        auto add = [&](const char *name) {
            return cnn.exec(q, QStringLiteral("insert into t_code(F_name,F_type) values('%1','n')").arg(QLatin1String(name)));
        };
        {
            ScopedTransaction outer(cnn);
            QVERIFY(add("a"));
            {
                ScopedTransaction kept(cnn);
                QCOMPARE(cnn.transactionDepth(), 2);
                QVERIFY(add("b"));
                QVERIFY(kept.commit());
            }
            {
                ScopedTransaction dropped(cnn);
                QVERIFY(add("c"));
            }
            {
                // A failing statement spoils only its own level (PostgreSQL
                // would refuse everything after it until the end of the transaction).
                ScopedTransaction failing(cnn);
                QVERIFY(!cnn.exec(q, "insert into no_such_table(x) values(1)"));
            }
            QCOMPARE(cnn.transactionDepth(), 1);
            QVERIFY2(add("d"), qPrintable(cnn.lastError()));
            // Cached updates applied inside an open transaction take a savepoint too.
            DataSet ds(&cnn);
            ds.setCachedUpdates(true, QStringLiteral("t_code"));
            ds.setSql("select * from t_code where F_type = 'n' order by F_name");
            QVERIFY(ds.open());
            ds.appendRecord();
            ds.setFieldValue("F_name", "e");
            ds.setFieldValue("F_type", "n");
            QVERIFY2(ds.applyUpdates(), qPrintable(ds.lastError()));
            QCOMPARE(cnn.transactionDepth(), 1);
            QVERIFY(outer.commit());
        }
        QVERIFY(!cnn.inTransaction());
        QCOMPARE(dm->GetIntValue("select count(*) from t_code where F_type = 'n' and F_name in ('a','b','d','e')"), 4);
        QCOMPARE(count(*dm, "t_code"), 4);

        // The outer level rolled back takes the committed inner ones with it.
        {
            ScopedTransaction outer(cnn);
            {
                ScopedTransaction inner(cnn);
                QVERIFY(add("f"));
                QVERIFY(inner.commit());
            }
        }
        QCOMPARE(count(*dm, "t_code"), 4);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // The cached changes survive a commit the server refused, so saving
    // again writes them all.
    void applyUpdatesReportsAFailedCommit_data() { TestDb::addBackendRows(); }
    void applyUpdatesReportsAFailedCommit()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        QVERIFY(dm->RunSQL("insert into t_code(F_name,F_type) values('a','area')"));
        DataSet ds(&dm->ADOcnn);
        ds.setCachedUpdates(true, QStringLiteral("t_code"));
        ds.setSql("select * from t_code where F_type = 'area' order by F_ID");
        QVERIFY(ds.open());
        ds.appendRecord();
        ds.setFieldValue("F_name", "b");
        ds.setFieldValue("F_type", "area");

        Connection reader(QStringLiteral("reader"));
        QSqlQuery hold;
        if (backend == QLatin1String("sqlite")) {
            // Another client reading keeps the file from being written: the commit waits, then fails.
            QVERIFY(reader.open(dm->ADOcnn.settings()));
            QVERIFY(reader.exec(hold, "begin"));
            QVERIFY(reader.exec(hold, "select count(*) from t_code"));
            QVERIFY(hold.next());
        } else {
            // A rule the server checks at commit: the name is taken.
            QVERIFY(dm->RunSQL("alter table t_code add constraint u_code_name unique (F_name) deferrable initially deferred"));
            ds.setFieldValue("F_name", "a");
        }
        QVERIFY(!ds.applyUpdates());
        QVERIFY(!ds.lastError().isEmpty());
        QVERIFY(!dm->ADOcnn.inTransaction());
        QVERIFY(ds.hasPendingUpdates());
        if (backend == QLatin1String("sqlite")) {
            hold.finish();
            QVERIFY(reader.exec(hold, "rollback"));
        } else {
            ds.setFieldValue("F_name", "b");
        }
        QCOMPARE(dm->GetIntValue("select count(*) from t_code"), 1);
        QVERIFY2(ds.applyUpdates(), qPrintable(ds.lastError()));
        QCOMPARE(dm->GetStrValue("select F_name from t_code where F_name <> 'a'"), QStringLiteral("b"));
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    // One line per statement as the windows wrote it: line breaks as \n,
    // then " -- " and the parameters; a prepared statement once per run.
    void statementTrace_data() { TestDb::addBackendRows(); }
    void statementTrace()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, dir.path(), false);
        const QString file = dir.filePath("trace.txt");
        qputenv("CLSERVICE_SQL_TRACE", QFile::encodeName(file));
        auto unset = qScopeGuard([] { qunsetenv("CLSERVICE_SQL_TRACE"); });

        QVERIFY(dm->RunSQL("insert into t_code(F_name,F_type) values('it''s','area')"));
        DataSet *q = dm->QryPub;
        q->setSql("update t_code\r\nset F_name = :Name\nwhere F_type = :type");
        q->setParam("Name", "two\nlines");
        q->setParam("type", QVariant());
        QVERIFY(q->execSql());
        {
            ScopedTransaction tx(dm->ADOcnn);
            const QStringList cols {QStringLiteral("F_name"), QStringLiteral("F_type")};
            PreparedStatement ins(dm->ADOcnn, PreparedStatement::insertSql(QStringLiteral("t_code"), cols), cols);
            QString error;
            QVERIFY2(ins.prepare(&error), qPrintable(error));
            QVERIFY2(ins.exec({QStringLiteral("b"), QStringLiteral("x y")}, &error), qPrintable(error));
            QVERIFY2(ins.exec({QStringLiteral("c"), 7}, &error), qPrintable(error));
            QVERIFY(tx.commit());
        }
        QCOMPARE(dm->GetIntValue("select count(*) from t_code"), 3);

        QCOMPARE(traceLines(file), (QStringList{
            "insert into t_code(F_name,F_type) values('it''s','area')",
            "update t_code\\nset F_name = :Name\\nwhere F_type = :type -- Name=two\\nlines type=NULL",
            "insert into t_code(F_name,F_type) values(:F_name,:F_type) -- F_name=b F_type=x y",
            "insert into t_code(F_name,F_type) values(:F_name,:F_type) -- F_name=c F_type=7",
            "select count(*) from t_code",
        }));
    }
};

QTEST_MAIN(TstConnection)
#include "tst_connection.moc"
