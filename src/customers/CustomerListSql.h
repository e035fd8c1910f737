#pragma once
// The statements of the main window's customer list, built from the state
// of its search bar and category panel. Every value placed between quotes
// has its quotes doubled.

#include <QString>
#include <QStringList>

struct CustomerSearch {
    bool seeAllClients = true;
    QString curOper;
    int field = -1;                // index into searchFieldItems(); -1 none chosen
    QString text;                  // the search text, trimmed
    QString value;                 // the value drop-down's text (gifts, salesmen), trimmed
    bool includeDisabled = false;
    bool includePaid = false;
    int categoryType = 0;          // index into the category types
    bool categoryChosen = false;   // a row other than "全部" is selected
    QString category;              // the value shown in that row
};

enum SearchField {
    SearchName = 0, SearchCode, SearchAddress, SearchPhone, SearchMobile, SearchBodyCode,
    SearchGift, SearchBill, SearchMemo, SearchSalesman
};

// The search fields offered; the salesman only to operators who see every customer.
QStringList searchFieldItems(bool seeAllClients);
// The code type whose names the value drop-down offers for a field ("addgood",
// "maker"), empty for fields searched by typed text.
QString searchValueCodeType(int field);
QString codeValuesSql(const QString &codeType);

QString customerListSql(const CustomerSearch &search);

// The category types of the drop-down, the distinct-values statement of one
// and the title of its value column.
QStringList categoryTypeItems();
QString categoryListSql(int categoryType);
QString categoryTitle(int kind);   // kind = categoryType + 1

// The detail list of a tab (0 repairs, 1 return visits, 2 complaints); its
// parameter :F_code takes the current customer's code.
QString detailListSql(int tab);
