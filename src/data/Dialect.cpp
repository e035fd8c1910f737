#include "Dialect.h"
#include "ServerBackupSql.h"
#include "TsqlTranslator.h"
#include "app/ProgramFolder.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

QString sqliteDatabaseFile(const ConnectionSettings &settings)
{
    QString name = settings.database.trimmed();
    if (QFileInfo(name).suffix().isEmpty()) name += QLatin1String(".db");
    return QDir(ProgramFolder::path()).absoluteFilePath(name);
}

QString Dialect::connectionText(const ConnectionSettings &s) const
{
    // The classic text, kept for display and logging; the password is masked.
    return QStringLiteral("Provider = SQLOLEDB.1;Persist Security Info = true;User ID = sa; PassWord = ")
           + QStringLiteral("****") + QStringLiteral("; Initial CataLog = ") + s.database
           + QStringLiteral("; Data Source = ") + s.server + QStringLiteral(" [%1]").arg(name());
}

QString Dialect::createIndex(const QString &name, const QString &table, const QString &columns, bool unique) const
{
    return QStringLiteral("create %1index if not exists %2 on %3(%4)")
        .arg(unique ? QStringLiteral("unique ") : QString(), name, table, columns);
}

QString Dialect::dropIndex(const QString &name, const QString &) const
{
    return QStringLiteral("drop index if exists %1").arg(name);
}

namespace {
QLatin1String nullsOrder(bool descending)
{
    return descending ? QLatin1String(" desc nulls last") : QLatin1String(" asc nulls first");
}
} // namespace

QString Dialect::quoteName(const QString &name) const
{
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

QString Dialect::orderItem(const QString &column, bool descending, bool) const
{
    return quoteName(column) + nullsOrder(descending);
}

QString Dialect::pageSql(const QString &translatedSelect, qint64 offset, qint64 limit) const
{
    bool hasLimit = false;
    Tsql::withoutOrderBy(translatedSelect, &hasLimit);
    QString base = translatedSelect.trimmed();
    if (hasLimit) base = QStringLiteral("select * from (%1) as page_q").arg(base);
    return base + QStringLiteral(" limit %1 offset %2").arg(limit).arg(offset);
}

namespace {

// Puts a finished copy in place of `file`, replacing an older one in one step.
bool renameInto(const QString &tmp, const QString &file, QString *error)
{
    if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(tmp);
        *error = QStringLiteral("无法写入备份文件：%1").arg(file);
        return false;
    }
    return true;
}

// --- SQLite -------------------------------------------------------------

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return qint64(era) * 146097 + doe - 719468;
}

struct Stamp {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
};

bool parseStamp(const unsigned char *t, int len, Stamp *out)
{
    auto num = [&](int pos, int n, int *v) {
        if (pos + n > len) return false;
        int r = 0;
        for (int k = 0; k < n; ++k) {
            const unsigned char c = t[pos + k];
            if (c < '0' || c > '9') return false;
            r = r * 10 + (c - '0');
        }
        *v = r;
        return true;
    };
    if (!num(0, 4, &out->y) || len < 10 || t[4] != '-' || !num(5, 2, &out->mo) || t[7] != '-' ||
        !num(8, 2, &out->d))
        return false;
    if (len >= 19) {
        num(11, 2, &out->h);
        num(14, 2, &out->mi);
        num(17, 2, &out->s);
    } else if (len >= 16) {
        num(11, 2, &out->h);
        num(14, 2, &out->mi);
    }
    return true;
}

