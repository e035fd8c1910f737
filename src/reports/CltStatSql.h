#pragma once
// The statements of the customer category statistics: the six groupings,
// the purchase-date and in-use conditions, and the texts the window shows.

#include <QDate>
#include <QString>
#include <optional>

struct CltStatGrouping {
    const char *item;     // as listed: "类    别"
    const char *column;   // the counted column
};

inline constexpr int CltStatGroupingCount = 6;
extern const CltStatGrouping CltStatGroupings[CltStatGroupingCount];

struct CltStatFilter {
    std::optional<QDate> from;   // ticked from-date
    std::optional<QDate> to;     // ticked to-date
    bool includeDisabled = false;
};

// Every customer, counted when the window opens.
QString cltStatTotalSql();
// The conditions after "(1=1)", each ending in a space.
QString cltStatConditions(const CltStatFilter &filter);
// The count of one grouping (index into CltStatGroupings); empty for none.
QString cltStatSql(int grouping, const CltStatFilter &filter);
// "记录总数：" and the number, with " 条" when it counts groups.
QString cltStatCountText(const QString &count, bool groups);
// The chart's title after a query of the grouping.
QString cltStatChartTitle(const QString &groupingName);
// The title the chart has before the first query.
QString cltStatStartTitle();
