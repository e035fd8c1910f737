// The main window on a large archive, end to end: from a key typed in the
// search box to the repainted first screen of the list, and on to the record
// count shown under it (a long list counts on a reader of its own).
//
//   bench_mainwindow [--backend sqlite|postgres] [--customers N] [--dir DIR]
#include "BenchArchive.h"
#include "app/PubUnit.h"
#include "components/DataGrid.h"
#include "customers/TFrmMain.h"
#include "data/DataSet.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

struct Figures {
    double firstScreen;   // ms until the list is repainted
    double countShown;    // ms until the label shows the count
};

bool countShown(const TFrmMain &w)
{
    return w.QryMain->isRecordCountKnown() && !w.lblCLTnum->text().contains(QStringLiteral("…"));
}

Figures keystroke(TFrmMain &w, const QString &key)
{
    QElapsedTimer t;
    t.start();
    w.Edit1->insert(key);
    w.repaint();
    QApplication::processEvents();
    Figures f {t.nsecsElapsed() / 1e6, 0};
    while (!countShown(w) && t.elapsed() < 60000) {
        QThread::usleep(200);
        QApplication::processEvents();
    }
    f.countShown = t.nsecsElapsed() / 1e6;
    return f;
}

double median(QList<double> v)
{
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
    QElapsedTimer t;
    t.start();
    TFrmMain w;
    w.resize(1280, 800);
    w.show();
    QApplication::processEvents();
    const double shown = t.nsecsElapsed() / 1e6;
    while (!countShown(w) && t.elapsed() < 60000) {
        QThread::usleep(200);
        QApplication::processEvents();
    }
    std::printf("  %-34s %8.1f ms, counted %8.1f ms   %s\n", "window shown with the whole list", shown,
                t.nsecsElapsed() / 1e6, qPrintable(w.lblCLTnum->text()));

    const struct { int field; const char *label; const char *typed; } searches[] = {
        {4, "手机 (contains)", "139"},
        {0, "用户名称 (contains)", "张"},
        {1, "ID码 (starts with)", "00012"},
    };
    std::printf("  %-34s %10s %10s\n", "", "first scr.", "count");
    for (const auto &s : searches) {
        w.ComboBox1->setCurrentIndex(s.field);
        QApplication::processEvents();
        QList<double> first, counted;
        for (QChar c : QString::fromUtf8(s.typed)) {
            const Figures f = keystroke(w, QString(c));
            first << f.firstScreen;
            counted << f.countShown;
            std::printf("  %-22s typed %-6s %8.1f ms %8.1f ms   %s\n", s.label, qPrintable(w.Edit1->text()), f.firstScreen,
                        f.countShown, qPrintable(w.lblCLTnum->text()));
        }
        std::printf("  %-22s median       %8.1f ms %8.1f ms   max first screen %.1f ms\n", s.label, median(first),
                    median(counted), *std::max_element(first.begin(), first.end()));
        w.Edit1->clear();
        while (!countShown(w)) {
            QThread::usleep(200);
            QApplication::processEvents();
        }
    }
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
