#include "AdvancedQuerySql.h"

#include "app/PubUnit.h"
#include "data/SqlText.h"

namespace {

// Open bounds of a range whose picker is unticked.
const QString kNoLowerBound = QLatin1String(PubUnit::NoDate);
const QString kNoUpperBound = QStringLiteral("3000-08-14");

QString bound(bool on, const QDate &date, const QString &open)
{
    return on && date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : open;
}

// "and isNull(<column>,'') <op> '<before><v>%' " when the text is not blank.
void addText(QString &sql, const QString &text, const char *head, bool contains)
{
    const QString v = text.trimmed();
    if (v.isEmpty()) return;
    sql += QLatin1String(head) + (contains ? QStringLiteral("'%") : QStringLiteral("'")) + sqlValue(v)
           + QStringLiteral("%' ");
}

void addRange(QString &sql, const DateRangeFilter &r, const char *fromColumn, const char *toColumn)
{
    if (!r.on) return;
    sql += QStringLiteral("and (%1 >= '").arg(QLatin1String(fromColumn)) + bound(r.fromOn, r.from, kNoLowerBound)
           + QStringLiteral("' and %1 <= '").arg(QLatin1String(toColumn)) + bound(r.toOn, r.to, kNoUpperBound)
           + QStringLiteral("') ");
}

} // namespace

QString advancedQuerySql(const AdvancedQuery &q)
{
    QString sql = QStringLiteral("select * from t_client where (1=1) ");
    addText(sql, q.name, "and isNull(F_name,'') Like ", true);
    addText(sql, q.bodyCode, "and isNull(F_JScode,'') Like ", false);
    addText(sql, q.buyAddress, "and isNull(F_buyAddress,'') like ", false);
    addText(sql, q.phone, "and isNull(F_phone,'') like ", true);
    addText(sql, q.handPhone, "and isNull(F_HandPhone,'') like ", false);
    addText(sql, q.type, "and isNull(F_type,'') like ", true);
    addText(sql, q.kdCode, "and isNull(F_KDcode,'') like ", false);
    addText(sql, q.xingHao, "and isNull(F_xinghao,'') like ", true);
    addText(sql, q.area, "and isNull(F_area,'') like ", false);
    addText(sql, q.setupDept, "and isNull(F_setupDept,'') like ", true);
    addText(sql, q.maker, "and isNull(F_Maker,'') like ", true);
    addText(sql, q.memo, "and isNull(F_memo1,'') like ", true);

    if (q.useState == AdvancedQuery::InUse) sql += QStringLiteral("and isNull(F_useFlag,0) = 0 ");
    else if (q.useState == AdvancedQuery::NoLongerUsed) sql += QStringLiteral("and isNull(F_useFlag,0) = 1 ");
    if (q.paidState == AdvancedQuery::Unpaid) sql += QStringLiteral("and isNull(F_IFshoukuan,0) = 0 ");
    else if (q.paidState == AdvancedQuery::Paid) sql += QStringLiteral("and isNull(F_IFshoukuan,0) = 1 ");

    addRange(sql, q.buyDate, "F_buyDate", "F_buydate");
    addRange(sql, q.setupDate, "F_setupDate", "F_setupDate");
    addRange(sql, q.setupDate1, "F_setupDate1", "F_setupDate1");
    return sql;
}
