// The data grid over a data set: columns, title sorting and its markers,
// footers, colours, search, and the rows it hands to prints and exports.
#include "ScriptedDialogs.h"
#include "TestDb.h"

#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Customers with prices, flags, dates and names in mixed case and Chinese.
const QString kFixture = QStringLiteral(
    "insert into t_client(F_code,F_name,F_price,F_amount,F_IFshoukuan,F_useFlag,F_buyDate,F_memo1) values"
    "('C001','abc',12.5,1,1,0,'2024-03-15 14:07:09','z'),"
    "('C002','ABD',3,2,0,1,'1900-08-14','y'),"
    "('C003','张三',1000.25,1,1,1,'2023-01-02','x'),"
    "('C004',NULL,NULL,3,0,0,NULL,'w'),"
    "('C005','Abc',0.5,1,0,0,'1901-08-14','v')");

GridColumn column(const QString &field, const QString &caption)
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    return c;
}

QList<GridColumn> fixtureColumns()
{
    GridColumn code = column(QStringLiteral("F_code"), QStringLiteral("编号"));
    code.footerKind = FooterKind::Text;
    code.footerValue = QStringLiteral("合  计");
    GridColumn name = column(QStringLiteral("F_name"), QStringLiteral("用户名称"));
    GridColumn price = column(QStringLiteral("f_price"), QStringLiteral("单价"));
    price.displayFormat = QStringLiteral("￥,0.00");
    price.footerKind = FooterKind::Sum;
    price.alignment = Qt::AlignRight | Qt::AlignVCenter;
    GridColumn date = column(QStringLiteral("F_buyDate"), QStringLiteral("购买日期"));
    GridColumn memo = column(QStringLiteral("F_memo1"), QStringLiteral("备注"));
    return {code, name, price, date, memo};
}

QStringList columnTexts(const DataGrid &grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid.model()->rowCount(); ++r) texts << grid.cellText(r, column);
    return texts;
}

} // namespace

class TestDataGrid : public QObject {
    Q_OBJECT
private slots:
    void init() { m_dir.reset(new QTemporaryDir); }

