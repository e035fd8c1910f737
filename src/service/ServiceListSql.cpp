#include "ServiceListSql.h"

#include "app/PubUnit.h"
#include "data/SqlText.h"

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

ServiceListFamily repairs()
{
    ServiceListFamily f;
    f.kind = ServiceKind::Repair;
    f.formName = S("frmWXrecMan");
    f.caption = S("维护记录管理");
    f.table = S("T_WXrec");
    f.dateField = S("F_BXdate");
    f.dateLabel = S("报修日期：自");
    f.searchFields = {{S("客户名称"), S("F_CLTname")},
                      {S("机身编码"), S("F_JScode")},
                      {S("维修单号"), S("F_BillCode")},
                      {S("处理结果"), S("F_Mem1")}};
    f.categoryTypes = {
        {S("型    号"), S("select distinct F_xingHao as F_name from T_WXrec group by F_xingHao"), S("F_xingHao")},
        {S("故障原因"), S("select distinct F_reason as F_name from T_WXrec group by F_reason"), S("F_reason")},
        {S("维修部门"), S("select distinct F_setupDept as F_name from T_WXrec group by F_setupDept"), S("F_setupDept")},
        {S("维修人员"), S("select distinct F_FWname as F_name from T_WXrec group by F_FWname"), S("F_FWname")},
    };
    f.displayFormats = true;
    f.gridKey = S("wxrecman");
    f.columns = {{S("F_cltName"), S("客户名称")}, {S("F_bxdate"), S("报修日期")},   {S("F_xfdate"), S("修复日期")},
                 {S("F_xinghao"), S("型号")},     {S("F_reason"), S("故障原因")},   {S("F_JScode"), S("机身编码")},
                 {S("F_amount"), S("故障数量")},  {S("F_price"), S("单价")},        {S("F_totalprice"), S("金额")},
                 {S("F_shoukuan"), S("收款")},    {S("F_setupDept"), S("维修部门")}, {S("F_billcode"), S("维修单号")},
                 {S("F_mem1"), S("备注")},        {S("F_fwName"), S("维修人员")}};
    f.blankNoDateFields = {S("F_xfdate")};
    f.deletePrefix = S("真的要删除维修单号为 ");
    f.deleteField = S("F_billCode");
    f.deleteSuffix = S(" 维修记录吗？");
    f.templateFile = S("frWXrecMan.frf");
    f.memoDatePrefix = S("报修日期：自 ");
    f.sheetTitle = S("维修记录资料");
    return f;
}

ServiceListFamily returnVisits()
{
    ServiceListFamily f;
    f.kind = ServiceKind::ReturnVisit;
    f.formName = S("frmHFrecMan");
    f.caption = S("回访记录管理");
    f.table = S("T_HFrec");
    f.dateField = S("F_date");
    f.dateLabel = S("回访日期：自");
    f.searchFields = {{S("客户名称"), S("F_CLTname")},
                      {S("回访人员"), S("F_EmpName"), true},
                      {S("回访内容"), S("F_mem1")},
                      {S("回访事项处理"), S("F_mem2")}};
    f.visitorField = 1;
    f.gridKey = S("hfrecman");
    f.columns = {{S("F_cltName"), S("客户名称")}, {S("F_date"), S("回访日期")},      {S("F_empname"), S("回访人员")},
                 {S("F_mem1"), S("回访内容")},    {S("f_mem2"), S("回访事项处理")}, {S("F_editDate"), S("修改日期")}};
    f.deletePrefix = S("真的要删除客户名称为 ");
    f.deleteField = S("F_cltName");
    f.deleteSuffix = S(" 回访记录吗？");
    f.templateFile = S("frHFrecMan.frf");
    f.memoDatePrefix = S("统计日期：自 ");
    f.sheetTitle = S("回访记录资料");
    return f;
}