// ms_datediff(part, a, b): boundaries of `part` crossed from a to b, as SQL Server counts them.
void sqliteDateDiff(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    for (int k = 1; k < 3; ++k)
        if (sqlite3_value_type(argv[k]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    const char *part = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    Stamp a, b;
    if (!parseStamp(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]), &a) ||
        !parseStamp(sqlite3_value_text(argv[2]), sqlite3_value_bytes(argv[2]), &b)) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 da = daysFromCivil(a.y, a.mo, a.d), db = daysFromCivil(b.y, b.mo, b.d);
    const QByteArray p = QByteArray(part ? part : "day");
    qint64 r;
    if (p == "year") r = b.y - a.y;
    else if (p == "month") r = (b.y - a.y) * 12 + (b.mo - a.mo);
    else if (p == "hour") r = (db * 24 + b.h) - (da * 24 + a.h);
    else if (p == "minute") r = ((db * 24 + b.h) * 60 + b.mi) - ((da * 24 + a.h) * 60 + a.mi);
    else if (p == "second")
        r = (((db * 24 + b.h) * 60 + b.mi) * 60 + b.s) - (((da * 24 + a.h) * 60 + a.mi) * 60 + a.s);
    else r = db - da;
    sqlite3_result_int64(ctx, r);
}

sqlite3 *sqliteHandle(QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0) return nullptr;
    return *static_cast<sqlite3 *const *>(v.data());
}

// The whole file read through: every page, tree and record checked (the
// full check's comparison of each index with its table would take a
// million-customer archive from seconds to a minute).
bool sqliteIntegrity(sqlite3 *h, QString *error)
{
    sqlite3_stmt *st = nullptr;
    QStringList problems;
    int rc = sqlite3_prepare_v2(h, "PRAGMA quick_check", -1, &st, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        const QString line = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        if (line != QLatin1String("ok")) problems << line;
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE) problems << QString::fromUtf8(sqlite3_errmsg(h));
    sqlite3_finalize(st);
    if (problems.isEmpty()) {
        sqlite3_stmt *tables = nullptr;
        const bool any = sqlite3_prepare_v2(h, "select count(*) from sqlite_master where type = 'table'", -1, &tables,
                                            nullptr) == SQLITE_OK
                         && sqlite3_step(tables) == SQLITE_ROW && sqlite3_column_int(tables, 0) > 0;
        sqlite3_finalize(tables);
        if (!any) problems << QStringLiteral("没有数据表");
    }
    if (!problems.isEmpty()) *error = problems.mid(0, 5).join(QLatin1String("; "));
    return problems.isEmpty();
}

// A backup file to restore from, opened read-only once it reads as a whole database.
sqlite3 *openSqliteBackup(const QString &file, QString *error)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.read(16) != QByteArray("SQLite format 3", 16)) {
        *error = QStringLiteral("不是有效的备份文件：%1").arg(file);
        return nullptr;
    }
    f.close();
    sqlite3 *h = nullptr;
    QString why;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || !sqliteIntegrity(h, &why)) {
        if (why.isEmpty()) why = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_close(h);
        *error = QStringLiteral("备份文件已损坏：%1 (%2)").arg(file, why);
        return nullptr;
    }
    return h;
}

