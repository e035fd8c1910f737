// The report manager on the main window's sources: its guards, the preview
// of a template printed from frMain and SysInfo, and its command opened
// through the registry.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/CommandRegistry.h"
#include "customers/TFrmMain.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"
#include "reportengine/TemplateFile.h"
#include "reportengine/TfrmDesigner.h"
#include "reportengine/TfrmPreview.h"
#include "reports/TFrmReportGl.h"

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One line per customer with the company's name above it.
Report::ReportTemplate listTemplate()
{
    Report::ReportTemplate t;
    Report::Band title;
    title.kind = Report::BandKind::ReportTitle;
    Report::ReportObject company;
    company.rect = QRectF(0, 0, 100, 8);
    company.text = QStringLiteral("[SysInfo.F_Code]");
    title.objects << company;
    Report::Band data;
    data.kind = Report::BandKind::MasterData;
    data.source = QStringLiteral("frMain");
    Report::ReportObject name;
    name.rect = QRectF(0, 0, 100, 8);
    name.text = QStringLiteral("[frMain.F_code] [frMain.F_name]");
    data.objects << name;
    t.bands << title << data;
    return t;
}

QStringList pageTexts(const Report::TfrmPreview &preview)
{
    QStringList texts;
    for (const Report::PreparedPage &p : preview.report().pages)
        for (const Report::PreparedItem &i : p.items)
            if (i.kind == Report::PreparedItem::Text) texts << i.text;
    return texts;
}

} // namespace

class TstReportManager : public QObject {
    Q_OBJECT

    struct Fixture {
        QTemporaryDir dir;
        ScopedSeams seams;
        std::unique_ptr<TdmData> dm;
        std::unique_ptr<TFrmMain> w;
        explicit Fixture(const QString &backend)
        {
            dm = TestDb::freshModule(backend, dir.path());
            TestDb::signIn();
            QDir().mkpath(dir.filePath(QStringLiteral("Qr")));
            for (const TFrmReportGl::Item &item : TFrmReportGl::Items) {
                QString error;
                QVERIFY2(Report::saveTemplate(listTemplate(), Report::templatePath(QString::fromUtf8(item.file)), &error),
                         qPrintable(error));
            }
            w = std::make_unique<TFrmMain>();
            w->SetLimits(QStringLiteral("admin"));
        }
        void addCustomer(const QString &code, const QString &name)
        {
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_empName) values(%1,%2,'admin')")
                                   .arg(sqlQuoted(code), sqlQuoted(name))));
        }
    };

private slots:
    // 设计 of the two dispatch sheets works on an empty customer list, every
    // other command needs a customer; no item chosen does nothing.
    void guards_data()
    {
        QTest::addColumn<bool>("withCustomer");
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("design");
        QTest::addColumn<QStringList>("opened");
        const QStringList designer{QStringLiteral("报表设计")}, preview{QStringLiteral("预览")};
        QTest::newRow("none chosen") << true << -1 << true << QStringList();
        QTest::newRow("detail report, empty, design") << false << 0 << true << QStringList();
        QTest::newRow("labels, empty, preview") << false << 3 << false << QStringList();
        QTest::newRow("sales sheet, empty, design") << false << 4 << true << designer;
        QTest::newRow("repair sheet, empty, design") << false << 5 << true << designer;
        QTest::newRow("sales sheet, empty, preview") << false << 4 << false << QStringList();
        QTest::newRow("repair sheet, empty, preview") << false << 5 << false << QStringList();
        QTest::newRow("list, design") << true << 1 << true << designer;
        QTest::newRow("repair sheet, preview") << true << 5 << false << preview;
    }
    void guards()
    {
        QFETCH(bool, withCustomer);
        QFETCH(int, item);
        QFETCH(bool, design);
        QFETCH(QStringList, opened);
        Fixture f(QStringLiteral("sqlite"));
        if (withCustomer) f.addCustomer(QStringLiteral("A01"), QStringLiteral("张三"));
        f.w->RunQuery();
        TFrmReportGl manager(*f.w);
        if (item >= 0) manager.ListBox1->setCurrentRow(item);
        (design ? manager.Button3 : manager.Button4)->click();
        QCOMPARE(f.seams.dialogs.texts(), opened);
    }

    void previewShowsTheMainWindowsRows_data() { TestDb::addBackendRows(); }
    void previewShowsTheMainWindowsRows()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        f.addCustomer(QStringLiteral("A01"), QStringLiteral("张三"));
        f.addCustomer(QStringLiteral("A'02"), QStringLiteral("李四"));
        f.w->RunQuery();
        QStringList texts;
        f.seams.dialogs.handleDialog([&texts](QDialog &d) {
            if (auto *p = qobject_cast<Report::TfrmPreview *>(&d)) texts = pageTexts(*p);
            return int(QDialog::Accepted);
        });
        TFrmReportGl manager(*f.w);
        manager.ListBox1->setCurrentRow(1);
        manager.Button4->click();
        QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("预览")});
        const QString company = f.dm->GetStrValue(QStringLiteral("select F_Code from SysInfo"));
        QVERIFY(!company.isEmpty());
        QCOMPARE(texts, (QStringList{company, QStringLiteral("A'02 李四"), QStringLiteral("A01 张三")}));
    }

    // A template moved and saved in the designer prints moved the next time.
    void designedTemplatePrintsAsSaved()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.addCustomer(QStringLiteral("A01"), QStringLiteral("张三"));
        f.w->RunQuery();
        f.seams.dialogs.handleDialog([](QDialog &d) {
            auto *designer = qobject_cast<Report::TfrmDesigner *>(&d);
            if (!designer) return int(QDialog::Rejected);
            designer->document().select({{1, 0}});   // the customer line
            designer->document().stepSelection(10, 0, false, false);
            return designer->Save() ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        double left = -1;
        f.seams.dialogs.handleDialog([&left](QDialog &d) {
            if (auto *p = qobject_cast<Report::TfrmPreview *>(&d))
                for (const Report::PreparedItem &i : p->report().pages.value(0).items)
                    if (i.text == QStringLiteral("A01 张三")) left = i.rect.left();
            return int(QDialog::Accepted);
        });
        TFrmReportGl manager(*f.w);
        manager.ListBox1->setCurrentRow(4);
        manager.Button3->click();
        manager.Button4->click();
        QCOMPARE(f.seams.dialogs.texts(), (QStringList{QStringLiteral("报表设计"), QStringLiteral("预览")}));
        const double margin = Report::ReportTemplate().page.margins.left();
        QVERIFY2(left > margin + 0.5, qPrintable(QString::number(left)));   // moved right from the margin
    }

    void commandOpensTheManager()
    {
        Fixture f(QStringLiteral("sqlite"));
        provideReportWindows();
        auto cleanup = qScopeGuard([] { CommandRegistry::instance().clear(); });
        f.w->action(302)->trigger();
        QCOMPARE(f.seams.dialogs.texts(), QStringList{QStringLiteral("报表管理器")});
    }
};

QTEST_MAIN(TstReportManager)
#include "tst_reportmanager.moc"
