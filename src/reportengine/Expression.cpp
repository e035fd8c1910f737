#include "Expression.h"

#include "data/NumberFormat.h"

#include <cmath>

namespace Report {

namespace {

bool splitSourceField(const QString &s, QString *source, QString *field)
{
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot <= 0 || dot == s.size() - 1) return false;
    *source = s.left(dot).trimmed();
    *field = s.mid(dot + 1).trimmed();
    return !source->isEmpty() && !field->isEmpty() && !source->contains(QLatin1Char(' '))
           && !field->contains(QLatin1Char(' '));
}

bool isName(const QString &s)
{
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_'))) return false;
    return true;
}

// One bracketed part; false when it is no expression and prints as written.
bool parsePart(const QString &raw, ExprPart *p)
{
    const QString s = raw.trimmed();
    const QString up = s.toUpper();
    if (up == QLatin1String("PAGE#")) { p->kind = ExprPart::PageNumber; return true; }
    if (up == QLatin1String("TOTALPAGES")) { p->kind = ExprPart::TotalPages; return true; }
    if (up == QLatin1String("DATE")) { p->kind = ExprPart::Date; return true; }
    if (up == QLatin1String("TIME")) { p->kind = ExprPart::Time; return true; }

    const qsizetype open = s.indexOf(QLatin1Char('('));
    if (open > 0 && s.endsWith(QLatin1Char(')'))) {
        static const QList<QPair<QString, AggregateFunc>> funcs = {
            {QStringLiteral("SUM"), AggregateFunc::Sum}, {QStringLiteral("COUNT"), AggregateFunc::Count},
            {QStringLiteral("AVG"), AggregateFunc::Avg}, {QStringLiteral("MIN"), AggregateFunc::Min},
            {QStringLiteral("MAX"), AggregateFunc::Max}};
        const QString name = up.left(open).trimmed();
        for (const auto &f : funcs) {
            if (f.first != name) continue;
            const QStringList args = s.mid(open + 1, s.size() - open - 2).split(QLatin1Char(','));
            if (args.size() > 2) return false;
            const QString target = args.value(0).trimmed();
            if (!splitSourceField(target, &p->source, &p->field)) {
                if (f.second != AggregateFunc::Count || !isName(target)) return false;
                p->source = target;
                p->field.clear();
            }
            if (args.size() == 2) {
                const QString scope = args.at(1).trimmed().toUpper();
                if (scope == QLatin1String("PAGE")) p->scope = AggregateScope::Page;
                else if (scope == QLatin1String("CARRIED")) p->scope = AggregateScope::Carried;
                else if (scope == QLatin1String("REPORT")) p->scope = AggregateScope::Report;
                else return false;
            }
            p->kind = ExprPart::Aggregate;
            p->func = f.second;
            return true;
        }
        return false;
    }
    if (splitSourceField(s, &p->source, &p->field) && isName(p->source)) {
        p->kind = ExprPart::Field;
        return true;
    }
    return false;
}

void appendLiteral(QList<ExprPart> &parts, QStringView text)
{
    if (text.isEmpty()) return;
    if (!parts.isEmpty() && parts.last().kind == ExprPart::Literal) {
        parts.last().text += text;
        return;
    }
    ExprPart p;
    p.text = text.toString();
    parts << p;
}

} // namespace

Expression::Expression(const QString &text)
{
    // One pass: a "[" opened again before its "]" leaves the earlier one as
    // text, so no text, however long or odd, is scanned twice.
    qsizetype literalFrom = 0;
    qsizetype open = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('[')) {
            open = i;
        } else if (c == QLatin1Char(']') && open >= 0) {
            ExprPart p;
            if (parsePart(text.mid(open + 1, i - open - 1), &p)) {
                appendLiteral(m_parts, QStringView(text).mid(literalFrom, open - literalFrom));
                m_parts << p;
                literalFrom = i + 1;
            }
            open = -1;
        }
    }
    appendLiteral(m_parts, QStringView(text).mid(literalFrom));
}

