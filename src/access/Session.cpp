#include "Session.h"

#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

namespace {

// Config.ini of the run; before start-up has opened it (tests, tools) the
// program folder's file is used directly.
template <typename F>
auto withIni(F &&f)
{
    if (PubUnit::IniFile) return f(*PubUnit::IniFile);
    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    return f(ini);
}

void readSettingsRows()
{
    DataSet *q = dmData->QryPub;
    if (!dmData->OpenSQL(QStringLiteral("select * from KeyValue order by F_ID"), q)) return;
    PubUnit::KeyValues.clear();
    q->first();
    for (int n = 1; n <= 15 && !q->eof(); ++n, q->next())
        PubUnit::KeyValues.set(n, q->fieldByName(QStringLiteral("F_Value")).asString());
    q->close();
}

} // namespace

namespace Session {

void SetUp(const QString &oper)
{
    PubUnit::CurOper = oper;
    withIni([&](PrivateProfile &ini) { return Settings::setText(ini, Settings::Key::CurOperName, oper); });
    if (dmData) {
        PubUnit::SeeAllClients =
            !dmData->GetBoolValue("select F_xtFlag from OperList where F_name = '" + sqlValue(oper) + "' ");
        readSettingsRows();
    }
    PubUnit::FmtAmount = TdmData::MakeDisplayFormat(decimalPlaces(PubUnit::KeyValues[12]), 1);
    PubUnit::FmtPrice = TdmData::MakeDisplayFormat(decimalPlaces(PubUnit::KeyValues[13]), 2);
    PubUnit::FmtTotal = TdmData::MakeDisplayFormat(decimalPlaces(PubUnit::KeyValues[14]), 3);
    PubUnit::AutoCode = withIni([](PrivateProfile &ini) { return Settings::flag(ini, Settings::Key::AutoCode); });
}

QString lastOperator()
{
    return withIni([](PrivateProfile &ini) { return Settings::text(ini, Settings::Key::CurOperName); });
}

int decimalPlaces(const QString &value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok) return 2;
    // More places than a double carries only makes the pattern meaningless.
    return qBound(0, n, 15);
}

} // namespace Session
