// The category counts window on every backend: nothing counted on opening,
// the counts with their conditions as a pie and a list, when it counts
// again, an empty and a refused count, and its three prints.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "reportengine/TfrmPreview.h"
#include "reports/TfrmCltStatCx.h"

#include <QCheckBox>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList slices(const QPieSeries &series)
{
    QStringList out;
    for (const QPieSlice *s : series.slices()) out << QStringLiteral("%1=%2").arg(s->label()).arg(s->value());
    out.sort();
    return out;
}

QStringList rows(const DataSet &ds)
{
    QStringList out;
    for (int r = 0; r < ds.recordCount(); ++r)
        out << QStringLiteral("%1=%2").arg(ds.value(r, ds.fieldIndex("F_name")).toString(),
                                         ds.value(r, ds.fieldIndex("F_num")).toString());
    out.sort();
    return out;
}

struct Fixture {
    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    QString trace;
    explicit Fixture(const QString &backend)
    {
        dm = TestDb::freshModule(backend, dir.path());
        TestDb::signIn();
        trace = dir.filePath(QStringLiteral("trace.sql"));
        qputenv("CLSERVICE_SQL_TRACE", trace.toLocal8Bit());
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        // code, category, purchase date (empty: NULL), in-use flag (empty: NULL)
        const struct { const char *code; const char *type; QString buy; const char *use; } customers[] = {
            {"A1", "空调", today, "0"},     {"A2", "空调", today, ""}, {"A3", "空调", today, "1"},
            {"A4", "冰'箱", today, "0"},    {"A5", nullptr, today, "0"},             {"A6", "", today, "0"},
            {"A7", "冰'箱", QString(), "0"}, {"A8", "空调", "2020-01-01", "0"},
        };
        for (const auto &c : customers)
            QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_type,F_buyDate,F_useFlag) values(%1,'x',%2,%3,%4)")
                                   .arg(sqlQuoted(c.code), c.type ? sqlQuoted(c.type) : QStringLiteral("NULL"),
                                        c.buy.isEmpty() ? QStringLiteral("NULL") : sqlQuoted(c.buy),
                                        *c.use ? QString::fromLatin1(c.use) : QStringLiteral("NULL"))));
        QFile::remove(trace);
    }
    ~Fixture() { qunsetenv("CLSERVICE_SQL_TRACE"); }
    // Count statements sent since the last call.
    int counts()
    {
        QFile f(trace);
        int n = 0;
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (line.contains("count(*) as F_num")) ++n;
        f.close();
        QFile::remove(trace);
        return n;
    }
};

} // namespace

class TstCltStat : public QObject {
    Q_OBJECT
private slots:
    void init() { PubUnit::resetLoginState(); }

    void countsAsPieAndList_data() { TestDb::addBackendRows(); }
    void countsAsPieAndList()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        TfrmCltStatCx w;
        w.show();
        // Opening counts the customers, not the groups.
        QCOMPARE(w.StatusPanels[2]->text(), QStringLiteral("记录总数：8"));
        QCOMPARE(w.StatusPanels[3]->text(), PubUnit::PublisherText + u' ');
        QCOMPARE(w.ListBox1->currentItem()->text(), QStringLiteral("类    别"));
        QCOMPARE(f.counts(), 0);
        QVERIFY(!w.QryTable->isActive());
        QCOMPARE(w.series->count(), 0);
        QCOMPARE(w.chart->title(), QStringLiteral("客户服务信息统计分析图表"));
        QCOMPARE(w.DBGridEh1->column(0).caption, QStringLiteral("行业类别"));

        // This month, in use: NULL in use counts, the disabled one and the
        // purchases of other months or without a date do not; NULL and
        // empty categories are two groups with empty names.
        w.btnCX->click();
        QCOMPARE(f.counts(), 1);
        QCOMPARE(rows(*w.QryTable), (QStringList{"=1", "=1", "冰'箱=1", "空调=2"}));
        QCOMPARE(w.StatusPanels[2]->text(), QStringLiteral("记录总数：4 条"));
        QCOMPARE(w.DBGridEh1->column(0).caption, QStringLiteral("类    别"));
        QCOMPARE(w.chart->title(), QStringLiteral("类    别/客户服务信息统计分析直方图"));

        w.CheckBox1->setChecked(true);   // alone, no count
        QCOMPARE(f.counts(), 0);
        w.btnCX->click();
        QCOMPARE(f.counts(), 1);
        QCOMPARE(rows(*w.QryTable), (QStringList{"=1", "=1", "冰'箱=1", "空调=3"}));

        // Each date change counts once at once; both unticked count every purchase date.
        w.dtpfromDate->setChecked(false);
        QCOMPARE(f.counts(), 1);
        QCOMPARE(rows(*w.QryTable), (QStringList{"=1", "=1", "冰'箱=1", "空调=4"}));
        w.dtptoDate->setChecked(false);
        QCOMPARE(f.counts(), 1);
        QCOMPARE(rows(*w.QryTable), (QStringList{"=1", "=1", "冰'箱=2", "空调=4"}));
        w.dtptoDate->setDate(QDate::currentDate().addDays(-3));
        QCOMPARE(f.counts(), 1);
        w.dtptoDate->setChecked(true);
        w.dtptoDate->setChecked(false);
        QCOMPARE(f.counts(), 2);

