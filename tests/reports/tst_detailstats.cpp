// The five detail statistics windows: a freshly shown window and its first
// query, the filters, the two states, moving through the rows, sorting,
// blanked dates, keys, printing, designing, export, stored layouts and the
// windows opened for the main window's commands.
#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "ZipEntry.h"

#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"
#include "reportengine/TemplateFile.h"
#include "reportengine/TfrmPreview.h"
#include "reports/DetailStatWindow.h"
#include "reports/StatisticsWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(DetailStatKind)

namespace {

struct Fixture {
    QTemporaryDir dir;
    ScopedSeams seams;
    std::unique_ptr<TdmData> dm;
    explicit Fixture(const QString &backend)
    {
        dm = TestDb::freshModule(backend, dir.path());
        TestDb::signIn();
    }
    void run(const QString &sql) { QVERIFY2(dm->RunSQL(sql), qPrintable(sql)); }
    // A customer bought, set up and set up again on the days given.
    void customer(const QString &code, const QString &name, const QString &buy, const QString &setup,
                  const QString &setup1, const QString &more = QString(), const QString &values = QString())
    {
        run(QStringLiteral("insert into t_client(F_code,F_name,F_buyDate,F_setupDate,F_setupDate1%1) values('%2','%3','%4','%5','%6'%7)")
                .arg(more, code, name, buy, setup, setup1, values));
    }
    // One row of each kind on each of the days, named after the day.
    void everyKindOn(const QStringList &days)
    {
        for (int i = 0; i < days.size(); ++i) {
            const QString code = QStringLiteral("C%1").arg(i);
            const QString name = QStringLiteral("客户") + days[i];
            customer(code, name, days[i], days[i], days[i]);
            run(QStringLiteral("insert into T_WXrec(F_cltcode,F_cltName,F_bxdate,F_xfdate) values('%1','%2','%3','%3')")
                    .arg(code, name, days[i]));
            run(QStringLiteral("insert into T_TSrec(F_cltcode,F_cltName,F_tsdate) values('%1','%2','%3')").arg(code, name, days[i]));
        }
    }
};

std::unique_ptr<DetailStatWindow> openWindow(DetailStatKind kind)
{
    auto w = std::make_unique<DetailStatWindow>(kind);
    w->show();
    QApplication::setActiveWindow(w.get());
    return w;
}

// A field of every listed row, in the grid's order.
QStringList listed(const DetailStatWindow &w, const QString &field = QStringLiteral("F_name"))
{
    QStringList r;
    const DataSet &q = *w.QryTable;
    const int col = q.fieldIndex(field);
    for (int row = 0; row < q.recordCount(); ++row) r << DataSet::displayText(q.value(row, col), q.fieldKind(col));
    return r;
}

QStringList items(const QComboBox *box)
{
    QStringList r;
    for (int i = 0; i < box->count(); ++i) r << box->itemText(i);
    return r;
}

// "1" or "0" for each button of the toolbar, in its order.
QString buttonStates(const DetailStatWindow &w)
{
    QString r;
    for (const QToolButton *b : {w.tbQuery, w.tbFirst, w.tbPrior, w.tbNext, w.tbLast, w.tbPrint, w.tbSet, w.tbExpert, w.tbExit})
        r += b->isEnabled() ? u'1' : u'0';
    return r;
}

void untickAll(DetailStatWindow &w)
{
    for (CheckedDateEdit *d : {w.dtpFromDate, w.dtpToDate, w.dtpfromDate1, w.dtptoDate1})
        if (d) d->setChecked(false);
}

// Which of the named controls Tab reaches, in its order, from the from-date on.
QStringList focusOrder(DetailStatWindow &w, const QStringList &names)
{
    QStringList r;
    QWidget *start = w.dtpFromDate->tickBox();
    QWidget *at = start;
    do {
        if (at->focusPolicy() & Qt::TabFocus)
            for (QWidget *p = at; p && p != &w; p = p->parentWidget())
                if (names.contains(p->objectName())) {
                    if (r.isEmpty() || r.last() != p->objectName()) r << p->objectName();
                    break;
                }
        at = at->nextInFocusChain();
    } while (at != start);
    return r;
}

class NoHost : public CustomerListHost {
public:
    QWidget window;
    DataSet *customerList() const override { return nullptr; }
    void reopenCustomerList() override {}
    DataSet *detailList(int) const override { return nullptr; }
    void reopenDetailList(int) override {}
    int currentDetailTab() const override { return 0; }
    std::unique_ptr<DataSetSource> customerRows() const override { return nullptr; }
    std::unique_ptr<DataSetSource> detailRows(int) const override { return nullptr; }
    QAction *command(int) const override { return nullptr; }
    QWidget *hostWindow() override { return &window; }
};

// One row per kind and backend.
void addKindRows()
{
    QTest::addColumn<QString>("backend");
    QTest::addColumn<DetailStatKind>("kind");
    const char *names[] = {"sales", "repairs", "installations", "gifts", "complaints"};
    for (const QString &b : TestDb::backends())
        for (DetailStatKind k : kDetailStatKinds)
            QTest::newRow(qPrintable(b + QLatin1Char(' ') + QLatin1String(names[int(k)]))) << b << k;
}

} // namespace

