#include "Shell.h"
#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
Shell *g_installed = nullptr;
}

Shell &Shell::current()
{
    static DesktopShell real;
    return g_installed ? *g_installed : real;
}

void Shell::install(Shell *replacement) { g_installed = replacement; }

namespace {
// The desktop's opener starts and reports success even when no program
// takes the file's type, so a local file asks first whether one is set.
bool hasOpener(const QString &file)
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) return true;   // nobody to ask: the opener decides
    QProcess p;
    p.start(query, {QStringLiteral("query"), QStringLiteral("default"), QMimeDatabase().mimeTypeForFile(file).name()});
    if (!p.waitForFinished(3000)) return true;
    return p.exitCode() == 0 && !p.readAllStandardOutput().trimmed().isEmpty();
}
} // namespace

bool DesktopShell::openDocument(const QString &pathOrUrl)
{
    const bool local = QFileInfo::exists(pathOrUrl);
    if (local && !hasOpener(pathOrUrl)) return false;
    const QUrl url = local ? QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath()) : QUrl::fromUserInput(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString &program, const QStringList &args)
{
    QString exe = program;
    if (!program.contains(u'/')) {
        // The tools are installed beside the executable, also when --home or
        // CLSERVICE_HOME puts the program folder elsewhere.
        exe = QStandardPaths::findExecutable(program, {ProgramFolder::path(), QCoreApplication::applicationDirPath()});
        if (exe.isEmpty()) exe = QStandardPaths::findExecutable(program);
    }
    if (exe.isEmpty()) return false;
    return QProcess::startDetached(exe, args, ProgramFolder::path());
}
