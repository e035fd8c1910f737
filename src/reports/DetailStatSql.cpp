#include "DetailStatSql.h"

#include "app/PubUnit.h"
#include "data/SqlText.h"

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

using Kind = DetailStatControl::Kind;

DetailStatControl range(const char *label, bool second = false)
{
    return {Kind::DateRange, S(second ? "dtpfromDate1" : "dtpFromDate"), S(label), second};
}

DetailStatControl text(const char *name, const char *label)
{
    return {Kind::Text, S(name), S(label)};
}

DetailStatControl codes(const char *name, const char *label)
{
    return {Kind::CodeList, S(name), S(label)};
}

DetailStatControl fixed(const char *name, const char *label)
{
    return {Kind::FixedList, S(name), S(label)};
}

// A contains-match: the piece, the value, "%' ".
DetailStatCondition like(const char *control, const char *piece, bool trimmed = true)
{
    return {S(control), {S(piece), S("%' ")}, trimmed};
}

QList<DetailStatColumn> columns(std::initializer_list<std::pair<const char *, const char *>> list)
{
    QList<DetailStatColumn> r;
    for (const auto &[field, title] : list) r.append({S(field), S(title)});
    return r;
}

DetailStatFamily sales()
{
    DetailStatFamily f;
    f.kind = DetailStatKind::Sales;
    f.formName = S("frmXSdetailTj");
    f.caption = S("电器销售统计列表");
    f.rightCode = 403;
    f.head = {S("select c.F_name,c.F_buyAddress,c.F_phone,c.F_handphone,c.F_area, c.F_setupDate,c.F_setupDate1,"
                "c.F_xinghao,c.F_amount,c.F_price, c.F_totalprice,c.F_maker,c.F_buyDate,c.F_setupDept,c.F_type,"
                "c.F_addgoodA, c.F_addAmountA,c.F_addgoodB,c.F_addAmountB from t_client as c  Where (c.F_buyDate >= '"),
              S("' And c.F_buyDate <= '"), S("') ")};
    f.openFrom = QString::fromLatin1(PubUnit::NoDate);
    f.orderBy = S("Order By c.F_buyDate");
    f.controls = {range("销售日期："), codes("cbbMaker", "业 务 员："), text("edtName", "客户名称："),
                  codes("cbbArea", "购买地点："), codes("cbbXingHao", "型    号："), codes("cbbSetupDept", "安装部门："),
                  codes("cbbType", "类    型：")};
    f.conditions = {like("edtName", "And isNull(c.F_name,'') Like '%", false),
                    like("cbbArea", "And isNull(c.F_area,'') Like '%"),
                    like("cbbMaker", "and isNull(c.F_Maker,'') Like '%"),
                    like("cbbXingHao", "and isNull(c.F_xinghao,'') Like '%"),
                    like("cbbSetupDept", "and isNull(c.F_setupDept,'') Like '%"),
                    like("cbbType", "and isNull(c.F_type,'') Like '%")};
    f.lists = {{S("cbbMaker"), S("maker")},
               {S("cbbArea"), S("area")},
               {S("cbbXingHao"), S("xinghao")},
               {S("cbbSetupDept"), S("setupdept")},
               {S("cbbType"), S("type")}};
    f.gridKey = S("xsdetailtj");
    f.templateFile = S("frXSdetailTj.frf");
    f.columns = columns({{"F_name", "用户名称"},
                         {"F_buyAddress", "联系地址"},
                         {"F_phone", "固定电话"},
                         {"F_handphone", "手  机"},
                         {"F_area", "购买地址"},
                         {"F_buyDate", "购买日期"},
                         {"F_setupDate", "约定安装日期"},
                         {"F_setupDate1", "重约安装日期"},
                         {"F_xinghao", "型    号"},
                         {"F_amount", "台数"},
                         {"F_price", "单价"},
                         {"F_totalprice", "金额"},
                         {"F_maker", "业务员"}});
    f.blankNoDateFields = {S("F_buyDate"), S("F_setupDate"), S("F_setupDate1")};
    return f;
}

