// The customer picker on a large archive: the dialog opened with every
// customer, a key typed in each search box, a category type chosen and one
// of its rows, each to the repainted first screen; then the footer totals,
// made on a reader of their own once typing pauses.
//
//   bench_picker [--backend sqlite|postgres] [--customers N] [--dir DIR]
#include "BenchArchive.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "service/TDLGcltrecXZ.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableWidget>
#include <QThread>
#include <cstdio>
#include <functional>

namespace {

// Works the shown dialog instead of running it modally.
class BenchDialogs : public WidgetDialogs {
public:
    std::function<void(QDialog &)> work;
    QElapsedTimer sinceCall;
    int execDialog(QDialog &dialog) override
    {
        dialog.show();
        dialog.repaint();
        QApplication::processEvents();
        std::printf("  %-36s %8.1f ms\n", "opened with every customer", sinceCall.nsecsElapsed() / 1e6);
        work(dialog);
        return QDialog::Rejected;
    }
};

double timed(QDialog &d, const std::function<void()> &step)
{
    QElapsedTimer t;
    t.start();
    step();
    d.repaint();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

int rows(const TDLGcltrecXZ &d)
{
    return d.QryTable->isRecordCountKnown() ? d.QryTable->recordCount() : -1;
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
    std::printf("backend %s, %d customers\n", qPrintable(backend), customers);

    BenchDialogs dialogs;
    Dialogs::install(&dialogs);
    dialogs.work = [](QDialog &shown) {
        auto &d = static_cast<TDLGcltrecXZ &>(shown);
        d.resize(1000, 600);
        auto line = [&](const char *what, double ms) {
            std::printf("  %-36s %8.1f ms   rows %s\n", what, ms,
                        rows(d) < 0 ? "(not counted)" : qPrintable(QString::number(rows(d))));
        };
        auto type = [&](QLineEdit *box, const char *label, const QString &keys) {
            for (QChar c : keys) {
                const double ms = timed(d, [&] { box->insert(QString(c)); });
                line(qPrintable(QStringLiteral("%1 typed %2").arg(QString::fromUtf8(label), box->text())), ms);
            }
        };
        type(d.edtName, "用户名称", QStringLiteral("王芳"));
        line("用户名称 cleared", timed(d, [&] { d.edtName->clear(); }));
        type(d.edtJScode, "机身编码", QStringLiteral("97736"));
        line("机身编码 cleared", timed(d, [&] { d.edtJScode->clear(); }));
        line("category type 型号 (list + customers)", timed(d, [&] { d.cbbListType->setCurrentIndex(1); }));
        std::printf("  %-36s %8d\n", "category rows", d.vleList->rowCount());
        line("category row 1 chosen", timed(d, [&] { d.vleList->setCurrentCell(1, 1); }));
        line("全部 chosen again", timed(d, [&] { d.vleList->setCurrentCell(0, 1); }));
        int sumColumn = -1;
        for (int c = 0; c < d.DBGridEh1->columnCount() && sumColumn < 0; ++c)
            if (d.DBGridEh1->column(c).footerKind == FooterKind::Sum) sumColumn = c;
        if (sumColumn >= 0) {
            // Made on a reader of its own once typing pauses; the window stays responsive meanwhile.
            QElapsedTimer t;
            t.start();
            const QVector<int> fields = d.DBGridEh1->footerSumFields();
            while (!d.QryTable->hasSums(fields) && t.elapsed() < 60000) {
                QThread::usleep(200);
                QApplication::processEvents();
            }
            std::printf("  %-36s %8.1f ms   %s = %s\n", "footer totals shown after the pause", t.nsecsElapsed() / 1e6,
                        qPrintable(d.DBGridEh1->column(sumColumn).caption), qPrintable(d.DBGridEh1->footerText(sumColumn)));
        }
    };
    dialogs.sinceCall.start();
    PickCustomer(nullptr);
    Dialogs::install(nullptr);
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
