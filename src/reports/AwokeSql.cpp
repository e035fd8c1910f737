#include "AwokeSql.h"

QString awokeListSql(int days)
{
    const QString n = QString::number(days);
    return QStringLiteral(
               "select F_code,F_name,F_buyaddress,F_phone,F_KDcode,F_xinghao, F_amount,F_price,F_totalprice,"
               "F_addgoodA,F_addAmountA,F_addgoodB, F_addAmountB,F_area,F_setupDept,F_buyDate,F_setupDate,"
               "F_KPcode,F_reason, F_reasonAmount,(DateDiff(day,getdate(),F_awokeDate)) as F_num from t_client "
               "where (DateDiff(day,getdate(),F_awokeDate) <= ")
           + n + QStringLiteral(" and DateDiff(day,getdate(),F_awokeDate)>=0) ");
}

QString emailAllSql() { return QStringLiteral("select F_email from t_client "); }

QString emailDefaultFileName(const QDateTime &now) { return now.toString(QStringLiteral("yyyyMMddhh")); }

QString emailExportCaption(int row) { return QStringLiteral("导出客户电子信箱( %1 )").arg(row); }
