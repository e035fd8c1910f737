// The main window on a large archive, end to end: from a key typed in the
// search box to the repainted list, footer and record count.
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
#include <cstdio>

namespace {

double keystroke(TFrmMain &w, const QString &key)
{
    QElapsedTimer t;
    t.start();
    w.Edit1->insert(key);
    w.repaint();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
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
    std::printf("  %-40s %8.1f ms   %s\n", "window shown with the whole list", t.nsecsElapsed() / 1e6,
                qPrintable(w.lblCLTnum->text()));

    const struct { int field; const char *label; const char *typed; } searches[] = {
        {4, "手机 (contains)", "139"},
        {0, "用户名称 (contains)", "张"},
        {1, "ID码 (starts with)", "00012"},
    };
    for (const auto &s : searches) {
        w.ComboBox1->setCurrentIndex(s.field);
        QApplication::processEvents();
        for (QChar c : QString::fromUtf8(s.typed)) {
            const double ms = keystroke(w, QString(c));
            std::printf("  %-22s typed %-10s %8.1f ms   %s\n", s.label,
                        qPrintable(w.Edit1->text()), ms, qPrintable(w.lblCLTnum->text()));
        }
        w.Edit1->clear();
        QApplication::processEvents();
    }
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
