#pragma once
// Typed access to the Config.ini keys, each with its default in one table.

#include <QString>
#include <QVariant>

class PrivateProfile;

namespace Settings {

enum class Key {
    DbPassword,     // [DBconn] password, coded
    DbDatabase,     // [DBconn] Database
    DbServer,       // [DBconn] server
    DbDriver,       // [DBconn] Driver: sqlite | postgres | mssql
    DbPort,         // [DBconn] Port (postgres), 0 = default
    CurOperName,    // [Config] CurOperName
    CurImeName,     // [Config] CurImeName
    BackupMode,     // [config] ibak 0..3
    AwokeFlag,      // [set] awokeflag
    AwokeDay,       // [set] awokeday
    AutoCode,       // [sys] bZDcode
    CalculatorProgram,  // [tools] calculator
    EditorProgram,      // [tools] editor
};

struct Entry {
    Key key;
    const char *section;
    const char *name;
    QVariant def;
};

const Entry &entry(Key key);

QString text(const PrivateProfile &ini, Key key);
int integer(const PrivateProfile &ini, Key key);
bool flag(const PrivateProfile &ini, Key key);

bool setText(PrivateProfile &ini, Key key, const QString &value);
bool setInteger(PrivateProfile &ini, Key key, int value);
bool setFlag(PrivateProfile &ini, Key key, bool value);

} // namespace Settings
