#pragma once
// What the three service record lists differ in, and the statements they
// run, built from the state of their filter bar and category panel. Every
// value placed between quotes has its quotes doubled.

#include "ServiceEditors.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct ServiceSearchField {
    QString caption;
    QString column;
    bool startsWith = false;   // else contains
};

struct ServiceCategoryType {
    QString caption;
    QString listSql;       // the distinct values, as F_name
    QString column;        // compared with the chosen value
};

struct ServiceListColumn {
    QString field;
    QString title;
};

struct ServiceListFamily {
    ServiceKind kind;
    QString formName;                     // "frmWXrecMan"
    QString caption;
    QString table;
    QString dateField;                    // the range and the order
    QString dateLabel;                    // before the from-date
    // A date column that holds a time of day as well: a ticked to-date then
    // reaches to the end of that day.
    bool dateHasTime = false;
    QList<ServiceSearchField> searchFields;
    QList<ServiceCategoryType> categoryTypes;   // none: no category panel
    bool displayFormats = false;          // price, amount and total patterns on the columns
    QString gridKey;
    QList<ServiceListColumn> columns;
    QStringList blankNoDateFields;
    // The delete question: prefix + the current row's field + suffix.
    QString deletePrefix, deleteField, deleteSuffix;
    QString templateFile;
    QString memoDatePrefix;               // the printed heading, before the from-text
    QString sheetTitle;
    int visitorField = -1;                // the search field whose value is picked from the visitors
};

const ServiceListFamily &serviceListFamily(ServiceKind kind);

struct ServiceListFilter {
    std::optional<QDate> from;     // none: the bound is switched off
    std::optional<QDate> to;
    int field = -1;                // index into the family's search fields; -1 none chosen
    QString text;                  // the search text (or the visitor), trimmed here
    int categoryType = 0;
    bool categoryChosen = false;   // a row other than "全部" is chosen
    QString category;
};

QString serviceListSql(ServiceKind kind, const ServiceListFilter &filter);
QString serviceCategoryListSql(ServiceKind kind, int categoryType);
// The names the visitor drop-down offers.
QString visitorNamesSql();
QString serviceDeleteQuestion(ServiceKind kind, const QString &value);
// The "MemoDate" text of the printed list; an unticked bound reads as the
// start of the books or their last day.
QString serviceMemoDateText(ServiceKind kind, const std::optional<QDate> &from, const std::optional<QDate> &to);
