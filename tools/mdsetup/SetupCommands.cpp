#include "SetupCommands.h"

#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/Settings.h"
#include "data/Connection.h"
#include "data/ConnectionConfig.h"
#include "data/DataSet.h"
#include "data/DemoData.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

namespace SetupCommands {

namespace {

QString configPath() { return ProgramFolder::filePath(QStringLiteral("Config.ini")); }

QString describe(const ConnectionSettings &s)
{
    if (s.driver == QLatin1String("sqlite")) return QStringLiteral("sqlite %1").arg(sqliteDatabaseFile(s));
    return QStringLiteral("%1 %2@%3%4")
        .arg(s.driver, s.database, s.server, s.port > 0 ? QStringLiteral(":%1").arg(s.port) : QString());
}

void fail(QTextStream &err, const QString &chinese, const QString &english, const QString &detail = {})
{
    err << QStringLiteral("错误：") << chinese << QStringLiteral(" / error: ") << english << '\n';
    if (!detail.isEmpty()) err << detail << '\n';
    err.flush();
}

QString cellText(const QVariant &v)
{
    const int type = v.typeId();
    const FieldKind kind = type == QMetaType::QDateTime || type == QMetaType::QDate ? FieldKind::DateTime
                           : type == QMetaType::Double || type == QMetaType::Float ? FieldKind::Float
                                                                                    : FieldKind::Text;
    QString s = DataSet::displayText(v, kind);
    // One row per line, one cell per tab.
    s.remove(u'\r');
    s.replace(u'\n', QLatin1String("\\n"));
    s.replace(u'\t', QLatin1String("\\t"));
    return s;
}

} // namespace

ConnectionSettings readSettings() { return readConnectionSettings(PrivateProfile(configPath())); }

ConnectionSettings defaultSettings()
{
    // Without Config.ini the client reads the built-in name; an archive made
    // under that name must not be passed over for a new, empty one.
    ConnectionSettings s;
    s.database = Settings::entry(Settings::Key::DbDatabase).def.toString();
    if (!QFileInfo(sqliteDatabaseFile(s)).isFile()) s.database = QStringLiteral("clservice.db");
    return s;
}

bool writeSettings(const ConnectionSettings &s, QString *error)
{
    PrivateProfile ini(configPath());
    const bool ok = QDir().mkpath(ProgramFolder::path()) && writeConnectionSettings(ini, s);
    if (!ok && error) *error = QStringLiteral("无法写入配置文件 %1").arg(configPath());
    return ok;
}

// The steps both the window and `init` take: the database made when it is
// missing, connected, and given the tables and starting rows when it has none.
enum class Step { Create, Connect, Install };

bool createAndInstall(Connection &cnn, const ConnectionSettings &s, bool *alreadyInstalled, Step *failed, QString *error)
{
    *alreadyInstalled = false;
    if (!Schema::createDatabase(s, error)) {
        *failed = Step::Create;
        return false;
    }
    if (!cnn.open(s)) {
        *failed = Step::Connect;
        *error = cnn.lastError();
        return false;
    }
    if (Schema::isInstalled(cnn)) {
        *alreadyInstalled = true;
        return true;
    }
    if (!Schema::install(cnn, error)) {
        *failed = Step::Install;
        return false;
    }
    return true;
}

bool createOrCheck(const ConnectionSettings &s, QString *message)
{
    Connection cnn(QStringLiteral("mdsetup"));
    bool existed = false;
    Step failed = Step::Create;
    QString error;
    if (!createAndInstall(cnn, s, &existed, &failed, &error)) {
        static const char *const what[] = {"建立数据库失败：%1", "连接数据库失败：%1", "建立数据表失败：%1"};
        *message = QString::fromUtf8(what[int(failed)]).arg(error);
        return false;
    }
    if (!existed) {
        *message = QStringLiteral("数据库建立成功，管理员 admin 的初始密码为空。");
        return true;
    }
    QStringList problems;
    if (Schema::check(cnn, &problems)) {
        *message = QStringLiteral("数据库已存在，检查通过。");
        return true;
    }
    *message = QStringLiteral("数据库已存在，但检查发现问题：\n") + problems.join(u'\n');
    return false;
}

// The shipped report templates and import sample go into a program folder
// that lacks them; a template a site has changed is never replaced.
static void installTemplates(QTextStream &out, QTextStream &err)
{
    const ProgramFolder::CopyResult r = ProgramFolder::copyMissingShared();
    for (const QString &target : r.failed) {
        if (target.endsWith(QStringLiteral(".frf")))
            fail(err, QStringLiteral("无法复制报表文件"), QStringLiteral("could not copy a report template"), target);
        else
            fail(err, QStringLiteral("无法复制导入模版"), QStringLiteral("could not copy the import sample"), target);
    }
    const qsizetype copied = r.copied.filter(QStringLiteral(".frf")).size();
    if (copied) out << QStringLiteral("已复制报表文件 %1 个 / report templates copied: %1").arg(copied) << '\n';
}

int init(const InitOptions &options, QTextStream &out, QTextStream &err)
{
    installTemplates(out, err);
    if (!QFile::exists(configPath())) {
        QString error;
        if (!writeSettings(defaultSettings(), &error)) {
            fail(err, QStringLiteral("无法写入配置文件"), QStringLiteral("could not write Config.ini"), error);
            return Failed;
        }
        out << QStringLiteral("已写入默认配置 / wrote default configuration: ") << configPath() << '\n';
    }
    const ConnectionSettings s = readSettings();
    out << QStringLiteral("数据库 / database: ") << describe(s) << '\n';
    out.flush();

    QString error;
    Connection cnn(QStringLiteral("mdsetup"));
    bool existed = false;
    Step failed = Step::Create;
    if (!createAndInstall(cnn, s, &existed, &failed, &error)) {
        switch (failed) {
        case Step::Create: fail(err, QStringLiteral("建立数据库失败"), QStringLiteral("could not create the database"), error); break;
        case Step::Connect: fail(err, QStringLiteral("连接数据库失败"), QStringLiteral("could not connect"), error); break;
        case Step::Install: fail(err, QStringLiteral("建立数据表失败"), QStringLiteral("could not create the tables"), error); break;
        }
        return Failed;
    }
    if (existed) {
        fail(err, QStringLiteral("数据库中已有数据表，未做任何修改"),
             QStringLiteral("the database already holds the tables; nothing was changed"));
        return Failed;
    }
    out << QStringLiteral("数据表和初始数据已建立 / tables and starting rows created") << '\n';
    out.flush();

    int customers = 0;
    if (options.demo) {
        DemoData::Options demo;
        demo.customers = qMax(0, options.demoCustomers);
        int lastShown = -1;
        const bool ok = DemoData::generate(cnn, demo, &error, [&](int done, int total) {
            const int percent = total > 0 ? int(qint64(done) * 100 / total) : 100;
            if (percent / 10 == lastShown / 10 && percent != 100) return;
            lastShown = percent;
            out << QStringLiteral("演示数据 / demo data: %1% (%2/%3)").arg(percent).arg(done).arg(total) << '\n';
            out.flush();
        });
        if (!ok) {
            fail(err, QStringLiteral("生成演示数据失败"), QStringLiteral("could not generate the demo data"), error);
            return Failed;
        }
        customers = demo.customers;
    }
    out << QStringLiteral("完成：数据库已建立，演示客户 %1 条 / done: database created with %1 demo customers")
               .arg(customers)
        << '\n';
    out.flush();
    return Ok;
}

int check(QTextStream &out, QTextStream &err)
{
    const ConnectionSettings s = readSettings();
    out << QStringLiteral("数据库 / database: ") << describe(s) << '\n';
    Connection cnn(QStringLiteral("mdsetup"));
    if (!cnn.open(s)) {
        fail(err, QStringLiteral("连接数据库失败"), QStringLiteral("could not connect"), cnn.lastError());
        return Failed;
    }
    QStringList problems;
    if (!Schema::check(cnn, &problems)) {
        for (const QString &p : problems) out << p << '\n';
        fail(err, QStringLiteral("数据库检查未通过（%1 个问题）").arg(problems.size()),
             QStringLiteral("the check found %1 problem(s)").arg(problems.size()));
        return Failed;
    }
    out << QStringLiteral("检查通过 / check passed") << '\n';
    out.flush();
    return Ok;
}

int exec(const QString &tsql, QTextStream &out, QTextStream &err)
{
    if (tsql.trimmed().isEmpty()) {
        fail(err, QStringLiteral("没有要执行的语句"), QStringLiteral("no statement given"));
        return Usage;
    }
    const ConnectionSettings s = readSettings();
    Connection cnn(QStringLiteral("mdsetup"));
    if (!cnn.open(s)) {
        fail(err, QStringLiteral("连接数据库失败"), QStringLiteral("could not connect"), cnn.lastError());
        return Failed;
    }
    QSqlQuery q(cnn.database());
    if (!cnn.exec(q, tsql)) {
        fail(err, QStringLiteral("语句执行失败"), QStringLiteral("the statement failed"), cnn.lastError());
        return Failed;
    }
    if (q.isSelect()) {
        const QSqlRecord rec = q.record();
        QStringList header;
        for (int i = 0; i < rec.count(); ++i) header << rec.fieldName(i);
        out << header.join(u'\t') << '\n';
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < rec.count(); ++i) cells << cellText(q.value(i));
            out << cells.join(u'\t') << '\n';
        }
    } else {
        out << QStringLiteral("影响行数 / rows affected: %1").arg(q.numRowsAffected()) << '\n';
    }
    out.flush();
    return Ok;
}

