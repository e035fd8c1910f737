// Config.ini as a workstation may hold it: any bytes, read through every
// key the program reads; a value written then reads back as written.
#include "FuzzSupport.h"

#include "app/PrivateProfile.h"
#include "app/Settings.h"
#include "data/ConnectionConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PrivateProfile ini(Fuzz::inputFile(Fuzz::bytes(data, size), QStringLiteral("Config.ini")));
    readConnectionSettings(ini);
    for (int k = int(Settings::Key::DbPassword); k <= int(Settings::Key::EditorProgram); ++k) {
        const auto key = Settings::Key(k);
        Settings::text(ini, key);
        Settings::integer(ini, key);
        Settings::flag(ini, key);
    }
    const QString value = QStringLiteral("服务器 a=b;[c]");
    Fuzz::require(Settings::setText(ini, Settings::Key::DbServer, value), "a key cannot be written");
    Fuzz::require(Settings::text(ini, Settings::Key::DbServer) == value, "a written key reads back otherwise");
    return 0;
}
