#pragma once
// The statements of the operator windows and the password change. Every
// value placed between quotes goes through sqlValue; the operator row itself
// is written with parameters.

#include "data/Connection.h"

#include <QString>

// The operator list: disabled operators (F_Flag 1 or NULL) only when asked for.
QString operListSql(bool showDisabled);
// The id of the operator of that name (0 when there is none).
QString operatorIdSql(const QString &name);
// The rights the editor offers, in code order.
QString offeredRightsSql();
// The rights an operator holds.
QString operLimitSql(const QString &name);
QString deleteOperLimitSql(const QString &name);
QString insertOperLimitSql(const QString &name, const QString &right);
// The operator row, with :fName, :fPassword, :mem, :fFlag, :xtFlag (and :iID for the update).
QString operatorInsertSql();
QString operatorUpdateSql();
// Whether the operator may log in: 1 when disabled in the operator editor. A
// row whose flag was never set (made before operators were managed here)
// still logs in, as it always did; the list shows it among the disabled.
QString operatorDisabledSql(const QString &name);
// The logged-in operator's row for the password change.
QString ownPasswordSql(const QString &curOper);
QString passwordUpdateSql();   // :fPassword, :iID

// "真的要删除当前操作员 "name" 吗？"
QString deleteOperatorQuestion(const QString &name);
// The default operator, in any letter case and with blanks around it.
bool isDefaultOperator(const QString &name);

// The longest operator name OperList and OperLimit keep.
int operatorNameLimit();
