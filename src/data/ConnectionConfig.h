#pragma once
// [DBconn] of Config.ini as connection settings: read by the client and
// both set-up tools, written by the tools.

#include "Dialect.h"

class PrivateProfile;

// The database name is kept as stored (only its emptiness is judged by
// callers); the password comes back decoded.
ConnectionSettings readConnectionSettings(const PrivateProfile &ini);
// Writes every [DBconn] key; the password is stored coded.
bool writeConnectionSettings(PrivateProfile &ini, const ConnectionSettings &settings);