class SqliteDialect : public Dialect {
public:
    QString name() const override { return QStringLiteral("sqlite"); }
    bool readsContainsSearchesByKeys() const override { return true; }
    QString qtDriver() const override { return QStringLiteral("QSQLITE"); }
    QString translate(const QString &tsql, QStringList *p) const override
    {
        return Tsql::translate(tsql, Tsql::Target::Sqlite, p);
    }
    bool configure(QSqlDatabase &db, const ConnectionSettings &s, QString *error) const override
    {
        if (s.database.trimmed().isEmpty()) {
            *error = QStringLiteral("未指定数据库文件");
            return false;
        }
        const QString file = sqliteDatabaseFile(s);
        // Opening a missing file would silently make a new, empty database.
        if (!QFileInfo::exists(file)) {
            *error = QStringLiteral("数据库文件不存在：%1").arg(file);
            return false;
        }
        db.setDatabaseName(file);
        // Another client holding a write lock: wait up to 5 s, then report.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        return true;
    }
    bool createDatabase(const ConnectionSettings &s, QString *error) const override
    {
        const QFileInfo info(sqliteDatabaseFile(s));
        if (!QDir().mkpath(info.absolutePath())) {
            *error = QStringLiteral("无法建立文件夹 %1").arg(info.absolutePath());
            return false;
        }
        if (info.exists()) return true;
        // An empty file is an empty SQLite database.
        QFile f(info.absoluteFilePath());
        if (!f.open(QIODevice::WriteOnly)) {
            *error = QStringLiteral("无法建立数据库文件 %1：%2").arg(info.absoluteFilePath(), f.errorString());
            return false;
        }
        return true;
    }
    bool afterOpen(QSqlDatabase &db, QString *error) const override
    {
        sqlite3 *h = sqliteHandle(db);
        if (!h || sqlite3_create_function_v2(h, "ms_datediff", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                             sqliteDateDiff, nullptr, nullptr, nullptr) != SQLITE_OK) {
            *error = QStringLiteral("无法初始化数据库函数");
            return false;
        }
        QSqlQuery q(db);
        // The probe fails on a file that is not a database.
        if (!q.exec(QStringLiteral("select count(*) from sqlite_master"))) {
            *error = QStringLiteral("不是有效的数据库文件：%1 (%2)").arg(db.databaseName(), q.lastError().text());
            return false;
        }
        // SQLite opens a file it may not write read-only without a word; every
        // save would then fail after the operator has typed it.
        if (sqlite3_db_readonly(h, "main") == 1) {
            *error = QStringLiteral("数据库文件是只读的，无法保存数据：%1").arg(db.databaseName());
            return false;
        }
        const QString folder = QFileInfo(db.databaseName()).absolutePath();
        if (!QFileInfo(folder).isWritable()) {
            *error = QStringLiteral("数据库文件所在的文件夹不能写入，无法保存数据：%1").arg(folder);
            return false;
        }
        q.exec(QStringLiteral("PRAGMA cache_size=-65536"));
        return true;
    }
    QString columnType(ColType type, int) const override
    {
        switch (type) {
        case ColType::Identity: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        case ColType::Integer: return QStringLiteral("INTEGER");
        case ColType::Float: return QStringLiteral("FLOAT");
        case ColType::Bit: return QStringLiteral("BIT");
        case ColType::DateTime: return QStringLiteral("DATETIME");
        case ColType::Text:
        case ColType::LongText: return QStringLiteral("TEXT COLLATE NOCASE");
        }
        return {};
    }
    bool backup(QSqlDatabase &db, const ConnectionSettings &, const QString &file, QString *error) const override
    {
        sqlite3 *src = sqliteHandle(db);
        if (!src) {
            *error = QStringLiteral("数据库未连接");
            return false;
        }
        const QString tmp = file + QLatin1String(".part");
        QFile::remove(tmp);
        sqlite3 *dst = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(tmp).constData(), &dst,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            *error = QStringLiteral("无法创建备份文件：%1").arg(file);
            sqlite3_close(dst);
            return false;
        }
        sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
        int rc = SQLITE_OK;
        if (b) {
            // Whole copy in one step; another client's lock is waited out by the busy handler.
            rc = sqlite3_backup_step(b, -1);
            sqlite3_backup_finish(b);
        }
        QString msg = QString::fromUtf8(sqlite3_errmsg(dst));
        const int finalRc = sqlite3_errcode(dst);
        const bool whole = b && rc == SQLITE_DONE && finalRc == SQLITE_OK && sqliteIntegrity(dst, &msg);
        sqlite3_close(dst);
        if (!whole) {
            QFile::remove(tmp);
            *error = QStringLiteral("备份失败：%1").arg(msg);
            return false;
        }
        return renameInto(tmp, file, error);
    }
    bool restore(const ConnectionSettings &s, const QString &file, QString *error) const override
    {
        sqlite3 *src = openSqliteBackup(file, error);
        if (!src) return false;
        const QString target = sqliteDatabaseFile(s);
        sqlite3 *dst = nullptr;
        bool ok = false;
        if (sqlite3_open_v2(QFile::encodeName(target).constData(), &dst, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            *error = QStringLiteral("无法打开数据库文件：%1").arg(target);
        } else {
            // A workstation in the middle of a statement is waited for briefly;
            // one that keeps the file busy makes the restore fail untouched.
            sqlite3_busy_timeout(dst, 3000);
            sqlite3_backup *b = sqlite3_backup_init(dst, "main", src, "main");
            int rc = SQLITE_ERROR;
            if (b) {
                // One step in one write transaction of the target: all pages or none.
                rc = sqlite3_backup_step(b, -1);
                sqlite3_backup_finish(b);
            }
            ok = rc == SQLITE_DONE && sqlite3_errcode(dst) == SQLITE_OK;
            if (!ok)
                *error = rc == SQLITE_BUSY || rc == SQLITE_LOCKED
                             ? QStringLiteral("数据库正被其它程序使用：%1").arg(target)
                             : QStringLiteral("恢复失败：%1").arg(QString::fromUtf8(sqlite3_errmsg(dst)));
        }
        sqlite3_close(dst);
        sqlite3_close(src);
        return ok;
    }
};

