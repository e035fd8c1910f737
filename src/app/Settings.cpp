#include "Settings.h"
#include "PrivateProfile.h"

#include <array>

namespace Settings {

namespace {
const std::array<Entry, 13> &table()
{
    static const std::array<Entry, 13> t{{
        {Key::DbPassword, "DBconn", "password", QString()},
        {Key::DbDatabase, "DBconn", "Database", QStringLiteral("clSQLser")},
        {Key::DbServer, "DBconn", "server", QStringLiteral("(Local)")},
        {Key::DbDriver, "DBconn", "Driver", QStringLiteral("sqlite")},
        {Key::DbPort, "DBconn", "Port", 0},
        {Key::CurOperName, "Config", "CurOperName", QString()},
        {Key::CurImeName, "Config", "CurImeName", QString()},
        {Key::BackupMode, "config", "ibak", 0},
        {Key::AwokeFlag, "set", "awokeflag", false},
        {Key::AwokeDay, "set", "awokeday", 0},
        {Key::AutoCode, "sys", "bZDcode", false},
        {Key::CalculatorProgram, "tools", "calculator", QStringLiteral("gnome-calculator")},
        {Key::EditorProgram, "tools", "editor", QStringLiteral("gedit")},
    }};
    return t;
}
} // namespace

const Entry &entry(Key key)
{
    for (const Entry &e : table())
        if (e.key == key) return e;
    Q_UNREACHABLE();
}

QString text(const PrivateProfile &ini, Key key)
{
    const Entry &e = entry(key);
    return ini.readString(QLatin1String(e.section), QLatin1String(e.name), e.def.toString());
}

int integer(const PrivateProfile &ini, Key key)
{
    const Entry &e = entry(key);
    return ini.readInteger(QLatin1String(e.section), QLatin1String(e.name), e.def.toInt());
}

bool flag(const PrivateProfile &ini, Key key)
{
    const Entry &e = entry(key);
    return ini.readBool(QLatin1String(e.section), QLatin1String(e.name), e.def.toBool());
}

bool setText(PrivateProfile &ini, Key key, const QString &value)
{
    const Entry &e = entry(key);
    return ini.writeString(QLatin1String(e.section), QLatin1String(e.name), value);
}

bool setInteger(PrivateProfile &ini, Key key, int value)
{
    const Entry &e = entry(key);
    return ini.writeInteger(QLatin1String(e.section), QLatin1String(e.name), value);
}

bool setFlag(PrivateProfile &ini, Key key, bool value)
{
    const Entry &e = entry(key);
    return ini.writeBool(QLatin1String(e.section), QLatin1String(e.name), value);
}

} // namespace Settings
