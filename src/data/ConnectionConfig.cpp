#include "ConnectionConfig.h"

#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/Settings.h"

ConnectionSettings readConnectionSettings(const PrivateProfile &ini)
{
    using Settings::Key;
    ConnectionSettings s;
    const QString driver = Settings::text(ini, Key::DbDriver).trimmed().toLower();
    s.driver = driver.isEmpty() ? Settings::entry(Key::DbDriver).def.toString() : driver;
    s.server = Settings::text(ini, Key::DbServer);
    s.database = Settings::text(ini, Key::DbDatabase);
    s.port = Settings::integer(ini, Key::DbPort);
    s.password = GetPass(Settings::text(ini, Key::DbPassword));
    return s;
}

bool writeConnectionSettings(PrivateProfile &ini, const ConnectionSettings &s)
{
    using Settings::Key;
    return Settings::setText(ini, Key::DbDriver, s.driver) && Settings::setText(ini, Key::DbServer, s.server)
           && Settings::setInteger(ini, Key::DbPort, s.port) && Settings::setText(ini, Key::DbDatabase, s.database)
           && Settings::setText(ini, Key::DbPassword, SavePass(s.password));
}