// --- PostgreSQL ---------------------------------------------------------

QString pgHost(const ConnectionSettings &s)
{
    const QString h = s.server.trimmed();
    return h.isEmpty() || h.compare(QLatin1String("(Local)"), Qt::CaseInsensitive) == 0 ? QStringLiteral("127.0.0.1") : h;
}

QString pgIdent(const QString &name) { return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"'; }
QString pgLiteral(const QString &text) { return u'\'' + QString(text).replace(u'\'', QLatin1String("''")) + u'\''; }

// The client programs of the newest PostgreSQL installed, else those on the search path.
QString pgProgram(const QString &name)
{
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &v : std::as_const(versions)) {
        const QString path = lib.filePath(v + QStringLiteral("/bin/") + name);
        if (QFileInfo(path).isExecutable()) return path;
    }
    return QStandardPaths::findExecutable(name);
}

// Runs pg_dump or pg_restore against the configured server; `connect` false
// for a look at a file alone. `out` gets the program's messages.
bool runPgProgram(const QString &name, const ConnectionSettings &s, QStringList args, QString *out, bool connect = true)
{
    const QString program = pgProgram(name);
    if (program.isEmpty()) {
        *out = QStringLiteral("找不到 %1 程序，请安装 postgresql-client").arg(name);
        return false;
    }
    if (connect)
        args = QStringList {QStringLiteral("-h"), pgHost(s), QStringLiteral("-p"), QString::number(s.port > 0 ? s.port : 5432),
                            QStringLiteral("-U"), s.user.isEmpty() ? QStringLiteral("sa") : s.user, QStringLiteral("-w")}
               + args;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), s.password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("5"));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    const bool finished = p.waitForFinished(60 * 60 * 1000);
    if (!finished) {
        p.kill();
        p.waitForFinished();
    }
    *out = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
    if (out->isEmpty() && !finished) *out = p.errorString();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class PostgresDialect : public Dialect {
public:
    QString name() const override { return QStringLiteral("postgres"); }
    // A restore blocks new sessions before it swaps the names; a program
    // ended in between would leave the archive refusing every workstation.
    bool reopenClosedDatabase(const ConnectionSettings &s, const QString &openError) const override
    {
        if (!openError.contains(QLatin1String("not currently accepting connections"))) return false;
        const QString connName = QStringLiteral("reopen-db-") + QUuid::createUuid().toString(QUuid::Id128);
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver(), connName);
            ConnectionSettings maintenance = s;
            maintenance.database = QStringLiteral("postgres");
            QString error;
            if (configure(db, maintenance, &error) && db.open()) {
                QSqlQuery q(db);
                ok = q.exec(QStringLiteral("alter database %1 allow_connections true").arg(pgIdent(s.database)));
                if (ok) qWarning("database %s took no connections (a restore ended half-way); opened again", qPrintable(s.database));
            }
        }
        QSqlDatabase::removeDatabase(connName);
        return ok;
    }
    QString orderItem(const QString &column, bool descending, bool text) const override
    {
        // citext compares lower-cased; "C" keeps character order, not the server locale's.
        return quoteName(column) + (text ? QLatin1String(" collate \"C\"") : QLatin1String()) + nullsOrder(descending);
    }
    QString qtDriver() const override { return QStringLiteral("QPSQL"); }
    QString translate(const QString &tsql, QStringList *p) const override
    {
        return Tsql::translate(tsql, Tsql::Target::Postgres, p);
    }
    bool configure(QSqlDatabase &db, const ConnectionSettings &s, QString *error) const override
    {
        if (s.database.trimmed().isEmpty()) {
            *error = QStringLiteral("未指定数据库名称");
            return false;
        }
        db.setHostName(pgHost(s));
        if (s.port > 0) db.setPort(s.port);
        db.setDatabaseName(s.database);
        db.setUserName(s.user.isEmpty() ? QStringLiteral("sa") : s.user);
        db.setPassword(s.password);
        // Bounded waits: a server that is down or vanishes is reported, not waited on.
        db.setConnectOptions(QStringLiteral(
            "connect_timeout=5;keepalives=1;keepalives_idle=10;keepalives_interval=3;keepalives_count=3;application_name=clservice"));
        return true;
    }
    bool afterOpen(QSqlDatabase &db, QString *error) const override
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SET datestyle TO ISO, YMD"))) {
            *error = q.lastError().text();
            return false;
        }
        return true;
    }
    QString columnType(ColType type, int) const override
    {
        switch (type) {
        case ColType::Identity: return QStringLiteral("integer generated by default as identity primary key");
        case ColType::Integer: return QStringLiteral("integer");
        case ColType::Float: return QStringLiteral("double precision");
        case ColType::Bit: return QStringLiteral("smallint");
        case ColType::DateTime: return QStringLiteral("timestamp(0)");
        case ColType::Text:
        case ColType::LongText: return QStringLiteral("citext");
        }
        return {};
    }
    QStringList prepareSchema() const override
    {
        return {QStringLiteral("create extension if not exists citext"), QStringLiteral("create extension if not exists pg_trgm")};
    }
    QString patternIndex(const QString &name, const QString &table, const QString &column) const override
    {
        // Patterns are matched on the column's text (the translation casts
        // it), which the planner can estimate and a trigram index serves.
        return QStringLiteral("create index if not exists %1 on %2 using gin ((%3::text) gin_trgm_ops)").arg(name, table, column);
    }
    QString expressionStatistics(const QString &name, const QString &table, const QStringList &expressions) const override
    {
        return QStringLiteral("create statistics if not exists %1 on (%2) from %3")
            .arg(name, expressions.join(QStringLiteral("), (")), table);
    }
    bool createDatabase(const ConnectionSettings &s, QString *error) const override
    {
        const QString name = s.database.trimmed();
        if (name.isEmpty()) {
            *error = QStringLiteral("没有指定数据库名称。");
            return false;
        }
        // Created from the server's maintenance database.
        const QString connName = QStringLiteral("create-db-") + QUuid::createUuid().toString(QUuid::Id128);
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver(), connName);
            ConnectionSettings maintenance = s;
            maintenance.database = QStringLiteral("postgres");
            if (configure(db, maintenance, error)) {
                if (!db.open()) {
                    *error = QStringLiteral("无法连接数据库服务器：%1").arg(db.lastError().text());
                } else {
                    QSqlQuery query(db);
                    query.prepare(QStringLiteral("select 1 from pg_database where datname = ?"));
                    query.addBindValue(name);
                    if (!query.exec()) {
                        *error = query.lastError().text();
                    } else if (query.next()) {
                        ok = true;
                    } else {
                        QSqlQuery create(db);
                        ok = create.exec(QStringLiteral("create database \"%1\"").arg(QString(name).replace(u'"', QLatin1String("\"\""))));
                        if (!ok) *error = QStringLiteral("无法建立数据库 %1：%2").arg(name, create.lastError().text());
                    }
                }
            }
        }
        QSqlDatabase::removeDatabase(connName);
        return ok;
    }
    bool backup(QSqlDatabase &, const ConnectionSettings &s, const QString &file, QString *error) const override
    {
        const QString tmp = file + QLatin1String(".part");
        QFile::remove(tmp);
        QString out;
        if (!runPgProgram(QStringLiteral("pg_dump"), s,
                          {QStringLiteral("-Fc"), QStringLiteral("-f"), tmp, QStringLiteral("-d"), s.database}, &out)
            // The archive must read back whole before it takes the day's name.
            || !runPgProgram(QStringLiteral("pg_restore"), s, {QStringLiteral("-l"), tmp}, &out, false)) {
            QFile::remove(tmp);
            *error = QStringLiteral("备份失败：%1").arg(out);
            return false;
        }
        return renameInto(tmp, file, error);
    }
    bool restore(const ConnectionSettings &s, const QString &file, QString *error) const override
    {
        QString out;
        // Refused before anything changes when it is not an archive at all.
        if (!runPgProgram(QStringLiteral("pg_restore"), s, {QStringLiteral("-l"), file}, &out, false)) {
            *error = QStringLiteral("不是有效的备份文件：%1 (%2)").arg(file, out);
            return false;
        }
        const QString connName = QStringLiteral("restore-") + QUuid::createUuid().toString(QUuid::Id128);
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver(), connName);
            ConnectionSettings maintenance = s;
            maintenance.database = QStringLiteral("postgres");
            if (configure(db, maintenance, error)) {
                if (db.open()) ok = restoreInto(db, s, file, error);
                else *error = QStringLiteral("无法连接数据库服务器：%1").arg(db.lastError().text());
            }
        }
        QSqlDatabase::removeDatabase(connName);
        return ok;
    }

