#pragma once
// The statements of the customer record editor. Values placed between
// quotes have their quotes doubled; the row itself is written with
// parameters.

#include "data/Connection.h"

#include <QString>
#include <QStringList>
#include <optional>

// A customer sale as the editor holds it, values as typed. Dates are
// "yyyy-MM-dd" texts, the no-date value for an unticked date.
struct CustomerRecord {
    QString code, name, buyAddress, phone, handPhone, type, jsCode, xingHao;
    double amount = 0, price = 0, totalPrice = 0;
    QString addGoodA;
    double addAmountA = 0;
    QString addGoodB;
    double addAmountB = 0;
    double shoukuan = 0;
    QString area, setupDept, buyDate, setupDate, setupDate1, postCode, kdCode, kpCode, maker, memo1;
    QString zf[5];
    double sz[3] = {0, 0, 0};
    QString rq[3];
    QString awokeDate;
    bool useFlag = false;     // ticked: the row is no longer in use
    bool ifShoukuan = false;  // ticked: paid
};

QString customerUpdateSql();
QString customerInsertSql();
// The parameters of either statement: texts trimmed except the memo and the
// five free texts; an edited row's id goes into :ID.
Params customerParams(const CustomerRecord &r, int areaId, const QString &empName,
                      std::optional<qint64> editedId = std::nullopt);
// The first row whose column (F_Code, F_kpcode, F_phone, F_handphone) holds the value.
QString customerRepeatSql(const QString &column, const QString &value);
// Moves a customer's service records to a changed code: return visits, repairs, complaints.
QStringList serviceCodeChangeSql(const QString &newCode, const QString &oldCode);
QString areaIdSql(const QString &area);
