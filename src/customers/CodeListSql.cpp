#include "CodeListSql.h"

#include "data/SqlText.h"

QString codeFillSql(const QString &codeType)
{
    return QStringLiteral("select distinct F_name from t_code where (F_name <> '') and F_type = '") + sqlValue(codeType)
           + QStringLiteral("' ");
}

QString codePickListSql(const QString &codeType)
{
    return QStringLiteral("select F_name,F_type from t_code where (F_name <> '') and F_type = '") + sqlValue(codeType)
           + QStringLiteral("' order by F_name ");
}

QString codePickFilterSql(const QString &codeType, const QString &name)
{
    QString sql = QStringLiteral("select F_name,F_type from t_code where F_type = '") + sqlValue(codeType)
                  + QStringLiteral("' ");
    const QString part = name.trimmed();
    if (!part.isEmpty()) sql += QStringLiteral("and F_name like '%") + sqlValue(part) + QStringLiteral("%' ");
    return sql;
}

QString codeManListSql(const QString &codeType)
{
    return QStringLiteral("Select * From t_code where F_type = '") + sqlValue(codeType) + QStringLiteral("' ");
}

QString codeInsertSql(const QString &name, const QString &codeType)
{
    return QStringLiteral("insert into t_code(F_name,F_type) values('") + sqlValue(name) + QStringLiteral("','")
           + sqlValue(codeType) + QStringLiteral("')");
}

const QList<CodeTab> &codeTabs()
{
    static const QList<CodeTab> tabs{
        {QStringLiteral("ttype"), QStringLiteral(" 类    别 ")},
        {QStringLiteral("tkdcode"), QStringLiteral(" 开单批号 ")},
        {QStringLiteral("txinghao"), QStringLiteral(" 型    号 ")},
        {QStringLiteral("taddgood"), QStringLiteral(" 赠    品 ")},
        {QStringLiteral("tsetupdept"), QStringLiteral(" 安 装 部 ")},
        {QStringLiteral("treason"), QStringLiteral(" 故障原因 ")},
        {QStringLiteral("tmaker"), QStringLiteral(" 业 务 员 ")},
        {QStringLiteral("tfwname"), QStringLiteral(" 工 程 师 ")},
        {QStringLiteral("tarea"), QStringLiteral(" 购买地点 ")},
        {QStringLiteral("ttsjibie"), QStringLiteral(" 投诉级别 ")},
        {QStringLiteral("topername"), QStringLiteral(" 操 作 员 ")},
        {QStringLiteral("TabSheet1"), QStringLiteral(" 特殊字符 ")},
    };
    return tabs;
}

QString codeTypeOfTab(const QString &tabName) { return tabName.mid(1); }
