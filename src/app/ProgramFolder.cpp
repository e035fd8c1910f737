#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace {
QString &folder()
{
    static QString f;
    return f;
}
}

namespace ProgramFolder {

void initFromArguments(const QStringList &args)
{
    const qsizetype i = args.indexOf(QStringLiteral("--home"));
    if (i >= 0 && i + 1 < args.size()) {
        setPath(args.at(i + 1));
        return;
    }
    const QString env = qEnvironmentVariable("CLSERVICE_HOME");
    if (!env.isEmpty()) setPath(env);
}

QString path()
{
    if (folder().isEmpty()) {
        const QString env = qEnvironmentVariable("CLSERVICE_HOME");
        if (!env.isEmpty()) return QDir(env).absolutePath();
        return QCoreApplication::applicationDirPath();
    }
    return folder();
}

QString filePath(const QString &name) { return QDir(path()).filePath(name); }

void setPath(const QString &dir) { folder() = QDir(dir).absolutePath(); }

} // namespace ProgramFolder
