// The repair, return-visit and complaint list windows: what a freshly opened
// window lists, the search field, dates and category panel, deleting,
// moving through the rows, title sorting, keys, printing, layouts and the
// window opened for the main window.
#include "ScriptedDialogs.h"
#include "TestDb.h"
#include "ZipEntry.h"

#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/CustomerListHost.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "reportengine/ReportPrint.h"
#include "reportengine/TemplateFile.h"
#include "reportengine/TfrmPreview.h"
#include "service/ServiceListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(ServiceKind)

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
    void repair(const QString &name, const QDate &date, const QString &model, const QString &mem = QString())
    {
        QVERIFY(dm->RunSQL(QStringLiteral("insert into T_WXrec(F_cltName,F_bxdate,F_xfdate,F_xinghao,F_reason,F_billcode,F_mem1) "
                                          "values(%1,'%2','1900-08-14',%3,'漏水',%4,%5)")
                               .arg(name.isNull() ? QStringLiteral("NULL") : sqlQuoted(name), date.toString(Qt::ISODate),
                                    sqlQuoted(model), sqlQuoted(QStringLiteral("B-") + name), sqlQuoted(mem))));
    }
};

std::unique_ptr<ServiceListWindow> openWindow(ServiceKind kind)
{
    auto w = std::make_unique<ServiceListWindow>(kind);
    w->show();
    QApplication::setActiveWindow(w.get());
    return w;
}

// A field of every listed row, in the grid's order.
QStringList listed(const ServiceListWindow &w, const QString &field = QStringLiteral("F_cltName"))
{
    QStringList r;
    const DataSet &q = *w.QryTable;
    const int col = q.fieldIndex(field);
    for (int row = 0; row < q.recordCount(); ++row) r << DataSet::displayText(q.value(row, col), q.fieldKind(col));
    return r;
}

QStringList categoryRows(const ServiceListWindow &w)
{
    QStringList r;
    for (int row = 0; row < w.vleList->rowCount(); ++row)
        r << w.vleList->item(row, 0)->text() + QLatin1Char(' ') + w.vleList->item(row, 1)->text();
    return r;
}

