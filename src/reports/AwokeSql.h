#pragma once
// The statements of the business reminders and the e-mail address export.

#include <QDateTime>
#include <QString>

// The customers whose reminder date is from today through `days` days ahead,
// with the days left in F_num.
QString awokeListSql(int days);
// Every customer's address, for the export of all customers.
QString emailAllSql();
// The export's default file name: date and hour, yyyyMMddhh.
QString emailDefaultFileName(const QDateTime &now);
// The export window's caption after a row.
QString emailExportCaption(int row);