class TestDetailStats : public QObject {
    Q_OBJECT
private slots:
    void firstQuery_data() { addKindRows(); }

    // Shown: this month up to today on every range, lists filled, no query
    // yet and only 查询 and 退出 usable. The first query covers the month;
    // unticking every box lists every row, no-date rows included.
    void firstQuery()
    {
        FETCH_BACKEND(backend);
        QFETCH(DetailStatKind, kind);
        Fixture fx(backend);
        const QDate today = QDate::currentDate(), first(today.year(), today.month(), 1);
        fx.everyKindOn({first.addDays(-1).toString(Qt::ISODate), first.toString(Qt::ISODate), today.toString(Qt::ISODate),
                        today.addDays(1).toString(Qt::ISODate), QStringLiteral("1900-08-14")});
        auto w = openWindow(kind);
        const DetailStatFamily &fam = detailStatFamily(kind);
        QCOMPARE(w->windowTitle(), fam.caption);
        QCOMPARE(w->objectName(), fam.formName);
        for (CheckedDateEdit *from : {w->dtpFromDate, w->dtpfromDate1})
            if (from) QVERIFY(from->isChecked() && from->date() == first);
        for (CheckedDateEdit *to : {w->dtpToDate, w->dtptoDate1})
            if (to) QVERIFY(to->isChecked() && to->date() == today);
        QCOMPARE(w->dtpfromDate1 != nullptr, kind == DetailStatKind::Installations);
        QVERIFY(!w->QryTable->isActive());
        QCOMPARE(buttonStates(*w), QStringLiteral("100000001"));
        QCOMPARE(w->StatusPanels[2]->text(), QString());
        QCOMPARE(w->StatusPanels[3]->text(), PubUnit::PublisherText + QStringLiteral("  "));

        w->tbQueryClick();
        QCOMPARE(buttonStates(*w), QStringLiteral("111111111"));
        DetailStatFilter month;
        month.from = month.from2 = first;
        month.to = month.to2 = today;
        for (const DetailStatControl &c : fam.controls) month.values.insert(c.name, QString());
        QCOMPARE(w->QryTable->sql(), detailStatSql(kind, month));
        const QString firstName = QStringLiteral("客户") + first.toString(Qt::ISODate);
        const QString todayName = QStringLiteral("客户") + today.toString(Qt::ISODate);
        const QStringList expected = {firstName, todayName};
        QCOMPARE(listed(*w), expected);
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/%1").arg(expected.size()));

        untickAll(*w);
        QCOMPARE(listed(*w), expected);   // nothing runs before the next query
        w->tbQueryClick();
        QCOMPARE(listed(*w).size(), 5);
        QCOMPARE(listed(*w).first(), QStringLiteral("客户1900-08-14"));
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/5"));
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
    }