DetailStatFamily repairs()
{
    DetailStatFamily f;
    f.kind = DetailStatKind::Repairs;
    f.formName = S("frmWXdetailTJ");
    f.caption = S("维修统计列表");
    f.rightCode = 404;
    f.head = {S("select c.F_name,c.F_buyaddress,c.F_area,c.F_phone,c.F_handPhone, W.* from t_WXrec as W left join "
                "t_client as c on w.F_cltcode = c.F_code Where (w.F_XFdate >= '"),
              S("' And w.F_XFdate <= '"), S("') ")};
    f.openFrom = S("1900-06-14");
    f.orderBy = S("Order By w.F_XFdate");
    f.controls = {range("修复日期："), codes("cbbXingHao", "型    号："), codes("cbbReason", "故障原因："),
                  text("edtName", "客户名称："), codes("cbbArea", "购买地址："), codes("cbbSetupDept", "安 装 部："),
                  text("edtbillcode", "维修单号：")};
    f.conditions = {like("edtName", "And isNull(c.F_name,'') Like '%"),
                    like("cbbArea", "And isNull(c.F_area,'') Like '%"),
                    like("cbbXingHao", "and isNull(w.F_xinghao,'') Like '%"),
                    like("cbbReason", "and isNull(w.F_Reason,'') Like '%"),
                    like("cbbSetupDept", "and isNull(w.F_setupDept,'') Like '%"),
                    like("edtbillcode", "and isNull(w.F_billcode,'') like '%")};
    f.lists = {{S("cbbXingHao"), S("xinghao")},
               {S("cbbReason"), S("Reason")},
               {S("cbbArea"), S("area")},
               {S("cbbSetupDept"), S("setupdept")}};
    f.gridKey = S("wxdetailtj");
    f.templateFile = S("frWXdetailTj.frf");
    f.columns = columns({{"F_name", "用户名称"},
                         {"F_buyaddress", "联系地址"},
                         {"F_area", "购买地址"},
                         {"F_bxdate", "报修日期"},
                         {"F_xfdate", "修复日期"},
                         {"F_xinghao", "型号"},
                         {"F_reason", "故障原因"},
                         {"F_amount", "故障数量"},
                         {"F_shoukuan", "收款"},
                         {"F_setupDept", "安装部"},
                         {"F_billcode", "维修单号"},
                         {"F_mem1", "备注"}});
    f.blankNoDateFields = {S("F_bxdate"), S("F_xfdate")};
    return f;
}

DetailStatFamily installations()
{
    DetailStatFamily f;
    f.kind = DetailStatKind::Installations;
    f.formName = S("frmAZdetailTj");
    f.caption = S("电器安装统计列表");
    f.rightCode = 405;
    f.head = {S("select c.F_name,c.F_buyAddress,c.F_phone,c.F_handphone,c.F_setupDept, c.F_setupDate,c.F_setupDate1,"
                "c.F_type,c.F_amount,c.F_price,c.F_buyDate,c.F_area, c.F_totalprice from t_client as c Where "
                "(c.F_setupDate >= '"),
              S("' And c.F_setupDate <= '"), S("')and(c.F_setupDate1 >= '"), S("' And c.F_setupDate1 <= '"), S("') ")};
    f.openFrom = QString::fromLatin1(PubUnit::NoDate);
    f.orderBy = S("Order By c.F_setupDate ");
    f.controls = {range("预约安装日期："), codes("cbbSetupDept", "安 装 部："), range("重约安装日期：", true),
                  text("edtName", "客户名称："), text("edtphone", "固定电话："), codes("cbbType", "类    别：")};
    f.conditions = {like("edtName", "And isNull(c.F_name,'') Like '%", false),
                    like("edtphone", "And isNull(c.F_phone,'') Like '%"),
                    like("cbbSetupDept", "and isNull(c.F_setupDept,'') Like '%"),
                    like("cbbType", "and isNull(c.F_type,'') Like '%")};
    f.lists = {{S("cbbSetupDept"), S("setupdept")}, {S("cbbType"), S("type")}};
    f.gridKey = S("azdetailtj");
    f.templateFile = S("frAZdetailTj.frf");
    f.columns = columns({{"F_name", "用户名称"},
                         {"F_buyAddress", "联系地址"},
                         {"F_phone", "固定电话"},
                         {"F_handphone", "手  机"},
                         {"F_setupDept", "安装部"},
                         {"F_buyDate", "购买日期"},
                         {"F_setupDate", "约定安装日期"},
                         {"F_setupDate1", "重约安装日期"},
                         {"F_type", "类  别"},
                         {"F_amount", "台数"},
                         {"F_price", "单价"},
                         {"F_totalprice", "金额"}});
    return f;
}

DetailStatFamily gifts()
{
    DetailStatFamily f;
    f.kind = DetailStatKind::Gifts;
    f.formName = S("frmZPdetailTj");
    f.caption = S("用户赠品统计列表");
    f.rightCode = 406;
    f.head = {S("select c.F_name,c.F_buyAddress,c.F_phone,c.F_handphone,c.F_area, c.F_buyDate,c.F_setupDate,"
                "c.F_setupDate1,c.F_AddGoodA,c.F_AddamountA, c.F_AddGoodB,c.F_AddAmountB,c.F_shoukuan from t_client "
                "as c   Where (c.F_buyDate >= '"),
              S("' And c.F_buyDate <= '"), S("') ")};
    f.openFrom = QString::fromLatin1(PubUnit::NoDate);
    f.orderBy = S("Order By c.F_buyDate");
    f.controls = {range("购买日期："), codes("cbbAddGood", "赠品名称："), text("edtName", "用户名称："),
                  codes("cbbArea", "购买地点：")};
    f.conditions = {like("edtName", "And isNull(c.F_name,'') Like '%", false),
                    like("cbbArea", "And isNull(c.F_area,'') Like '%"),
                    {S("cbbAddGood"),
                     {S("and (isNull(c.F_AddGoodA,'') Like '%"), S("%' or isNull(c.F_AddGoodB,'') Like '%"), S("%') ")}}};
    f.lists = {{S("cbbAddGood"), S("addgood")}, {S("cbbArea"), S("area")}};
    f.gridKey = S("zpdetailtj");
    f.templateFile = S("frZPdetailTj.frf");
    f.columns = columns({{"F_name", "用户名称"},
                         {"F_buyAddress", "联系地址"},
                         {"F_phone", "固定电话"},
                         {"F_handphone", "手  机"},
                         {"F_area", "购买地址"},
                         {"F_buyDate", "购买日期"},
                         {"F_setupDate", "约定安装日期"},
                         {"F_setupDate1", "重约安装日期"},
                         {"F_AddGoodA", "赠品名称A"},
                         {"F_AddamountA", "赠品数量A"},
                         {"F_AddGoodB", "赠品名称B"},
                         {"F_AddAmountB", "赠品数量B"}});
    f.blankNoDateFields = {S("F_buyDate"), S("F_setupDate"), S("F_setupDate1")};
    return f;
}

