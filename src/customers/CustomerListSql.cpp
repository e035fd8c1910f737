#include "CustomerListSql.h"

#include "data/SqlText.h"

namespace {
// The column of each category type.
const char *const kCategoryColumns[] = {"F_type", "F_xingHao", "F_area", "F_setupDept", "F_KDcode"};
constexpr int kCategoryTypes = 5;
} // namespace

QStringList searchFieldItems(bool seeAllClients)
{
    QStringList items {QStringLiteral("用户名称"), QStringLiteral("ID    码"), QStringLiteral("地    址"),
                       QStringLiteral("固定电话"), QStringLiteral("手    机"), QStringLiteral("机身编码"),
                       QStringLiteral("赠品名称"), QStringLiteral("票 据 号"), QStringLiteral("备    注")};
    if (seeAllClients) items << QStringLiteral("业 务 员");
    return items;
}

QString searchValueCodeType(int field)
{
    if (field == SearchGift) return QStringLiteral("addgood");
    if (field == SearchSalesman) return QStringLiteral("maker");
    return {};
}

QString codeValuesSql(const QString &codeType)
{
    return QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = '") + sqlValue(codeType)
           + QStringLiteral("' ");
}

QString customerListSql(const CustomerSearch &s)
{
    QString sql = s.seeAllClients
                      ? QStringLiteral("select * from t_client where (1=1) ")
                      : QStringLiteral("select * from t_client where (F_empName = '") + sqlValue(s.curOper) + QStringLiteral("')");
    const QString t = sqlValue(s.text);
    const QString v = sqlValue(s.value);
    switch (s.field) {
    case SearchName: sql += QStringLiteral("and isNull(f_name,'') like '%") + t + QStringLiteral("%' "); break;
    case SearchCode: sql += QStringLiteral("and isNull(F_code,'') like '") + t + QStringLiteral("%' "); break;
    case SearchAddress: sql += QStringLiteral("and isNull(f_buyaddress,'') like '%") + t + QStringLiteral("%' "); break;
    case SearchPhone: sql += QStringLiteral("and isNull(f_phone,'') like '%") + t + QStringLiteral("%' "); break;
    case SearchMobile: sql += QStringLiteral("and isNull(f_handphone,'') like '%") + t + QStringLiteral("%' "); break;
    case SearchBodyCode: sql += QStringLiteral("and isNull(F_JScode,'') like '") + t + QStringLiteral("%' "); break;
    case SearchGift:
        sql += QStringLiteral("and (isNull(F_AddGoodA,'') like '") + v + QStringLiteral("%' Or isNull(F_AddGoodB,'') Like '") + v
               + QStringLiteral("%') ");
        break;
    case SearchBill: sql += QStringLiteral("and isNull(F_KPcode,'') like '") + t + QStringLiteral("%' "); break;
    case SearchMemo: sql += QStringLiteral("and isNull(F_memo1,'') like '%") + t + QStringLiteral("%' "); break;
    case SearchSalesman: sql += QStringLiteral("and isNull(f_maker,'') like '") + v + QStringLiteral("%' "); break;
    default: break;
    }
    if (!s.includeDisabled) sql += QStringLiteral("and isNull(F_useFlag,0) = 0 ");
    if (!s.includePaid) sql += QStringLiteral("and isNull(F_IFshoukuan,0) = 0 ");
    if (s.categoryChosen) {
        if (s.categoryType >= 0 && s.categoryType < kCategoryTypes)
            sql += QStringLiteral("and isNull(%1,'') = '").arg(QLatin1String(kCategoryColumns[s.categoryType])) + sqlValue(s.category)
                   + QStringLiteral("' ");
    }
    return sql + QStringLiteral(" order by F_code");
}

QStringList categoryTypeItems()
{
    return {QStringLiteral("0 = 类    别"), QStringLiteral("1 = 型    号"), QStringLiteral("2 = 购买地点"),
            QStringLiteral("3 = 安 装 部"), QStringLiteral("4 = 开单批号")};
}

QString categoryListSql(int categoryType)
{
    if (categoryType < 0 || categoryType >= kCategoryTypes) return {};
    const QString c = QLatin1String(kCategoryColumns[categoryType]);
    return QStringLiteral("select distinct %1 as F_name from T_client where (isNull(F_useFlag,0) = 0)and(%1 <> '') group by %1")
        .arg(c);
}

QString categoryTitle(int kind)
{
    static const char *const titles[] = {"类    别", "型    号", "购买地点", "安 装 部", "开单批号"};
    return kind >= 1 && kind <= kCategoryTypes ? QString::fromUtf8(titles[kind - 1]) : QString();
}

QString detailListSql(int tab)
{
    switch (tab) {
    case 0: return QStringLiteral("select * from t_WXrec where F_cltCode = :F_code order by F_BXdate");
    case 1: return QStringLiteral("select * from t_HFrec where F_cltCode = :F_code order by F_date");
    case 2: return QStringLiteral("select * from t_tsREC where F_cltCode = :F_code order by F_tsDate");
    default: return {};
    }
}
