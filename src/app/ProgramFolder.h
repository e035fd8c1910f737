#pragma once
#include <QString>

// The folder that holds Config.ini, the SQLite database, Qr/ and the help
// texts: the executable's folder unless --home DIR or CLSERVICE_HOME says otherwise.
namespace ProgramFolder {
void initFromArguments(const QStringList &args);   // picks up --home DIR
QString path();
QString filePath(const QString &name);
void setPath(const QString &dir);                   // tests and tools
}
