#pragma once
#include <QString>
#include <QStringList>

// The folder that holds Config.ini, the SQLite database, Qr/ and backups.
// --home DIR or CLSERVICE_HOME name it; otherwise a program run from a build
// or an unpacked folder uses its own folder, and an installed program (its
// folder holds neither Config.ini nor Qr/, and ../share/clservice beside it
// does exist) uses $XDG_DATA_HOME/clservice, as /usr/bin is not writable.
namespace ProgramFolder {
void initFromArguments(const QStringList &args);   // picks up --home DIR, prepares the installed folder
QString path();
QString filePath(const QString &name);
void setPath(const QString &dir);                   // tests and tools

// Where the shipped templates, the import sample and the help texts lie:
// ../share/clservice of an installed program, else the executable's folder.
QString sharedDataPath();
bool installed();

// Copies the shipped report templates and import sample that the program
// folder lacks; a file already there (one a site changed) is never replaced.
struct CopyResult {
    QStringList copied;   // target paths
    QStringList failed;   // target paths that could not be written
};
CopyResult copyMissingShared();
}
