#include "ContainsScan.h"

#include "TsqlTranslator.h"

#include <QRegularExpression>
#include <QStringList>

std::optional<ContainsScan> containsScan(const QString &translatedSelect)
{
    static const QRegularExpression head(QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)\s+where\s)"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression pattern(QStringLiteral(R"(\blike\s+'%)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    static const QRegularExpression clause(
        QStringLiteral(R"(\b(select|from|join|group|having|union|except|intersect|limit|offset|rowid)\b|;)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString noOrder = Tsql::withoutOrderBy(translatedSelect);
    const QRegularExpressionMatch m = head.match(noOrder);
    if (!m.hasMatch()) return std::nullopt;
    const QString where = noOrder.mid(m.capturedEnd()).trimmed();
    if (!pattern.match(where).hasMatch()) return std::nullopt;
    QString bare = where;
    bare.replace(literal, QStringLiteral("''"));
    if (clause.match(bare).hasMatch()) return std::nullopt;
    return ContainsScan {m.captured(1), where, translatedSelect.mid(noOrder.size()).trimmed()};
}

QString containsKeysSql(const ContainsScan &scan, int limit)
{
    return QStringLiteral("select rowid from %1 where %2 limit %3").arg(scan.table, scan.where).arg(limit);
}

QString containsRowsSql(const ContainsScan &scan, const QList<qint64> &keys)
{
    QStringList list;
    list.reserve(keys.size());
    for (qint64 k : keys) list << QString::number(k);
    QString sql = QStringLiteral("select * from %1 where rowid in (%2)").arg(scan.table, list.join(u','));
    if (!scan.order.isEmpty()) sql += u' ' + scan.order;
    return sql;
}
