// The business reminders on every backend: which reminder dates are listed
// and marked, the two settings, the report-design button, print, going to
// the customer in the main window, and the window opening by itself at start.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PrivateProfile.h"
#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "components/DataGrid.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "reportengine/TfrmPreview.h"
#include "reports/TFrmReportGl.h"
#include "reports/TfrmAwokeGl.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString day(int n) { return QDate::currentDate().addDays(n).toString(QStringLiteral("yyyy-MM-dd")); }

struct Fixture {
    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<PrivateProfile> ini;
    std::unique_ptr<TFrmMain> w;
    explicit Fixture(const QString &backend, const QString &oper = QStringLiteral("admin"))
    {
        dm = TestDb::freshModule(backend, dir.path());
        TestDb::signIn(oper);
        ini = std::make_unique<PrivateProfile>(dir.filePath(QStringLiteral("Config.ini")));
        PubUnit::IniFile = ini.get();
        w = std::make_unique<TFrmMain>();
        w->SetLimits(oper);
    }
    ~Fixture()
    {
        PubUnit::IniFile = nullptr;
        CommandRegistry::instance().clear();
    }
    void addCustomer(const QString &code, const QString &awoke)
    {
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_empName,F_awokeDate) values(%1,%2,'admin',%3)")
                               .arg(sqlQuoted(code), sqlQuoted(QStringLiteral("客户") + code),
                                    awoke.isEmpty() ? QStringLiteral("NULL") : sqlQuoted(awoke))));
    }
    QStringList listed(const TfrmAwokeGl &a) const
    {
        QStringList out;
        const DataSet &ds = *a.QryTable1;
        for (int r = 0; r < ds.recordCount(); ++r)
            out << ds.value(r, ds.fieldIndex("F_code")).toString() + u'=' + ds.value(r, ds.fieldIndex("F_num")).toString();
        out.sort();
        return out;
    }
};

} // namespace

