#include "CltStatSql.h"

const CltStatGrouping CltStatGroupings[CltStatGroupingCount] = {
    {"类    别", "F_type"},    {"开单批号", "F_Kdcode"},    {"型    号", "F_xinghao"},
    {"购买地点", "F_area"},    {"安 装 部", "F_setupDept"}, {"业 务 员", "F_maker"},
};

QString cltStatTotalSql() { return QStringLiteral("select count(*) from T_client "); }

QString cltStatConditions(const CltStatFilter &filter)
{
    // Only dates go between quotes here, written by us as yyyy-MM-dd.
    QString c;
    if (filter.from) c += QStringLiteral("and F_buyDate >= '%1' ").arg(filter.from->toString(QStringLiteral("yyyy-MM-dd")));
    if (filter.to) c += QStringLiteral("and F_buyDate <= '%1' ").arg(filter.to->toString(QStringLiteral("yyyy-MM-dd")));
    if (!filter.includeDisabled) c += QStringLiteral("and isNull(F_useFlag,0) = 0 ");
    return c;
}

QString cltStatSql(int grouping, const CltStatFilter &filter)
{
    if (grouping < 0 || grouping >= CltStatGroupingCount) return {};
    const QString column = QString::fromLatin1(CltStatGroupings[grouping].column);
    return QStringLiteral("select %1 as F_name,count(*) as F_num from t_client where (1=1)").arg(column)
           + cltStatConditions(filter) + QStringLiteral(" group by %1 ").arg(column);
}

QString cltStatCountText(const QString &count, bool groups)
{
    return QStringLiteral("记录总数：") + count + (groups ? QStringLiteral(" 条") : QString());
}

QString cltStatChartTitle(const QString &groupingName)
{
    return groupingName + QStringLiteral("/客户服务信息统计分析直方图");
}

QString cltStatStartTitle() { return QStringLiteral("客户服务信息统计分析图表"); }
