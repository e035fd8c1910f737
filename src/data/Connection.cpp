#include "Connection.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QUuid>

// --- Params -------------------------------------------------------------

QString Params::normal(const QString &name)
{
    QString n = name.startsWith(u':') ? name.mid(1) : name;
    return n.toLower();
}

void Params::set(const QString &name, const QVariant &value)
{
    const QString n = normal(name);
    for (auto &item : m_items)
        if (normal(item.first) == n) {
            item.second = value;
            return;
        }
    m_items.emplace_back(name.startsWith(u':') ? name.mid(1) : name, value);
}

bool Params::contains(const QString &name) const
{
    const QString n = normal(name);
    for (const auto &item : m_items)
        if (normal(item.first) == n) return true;
    return false;
}

QVariant Params::value(const QString &name) const
{
    const QString n = normal(name);
    for (const auto &item : m_items)
        if (normal(item.first) == n) return item.second;
    return {};
}

QString Params::traceText() const
{
    QStringList parts;
    for (const auto &item : m_items) {
        QString v = item.second.isNull() ? QStringLiteral("NULL") : item.second.toString();
        v.replace(u'\n', QLatin1String("\\n"));
        parts << item.first + u'=' + v;
    }
    return parts.join(u' ');
}

// --- Connection ---------------------------------------------------------

Connection::Connection(const QString &connectionName)
    : m_name(connectionName + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::Id128).left(8))
{
}

Connection::~Connection() { close(); }

bool Connection::open(const ConnectionSettings &settings)
{
    close();
    m_settings = settings;
    m_dialect = Dialect::create(settings.driver);
    if (!m_dialect) {
        m_lastError = QStringLiteral("未知的数据库类型：%1").arg(settings.driver);
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(m_dialect->qtDriver())) {
        m_lastError = QStringLiteral("缺少数据库驱动 %1").arg(m_dialect->qtDriver());
        return false;
    }
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(m_dialect->qtDriver(), m_name);
        QString error;
        ok = m_dialect->configure(db, settings, &error) && openDatabase(db, &error);
        if (!ok) m_lastError = error;
    }
    if (!ok) QSqlDatabase::removeDatabase(m_name);
    return ok;
}

bool Connection::openDatabase(QSqlDatabase &db, QString *error)
{
    bool ok = db.open();
    if (!ok) {
        *error = db.lastError().text();
        ok = m_dialect->reopenClosedDatabase(m_settings, *error) && db.open();
        if (!ok && db.lastError().isValid()) *error = db.lastError().text();
    }
    if (ok) ok = m_dialect->afterOpen(db, error);
    if (!ok) db.close();
    return ok;
}

