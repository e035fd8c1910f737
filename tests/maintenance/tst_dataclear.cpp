// Data clearing: the linked boxes, the question, the offered backup, the
// deletes in one transaction, and a failing delete that empties nothing.

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/Companion.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "maintenance/DataClear.h"
#include "maintenance/TFrmDataClear.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kQuestion = QStringLiteral("数据清理，将删除所有列表框所选中的所有数据表的数据，\n建议您在清理之前，备份当前数据，真的要清除当前数据吗？");
const QString kBackup = QStringLiteral("清理之前，先备份当前数据吗？");
const QString kDone = QStringLiteral("数据清理成功！");
const QString kFailed = QStringLiteral("操作失败，请检查连接...");
const char *const kTables[] = {"t_client", "t_HFrec", "t_WXrec", "t_TSrec", "t_code"};

void fillTables(TdmData *dm)
{
    for (int i = 0; i < 3; ++i) {
        const QString code = QStringLiteral("C'%1").arg(i);
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name) values(%1,'客户')").arg(sqlQuoted(code))));
        for (const char *t : {"t_HFrec", "t_WXrec", "t_TSrec"})
            QVERIFY(dm->RunSQL(QStringLiteral("insert into %1(F_cltcode,F_cltName) values(%2,'客户')")
                                   .arg(QLatin1String(t), sqlQuoted(code))));
    }
}

// Rows left in each table, in the boxes' order.
QList<int> counts(TdmData *dm)
{
    QList<int> c;
    for (const char *t : kTables) c << dm->GetIntValue(QStringLiteral("select count(*) from ") + QLatin1String(t));
    return c;
}

QList<bool> ticks(const TFrmDataClear &f)
{
    return {f.CheckBox1->isChecked(), f.CheckBox2->isChecked(), f.CheckBox3->isChecked(), f.CheckBox4->isChecked(),
            f.CheckBox5->isChecked()};
}

} // namespace

class TestDataClear : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { dmData = nullptr; }

    void statements();
    void linkedBoxes();
    void clearing_data();
    void clearing();
    void failingDeleteEmptiesNothing_data() { TestDb::addBackendRows(); }
    void failingDeleteEmptiesNothing();
    void backupFirst_data() { TestDb::addBackendRows(); }
    void backupFirst();
};

void TestDataClear::statements()
{
    QCOMPARE(dataClearStatements({true, true, true, true, true}),
             (QStringList{QStringLiteral("delete from t_client"), QStringLiteral("delete from t_HFrec"),
                          QStringLiteral("delete from t_WXrec"), QStringLiteral("delete from t_TSrec "),
                          QStringLiteral("delete from t_code")}));
    QCOMPARE(dataClearStatements({false, false, true, false, true}),
             (QStringList{QStringLiteral("delete from t_WXrec"), QStringLiteral("delete from t_code")}));
    QVERIFY(dataClearStatements({}).isEmpty());

    // A backup before clearing never overwrites one made earlier that day.
    QTemporaryDir dir;
    const QDateTime now(QDate(2026, 12, 10), QTime(15, 4, 5));
    QCOMPARE(clearBackupFileName(dir.path(), now), TdmData::backupFileName(dir.path(), now.date()));
    QFile day(TdmData::backupFileName(dir.path(), now.date()));
    QVERIFY(day.open(QIODevice::WriteOnly));
    day.close();
    QCOMPARE(clearBackupFileName(dir.path(), now), QDir(dir.path()).filePath(QStringLiteral("dp20261210_150405.back")));
}

void TestDataClear::linkedBoxes()
{
    TFrmDataClear f;
    QCOMPARE(f.windowTitle(), QStringLiteral("数据清理"));
    QCOMPARE(ticks(f), (QList<bool>{false, false, false, false, false}));
    f.CheckBox1->click();
    QCOMPARE(ticks(f), (QList<bool>{true, true, true, true, false}));
    f.CheckBox3->click();
    QCOMPARE(ticks(f), (QList<bool>{true, true, false, true, false}));
    f.CheckBox1->click();
    QCOMPARE(ticks(f), (QList<bool>{false, false, false, false, false}));
    f.CheckBox5->click();
    QCOMPARE(ticks(f), (QList<bool>{false, false, false, false, true}));
    f.Button3->click();   // 全选
    QCOMPARE(ticks(f), (QList<bool>{true, true, true, true, true}));
    f.Button4->click();   // 全清
    QCOMPARE(ticks(f), (QList<bool>{false, false, false, false, false}));
}

