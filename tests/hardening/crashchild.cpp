// A workstation that does one kind of write over and over, for the tests
// that kill it or run two of it on one database. Every write the store
// reports as done is printed ("saved <key>") and flushed before the next
// one starts, so a killer knows what the database must hold.
//
//   crashchild <mode> <database> <tag> [seconds] [backupA backupB]
//
// <database>: an SQLite file, or pg:<port>:<name>. <mode>: customer,
// service, import, clear, restore, mixed; hold keeps one customer's save
// open for [seconds], as a slow workstation would, and then commits it.
// Otherwise without [seconds] it runs until it is killed; with it, it
// stops after that long and exits 0.

#include "ScriptedDialogs.h"

#include "app/PubUnit.h"
#include "customers/CustomerStore.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "maintenance/DataClear.h"
#include "maintenance/ImportPreview.h"
#include "maintenance/ImportStore.h"
#include "service/ServiceStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>
#include <cstdio>

namespace {

constexpr int kImportRows = 150;   // rows of one import batch
constexpr int kClearRows = 40;     // rows per table a clearing round empties

void report(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

void failure(const QString &what, const QString &why)
{
    std::fputs(qPrintable(QStringLiteral("failed %1: %2\n").arg(what, why)), stderr);
    std::fflush(stderr);
}

ConnectionSettings settingsFor(const QString &database)
{
    ConnectionSettings s;
    if (database.startsWith(QLatin1String("pg:"))) {
        const QStringList parts = database.split(u':');
        s.driver = QStringLiteral("postgres");
        s.server = QStringLiteral("127.0.0.1");
        s.port = parts.value(1).toInt();
        s.database = parts.value(2);
    } else {
        s.driver = QStringLiteral("sqlite");
        s.database = database;
    }
    return s;
}

CustomerRecord customer(const QString &code)
{
    CustomerRecord r;
    r.code = code;
    r.name = QStringLiteral("王'") + code;
    r.buyDate = QStringLiteral("2026-03-01");
    for (QString *d : {&r.setupDate, &r.setupDate1, &r.awokeDate, &r.rq[0], &r.rq[1], &r.rq[2]})
        *d = QLatin1String(PubUnit::NoDate);
    return r;
}

bool saveCustomer(TdmData &dm, const QString &code)
{
    CustomerStore store(dm);
    int areaId = -1;
    if (store.save(customer(code), std::nullopt, QStringLiteral("admin"), areaId)) return true;
    failure(QStringLiteral("customer ") + code, store.lastError());
    return false;
}

bool saveService(TdmData &dm, const QString &key)
{
    ServiceRecord r;
    r.cltCode = QStringLiteral("C'1");
    r.cltName = QStringLiteral("张'三");
    r.set("BXdate", QStringLiteral("2026-03-01"));
    r.set("XFdate", QStringLiteral("2026-03-02"));
    r.set("reason", key);
    r.set("mem1", QStringLiteral("备'注"));
    ServiceStore store(dm);
    if (store.save(ServiceKind::Repair, r, std::nullopt)) return true;
    failure(QStringLiteral("service ") + key, store.lastError());
    return false;
}

// One batch of customers whose codes all start with `batch` + "-".
bool importBatch(TdmData &dm, const QString &batch)
{
    ImportPreview preview;
    preview.reset(importColumns(QStringLiteral("t_client"),
                                {{QStringLiteral("编号"), QStringLiteral("F_code"), QStringLiteral("编号")},
                                 {QStringLiteral("姓名"), QStringLiteral("F_name"), QStringLiteral("姓名")}}));
    for (int r = 0; r < kImportRows; ++r)
        preview.appendRow({batch + u'-' + QString::number(r), QStringLiteral("导'入")}, {0, 1});
    const ImportWriteResult w = writeImport(dm.ADOcnn, QStringLiteral("t_client"), preview);
    if (!w.ok) failure(QStringLiteral("import ") + batch, w.reason);
    return w.ok;
}

// Fills customers, return visits and repairs with kClearRows rows each in one
// transaction, their codes starting with `round` + "-".
bool fillForClearing(TdmData &dm, const QString &round)
{
    Connection &cnn = dm.ADOcnn;
    ScopedTransaction tx(cnn);
    if (!tx.isActive()) return false;
    QSqlQuery q;
    for (int i = 0; i < kClearRows; ++i) {
        const QString key = sqlQuoted(round + u'-' + QString::number(i));
        if (!cnn.exec(q, QStringLiteral("insert into t_client(F_code, F_name) values(%1, 'x')").arg(key))
            || !cnn.exec(q, QStringLiteral("insert into T_HFrec(F_cltCode, F_mem1) values(%1, 'x')").arg(key))
            || !cnn.exec(q, QStringLiteral("insert into T_WXrec(F_CLTcode, F_reason) values(%1, 'x')").arg(key)))
            return false;
    }
    return tx.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fputs("usage: crashchild <mode> <database> <tag> [seconds] [backupA backupB]\n", stderr);
        return 2;
    }
    const QString mode = args.at(1), tag = args.at(3);
    const int seconds = args.value(4).toInt();
    ScriptedDialogs dialogs;   // a message must never wait for an operator
    Dialogs::install(&dialogs);
    PubUnit::CurOper = QStringLiteral("admin");
    TdmData dm;
    dmData = &dm;
    QString error;
    if (!dm.connect(settingsFor(args.at(2)), &error)) {
        failure(QStringLiteral("connect"), error);
        return 3;
    }
    report(QStringLiteral("ready"));

    if (mode == u"hold") {
        ScopedTransaction tx(dm.ADOcnn);
        QSqlQuery q;
        if (!tx.isActive()
            || !dm.ADOcnn.exec(q, QStringLiteral("insert into t_client(F_code, F_name) values(%1, 'x')").arg(sqlQuoted(tag)))) {
            failure(QStringLiteral("hold"), dm.ADOcnn.lastError());
            return 1;
        }
        report(QStringLiteral("holding"));
        QThread::sleep(seconds);
        if (!tx.commit()) {
            failure(QStringLiteral("hold"), dm.ADOcnn.lastError());
            return 1;
        }
        report(QStringLiteral("saved ") + tag);
        return 0;
    }

    QElapsedTimer clock;
    clock.start();
    QRandomGenerator random(qHash(tag));
    QStringList mine;   // customers this run saved and has not deleted
    for (int n = 0; seconds <= 0 || clock.elapsed() < seconds * 1000LL; ++n) {
        const QString key = QStringLiteral("%1'%2").arg(tag).arg(n);
        if (mode == u"customer") {
            if (saveCustomer(dm, key)) report(QStringLiteral("saved ") + key);
        } else if (mode == u"service") {
            if (saveService(dm, key)) report(QStringLiteral("saved ") + key);
        } else if (mode == u"import") {
            if (importBatch(dm, key)) report(QStringLiteral("saved ") + key);
        } else if (mode == u"clear") {
            if (!fillForClearing(dm, key)) {
                failure(QStringLiteral("fill"), dm.ADOcnn.lastError());
                continue;
            }
            report(QStringLiteral("filled ") + key);
            DataClearStore store(dm);
            if (store.clear({true, true, true, false, false})) report(QStringLiteral("saved ") + key);
            else failure(QStringLiteral("clear"), store.lastError());
        } else if (mode == u"restore") {
            const QString file = args.value(5 + n % 2);
            if (dm.restoreFrom(file, &error)) report(QStringLiteral("saved ") + file);
            else failure(QStringLiteral("restore"), error);
            if (!dm.reconnect(&error)) failure(QStringLiteral("reconnect"), error);
        } else if (mode == u"mixed") {
            const int what = random.bounded(10);
            if (what < 4) {
                if (saveCustomer(dm, key)) {
                    mine << key;
                    report(QStringLiteral("saved customer ") + key);
                }
            } else if (what < 7) {
                if (saveService(dm, key)) report(QStringLiteral("saved service ") + key);
            } else if (what < 9) {
                if (mine.isEmpty()) continue;
                const QString code = mine.takeAt(random.bounded(int(mine.size())));
                if (dm.RunSQL(QStringLiteral("delete from t_client where F_code = ") + sqlQuoted(code)))
                    report(QStringLiteral("deleted ") + code);
                else mine << code;
            } else if (importBatch(dm, key)) {
                report(QStringLiteral("saved import ") + key);
            }
        } else {
            failure(QStringLiteral("mode"), mode);
            return 2;
        }
    }
    for (const ScriptedDialogs::Call &c : dialogs.calls) failure(QStringLiteral("message"), c.text);
    return 0;
}
