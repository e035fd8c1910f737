#pragma once
// The statement of the advanced customer query, built from what the dialog
// holds. Every value placed between quotes has its quotes doubled.

#include <QDate>
#include <QString>

// One date range: `on` is the range's own tick box; each bound may be
// switched off, which leaves that side open.
struct DateRangeFilter {
    bool on = false;
    bool fromOn = true;
    QDate from;
    bool toOn = true;
    QDate to;
};

struct AdvancedQuery {
    enum UseState { AnyUse = 0, InUse = 1, NoLongerUsed = 2 };
    enum PaidState { AnyPaid = 0, Unpaid = 1, Paid = 2 };

    // Texts as typed; blanks around them are ignored.
    QString name, bodyCode, buyAddress, phone, handPhone;
    QString type, kdCode, xingHao, area, setupDept, maker, memo;
    int useState = InUse;
    int paidState = Unpaid;
    DateRangeFilter buyDate;      // F_buyDate
    DateRangeFilter setupDate;    // F_setupDate
    DateRangeFilter setupDate1;   // F_setupDate1
};

// "select * from t_client where (1=1) " followed by one clause per condition,
// each ending in a blank, so "order by ..." can be appended directly.
QString advancedQuerySql(const AdvancedQuery &query);
