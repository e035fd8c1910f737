#include "Schema.h"

#include "Connection.h"
#include "SqlText.h"
#include "app/CommandTable.h"
#include "app/Companion.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Schema {

namespace {

ColumnDef col(const char *name, ColType type, int size = 0)
{
    return ColumnDef{QString::fromLatin1(name), type, size};
}

QList<TableDef> buildTables()
{
    using T = ColType;
    QList<TableDef> t;

    // Customer archive, in the order of the main list's field list.
    TableDef client{QStringLiteral("t_client"), {}};
    client.columns = {
        col("F_ID", T::Identity),          col("F_code", T::Text, 50),
        col("F_name", T::Text, 255),       col("F_area", T::Text, 255),
        col("F_areaID", T::Integer),       col("F_phone", T::Text, 50),
        col("F_handphone", T::Text, 50),   col("F_type", T::Text, 50),
        col("F_kdcode", T::Text, 50),      col("F_xinghao", T::Text, 50),
        col("F_amount", T::Float),         col("F_price", T::Float),
        col("F_totalprice", T::Float),     col("F_AddGoodA", T::Text, 255),
        col("F_AddamountA", T::Float),     col("F_AddGoodB", T::Text, 255),
        col("F_AddamountB", T::Float),     col("F_IFshoukuan", T::Bit),
        col("F_buyAddress", T::Text, 255), col("F_buyDate", T::DateTime),
        col("F_setupDate", T::DateTime),   col("F_kpcode", T::Text, 50),
        col("F_setupDept", T::Text, 50),   col("F_maker", T::Text, 50),
        col("F_reason", T::Text, 255),     col("F_reasonAmount", T::Float),
        col("F_memo1", T::LongText),       col("F_useflag", T::Bit),
        col("F_awokeDate", T::DateTime),   col("F_empName", T::Text, 50),
        col("F_postcode", T::Text, 50),    col("F_shoukuan", T::Float),
        col("F_setupDate1", T::DateTime),  col("F_JScode", T::Text, 50),
        col("F_ZF1", T::Text, 50),         col("F_ZF2", T::Text, 50),
        col("F_ZF3", T::Text, 50),         col("F_ZF4", T::Text, 50),
        col("F_ZF5", T::Text, 50),         col("F_SZ1", T::Float),
        col("F_SZ2", T::Float),            col("F_SZ3", T::Float),
        col("F_RQ1", T::DateTime),         col("F_RQ2", T::DateTime),
        col("F_RQ3", T::DateTime),         col("F_email", T::Text, 255),
    };
    t << client;

    t << TableDef{QStringLiteral("T_WXrec"),
                  {col("F_ID", T::Identity), col("F_mainID", T::Integer), col("F_cltcode", T::Text, 50),
                   col("F_cltName", T::Text, 255), col("F_bxdate", T::DateTime), col("F_xfdate", T::DateTime),
                   col("F_xinghao", T::Text, 50), col("F_reason", T::LongText), col("F_JScode", T::Text, 50),
                   col("F_amount", T::Float), col("F_price", T::Float), col("F_totalprice", T::Float),
                   col("F_shoukuan", T::Float), col("F_setupDept", T::Text, 50), col("F_billcode", T::Text, 50),
                   col("F_mem1", T::LongText), col("F_fwName", T::Text, 50)}};

    t << TableDef{QStringLiteral("T_HFrec"),
                  {col("F_ID", T::Identity), col("F_mainID", T::Integer), col("F_cltcode", T::Text, 50),
                   col("F_cltName", T::Text, 255), col("F_date", T::DateTime), col("F_empname", T::Text, 50),
                   col("F_mem1", T::LongText), col("f_mem2", T::LongText), col("F_editDate", T::DateTime)}};

    t << TableDef{QStringLiteral("T_TSrec"),
                  {col("F_ID", T::Identity), col("F_mainID", T::Integer), col("F_cltcode", T::Text, 50),
                   col("F_cltName", T::Text, 255), col("F_tsdate", T::DateTime), col("F_tstime", T::DateTime),
                   col("F_jibie", T::Text, 50), col("F_maker", T::Text, 50), col("F_reason", T::LongText),
                   col("F_memo1", T::LongText), col("F_memo2", T::LongText)}};

    t << TableDef{QStringLiteral("t_code"),
                  {col("F_ID", T::Identity), col("F_name", T::Text, 255), col("F_code", T::Text, 50),
                   col("F_type", T::Text, 50)}};

    t << TableDef{QStringLiteral("t_treecode"),
                  {col("F_ID", T::Identity), col("F_Caption", T::Text, 255), col("F_flag", T::Text, 50)}};

    t << TableDef{QStringLiteral("OperList"),
                  {col("F_ID", T::Identity), col("F_Name", T::Text, 50), col("F_PassWord", T::Text, 255),
                   col("F_Mem", T::LongText), col("F_Flag", T::Bit), col("F_xtFlag", T::Bit)}};

    t << TableDef{QStringLiteral("Limits"),
                  {col("F_ID", T::Identity), col("F_code", T::Text, 50), col("F_name", T::Text, 100),
                   col("F_flag", T::Integer)}};

    t << TableDef{QStringLiteral("OperLimit"),
                  {col("F_ID", T::Identity), col("F_OperName", T::Text, 50), col("F_lmtName", T::Text, 100)}};

    t << TableDef{QStringLiteral("LogRec"),
                  {col("F_ID", T::Identity), col("F_EmpName", T::Text, 50), col("F_OperType", T::Text, 255),
                   col("F_OperDate", T::Text, 10), col("F_OperTime", T::Text, 8)}};

    t << TableDef{QStringLiteral("cfg_Grid"),
                  {col("F_ID", T::Identity), col("F_name", T::Text, 50), col("F_FieldName", T::Text, 50),
                   col("F_Caption", T::Text, 100), col("F_Width", T::Integer), col("F_Visible", T::Bit),
                   col("F_ReadOnly", T::Bit), col("F_DisplayFormat", T::Text, 50),
                   col("F_FooterValue", T::Text, 100), col("F_FooterType", T::Integer),
                   col("F_Alignment", T::Integer), col("F_Order", T::Integer)}};

    t << TableDef{QStringLiteral("cfg_import"),
                  {col("F_ID", T::Identity), col("F_tablename", T::Text, 50), col("F_iFlag", T::Integer),
                   col("F_fieldName", T::Text, 100), col("S_Field", T::Text, 50), col("F_Field", T::Text, 100)}};

    t << TableDef{QStringLiteral("KeyValue"), {col("F_ID", T::Integer), col("F_Value", T::Text, 255)}};

    t << TableDef{QStringLiteral("SysInfo"),
                  {col("F_ID", T::Identity), col("F_Code", T::Text, 50), col("F_Name", T::Text, 10),
                   col("F_BakPath", T::Text, 255), col("F_Manager", T::Text, 50), col("F_Phone", T::Text, 50),
                   col("F_HandPhone", T::Text, 50), col("F_Email", T::Text, 255),
                   col("F_Homepage", T::Text, 255), col("F_Enroler", T::Text, 50), col("F_Mem", T::Text, 255)}};
    return t;
}

// Index name, table, column(s), unique.
struct IndexDef {
    const char *name;
    const char *table;
    const char *columns;
    bool unique = false;
};

const IndexDef kIndexes[] = {
    // The list's search columns carry the two flags every list statement
    // tests, so a search and its record count are answered from the index.
    {"ix_client_code", "t_client", "F_code, F_useFlag, F_IFshoukuan"},
    {"ix_client_name", "t_client", "F_name, F_useFlag, F_IFshoukuan"},
    {"ix_client_empname", "t_client", "F_empName, F_useFlag, F_IFshoukuan"},
    {"ix_client_type", "t_client", "F_type, F_useFlag, F_IFshoukuan"},
    {"ix_client_xinghao", "t_client", "F_xinghao, F_useFlag, F_IFshoukuan"},
    {"ix_client_area", "t_client", "F_area, F_useFlag, F_IFshoukuan"},
    {"ix_client_setupdept", "t_client", "F_setupDept, F_useFlag, F_IFshoukuan"},
    {"ix_client_kdcode", "t_client", "F_KDcode, F_useFlag, F_IFshoukuan"},
    {"ix_client_buydate", "t_client", "F_buyDate"},
    {"ix_client_setupdate", "t_client", "F_setupDate"},
    {"ix_client_awokedate", "t_client", "F_awokeDate"},
    {"ix_client_kpcode", "t_client", "F_kpcode, F_useFlag, F_IFshoukuan"},
    {"ix_client_jscode", "t_client", "F_JScode, F_useFlag, F_IFshoukuan"},
    {"ix_client_maker", "t_client", "F_maker, F_useFlag, F_IFshoukuan"},
    {"ix_client_flags", "t_client", "F_useFlag, F_IFshoukuan"},
    {"ix_client_handphone", "t_client", "F_handphone, F_useFlag, F_IFshoukuan"},
    {"ix_client_phone", "t_client", "F_phone, F_useFlag, F_IFshoukuan"},
    {"ix_wxrec_cltcode", "T_WXrec", "F_cltcode"},
    {"ix_wxrec_mainid", "T_WXrec", "F_mainID"},
    {"ix_wxrec_bxdate", "T_WXrec", "F_bxdate"},
    {"ix_wxrec_xfdate", "T_WXrec", "F_xfdate"},
    {"ix_hfrec_cltcode", "T_HFrec", "F_cltcode"},
    {"ix_hfrec_mainid", "T_HFrec", "F_mainID"},
    {"ix_hfrec_date", "T_HFrec", "F_date"},
    {"ix_tsrec_cltcode", "T_TSrec", "F_cltcode"},
    {"ix_tsrec_mainid", "T_TSrec", "F_mainID"},
    {"ix_tsrec_tsdate", "T_TSrec", "F_tsdate"},
    {"ix_cfggrid_name", "cfg_Grid", "F_name"},
    {"ix_code_type", "t_code", "F_type"},
    {"ix_treecode_caption", "t_treecode", "F_Caption"},
    {"ix_operlist_name", "OperList", "F_Name"},
    {"ix_operlimit_opername", "OperLimit", "F_OperName"},
    // Grants are stored by the right's name, so two rights may not share one.
    {"ux_limits_name", "Limits", "F_name", true},
    {"ux_keyvalue_id", "KeyValue", "F_ID", true},
};

// The customer list's pattern searches (contains, and starts with) where the
// engine has an index for patterns: a rare pattern is then found without
// reading the whole table, and its count follows from the index.
const IndexDef kPatternIndexes[] = {
    {"ix_client_name_pat", "t_client", "F_name"},
    {"ix_client_buyaddress_pat", "t_client", "F_buyAddress"},
    {"ix_client_phone_pat", "t_client", "F_phone"},
    {"ix_client_handphone_pat", "t_client", "F_handphone"},
    {"ix_client_memo1_pat", "t_client", "F_memo1"},
    {"ix_client_code_pat", "t_client", "F_code"},
    {"ix_client_jscode_pat", "t_client", "F_JScode"},
    {"ix_client_kpcode_pat", "t_client", "F_kpcode"},
    {"ix_client_addgooda_pat", "t_client", "F_AddGoodA"},
    {"ix_client_addgoodb_pat", "t_client", "F_AddGoodB"},
    {"ix_client_maker_pat", "t_client", "F_maker"},
};

enum class Family { Integer, Float, Bit, DateTime, Text };

Family family(ColType t)
{
    switch (t) {
    case ColType::Identity:
    case ColType::Integer: return Family::Integer;
    case ColType::Float: return Family::Float;
    case ColType::Bit: return Family::Bit;
    case ColType::DateTime: return Family::DateTime;
    case ColType::Text:
    case ColType::LongText: break;
    }
    return Family::Text;
}

// ---- starting rows -------------------------------------------------------

// A grid column of a starting layout.
enum Kind { Code, Name, Memo, Date, DateTimeCol, Number, Sum, Flag, Short, Mid, Long };

struct GridCol {
    const char *field;
    const char *caption;
    Kind kind;
    int width = 0;        // 0 = by kind
    bool visible = true;
};

struct GridDef {
    const char *key;
    QList<GridCol> columns;
};

int widthOf(Kind k)
{
    switch (k) {
    case Code: return 80;
    case Name: return 110;
    case Memo: return 160;
    case Date: return 85;
    case DateTimeCol: return 130;
    case Number:
    case Sum: return 70;
    case Flag: return 55;
    case Short: return 80;
    case Mid: return 100;
    case Long: return 160;
    }
    return 80;
}

QList<GridDef> gridDefs()
{
    QList<GridDef> g;
    g << GridDef{"clientmain",
                 {{"F_code", "ID    码", Code},          {"F_name", "用户名称", Name},
                  {"F_area", "购买地点", Mid},            {"F_phone", "固定电话", Mid},
                  {"F_handphone", "手    机", Mid},       {"F_type", "类    别", Short},
                  {"F_kdcode", "开单批号", Short},        {"F_xinghao", "型    号", Mid},
                  {"F_amount", "台    数", Sum},          {"F_price", "单    价", Number},
                  {"F_totalprice", "金    额", Sum, 80},  {"F_AddGoodA", "赠品名称A", Mid},
                  {"F_AddamountA", "赠品数量A", Sum},     {"F_AddGoodB", "赠品名称B", Mid},
                  {"F_AddamountB", "赠品数量B", Sum},     {"F_IFshoukuan", "收款否", Flag},
                  {"F_buyAddress", "地    址", Long},     {"F_buyDate", "购买日期", Date},
                  {"F_setupDate", "预约安装日期", Date},  {"F_kpcode", "票据号码", Short},
                  {"F_setupDept", "安 装 部", Short},     {"F_maker", "业务员", Short},
                  {"F_memo1", "备    注", Memo},         {"F_useflag", "使用否", Flag},
                  {"F_empName", "制单人", Short},         {"F_postcode", "邮政编码", Number},
                  {"F_shoukuan", "收    款", Sum, 80},    {"F_setupDate1", "重约安装日期", Date},
                  {"F_JScode", "机身编码", Mid},          {"F_ZF1", "自定义文本1", Mid},
                  {"F_ZF2", "自定义文本2", Mid},          {"F_ZF3", "自定义文本3", Mid},
                  {"F_ZF4", "自定义文本4", Mid},          {"F_ZF5", "自定义文本5", Mid},
                  {"F_SZ1", "自定义数值1", Number, 80},   {"F_SZ2", "自定义数值2", Number, 80},
                  {"F_SZ3", "自定义数值3", Number, 80},   {"F_RQ1", "自定义日期1", Date},
                  {"F_RQ2", "自定义日期2", Date},         {"F_RQ3", "自定义日期3", Date}}};
    g << GridDef{"wxrecman",
                 {{"F_cltName", "客户名称", Name},        {"F_bxdate", "报修日期", Date},
                  {"F_xfdate", "修复日期", Date},         {"F_xinghao", "型号", Mid},
                  {"F_reason", "故障原因", Memo},         {"F_JScode", "机身编码", Mid},
                  {"F_amount", "故障数量", Sum},          {"F_price", "单价", Number},
                  {"F_totalprice", "金额", Sum, 80},      {"F_shoukuan", "收款", Sum, 80},
                  {"F_setupDept", "维修部门", Short},     {"F_billcode", "维修单号", Mid},
                  {"F_mem1", "备注", Memo},               {"F_fwName", "维修人员", Short},
                  {"F_cltcode", "客户编码", Code, 0, false},
                  {"F_mainID", "客户序号", Number, 0, false},
                  {"F_ID", "序号", Number, 0, false}}};
    g << GridDef{"hfrecman",
                 {{"F_cltName", "客户名称", Name},        {"F_date", "回访日期", Date},
                  {"F_empname", "回访人员", Short},       {"F_mem1", "回访内容", Memo},
                  {"f_mem2", "回访事项处理", Memo},       {"F_editDate", "修改日期", Date},
                  {"F_cltcode", "客户编码", Code, 0, false}}};
    g << GridDef{"tsrecman",
                 {{"F_cltName", "客户名称", Name},        {"F_tsdate", "投诉日期", DateTimeCol},
                  {"F_tstime", "投诉时间", DateTimeCol},  {"F_jibie", "级    别", Short},
                  {"F_maker", "制单人", Short},           {"F_reason", "投诉原因", Memo},
                  {"F_memo1", "投诉处理结果", Memo},      {"F_memo2", "备注", Memo},
                  {"F_cltcode", "客户编码", Code, 0, false}}};
    g << GridDef{"dlgcltrecxz",
                 {{"F_code", "ID 号", Code, 71},          {"F_name", "用户名称", Name, 119},
                  {"F_area", "购买地点", Mid, 121},       {"F_phone", "固定电话", Mid, 84},
                  {"F_handphone", "手    机", Mid, 80},   {"F_type", "类    别", Short, 74},
                  {"F_kdcode", "开单批号", Short, 80},    {"F_xinghao", "型    号", Mid, 80},
                  {"F_amount", "台  数", Sum},            {"F_price", "单  价", Number},
                  {"F_totalprice", "金  额", Sum, 80},    {"F_AddGoodA", "赠品名称A", Mid, 84},
                  {"F_AddamountA", "赠品数量A", Sum, 73}, {"F_AddGoodB", "赠品名称B", Mid, 90},
                  {"F_AddamountB", "赠品数量B", Sum},     {"F_IFshoukuan", "是否收款", Flag},
                  {"F_buyAddress", "地  址", Long, 135},  {"F_buyDate", "购买日期", Date},
                  {"F_setupDate", "安装日期", Date},      {"F_kpcode", "票据号", Short},
                  {"F_setupDept", "安装部", Short},       {"F_maker", "业务员", Short},
                  {"F_reason", "故障原因", Long, 120},    {"F_reasonAmount", "故障数量", Number},
                  {"F_memo1", "备  注", Memo}}};
    g << GridDef{"xsdetailtj",
                 {{"F_name", "用户名称", Name},           {"F_buyAddress", "联系地址", Long},
                  {"F_phone", "固定电话", Mid},           {"F_handphone", "手  机", Mid},
                  {"F_area", "购买地址", Mid},            {"F_buyDate", "购买日期", Date},
                  {"F_setupDate", "约定安装日期", Date},  {"F_setupDate1", "重约安装日期", Date},
                  {"F_xinghao", "型    号", Mid},         {"F_amount", "台数", Sum},
                  {"F_price", "单价", Number},            {"F_totalprice", "金额", Sum, 80},
                  {"F_maker", "业务员", Short},
                  {"F_setupDept", "安装部门", Short, 0, false},
                  {"F_type", "类别", Short, 0, false},
                  {"F_addgoodA", "赠品名称A", Mid, 0, false},
                  {"F_addAmountA", "赠品数量A", Sum, 0, false},
                  {"F_addgoodB", "赠品名称B", Mid, 0, false},
                  {"F_addAmountB", "赠品数量B", Sum, 0, false}}};
    g << GridDef{"wxdetailtj",
                 {{"F_name", "用户名称", Name},           {"F_buyaddress", "联系地址", Long},
                  {"F_area", "购买地址", Mid},            {"F_bxdate", "报修日期", Date},
                  {"F_xfdate", "修复日期", Date},         {"F_xinghao", "型号", Mid},
                  {"F_reason", "故障原因", Memo},         {"F_amount", "故障数量", Sum},
                  {"F_shoukuan", "收款", Sum, 80},        {"F_setupDept", "安装部", Short},
                  {"F_billcode", "维修单号", Mid},        {"F_mem1", "备注", Memo},
                  {"F_price", "单价", Number, 0, false},
                  {"F_totalprice", "金额", Sum, 80, false},
                  {"F_phone", "固定电话", Mid, 0, false},
                  {"F_handPhone", "手机", Mid, 0, false},
                  {"F_JScode", "机身编码", Mid, 0, false}}};
    g << GridDef{"azdetailtj",
                 {{"F_name", "用户名称", Name},           {"F_buyAddress", "联系地址", Long},
                  {"F_phone", "固定电话", Mid},           {"F_handphone", "手  机", Mid},
                  {"F_setupDept", "安装部", Short},       {"F_buyDate", "购买日期", Date},
                  {"F_setupDate", "约定安装日期", Date},  {"F_setupDate1", "重约安装日期", Date},
                  {"F_type", "类  别", Short},            {"F_amount", "台数", Sum},
                  {"F_price", "单价", Number},            {"F_totalprice", "金额", Sum, 80},
                  {"F_area", "购买地址", Mid, 0, false}}};
    g << GridDef{"zpdetailtj",
                 {{"F_name", "用户名称", Name},           {"F_buyAddress", "联系地址", Long},
                  {"F_phone", "固定电话", Mid},           {"F_handphone", "手  机", Mid},
                  {"F_area", "购买地址", Mid},            {"F_buyDate", "购买日期", Date},
                  {"F_setupDate", "约定安装日期", Date},  {"F_setupDate1", "重约安装日期", Date},
                  {"F_AddGoodA", "赠品名称A", Mid},       {"F_AddamountA", "赠品数量A", Sum},
                  {"F_AddGoodB", "赠品名称B", Mid},       {"F_AddAmountB", "赠品数量B", Sum},
                  {"F_shoukuan", "收款", Sum, 80, false}}};
    g << GridDef{"tsdetailtj",
                 {{"F_name", "用户名称", Name},           {"F_buyaddress", "联系地址", Long},
                  {"F_area", "购买地址", Mid},            {"F_phone", "固定电话", Mid},
                  {"F_handphone", "手机", Mid},           {"F_tsdate", "投诉时间", DateTimeCol},
                  {"F_jibie", "投诉级别", Short},         {"F_maker", "业务员", Short},
                  {"F_reason", "投诉原因", Memo},         {"F_memo1", "投诉处理结果", Memo},
                  {"F_memo2", "备注", Memo, 0, false},
                  {"F_cltcode", "客户编码", Code, 0, false}}};
    // The reminder list's address column is captioned as an address here; its
    // built-in "ID  码" title names a column it does not show.
    g << GridDef{"awokegl1",
                 {{"F_name", "用户名称", Name},           {"F_buyaddress", "地  址", Long},
                  {"F_phone", "固定电话", Mid},           {"F_KDcode", "开单批号", Short},
                  {"F_xinghao", "型  号", Mid},           {"F_amount", "台数", Sum},
                  {"F_price", "单价", Number},            {"F_totalprice", "金额", Sum, 80},
                  {"F_addgoodA", "赠品名称A", Mid},       {"F_addAmountA", "赠品数量A", Sum},
                  {"F_addgoodB", "赠品名称B", Mid},       {"F_addAmountB", "赠品数量B", Sum},
                  {"F_area", "购买地点", Mid},            {"F_setupDept", "安装部门", Short},
                  {"F_buyDate", "购买日期", Date},        {"F_setupDate", "安装日期", Date},
                  {"F_KPcode", "票 据 号", Short},        {"F_reason", "故障原因", Long, 120},
                  {"F_reasonAmount", "故障数量", Sum},    {"F_num", "天数", Number, 55}}};
    return g;
}

struct ImportCol {
    const char *field;
    const char *caption;
};

// Importable customer columns: everything the operator could have kept in a
// spreadsheet; the row id, the area id and the document maker are the system's.
const ImportCol kImport[] = {
    {"F_code", "ID码"},           {"F_name", "用户名称"},        {"F_area", "购买地点"},
    {"F_phone", "固定电话"},      {"F_handphone", "手机"},       {"F_type", "类别"},
    {"F_kdcode", "开单批号"},     {"F_xinghao", "型号"},         {"F_amount", "台数"},
    {"F_price", "单价"},          {"F_totalprice", "金额"},      {"F_AddGoodA", "赠品名称A"},
    {"F_AddamountA", "赠品数量A"}, {"F_AddGoodB", "赠品名称B"},   {"F_AddamountB", "赠品数量B"},
    {"F_IFshoukuan", "收款否"},   {"F_buyAddress", "地址"},      {"F_buyDate", "购买日期"},
    {"F_setupDate", "预约安装日期"}, {"F_kpcode", "票据号码"},   {"F_setupDept", "安装部"},
    {"F_maker", "业务员"},        {"F_reason", "故障原因"},      {"F_reasonAmount", "故障数量"},
    {"F_memo1", "备注"},          {"F_useflag", "使用否"},       {"F_awokeDate", "提醒日期"},
    {"F_postcode", "邮政编码"},   {"F_shoukuan", "收款"},        {"F_setupDate1", "重约安装日期"},
    {"F_JScode", "机身编码"},     {"F_ZF1", "自定义文本1"},      {"F_ZF2", "自定义文本2"},
    {"F_ZF3", "自定义文本3"},     {"F_ZF4", "自定义文本4"},      {"F_ZF5", "自定义文本5"},
    {"F_SZ1", "自定义数值1"},     {"F_SZ2", "自定义数值2"},      {"F_SZ3", "自定义数值3"},
    {"F_RQ1", "自定义日期1"},     {"F_RQ2", "自定义日期2"},      {"F_RQ3", "自定义日期3"},
    {"F_email", "电子邮箱"},
};

QString q(const QString &v) { return sqlQuoted(v); }
QString q(const char *v) { return sqlQuoted(QString::fromUtf8(v)); }

// Mnemonic of an entry: the pinyin initials would need a dictionary, so the
// starting rows carry a short running code per list instead.
QString mnemonic(const QString &type, int n)
{
    return type.left(2).toUpper() + QString::number(n + 1).rightJustified(2, u'0');
}

} // namespace