QStringList commandArguments(const QStringList &args)
{
    QStringList rest;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--home")) {
            ++i;
            continue;
        }
        rest << args.at(i);
    }
    return rest;
}

QString usage()
{
    return QStringLiteral("用法 / usage:\n"
                          "  mdsetup [--home DIR]                      打开设置窗口 / open the set-up window\n"
                          "  mdsetup [--home DIR] init [--demo [N]]    建立数据库 / create the database\n"
                          "  mdsetup [--home DIR] check                检查数据库 / check the database\n"
                          "  mdsetup [--home DIR] exec \"<T-SQL>\"       执行语句 / run a statement\n");
}

int run(const QStringList &argsIn, QTextStream &out, QTextStream &err)
{
    const QStringList args = commandArguments(argsIn);
    if (args.isEmpty()) {
        err << usage();
        return Usage;
    }
    const QString cmd = args.first().toLower();
    if (cmd == QLatin1String("init")) {
        InitOptions o;
        for (int i = 1; i < args.size(); ++i) {
            if (args.at(i) == QLatin1String("--demo")) {
                o.demo = true;
                if (i + 1 < args.size()) {
                    bool ok = false;
                    const int n = args.at(i + 1).toInt(&ok);
                    if (ok) {
                        if (n < 0) {
                            fail(err, QStringLiteral("客户数不能为负"), QStringLiteral("the count cannot be negative"));
                            return Usage;
                        }
                        o.demoCustomers = n;
                        ++i;
                    }
                }
            } else {
                err << QStringLiteral("未知参数 / unknown argument: ") << args.at(i) << '\n' << usage();
                return Usage;
            }
        }
        return init(o, out, err);
    }
    if (cmd == QLatin1String("check") && args.size() == 1) return check(out, err);
    if (cmd == QLatin1String("exec") && args.size() == 2) return exec(args.at(1), out, err);
    err << usage();
    return Usage;
}

} // namespace SetupCommands
