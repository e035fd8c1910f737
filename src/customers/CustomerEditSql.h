#pragma once
// The statements of the customer record editor. Values placed between
// quotes have their quotes doubled; the row itself is written with
// parameters.

#include <QString>
#include <QStringList>

QString customerUpdateSql();
QString customerInsertSql();
// The first row whose column (F_Code, F_kpcode, F_phone, F_handphone) holds the value.
QString customerRepeatSql(const QString &column, const QString &value);
// Moves a customer's service records to a changed code: return visits, repairs, complaints.
QStringList serviceCodeChangeSql(const QString &newCode, const QString &oldCode);
QString areaIdSql(const QString &area);
// The largest code, for the next one: when a new record is prepared, and on a repeat.
QString newRecordCodeSql();
QString repeatCodeSql();
