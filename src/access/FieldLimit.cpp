#include "FieldLimit.h"

#include "data/Schema.h"

int columnLimit(const QString &table, const QString &column)
{
    const Schema::TableDef *t = Schema::table(table);
    if (!t) return 0;
    for (const Schema::ColumnDef &c : t->columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0)
            return c.type == ColType::Text ? c.size : 0;
    return 0;
}

QString tooLongMessage(const QString &label, int limit, int length)
{
    return QStringLiteral("“%1”最多只能输入 %2 个字符（现有 %3 个），请修改！").arg(label).arg(limit).arg(length);
}
