// Backup and restore of a large archive through the program's one backup
// routine and its restore, beside the engine's own tools on the same data:
// sqlite3 ".backup" / ".restore", and plain pg_dump / pg_restore.
//
//   bench_backup [--backend sqlite|postgres] [--customers N] [--dir DIR]
//
// The archive itself is only read; restores go into a copy of it.
#include "BenchArchive.h"
#include "app/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>
#include <functional>

namespace {

double seconds(const std::function<bool()> &step, bool *ok = nullptr)
{
    QElapsedTimer t;
    t.start();
    const bool r = step();
    if (ok) *ok = r;
    if (!r) std::printf("  (failed)\n");
    return t.nsecsElapsed() / 1e9;
}

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString pgTool(const QString &name)
{
    QDir lib("/usr/lib/postgresql");
    QStringList v = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(v.begin(), v.end(), [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &d : v)
        if (QFileInfo(lib.filePath(d + "/bin/" + name)).isExecutable()) return lib.filePath(d + "/bin/" + name);
    return QStandardPaths::findExecutable(name);
}

void line(const char *what, double s, const QString &file = {})
{
    if (file.isEmpty()) std::printf("  %-40s %8.2f s\n", what, s);
    else std::printf("  %-40s %8.2f s   %8.1f MB\n", what, s, QFileInfo(file).size() / 1048576.0);
}

bool exec(TdmData &dm, const QString &sql)
{
    QSqlQuery q;
    return dm.ADOcnn.execNative(q, sql, {}, {});
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    WidgetDialogs dialogs;   // a failure shows in the terminal, not in a box nobody answers
    const QStringList args = app.arguments();
    TdmData dm;
    const auto [backend, customers] = bench::openArchiveFromArgs(dm, args, 1000000);
    const QString work = QDir(bench::arg(args, "--dir", QDir::temp().filePath("clservice-bench"))).filePath("backup-work");
    QDir(work).removeRecursively();
    QDir().mkpath(work);
    std::printf("backend %s, %d customers\n", qPrintable(backend), customers);
    const ConnectionSettings archive = dm.ADOcnn.settings();
    QString error;
    const QString ours = QDir(work).filePath("dp-ours.back");
    const QString theirs = QDir(work).filePath("dp-tool.back");

    line("backup (backupTo, checked)", seconds([&] { return dm.backupTo(ours, &error); }), ours);
    if (!error.isEmpty()) std::printf("  %s\n", qPrintable(error));

    if (backend == "sqlite") {
        const QString db = sqliteDatabaseFile(archive);
        dm.ADOcnn.close();
        const QString sqlite3 = QStandardPaths::findExecutable("sqlite3");
        if (sqlite3.isEmpty()) std::printf("  sqlite3 not found: apt-get install -y sqlite3\n");
        else line("sqlite3 .backup", seconds([&] { return run(sqlite3, {db, ".backup '" + theirs + "'"}); }), theirs);

        // Restores go into a copy of the archive.
        const QString copy = QDir(work).filePath("target.db");
        QFile::copy(db, copy);
        ConnectionSettings target = archive;
        target.database = copy;
        TdmData into;
        if (!into.connect(target, &error)) qFatal("%s", qPrintable(error));
        line("restore (restoreFrom + reconnect)",
             seconds([&] { return into.restoreFrom(ours, &error) && into.reconnect(&error); }));
        if (!error.isEmpty()) std::printf("  %s\n", qPrintable(error));
        std::printf("  %-40s %8d\n", "customers after the restore", into.GetIntValue("select count(*) from t_client"));
        into.ADOcnn.close();
        if (!sqlite3.isEmpty()) line("sqlite3 .restore", seconds([&] { return run(sqlite3, {copy, ".restore '" + ours + "'"}); }));
    } else {
        const QString port = QString::number(archive.port > 0 ? archive.port : 5432);
        const QStringList conn = {"-h", "127.0.0.1", "-p", port, "-U", archive.user.isEmpty() ? "sa" : archive.user};
        line("pg_dump -Fc", seconds([&] { return run(pgTool("pg_dump"), conn + QStringList{"-Fc", "-f", theirs, archive.database}); }),
             theirs);
        const QString plain = archive.database + "_plainrestore";
        const QString target = archive.database + "_target";
        exec(dm, "drop database if exists " + plain);
        exec(dm, "drop database if exists " + target);
        exec(dm, "create database " + plain + " template template0");
        line("pg_restore into an empty database",
             seconds([&] { return run(pgTool("pg_restore"), conn + QStringList{"--no-owner", "-d", plain, theirs}); }));
        // The archive is copied and the copy replaced by the restore.
        QString e;
        Connection maint("bench-maint");
        ConnectionSettings m = archive;
        m.database = "postgres";
        dm.ADOcnn.close();
        if (!maint.open(m)) qFatal("%s", qPrintable(maint.lastError()));
        QSqlQuery q;
        if (!maint.execNative(q, "create database " + target + " template " + archive.database, {}, {}))
            qFatal("%s", qPrintable(maint.lastError()));
        ConnectionSettings t = archive;
        t.database = target;
        TdmData into;
        if (!into.connect(t, &error)) qFatal("%s", qPrintable(error));
        line("restore (restoreFrom + reconnect)",
             seconds([&] { return into.restoreFrom(ours, &error) && into.reconnect(&error); }));
        if (!error.isEmpty()) std::printf("  %s\n", qPrintable(error));
        std::printf("  %-40s %8d\n", "customers after the restore", into.GetIntValue("select count(*) from t_client"));
        into.ADOcnn.close();
        maint.execNative(q, "drop database if exists " + plain, {}, {});
        maint.execNative(q, "drop database if exists " + target, {}, {});
    }
    QDir(work).removeRecursively();
    std::printf("peak RSS %ld MB\n", bench::rssKb("VmHWM:") / 1024);
    return 0;
}
