#pragma once
// What mdsetup does, apart from its window and its main(): reading and
// writing [DBconn], creating or checking the database, running a statement.

#include "data/Dialect.h"

#include <QString>
#include <QStringList>

class QTextStream;

namespace SetupCommands {

enum Exit { Ok = 0, Failed = 1, Usage = 2 };

// [DBconn] of Config.ini in the program folder, password decoded.
ConnectionSettings readSettings();
// What a program folder without Config.ini is set up with: the SQLite file
// the client would open there when it exists, else a new clservice.db.
ConnectionSettings defaultSettings();
// Writes [DBconn], making the program folder when it is missing; the
// password is stored coded.
bool writeSettings(const ConnectionSettings &s, QString *error);

// Creates the database with its tables and starting rows, or, when it already
// holds them, checks it. `message` says what happened, in Chinese.
bool createOrCheck(const ConnectionSettings &s, QString *message);

struct InitOptions {
    bool demo = false;
    int demoCustomers = 2000;
};
int init(const InitOptions &options, QTextStream &out, QTextStream &err);
int check(QTextStream &out, QTextStream &err);
// Runs one T-SQL statement; a select prints a tab-separated header line and rows.
int exec(const QString &tsql, QTextStream &out, QTextStream &err);

// The arguments without --home DIR.
QStringList commandArguments(const QStringList &args);
// Runs a command line (no program name, --home already taken).
int run(const QStringList &args, QTextStream &out, QTextStream &err);
QString usage();

} // namespace SetupCommands