        // One slice per group with its name and share; the list totals.
        QCOMPARE(slices(*w.series), (QStringList{"12.5%=1", "12.5%=1", "冰'箱 25.0%=2", "空调 50.0%=4"}));
        for (const QPieSlice *s : w.series->slices()) QVERIFY(s->isLabelVisible());
        QCOMPARE(w.DBGridEh1->footerText(0), QStringLiteral("合  计"));
        QCOMPARE(w.DBGridEh1->footerText(1), QStringLiteral("8"));

        // Another grouping from the list.
        w.ListBox1->setCurrentRow(2);
        QCOMPARE(f.counts(), 1);
        QCOMPARE(w.chart->title(), QStringLiteral("型    号/客户服务信息统计分析直方图"));
        QCOMPARE(rows(*w.QryTable), QStringList{"=8"});
        QCOMPARE(slices(*w.series), QStringList{"100.0%=8"});
        QCOMPARE(w.StatusPanels[2]->text(), QStringLiteral("记录总数：1 条"));

        // No group: the list and the count are empty, the pie keeps its last picture.
        w.dtpfromDate->setDate(QDate::currentDate().addDays(5));
        w.dtpfromDate->setChecked(true);
        QCOMPARE(w.QryTable->recordCount(), 0);
        QCOMPARE(w.StatusPanels[2]->text(), QStringLiteral("记录总数：0 条"));
        QCOMPARE(slices(*w.series), QStringList{"100.0%=8"});
        QCOMPARE(w.chart->title(), QStringLiteral("型    号/客户服务信息统计分析直方图"));
        QVERIFY(f.seams.dialogs.calls.isEmpty());
    }

    // A count the server refuses is said; the list closes, the pie stays.
    void refusedCount_data() { TestDb::addBackendRows(); }
    void refusedCount()
    {
        FETCH_BACKEND(backend);
        Fixture f(backend);
        TfrmCltStatCx w;
        w.show();
        w.btnCX->click();
        QCOMPARE(w.series->count(), 4);
        QVERIFY(f.dm->RunSQL(QStringLiteral("alter table t_client rename to t_client_gone")));
        w.btnCX->click();
        QCOMPARE(f.seams.dialogs.calls.size(), 1);
        QCOMPARE(f.seams.dialogs.calls[0].kind, 3);
        QVERIFY2(f.seams.dialogs.calls[0].text.startsWith(QStringLiteral("统计查询失败：")), qPrintable(f.seams.dialogs.calls[0].text));
        QVERIFY(!w.QryTable->isActive());
        QCOMPARE(w.series->count(), 4);
    }

    void prints()
    {
        Fixture f(QStringLiteral("sqlite"));
        QDir().mkpath(f.dir.filePath(QStringLiteral("Qr")));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/Qr/frStatFx.frf"),
                            f.dir.filePath(QStringLiteral("Qr/frStatFx.frf"))));
        TfrmCltStatCx w;
        w.show();
        // Nothing counted yet: the template print does nothing.
        w.Button1->click();
        QVERIFY(f.seams.dialogs.calls.isEmpty());

        w.btnCX->click();
        QStringList texts;
        f.seams.dialogs.handleDialog([](QDialog &) { return int(QDialog::Rejected); });   // the chart's preview
        f.seams.dialogs.handleDialog([&texts](QDialog &d) {                               // the list
            if (auto *p = qobject_cast<Report::TfrmPreview *>(&d))
                for (const Report::PreparedItem &i : p->report().pages.value(0).items) texts << i.text;
            return int(QDialog::Rejected);
        });
        QStringList templateTexts;
        f.seams.dialogs.handleDialog([&templateTexts](QDialog &d) {   // the template
            if (auto *p = qobject_cast<Report::TfrmPreview *>(&d))
                for (const Report::PreparedItem &i : p->report().pages.value(0).items) templateTexts << i.text;
            return int(QDialog::Rejected);
        });
        QCOMPARE(w.PageControl1->currentIndex(), 0);
        w.btnDY->click();
        w.PageControl1->setCurrentIndex(1);
        w.btnDY->click();
        w.Button1->click();
        QCOMPARE(f.seams.dialogs.texts(), (QStringList{"打印预览", "预览", "预览"}));
        QVERIFY2(texts.contains(QStringLiteral("类    别/客户服务信息统计分析直方图")), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("空调")));
        QVERIFY2(templateTexts.contains(QStringLiteral("类    别/客户服务信息统计分析直方图")), qPrintable(templateTexts.join('|')));
        QVERIFY(templateTexts.contains(QStringLiteral("类    别")));
        QVERIFY(templateTexts.contains(QStringLiteral("冰'箱")));
    }
};

QTEST_MAIN(TstCltStat)
#include "tst_cltstat.moc"