// Chooses the category row showing the value (the list's order is the engine's).
void chooseCategory(ServiceListWindow &w, const QString &value)
{
    for (int row = 1; row < w.vleList->rowCount(); ++row)
        if (w.vleList->item(row, 1)->text() == value) {
            w.vleList->setCurrentCell(row, 1);
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no category row ") + value));
}

// The date range of the tests: March 2024.
void setMarch(ServiceListWindow &w)
{
    w.dtpFromDate->setDate(QDate(2024, 3, 1));
    w.dtpToDate->setDate(QDate(2024, 3, 31));
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

} // namespace

class TestServiceLists : public QObject {
    Q_OBJECT
private slots:
    void freshRepairWindow_data() { TestDb::addBackendRows(); }

    // This month up to today, "全部" chosen, the models listed; unticking
    // both dates lists every record.
    void freshRepairWindow()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        const QDate today = QDate::currentDate(), first(today.year(), today.month(), 1);
        fx.repair(QStringLiteral("甲"), first, QStringLiteral("K1"));
        fx.repair(QStringLiteral("乙"), today, QStringLiteral("K2"));
        fx.repair(QStringLiteral("丙"), first.addDays(-1), QStringLiteral("K1"));
        fx.repair(QStringLiteral("丁"), today.addDays(1), QStringLiteral("K3"));
        auto w = openWindow(ServiceKind::Repair);
        QCOMPARE(w->windowTitle(), QStringLiteral("维护记录管理"));
        QVERIFY(w->dtpFromDate->isChecked() && w->dtpToDate->isChecked());
        QCOMPARE(w->dtpFromDate->date(), first);
        QCOMPARE(w->dtpToDate->date(), today);
        ServiceListFilter expected;
        expected.from = first;
        expected.to = today;
        QCOMPARE(w->QryTable->sql(), serviceListSql(ServiceKind::Repair, expected));
        QStringList names = listed(*w);
        names.sort();
        QCOMPARE(names, (QStringList {QStringLiteral("乙"), QStringLiteral("甲")}));
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数：2"));
        QCOMPARE(w->StatusPanels[3]->text(), PubUnit::PublisherText + QStringLiteral("  "));
        QCOMPARE(w->vleList->currentRow(), 0);
        QCOMPARE(w->vleList->horizontalHeaderItem(1)->text(), QStringLiteral("型    号"));
        QStringList models = categoryRows(*w);
        QCOMPARE(models.size(), 4);
        QCOMPARE(models.first(), QStringLiteral("0 全部"));
        // An empty repair-done date reads blank.
        QCOMPARE(w->DBGridEh1->cellText(0, w->DBGridEh1->columnOfField(QStringLiteral("F_xfdate"))), QString());

        w->dtpFromDate->setChecked(false);
        w->dtpToDate->setChecked(false);
        QVERIFY(w->QryTable->sql().contains(QStringLiteral("(F_BXdate >= '1900-08-14' and F_BXdate <= '3000-08-14')")));
        names = listed(*w);
        QCOMPARE(names.size(), 4);
        QCOMPARE(names.first(), QStringLiteral("丙"));
        QCOMPARE(names.last(), QStringLiteral("丁"));
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数：4"));
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
    }

    void searchAndCategories_data() { TestDb::addBackendRows(); }

    // Text typed with no field chosen changes nothing; choosing a field
    // empties the text and keeps the named rows; a category value narrows the
    // list, and another category type brings back "全部" and every row.
    void searchAndCategories()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        fx.repair(QStringLiteral("O'Neil"), QDate(2024, 3, 2), QStringLiteral("K'1"));
        fx.repair(QString(), QDate(2024, 3, 3), QStringLiteral("K'1"));
        fx.repair(QStringLiteral("乙"), QDate(2024, 3, 4), QStringLiteral("K2"));
        auto w = openWindow(ServiceKind::Repair);
        setMarch(*w);
        QCOMPARE(listed(*w).size(), 3);
        const QString unfiltered = w->QryTable->sql();

        w->Edit1->setText(QStringLiteral("乙"));
        QCOMPARE(w->QryTable->sql(), unfiltered);
        w->ComboBox1->setCurrentIndex(0);
        QCOMPARE(w->Edit1->text(), QString());
        QCOMPARE(listed(*w), (QStringList {QStringLiteral("O'Neil"), QStringLiteral("乙")}));
        w->Edit1->setText(QStringLiteral(" o'n "));
        QCOMPARE(listed(*w), QStringList {QStringLiteral("O'Neil")});
        w->Edit1->clear();

        chooseCategory(*w, QStringLiteral("K'1"));
        QCOMPARE(listed(*w), QStringList {QStringLiteral("O'Neil")});

        w->cbbListType->setCurrentIndex(1);
        QCOMPARE(w->vleList->horizontalHeaderItem(1)->text(), QStringLiteral("故障原因"));
        QCOMPARE(categoryRows(*w), (QStringList {QStringLiteral("0 全部"), QStringLiteral("1 漏水")}));
        QCOMPARE(w->vleList->currentRow(), 0);
        QCOMPARE(listed(*w), (QStringList {QStringLiteral("O'Neil"), QStringLiteral("乙")}));
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
    }

    void deleting_data() { TestDb::addBackendRows(); }

    // Asked first; Cancel keeps the record, OK removes it and the list is
    // requeried with the same filters. An empty list asks nothing.
    void deleting()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        fx.repair(QStringLiteral("甲"), QDate(2024, 3, 2), QStringLiteral("K1"));
        fx.repair(QStringLiteral("乙"), QDate(2024, 3, 3), QStringLiteral("K1"));
        fx.repair(QStringLiteral("丙"), QDate(2024, 3, 4), QStringLiteral("K2"));
        auto w = openWindow(ServiceKind::Repair);
        setMarch(*w);
        chooseCategory(*w, QStringLiteral("K1"));
        const QString sql = w->QryTable->sql();
        w->QryTable->setRecNo(1);
        fx.seams.dialogs.answer(false);
        w->tbDelClick();
        QCOMPARE(fx.seams.dialogs.calls.size(), 1);
        QCOMPARE(fx.seams.dialogs.calls.at(0).what, QStringLiteral("confirm"));
        QCOMPARE(fx.seams.dialogs.calls.at(0).text, QStringLiteral("真的要删除维修单号为 B-乙 维修记录吗？"));
        QCOMPARE(listed(*w).size(), 2);
        fx.seams.dialogs.answer(true);
        w->tbDelClick();
        QCOMPARE(w->QryTable->sql(), sql);
        QCOMPARE(listed(*w), QStringList {QStringLiteral("甲")});
        QCOMPARE(w->StatusPanels[2]->text(), QStringLiteral("记录数：1"));
        QCOMPARE(fx.dm->GetIntValue(QStringLiteral("select count(*) from T_WXrec")), 2);

        w->Edit1->setText(QStringLiteral("x"));
        w->ComboBox1->setCurrentIndex(2);
        w->Edit1->setText(QStringLiteral("nobody"));
        QVERIFY(w->QryTable->isEmpty());
        fx.seams.dialogs.calls.clear();
        w->tbDelClick();
        w->tbPrintClick();
        QVERIFY(fx.seams.dialogs.calls.isEmpty());
        // The export of an empty list is a sheet of the column titles alone.
        w->ToolButton1Click();
        QCOMPARE(fx.seams.shell.opened.size(), 1);
        const QByteArray workbook = zipEntry(fx.seams.shell.opened.at(0), QStringLiteral("xl/workbook.xml"));
        QVERIFY(workbook.contains(QStringLiteral("维修记录资料").toUtf8()));
        const QByteArray sheet = zipEntry(fx.seams.shell.opened.at(0), QStringLiteral("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains(QStringLiteral("维修单号").toUtf8()));
        QVERIFY(!sheet.contains("<row r=\"2\""));
    }

    void editReopensOnTheRecord_data() { TestDb::addBackendRows(); }

    // Edit opens the editor on the current row; after its save the list is
    // read again and stays on the saved record.
    void editReopensOnTheRecord()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        fx.repair(QStringLiteral("甲"), QDate(2024, 3, 2), QStringLiteral("K1"));
        fx.repair(QStringLiteral("乙"), QDate(2024, 3, 3), QStringLiteral("K1"));
        fx.repair(QStringLiteral("丙"), QDate(2024, 3, 4), QStringLiteral("K1"));
        auto w = openWindow(ServiceKind::Repair);
        setMarch(*w);
        w->QryTable->setRecNo(1);
        fx.seams.dialogs.handleDialog([](QDialog &editor) {
            auto *name = editor.findChild<QLineEdit *>(QStringLiteral("edtCLTname"));
            auto *ok = editor.findChild<QPushButton *>(QStringLiteral("Button1"));
            if (!name || !ok) return int(QDialog::Rejected);
            name->setText(QStringLiteral("乙'改"));
            ok->click();
            return editor.result();
        });
        w->tbEditClick();
        QCOMPARE(listed(*w), (QStringList {QStringLiteral("甲"), QStringLiteral("乙'改"), QStringLiteral("丙")}));
        QCOMPARE(w->QryTable->recNo(), 1);
        QCOMPARE(fx.dm->GetIntValue(QStringLiteral("select count(*) from T_WXrec")), 3);
    }

    void emptyListEdit_data() { TestDb::addBackendRows(); }

    // Ctrl+E on an empty list says so and opens no editor.
    void emptyListEdit()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        auto w = openWindow(ServiceKind::Complaint);
        QVERIFY(w->QryTable->isActive() && w->QryTable->isEmpty());
        w->DBGridEh1->setFocus();
        QTest::keyClick(w->DBGridEh1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(fx.seams.dialogs.texts(), QStringList {QStringLiteral("此表为空，没有记录需要修改！")});
        QCOMPARE(fx.seams.dialogs.calls.at(0).kind, 3);
    }

    void navigation_data() { TestDb::addBackendRows(); }

    // The buttons' states change only through the moves themselves; a move
    // past either end disables that end's buttons.
    void navigation()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        for (int i = 0; i < 3; ++i) fx.repair(QString::number(i), QDate(2024, 3, 2 + i), QStringLiteral("K"));
        auto w = openWindow(ServiceKind::Repair);
        setMarch(*w);
        auto states = [&w] {
            return QString::number(w->QryTable->recNo()) + QLatin1Char(' ') + QString::number(w->tbFirst->isEnabled())
                   + QString::number(w->tbPrior->isEnabled()) + QString::number(w->tbNext->isEnabled())
                   + QString::number(w->tbLast->isEnabled());
        };
        QCOMPARE(states(), QStringLiteral("0 1111"));
        w->tbLastClick();
        QCOMPARE(states(), QStringLiteral("2 1100"));
        w->tbPriorClick();
        QCOMPARE(states(), QStringLiteral("1 1111"));
        w->tbFirstClick();
        QCOMPARE(states(), QStringLiteral("0 0011"));
        w->tbNextClick();
        w->tbNextClick();
        QCOMPARE(states(), QStringLiteral("2 1111"));
        w->tbNextClick();   // at the last row: marks the end
        QCOMPARE(states(), QStringLiteral("2 1111"));
        w->tbNextClick();
        QCOMPARE(states(), QStringLiteral("2 1100"));
        w->Edit1->setText(QStringLiteral("x"));   // a new query leaves the buttons alone
        QCOMPARE(w->tbNext->isEnabled(), false);
        w->DBGridEh1->setFocus();
        QTest::keyClick(w->DBGridEh1, Qt::Key_Home);
        QCOMPARE(states(), QStringLiteral("0 0011"));
    }

    void titleSort_data() { TestDb::addBackendRows(); }

    // A remark column changes its marker but not the order; others sort.
    void titleSort()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        fx.repair(QStringLiteral("b"), QDate(2024, 3, 2), QStringLiteral("K"), QStringLiteral("z"));
        fx.repair(QStringLiteral("c"), QDate(2024, 3, 3), QStringLiteral("K"), QStringLiteral("x"));
        fx.repair(QStringLiteral("a"), QDate(2024, 3, 4), QStringLiteral("K"), QStringLiteral("y"));
        auto w = openWindow(ServiceKind::Repair);
        setMarch(*w);
        const int memo = w->DBGridEh1->columnOfField(QStringLiteral("F_mem1"));
        QCOMPARE(w->DBGridEh1->column(memo).caption, QStringLiteral("备注"));
        const int section = w->DBGridEh1->horizontalHeader()->logicalIndex(memo);
        emit w->DBGridEh1->horizontalHeader()->sectionClicked(section);
        emit w->DBGridEh1->horizontalHeader()->sectionClicked(section);
        QCOMPARE(w->DBGridEh1->column(memo).sortMarker, SortMarker::Descending);
        QCOMPARE(listed(*w), (QStringList {QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));
        const int name = w->DBGridEh1->columnOfField(QStringLiteral("F_cltName"));
        emit w->DBGridEh1->horizontalHeader()->sectionClicked(w->DBGridEh1->horizontalHeader()->logicalIndex(name));
        QCOMPARE(listed(*w), (QStringList {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    }

    void returnVisitsByVisitor_data() { TestDb::addBackendRows(); }

    // No category panel; "回访人员" swaps the text for the visitor drop-down,
    // whose name matches at the start.
    void returnVisitsByVisitor()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        QVERIFY(fx.dm->RunSQL(QStringLiteral("insert into t_code(F_name,F_type) values('王小二','maker'),('小王','maker'),('别类','type')")));
        QVERIFY(fx.dm->RunSQL(QStringLiteral(
            "insert into T_HFrec(F_cltName,F_date,F_empname) values('甲','2024-03-02','王小二'),('乙','2024-03-03','小王')")));
        auto w = openWindow(ServiceKind::ReturnVisit);
        QVERIFY(!w->vleList && !w->SpeedButton2 && !w->Panel3);
        QVERIFY(w->ComboBox2->isHidden());
        setMarch(*w);
        QCOMPARE(listed(*w).size(), 2);
        w->ComboBox1->setCurrentIndex(1);
        QVERIFY(w->Edit1->isHidden() && !w->ComboBox2->isHidden());
        QStringList items;
        for (int i = 0; i < w->ComboBox2->count(); ++i) items << w->ComboBox2->itemText(i);
        QCOMPARE(items.first(), QString());
        QVERIFY(items.contains(QStringLiteral("小王")) && items.contains(QStringLiteral("王小二")));
        QVERIFY(!items.contains(QStringLiteral("别类")));
        QCOMPARE(w->ComboBox2->currentText(), QString());
        w->ComboBox2->setEditText(QStringLiteral("王"));
        QCOMPARE(listed(*w), QStringList {QStringLiteral("甲")});
        w->ComboBox1->setCurrentIndex(0);
        QVERIFY(!w->Edit1->isHidden() && w->ComboBox2->isHidden());
        QCOMPARE(w->ComboBox2->currentText(), QString());
        QCOMPARE(listed(*w).size(), 2);
    }

    void complaintsToday_data() { TestDb::addBackendRows(); }

    // A complaint keeps its time of day: one made late today is in the
    // freshly opened list. The levels leave out blanks.
    void complaintsToday()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QVERIFY(fx.dm->RunSQL(QStringLiteral("insert into T_TSrec(F_cltName,F_tsdate,F_jibie,F_maker) values"
                                             "('甲','%1 23:59:00','高','张'),('乙','%1 00:00:00','','李')")
                                  .arg(today)));
        auto w = openWindow(ServiceKind::Complaint);
        QCOMPARE(listed(*w), (QStringList {QStringLiteral("乙"), QStringLiteral("甲")}));
        QCOMPARE(w->cbbListType->count(), 2);
        QCOMPARE(categoryRows(*w), (QStringList {QStringLiteral("0 全部"), QStringLiteral("1 高")}));
        w->cbbListType->setCurrentIndex(1);
        QCOMPARE(w->vleList->rowCount(), 3);
        chooseCategory(*w, QStringLiteral("李"));
        QCOMPARE(listed(*w), QStringList {QStringLiteral("乙")});
    }

    void keys_data() { TestDb::addBackendRows(); }

    // Delete in the search text asks to delete, Enter moves on, Esc closes.
    void keys()
    {
        FETCH_BACKEND(backend);
        Fixture fx(backend);
        fx.repair(QStringLiteral("甲"), QDate::currentDate(), QStringLiteral("K1"));
        auto w = openWindow(ServiceKind::Repair);
        QCOMPARE(listed(*w).size(), 1);
        w->Edit1->setFocus();
        QTest::keyClick(w->Edit1, Qt::Key_Delete);
        QCOMPARE(fx.seams.dialogs.texts(), QStringList {QStringLiteral("真的要删除维修单号为 B-甲 维修记录吗？")});
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        QVERIFY(!w->Edit1->hasFocus());
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused && focused->window() == w.get());
        QTest::keyClick(focused, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(fx.dm->GetIntValue(QStringLiteral("select count(*) from T_WXrec")), 1);
    }

    void printing_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("heading");
        QTest::newRow("repairs") << ServiceKind::Repair << "frWXrecMan.frf" << "报修日期：自 启用系统 至 记帐最后一天";
        QTest::newRow("visits") << ServiceKind::ReturnVisit << "frHFrecMan.frf" << "统计日期：自 启用系统 至 记帐最后一天";
        QTest::newRow("complaints") << ServiceKind::Complaint << "frTSrecMan.frf" << "统计日期：自 启用系统 至 记帐最后一天";
    }

    // With both dates off the heading names the start and end of the books;
    // the listed rows are the report's rows.
    void printing()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(QString, file);
        QFETCH(QString, heading);
        Fixture fx(QStringLiteral("sqlite"));
        const ServiceListFamily &fam = serviceListFamily(kind);
        QVERIFY(fx.dm->RunSQL(QStringLiteral("insert into %1(F_cltName,%2) values('甲','2020-01-02'),('乙','2021-01-02')")
                                  .arg(fam.table, fam.dateField)));
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
        name.text = QStringLiteral("[frDBDataSet1.F_cltName]");
        data.objects << name;
        t.bands << title << data;
        QDir().mkpath(fx.dir.filePath(QStringLiteral("Qr")));
        QVERIFY(Report::saveTemplate(t, Report::templatePath(file)));

        auto w = openWindow(kind);
        w->dtpFromDate->setChecked(false);
        w->dtpToDate->setChecked(false);
        QStringList texts;
        fx.seams.dialogs.handleDialog([&texts](QDialog &d) {
            if (auto *preview = qobject_cast<Report::TfrmPreview *>(&d))
                for (const Report::PreparedPage &p : preview->report().pages)
                    for (const Report::PreparedItem &i : p.items)
                        if (i.kind == Report::PreparedItem::Text) texts << i.text;
            return int(QDialog::Rejected);
        });
        w->tbPrintClick();
        QCOMPARE(texts, (QStringList {heading, QStringLiteral("甲"), QStringLiteral("乙")}));
    }

    void layoutKeptPerKind_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::newRow("repairs") << ServiceKind::Repair;
        QTest::newRow("visits") << ServiceKind::ReturnVisit;
        QTest::newRow("complaints") << ServiceKind::Complaint;
    }

    // A layout saved with "保存当前设置" is the one the next window shows.
    void layoutKeptPerKind()
    {
        QFETCH(ServiceKind, kind);
        Fixture fx(QStringLiteral("sqlite"));
        QHash<int, int> widths;
        for (ServiceKind other : {ServiceKind::Repair, ServiceKind::ReturnVisit, ServiceKind::Complaint})
            widths[int(other)] = openWindow(other)->DBGridEh1->column(0).width;
        QVERIFY(widths[int(kind)] != 155);
        {
            auto w = openWindow(kind);
            GridColumn c = w->DBGridEh1->column(0);
            c.width = 155;
            c.caption = QStringLiteral("户名");
            w->DBGridEh1->setColumn(0, c);
            fx.seams.dialogs.answer(int(Mess::Yes));
            w->N2Click();
        }
        QCOMPARE(fx.seams.dialogs.texts(), QStringList {QStringLiteral("真的要保存当前网格设置吗？")});
        auto again = openWindow(kind);
        QCOMPARE(again->DBGridEh1->column(0).width, 155);
        QCOMPARE(again->DBGridEh1->column(0).caption, QStringLiteral("户名"));
        for (ServiceKind other : {ServiceKind::Repair, ServiceKind::ReturnVisit, ServiceKind::Complaint})
            if (other != kind) QCOMPARE(openWindow(other)->DBGridEh1->column(0).width, widths[int(other)]);
    }

    void openedForTheMainWindow_data()
    {
        QTest::addColumn<ServiceKind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("form");
        QTest::newRow("repairs") << ServiceKind::Repair << "维护记录管理" << "frmWXrecMan";
        QTest::newRow("visits") << ServiceKind::ReturnVisit << "回访记录管理" << "frmHFrecMan";
        QTest::newRow("complaints") << ServiceKind::Complaint << "投诉记录管理" << "frmTSrecMan";
    }

    // Shown modally over the main window, listing from its first showing.
    void openedForTheMainWindow()
    {
        QFETCH(ServiceKind, kind);
        QFETCH(QString, title);
        QFETCH(QString, form);
        Fixture fx(QStringLiteral("sqlite"));
        NoHost host;
        bool seen = false;
        fx.seams.dialogs.handleDialog([&](QDialog &d) {
            seen = true;
            auto *w = qobject_cast<ServiceListWindow *>(&d);
            [&] {
                QVERIFY(w);
                QCOMPARE(w->kind(), kind);
                QCOMPARE(w->objectName(), form);
                QCOMPARE(w->windowTitle(), title);
                QCOMPARE(w->parentWidget(), &host.window);
                QVERIFY(w->QryTable->isActive());
            }();
            return int(QDialog::Rejected);
        });
        OpenServiceList(kind, host);
        QVERIFY(seen);
    }
};

QTEST_MAIN(TestServiceLists)
#include "tst_servicelists.moc"
