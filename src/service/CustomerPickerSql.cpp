#include "CustomerPickerSql.h"

#include "data/SqlText.h"

namespace {
const char *const kCategoryColumns[] = {"F_type", "F_xingHao", "F_area", "F_setupDept", "F_KDcode"};
constexpr int kCategoryTypes = 5;

QString contains(const char *column, const QString &text)
{
    if (text.isEmpty()) return {};
    return QStringLiteral("and %1 Like '%").arg(QLatin1String(column)) + sqlValue(text) + QStringLiteral("%' ");
}
} // namespace

QString customerPickerSql(const PickerSearch &s)
{
    QString sql = QStringLiteral("select * from T_client where (1=1)");
    sql += contains("F_name", s.name);
    sql += contains("F_JScode", s.bodyCode);
    sql += contains("F_KPcode", s.billCode);
    if (s.categoryChosen && s.categoryType >= 0 && s.categoryType < kCategoryTypes)
        sql += QStringLiteral("and %1 = '").arg(QLatin1String(kCategoryColumns[s.categoryType])) + sqlValue(s.category)
               + QStringLiteral("' ");
    return sql + QStringLiteral("order by f_code");
}
