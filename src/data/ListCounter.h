#pragma once
// Counts the rows of a list statement, and totals columns of it, on a
// connection of its own in a thread of its own, so a window paints its first
// screen and takes the next key without waiting for either. Only the newest
// request of each kind matters: one still waiting when a newer one comes is
// dropped, and a count for a new list drops a waiting total. The answers
// arrive on the receiver's thread with the generation they were asked for,
// so the window can drop those for a list it no longer shows.

#include "Dialect.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QObject;

class ListCounter {
public:
    // count is -1 when the statement failed (the connection is opened again for the next one).
    using CountDone = std::function<void(int generation, int count)>;
    using SumsDone = std::function<void(int generation, const QVector<int> &fields, const QVector<double> &totals)>;

    ListCounter(QObject *receiver, CountDone countDone, SumsDone sumsDone);
    ~ListCounter();
    ListCounter(const ListCounter &) = delete;
    ListCounter &operator=(const ListCounter &) = delete;

    // `statement` is the list's T-SQL; it is traced as the list's statement.
    void requestCount(const ConnectionSettings &settings, const QString &statement, int generation);
    // `names` are the result columns to total, spelled as the list's data set reports them;
    // `fields` are handed back with the totals.
    void requestSums(const ConnectionSettings &settings, const QString &statement, int generation,
                     const QVector<int> &fields, const QStringList &names);

    // Every counter of the program closes its connection (a running statement
    // is finished first) and keeps it closed, as a restore needs; requests
    // made meanwhile wait. reopenConnections() lets them go on, each opening
    // its connection again for its next statement.
    static void closeConnections();
    static void reopenConnections();

private:
    struct Job {
        ConnectionSettings settings;
        QString statement;
        int generation = 0;
        QVector<int> fields;   // empty: a count
        QStringList names;
    };

    void run();

    QObject *m_receiver;
    CountDone m_countDone;
    SumsDone m_sumsDone;
    const QString m_connectionName;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_count;
    std::optional<Job> m_sums;
    bool m_stop = false;
    bool m_hold = false;       // keep the connection closed and the requests waiting
    bool m_closed = true;      // the connection is closed (told to closeConnections)
    std::condition_variable m_closedWake;
    std::thread m_thread;   // last: started once the rest exists
};