class TstReminders : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }

    // From today through N days ahead, both included; today in red.
    void listsWhatIsDue_data() { TestDb::addBackendRows(); }
    void listsWhatIsDue()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        QVERIFY(f.ini->writeInteger(QStringLiteral("set"), QStringLiteral("awokeday"), 3));
        f.addCustomer(QStringLiteral("T'0"), day(0));
        f.addCustomer(QStringLiteral("T1"), day(0) + " 23:59:59");
        f.addCustomer(QStringLiteral("N"), day(3) + " 18:00:00");
        f.addCustomer(QStringLiteral("N+1"), day(4));
        f.addCustomer(QStringLiteral("Y"), day(-1) + " 23:59:59");
        f.addCustomer(QStringLiteral("S"), QString::fromLatin1(PubUnit::NoDate));
        f.addCustomer(QStringLiteral("E"), QString());
        TfrmAwokeGl a(*f.w, false);
        a.show();
        QCOMPARE(a.rseDate1->value(), 3);
        QCOMPARE(f.listed(a), (QStringList{"N=3", "T'0=0", "T1=0"}));
        const int days = a.DBGridEh1->columnOfField(QStringLiteral("F_num"));
        QVERIFY(days >= 0);
        for (int r = 0; r < a.QryTable1->recordCount(); ++r) {
            const QModelIndex cell = a.DBGridEh1->model()->index(r, 0);
            const bool today = a.DBGridEh1->cellText(r, days) == QLatin1String("0");
            QCOMPARE(cell.data(Qt::ForegroundRole).value<QColor>() == QColor(Qt::red), today);
        }

        // The spin box alone does not list again; 刷新 does.
        a.rseDate1->setValue(4);
        QCOMPARE(a.QryTable1->recordCount(), 3);
        a.Button1->click();
        QCOMPARE(f.listed(a), (QStringList{"N+1=4", "N=3", "T'0=0", "T1=0"}));
        QVERIFY(f.seams.dialogs.calls.isEmpty());
    }

    // The stored settings: the spin box keeps 1..31; closing writes both back.
    void settings_data()
    {
        QTest::addColumn<QString>("stored");   // awokeday, empty: absent
        QTest::addColumn<int>("shown");
        QTest::newRow("absent") << QString() << 1;
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("in range") << "12" << 12;
        QTest::newRow("above") << "40" << 31;
    }
    void settings()
    {
        QFETCH(QString, stored);
        QFETCH(int, shown);
        Fixture f(QStringLiteral("sqlite"));
        if (!stored.isEmpty()) QVERIFY(f.ini->writeString(QStringLiteral("set"), QStringLiteral("awokeday"), stored));
        {
            TfrmAwokeGl a(*f.w, false);
            a.show();
            QCOMPARE(a.rseDate1->value(), shown);
            QVERIFY(!a.CheckBox1->isChecked());
            a.CheckBox1->setChecked(true);
            a.Button3->click();
            QVERIFY(!a.isVisible());
            QCOMPARE(a.result(), int(QDialog::Rejected));
        }
        QCOMPARE(f.ini->readString(QStringLiteral("set"), QStringLiteral("awokeday")), QString::number(shown));
        QCOMPARE(f.ini->readString(QStringLiteral("set"), QStringLiteral("awokeflag")), QStringLiteral("1"));
    }

    void designButtonForAdminOnly_data()
    {
        QTest::addColumn<QString>("oper");
        QTest::addColumn<bool>("shown");
        QTest::newRow("admin") << "admin" << true;
        QTest::newRow("Admin") << "Admin" << true;
        QTest::newRow("ADMIN") << "ADMIN" << true;
        QTest::newRow("admin2") << "admin2" << false;
        QTest::newRow("other") << "王'五" << false;
    }
    void designButtonForAdminOnly()
    {
        QFETCH(QString, oper);
        QFETCH(bool, shown);
        Fixture f(QStringLiteral("sqlite"), oper);
        TfrmAwokeGl a(*f.w, false);
        a.show();
        QCOMPARE(a.Button4->isVisible(), shown);
    }

    void printAndDesign()
    {
        Fixture f(QStringLiteral("sqlite"));
        QDir().mkpath(f.dir.filePath(QStringLiteral("Qr")));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/Qr/frAwokeFx.frf"),
                            f.dir.filePath(QStringLiteral("Qr/frAwokeFx.frf"))));
        TfrmAwokeGl a(*f.w, false);
        a.show();
        a.Button2->click();   // nothing due: nothing printed, nothing said
        QVERIFY(f.seams.dialogs.calls.isEmpty());

        f.addCustomer(QStringLiteral("A'1"), day(1));
        a.Button1->click();
        QStringList texts;
        f.seams.dialogs.handleDialog([&texts](QDialog &d) {
            if (auto *p = qobject_cast<Report::TfrmPreview *>(&d))
                for (const Report::PreparedItem &i : p->report().pages.value(0).items) texts << i.text;
            return int(QDialog::Rejected);
        });
        a.Button2->click();
        a.Button4->click();
        QCOMPARE(f.seams.dialogs.texts(), (QStringList{"预览", "报表设计"}));
        QVERIFY2(texts.contains(QStringLiteral("客户A'1")), qPrintable(texts.join('|')));
    }

    // 定位到此记录 opens the customer editor through the main window, only
    // for a customer it lists and an operator who may change customers.
    void goToTheCustomer_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<QString>("oper");
        QTest::addColumn<bool>("listedInMain");
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<QStringList>("dialogs");
        const QStringList editor{QStringLiteral("用户档案 - 修改")};
        for (const QString &b : TestDb::backends()) {
            const QByteArray n = b.toLatin1();
            QTest::newRow(n + " admin") << b << "admin" << true << false << editor;
            QTest::newRow(n + " without the right") << b << "op1" << true << false << QStringList();
            QTest::newRow(n + " not in the main list") << b << "admin" << false << false << QStringList();
            QTest::newRow(n + " at start") << b << "admin" << true << true << editor;
        }
    }
    void goToTheCustomer()
    {
        FETCH_BACKEND(backend);
        QFETCH(QString, oper);
        QFETCH(bool, listedInMain);
        QFETCH(bool, atStart);
        QFETCH(QStringList, dialogs);
        Fixture f(backend, oper);
        f.addCustomer(QStringLiteral("B1"), day(9));
        if (listedInMain) f.addCustomer(QStringLiteral("A1"), day(0));
        f.w->RunQuery();
        if (!listedInMain) f.addCustomer(QStringLiteral("A1"), day(0));   // added after the main list was read
        TfrmAwokeGl a(*f.w, atStart);
        a.show();
        QCOMPARE(a.QryTable1->recordCount(), 1);
        a.N3->trigger();
        QCOMPARE(f.seams.dialogs.texts(), dialogs);
        if (listedInMain) QCOMPARE(f.w->customerList()->fieldByName(QStringLiteral("F_code")).asString(), QStringLiteral("A1"));
        // Opened from the menu the window closes; the one from the start stays.
        QCOMPARE(a.isVisible(), atStart);
        if (!atStart) QCOMPARE(a.result(), int(QDialog::Accepted));
    }

    // At start the window opens by itself when asked to and something is due,
    // modeless and on top; with nothing due it closes again at once.
    void opensAtStart_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("flag");
        QTest::addColumn<int>("dueIn");   // -1: none due
        QTest::addColumn<bool>("open");
        for (const QString &b : TestDb::backends()) {
            const QByteArray n = b.toLatin1();
            QTest::newRow(n + " due tomorrow") << b << true << 1 << true;
            QTest::newRow(n + " nothing due") << b << true << -1 << false;
            QTest::newRow(n + " not asked") << b << false << 1 << false;
        }
    }
    void opensAtStart()
    {
        FETCH_BACKEND(backend);
        QFETCH(bool, flag);
        QFETCH(int, dueIn);
        QFETCH(bool, open);
        Fixture f(backend);
        QVERIFY(f.ini->writeBool(QStringLiteral("set"), QStringLiteral("awokeflag"), flag));
        f.addCustomer(QStringLiteral("C1"), dueIn >= 0 ? day(dueIn) : day(-2));
        provideReportWindows();
        f.w->show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QPointer<TfrmAwokeGl> a = f.w->findChild<TfrmAwokeGl *>();
        QCOMPARE(bool(a), open);
        QVERIFY(f.seams.dialogs.calls.isEmpty());
        if (!open) return;
        QVERIFY(a->isVisible());
        QVERIFY(!a->isModal());
        QVERIFY(a->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(a->QryTable1->recordCount(), 1);
        // Unticked and closed: it stays away next time.
        a->CheckBox1->setChecked(false);
        a->Button3->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!a);
        QCOMPARE(f.ini->readString(QStringLiteral("set"), QStringLiteral("awokeflag")), QStringLiteral("0"));
    }

    void menuCommandOpensItModally()
    {
        Fixture f(QStringLiteral("sqlite"));
        provideReportWindows();
        f.seams.dialogs.handleDialog([](QDialog &d) { return qobject_cast<TfrmAwokeGl *>(&d) ? 0 : -1; });
        f.w->action(402)->trigger();
        QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("业务提醒")});
        QCOMPARE(f.ini->readString(QStringLiteral("set"), QStringLiteral("awokeday")), QStringLiteral("1"));
    }
};

QTEST_MAIN(TstReminders)
#include "tst_reminders.moc"
