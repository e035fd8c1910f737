#include "OperatorSql.h"

#include "FieldLimit.h"

#include "data/SqlText.h"

QString operListSql(bool showDisabled)
{
    return QStringLiteral("select * from OperList where (1=1) ")
           + (showDisabled ? QString() : QStringLiteral("and F_flag = 0 ")) + QStringLiteral("order by F_ID");
}

QString operatorIdSql(const QString &name)
{
    return QStringLiteral("Select F_ID from OperList Where F_Name = '") + sqlValue(name) + QStringLiteral("' ");
}

QString offeredRightsSql()
{
    return QStringLiteral("select * from limits where isNull(F_flag,0) = 1 order by F_code");
}

QString operLimitSql(const QString &name)
{
    return QStringLiteral("select * from OperLimit where F_OperName = '") + sqlValue(name) + QStringLiteral("' ");
}

QString deleteOperLimitSql(const QString &name)
{
    return QStringLiteral("delete from OperLimit where F_OperName = '") + sqlValue(name) + QStringLiteral("' ");
}

QString insertOperLimitSql(const QString &name, const QString &right)
{
    return QStringLiteral("insert into OperLimit(F_OperName,F_lmtName)Values('") + sqlValue(name)
           + QStringLiteral("','") + sqlValue(right) + QStringLiteral("')");
}

QString operatorInsertSql()
{
    return QStringLiteral("Insert into OperList(F_Name,F_password,F_mem,F_flag,F_xtFlag) "
                          "Values(:fName,:fPassword,:mem,:fFlag,:xtFlag) ");
}

QString operatorUpdateSql()
{
    return QStringLiteral("Update OperList Set F_Name = :fName,F_Password = :fPassword, F_mem = :mem,"
                          "F_Flag = :fFlag,F_xtFlag = :xtFlag Where F_ID = :iID");
}

QString operatorDisabledSql(const QString &name)
{
    return QStringLiteral("select isNull(F_Flag,0) from OperList where F_name = '") + sqlValue(name)
           + QStringLiteral("' ");
}

QString ownPasswordSql(const QString &curOper)
{
    return QStringLiteral("Select F_ID,F_PassWord From OperList Where (F_Name = '") + sqlValue(curOper)
           + QStringLiteral("')");
}

QString passwordUpdateSql()
{
    return QStringLiteral("Update OperList Set F_PassWord = :fPassword Where F_ID = :iID");
}

QString deleteOperatorQuestion(const QString &name)
{
    return QStringLiteral("真的要删除当前操作员 \"") + name + QStringLiteral("\" 吗？");
}

bool isDefaultOperator(const QString &name) { return name.trimmed().toLower() == QLatin1String("admin"); }

int operatorNameLimit()
{
    // The name is kept in both tables; the narrower column decides.
    return qMin(columnLimit(QStringLiteral("OperList"), QStringLiteral("F_Name")),
                columnLimit(QStringLiteral("OperLimit"), QStringLiteral("F_OperName")));
}