    void controls_data()
    {
        QTest::addColumn<DetailStatKind>("kind");
        QTest::addColumn<QStringList>("tabOrder");
        QTest::addColumn<QStringList>("lists");   // control, what it offers after the empty item
        QTest::newRow("sales") << DetailStatKind::Sales
                               << QStringList {"dtpFromDate", "dtpToDate", "cbbMaker", "edtName", "cbbArea",
                                               "cbbXingHao", "cbbSetupDept", "cbbType"}
                               << QStringList {"cbbMaker", "maker", "cbbArea", "area", "cbbXingHao", "xinghao",
                                               "cbbSetupDept", "setupdept", "cbbType", "type"};
        QTest::newRow("repairs") << DetailStatKind::Repairs
                                 << QStringList {"dtpFromDate", "dtpToDate", "cbbXingHao", "cbbReason", "edtName",
                                                 "cbbArea", "cbbSetupDept", "edtbillcode"}
                                 << QStringList {"cbbXingHao", "xinghao", "cbbReason", "Reason", "cbbArea", "area",
                                                 "cbbSetupDept", "setupdept"};
        QTest::newRow("installations") << DetailStatKind::Installations
                                       << QStringList {"dtpFromDate", "dtpToDate", "cbbSetupDept", "dtpfromDate1",
                                                       "dtptoDate1", "edtName", "edtphone", "cbbType"}
                                       << QStringList {"cbbSetupDept", "setupdept", "cbbType", "type"};
        QTest::newRow("gifts") << DetailStatKind::Gifts << QStringList {"dtpFromDate", "dtpToDate", "cbbAddGood", "edtName", "cbbArea"}
                               << QStringList {"cbbAddGood", "addgood", "cbbArea", "area"};
        QTest::newRow("complaints") << DetailStatKind::Complaints
                                    << QStringList {"dtpFromDate", "dtpToDate", "cbbTSjibie", "edtName", "edtReason", "cbbMaker"}
                                    << QStringList {"cbbTSjibie", "tsjibie", "cbbMaker", "maker"};
    }

    // Tab reaches the filters in the window's order; each drop-down offers
    // an empty item, then the non-blank names of its code type only.
    void controls()
    {
        QFETCH(DetailStatKind, kind);
        QFETCH(QStringList, tabOrder);
        QFETCH(QStringList, lists);
        Fixture fx(QStringLiteral("sqlite"));
        fx.run(QStringLiteral("delete from t_code"));
        const QStringList types = {"maker", "area", "xinghao", "setupdept", "type", "Reason", "addgood", "tsjibie"};
        for (const QString &t : types)
            fx.run(QStringLiteral("insert into t_code(F_name,F_type) values('%1名','%1'),('','%1')").arg(t));
        auto w = openWindow(kind);
        QCOMPARE(focusOrder(*w, tabOrder), tabOrder);
        for (int i = 0; i + 1 < lists.size(); i += 2) {
            const QComboBox *box = w->listBox(lists[i]);
            QVERIFY2(box, qPrintable(lists[i]));
            QCOMPARE(items(box), (QStringList {QString(), lists[i + 1] + QStringLiteral("名")}));
            QCOMPARE(box->currentText(), QString());
            QCOMPARE(box->isEditable(), kind != DetailStatKind::Complaints);
        }
    }

    void filters_data() { TestDb::addBackendRows(); }

    // A name typed with spaces around it is matched with the spaces in the
    // sales window, trimmed in the repair window; a filter of spaces adds
    // nothing; a drop-down keeps a typed value; the complaint levels are
    // cleared through their empty item.
    void filters()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        fx.customer("1", "张 三", "2024-03-02", "2024-03-02", "1900-08-14", ",F_area", ",'湖''滨'");
        fx.customer("2", "张三", "2024-03-03", "2024-03-03", "1900-08-14", ",F_area", ",'城西'");
        fx.run(QStringLiteral("insert into T_WXrec(F_cltcode,F_bxdate,F_xfdate) values('1','2024-03-02','2024-03-02'),"
                              "('2','2024-03-03','2024-03-03')"));
        fx.run(QStringLiteral("insert into t_code(F_name,F_type) values('高','tsjibie')"));
        fx.run(QStringLiteral("insert into T_TSrec(F_cltcode,F_tsdate,F_jibie) values('1','2024-03-02','高'),('2','2024-03-03','低')"));

        auto sales = openWindow(DetailStatKind::Sales);
        untickAll(*sales);
        sales->textBox(QStringLiteral("edtName"))->setText(QStringLiteral(" 三"));
        sales->tbQueryClick();
        QCOMPARE(listed(*sales), QStringList {"张 三"});
        sales->textBox(QStringLiteral("edtName"))->setText(QStringLiteral("   "));
        sales->listBox(QStringLiteral("cbbArea"))->setEditText(QStringLiteral(" 湖'"));
        sales->tbQueryClick();
        QCOMPARE(listed(*sales), QStringList {"张 三"});
        QVERIFY(!sales->QryTable->sql().contains(QStringLiteral("F_name,'')")));

