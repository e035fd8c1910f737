#pragma once
// How long a text a column keeps, and the message when a box holds more.
// Checked before writing, so an over-long entry is refused with the field's
// name instead of being cut by one engine and refused by another.

#include <QString>

// The characters a text column keeps (Schema); 0 when the column is unsized or unknown.
int columnLimit(const QString &table, const QString &column);
// "“公司名称：”最多只能输入 50 个字符（现有 60 个），请修改！" — `label` without its colon.
QString tooLongMessage(const QString &label, int limit, int length);