private:
    // The archive goes into a fresh database first; the names are swapped only
    // when it restored whole, so a failed restore leaves the archive as it was.
    bool restoreInto(QSqlDatabase &db, const ConnectionSettings &s, const QString &file, QString *error) const
    {
        QSqlQuery q(db);
        auto run = [&](const QString &sql, const QVariantList &values = {}) {
            bool ok;
            if (values.isEmpty()) {
                ok = q.exec(sql);   // statements on databases cannot be prepared
            } else {
                ok = q.prepare(sql);
                for (const QVariant &v : values) q.addBindValue(v);
                ok = ok && q.exec();
            }
            if (ok) return true;
            *error = q.lastError().text();
            return false;
        };
        const QString name = s.database;
        QString options = QStringLiteral(" encoding 'UTF8'");
        if (run(QStringLiteral("select pg_encoding_to_char(encoding), datcollate, datctype from pg_database where datname = ?"),
                {name})
            && q.next())
            options = QStringLiteral(" encoding %1 lc_collate %2 lc_ctype %3")
                          .arg(pgLiteral(q.value(0).toString()), pgLiteral(q.value(1).toString()), pgLiteral(q.value(2).toString()));
        const QString tag = QUuid::createUuid().toString(QUuid::Id128).left(8);
        const QString fresh = name.left(40) + QStringLiteral("_restore_") + tag;
        const QString old = name.left(40) + QStringLiteral("_replaced_") + tag;
        if (!run(QStringLiteral("create database %1 template template0%2").arg(pgIdent(fresh), options))) return false;
        ConnectionSettings into = s;
        into.database = fresh;
        QString out;
        if (!runPgProgram(QStringLiteral("pg_restore"), into,
                          {QStringLiteral("--exit-on-error"), QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                           // tables and indexes in parallel sessions: the indexes are most of the time
                           QStringLiteral("--jobs=%1").arg(qBound(2, QThread::idealThreadCount(), 4)),
                           QStringLiteral("-d"), fresh, file},
                          &out)) {
            run(QStringLiteral("drop database if exists %1").arg(pgIdent(fresh)));
            *error = QStringLiteral("恢复失败：%1").arg(out);
            return false;
        }
        // No new sessions meanwhile, then every other session on the database is ended.
        const bool blocked = run(QStringLiteral("alter database %1 allow_connections false").arg(pgIdent(name)));
        bool alone = false;
        for (int round = 0; round < 50 && !alone; ++round) {
            if (!run(QStringLiteral("select count(pg_terminate_backend(pid)) from pg_stat_activity "
                                    "where datname = ? and pid <> pg_backend_pid()"),
                     {name})
                || !q.next())
                break;
            alone = q.value(0).toInt() == 0;
            if (!alone) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        const auto undo = [&] {
            const QString why = *error;
            if (blocked) run(QStringLiteral("alter database %1 allow_connections true").arg(pgIdent(name)));
            run(QStringLiteral("drop database if exists %1").arg(pgIdent(fresh)));
            *error = why;
        };
        if (!alone) {
            *error = QStringLiteral("数据库正被其它程序使用：%1").arg(name);
            undo();
            return false;
        }
        // Both renames in one transaction: a program ended between them must
        // not leave the archive without a database under its name.
        if (!run(QStringLiteral("begin"))
            || !run(QStringLiteral("alter database %1 rename to %2").arg(pgIdent(name), pgIdent(old)))
            || !run(QStringLiteral("alter database %1 rename to %2").arg(pgIdent(fresh), pgIdent(name)))
            || !run(QStringLiteral("commit"))) {
            const QString why = *error;
            q.exec(QStringLiteral("rollback"));
            *error = why;
            undo();
            return false;
        }
        if (!run(QStringLiteral("drop database %1").arg(pgIdent(old))))
            qWarning("the replaced database %s is left on the server: %s", qPrintable(old), qPrintable(*error));
        return true;
    }
};

