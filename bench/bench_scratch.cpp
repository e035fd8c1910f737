#include "BenchArchive.h"
#include "data/DataSet.h"
#include <QCoreApplication>
#include <QElapsedTimer>
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TdmData dm;
    bench::openArchive(dm, "sqlite", 100000, QDir::temp().filePath("clservice-bench"));
    DataSet ds(&dm.ADOcnn);
    dm.OpenSQL("select * from t_client order by F_code", &ds);
    QElapsedTimer t; t.start();
    qint64 sink = 0;
    const int n = ds.recordCount();
    for (int r = 0; r < n; ++r) for (int c = 1; c < 41; ++c) sink += ds.value(r, c).isValid();
    std::printf("paged values: %.2f s\n", t.nsecsElapsed() / 1e9); t.restart();
    for (int r = 0; r < n; ++r) for (int c = 1; c < 41; ++c) sink += DataSet::displayText(ds.value(r, c), ds.fieldKind(c)).toUtf8().size();
    std::printf("paged text+utf8: %.2f s\n", t.nsecsElapsed() / 1e9); t.restart();
    QSqlQuery q(dm.ADOcnn.database()); q.setForwardOnly(true);
    q.exec("select * from t_client order by F_code");
    while (q.next()) for (int c = 1; c < 41; ++c) sink += q.value(c).isValid();
    std::printf("forward values: %.2f s %lld\n", t.nsecsElapsed() / 1e9, sink);
}
