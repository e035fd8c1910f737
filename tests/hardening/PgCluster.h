#pragma once
// A PostgreSQL cluster of a test's own, in a temporary folder under /tmp on
// a free port of 127.0.0.1, so that the test may stop, restart and cut the
// sessions of its server while other tests use theirs. Trust login; the
// role "sa" is a superuser. Run as root, the server runs as "postgres".

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QVersionNumber>
#include <memory>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

class PgCluster {
public:
    PgCluster() = default;
    ~PgCluster()
    {
        if (m_started) pgCtl({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")});
    }
    PgCluster(const PgCluster &) = delete;
    PgCluster &operator=(const PgCluster &) = delete;

    // The highest installed server's programs; empty when there is none.
    static QString binDir()
    {
        QDir lib(QStringLiteral("/usr/lib/postgresql"));
        QString best;
        QVersionNumber bestVersion;
        for (const QString &v : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString bin = lib.filePath(v + QStringLiteral("/bin"));
            const QVersionNumber n = QVersionNumber::fromString(v);
            if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() && (best.isEmpty() || n > bestVersion)) {
                best = bin;
                bestVersion = n;
            }
        }
        return best;
    }

    // Makes and starts the cluster; empty when it runs, otherwise why not.
    QString start()
    {
        m_bin = binDir();
        if (m_bin.isEmpty()) return QStringLiteral("PostgreSQL server programs not found under /usr/lib/postgresql");
        m_psql = QFileInfo(m_bin + QStringLiteral("/psql")).isExecutable() ? m_bin + QStringLiteral("/psql")
                                                                           : QStandardPaths::findExecutable(QStringLiteral("psql"));
        if (m_psql.isEmpty()) return QStringLiteral("psql not found");
        m_asRoot = ::geteuid() == 0;
        if (m_asRoot) {
            m_runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
            if (m_runuser.isEmpty()) m_runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
            const passwd *pw = ::getpwnam("postgres");
            if (m_runuser.isEmpty() || !pw) return QStringLiteral("running as root needs runuser and a postgres account");
            m_uid = pw->pw_uid;
            m_gid = pw->pw_gid;
        }
        m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/clservice-lost-XXXXXX"));
        if (!m_dir->isValid()) return QStringLiteral("no temporary folder under /tmp");
        if (m_asRoot && ::chown(QFile::encodeName(m_dir->path()).constData(), m_uid, m_gid) != 0)
            return QStringLiteral("cannot hand %1 to postgres").arg(m_dir->path());
        m_port = freePort();
        if (m_port <= 0) return QStringLiteral("no free port");
        QString out;
        if (!runAsOwner(m_bin + QStringLiteral("/initdb"),
                        {QStringLiteral("-D"), dataDir(), QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"),
                         QStringLiteral("postgres"), QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")},
                        &out))
            return QStringLiteral("initdb failed: ") + out;
        if (!startAgain()) return QStringLiteral("the server did not start: ") + m_lastOutput;
        if (!psql(QStringLiteral("create role sa superuser login"), &out)) return QStringLiteral("create role sa: ") + out;
        return {};
    }

    int port() const { return m_port; }
    bool running() const { return m_started; }
    QString lastOutput() const { return m_lastOutput; }

    // A fast shutdown: every session is ended, new ones are refused.
    bool stop()
    {
        const bool ok = pgCtl({QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")});
        if (ok) m_started = false;
        return ok;
    }

    bool startAgain()
    {
        const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                               "-c synchronous_commit=off -c full_page_writes=off")
                                    .arg(m_port)
                                    .arg(m_dir->path());
        const bool ok = pgCtl({QStringLiteral("-l"), m_dir->filePath(QStringLiteral("server.log")), QStringLiteral("-w"),
                               QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"), options, QStringLiteral("start")});
        if (ok) m_started = true;
        return ok;
    }

    bool restart() { return stop() && startAgain(); }

    // Ends every session of the database (the server stays up) and waits
    // until they are gone; the number ended, -1 when it failed.
    int terminateSessions(const QString &database)
    {
        const QString where = QStringLiteral("datname = '%1' and pid <> pg_backend_pid()").arg(database);
        QString out;
        if (!psql(QStringLiteral("select count(pg_terminate_backend(pid)) from pg_stat_activity where ") + where, &out)) return -1;
        const int ended = out.trimmed().toInt();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 15000) {
            if (!psql(QStringLiteral("select count(*) from pg_stat_activity where ") + where, &out)) return -1;
            if (out.trimmed() == QLatin1String("0")) return ended;
            QThread::msleep(20);
        }
        return -1;
    }

    // One statement through psql as postgres; `out` gets its unaligned output.
    bool psql(const QString &sql, QString *out)
    {
        return run(m_psql,
                   {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port),
                    QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"), QStringLiteral("postgres"),
                    QStringLiteral("-X"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-q"),
                    QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql},
                   out);
    }

private:
    QString dataDir() const { return m_dir->filePath(QStringLiteral("data")); }

    bool pgCtl(const QStringList &args)
    {
        return runAsOwner(m_bin + QStringLiteral("/pg_ctl"), QStringList{QStringLiteral("-D"), dataDir()} + args, &m_lastOutput);
    }

    bool runAsOwner(const QString &program, const QStringList &args, QString *out)
    {
        if (!m_asRoot) return run(program, args, out);
        return run(m_runuser, QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args, out);
    }

    static bool run(const QString &program, const QStringList &args, QString *out)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        // The server started by pg_ctl must not hold this process's pipes.
        p.setStandardInputFile(QProcess::nullDevice());
        p.setWorkingDirectory(QStringLiteral("/"));
        p.start(program, args);
        const bool finished = p.waitForFinished(120000);
        if (!finished) {
            p.kill();
            p.waitForFinished();
        }
        *out = QString::fromLocal8Bit(p.readAll());
        return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    static int freePort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (fd < 0) return -1;
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        socklen_t len = sizeof a;
        int port = -1;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) == 0)
            port = ntohs(a.sin_port);
        ::close(fd);
        return port;
    }

    QString m_bin;
    QString m_psql;
    QString m_runuser;
    bool m_asRoot = false;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_port = 0;
    bool m_started = false;
    QString m_lastOutput;
};
