#include "Shell.h"
#include "ProgramFolder.h"

#include <QDesktopServices>
#include <QFileInfo>
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

bool DesktopShell::openDocument(const QString &pathOrUrl)
{
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath())
                                                  : QUrl::fromUserInput(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::startProgram(const QString &program, const QStringList &args)
{
    QString exe = program;
    if (!program.contains(u'/')) {
        const QString local = ProgramFolder::filePath(program);
        if (QFileInfo(local).isExecutable())
            exe = local;
        else
            exe = QStandardPaths::findExecutable(program);
    }
    if (exe.isEmpty()) return false;
    return QProcess::startDetached(exe, args, ProgramFolder::path());
}
