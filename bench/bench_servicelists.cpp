// The three service list windows on a large archive: opened (this month),
// both date ticks taken off (every record), and a record added and one
// changed through the editor, each to the repainted list positioned on the
// saved record.
//
//   bench_servicelists [--backend sqlite|postgres] [--customers N] [--records N] [--dir DIR]
#include "BenchArchive.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "components/CheckedDateEdit.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "service/ServiceListWindow.h"
#include "service/TfrmServiceEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <functional>

namespace {

// Works the editor shown instead of running it modally.
class BenchDialogs : public WidgetDialogs {
public:
    std::function<int(QDialog &)> work;
    int execDialog(QDialog &dialog) override
    {
        dialog.show();
        QApplication::processEvents();
        return work ? work(dialog) : int(QDialog::Rejected);
    }
};

double timed(QWidget &w, const std::function<void()> &step)
{
    QElapsedTimer t;
    t.start();
    step();
    w.repaint();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

const char *kindName(ServiceKind k)
{
    return k == ServiceKind::Repair ? "repairs" : k == ServiceKind::ReturnVisit ? "return visits" : "complaints";
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    TdmData dm;
    const auto [backend, customers] = bench::openArchiveFromArgs(dm, args, 1000000);
    const int perKind = bench::arg(args, "--records", "300000").toInt();
    bench::ensureServiceRecords(dm, perKind);
    PubUnit::CurOper = QStringLiteral("admin");
    PubUnit::SeeAllClients = true;
    std::printf("backend %s, %d customers, %d records of each kind\n", qPrintable(backend), customers, perKind);
    const QString someCode = dm.GetStrValue(QStringLiteral("select min(F_code) from t_client"));

    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    for (ServiceKind kind : {ServiceKind::Repair, ServiceKind::ReturnVisit, ServiceKind::Complaint}) {
        std::printf("%s\n", kindName(kind));
        QElapsedTimer t;
        t.start();
        ServiceListWindow w(kind);
        w.resize(1100, 700);
        w.show();
        w.repaint();
        QApplication::processEvents();
        std::printf("  %-40s %8.1f ms   rows %d\n", "opened on this month", t.nsecsElapsed() / 1e6, w.QryTable->recordCount());
        const double allDates = timed(w, [&] {
            w.dtpFromDate->setChecked(false);
            w.dtpToDate->setChecked(false);
        });
        std::printf("  %-40s %8.1f ms   rows %d\n", "both ticks off (every record)", allDates, w.QryTable->recordCount());

        auto saveTimed = [&](const char *what, int mode, const std::function<void(TfrmServiceEdit &)> &fill) {
            double ms = -1;
            dialogs.work = [&](QDialog &d) {
                auto &e = static_cast<TfrmServiceEdit &>(d);
                fill(e);
                ms = timed(w, [&] { e.Button1->click(); });
                return e.result();
            };
            if (mode == 0) w.tbNewClick();
            else w.tbEditClick();
            dialogs.work = nullptr;
            std::printf("  %-40s %8.1f ms   on row %d of %d, F_ID %lld\n", what, ms, w.QryTable->recNo(),
                        w.QryTable->recordCount(), w.QryTable->fieldByName(QStringLiteral("F_ID")).value().toLongLong());
        };
        w.QryTable->setRecNo(w.QryTable->recordCount() / 2);
        saveTimed("middle row changed, saved, positioned", 1, [](TfrmServiceEdit &e) { e.edtCLTname->setText(e.edtCLTname->text() + "'"); });
        // Where a positioned save spends its time: the list read again, and the row found.
        const long long id = w.QryTable->fieldByName(QStringLiteral("F_ID")).value().toLongLong();
        std::printf("  %-40s %8.1f ms\n", "  of which: list read again",
                    timed(w, [&] { dm.OpenSQL(w.QryTable->sql(), w.QryTable); }));
        std::printf("  %-40s %8.1f ms\n", "  of which: row found by F_ID",
                    timed(w, [&] { w.QryTable->locate(QStringLiteral("F_ID"), id); }));
        saveTimed("record added, saved, positioned", 0, [&](TfrmServiceEdit &e) {
            e.CheckBox1->setChecked(false);
            e.edtCLTcode->setText(someCode);
            emit e.edtCLTcode->editingFinished();
        });
    }
    Dialogs::install(nullptr);
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
