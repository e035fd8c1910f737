// The data grid on the customer list of a large archive: open, scroll to the
// end, sort by a text column and by a number column, and sum a footer.
// Time and peak memory per step.
//
//   bench_grid [--backend sqlite|postgres] [--customers N] [--dir DIR]
#include "BenchArchive.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <cstdio>

namespace {

GridColumn column(const QString &field, const QString &caption, const QString &pattern = {},
                  FooterKind footer = FooterKind::None)
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    c.displayFormat = pattern;
    c.footerKind = footer;
    return c;
}

// Paints the grid now, as the screen would after each step.
void paint(DataGrid &grid)
{
    grid.viewport()->repaint();
    QApplication::processEvents();
}

void report(const char *step, QElapsedTimer &t)
{
    std::printf("  %-34s %8.1f ms   RSS %5ld MB   peak %5ld MB\n", step, t.nsecsElapsed() / 1e6,
                bench::rssKb("VmRSS:") / 1024, bench::rssKb("VmHWM:") / 1024);
    std::fflush(stdout);
    t.restart();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    TdmData dm;
    const auto [backend, customers] = bench::openArchiveFromArgs(dm, args, 1000000);

    DataGrid grid;
    grid.setColumns({column("F_code", "编号"), column("F_name", "用户名称"), column("F_type", "类别"),
                     column("F_xinghao", "型号"), column("F_amount", "台数", "0.##"),
                     column("F_price", "单价", "￥,0.00"),
                     column("F_totalprice", "金额", "￥,0.00#", FooterKind::Sum),
                     column("F_buyDate", "购买日期")});
    grid.setFooterVisible(true);
    grid.setTitleSort(DataGrid::TitleSort::SkipMemo);
    grid.resize(1000, 700);
    grid.show();
    QApplication::processEvents();

    std::printf("backend %s, %d customers\n", qPrintable(backend), customers);
    DataSet ds(&dm.ADOcnn);
    QElapsedTimer t;
    t.start();
    if (!dm.OpenSQL("select * from t_client order by F_code", &ds)) qFatal("%s", qPrintable(ds.lastError()));
    grid.setDataSet(&ds);
    paint(grid);
    report("open and show (with row count)", t);

    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() / 2);
    paint(grid);
    report("jump to the middle", t);

    grid.scrollToBottom();
    paint(grid);
    report("scroll to the end", t);

    for (int i = 0; i < 20; ++i) {
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->value() - grid.verticalScrollBar()->pageStep());
        paint(grid);
    }
    report("20 pages up from the end", t);

    QString footer = grid.footerText(6);
    report("footer sum of 金额", t);

    grid.setIncrementalSearch(true);
    grid.setCurrentIndex(grid.model()->index(0, 1));
    t.restart();
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("龘"));
    QApplication::sendEvent(&grid, &typed);
    report("typing a name no row has", t);

    grid.horizontalHeader()->sectionClicked(1);
    paint(grid);
    report("sort by 用户名称 (text)", t);
    const QString firstName = grid.cellText(0, 1);

    grid.horizontalHeader()->sectionClicked(5);
    paint(grid);
    report("sort by 单价 (number)", t);

    grid.horizontalHeader()->sectionClicked(5);
    paint(grid);
    report("sort by 单价 descending", t);

    grid.scrollToBottom();
    paint(grid);
    report("scroll to the end of the sorted list", t);

    std::printf("  rows %d, footer %s, first name %s, top price %s\n", ds.recordCount(), qPrintable(footer),
                qPrintable(firstName), qPrintable(grid.cellText(0, 5)));
    return 0;
}