// ---- tables --------------------------------------------------------------

const QList<TableDef> &tables()
{
    static const QList<TableDef> t = buildTables();
    return t;
}

const TableDef *table(const QString &name)
{
    for (const TableDef &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

std::optional<ColType> columnType(const QString &column)
{
    static const QHash<QString, std::optional<ColType>> byName = [] {
        QHash<QString, std::optional<ColType>> h;
        for (const TableDef &t : tables()) {
            for (const ColumnDef &c : t.columns) {
                const QString key = c.name.toLower();
                auto it = h.find(key);
                if (it == h.end()) {
                    h.insert(key, c.type);
                } else if (it.value() && family(*it.value()) != family(c.type)) {
                    it.value() = std::nullopt;   // differs between tables (F_flag)
                }
            }
        }
        return h;
    }();
    const auto it = byName.constFind(column.trimmed().toLower());
    if (it == byName.constEnd()) return std::nullopt;
    return it.value();
}

QStringList createStatements(const Dialect &dialect)
{
    QStringList out = dialect.prepareSchema();
    for (const TableDef &t : tables()) {
        QStringList cols;
        for (const ColumnDef &c : t.columns) cols << c.name + u' ' + dialect.columnType(c.type, c.size);
        out << QStringLiteral("create table %1 (%2)").arg(t.name, cols.join(QStringLiteral(", ")));
    }
    out << indexStatements(dialect, QString());
    // Without statistics on the flag expressions a planner may guess they
    // match almost nothing and sort the whole table for the first screen.
    const QString flags = dialect.expressionStatistics(
        QStringLiteral("t_client_flags"), QStringLiteral("t_client"),
        {QStringLiteral("coalesce(F_useflag,0)"), QStringLiteral("coalesce(F_IFshoukuan,0)")});
    if (!flags.isEmpty()) out << flags;
    return out;
}

QStringList indexStatements(const Dialect &dialect, const QString &table)
{
    QStringList out;
    for (const IndexDef &ix : kIndexes) {
        const QString tableName = QString::fromLatin1(ix.table);
        if (!table.isEmpty() && tableName.compare(table, Qt::CaseInsensitive) != 0) continue;
        out << dialect.createIndex(QString::fromLatin1(ix.name), tableName, QString::fromLatin1(ix.columns), ix.unique);
    }
    for (const IndexDef &ix : kPatternIndexes) {
        const QString tableName = QString::fromLatin1(ix.table);
        if (!table.isEmpty() && tableName.compare(table, Qt::CaseInsensitive) != 0) continue;
        const QString st = dialect.patternIndex(QString::fromLatin1(ix.name), tableName, QString::fromLatin1(ix.columns));
        if (!st.isEmpty()) out << st;
    }
    return out;
}

QStringList dropIndexStatements(const Dialect &dialect, const QString &table)
{
    QStringList out;
    for (const IndexDef &ix : kIndexes) {
        const QString tableName = QString::fromLatin1(ix.table);
        if (tableName.compare(table, Qt::CaseInsensitive) != 0 || ix.unique) continue;
        out << dialect.dropIndex(QString::fromLatin1(ix.name), tableName);
    }
    for (const IndexDef &ix : kPatternIndexes) {
        const QString tableName = QString::fromLatin1(ix.table);
        if (tableName.compare(table, Qt::CaseInsensitive) != 0
            || dialect.patternIndex(QString::fromLatin1(ix.name), tableName, QString::fromLatin1(ix.columns)).isEmpty())
            continue;
        out << dialect.dropIndex(QString::fromLatin1(ix.name), tableName);
    }
    return out;
}

// ---- starting rows ---------------------------------------------------------

const QList<CategoryModels> &starterModels()
{
    static const QList<CategoryModels> m = {
        {QStringLiteral("空调"), {QStringLiteral("KFR-26GW/BpR3"), QStringLiteral("KFR-35GW/NhAa1"),
                                  QStringLiteral("KFR-50LW/BP2"), QStringLiteral("KFR-72LW/FNhAa")}},
        {QStringLiteral("冰箱"), {QStringLiteral("BCD-215WDPV"), QStringLiteral("BCD-470WPZM"),
                                  QStringLiteral("BCD-328WTPM")}},
        {QStringLiteral("洗衣机"), {QStringLiteral("XQG100-BD14"), QStringLiteral("XQB80-M21"),
                                    QStringLiteral("XQG80-B1213")}},
        {QStringLiteral("电视机"), {QStringLiteral("55E3F"), QStringLiteral("65V8"), QStringLiteral("43S3")}},
        {QStringLiteral("热水器"), {QStringLiteral("JSQ25-13T1"), QStringLiteral("F60-21A"),
                                    QStringLiteral("JSQ20-10HP5")}},
        {QStringLiteral("油烟机"), {QStringLiteral("CXW-260-JL10"), QStringLiteral("CXW-200-E900")}},
    };
    return m;
}

const QList<CodeList> &starterCodes()
{
    static const QList<CodeList> c = [] {
        QList<CodeList> l;
        QStringList types, models;
        for (const CategoryModels &cm : starterModels()) {
            types << cm.category;
            models << cm.models;
        }
        l << CodeList{QStringLiteral("type"), types};
        l << CodeList{QStringLiteral("xinghao"), models};
        l << CodeList{QStringLiteral("area"),
                      {QStringLiteral("城东区"), QStringLiteral("城西区"), QStringLiteral("开发区"),
                       QStringLiteral("高新区"), QStringLiteral("南湖镇"), QStringLiteral("北山乡")}};
        l << CodeList{QStringLiteral("setupdept"),
                      {QStringLiteral("安装一部"), QStringLiteral("安装二部"), QStringLiteral("安装三部"),
                       QStringLiteral("维修服务部")}};
        l << CodeList{QStringLiteral("kdcode"),
                      {QStringLiteral("KD2025-01"), QStringLiteral("KD2025-02"), QStringLiteral("KD2026-01"),
                       QStringLiteral("KD2026-02")}};
        l << CodeList{QStringLiteral("maker"),
                      {QStringLiteral("张伟"), QStringLiteral("刘洋"), QStringLiteral("陈静"), QStringLiteral("赵磊")}};
        l << CodeList{QStringLiteral("addgood"),
                      {QStringLiteral("空调支架"), QStringLiteral("电饭煲"), QStringLiteral("电热水壶"),
                       QStringLiteral("保温杯"), QStringLiteral("不锈钢锅"), QStringLiteral("延保卡")}};
        l << CodeList{QStringLiteral("reason"),
                      {QStringLiteral("不制冷"), QStringLiteral("漏水"), QStringLiteral("噪音大"),
                       QStringLiteral("不开机"), QStringLiteral("显示故障码"), QStringLiteral("遥控失灵")}};
        l << CodeList{QStringLiteral("fwname"),
                      {QStringLiteral("周强"), QStringLiteral("吴斌"), QStringLiteral("郑涛")}};
        l << CodeList{QStringLiteral("tsjibie"),
                      {QStringLiteral("一般"), QStringLiteral("较重"), QStringLiteral("严重")}};
        l << CodeList{QStringLiteral("opername"),
                      {QStringLiteral("张丽"), QStringLiteral("王强"), QStringLiteral("李娜")}};
        return l;
    }();
    return c;
}

QStringList starterCodes(const QString &type)
{
    for (const CodeList &c : starterCodes())
        if (c.type.compare(type, Qt::CaseInsensitive) == 0) return c.names;
    return {};
}

QStringList seedStatements()
{
    QStringList s;

    s << QStringLiteral("insert into OperList(F_Name,F_PassWord,F_Mem,F_Flag,F_xtFlag) values(%1,%2,%3,0,0)")
             .arg(q("admin"), q(SavePass(QString())), q("系统管理员"));

    // F_Name (the address) holds at most 10 characters.
    s << QStringLiteral("insert into SysInfo(F_Code,F_Name,F_BakPath,F_Manager,F_Phone,F_HandPhone,F_Email,"
                        "F_Homepage,F_Enroler,F_Mem) values(%1,%2,%3,%4,%5,%6,%7,%8,%9,%10)")
             .arg(q("澄岚家电销售服务有限公司"), q("城东区解放路88号"), q(""), q("陈志明"), q("0571-86881234"),
                  q("13905718866"), q("service@example.com"), q("www.example.com"), q("陈志明"),
                  q("家用电器销售、安装与售后服务"));

    const char *keyValues[15] = {"自定义文本1", "自定义文本2", "自定义文本3", "自定义文本4", "自定义文本5",
                                 "自定义数值1", "自定义数值2", "自定义数值3", "自定义日期1", "自定义日期2",
                                 "自定义日期3", "0",           "2",           "2",           ""};
    for (int i = 0; i < 15; ++i)
        s << QStringLiteral("insert into KeyValue(F_ID,F_Value) values(%1,%2)").arg(i + 1).arg(q(keyValues[i]));

    for (const CommandInfo &c : Commands::all())
        if (Commands::isRight(c))
            s << QStringLiteral("insert into Limits(F_code,F_name,F_flag) values(%1,%2,%3)")
                     .arg(q(QString::number(c.code)), q(QString::fromUtf8(c.rightName)))
                     .arg(c.offered ? 1 : 0);

    for (const GridDef &g : gridDefs()) {
        bool hasSum = false;
        for (const GridCol &c : g.columns) hasSum = hasSum || c.kind == Sum;
        for (int i = 0; i < g.columns.size(); ++i) {
            const GridCol &c = g.columns.at(i);
            const bool numeric = c.kind == Number || c.kind == Sum;
            int footerType = c.kind == Sum ? 2 : 0;
            QString footerValue;
            if (i == 0 && hasSum) {
                footerType = 1;
                footerValue = QStringLiteral("合计");
            }
            const int align = numeric ? 2 : (c.kind == Flag ? 1 : 0);
            s << QStringLiteral("insert into cfg_Grid(F_name,F_FieldName,F_Caption,F_Width,F_Visible,F_ReadOnly,"
                                "F_DisplayFormat,F_FooterValue,F_FooterType,F_Alignment,F_Order) "
                                "values(%1,%2,%3,%4,%5,1,'',%6,%7,%8,%9)")
                     .arg(q(g.key), q(c.field), q(c.caption))
                     .arg(c.width ? c.width : widthOf(c.kind))
                     .arg(c.visible ? 1 : 0)
                     .arg(q(footerValue))
                     .arg(footerType)
                     .arg(align)
                     .arg(i);
        }
    }

    for (const ImportCol &c : kImport)
        s << QStringLiteral("insert into cfg_import(F_tablename,F_iFlag,F_fieldName,S_Field,F_Field) "
                            "values('t_client',1,%1,%2,%1)")
                 .arg(q(c.caption), q(c.field));

    for (const CodeList &list : starterCodes()) {
        for (int i = 0; i < list.names.size(); ++i)
            s << QStringLiteral("insert into t_code(F_name,F_code,F_type) values(%1,%2,%3)")
                     .arg(q(list.names.at(i)), q(mnemonic(list.type, i)), q(list.type));
    }
    for (const QString &area : starterCodes(QStringLiteral("area")))
        s << QStringLiteral("insert into t_treecode(F_Caption,F_flag) values(%1,'area')").arg(q(area));
    return s;
}

// ---- databases -------------------------------------------------------------

bool createDatabase(const ConnectionSettings &settings, QString *error)
{
    const std::unique_ptr<Dialect> dialect = Dialect::create(settings.driver);
    QString why;
    const bool ok = dialect ? dialect->createDatabase(settings, &why) : false;
    if (!dialect) why = QStringLiteral("未知的数据库类型：%1").arg(settings.driver);
    if (!ok && error) *error = why;
    return ok;
}

namespace {
// The table names the database holds, by lower-case name.
QHash<QString, QString> existingTables(Connection &cnn)
{
    QHash<QString, QString> h;
    for (const QString &t : cnn.database().tables()) h.insert(t.toLower(), t);
    return h;
}
} // namespace

bool isInstalled(Connection &cnn) { return existingTables(cnn).contains(QStringLiteral("t_client")); }

bool install(Connection &cnn, QString *error)
{
    if (!cnn.isOpen()) {
        if (error) *error = QStringLiteral("数据库没有连接。");
        return false;
    }
    if (isInstalled(cnn)) {
        if (error) *error = QStringLiteral("数据库中已有客户资料表 t_client，不能重复建立。");
        return false;
    }
    ScopedTransaction tr(cnn);
    if (!tr.isActive()) {
        if (error) *error = QStringLiteral("无法开始事务：%1").arg(cnn.lastError());
        return false;
    }
    QSqlQuery query(cnn.database());
    for (const QString &st : createStatements(cnn.dialect())) {
        if (!cnn.execNative(query, st, {}, {})) {
            if (error) *error = QStringLiteral("建表失败：%1\n%2").arg(cnn.lastError(), st);
            return false;
        }
    }
    for (const QString &st : seedStatements()) {
        if (!cnn.exec(query, st)) {
            if (error) *error = QStringLiteral("写入初始数据失败：%1\n%2").arg(cnn.lastError(), st);
            return false;
        }
    }
    query.finish();
    if (!tr.commit()) {
        if (error) *error = QStringLiteral("提交事务失败：%1").arg(cnn.lastError());
        return false;
    }
    return true;
}

bool check(Connection &cnn, QStringList *problems)
{
    QStringList found;
    if (!cnn.isOpen()) {
        found << QStringLiteral("数据库没有连接。");
    } else {
        const QHash<QString, QString> existing = existingTables(cnn);
        for (const TableDef &t : tables()) {
            const auto it = existing.constFind(t.name.toLower());
            if (it == existing.constEnd()) {
                found << QStringLiteral("缺少数据表 %1").arg(t.name);
                continue;
            }
            const QSqlRecord rec = cnn.database().record(it.value());
            QSet<QString> names;
            for (int i = 0; i < rec.count(); ++i) names.insert(rec.fieldName(i).toLower());
            for (const ColumnDef &c : t.columns)
                if (!names.contains(c.name.toLower()))
                    found << QStringLiteral("数据表 %1 缺少字段 %2").arg(t.name, c.name);
        }
    }
    if (problems) *problems = found;
    return found.isEmpty();
}

} // namespace Schema