        auto repairs = openWindow(DetailStatKind::Repairs);
        untickAll(*repairs);
        repairs->textBox(QStringLiteral("edtName"))->setText(QStringLiteral(" 张三 "));
        repairs->tbQueryClick();
        QCOMPARE(listed(*repairs, QStringLiteral("F_cltcode")), QStringList {"2"});

        auto complaints = openWindow(DetailStatKind::Complaints);
        untickAll(*complaints);
        QComboBox *level = complaints->listBox(QStringLiteral("cbbTSjibie"));
        level->setCurrentIndex(level->findText(QStringLiteral("高")));
        complaints->tbQueryClick();
        QCOMPARE(listed(*complaints, QStringLiteral("F_cltcode")), QStringList {"1"});
        level->setCurrentIndex(0);
        complaints->tbQueryClick();
        QCOMPARE(listed(*complaints, QStringLiteral("F_cltcode")), (QStringList {"1", "2"}));
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
    }

    void navigation_data() { TestDb::addBackendRows(); }

    // The buttons change only through the moves: a Prior on the first row
    // stays there and the next Prior disables First and Prior; Next on the
    // last row likewise. A new query enables them all again.
    void navigation()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        for (int i = 0; i < 3; ++i)
            fx.customer(QString::number(i), QString::number(i), QStringLiteral("2024-03-0%1").arg(i + 2), "1900-08-14", "1900-08-14");
        auto w = openWindow(DetailStatKind::Sales);
        untickAll(*w);
        w->tbQueryClick();
        auto states = [&w] { return QString::number(w->QryTable->recNo()) + QLatin1Char(' ') + buttonStates(*w).mid(1, 4); };
        QCOMPARE(states(), QStringLiteral("0 1111"));
        w->tbPriorClick();   // a fresh result stands at its beginning
        QCOMPARE(states(), QStringLiteral("0 0011"));
        w->tbNextClick();
        w->tbPriorClick();
        QCOMPARE(states(), QStringLiteral("0 1111"));
        w->tbPriorClick();   // on the first row: stays
        QCOMPARE(states(), QStringLiteral("0 1111"));
        w->tbPriorClick();
        QCOMPARE(states(), QStringLiteral("0 0011"));
        w->tbLastClick();
        QCOMPARE(states(), QStringLiteral("2 1100"));
        w->tbPriorClick();
        QCOMPARE(states(), QStringLiteral("1 1111"));
        w->tbFirstClick();
        QCOMPARE(states(), QStringLiteral("0 0011"));
        w->tbNextClick();
        w->tbNextClick();
        QCOMPARE(states(), QStringLiteral("2 1111"));
        w->tbNextClick();
        QCOMPARE(states(), QStringLiteral("2 1111"));
        w->tbNextClick();
        QCOMPARE(states(), QStringLiteral("2 1100"));
        w->tbQueryClick();
        QCOMPARE(states(), QStringLiteral("0 1111"));

        // No rows: every button stays enabled; moves, print and design's
        // print do nothing, and say nothing.
        w->textBox(QStringLiteral("edtName"))->setText(QStringLiteral("nobody"));
        w->tbQueryClick();
        QVERIFY(w->QryTable->isActive() && w->QryTable->isEmpty());
        QCOMPARE(buttonStates(*w), QStringLiteral("111111111"));
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/0"));
        w->tbNextClick();
        w->tbPrintClick();
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
    }

    void longResult_data() { TestDb::addBackendRows(); }

    // A result longer than a screen's fetch shows its rows at once; its
    // count and the stored layout's footer totals follow from a reader of
    // their own, and a newer query is never given an older one's count.
    void longResult()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        QStringList rows;
        for (int i = 0; i < 1200; ++i)
            rows << QStringLiteral("('%1','客户%1','2024-03-%2',%3)").arg(i).arg(1 + i % 28, 2, 10, QChar(u'0')).arg(i < 600 ? 1 : 2);
        fx.run(QStringLiteral("insert into t_client(F_code,F_name,F_buyDate,F_amount) values") + rows.join(u','));
        auto w = openWindow(DetailStatKind::Sales);
        untickAll(*w);
        w->tbQueryClick();
        QVERIFY(!w->QryTable->isRecordCountKnown());
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/…"));
        w->textBox(QStringLiteral("edtName"))->setText(QStringLiteral("客户1"));
        w->tbQueryClick();
        QTRY_COMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/311"));
        w->textBox(QStringLiteral("edtName"))->clear();
        w->tbQueryClick();
        QTRY_COMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/1200"));
        const int amount = w->DBGridEh1->columnOfField(QStringLiteral("F_amount"));
        QCOMPARE(w->DBGridEh1->column(amount).footerKind, FooterKind::Sum);
        QTRY_COMPARE(w->DBGridEh1->footerText(amount), QStringLiteral("1800"));
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
    }

    // A failed statement is said once; the grid is left without rows and
    // the window stays usable.
    void failedQuery()
    {
        Fixture fx(QStringLiteral("sqlite"));
        auto w = openWindow(DetailStatKind::Sales);
        fx.run(QStringLiteral("drop table t_client"));
        w->tbQueryClick();
        QCOMPARE(fx.seams.dialogs.calls.size(), 1);
        QCOMPARE(fx.seams.dialogs.calls.at(0).kind, 3);
        QVERIFY(!w->QryTable->isActive());
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数/0"));
        QCOMPARE(buttonStates(*w), QStringLiteral("111111111"));
        w->tbPrintClick();
        w->tbNextClick();
        QCOMPARE(fx.seams.dialogs.calls.size(), 1);
    }

    // Every column sorts, memos too; a third click is ascending again.
    void titleSort()
    {
        Fixture fx(QStringLiteral("sqlite"));
        fx.run(QStringLiteral("insert into T_WXrec(F_cltcode,F_bxdate,F_xfdate,F_mem1) values"
                              "('b','2024-03-02','2024-03-02','y'),('a','2024-03-03','2024-03-03','z'),('c','2024-03-04','2024-03-04','x')"));
        auto w = openWindow(DetailStatKind::Repairs);
        untickAll(*w);
        w->tbQueryClick();
        const int memo = w->DBGridEh1->columnOfField(QStringLiteral("F_mem1"));
        const int section = w->DBGridEh1->horizontalHeader()->logicalIndex(memo);
        const QStringList clicks[3] = {{"x", "y", "z"}, {"z", "y", "x"}, {"x", "y", "z"}};
        for (const QStringList &expected : clicks) {
            emit w->DBGridEh1->horizontalHeader()->sectionClicked(section);
            QCOMPARE(listed(*w, QStringLiteral("F_mem1")), expected);
        }
        QCOMPARE(w->DBGridEh1->column(memo).sortMarker, SortMarker::Ascending);
    }

    void blankDates_data()
    {
        QTest::addColumn<DetailStatKind>("kind");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("sales") << DetailStatKind::Sales << "F_setupDate1" << "";
        QTest::newRow("gifts") << DetailStatKind::Gifts << "F_setupDate1" << "";
        QTest::newRow("repairs") << DetailStatKind::Repairs << "F_xfdate" << "";
        QTest::newRow("installations") << DetailStatKind::Installations << "F_setupDate1" << "1900-08-14";
        QTest::newRow("complaints") << DetailStatKind::Complaints << "F_tsdate" << "1900-08-14";
    }

    // The no-date value reads blank where the window blanks it, as stored elsewhere.
    void blankDates()
    {
        QFETCH(DetailStatKind, kind);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        Fixture fx(QStringLiteral("sqlite"));
        fx.everyKindOn({QStringLiteral("1900-08-14")});
        auto w = openWindow(kind);
        untickAll(*w);
        w->tbQueryClick();
        QCOMPARE(w->QryTable->recordCount(), 1);
        const int column = w->DBGridEh1->columnOfField(field);
        QVERIFY(column >= 0);
        QCOMPARE(w->DBGridEh1->cellText(0, column).left(10), shown);
    }

    // Ctrl+Q queries (only once 查询 is usable), navigation keys move,
    // Enter moves on to the next filter, Esc closes.
    void keys()
    {
        Fixture fx(QStringLiteral("sqlite"));
        for (int i = 0; i < 3; ++i)
            fx.customer(QString::number(i), QString::number(i), QStringLiteral("2024-03-0%1").arg(i + 2), "1900-08-14", "1900-08-14");
        auto w = openWindow(DetailStatKind::Sales);
        untickAll(*w);
        QLineEdit *name = w->textBox(QStringLiteral("edtName"));
        name->setFocus();
        w->tbQuery->setEnabled(false);
        QTest::keyClick(name, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!w->QryTable->isActive());
        w->tbQuery->setEnabled(true);
        QTest::keyClick(name, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(w->QryTable->recordCount(), 3);
        QVERIFY(!w->tbQuery->isDown());
        QCOMPARE(name->text(), QString());
        QTest::keyClick(name, Qt::Key_End);
        QCOMPARE(w->QryTable->recNo(), 2);
        QTest::keyClick(name, Qt::Key_PageUp);
        QCOMPARE(w->QryTable->recNo(), 1);
        QTest::keyClick(name, Qt::Key_Home);
        QCOMPARE(w->QryTable->recNo(), 0);
        QTest::keyClick(name, Qt::Key_PageDown);
        QCOMPARE(w->QryTable->recNo(), 1);
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->listBox(QStringLiteral("cbbArea")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    void printing_data()
    {
        QTest::addColumn<DetailStatKind>("kind");
        QTest::addColumn<bool>("fromOn");
        QTest::addColumn<bool>("toOn");
        QTest::addColumn<QString>("heading");
        QTest::newRow("sales, both on") << DetailStatKind::Sales << true << true << "统计日期：自 2024-03-01 至 2024-03-31";
        QTest::newRow("sales, from off") << DetailStatKind::Sales << false << true << "统计日期：自 启用系统 至 2024-03-31";
        QTest::newRow("sales, to off") << DetailStatKind::Sales << true << false << "统计日期：自 2024-03-01 至 记帐最后一天";
        QTest::newRow("repairs, both off") << DetailStatKind::Repairs << false << false << "统计日期：自 启用系统 至 记帐最后一天";
        QTest::newRow("installations, both on") << DetailStatKind::Installations << true << true
                                                << "统计日期：自 2024-03-01 至 2024-03-31";
        QTest::newRow("gifts, from off") << DetailStatKind::Gifts << false << true << "统计日期：自 启用系统 至 2024-03-31";
        QTest::newRow("complaints, both off") << DetailStatKind::Complaints << false << false
                                              << "统计日期：自 启用系统 至 记帐最后一天";
    }

    // The heading names the range (the first range of the installations);
    // the listed rows are the report's rows, in the grid's order.
    void printing()
    {
        QFETCH(DetailStatKind, kind);
        QFETCH(bool, fromOn);
        QFETCH(bool, toOn);
        QFETCH(QString, heading);
        Fixture fx(QStringLiteral("sqlite"));
        fx.everyKindOn({QStringLiteral("2024-03-02"), QStringLiteral("2024-03-09")});
        Report::ReportTemplate t;
        Report::Band title;
        title.kind = Report::BandKind::ReportTitle;
        Report::ReportObject memo;
        memo.name = QStringLiteral("MemoDate");
        memo.rect = QRectF(0, 0, 150, 8);
        title.objects << memo;
        Report::Band data;
        data.kind = Report::BandKind::MasterData;
        data.source = QStringLiteral("frDBDataSet1");
        Report::ReportObject name;
        name.rect = QRectF(0, 0, 100, 8);
        name.text = QStringLiteral("[frDBDataSet1.F_name]");
        data.objects << name;
        t.bands << title << data;
        QDir().mkpath(fx.dir.filePath(QStringLiteral("Qr")));
        QVERIFY(Report::saveTemplate(t, Report::templatePath(detailStatFamily(kind).templateFile)));

        auto w = openWindow(kind);
        for (CheckedDateEdit *from : {w->dtpFromDate, w->dtpfromDate1})
            if (from) from->setDate(QDate(2024, 3, 1));
        for (CheckedDateEdit *to : {w->dtpToDate, w->dtptoDate1})
            if (to) to->setDate(QDate(2024, 3, 31));
        w->dtpFromDate->setChecked(fromOn);
        w->dtpToDate->setChecked(toOn);
        w->tbQueryClick();
        QStringList texts;
        fx.seams.dialogs.handleDialog([&texts](QDialog &d) {
            if (auto *preview = qobject_cast<Report::TfrmPreview *>(&d))
                for (const Report::PreparedPage &p : preview->report().pages)
                    for (const Report::PreparedItem &i : p.items)
                        if (i.kind == Report::PreparedItem::Text) texts << i.text;
            return int(QDialog::Rejected);
        });
        w->tbPrintClick();
        QCOMPARE(texts, (QStringList {heading, QStringLiteral("客户2024-03-02"), QStringLiteral("客户2024-03-09")}));

        // Design opens the designer on the same template.
        fx.seams.dialogs.calls.clear();
        w->tbSetClick();
        QCOMPARE(fx.seams.dialogs.calls.size(), 1);
        QCOMPARE(fx.seams.dialogs.calls.at(0).what, QStringLiteral("dialog"));
    }

    void exporting_data()
    {
        QTest::addColumn<DetailStatKind>("kind");
        for (DetailStatKind k : kDetailStatKinds) QTest::newRow(qPrintable(detailStatFamily(k).gridKey)) << k;
    }

    // The sheet carries the window's caption; its first row is the column titles.
    void exporting()
    {
        QFETCH(DetailStatKind, kind);
        Fixture fx(QStringLiteral("sqlite"));
        fx.everyKindOn({QStringLiteral("2024-03-02")});
        auto w = openWindow(kind);
        untickAll(*w);
        w->tbQueryClick();
        w->tbExpertClick();
        QCOMPARE(fx.seams.shell.opened.size(), 1);
        const QByteArray workbook = zipEntry(fx.seams.shell.opened.at(0), QStringLiteral("xl/workbook.xml"));
        QVERIFY(workbook.contains((QStringLiteral("name=\"") + detailStatFamily(kind).caption + QLatin1Char('"')).toUtf8()));
        const QByteArray sheet = zipEntry(fx.seams.shell.opened.at(0), QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains(QStringLiteral("用户名称").toUtf8()));
        QVERIFY(sheet.contains(QStringLiteral("客户2024-03-02").toUtf8()));
    }

    void layouts_data() { exporting_data(); }

    // "保存当前设置" asks first; the layout is the next window's under the
    // window's own key and no other window's.
    void layouts()
    {
        QFETCH(DetailStatKind, kind);
        Fixture fx(QStringLiteral("sqlite"));
        QHash<int, int> widths;
        for (DetailStatKind other : kDetailStatKinds) widths[int(other)] = openWindow(other)->DBGridEh1->column(0).width;
        {
            auto w = openWindow(kind);
            GridColumn c = w->DBGridEh1->column(0);
            c.width = 155;
            w->DBGridEh1->setColumn(0, c);
            fx.seams.dialogs.answer(int(Mess::No));
            w->N2Click();
            fx.seams.dialogs.answer(int(Mess::Yes));
            w->N2Click();
        }
        QCOMPARE(fx.seams.dialogs.texts(), (QStringList {"真的要保存当前网格设置吗？", "真的要保存当前网格设置吗？"}));
        QCOMPARE(openWindow(kind)->DBGridEh1->column(0).width, 155);
        for (DetailStatKind other : kDetailStatKinds)
            if (other != kind) QCOMPARE(openWindow(other)->DBGridEh1->column(0).width, widths[int(other)]);
    }

    void commands_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<DetailStatKind>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("403") << 403 << DetailStatKind::Sales << "电器销售统计列表";
        QTest::newRow("404") << 404 << DetailStatKind::Repairs << "维修统计列表";
        QTest::newRow("405") << 405 << DetailStatKind::Installations << "电器安装统计列表";
        QTest::newRow("406") << 406 << DetailStatKind::Gifts << "用户赠品统计列表";
        QTest::newRow("407") << 407 << DetailStatKind::Complaints << "用户投诉统计列表";
    }

    // Each command shows its window modally over the main window.
    void commands()
    {
        QFETCH(int, code);
        QFETCH(DetailStatKind, kind);
        QFETCH(QString, title);
        Fixture fx(QStringLiteral("sqlite"));
        CommandRegistry::instance().clear();
        provideStatisticsWindows();
        NoHost host;
        bool seen = false;
        fx.seams.dialogs.handleDialog([&](QDialog &d) {
            seen = true;
            auto *w = qobject_cast<DetailStatWindow *>(&d);
            [&] {
                QVERIFY(w);
                QCOMPARE(w->kind(), kind);
                QCOMPARE(w->windowTitle(), title);
                QCOMPARE(w->parentWidget(), &host.window);
            }();
            return int(QDialog::Rejected);
        });
        const CommandHandler handler = CommandRegistry::instance().handler(code);
        QVERIFY(handler);
        handler(host);
        QVERIFY(seen);
        CommandRegistry::instance().clear();
    }
};

QTEST_MAIN(TestDetailStats)
#include "tst_detailstats.moc"
