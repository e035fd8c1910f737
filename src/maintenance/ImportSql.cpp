#include "ImportSql.h"

#include "data/SqlText.h"

QString importMappingSql(const QString &table)
{
    return QStringLiteral("select * from cfg_import where (F_tablename = '") + sqlValue(table)
           + QStringLiteral("')and(F_iFlag = 1) ");
}

QString importEmptyTableSql(const QString &table)
{
    return QStringLiteral("select * from ") + table + QStringLiteral(" where (1<>1)");
}

QString importInsertSql(const QString &table, const QStringList &columns, int rows, QStringList *names)
{
    names->clear();
    QStringList tuples;
    for (int r = 0; r < rows; ++r) {
        QStringList params;
        for (const QString &c : columns) {
            const QString name = QStringLiteral("%1_%2").arg(c).arg(r);
            params << u':' + name;
            *names << name;
        }
        tuples << u'(' + params.join(u',') + u')';
    }
    return QStringLiteral("insert into %1(%2) values%3").arg(table, columns.join(u','), tuples.join(u','));
}
