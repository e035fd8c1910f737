// The server goes away under the program: its sessions are ended, it is
// stopped, or it is restarted, just before the operator's command. Each
// command answers within a bounded time with its own message (never the
// server's text), the window stays as the operator left it, a write
// reported as failed wrote nothing, and once the server is there again the
// same command succeeds and writes once, without any reconnecting by hand.
// The tests run on a PostgreSQL cluster of their own, which they stop.

#include "ChildRun.h"
#include "PgCluster.h"
#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "ZipEntry.h"

#include "customers/TFrmMain.h"
#include "customers/TfrmCltEdit.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "maintenance/TFrmDataBack.h"
#include "maintenance/TfrmExcelImport.h"
#include "reportengine/TfrmPreview.h"
#include "service/TfrmWXrecEdit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>

using ChildRun::Look;

namespace {

enum Loss { Terminated, Stopped, Restarted };

const QString kOpenFailed = QStringLiteral("打开操作失败，请检查数据连接... ");
const QString kLookupFailed = QStringLiteral("操作失败，请检查数据连接... ");
const QString kSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");
const QString kImportFailed = QStringLiteral("导入失败，请联系管理人员.....");
const QString kBackupFailed = QStringLiteral("备份失败，请与管理员联系！");
const QString kBackupDone = QStringLiteral("数据备份成功！");
const QString kImportDone = QStringLiteral("导入非常成功，请检查资料表核对！");

constexpr int kCustomers = 600;   // more than a page: exports and prints read the list again

bool isFailureText(const QString &t)
{
    return t == kOpenFailed || t == kLookupFailed || t == kSaveFailed || t == kImportFailed || t == kBackupFailed;
}

// The message boxes shown, in order.
QStringList shown(const ScriptedDialogs &d)
{
    QStringList r;
    for (const ScriptedDialogs::Call &c : d.calls)
        if (c.what == QLatin1String("message") || c.what == QLatin1String("standard")) r << c.text;
    return r;
}

// The rows of a written workbook's first sheet.
int sheetRows(const QString &file)
{
    return int(QString::fromUtf8(zipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml"))).count(QStringLiteral("<row ")));
}

// Customers whose name "客户<n>" contains the digit 1.
int namesWithOne()
{
    int n = 0;
    for (int i = 1; i <= kCustomers; ++i) n += QString::number(i).contains(u'1');
    return n;
}

// A fresh database with a long customer list, the main window shown over it.
struct Fixture {
    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    std::unique_ptr<TFrmMain> w;
    ConnectionSettings settings;

    void setUp()
    {
        QVERIFY(dir.isValid());
        dm = TestDb::freshModule(QStringLiteral("postgres"), dir.path());
        settings = dm->ADOcnn.settings();
        TestDb::signIn();
        {
            QSqlQuery q(dm->ADOcnn.database());
            QVERIFY2(q.exec(QStringLiteral("insert into t_client(F_code,F_name) select 'C' || lpad(g::text, 5, '0'), "
                                           "'客户' || g from generate_series(1, %1) as g").arg(kCustomers)),
                     qPrintable(q.lastError().text()));
        }
        w = std::make_unique<TFrmMain>();
        w->SetLimits(QStringLiteral("admin"));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->RunQuery();
        QVERIFY(w->QryMain->isActive());
        // The count and the footers come from readers of their own: done before the loss.
        QTRY_VERIFY_WITH_TIMEOUT(w->QryMain->isRecordCountKnown(), 15000);
        QTest::qWait(800);
        QCOMPARE(w->QryMain->recordCount(), kCustomers);
        seams.dialogs.calls.clear();
    }
};

// One command of the operator, worked as the operator works it.
class Operation {
public:
    virtual ~Operation() = default;
    // While the server is up: the window opened and filled in.
    virtual void prepare(Fixture &) {}
    // The command; true when it did what was asked.
    virtual bool run(Fixture &f) = 0;
    // What the command left (rows, files); -1 for a command that only reads.
    virtual int written(Fixture &, Look &) { return -1; }
    // After the command: the window there, with what the operator entered;
    // empty when it is, otherwise what is wrong.
    virtual QString usable(Fixture &f, bool done)
    {
        Q_UNUSED(done);
        return f.w->isVisible() && f.w->isEnabled() ? QString() : QStringLiteral("the main window is gone");
    }
    // The messages of a success.
    virtual QStringList doneTexts() const { return {}; }
};

class RefreshListOp : public Operation {
public:
    bool run(Fixture &f) override
    {
        f.w->RefreshList();
        return f.w->QryMain->isActive() && f.w->QryMain->recordCount() == kCustomers;
    }
    QString usable(Fixture &f, bool done) override
    {
        // A list that could not be opened stays closed: nothing stale is shown.
        if (!done && f.w->QryMain->isActive()) return QStringLiteral("the list is still open");
        return Operation::usable(f, done);
    }
};

class SearchKeyOp : public Operation {
public:
    void prepare(Fixture &f) override
    {
        f.w->ComboBox1->setCurrentIndex(0);   // 用户名称
        f.w->Edit1->setFocus();
    }
    bool run(Fixture &f) override
    {
        {
            const QSignalBlocker quiet(f.w->Edit1);
            f.w->Edit1->clear();
        }
        QTest::keyClick(f.w->Edit1, '1');
        return f.w->QryMain->isActive() && f.w->QryMain->recordCount() == namesWithOne();
    }
    QString usable(Fixture &f, bool done) override
    {
        if (f.w->Edit1->text() != QLatin1String("1")) return QStringLiteral("search text: ") + f.w->Edit1->text();
        return Operation::usable(f, done);
    }
};

class CustomerSaveOp : public Operation {
public:
    void prepare(Fixture &f) override
    {
        m_editor = std::make_unique<TfrmCltEdit>(*f.w, f.w.get());
        QVERIFY(m_editor->prepare(TfrmCltEdit::NewMode));
        m_editor->show();
        m_editor->edtcode->setText(QStringLiteral("LOST'C"));
        m_editor->edtName->setText(QStringLiteral("失联'客户"));
    }
    bool run(Fixture &) override
    {
        m_editor->Button1->click();
        return m_editor->result() == QDialog::Accepted;
    }
    int written(Fixture &, Look &look) override
    {
        return look.count(QStringLiteral("select count(*) from t_client where F_code = 'LOST''C' and F_name = '失联''客户'"));
    }
    QString usable(Fixture &f, bool done) override
    {
        if (done) return m_editor->isVisible() ? QStringLiteral("the editor stayed open") : Operation::usable(f, done);
        if (!m_editor->isVisible()) return QStringLiteral("the editor closed");
        const QString entered = m_editor->edtcode->text() + u'/' + m_editor->edtName->text();
        return entered == QStringLiteral("LOST'C/失联'客户") ? QString() : QStringLiteral("entries: ") + entered;
    }

private:
    std::unique_ptr<TfrmCltEdit> m_editor;
};

class RepairSaveOp : public Operation {
public:
    void prepare(Fixture &f) override
    {
        m_editor = std::make_unique<TfrmWXrecEdit>(f.w.get(), f.w.get());
        m_editor->SetFromMain(true);
        m_editor->prepare(TfrmServiceEdit::NewMode);
        m_editor->show();
        QCOMPARE(m_editor->edtCLTcode->text(), QStringLiteral("C00001"));
        m_editor->cbbReason->setCurrentText(QStringLiteral("失联'维修"));
    }
    bool run(Fixture &) override
    {
        m_editor->Button1->click();
        return m_editor->result() == QDialog::Accepted;
    }
    int written(Fixture &, Look &look) override
    {
        return look.count(QStringLiteral("select count(*) from T_WXrec where F_reason = '失联''维修' and F_cltcode = 'C00001'"));
    }
    QString usable(Fixture &f, bool done) override
    {
        if (done) return m_editor->isVisible() ? QStringLiteral("the editor stayed open") : Operation::usable(f, done);
        if (!m_editor->isVisible()) return QStringLiteral("the editor closed");
        const QString entered = m_editor->cbbReason->currentText();
        return entered == QStringLiteral("失联'维修") ? QString() : QStringLiteral("reason: ") + entered;
    }

private:
    std::unique_ptr<TfrmWXrecEdit> m_editor;
};

class ExportListOp : public Operation {
public:
    ~ExportListOp() override
    {
        for (const QString &p : std::as_const(m_files)) QFile::remove(p);
    }
    bool run(Fixture &f) override
    {
        const qsizetype before = f.seams.shell.opened.size();
        f.w->action(301)->trigger();
        m_files = f.seams.shell.opened;
        // Every row of the list, below the title row.
        return f.seams.shell.opened.size() == before + 1 && sheetRows(f.seams.shell.opened.last()) == kCustomers + 1;
    }
    int written(Fixture &f, Look &) override { return int(f.seams.shell.opened.size()); }

private:
    QStringList m_files;
};

class PrintListOp : public Operation {
public:
    void prepare(Fixture &f) override
    {
        QVERIFY(QDir().mkpath(f.dir.filePath(QStringLiteral("Qr"))));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/Qr/frCltList.frf"),
                            f.dir.filePath(QStringLiteral("Qr/frCltList.frf"))));
        // The pages of the whole list, printed while the server is there.
        m_wholePages = print(f);
        QVERIFY(m_wholePages > 1);
    }
    bool run(Fixture &f) override { return print(f) == m_wholePages; }

private:
    // The pages of the preview offered; -1 when none was. One handler waits
    // for the preview at a time: a print that offered none leaves it waiting.
    int print(Fixture &f)
    {
        m_seen->pages = -1;
        if (!m_seen->waiting) {
            m_seen->waiting = true;
            f.seams.dialogs.handleDialog([seen = m_seen](QDialog &d) {
                seen->waiting = false;
                if (const auto *preview = dynamic_cast<Report::TfrmPreview *>(&d)) seen->pages = preview->pageCount();
                return int(QDialog::Rejected);
            });
        }
        f.w->action(304)->trigger();
        return m_seen->pages;
    }
    struct Seen {
        int pages = -1;
        bool waiting = false;
    };
    std::shared_ptr<Seen> m_seen = std::make_shared<Seen>();
    int m_wholePages = 0;
};

class ImportBatchOp : public Operation {
public:
    void prepare(Fixture &f) override
    {
        const QString file = f.dir.filePath(QStringLiteral("import.csv"));
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("ID码,用户名称\nLOST-I,\"导入'客户\"\n");
        csv.close();
        m_wizard = std::make_unique<TfrmExcelImport>(QStringLiteral("t_client"), f.w.get());
        m_wizard->edtXlsFileName->setText(file);
        for (int guard = 0; m_wizard->step() < 3 && guard < 5; ++guard) m_wizard->Button4->click();
        QCOMPARE(m_wizard->step(), 3);
        QCOMPARE(m_wizard->preview().rowCount(), 1);
    }
    bool run(Fixture &) override
    {
        m_wizard->Button4->click();
        return m_wizard->result() == QDialog::Accepted;
    }
    int written(Fixture &, Look &look) override
    {
        return look.count(QStringLiteral("select count(*) from t_client where F_code = 'LOST-I' and F_name = '导入''客户'"));
    }
    QString usable(Fixture &, bool done) override
    {
        if (done || (m_wizard->step() == 3 && m_wizard->preview().rowCount() == 1)) return {};
        return QStringLiteral("step %1, %2 preview rows").arg(m_wizard->step()).arg(m_wizard->preview().rowCount());
    }
    QStringList doneTexts() const override { return {kImportDone}; }

private:
    std::unique_ptr<TfrmExcelImport> m_wizard;
};

class BackupOp : public Operation {
public:
    void prepare(Fixture &f) override
    {
        m_folder = f.dir.filePath(QStringLiteral("bak"));
        QVERIFY(QDir().mkpath(m_folder));
        m_window = std::make_unique<TFrmDataBack>(f.w.get());
        m_window->show();
        m_window->edtBackPath->setText(m_folder);
    }
    bool run(Fixture &) override
    {
        m_window->BackData->click();
        return QFileInfo(file()).size() > 0;
    }
    int written(Fixture &, Look &) override
    {
        // A failed backup leaves neither the day's file nor a part of it.
        return int(QDir(m_folder).entryList(QDir::Files).size());
    }
    QString usable(Fixture &, bool) override { return m_window->isVisible() ? QString() : QStringLiteral("the window closed"); }
    QStringList doneTexts() const override { return {kBackupDone}; }

private:
    QString file() const { return TdmData::backupFileName(m_folder, QDate::currentDate()); }
    QString m_folder;
    std::unique_ptr<TFrmDataBack> m_window;
};

std::unique_ptr<Operation> makeOperation(const QString &name)
{
    if (name == QLatin1String("list")) return std::make_unique<RefreshListOp>();
    if (name == QLatin1String("search")) return std::make_unique<SearchKeyOp>();
    if (name == QLatin1String("customer")) return std::make_unique<CustomerSaveOp>();
    if (name == QLatin1String("repair")) return std::make_unique<RepairSaveOp>();
    if (name == QLatin1String("export")) return std::make_unique<ExportListOp>();
    if (name == QLatin1String("print")) return std::make_unique<PrintListOp>();
    if (name == QLatin1String("import")) return std::make_unique<ImportBatchOp>();
    if (name == QLatin1String("backup")) return std::make_unique<BackupOp>();
    qFatal("no operation %s", qPrintable(name));
}

} // namespace

class TestLostServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) QSKIP("the Qt PostgreSQL driver is not installed");
        const QString why = m_cluster.start();
        if (!why.isEmpty()) QSKIP(qPrintable(why));
        // The fixtures make their databases on this cluster, not the suite's shared server.
        qputenv("CLSERVICE_TEST_PG_PORT", QByteArray::number(m_cluster.port()));
    }

    void cleanupTestCase()
    {
        qInfo("lost server: %d cases, %d answered with a failure, %d done at once, %d retried and done; "
              "longest answer %.1f s, longest retry %.1f s",
              m_cases, m_failed, m_doneAtOnce, m_retried, m_longestMs / 1000.0, m_longestRetryMs / 1000.0);
    }

    // A case that stopped the server and ended early leaves it up for the next.
    void init()
    {
        if (!m_cluster.running()) QVERIFY2(m_cluster.startAgain(), qPrintable(m_cluster.lastOutput()));
    }

    // `answer`: the messages shown while the server is away. `doneAtOnce`:
    // the command did its work anyway (its own new connection to a server
    // that is there, or a look-up that failed before the session was opened
    // again); otherwise it failed, wrote nothing, and the next try succeeds.
    void lost_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("loss");
        QTest::addColumn<QStringList>("answer");
        QTest::addColumn<bool>("doneAtOnce");
        const struct {
            const char *operation;
            Loss loss;
            QStringList answer;
            bool doneAtOnce;
        } cases[] = {
            {"list", Terminated, {kOpenFailed}, false},
            {"list", Stopped, {kOpenFailed}, false},
            {"list", Restarted, {kOpenFailed}, false},
            {"search", Terminated, {kOpenFailed}, false},
            {"search", Stopped, {kOpenFailed}, false},
            {"search", Restarted, {kOpenFailed}, false},
            // The code check is the first statement: its look-up fails and
            // counts as no repeat, then the save runs on the session opened again.
            {"customer", Terminated, {kLookupFailed}, true},
            {"customer", Stopped, {kLookupFailed, kSaveFailed}, false},
            {"customer", Restarted, {kLookupFailed}, true},
            {"repair", Terminated, {kSaveFailed}, false},
            {"repair", Stopped, {kSaveFailed}, false},
            {"repair", Restarted, {kSaveFailed}, false},
            // The list's keys are read first; that read failing, the rows are
            // read by position on the session opened again.
            {"export", Terminated, {}, true},
            {"export", Stopped, {kOpenFailed}, false},
            {"export", Restarted, {}, true},
            // The company heading is read first; the list is read on the session opened again.
            {"print", Terminated, {kOpenFailed}, true},
            {"print", Stopped, {kOpenFailed, kOpenFailed}, false},
            {"print", Restarted, {kOpenFailed}, true},
            {"import", Terminated, {kImportFailed}, false},
            {"import", Stopped, {kImportFailed}, false},
            {"import", Restarted, {kImportFailed}, false},
            // The dump opens a connection of its own.
            {"backup", Terminated, {kBackupDone}, true},
            {"backup", Stopped, {kBackupFailed}, false},
            {"backup", Restarted, {kBackupDone}, true},
        };
        static const char *const lossNames[] = {"terminated", "stopped", "restarted"};
        for (const auto &c : cases)
            QTest::addRow("%s, %s", c.operation, lossNames[c.loss])
                << QString::fromLatin1(c.operation) << int(c.loss) << c.answer << c.doneAtOnce;
    }

    void lost()
    {
        QFETCH(QString, operation);
        QFETCH(int, loss);
        QFETCH(QStringList, answer);
        QFETCH(bool, doneAtOnce);
        Fixture f;
        f.setUp();
        if (QTest::currentTestFailed()) return;
        const std::unique_ptr<Operation> op = makeOperation(operation);
        op->prepare(f);
        if (QTest::currentTestFailed()) return;
        f.seams.dialogs.calls.clear();

        switch (Loss(loss)) {
        case Terminated: QVERIFY(m_cluster.terminateSessions(f.settings.database) > 0); break;
        case Stopped: QVERIFY2(m_cluster.stop(), qPrintable(m_cluster.lastOutput())); break;
        case Restarted: QVERIFY2(m_cluster.restart(), qPrintable(m_cluster.lastOutput())); break;
        }
        QElapsedTimer answered;
        answered.start();
        const bool done = op->run(f);
        const qint64 ms = answered.elapsed();
        ++m_cases;
        m_longestMs = qMax(m_longestMs, ms);
        qInfo("%s: answered in %lld ms", QTest::currentDataTag(), qlonglong(ms));
        QVERIFY2(ms < 30000, "the command hung on the lost server");
        QCOMPARE(shown(f.seams.dialogs), answer);
        for (const ScriptedDialogs::Call &c : std::as_const(f.seams.dialogs.calls))
            if (isFailureText(c.text)) QCOMPARE(c.kind, 3);
        QCOMPARE(done, doneAtOnce);
        QVERIFY2(op->usable(f, done).isEmpty(), qPrintable(op->usable(f, done)));

        if (Loss(loss) == Stopped) QVERIFY2(m_cluster.startAgain(), qPrintable(m_cluster.lastOutput()));
        Look look(f.settings);
        QVERIFY2(look.isOpen(), qPrintable(look.error()));
        if (done) {
            ++m_doneAtOnce;
            if (const int n = op->written(f, look); n >= 0) QCOMPARE(n, 1);
            return;
        }
        ++m_failed;
        if (const int n = op->written(f, look); n >= 0) QCOMPARE(n, 0);

        // The next try, on the connection the program mended itself.
        f.seams.dialogs.calls.clear();
        QElapsedTimer retried;
        retried.start();
        const bool again = op->run(f);
        m_longestRetryMs = qMax(m_longestRetryMs, retried.elapsed());
        QVERIFY2(again, qPrintable(shown(f.seams.dialogs).join(u'|')));
        QCOMPARE(shown(f.seams.dialogs), op->doneTexts());
        QVERIFY2(op->usable(f, true).isEmpty(), qPrintable(op->usable(f, true)));
        if (const int n = op->written(f, look); n >= 0) QCOMPARE(n, 1);
        ++m_retried;
    }

private:
    PgCluster m_cluster;
    int m_cases = 0;
    int m_failed = 0;
    int m_doneAtOnce = 0;
    int m_retried = 0;
    qint64 m_longestMs = 0;
    qint64 m_longestRetryMs = 0;
};

QTEST_MAIN(TestLostServer)
#include "tst_lostserver.moc"
