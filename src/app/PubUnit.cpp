#include "PubUnit.h"

namespace PubUnit {

const QString &KeyValueList::operator[](int n) const
{
    static const QString empty;
    return (n >= 1 && n <= 15) ? m_values[size_t(n)] : empty;
}

void KeyValueList::set(int n, const QString &value)
{
    if (n >= 1 && n <= 15) m_values[size_t(n)] = value;
}

void KeyValueList::clear() { m_values.fill(QString()); }

QString CurOper;
bool SeeAllClients = false;
QString DBName;
PrivateProfile *IniFile = nullptr;
KeyValueList KeyValues;
QString FmtAmount;
QString FmtPrice;
QString FmtTotal;
bool AutoCode = false;
int BakMode = 0;
bool AwokeFlag = false;
QString ImeName;

const QString ProductName = QStringLiteral("澄岚电器售后服务管理软件 ");
const QString VersionText = QStringLiteral("v3.10(网络版) ");
const QString PublisherText = QStringLiteral("澄岚软件工作室 售后服务热线 400-800-1234");
const QString ApplicationTitle = QStringLiteral("澄岚电器售后服务管理软件(网络版)");

void resetLoginState()
{
    CurOper.clear();
    SeeAllClients = false;
    KeyValues.clear();
    FmtAmount.clear();
    FmtPrice.clear();
    FmtTotal.clear();
    AutoCode = false;
    BakMode = 0;
    AwokeFlag = false;
    ImeName.clear();
}

} // namespace PubUnit
