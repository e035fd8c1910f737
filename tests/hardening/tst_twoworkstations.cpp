// Two workstations on one database: both save customers and repairs,
// delete customers and import batches at the same time for a bounded run;
// neither crashes, and what each reported as done is in the database. On
// SQLite a save while the other workstation holds the file waits for it,
// and when it waits too long the editor says the save failed.

#include "ChildRun.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "customers/TFrmMain.h"
#include "customers/TfrmCltEdit.h"
#include "data/TdmData.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using ChildRun::Look;

namespace {

constexpr int kImportRows = 150;   // as the child writes them
constexpr int kRunSeconds = 20;

} // namespace

class TestTwoWorkstations : public QObject {
    Q_OBJECT
private slots:
    void together_data() { TestDb::addBackendRows(); }
    void together()
    {
        FETCH_BACKEND(backend);
        QTemporaryDir dir;
        const ConnectionSettings s = TestDb::fresh(backend, dir.path());
        QProcess a, b;
        for (auto &[p, tag] : {std::pair<QProcess *, QString> {&a, QStringLiteral("a")}, {&b, QStringLiteral("b")}})
            ChildRun::start(*p, {QStringLiteral("mixed"), ChildRun::databaseArg(s), tag, QString::number(kRunSeconds)});
        QByteArray out, errors;
        for (QProcess *p : {&a, &b}) {
            QVERIFY(p->waitForFinished((kRunSeconds + 60) * 1000));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
            out += p->readAllStandardOutput();
            errors += p->readAllStandardError();
        }
        const QStringList customers = ChildRun::saved(out, QStringLiteral("saved customer "));
        const QStringList deleted = ChildRun::saved(out, QStringLiteral("deleted "));
        const QStringList repairs = ChildRun::saved(out, QStringLiteral("saved service "));
        const QStringList imports = ChildRun::saved(out, QStringLiteral("saved import "));
        QVERIFY(!customers.isEmpty() && !deleted.isEmpty() && !repairs.isEmpty() && !imports.isEmpty());

        Look look(s);
        QVERIFY2(look.isOpen(), qPrintable(look.error()));
        QCOMPARE(look.integrity(), QStringLiteral("ok"));
        QMap<QString, int> codes;
        for (const QString &c : look.column(QStringLiteral("select F_code from t_client"))) ++codes[c];
        for (const QString &c : customers)
            QCOMPARE(codes.value(c), deleted.contains(c) ? 0 : 1);
        QMap<QString, int> reasons;
        for (const QString &r : look.column(QStringLiteral("select F_reason from T_WXrec"))) ++reasons[r];
        for (const QString &r : repairs) QCOMPARE(reasons.value(r), 1);
        for (const QString &batch : imports)
            for (int r = 0; r < kImportRows; r += 37) QCOMPARE(codes.value(batch + u'-' + QString::number(r)), 1);
        const int failed = int(QString::fromUtf8(errors).count(QStringLiteral("failed ")));
        const QString summary = QStringLiteral("%1: %2 customers saved, %3 deleted, %4 repairs, %5 import batches; %6 writes refused\n")
                                    .arg(backend).arg(customers.size()).arg(deleted.size()).arg(repairs.size())
                                    .arg(imports.size()).arg(failed);
        std::fputs(qPrintable(summary + QString::fromUtf8(errors)), stdout);
        std::fflush(stdout);
    }

    // The other workstation holds the file in a write for `hold` seconds:
    // a save started meanwhile waits; past the busy timeout it gives up with
    // the editor's message, and the operator's entry stays for another try.
    void lockedFile_data()
    {
        QTest::addColumn<int>("hold");
        QTest::addColumn<bool>("saved");
        QTest::newRow("released in time") << 2 << true;
        QTest::newRow("held too long") << 12 << false;
    }
    void lockedFile()
    {
        QFETCH(int, hold);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
        TestDb::signIn();
        TFrmMain main;
        main.show();
        TfrmCltEdit e(main);
        QVERIFY(e.prepare(TfrmCltEdit::NewMode));
        e.show();
        e.edtcode->setText(QStringLiteral("W'1"));
        e.edtName->setText(QStringLiteral("等'待"));

        QProcess other;
        ChildRun::start(other, {QStringLiteral("hold"), dm->ADOcnn.settings().database, QStringLiteral("H'1"), QString::number(hold)});
        QByteArray out;
        while (!out.contains("holding\n")) {
            QVERIFY2(other.waitForReadyRead(15000), other.readAllStandardError().constData());
            out += other.readAllStandardOutput();
        }
        QElapsedTimer waited;
        waited.start();
        e.Button1->click();
        const qint64 ms = waited.elapsed();
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(other.exitCode(), 0);
        std::printf("held %d s: the save answered after %lld ms\n", hold, qlonglong(ms));
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client where F_code = 'H''1'")), 1);
        QCOMPARE(dm->GetIntValue(QStringLiteral("select count(*) from t_client where F_code = 'W''1'")), saved ? 1 : 0);
        if (saved) {
            QVERIFY2(ms >= (hold - 1) * 1000, "the save did not wait for the other workstation");
            QCOMPARE(e.result(), int(QDialog::Accepted));
        } else {
            QVERIFY2(ms >= 4000 && ms < hold * 1000, "the save gave up before the busy timeout or waited for the holder");
            QCOMPARE(seams.dialogs.texts().last(), QStringLiteral("保存失败，请检测数据库连接！"));
            QCOMPARE(seams.dialogs.calls.last().kind, 3);
            QVERIFY(e.result() != QDialog::Accepted);
            QCOMPARE(e.edtcode->text(), QStringLiteral("W'1"));
        }
    }
};

QTEST_MAIN(TestTwoWorkstations)
#include "tst_twoworkstations.moc"