bool Expression::isLiteral() const
{
    for (const ExprPart &p : m_parts)
        if (p.kind != ExprPart::Literal) return false;
    return true;
}

bool Expression::uses(ExprPart::Kind kind) const
{
    for (const ExprPart &p : m_parts)
        if (p.kind == kind) return true;
    return false;
}

bool Expression::usesAggregate(AggregateScope scope) const
{
    for (const ExprPart &p : m_parts)
        if (p.kind == ExprPart::Aggregate && p.scope == scope) return true;
    return false;
}

const ExprPart *Expression::onlyField() const
{
    return m_parts.size() == 1 && m_parts.first().kind == ExprPart::Field ? &m_parts.first() : nullptr;
}

QString Expression::partText(const ExprPart &p, const ExpressionContext &ctx) const
{
    switch (p.kind) {
    case ExprPart::Literal: return p.text;
    case ExprPart::Field: return ctx.fieldText(p);
    case ExprPart::PageNumber: return QString::number(ctx.pageNumber());
    case ExprPart::TotalPages: return ctx.totalPages() > 0 ? QString::number(ctx.totalPages()) : QString();
    case ExprPart::Date: return ctx.now().date().toString(QStringLiteral("yyyy-MM-dd"));
    case ExprPart::Time: return ctx.now().time().toString(QStringLiteral("hh:mm:ss"));
    case ExprPart::Aggregate: return ctx.aggregateText(p);
    }
    return {};
}

QString Expression::evaluate(const ExpressionContext &ctx) const
{
    if (m_parts.size() == 1) return partText(m_parts.first(), ctx);
    QString out;
    for (const ExprPart &p : m_parts) out += partText(p, ctx);
    return out;
}

Expression Expression::resolvedExcept(const ExpressionContext &ctx, const std::function<bool(const ExprPart &)> &keep) const
{
    Expression out;
    for (const ExprPart &p : m_parts) {
        if (p.kind != ExprPart::Literal && keep(p)) out.m_parts << p;
        else appendLiteral(out.m_parts, partText(p, ctx));
    }
    return out;
}

// --- Accumulator --------------------------------------------------------------

void Accumulator::addRow(const QVariant &value, bool countOnly)
{
    ++rows;
    if (countOnly || value.isNull() || !value.isValid()) return;
    if (!value.toString().isEmpty()) ++filled;
    bool ok = false;
    const double d = value.typeId() == QMetaType::Bool ? (value.toBool() ? 1 : 0) : value.toDouble(&ok);
    if (value.typeId() != QMetaType::Bool && (!ok || !std::isfinite(d))) return;
    if (values == 0) {
        min = max = d;
    } else {
        min = std::min(min, d);
        max = std::max(max, d);
    }
    ++values;
    sum += d;
}

QString Accumulator::text(AggregateFunc func, bool rowCount, const CellFormat *format) const
{
    switch (func) {
    case AggregateFunc::Count: return QString::number(rowCount ? rows : filled);
    case AggregateFunc::Sum: return aggregateNumberText(sum, format);
    case AggregateFunc::Avg: return values > 0 ? aggregateNumberText(sum / double(values), format) : QString();
    case AggregateFunc::Min: return values > 0 ? aggregateNumberText(min, format) : QString();
    case AggregateFunc::Max: return values > 0 ? aggregateNumberText(max, format) : QString();
    }
    return {};
}

QString aggregateNumberText(double value, const CellFormat *format)
{
    if (format && !format->numberFormat().isEmpty()) return formatNumber(format->pattern, value);
    // Sums of decimals carry binary noise (0.1 + 0.2); six places and no
    // trailing zeros print what the user typed.
    QString t = QString::number(value, 'f', 6);
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    if (t == QLatin1String("-0")) t = QStringLiteral("0");
    return t;
}

} // namespace Report