DetailStatFamily complaints()
{
    DetailStatFamily f;
    f.kind = DetailStatKind::Complaints;
    f.formName = S("frmTSdetailTj");
    f.caption = S("用户投诉统计列表");
    f.rightCode = 407;
    f.head = {S("select c.F_name,c.F_buyaddress,c.F_area,c.F_phone,c.F_handphone, t.* from t_TSrec as t left join "
                "t_client as c on t.F_cltcode = c.F_code Where (t.F_tsDate >= '"),
              S("' And t.F_tsDate <= '"), S("') ")};
    f.openFrom = QString::fromLatin1(PubUnit::NoDate);
    f.dateHasTime = true;
    f.orderBy = S("Order By t.F_tsDate ");
    f.controls = {range("投诉日期："), fixed("cbbTSjibie", "投诉级别："), text("edtName", "用户名称："),
                  text("edtReason", "投诉原因："), fixed("cbbMaker", "业 务 员：")};
    f.conditions = {like("edtName", "And isNull(c.F_name,'') Like '%"),
                    like("cbbTSjibie", "And isNull(t.F_jibie,'') Like '%"),
                    like("edtReason", "and isNull(t.F_reason,'') Like '%"),
                    like("cbbMaker", "and isNull(t.F_Maker,'') Like '%")};
    f.lists = {{S("cbbTSjibie"), S("tsjibie")}, {S("cbbMaker"), S("maker")}};
    f.gridKey = S("tsdetailtj");
    f.templateFile = S("frTSdetailTj.frf");
    f.columns = columns({{"F_name", "用户名称"},
                         {"F_buyaddress", "联系地址"},
                         {"F_area", "购买地址"},
                         {"F_phone", "固定电话"},
                         {"F_handphone", "手机"},
                         {"F_tsdate", "投诉时间"},
                         {"F_jibie", "投诉级别"},
                         {"F_maker", "业务员"},
                         {"F_reason", "投诉原因"},
                         {"F_memo1", "投诉处理结果"}});
    return f;
}

} // namespace

const DetailStatFamily &detailStatFamily(DetailStatKind kind)
{
    static const DetailStatFamily families[5] = {sales(), repairs(), installations(), gifts(), complaints()};
    return families[int(kind)];
}

QString detailStatSql(DetailStatKind kind, const DetailStatFilter &filter)
{
    const DetailStatFamily &f = detailStatFamily(kind);
    auto from = [&f](const std::optional<QDate> &d) {
        return d ? d->toString(QStringLiteral("yyyy-MM-dd")) : f.openFrom;
    };
    // A complaint keeps its time of day, so a bare to-date would leave out
    // that day's complaints after midnight.
    auto to = [&f](const std::optional<QDate> &d) {
        return d ? d->toString(QStringLiteral("yyyy-MM-dd")) + (f.dateHasTime ? QStringLiteral(" 23:59:59") : QString())
                 : QStringLiteral("3000-08-14");
    };
    const QStringList bounds = {from(filter.from), to(filter.to), from(filter.from2), to(filter.to2)};
    QString sql = f.head.first();
    for (int i = 1; i < f.head.size(); ++i) sql += bounds.at(i - 1) + f.head.at(i);
    for (const DetailStatCondition &c : f.conditions) {
        const QString typed = filter.values.value(c.control);
        if (typed.trimmed().isEmpty()) continue;
        sql += c.pieces.join(sqlValue(c.trimmed ? typed.trimmed() : typed));
    }
    return sql + f.orderBy;
}

QString detailStatListSql(const QString &codeType)
{
    return QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = '") + sqlValue(codeType)
           + QStringLiteral("' ");
}

QString detailStatMemoDate(const std::optional<QDate> &from, const std::optional<QDate> &to)
{
    const QString fromText = from ? from->toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("启用系统");
    const QString toText = to ? to->toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("记帐最后一天");
    return QStringLiteral("统计日期：自 ") + fromText + QStringLiteral(" 至 ") + toText;
}