void Connection::close()
{
    m_lost = false;
    m_depth = 0;
    if (!QSqlDatabase::contains(m_name)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

// A session the server ended still reports itself open and fails every
// statement, so a failure outside a transaction asks the server once.
void Connection::checkSession()
{
    if (m_depth > 0 || m_lost || !m_dialect || !QSqlDatabase::contains(m_name)) return;
    // Some drivers notice the end themselves and report the database closed.
    if (isOpen()) {
        QSqlQuery probe(database());
        if (probe.exec(QStringLiteral("select 1"))) return;
    }
    const QString reason = m_lastError;
    qWarning("%s: the database session ended (%s); opening it again", qPrintable(m_name), qPrintable(reason));
    m_lost = true;
    reopenSession();
    m_lastError = reason;   // the caller reports the statement that failed
}

// In place: queries made on the connection stay bound to it.
bool Connection::reopenSession()
{
    QSqlDatabase db = database();
    db.close();
    QString error;
    if (!openDatabase(db, &error)) {
        m_lastError = error;
        return false;
    }
    m_lost = false;
    qWarning("%s: the database session is open again", qPrintable(m_name));
    return true;
}

bool Connection::ensureOpen()
{
    // Opened by open() and not closed by close(), yet closed: the driver saw the session end.
    if (!m_lost && m_dialect && QSqlDatabase::contains(m_name) && !isOpen()) m_lost = true;
    if (m_lost && m_depth == 0 && m_dialect && QSqlDatabase::contains(m_name)) reopenSession();
    if (isOpen()) return true;
    if (!m_lost) m_lastError = QStringLiteral("数据库未连接");   // lost: why it did not open
    return false;
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const { return QSqlDatabase::database(m_name, false); }

QString Connection::connectionText() const
{
    return m_dialect ? m_dialect->connectionText(m_settings) : QString();
}

QVariant Connection::normaliseValue(const QVariant &v)
{
    if (v.isNull() || !v.isValid()) return QVariant();
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? 1 : 0;
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                         : dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    }
    case QMetaType::QString: {
        QString s = v.toString();
        if (s.contains(QChar(u'\0'))) s.remove(QChar(u'\0'));
        // Midnight is stored as the plain date, so a date literal compares
        // with it the way SQL Server compares datetimes. Only a text of that
        // length can be one (bulk inserts bind a great many texts).
        if ((s.size() != 16 && s.size() != 19) || s.at(10) != u' ') return s;
        static const QRegularExpression midnight(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) 00:00(:00)?$"));
        const auto m = midnight.match(s);
        if (m.hasMatch()) s = m.captured(1);
        return s;
    }
    default: return v;
    }
}

bool Connection::tracing() { return !qEnvironmentVariableIsEmpty("CLSERVICE_SQL_TRACE"); }

void Connection::trace(const QString &tsql, const Params &params) const
{
    const QString path = qEnvironmentVariable("CLSERVICE_SQL_TRACE");
    if (path.isEmpty()) return;
    QFile f(path);
    if (!f.open(QIODevice::Append | QIODevice::Text)) return;
    QString line = tsql;
    line.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    line.replace(u'\n', QLatin1String("\\n"));
    if (!params.isEmpty()) line += QLatin1String(" -- ") + params.traceText();
    f.write(line.toUtf8() + '\n');
}

bool Connection::exec(QSqlQuery &query, const QString &tsql, const Params &params, bool forwardOnly)
{
    if (!m_dialect) {
        m_lastError = QStringLiteral("数据库未连接");
        return false;
    }
    QStringList names;
    const QString native = m_dialect->translate(tsql, &names);
    return execNative(query, native, names, params, forwardOnly, tsql);
}

bool Connection::execNative(QSqlQuery &query, const QString &sql, const QStringList &paramNames,
                            const Params &params, bool forwardOnly, const QString &traceAs)
{
    trace(traceAs.isEmpty() ? sql : traceAs, params);
    return execUntraced(query, sql, paramNames, params, forwardOnly);
}

bool Connection::execUntraced(QSqlQuery &query, const QString &sql, const QStringList &paramNames,
                              const Params &params, bool forwardOnly)
{
    if (!ensureOpen()) return false;
    query = QSqlQuery(database());
    query.setForwardOnly(forwardOnly);
    bool ok;
    if (paramNames.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        if (ok) {
            for (const QString &n : paramNames) query.addBindValue(normaliseValue(params.value(n)));
            ok = query.exec();
        }
    }
    if (!ok) {
        m_lastError = query.lastError().text();
        checkSession();
    }
    return ok;
}

namespace {
QString savepointName(int depth) { return QStringLiteral("sp_level%1").arg(depth); }
} // namespace

bool Connection::execSavepoint(const QString &sql)
{
    if (sql.isEmpty()) return true;
    QSqlQuery q(database());
    if (q.exec(sql)) return true;
    m_lastError = q.lastError().text();
    return false;
}

bool Connection::beginTransaction()
{
    if (!ensureOpen()) return false;
    if (m_depth > 0) {
        if (!execSavepoint(m_dialect->savepointSql(savepointName(m_depth + 1)))) return false;
        ++m_depth;
        return true;
    }
    QSqlDatabase db = database();
    if (!db.transaction()) {
        m_lastError = db.lastError().text();
        checkSession();
        return false;
    }
    m_depth = 1;
    return true;
}

bool Connection::commit()
{
    if (m_depth <= 0) {
        m_lastError = QStringLiteral("没有进行中的事务");
        return false;
    }
    if (m_depth > 1) {
        if (!execSavepoint(m_dialect->releaseSavepointSql(savepointName(m_depth)))) return false;
        --m_depth;
        return true;
    }
    QSqlDatabase db = database();
    if (!db.commit()) {
        // Still open: SQLite keeps a transaction whose COMMIT failed.
        m_lastError = db.lastError().text();
        return false;
    }
    m_depth = 0;
    return true;
}

bool Connection::rollback()
{
    if (m_depth <= 0) return false;
    // The level is gone whatever the server answers, and lastError() keeps
    // the reason the caller rolls back for.
    const QString reason = m_lastError;
    bool ok;
    if (m_depth > 1) {
        const QString name = savepointName(m_depth);
        ok = execSavepoint(m_dialect->rollbackToSavepointSql(name)) && execSavepoint(m_dialect->releaseSavepointSql(name));
    } else {
        ok = database().rollback();
    }
    --m_depth;
    m_lastError = reason;
    if (!ok) checkSession();   // outside the transaction now: a lost session is opened again
    return ok;
}

// --- ScopedTransaction --------------------------------------------------

ScopedTransaction::ScopedTransaction(Connection &cnn) : m_cnn(cnn) { m_active = cnn.beginTransaction(); }

ScopedTransaction::~ScopedTransaction()
{
    if (m_active) m_cnn.rollback();
}

bool ScopedTransaction::commit()
{
    if (!m_active) return false;
    if (!m_cnn.commit()) return false;
    m_active = false;
    return true;
}

// --- PreparedStatement ----------------------------------------------------

PreparedStatement::PreparedStatement(Connection &cnn, const QString &tsql, const QStringList &names)
    : m_cnn(cnn), m_tsql(tsql), m_names(names), m_query(cnn.database())
{
}

QString PreparedStatement::insertSql(const QString &table, const QStringList &columns)
{
    QStringList params;
    for (const QString &c : columns) params << u':' + c;
    return QStringLiteral("insert into %1(%2) values(%3)").arg(table, columns.join(u','), params.join(u','));
}

bool PreparedStatement::prepare(QString *error)
{
    QStringList params;
    const QString native = m_cnn.dialect().translate(m_tsql, &params);
    // The translator gives the parameters in statement order; map them onto our names.
    m_order.clear();
    for (const QString &p : params) {
        int idx = -1;
        for (int i = 0; i < m_names.size() && idx < 0; ++i)
            if (m_names.at(i).compare(p, Qt::CaseInsensitive) == 0) idx = i;
        if (idx < 0) {
            *error = QStringLiteral("参数 %1 无法对应字段").arg(p);
            return false;
        }
        m_order << idx;
    }
    if (!m_cnn.ensureOpen()) {
        *error = m_cnn.lastError();
        return false;
    }
    if (!m_query.prepare(native)) {
        *error = m_query.lastError().text();
        m_cnn.setLastError(*error);
        m_cnn.checkSession();
        return false;
    }
    return true;
}

bool PreparedStatement::exec(const QVector<QVariant> &values, QString *error)
{
    if (Connection::tracing()) {   // a bulk insert runs this for every row: no parameter list unless asked
        Params traced;
        for (int i = 0; i < m_names.size(); ++i) traced.set(m_names.at(i), values.value(i));
        m_cnn.trace(m_tsql, traced);
    }
    for (int i = 0; i < m_order.size(); ++i) m_query.bindValue(i, Connection::normaliseValue(values.value(m_order.at(i))));
    if (!m_query.exec()) {
        *error = m_query.lastError().text();
        m_cnn.setLastError(*error);
        m_cnn.checkSession();
        return false;
    }
    return true;
}
