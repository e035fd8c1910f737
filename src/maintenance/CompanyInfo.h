#pragma once
// The company record (the one SysInfo row): its fields in the window's
// order, the statement that saves them, the checks on them, and the
// addresses handed to the browser and the mail program.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class TdmData;

struct CompanyInfo {
    // In the order of CompanyFields: name, address, manager, phone, mobile,
    // homepage, e-mail, backup folder, legal representative, profile.
    std::array<QString, 10> values;
};

struct CompanyField {
    const char *control;   // edtCode ...
    const char *label;     // 公司名称 ... (without the colon)
    const char *column;    // F_Code ...
};
const std::array<CompanyField, 10> &companyFields();
enum CompanyFieldIndex { CoName, CoAddress, CoManager, CoPhone, CoMobile, CoHomepage, CoEmail, CoBakPath, CoEnroler, CoMem };

// "Update SysInfo Set F_Code = '...',...,F_Mem = '...' " with every value trimmed.
QString sysInfoUpdateSql(const CompanyInfo &info);

// The first field whose trimmed text is longer than its column keeps, and
// the message naming it; nullopt when every field fits.
struct TooLong {
    int field;
    QString message;
};
std::optional<TooLong> firstTooLong(const CompanyInfo &info);

bool IsEmailAddress(const QString &text);
// What the homepage box opens: "" when blank; the text as typed when it
// names its scheme, otherwise with "http://" in front.
QString homepageUrl(const QString &text);
// "mailto:<address>?subject", or "" when the text is not an e-mail address.
QString mailtoUrl(const QString &text);

// Reads and writes the SysInfo row without any window.
class CompanyStore {
public:
    explicit CompanyStore(TdmData &dm) : m_dm(dm) {}
    // The first row's columns as text; nullopt when there is no row (or it cannot be read).
    std::optional<CompanyInfo> load();
    // Sets every SysInfo row (there is one). False: nothing written, lastError() says why.
    bool save(const CompanyInfo &info);
    QString lastError() const { return m_lastError; }

private:
    TdmData &m_dm;
    QString m_lastError;
};
