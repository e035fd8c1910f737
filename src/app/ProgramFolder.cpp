#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace {
QString &folder()
{
    static QString f;
    return f;
}

QString installedShare()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/clservice"));
}

QString userFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .absoluteFilePath(QStringLiteral("clservice"));
}
}

namespace ProgramFolder {

bool installed()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    if (bin.exists(QStringLiteral("Config.ini")) || bin.exists(QStringLiteral("Qr"))) return false;
    return QFileInfo(installedShare()).isDir();
}

QString sharedDataPath()
{
    return installed() ? QDir(installedShare()).absolutePath() : QCoreApplication::applicationDirPath();
}

void initFromArguments(const QStringList &args)
{
    const qsizetype i = args.indexOf(QStringLiteral("--home"));
    if (i >= 0 && i + 1 < args.size()) {
        setPath(args.at(i + 1));
        return;
    }
    const QString env = qEnvironmentVariable("CLSERVICE_HOME");
    if (!env.isEmpty()) {
        setPath(env);
        return;
    }
    if (!installed()) return;
    // First start of an installed program: the user's own folder, with the
    // shipped templates, so the designer can change them there.
    setPath(userFolder());
    if (!QDir().mkpath(path())) {
        qWarning("cannot create the program folder %s", qPrintable(path()));
        return;
    }
    for (const QString &f : copyMissingShared().failed) qWarning("cannot copy %s", qPrintable(f));
}

QString path()
{
    if (folder().isEmpty()) {
        const QString env = qEnvironmentVariable("CLSERVICE_HOME");
        if (!env.isEmpty()) return QDir(env).absolutePath();
        return installed() ? userFolder() : QCoreApplication::applicationDirPath();
    }
    return folder();
}

QString filePath(const QString &name) { return QDir(path()).filePath(name); }

void setPath(const QString &dir) { folder() = QDir(dir).absolutePath(); }

CopyResult copyMissingShared()
{
    CopyResult result;
    const QDir share(sharedDataPath());
    const QDir home(path());
    if (QFileInfo(share.absolutePath()) == QFileInfo(home.absolutePath())) return result;
    auto copyOne = [&](const QString &from, const QString &to) {
        if (QFileInfo::exists(to)) return;
        if (QDir().mkpath(QFileInfo(to).absolutePath()) && QFile::copy(from, to)) {
            // Installed files are read-only; the copy is the site's to change.
            QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner);
            result.copied << to;
        } else {
            result.failed << to;
        }
    };
    const QDir templates(share.filePath(QStringLiteral("Qr")));
    for (const QFileInfo &f : templates.entryInfoList({QStringLiteral("*.frf")}, QDir::Files))
        copyOne(f.absoluteFilePath(), home.filePath(QStringLiteral("Qr/") + f.fileName()));
    const QString sample = share.filePath(QStringLiteral("sample.xlsx"));
    if (QFileInfo::exists(sample)) copyOne(sample, home.filePath(QStringLiteral("sample.xlsx")));
    return result;
}

} // namespace ProgramFolder
