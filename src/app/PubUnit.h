#pragma once
// Shared globals and constants of a run. Set by start-up and the login;
// read by every window.

#include <QString>
#include <array>

class PrivateProfile;

namespace PubUnit {

// Settings rows 1..15 of KeyValue; element n is row n, out-of-range reads give "".
class KeyValueList {
public:
    const QString &operator[](int n) const;
    void set(int n, const QString &value);
    void clear();

private:
    std::array<QString, 16> m_values;
};

extern QString CurOper;
extern bool SeeAllClients;
extern QString DBName;
extern PrivateProfile *IniFile;
extern KeyValueList KeyValues;
extern QString FmtAmount;
extern QString FmtPrice;
extern QString FmtTotal;
extern bool AutoCode;
extern int BakMode;
extern bool AwokeFlag;
extern QString ImeName;

extern const QString ProductName;
extern const QString VersionText;
extern const QString PublisherText;
extern const QString ApplicationTitle;

// The no-date value and the first date that is shown.
inline constexpr const char *NoDate = "1900-08-14";
inline constexpr const char *FirstShownDate = "1901-08-14";

// Back to the state before any login; tests call it between cases.
void resetLoginState();

} // namespace PubUnit
