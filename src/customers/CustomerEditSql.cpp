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

Params customerParams(const CustomerRecord &r, int areaId, const QString &empName, std::optional<qint64> editedId)
{
    Params p;
    auto set = [&p](const char *key, const QVariant &v) { p.set(QString::fromLatin1(key), v); };
    set("code", r.code.trimmed());
    set("name", r.name.trimmed());
    set("buyAddress", r.buyAddress.trimmed());
    set("phone", r.phone.trimmed());
    set("handPhone", r.handPhone.trimmed());
    set("type", r.type.trimmed());
    set("JScode", r.jsCode.trimmed());
    set("xinghao", r.xingHao.trimmed());
    set("amount", r.amount);
    set("price", r.price);
    set("totalPrice", r.totalPrice);
    set("addGoodA", r.addGoodA.trimmed());
    set("addAmountA", r.addAmountA);
    set("addGoodB", r.addGoodB.trimmed());
    set("addAmountB", r.addAmountB);
    set("area", r.area.trimmed());
    set("areaID", areaId);
    set("setupDept", r.setupDept.trimmed());
    set("buyDate", r.buyDate);
    set("setupDate", r.setupDate);
    set("KDcode", r.kdCode.trimmed());
    set("KPcode", r.kpCode.trimmed());
    set("Maker", r.maker.trimmed());
    set("PostCode", r.postCode.trimmed());
    set("memo1", r.memo1);
    set("awokeDate", r.awokeDate);
    set("IFshoukuan", r.ifShoukuan);
    set("useFlag", r.useFlag);
    set("empName", empName);
    set("shoukuan", r.shoukuan);
    set("setupDate1", r.setupDate1);
    for (int i = 0; i < 5; ++i) p.set(QStringLiteral("ZF%1").arg(i + 1), r.zf[i]);
    for (int i = 0; i < 3; ++i) p.set(QStringLiteral("SZ%1").arg(i + 1), r.sz[i]);
    for (int i = 0; i < 3; ++i) p.set(QStringLiteral("RQ%1").arg(i + 1), r.rq[i]);
    if (editedId) set("ID", *editedId);
    return p;
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
