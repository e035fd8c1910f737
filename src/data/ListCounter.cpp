#include "ListCounter.h"

#include "Connection.h"
#include "TsqlTranslator.h"

#include <QMetaObject>
#include <QObject>
#include <QSqlQuery>
#include <atomic>
#include <set>

namespace {

bool sameSettings(const ConnectionSettings &a, const ConnectionSettings &b)
{
    return a.driver == b.driver && a.server == b.server && a.database == b.database && a.user == b.user
           && a.password == b.password && a.port == b.port;
}

// Connection names are process-wide: every counter needs one of its own.
QString nextConnectionName()
{
    static std::atomic<int> serial {0};
    return QStringLiteral("ListCounter%1").arg(++serial);
}

// The counters alive, and whether their connections are to stay closed.
std::mutex g_countersMutex;
std::set<ListCounter *> g_counters;
bool g_hold = false;

} // namespace

ListCounter::ListCounter(QObject *receiver, CountDone countDone, SumsDone sumsDone)
    : m_receiver(receiver), m_countDone(std::move(countDone)), m_sumsDone(std::move(sumsDone)),
      m_connectionName(nextConnectionName())
{
    const std::lock_guard registry(g_countersMutex);
    m_hold = g_hold;
    g_counters.insert(this);
    m_thread = std::thread([this] { run(); });
}

ListCounter::~ListCounter()
{
    {
        const std::lock_guard registry(g_countersMutex);
        g_counters.erase(this);
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void ListCounter::requestCount(const ConnectionSettings &settings, const QString &statement, int generation)
{
    {
        const std::lock_guard lock(m_mutex);
        m_count = Job {settings, statement, generation, {}, {}};
        m_sums.reset();
    }
    m_wake.notify_one();
}

void ListCounter::requestSums(const ConnectionSettings &settings, const QString &statement, int generation,
                              const QVector<int> &fields, const QStringList &names)
{
    {
        const std::lock_guard lock(m_mutex);
        m_sums = Job {settings, statement, generation, fields, names};
    }
    m_wake.notify_one();
}

void ListCounter::closeConnections()
{
    const std::lock_guard registry(g_countersMutex);
    g_hold = true;
    for (ListCounter *c : g_counters) {
        std::unique_lock lock(c->m_mutex);
        c->m_hold = true;
        c->m_wake.notify_one();
        c->m_closedWake.wait(lock, [c] { return c->m_closed; });
    }
}

void ListCounter::reopenConnections()
{
    const std::lock_guard registry(g_countersMutex);
    g_hold = false;
    for (ListCounter *c : g_counters) {
        {
            const std::lock_guard lock(c->m_mutex);
            c->m_hold = false;
        }
        c->m_wake.notify_one();
    }
}

void ListCounter::run()
{
    Connection cnn(m_connectionName);
    ConnectionSettings openedWith;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || (m_hold && !m_closed) || (!m_hold && (m_count || m_sums)); });
            if (m_stop) break;
            if (m_hold) {
                cnn.close();
                m_closed = true;
                m_closedWake.notify_all();
                continue;
            }
            m_closed = false;
            std::optional<Job> &next = m_count ? m_count : m_sums;
            job = std::move(*next);
            next.reset();
        }
        if (!cnn.isOpen() || !sameSettings(openedWith, job.settings)) {
            openedWith = job.settings;
            cnn.open(job.settings);
        }
        QStringList items;
        for (const QString &name : std::as_const(job.names))
            items << QStringLiteral("sum(%1)").arg(cnn.isOpen() ? cnn.dialect().quoteName(name) : name);
        QVector<double> values;
        bool ok = false;
        if (cnn.isOpen()) {
            QStringList params;
            const QString native = cnn.dialect().translate(job.statement, &params);
            const QString sql = QStringLiteral("select %1 from (%2) as count_q")
                                    .arg(items.isEmpty() ? QStringLiteral("count(*)") : items.join(u','),
                                         Tsql::withoutOrderBy(native));
            QSqlQuery q;
            ok = cnn.execNative(q, sql, params, {}, true, job.statement) && q.next();
            for (int i = 0; ok && i < qMax(1, int(items.size())); ++i) values << q.value(i).toDouble();
        }
        if (job.fields.isEmpty()) {
            const int count = ok ? int(values.value(0)) : -1;
            QMetaObject::invokeMethod(
                m_receiver, [done = m_countDone, g = job.generation, count] { done(g, count); }, Qt::QueuedConnection);
        } else if (ok) {
            QMetaObject::invokeMethod(
                m_receiver, [done = m_sumsDone, g = job.generation, f = job.fields, values] { done(g, f, values); },
                Qt::QueuedConnection);
        }
    }
    cnn.close();
}
