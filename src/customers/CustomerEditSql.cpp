#include "CustomerEditSql.h"

#include "data/SqlText.h"

QString customerUpdateSql()
{
    return QStringLiteral(
        "Update t_Client Set F_code = :code,F_name = :name,F_buyAddress = :buyAddress, F_phone = :phone,"
        "F_handPhone = :handPhone,F_type = :type,F_JScode = :JScode, F_xinghao = :xinghao,F_amount = :amount,"
        "F_price = :price,F_totalprice = :totalprice, F_addgoodA = :addGoodA,F_addAmountA = :addAmountA,"
        "F_addGoodB = :addGoodB, F_addAmountB = :addAmountB,F_area = :area,F_areaID = :areaID, "
        "F_setupDept = :setupDept,F_buyDate = :buyDate,F_setupDate = :setupDate, F_KDcode = :KDcode,"
        "F_KPcode = :KPcode,F_Maker = :Maker, F_postCode = :PostCode,F_memo1 = :memo1,F_awokeDate = :awokeDate, "
        "F_IFshoukuan = :IFshoukuan,F_useFlag = :useFlag,F_empName = :empName, F_shoukuan = :shoukuan,"
        "F_setupDate1 = :setupDate1, F_ZF1 = :ZF1,F_ZF2 = :ZF2,F_ZF3 = :ZF3,F_ZF4 = :ZF4,F_ZF5 = :ZF5, "
        "F_SZ1 = :SZ1,F_SZ2 = :SZ2,F_SZ3 = :SZ3,F_RQ1 = :RQ1,F_RQ2 = :RQ2, F_RQ3 = :RQ3 Where F_ID = :ID");
}

QString customerInsertSql()
{
    return QStringLiteral(
        "Insert into t_Client(F_code,F_name,F_buyAddress,F_phone,F_handPhone, F_type,F_JScode,F_xinghao,F_amount,"
        "F_price,F_totalprice,F_addGoodA, F_addAmountA,F_addGoodB,F_addAmountB,F_area,F_areaID,F_setupDept, "
        "F_buyDate,F_setupDate,F_KDcode,F_KPcode,F_Maker,F_postcode, F_memo1,F_awokeDate,F_IFshoukuan,F_useFlag,"
        "F_empName, F_shoukuan,F_setupDate1,F_ZF1,F_ZF2,F_ZF3,F_ZF4,F_ZF5,F_SZ1,F_SZ2, F_SZ3,F_RQ1,F_RQ2,F_RQ3) "
        "Values(:code,:name,:buyAddress,:phone,:handPhone,:type,:JScode,:xinghao, :amount,:price,:totalPrice,"
        ":addGoodA,:addAmountA,:addGoodB,:addAmountB, :area,:areaID,:setupDept,:buyDate,:setupDate,:KDcode,"
        ":KPcode,:Maker, :Postcode,:memo1,:awokeDate,:IFshoukuan,:useFlag,:empName,:shoukuan, :setupDate1,:ZF1,"
        ":ZF2,:ZF3,:ZF4,:ZF5,:SZ1,:SZ2,:SZ3,:RQ1,:RQ2,:RQ3) ");
}

QString customerRepeatSql(const QString &column, const QString &value)
{
    return QStringLiteral("Select F_ID From t_client Where %1 = '").arg(column) + sqlValue(value) + QStringLiteral("' ");
}

QStringList serviceCodeChangeSql(const QString &newCode, const QString &oldCode)
{
    QStringList statements;
    for (const char *table : {"t_hfREC", "t_wxREC", "t_tsREC"})
        statements << QStringLiteral("update %1 set F_cltcode = '").arg(QLatin1String(table)) + sqlValue(newCode)
                          + QStringLiteral("' where F_cltcode = '") + sqlValue(oldCode) + QStringLiteral("' ");
    return statements;
}

QString areaIdSql(const QString &area)
{
    return QStringLiteral("select F_ID from t_treecode where F_Caption = '") + sqlValue(area)
           + QStringLiteral("' and F_flag = 'area' ");
}

QString newRecordCodeSql()
{
    return QStringLiteral("select max(F_code) from T_client ");
}

QString repeatCodeSql()
{
    return QStringLiteral("select max(F_code) from t_client");
}
