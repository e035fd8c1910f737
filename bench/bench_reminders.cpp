// The reminder list, the category counts and the e-mail export on a large
// archive: the reminder query for 1, 7 and 31 days ahead (and, for
// comparison, the same condition counted row by row, as it ran before it
// became a range on the reminder date); each grouping of the statistics
// window counted over every customer; the address file of all customers and
// of the main window's whole list, with how often the progress bar moved.
//
//   bench_reminders [--backend sqlite|postgres] [--customers N] [--dir DIR]
#include "BenchArchive.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "app/Shell.h"
#include "components/CheckedDateEdit.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"
#include "reports/AwokeSql.h"
#include "reports/TfrmCltStatCx.h"
#include "reports/TfrmExportEmail.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

class QuietShell : public Shell {
public:
    bool openDocument(const QString &) override { return true; }
    bool startProgram(const QString &, const QStringList &) override { return true; }
};

// Median of `runs` timings of step, in ms.
double median(int runs, const std::function<void()> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    TdmData dm;
    const auto [backend, customers] = bench::openArchiveFromArgs(dm, args, 1000000);
    PubUnit::CurOper = QStringLiteral("admin");
    PubUnit::SeeAllClients = true;
    QuietShell shell;
    Shell::install(&shell);
    std::printf("backend %s, %d customers, median of 5 runs\n", qPrintable(backend), customers);

    std::printf("reminders (the statement opened and every row counted)\n");
    DataSet ds(&dm.ADOcnn);
    for (int days : {1, 7, 31}) {
        int rows = 0;
        const double range = median(5, [&] {
            dm.OpenSQL(awokeListSql(days), &ds);
            rows = ds.recordCount();
        });
        // The same condition with the count computed for every customer.
        QString perRow = awokeListSql(days);
        perRow.replace(QStringLiteral("F_awokeDate) <="), QStringLiteral("F_awokeDate)+0 <="));
        perRow.replace(QStringLiteral("F_awokeDate)>="), QStringLiteral("F_awokeDate)+0>="));
        int rowsBefore = 0;
        const double count = median(3, [&] {
            dm.OpenSQL(perRow, &ds);
            rowsBefore = ds.recordCount();
        });
        std::printf("  %2d days ahead   %8.1f ms   rows %6d    counted per row %8.1f ms   rows %6d\n", days, range, rows,
                    count, rowsBefore);
    }

    std::printf("category counts over every customer (the window's query, pie and list)\n");
    {
        TfrmCltStatCx w;
        w.show();
        w.dtpfromDate->setChecked(false);
        w.dtptoDate->setChecked(false);
        for (bool disabled : {false, true}) {
            w.CheckBox1->setChecked(disabled);
            for (int g = 0; g < w.ListBox1->count(); ++g) {
                w.ListBox1->setCurrentRow(g);
                const double ms = median(5, [&] {
                    w.btnCX->click();
                    w.repaint();
                    QApplication::processEvents();
                });
                std::printf("  %-10s %-12s %8.1f ms   groups %d\n", qPrintable(w.ListBox1->item(g)->text()),
                            disabled ? "with disabled" : "in use", ms, w.QryTable->recordCount());
            }
        }
    }

    std::printf("e-mail addresses\n");
    {
        TFrmMain host;
        TfrmExportEmail e(host);
        e.show();
        int moves = 0;
        QObject::connect(&e, &QWidget::windowTitleChanged, [&moves] { ++moves; });
        e.edtFilename->setText(QStringLiteral("bench-email"));
        e.rangeGroup->button(1)->click();
        const double all = median(3, [&] { e.Button1->click(); });
        const qint64 bytes = QFileInfo(e.filePath()).size();
        std::printf("  all customers              %8.1f ms   file %lld bytes, caption moved %d times in 3 runs\n", all,
                    bytes, moves);
        QElapsedTimer t;
        t.start();
        host.RunQuery();
        const double listMs = t.nsecsElapsed() / 1e6;
        e.rangeGroup->button(0)->click();
        moves = 0;
        const double list = median(3, [&] { e.Button1->click(); });
        std::printf("  main window's list          %8.1f ms   (list opened in %.1f ms), caption moved %d times in 3 runs\n",
                    list, listMs, moves);
        QFile::remove(e.filePath());
    }
    Shell::install(nullptr);
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
