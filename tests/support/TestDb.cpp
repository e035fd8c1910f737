#include "TestDb.h"

#include "app/PubUnit.h"

#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "data/Connection.h"
#include "data/ConnectionConfig.h"
#include "data/Schema.h"
#include "data/TdmData.h"

#include <QDir>
#include <QTest>
#include <QUuid>

namespace TestDb {

QStringList backends() { return {QStringLiteral("sqlite"), QStringLiteral("postgres")}; }

void addBackendRows()
{
    QTest::addColumn<QString>("backend");
    for (const QString &b : backends()) QTest::newRow(qPrintable(b)) << b;
}

bool available(const QString &backend) { return unavailableReason(backend).isEmpty(); }

QString unavailableReason(const QString &backend)
{
    if (backend == QLatin1String("postgres") && qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT") <= 0)
        return QStringLiteral("PostgreSQL not configured: set CLSERVICE_TEST_PG_PORT");
    if (!backends().contains(backend)) return QStringLiteral("unknown backend %1").arg(backend);
    return {};
}

ConnectionSettings fresh(const QString &backend, const QString &folder, bool withStartingRows)
{
    if (!available(backend))
        qFatal("%s; fetch the row's backend with FETCH_BACKEND so that the row is skipped",
               qPrintable(unavailableReason(backend)));
    ProgramFolder::setPath(folder);
    ConnectionSettings s;
    s.driver = backend;
    if (backend == QLatin1String("postgres")) {
        s.server = QStringLiteral("127.0.0.1");
        s.port = qEnvironmentVariableIntValue("CLSERVICE_TEST_PG_PORT");
        s.database = QStringLiteral("t_") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    } else {
        s.database = QDir(folder).filePath(QStringLiteral("test.db"));
    }
    QString error;
    if (!Schema::createDatabase(s, &error)) qFatal("createDatabase: %s", qPrintable(error));
    Connection cnn(QStringLiteral("testdb-setup"));
    if (!cnn.open(s)) qFatal("open: %s", qPrintable(cnn.lastError()));
    if (withStartingRows) {
        if (!Schema::install(cnn, &error)) qFatal("install: %s", qPrintable(error));
    } else {
        QSqlQuery q(cnn.database());
        for (const QString &st : Schema::createStatements(cnn.dialect()))
            if (!cnn.execNative(q, st, {}, {})) qFatal("create: %s", qPrintable(cnn.lastError()));
    }
    cnn.close();

    PrivateProfile ini(QDir(folder).filePath(QStringLiteral("Config.ini")));
    writeConnectionSettings(ini, s);
    return s;
}

std::unique_ptr<TdmData> freshModule(const QString &backend, const QString &folder, bool withStartingRows)
{
    const ConnectionSettings s = fresh(backend, folder, withStartingRows);
    auto dm = std::make_unique<TdmData>();
    QString error;
    if (!dm->connect(s, &error)) qFatal("connect: %s", qPrintable(error));
    dmData = dm.get();
    return dm;
}

void signIn(const QString &oper, bool seeAllClients)
{
    PubUnit::resetLoginState();
    PubUnit::CurOper = oper;
    PubUnit::SeeAllClients = seeAllClients;
}

} // namespace TestDb
