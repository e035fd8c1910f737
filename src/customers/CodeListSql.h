#pragma once
// The statements of the code lists: drop-down fill, the code picker's list
// and search, the maintenance window's list and the picker's insert. Every
// value placed between quotes has its quotes doubled.

#include <QList>
#include <QString>

// The names a drop-down offers for a type: each once, empty names left out.
QString codeFillSql(const QString &codeType);
// The picker's list, in name order, empty names left out.
QString codePickListSql(const QString &codeType);
// The picker's search: every entry of the type (empty names too), narrowed
// to names containing the trimmed name when there is one; no order.
QString codePickFilterSql(const QString &codeType, const QString &name);
// The maintenance window's list of one type.
QString codeManListSql(const QString &codeType);
// One entry, the name stored exactly as typed.
QString codeInsertSql(const QString &name, const QString &codeType);

// The maintenance window's tabs, in order: component name and caption.
struct CodeTab {
    QString name;
    QString caption;
};
const QList<CodeTab> &codeTabs();
// A tab's type string is its component name without the first character
// (which is how "TabSheet1" keeps its entries under "abSheet1").
QString codeTypeOfTab(const QString &tabName);