// --- SQL Server ---------------------------------------------------------

class MssqlDialect : public Dialect {
public:
    QString name() const override { return QStringLiteral("mssql"); }
    QString quoteName(const QString &name) const override
    {
        return u'[' + QString(name).replace(u']', QLatin1String("]]")) + u']';
    }
    QString orderItem(const QString &column, bool descending, bool) const override
    {
        // Empty values are the smallest there already.
        return quoteName(column) + (descending ? QLatin1String(" desc") : QLatin1String(" asc"));
    }
    QString qtDriver() const override { return QStringLiteral("QODBC"); }
    QString translate(const QString &tsql, QStringList *p) const override
    {
        return Tsql::translate(tsql, Tsql::Target::Mssql, p);
    }
    bool configure(QSqlDatabase &db, const ConnectionSettings &s, QString *) const override
    {
        db.setDatabaseName(QStringLiteral("DRIVER={FreeTDS};SERVER=%1;PORT=%2;DATABASE=%3;UID=%4;PWD=%5;TDS_Version=7.3;ClientCharset=UTF-8")
                               .arg(s.server, QString::number(s.port > 0 ? s.port : 1433), s.database,
                                    s.user.isEmpty() ? QStringLiteral("sa") : s.user, s.password));
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=5"));
        return true;
    }
    bool afterOpen(QSqlDatabase &, QString *) const override { return true; }
    // The server's administrator creates the database.
    bool createDatabase(const ConnectionSettings &, QString *) const override { return true; }
    // SQL Server has no "if not exists" on indexes.
    QString createIndex(const QString &name, const QString &table, const QString &columns, bool unique) const override
    {
        return QStringLiteral("if not exists (select 1 from sys.indexes where name = '%1') create %2index %1 on %3(%4)")
            .arg(name, unique ? QStringLiteral("unique ") : QString(), table, columns);
    }
    QString dropIndex(const QString &name, const QString &table) const override
    {
        return QStringLiteral("if exists (select 1 from sys.indexes where name = '%1') drop index %1 on %2").arg(name, table);
    }
    QString columnType(ColType type, int size) const override
    {
        switch (type) {
        case ColType::Identity: return QStringLiteral("int identity(1,1) primary key");
        case ColType::Integer: return QStringLiteral("int");
        case ColType::Float: return QStringLiteral("float");
        case ColType::Bit: return QStringLiteral("bit");
        case ColType::DateTime: return QStringLiteral("datetime");
        case ColType::Text: return size > 0 ? QStringLiteral("nvarchar(%1)").arg(size) : QStringLiteral("nvarchar(255)");
        case ColType::LongText: return QStringLiteral("ntext");
        }
        return {};
    }
    QString savepointSql(const QString &name) const override { return QStringLiteral("save transaction ") + name; }
    QString releaseSavepointSql(const QString &) const override { return {}; }
    QString rollbackToSavepointSql(const QString &name) const override { return QStringLiteral("rollback transaction ") + name; }
    QString pageSql(const QString &sel, qint64 offset, qint64 limit) const override
    {
        // OFFSET/FETCH needs an ORDER BY; a statement without one keeps its order.
        bool hasLimit = false;
        const QString noOrder = Tsql::withoutOrderBy(sel, &hasLimit);
        const QString ordered = noOrder.size() == sel.size() ? sel + QStringLiteral(" order by (select null)") : sel;
        return ordered + QStringLiteral(" offset %1 rows fetch next %2 rows only").arg(offset).arg(limit);
    }
    bool backup(QSqlDatabase &db, const ConnectionSettings &s, const QString &file, QString *error) const override
    {
        QSqlQuery q(db);
        if (!q.exec(ServerBackupSql::backup(s.database, file))) {
            *error = q.lastError().text();
            return false;
        }
        return true;
    }
    bool restore(const ConnectionSettings &s, const QString &file, QString *error) const override
    {
        // Its own connection to master on the configured server: the
        // database being replaced cannot be in use by the restore itself.
        const QString connName = QStringLiteral("restore-") + QUuid::createUuid().toString(QUuid::Id128);
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(qtDriver(), connName);
            ConnectionSettings master = s;
            master.database = QStringLiteral("master");
            configure(db, master, error);
            if (!db.open()) {
                *error = db.lastError().text();
            } else {
                QSqlQuery q(db);
                ok = q.exec(ServerBackupSql::killProcedureCount()) && q.next();
                if (ok && q.value(0).toInt() == 0) ok = q.exec(ServerBackupSql::killProcedureLines().join(QLatin1String("\r\n")));
                ok = ok && q.exec(ServerBackupSql::killConnections(s.database));
                if (ok) std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ok = ok && q.exec(ServerBackupSql::restore(s.database, file));
                if (!ok) *error = q.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(connName);
        return ok;
    }
};

} // namespace

std::unique_ptr<Dialect> Dialect::create(const QString &driver)
{
    const QString d = driver.trimmed().toLower();
    if (d.isEmpty() || d == QLatin1String("sqlite")) return std::make_unique<SqliteDialect>();
    if (d == QLatin1String("postgres") || d == QLatin1String("postgresql") || d == QLatin1String("pg"))
        return std::make_unique<PostgresDialect>();
    if (d == QLatin1String("mssql") || d == QLatin1String("sqlserver")) return std::make_unique<MssqlDialect>();
    return nullptr;
}
