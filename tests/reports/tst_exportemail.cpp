// The e-mail address export on every backend: the file's bytes for the main
// window's list and for all customers, the default name, an empty name, a
// file that cannot be written, and an archive without addresses.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "customers/TFrmMain.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "reports/TFrmReportGl.h"
#include "reports/TfrmExportEmail.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Fixture {
    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<TFrmMain> w;
    explicit Fixture(const QString &backend)
    {
        dm = TestDb::freshModule(backend, dir.path());
        TestDb::signIn();
        w = std::make_unique<TFrmMain>();
        w->SetLimits(QStringLiteral("admin"));
    }
    ~Fixture() { CommandRegistry::instance().clear(); }
    void addCustomer(const QString &code, const QString &email)
    {
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_empName,F_email) values(%1,'x','admin',%2)")
                               .arg(sqlQuoted(code), email.isNull() ? QStringLiteral("NULL") : sqlQuoted(email))));
    }
    QByteArray file(const QString &name) const
    {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }
};

} // namespace

class TstExportEmail : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }

    void writesTheAddresses_data() { TestDb::addBackendRows(); }
    void writesTheAddresses()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.addCustomer(QStringLiteral("A1"), QStringLiteral(" a@x.com "));
        f.addCustomer(QStringLiteral("A2"), QStringLiteral("   "));
        f.addCustomer(QStringLiteral("A3"), QString());
        f.addCustomer(QStringLiteral("A4"), QStringLiteral("b'o@y.cn"));
        f.addCustomer(QStringLiteral("A5"), QStringLiteral("王@例子.中国"));
        f.w->RunQuery();
        f.addCustomer(QStringLiteral("A0"), QStringLiteral("late@x.com"));   // not in the main window's list

        TfrmExportEmail e(*f.w);
        const QString before = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhh"));
        e.show();
        const QString after = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhh"));
        QVERIFY(e.edtFilename->text() == before || e.edtFilename->text() == after);
        QCOMPARE(e.rangeGroup->checkedId(), 0);

        // The main window's list, in its order; blank addresses leave no line.
        e.edtFilename->setText(QStringLiteral("  list  "));
        e.Button1->click();
        QCOMPARE(f.file(QStringLiteral("list.txt")), QByteArray(" a@x.com \r\nb'o@y.cn\r\n王@例子.中国\r\n"));
        QCOMPARE(f.seams.shell.opened, QStringList{QDir(f.dir.path()).filePath(QStringLiteral("list.txt"))});
        QCOMPARE(e.windowTitle(), QStringLiteral("导出客户电子信箱( 5 )"));
        QCOMPARE(e.ProgressBar1->value(), 5);
        QCOMPARE(e.ProgressBar1->maximum(), 5);

        // All customers, into the same file again: replaced.
        e.rangeGroup->button(1)->click();
        e.Button1->click();
        const QByteArray all = f.file(QStringLiteral("list.txt"));
        QCOMPARE(all.count("\r\n"), 4);
        QVERIFY(all.contains("late@x.com\r\n") && all.contains(" a@x.com \r\n"));
        QCOMPARE(e.windowTitle(), QStringLiteral("导出客户电子信箱( 6 )"));
        QCOMPARE(f.seams.shell.opened.size(), 2);
        QVERIFY(f.seams.dialogs.calls.isEmpty());
    }

    // A long main list is read again in its own order, or, once the
    // operator sorted it, in the order shown.
    void longList_data() { TestDb::addBackendRows(); }
    void longList()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        QVERIFY(f.dm->ADOcnn.beginTransaction());
        QByteArray expected;
        for (int i = 1; i <= 1200; ++i) {
            const QString code = QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0'));
            const QString email = i % 7 == 0 ? QString() : code + QStringLiteral("@x'y.cn");
            f.addCustomer(code, email);
            if (!email.isEmpty()) expected += email.toUtf8() + "\r\n";
        }
        QVERIFY(f.dm->ADOcnn.commit());
        f.w->RunQuery();
        QVERIFY(!f.w->customerList()->isFullyFetched());
        TfrmExportEmail e(*f.w);
        e.show();
        e.edtFilename->setText(QStringLiteral("long"));
        e.Button1->click();
        QCOMPARE(f.file(QStringLiteral("long.txt")), expected);
        QCOMPARE(e.windowTitle(), QStringLiteral("导出客户电子信箱( 1200 )"));

        f.w->customerList()->setSort(QStringLiteral("F_code DESC"));
        e.Button1->click();
        QList<QByteArray> lines = expected.split('\n');
        lines.removeLast();
        std::reverse(lines.begin(), lines.end());
        QCOMPARE(f.file(QStringLiteral("long.txt")), lines.join('\n') + '\n');
        QVERIFY(f.seams.dialogs.calls.isEmpty());
    }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "   " << 0 << "生成的文件名字不能为空！";
        QTest::newRow("no such folder") << "no/such/x" << 3 << "no/such/x.txt";
    }
    void refusedNames()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, text);
        Fixture f(QStringLiteral("sqlite"));
        f.addCustomer(QStringLiteral("A1"), QStringLiteral("a@x.com"));
        f.w->RunQuery();
        TfrmExportEmail e(*f.w);
        e.show();
        e.edtFilename->setText(name);
        e.Button1->click();
        QCOMPARE(f.seams.dialogs.calls.size(), 1);
        QCOMPARE(f.seams.dialogs.calls[0].kind, kind);
        QVERIFY2(f.seams.dialogs.calls[0].text.contains(text), qPrintable(f.seams.dialogs.calls[0].text));
        QVERIFY(f.seams.shell.opened.isEmpty());
    }

    // No address anywhere: the file is made empty and still opened.
    void noAddresses()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.addCustomer(QStringLiteral("A1"), QString());
        provideReportWindows();
        f.seams.dialogs.handleDialog([](QDialog &d) {
            auto *e = qobject_cast<TfrmExportEmail *>(&d);
            if (!e) return -1;
            e->rangeGroup->button(1)->click();
            e->edtFilename->setText(QStringLiteral("none"));
            e->Button1->click();
            return 0;
        });
        f.w->action(307)->trigger();
        QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("导出客户电子信箱")});
        QCOMPARE(f.file(QStringLiteral("none.txt")), QByteArray());
        QCOMPARE(f.seams.shell.opened.size(), 1);
    }
};

QTEST_MAIN(TstExportEmail)
#include "tst_exportemail.moc"