ServiceListFamily complaints()
{
    ServiceListFamily f;
    f.kind = ServiceKind::Complaint;
    f.formName = S("frmTSrecMan");
    f.caption = S("投诉记录管理");
    f.table = S("T_TSrec");
    f.dateField = S("F_TSdate");
    f.dateLabel = S("投诉日期：自");
    f.dateHasTime = true;
    f.searchFields = {{S("客户名称"), S("F_CLTname")},
                      {S("投诉原因"), S("F_reason")},
                      {S("投诉处理结果"), S("F_memo1")},
                      {S("备注"), S("F_memo2")}};
    f.categoryTypes = {
        {S("级    别"), S("select distinct F_jibie as F_name from T_TSrec where F_jibie <> '' group by F_jibie"), S("F_jibie")},
        {S("制 单 人"), S("select distinct F_maker as F_name from T_TSrec where F_maker <> '' group by F_maker"), S("F_Maker")},
    };
    f.gridKey = S("tsrecman");
    f.columns = {{S("F_cltName"), S("客户名称")}, {S("F_tsdate"), S("投诉日期")}, {S("F_tstime"), S("投诉时间")},
                 {S("F_jibie"), S("级    别")},   {S("F_maker"), S("制单人")},    {S("F_reason"), S("投诉原因")},
                 {S("F_memo1"), S("投诉处理结果")}, {S("F_memo2"), S("备注")}};
    f.deletePrefix = S("真的要删除客户名称为 ");
    f.deleteField = S("F_CLTname");
    f.deleteSuffix = S(" 的投诉记录吗？");
    f.templateFile = S("frTSrecMan.frf");
    f.memoDatePrefix = S("统计日期：自 ");
    f.sheetTitle = S("投诉记录资料");
    return f;
}

} // namespace

const ServiceListFamily &serviceListFamily(ServiceKind kind)
{
    static const ServiceListFamily families[3] = {repairs(), returnVisits(), complaints()};
    return families[int(kind)];
}

QString serviceListSql(ServiceKind kind, const ServiceListFilter &filter)
{
    const ServiceListFamily &f = serviceListFamily(kind);
    const QString from = filter.from ? filter.from->toString(QStringLiteral("yyyy-MM-dd")) : QString::fromLatin1(PubUnit::NoDate);
    // A complaint keeps its time of day, so a bare to-date would leave out
    // that day's complaints after midnight.
    const QString to = filter.to ? filter.to->toString(QStringLiteral("yyyy-MM-dd")) + (f.dateHasTime ? QStringLiteral(" 23:59:59") : QString())
                                 : QStringLiteral("3000-08-14");
    QString sql = QStringLiteral("select * from ") + f.table + QStringLiteral(" where (") + f.dateField + QStringLiteral(" >= '")
                  + from + QStringLiteral("' and ") + f.dateField + QStringLiteral(" <= '") + to + QStringLiteral("') ");
    if (filter.field >= 0 && filter.field < f.searchFields.size()) {
        const ServiceSearchField &s = f.searchFields.at(filter.field);
        const QString v = sqlValue(filter.text.trimmed());
        sql += QStringLiteral("and ") + s.column + QStringLiteral(" like '") + (s.startsWith ? QString() : QStringLiteral("%")) + v
               + QStringLiteral("%' ");
    }
    if (filter.categoryChosen && filter.categoryType >= 0 && filter.categoryType < f.categoryTypes.size())
        sql += QStringLiteral("and ") + f.categoryTypes.at(filter.categoryType).column + QStringLiteral(" = '")
               + sqlValue(filter.category) + QStringLiteral("' ");
    return sql + QStringLiteral("order by ") + f.dateField;
}

QString serviceCategoryListSql(ServiceKind kind, int categoryType)
{
    const QList<ServiceCategoryType> &types = serviceListFamily(kind).categoryTypes;
    return categoryType >= 0 && categoryType < types.size() ? types.at(categoryType).listSql : QString();
}

QString visitorNamesSql()
{
    return QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = 'maker' ");
}

QString serviceDeleteQuestion(ServiceKind kind, const QString &value)
{
    const ServiceListFamily &f = serviceListFamily(kind);
    return f.deletePrefix + value + f.deleteSuffix;
}

QString serviceMemoDateText(ServiceKind kind, const std::optional<QDate> &from, const std::optional<QDate> &to)
{
    const QString fromText = from ? from->toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("启用系统");
    const QString toText = to ? to->toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("记帐最后一天");
    return serviceListFamily(kind).memoDatePrefix + fromText + QStringLiteral(" 至 ") + toText;
}