    void showsColumnsFootersAndBlankDates_data() { TestDb::addBackendRows(); }
    void showsColumnsFootersAndBlankDates()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds));
        DataGrid grid;
        grid.setColumns(fixtureColumns());
        grid.setDataSet(&ds);
        grid.setFooterVisible(true);
        grid.resize(600, 300);
        grid.show();

        grid.setDisplayHook(DataGrid::blankNoDates({QStringLiteral("f_buydate")}));
        QCOMPARE(grid.model()->rowCount(), 5);
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("用户名称"));
        QCOMPARE(columnTexts(grid, 2), (QStringList {"￥12.50", "￥3.00", "￥1,000.25", "", "￥0.50"}));
        // No-date values and anything before 1901-08-14 are blank where asked; a time is kept.
        QCOMPARE(columnTexts(grid, 3), (QStringList {"2024-03-15 14:07:09", "", "2023-01-02", "", "1901-08-14"}));
        grid.setDisplayHook({});
        QCOMPARE(grid.cellText(1, 3), QStringLiteral("1900-08-14"));
        QCOMPARE(grid.footerText(0), QStringLiteral("合  计"));
        QCOMPARE(grid.footerText(2), QStringLiteral("￥1,016.25"));
        QCOMPARE(grid.footerText(1), QString());
        QCOMPARE(grid.model()->data(grid.model()->index(0, 2), Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));

        // Hidden columns and widths follow the column properties.
        GridColumn price = grid.column(2);
        price.visible = false;
        price.width = 123;
        grid.setColumn(2, price);
        QVERIFY(grid.isColumnHidden(2));
        grid.horizontalHeader()->resizeSection(1, 77);
        QCOMPARE(grid.column(1).width, 77);
    }

    void titleClicksCycleAndSort_data() { TestDb::addBackendRows(); }
    void titleClicksCycleAndSort()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds));
        DataGrid grid;
        grid.setColumns(fixtureColumns());
        grid.setDataSet(&ds);
        grid.setTitleSort(DataGrid::TitleSort::SkipMemo);
        grid.show();
        QSignalSpy clicked(&grid, &DataGrid::titleClicked);

        const QStringList ascending {"", "abc", "Abc", "ABD", "张三"};   // empty first, case ignored
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        descending.swapItemsAt(2, 3);   // equal names keep their loaded order ("abc" before "Abc")
        grid.horizontalHeader()->sectionClicked(1);
        QCOMPARE(grid.column(1).sortMarker, SortMarker::Ascending);
        QCOMPARE(columnTexts(grid, 1), ascending);
        grid.horizontalHeader()->sectionClicked(1);
        QCOMPARE(grid.column(1).sortMarker, SortMarker::Descending);
        QCOMPARE(columnTexts(grid, 1), descending);
        grid.horizontalHeader()->sectionClicked(1);
        QCOMPARE(grid.column(1).sortMarker, SortMarker::Ascending);
        QCOMPARE(columnTexts(grid, 1), ascending);
        QCOMPARE(ds.sort(), QStringLiteral("F_name ASC"));

        // A memo title only changes its marker; the other markers stay.
        grid.horizontalHeader()->sectionClicked(4);
        QCOMPARE(grid.column(4).sortMarker, SortMarker::Ascending);
        QCOMPARE(grid.column(1).sortMarker, SortMarker::Ascending);
        QCOMPARE(ds.sort(), QStringLiteral("F_name ASC"));
        QCOMPARE(clicked.count(), 4);

        // Numbers sort as numbers, empty first.
        grid.horizontalHeader()->sectionClicked(2);
        QCOMPARE(columnTexts(grid, 2), (QStringList {"", "￥0.50", "￥3.00", "￥12.50", "￥1,000.25"}));

        // A sort text sets the markers to match; an empty one clears.
        grid.applySort(QStringLiteral("F_buyDate DESC,F_code ASC,"));
        QCOMPARE(grid.column(3).sortMarker, SortMarker::Descending);
        QCOMPARE(grid.column(0).sortMarker, SortMarker::Ascending);
        QCOMPARE(grid.column(1).sortMarker, SortMarker::None);
        QCOMPARE(columnTexts(grid, 0), (QStringList {"C001", "C003", "C005", "C002", "C004"}));
        grid.applySort(QString());
        QCOMPARE(columnTexts(grid, 0), (QStringList {"C001", "C002", "C003", "C004", "C005"}));

        // Without a sort policy a click only tells the window.
        grid.setTitleSort(DataGrid::TitleSort::None);
        grid.horizontalHeader()->sectionClicked(0);
        QCOMPARE(grid.column(0).sortMarker, SortMarker::None);
        QCOMPARE(clicked.count(), 6);
    }

    // The markers show the order the rows are really in, also after the
    // list is read again or sorted by someone other than the title row.
    void sortMarkersFollowTheDataSet_data() { TestDb::addBackendRows(); }
    void sortMarkersFollowTheDataSet()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        const QString sql = QStringLiteral("select * from t_client order by F_code");
        QVERIFY(dm->OpenSQL(sql, &ds));
        DataGrid grid;
        grid.setColumns(fixtureColumns());
        grid.setDataSet(&ds);
        grid.setTitleSort(DataGrid::TitleSort::AllColumns);
        auto markers = [&] {
            QList<SortMarker> m;
            for (int c = 0; c < grid.columnCount(); ++c) m << grid.column(c).sortMarker;
            return m;
        };
        const SortMarker N = SortMarker::None, A = SortMarker::Ascending, D = SortMarker::Descending;

        grid.horizontalHeader()->sectionClicked(1);
        grid.horizontalHeader()->sectionClicked(2);   // only the last click sorts
        QCOMPARE(markers(), (QList<SortMarker>{N, N, A, N, N}));
        QVERIFY(dm->OpenSQL(sql, &ds));               // read again: the statement's own order
        QCOMPARE(markers(), (QList<SortMarker>{N, N, N, N, N}));
        QCOMPARE(columnTexts(grid, 0).first(), QStringLiteral("C001"));
        ds.setSort(QStringLiteral("F_memo1 DESC,F_code ASC"));
        QCOMPARE(markers(), (QList<SortMarker>{A, N, N, N, D}));
        QCOMPARE(columnTexts(grid, 0).first(), QStringLiteral("C001"));   // memo "z"
        grid.horizontalHeader()->sectionClicked(4);   // continues from the marker shown
        QCOMPARE(markers(), (QList<SortMarker>{N, N, N, N, A}));
        QCOMPARE(columnTexts(grid, 0).first(), QStringLiteral("C005"));   // memo "v"
        ds.close();
        QCOMPARE(markers(), (QList<SortMarker>{N, N, N, N, N}));
    }

    // Prints and exports take the rows from the grid as it shows them: every
    // column in grid order (hidden ones too) or the visible ones only, ticks
    // for ticked boxes and blank no-dates where the grid blanks them.
    void rowsForPrintsAndExports_data() { TestDb::addBackendRows(); }
    void rowsForPrintsAndExports()
    {
        FETCH_BACKEND(backend);
        ScopedSeams seams;
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds));
        DataGrid grid;
        QList<GridColumn> cols = fixtureColumns();
        GridColumn paid = column(QStringLiteral("F_IFshoukuan"), QStringLiteral("收款否"));
        paid.displayFormat = QStringLiteral("￥,0.00");   // a pattern a flag must not take
        cols.insert(1, paid);
        cols[4].visible = false;   // the date
        grid.setColumns(cols);
        grid.setDataSet(&ds);
        grid.setDisplayHook(DataGrid::blankNoDates({QStringLiteral("F_BUYDATE")}));
        grid.horizontalHeader()->moveSection(0, 2);   // the operator drags the code after the name

        const QStringList order {"F_IFshoukuan", "F_name", "F_code", "f_price", "F_buyDate", "F_memo1"};
        auto fields = [](const QList<SourceColumn> &c) {
            QStringList f;
            for (const SourceColumn &s : c) f << s.field;
            return f;
        };
        auto all = grid.rowSource(DataGrid::Columns::All);
        QCOMPARE(all->fieldNames(), order);
        QStringList visible = order;
        visible.removeAll(QStringLiteral("F_buyDate"));
        QCOMPARE(fields(grid.sourceColumns(DataGrid::Columns::Visible)), visible);

        // Front to back, each cell as the grid shows it.
        QVERIFY(all->start());
        for (int r = 0; all->nextRow(); ++r)
            for (int c = 0; c < grid.columnCount(); ++c) QCOMPARE(all->text(c), grid.cellText(r, c));
        const int paidCol = grid.columnOfField(QStringLiteral("F_IFshoukuan"));
        const int dateCol = grid.columnOfField(QStringLiteral("F_buyDate"));
        QCOMPARE(columnTexts(grid, paidCol), (QStringList {"√", "", "√", "", ""}));
        QCOMPARE(columnTexts(grid, dateCol), (QStringList {"2024-03-15 14:07:09", "", "2023-01-02", "", "1901-08-14"}));

        // The export the windows call writes that file and opens it.
        qputenv("TMPDIR", QFile::encodeName(m_dir->path()));
        QVERIFY(ExportGridToExcel(grid, QStringLiteral("客户资料")));
        qunsetenv("TMPDIR");
        QCOMPARE(seams.shell.opened.size(), 1);
        QVERIFY(QFileInfo(seams.shell.opened.first()).size() > 0);
        QVERIFY(seams.dialogs.calls.isEmpty());
    }

    void rowColoursAndCurrentRow_data() { TestDb::addBackendRows(); }
    void rowColoursAndCurrentRow()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds));
        DataGrid grid;
        grid.setColumns(fixtureColumns());
        grid.setDataSet(&ds);
        int hookCalls = 0;
        grid.setRowColours([&](const DataSet &set, int row, QColor *text, QColor *background) {
            ++hookCalls;
            const bool paid = set.value(row, set.fieldIndex(QStringLiteral("F_IFshoukuan"))).toInt() != 0;
            const bool disabled = set.value(row, set.fieldIndex(QStringLiteral("F_useFlag"))).toInt() != 0;
            if (disabled) {
                *text = QColor(0, 0, 255);
                *background = QColor(0, 255, 255);
            } else if (paid) {
                *text = QColor(255, 0, 0);
            } else {
                return false;
            }
            return true;
        });
        auto colour = [&](int row, int col, int role) {
            return grid.model()->data(grid.model()->index(row, col), role).value<QColor>();
        };
        QCOMPARE(colour(0, 1, Qt::ForegroundRole), QColor(255, 0, 0));    // paid
        QCOMPARE(colour(1, 1, Qt::BackgroundRole), QColor(0, 255, 255));  // disabled
        QCOMPARE(colour(2, 0, Qt::ForegroundRole), QColor(0, 0, 255));    // both: disabled wins
        QVERIFY(!grid.model()->data(grid.model()->index(3, 1), Qt::ForegroundRole).isValid());
        hookCalls = 0;
        for (int c = 0; c < grid.columnCount(); ++c) colour(4, c, Qt::ForegroundRole);
        QCOMPARE(hookCalls, 1);   // once per row, not per cell

        // The grid's current row and the data set's cursor follow each other.
        grid.show();
        ds.setRecNo(3);
        QCOMPARE(grid.currentRow(), 3);
        grid.setCurrentIndex(grid.model()->index(1, 0));
        QCOMPARE(ds.recNo(), 1);
        QCOMPARE(ds.fieldByName(QStringLiteral("f_code")).asString(), QStringLiteral("C002"));
        QCOMPARE(grid.selectedRows(), QList<int> {1});
    }

    void incrementalSearchAndColumnMoves_data() { TestDb::addBackendRows(); }
    void incrementalSearchAndColumnMoves()
    {
        FETCH_BACKEND(backend);
        auto dm = TestDb::freshModule(backend, m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client order by F_code"), &ds));
        DataGrid grid;
        grid.setColumns(fixtureColumns());
        grid.setDataSet(&ds);
        grid.setIncrementalSearch(true);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.setCurrentIndex(grid.model()->index(0, 1));
        QTest::keyClicks(&grid, QStringLiteral("ab"));
        QCOMPARE(ds.recNo(), 0);
        QTest::keyClicks(&grid, QStringLiteral("d"));
        QCOMPARE(ds.recNo(), 1);   // "abd" finds "ABD"
        QKeyEvent chinese(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("张"));
        QApplication::sendEvent(&grid, &chinese);
        QCOMPARE(ds.recNo(), 1);   // nothing starts with "abd张": the cursor stays

        // Dragging a title elsewhere changes the grid order.
        grid.horizontalHeader()->moveSection(0, 2);
        QCOMPARE(grid.column(0).field, QStringLiteral("F_name"));
        QCOMPARE(grid.column(2).field, QStringLiteral("F_code"));
        QCOMPARE(grid.horizontalHeader()->logicalIndex(2), 2);
        QCOMPARE(grid.cellText(1, 2), QStringLiteral("C002"));
        QCOMPARE(grid.footerText(2), QStringLiteral("合  计"));
    }

    void rowHeightAppliesToEveryRow()
    {
        DataGrid grid;
        ScopedSeams seams;
        auto dm = TestDb::freshModule(QStringLiteral("sqlite"), m_dir->path());
        QVERIFY(dm->RunSQL(kFixture));
        DataSet ds(&dm->ADOcnn);
        QVERIFY(dm->OpenSQL(QStringLiteral("select * from t_client"), &ds));
        grid.setDataSet(&ds);
        grid.setColumnsFromDataSet();
        QCOMPARE(grid.column(0).field.toLower(), QStringLiteral("f_id"));
        grid.setRowIndicator(true);
        grid.show();
        grid.verticalHeader()->resizeSection(2, 40);   // an operator drags one row's edge
        for (int r = 0; r < 5; ++r) QCOMPARE(grid.rowHeight(r), 40);
        QCOMPARE(grid.rowsHeight(), 40);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestDataGrid)
#include "tst_datagrid.moc"