void TestDataClear::clearing_data()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<QList<int>>("clicks");   // box numbers clicked in turn
    QTest::addColumn<int>("answer");          // to the question
    QTest::addColumn<QList<int>>("left");
    QTest::addColumn<QStringList>("messages");
    for (const QString &b : TestDb::backends()) {
        const int codes = -1;   // the starting code lists: not counted here
        QTest::newRow(qPrintable(b + QStringLiteral(" customers, one record kind kept")))
            << b << QList<int>{1, 3} << int(Mess::Yes) << QList<int>{0, 0, 3, 0, codes}
            << QStringList{kQuestion, kBackup, kDone};
        QTest::newRow(qPrintable(b + QStringLiteral(" no box ticked"))) << b << QList<int>{} << int(Mess::Yes)
                                                                       << QList<int>{3, 3, 3, 3, codes}
                                                                       << QStringList{kQuestion, kDone};
        QTest::newRow(qPrintable(b + QStringLiteral(" answered no"))) << b << QList<int>{1, 5} << int(Mess::No)
                                                                     << QList<int>{3, 3, 3, 3, codes}
                                                                     << QStringList{kQuestion};
        QTest::newRow(qPrintable(b + QStringLiteral(" all, then only the codes")))
            << b << QList<int>{1, 5, 1} << int(Mess::Yes) << QList<int>{3, 3, 3, 3, 0}
            << QStringList{kQuestion, kBackup, kDone};
    }
}

void TestDataClear::clearing()
{
    FETCH_BACKEND(backend);
    QFETCH(QList<int>, clicks);
    QFETCH(int, answer);
    QFETCH(QList<int>, left);
    QFETCH(QStringList, messages);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    fillTables(dm.get());
    const int codes = counts(dm.get()).last();
    QVERIFY(codes > 0);
    for (int &n : left)
        if (n < 0) n = codes;

    ScopedSeams seams;
    TFrmDataClear f;
    QCheckBox *boxes[] = {f.CheckBox1, f.CheckBox2, f.CheckBox3, f.CheckBox4, f.CheckBox5};
    for (int n : clicks) boxes[n - 1]->click();
    seams.dialogs.answer(answer);
    seams.dialogs.answer(Mess::No);   // no backup
    f.Button1->click();
    QCOMPARE(seams.dialogs.texts(), messages);
    // Deleting data is never the answer Enter gives.
    QCOMPARE(seams.dialogs.calls.first().defaultAnswer, int(Mess::No));
    if (messages.contains(kBackup)) QCOMPARE(seams.dialogs.calls.at(1).defaultAnswer, int(Mess::Yes));
    QCOMPARE(counts(dm.get()), left);
    QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from LogRec")), 0);
}

void TestDataClear::failingDeleteEmptiesNothing()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    fillTables(dm.get());
    QVERIFY(dm->RunSQL(QStringLiteral("alter table t_code rename to t_code_gone")));
    const QList<int> before = QList<int>{3, 3, 3, 3};

    ScopedSeams seams;
    TFrmDataClear f;
    f.Button3->click();
    seams.dialogs.answer(Mess::Yes);
    seams.dialogs.answer(Mess::No);
    f.Button1->click();
    QCOMPARE(seams.dialogs.texts(), (QStringList{kQuestion, kBackup, kFailed}));
    QCOMPARE(seams.dialogs.calls.last().kind, 3);
    QVERIFY(!dm->ADOcnn.inTransaction());
    QCOMPARE(counts(dm.get()).mid(0, 4), before);
    QCOMPARE(ticks(f), (QList<bool>{true, true, true, true, true}));
}

void TestDataClear::backupFirst()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    fillTables(dm.get());
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("备份'夹"));
    QVERIFY(dm->RunSQL(QStringLiteral("update SysInfo set F_BakPath = ") + sqlQuoted(folder)));

    ScopedSeams seams;
    TFrmDataClear f;
    f.CheckBox1->click();
    seams.dialogs.answer(Mess::Yes);
    seams.dialogs.answer(Mess::Yes);
    f.Button1->click();
    QCOMPARE(seams.dialogs.texts(), (QStringList{kQuestion, kBackup, kDone}));
    const QString file = TdmData::backupFileName(folder, QDate::currentDate());
    QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
    QCOMPARE(counts(dm.get()).mid(0, 4), (QList<int>{0, 0, 0, 0}));

    // A backup that cannot be made stops the clearing before anything is deleted.
    fillTables(dm.get());
    QFile blocker(QDir(dir.path()).filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(dm->RunSQL(QStringLiteral("update SysInfo set F_BakPath = ") + sqlQuoted(blocker.fileName() + QStringLiteral("/sub"))));
    seams.dialogs.calls.clear();
    seams.dialogs.answer(Mess::Yes);
    seams.dialogs.answer(Mess::Yes);
    f.Button1->click();
    QCOMPARE(seams.dialogs.calls.size(), 3);
    QVERIFY2(seams.dialogs.texts().last().startsWith(QStringLiteral("备份失败，数据没有清理：")), qPrintable(seams.dialogs.texts().last()));
    QCOMPARE(counts(dm.get()).mid(0, 4), (QList<int>{3, 3, 3, 3}));
}

QTEST_MAIN(TestDataClear)
#include "tst_dataclear.moc"
