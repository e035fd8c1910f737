#include "MainCommandSql.h"

#include "data/SqlText.h"

namespace {
bool validTab(int tab) { return tab >= 0 && tab <= 2; }
} // namespace

QStringList customerDeleteStatements(const QString &code)
{
    const QString c = sqlValue(code);
    return {QStringLiteral("delete from t_hfRec where F_cltcode = '") + c + QStringLiteral("' "),
            QStringLiteral("delete from t_wxRec where F_cltcode = '") + c + QStringLiteral("' "),
            QStringLiteral("delete from t_tsREC where F_cltcode = '") + c + QStringLiteral("' "),
            QStringLiteral("delete from t_client where F_code = '") + c + QStringLiteral("' ")};
}

QString customersWithCodeSql(const QString &code)
{
    return QStringLiteral("select count(*) from t_client where F_code = '") + sqlValue(code) + QStringLiteral("' ");
}

QStringList customerRowDeleteStatements(qint64 id)
{
    const QString i = QString::number(id);
    return {QStringLiteral("delete from t_hfRec where F_mainID = ") + i,
            QStringLiteral("delete from t_wxRec where F_mainID = ") + i,
            QStringLiteral("delete from t_tsREC where F_mainID = ") + i,
            QStringLiteral("delete from t_client where F_ID = ") + i};
}

QString emptyCustomerRowsSql() { return QStringLiteral("delete from T_client where F_code = '' and F_name = '' "); }

QString customerDeleteQuestion(const QString &name)
{
    return QStringLiteral("删除当前售后记录，将删除当前记录所有相关内容，\n真的要删除当前用户") + name
           + QStringLiteral(" 的售后记录吗？");
}

QString detailTable(int tab)
{
    static const char *const tables[] = {"T_WXrec", "T_HFrec", "T_TSrec"};
    return validTab(tab) ? QString::fromLatin1(tables[tab]) : QString();
}

QString detailDateField(int tab)
{
    static const char *const fields[] = {"F_BXdate", "F_date", "F_TSdate"};
    return validTab(tab) ? QString::fromLatin1(fields[tab]) : QString();
}

QString detailDeleteQuestion(int tab, const QString &date)
{
    switch (tab) {
    case 0: return QStringLiteral("真的要删除当前报修日期为“") + date + QStringLiteral("”的维修记录吗？");
    case 1: return QStringLiteral("真的要删除当前回访日期为“") + date + QStringLiteral("”的回访记录吗？");
    case 2: return QStringLiteral("真的要删除当前日期为“") + date + QStringLiteral("”的投诉记录吗？");
    default: return {};
    }
}

QString detailGridKey(int tab)
{
    static const char *const keys[] = {"wxrecman", "hfrecman", "tsrecman"};
    return validTab(tab) ? QString::fromLatin1(keys[tab]) : QString();
}

QString detailSheetTitle(int tab)
{
    switch (tab) {
    case 0: return QStringLiteral("维修记录");
    case 1: return QStringLiteral("回访记录");
    case 2: return QStringLiteral("投诉记录");
    default: return {};
    }
}

QString detailNeedsCustomerMessage(int tab)
{
    switch (tab) {
    case 0: return QStringLiteral("请先选择要增加维护记录的客户资料！");
    case 1: return QStringLiteral("请先选择要增加回访记录的客户资料！");
    case 2: return QStringLiteral("请先选择要增加投诉记录的客户资料！");
    default: return {};
    }
}

QString exitQuestion(const QString &productName)
{
    return QStringLiteral("真的要退出“") + productName + QStringLiteral("”软件吗？");
}
