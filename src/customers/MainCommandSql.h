#pragma once
// Statements and question texts of the main window's commands. Every value
// placed between quotes has its quotes doubled.

#include <QString>
#include <QStringList>

// Return visits, repairs and complaints of the customer code, then every
// customer row with that code, in the order they are run.
QStringList customerDeleteStatements(const QString &code);

// How many customers carry the code: the code's statements above are for a
// code that names one customer only.
QString customersWithCodeSql(const QString &code);
// One customer row and the service records attached to it by row id.
QStringList customerRowDeleteStatements(qint64 id);

// Removes customer rows that have neither code nor name.
QString emptyCustomerRowsSql();

QString customerDeleteQuestion(const QString &name);

// The detail tabs: 0 repairs, 1 return visits, 2 complaints.
QString detailTable(int tab);
QString detailDateField(int tab);
QString detailDeleteQuestion(int tab, const QString &date);
QString detailGridKey(int tab);
QString detailSheetTitle(int tab);
QString detailNeedsCustomerMessage(int tab);

QString exitQuestion(const QString &productName);
