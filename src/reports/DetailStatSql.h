#pragma once
// What the five detail statistics windows (sales, repairs, installations,
// gifts, complaints) differ in, and the statements they run, built from the
// state of their filter group. Every value placed between quotes has its
// quotes doubled.

#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

enum class DetailStatKind { Sales, Repairs, Installations, Gifts, Complaints };

inline constexpr DetailStatKind kDetailStatKinds[] = {DetailStatKind::Sales, DetailStatKind::Repairs,
                                                      DetailStatKind::Installations, DetailStatKind::Gifts,
                                                      DetailStatKind::Complaints};

// A control of the filter group, in tab order.
struct DetailStatControl {
    enum class Kind {
        DateRange,    // the from/to pair on the first date, or (second) on the second one
        Text,         // a text box
        CodeList,     // an editable drop-down that keeps what is typed
        FixedList,    // a drop-down without typing: its empty first item clears the filter
    };
    Kind kind;
    QString name;     // objectName; for a date range that of its from-date
    QString label;
    bool second = false;   // DateRange: the second range (installations)
};

// One condition of the statement: the pieces joined by the value (a gift
// filter names its value twice).
struct DetailStatCondition {
    QString control;
    QStringList pieces;
    bool trimmed = true;   // else the value as typed; an all-space value adds nothing either way
};

struct DetailStatColumn {
    QString field;
    QString title;
};

struct DetailStatFamily {
    DetailStatKind kind;
    QString formName;                         // "frmXSdetailTj"
    QString caption;
    int rightCode = 0;                        // the main window command that opens it
    // The head of the statement: its pieces joined by the from- and to-texts
    // of the first range, then those of the second (installations).
    QStringList head;
    QString openFrom;                         // the lower bound of an unticked from-date
    // A date column that holds a time of day as well: a ticked to-date then
    // reaches to the end of that day.
    bool dateHasTime = false;
    QString orderBy;
    QList<DetailStatControl> controls;        // tab order
    QList<DetailStatCondition> conditions;    // statement order
    QList<QPair<QString, QString>> lists;     // control, code type: the fill order
    QString gridKey;
    QString templateFile;
    QList<DetailStatColumn> columns;
    QStringList blankNoDateFields;
};

const DetailStatFamily &detailStatFamily(DetailStatKind kind);

struct DetailStatFilter {
    std::optional<QDate> from, to;            // none: the bound is switched off
    std::optional<QDate> from2, to2;          // the second range (installations)
    QHash<QString, QString> values;           // control name -> its text as typed
};

QString detailStatSql(DetailStatKind kind, const DetailStatFilter &filter);
// The names a drop-down offers: the code list of a type.
QString detailStatListSql(const QString &codeType);
// The "MemoDate" text of the print; an unticked bound reads as the start of
// the books or their last day.
QString detailStatMemoDate(const std::optional<QDate> &from, const std::optional<QDate> &to);
