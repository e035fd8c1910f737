#include "TsqlTranslator.h"

#include <QHash>
#include <QRegularExpression>

namespace Tsql {

namespace {

bool isIdentStart(QChar c) { return c.isLetter() || c == u'_' || c == u'@' || c == u'#'; }
bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$'; }

bool wordIs(const Token &t, const char *w)
{
    return t.type == Token::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

bool punctIs(const Token &t, char c) { return t.type == Token::Punct && t.text.size() == 1 && t.text[0] == QLatin1Char(c); }

class Emitter {
public:
    Emitter(const QVector<Token> &toks, Target target, QStringList *params)
        : m_t(toks), m_target(target), m_params(params) {}

    QString run()
    {
        QString out = render(0, m_t.size());
        if (!m_limit.isEmpty()) out = out.trimmed() + QLatin1String(" limit ") + m_limit;
        return out;
    }

private:
    int nextSolid(int i, int end) const
    {
        while (i < end && (m_t[i].type == Token::Space || m_t[i].type == Token::Comment)) ++i;
        return i;
    }

    // Whether the first token after `i` that is not a space is the word `w`.
    bool wordNext(int i, int end, const char *w) const
    {
        const int n = nextSolid(i + 1, end);
        return n < end && wordIs(m_t[n], w);
    }

    // Index of the ')' matching the '(' at `open`, or -1.
    int matching(int open, int end) const
    {
        int depth = 0;
        for (int i = open; i < end; ++i) {
            if (punctIs(m_t[i], '(')) ++depth;
            else if (punctIs(m_t[i], ')') && --depth == 0) return i;
        }
        return -1;
    }

    // isNull(<column>,'') followed by "like" or "=" and a text literal that
    // an empty text does not match (it has a character other than %).
    bool nullNeverMatches(int open, int close, int end) const
    {
        const auto args = arguments(open, close);
        if (args.size() != 2) return false;
        const int col = nextSolid(args[0].first, args[0].second);
        if (col >= args[0].second || (m_t[col].type != Token::Word && m_t[col].type != Token::QuotedName)
            || nextSolid(col + 1, args[0].second) != args[0].second)
            return false;
        const int empty = nextSolid(args[1].first, args[1].second);
        if (empty >= args[1].second || m_t[empty].type != Token::String || m_t[empty].text != QLatin1String("''")
            || nextSolid(empty + 1, args[1].second) != args[1].second)
            return false;
        const int op = nextSolid(close + 1, end);
        if (op >= end || !(wordIs(m_t[op], "like") || punctIs(m_t[op], '='))) return false;
        const int lit = nextSolid(op + 1, end);
        if (lit >= end || m_t[lit].type != Token::String) return false;
        QString text = m_t[lit].text;
        if (text.startsWith(u'N') || text.startsWith(u'n')) text.remove(0, 1);
        text = text.mid(1, text.size() - 2);
        if (punctIs(m_t[op], '=')) return !text.isEmpty();
        return text.contains(QRegularExpression(QStringLiteral("[^%]")));
    }

    // Top-level argument ranges of a call whose parentheses are at open/close.
    QVector<QPair<int, int>> arguments(int open, int close) const
    {
        QVector<QPair<int, int>> args;
        int depth = 0, start = open + 1;
        for (int i = open + 1; i < close; ++i) {
            if (punctIs(m_t[i], '(')) ++depth;
            else if (punctIs(m_t[i], ')')) --depth;
            else if (depth == 0 && punctIs(m_t[i], ',')) {
                args.append({start, i});
                start = i + 1;
            }
        }
        args.append({start, close});
        return args;
    }

    QString arg(const QPair<int, int> &r) { return render(r.first, r.second).trimmed(); }

    // The unit of a DateDiff: a bare word SQL Server knows, in our spelling;
    // empty for anything else (a quoted part, an expression), which is left
    // to the engine to refuse rather than counted in some other unit.
    QString datePart(const QPair<int, int> &r) const
    {
        const int w = nextSolid(r.first, r.second);
        if (w >= r.second || m_t[w].type != Token::Word || nextSolid(w + 1, r.second) != r.second) return {};
        static const QHash<QString, QString> parts = {
            {QStringLiteral("day"), QStringLiteral("day")},       {QStringLiteral("dd"), QStringLiteral("day")},
            {QStringLiteral("d"), QStringLiteral("day")},         {QStringLiteral("month"), QStringLiteral("month")},
            {QStringLiteral("mm"), QStringLiteral("month")},      {QStringLiteral("m"), QStringLiteral("month")},
            {QStringLiteral("year"), QStringLiteral("year")},     {QStringLiteral("yy"), QStringLiteral("year")},
            {QStringLiteral("yyyy"), QStringLiteral("year")},     {QStringLiteral("hour"), QStringLiteral("hour")},
            {QStringLiteral("hh"), QStringLiteral("hour")},       {QStringLiteral("minute"), QStringLiteral("minute")},
            {QStringLiteral("mi"), QStringLiteral("minute")},     {QStringLiteral("n"), QStringLiteral("minute")},
            {QStringLiteral("second"), QStringLiteral("second")}, {QStringLiteral("ss"), QStringLiteral("second")},
            {QStringLiteral("s"), QStringLiteral("second")}};
        return parts.value(m_t[w].text.toLower());
    }

    QString datediff(const QString &part, const QString &a, const QString &b) const
    {
        if (m_target == Target::Sqlite)
            return QStringLiteral("ms_datediff('%1',%2,%3)").arg(part, a, b);
        // PostgreSQL: count boundaries crossed, as SQL Server does.
        const QString ta = QStringLiteral("CAST(%1 AS timestamp)").arg(a);
        const QString tb = QStringLiteral("CAST(%1 AS timestamp)").arg(b);
        if (part == QLatin1String("day"))
            return QStringLiteral("(CAST(%1 AS date) - CAST(%2 AS date))").arg(tb, ta);
        if (part == QLatin1String("month"))
            return QStringLiteral("CAST((date_part('year',%1)-date_part('year',%2))*12+date_part('month',%1)-date_part('month',%2) AS integer)").arg(tb, ta);
        if (part == QLatin1String("year"))
            return QStringLiteral("CAST(date_part('year',%1)-date_part('year',%2) AS integer)").arg(tb, ta);
        const QString unit = part == QLatin1String("hour") ? QStringLiteral("hour")
                             : part == QLatin1String("minute") ? QStringLiteral("minute") : QStringLiteral("second");
        const int secs = unit == QLatin1String("hour") ? 3600 : unit == QLatin1String("minute") ? 60 : 1;
        return QStringLiteral("CAST((extract(epoch from date_trunc('%1',%2)) - extract(epoch from date_trunc('%1',%3)))/%4 AS integer)")
            .arg(unit, tb, ta).arg(secs);
    }

    // DateDiff(day,<now>,<column>) <op> <whole number>, standing alone between
    // and/or, is a half-open range of days on the column: the same rows (a
    // NULL matches neither form), but an index on the column can serve it.
    // <now> is getdate() or a text literal; the range runs from midnight of
    // its day. Returns the range, and in *last the comparison's last token.
    QString dayRange(int begin, int at, int open, int close, int end, int *last)
    {
        const auto args = arguments(open, close);
        if (args.size() != 3) return {};
        const int part = nextSolid(args[0].first, args[0].second);
        if (part >= args[0].second || nextSolid(part + 1, args[0].second) != args[0].second) return {};
        const QString p = m_t[part].text.toLower();
        if (m_t[part].type != Token::Word || (p != QLatin1String("day") && p != QLatin1String("dd") && p != QLatin1String("d")))
            return {};
        // The start: getdate() or one literal.
        const int s = nextSolid(args[1].first, args[1].second);
        if (s >= args[1].second) return {};
        if (m_t[s].type == Token::String) {
            if (nextSolid(s + 1, args[1].second) != args[1].second) return {};
        } else {
            const int o = nextSolid(s + 1, args[1].second);
            const int c = o < args[1].second ? nextSolid(o + 1, args[1].second) : o;
            if (!wordIs(m_t[s], "getdate") || o >= args[1].second || !punctIs(m_t[o], '(') || c >= args[1].second
                || !punctIs(m_t[c], ')') || nextSolid(c + 1, args[1].second) != args[1].second)
                return {};
        }
        // The column: name or qualifier.name.
        int k = nextSolid(args[2].first, args[2].second);
        for (;;) {
            if (k >= args[2].second || (m_t[k].type != Token::Word && m_t[k].type != Token::QuotedName)) return {};
            const int dot = nextSolid(k + 1, args[2].second);
            if (dot == args[2].second) break;
            if (!punctIs(m_t[dot], '.')) return {};
            k = nextSolid(dot + 1, args[2].second);
        }
        // Nothing binding tighter than the comparison on either side.
        int before = at - 1;
        while (before >= begin && (m_t[before].type == Token::Space || m_t[before].type == Token::Comment)) --before;
        if (before >= begin && !punctIs(m_t[before], '(')
            && !(wordIs(m_t[before], "where") || wordIs(m_t[before], "and") || wordIs(m_t[before], "or")
                 || wordIs(m_t[before], "on") || wordIs(m_t[before], "having") || wordIs(m_t[before], "when")))
            return {};
        // The operator: one or two adjacent characters of < > = !.
        int i = nextSolid(close + 1, end);
        QString op;
        while (i < end && op.size() < 2 && m_t[i].type == Token::Punct && QStringLiteral("<>=!").contains(m_t[i].text)) {
            op += m_t[i].text;
            ++i;
        }
        static const QStringList ops = {"<", "<=", ">", ">=", "=", "<>", "!="};
        if (!ops.contains(op)) return {};
        i = nextSolid(i, end);
        bool negative = false;
        if (i < end && punctIs(m_t[i], '-')) {
            negative = true;
            i = nextSolid(i + 1, end);
        }
        if (i >= end || m_t[i].type != Token::Number || m_t[i].text.contains(u'.') || m_t[i].text.size() > 7) return {};
        const qint64 n = (negative ? -1 : 1) * m_t[i].text.toLongLong();
        const int after = nextSolid(i + 1, end);
        if (after < end && !punctIs(m_t[after], ')') && !punctIs(m_t[after], ';') && m_t[after].type != Token::Word)
            return {};
        *last = i;

        const QString column = arg(args[2]);
        const QString start = arg(args[1]);
        // Midnight of the start's day moved by `days`, in the column's terms.
        auto day = [&](qint64 days) {
            if (m_target == Target::Sqlite)
                return QStringLiteral("date(%1,'%2%3 days')").arg(start, days < 0 ? QString() : QStringLiteral("+")).arg(days);
            return QStringLiteral("(CAST(%1 AS date) + %2)").arg(start).arg(days);
        };
        // The count is the column's day minus the start's day: <= n is before day n+1.
        if (op == QLatin1String("<")) return QStringLiteral("(%1 < %2)").arg(column, day(n));
        if (op == QLatin1String("<=")) return QStringLiteral("(%1 < %2)").arg(column, day(n + 1));
        if (op == QLatin1String(">")) return QStringLiteral("(%1 >= %2)").arg(column, day(n + 1));
        if (op == QLatin1String(">=")) return QStringLiteral("(%1 >= %2)").arg(column, day(n));
        if (op == QLatin1String("=")) return QStringLiteral("(%1 >= %2 and %1 < %3)").arg(column, day(n), day(n + 1));
        return QStringLiteral("(%1 < %2 or %1 >= %3)").arg(column, day(n), day(n + 1));
    }

    QString render(int begin, int end)
    {
        QString out;
        int depth = 0;
        for (int i = begin; i < end; ++i) {
            const Token &t = m_t[i];
            switch (t.type) {
            case Token::Comment:
                out += u' ';
                break;
            case Token::String:
                out += t.text.startsWith(u'N') || t.text.startsWith(u'n') ? t.text.mid(1) : t.text;
                break;
            case Token::QuotedName: {
                QString name = t.text.mid(1, t.text.size() - 2);
                if (t.text.startsWith(u'[')) name.replace(QLatin1String("]]"), QLatin1String("]"));
                else name.replace(QLatin1String("\"\""), QLatin1String("\""));
                if (m_target == Target::Postgres) name = name.toLower();   // tables are created unquoted
                name.replace(u'"', QLatin1String("\"\""));
                out += u'"' + name + u'"';
                break;
            }
            case Token::Param:
                if (m_params) m_params->append(t.text.mid(1));
                out += u'?';
                break;
            case Token::Word: {
                const int open = nextSolid(i + 1, end);
                const bool call = open < end && punctIs(m_t[open], '(');
                const int close = call ? matching(open, end) : -1;
                if (call && close > 0 && wordIs(t, "isnull") && nullNeverMatches(open, close, end)) {
                    // isNull(col,'') like 'x%' or = 'x' is col like 'x%' or = 'x': an
                    // empty text cannot match, so nulls drop out either way, and the
                    // bare column can use its index.
                    out += render(arguments(open, close).at(0).first, arguments(open, close).at(0).second).trimmed();
                    // PostgreSQL estimates a pattern on the column's text from its
                    // statistics (on citext it cannot) and a trigram index serves it.
                    if (m_target == Target::Postgres && wordNext(close, end, "like")) out += QLatin1String("::text");
                    i = close;
                } else if (call && close > 0 && wordIs(t, "isnull")) {
                    const auto args = arguments(open, close);
                    QStringList parts;
                    for (const auto &a : args) parts << arg(a);
                    const QString c = QLatin1String("coalesce(") + parts.join(u',') + u')';
                    // A function result has no collation in SQLite; keep text
                    // comparisons on it case-insensitive like the columns.
                    out += m_target == Target::Sqlite ? QLatin1String("(") + c + QLatin1String(" COLLATE NOCASE)") : c;
                    i = close;
                } else if (call && close > 0 && wordIs(t, "getdate") && nextSolid(open + 1, end) == close) {
                    out += m_target == Target::Sqlite ? QStringLiteral("datetime('now','localtime')")
                                                      : QStringLiteral("localtimestamp(0)");
                    i = close;
                } else if (call && close > 0 && wordIs(t, "datediff")) {
                    const auto args = arguments(open, close);
                    int last = close;
                    const QString range = dayRange(begin, i, open, close, end, &last);
                    if (!range.isEmpty()) {
                        out += range;
                        i = last;
                    } else if (args.size() == 3 && !datePart(args[0]).isEmpty()) {
                        out += datediff(datePart(args[0]), arg(args[1]), arg(args[2]));
                        i = close;
                    } else {
                        out += t.text;
                    }
                } else if (call && wordIs(t, "len")) {
                    out += QLatin1String("length");
                } else if (wordIs(t, "like") && m_target == Target::Postgres) {
                    // A pattern with no letter that has a case (digits, Chinese)
                    // matches the same either way, and like spares a lower() per row.
                    const int lit = nextSolid(i + 1, end);
                    QString pattern = lit < end && m_t[lit].type == Token::String ? m_t[lit].text : QStringLiteral("A");
                    if (pattern.startsWith(u'N') || pattern.startsWith(u'n')) pattern.remove(0, 1);
                    out += pattern.toLower() == pattern && pattern.toUpper() == pattern ? QLatin1String("like")
                                                                                         : QLatin1String("ilike");
                    // A backslash escapes in PostgreSQL's patterns, not in T-SQL's:
                    // a pattern typed with one must find the text holding it.
                    if (lit < end && m_t[lit].type == Token::String && m_t[lit].text.contains(u'\\')
                        && !wordNext(lit, end, "escape")) {
                        out += render(i + 1, lit + 1) + QLatin1String(" escape ''");
                        i = lit;
                    }
                } else if (wordIs(t, "top") && m_limit.isEmpty()) {
                    const int n = nextSolid(i + 1, end);
                    if (n < end && m_t[n].type == Token::Number && begin == 0 && depth == 0) {
                        m_limit = m_t[n].text;
                        i = n;
                    } else {
                        out += t.text;
                    }
                } else {
                    out += t.text;
                }
                break;
            }
            case Token::Punct:
                if (punctIs(t, ';') && nextSolid(i + 1, end) == end) break;   // trailing ;
                if (punctIs(t, '(')) ++depth;
                else if (punctIs(t, ')')) --depth;
                out += t.text;
                break;
            default:
                out += t.text;
            }
        }
        return out;
    }

    const QVector<Token> &m_t;
    Target m_target;
    QStringList *m_params;
    QString m_limit;
};

} // namespace

QVector<Token> tokenize(const QString &sql)
{
    QVector<Token> toks;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        qsizetype j = i + 1;
        Token::Type type = Token::Punct;
        if (c.isSpace()) {
            while (j < n && sql[j].isSpace()) ++j;
            type = Token::Space;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (j < n && sql[j] != u'\n') ++j;
            type = Token::Comment;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype e = sql.indexOf(QLatin1String("*/"), i + 2);
            j = e < 0 ? n : e + 2;
            type = Token::Comment;
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && i + 1 < n && sql[i + 1] == u'\'')) {
            j = c == u'\'' ? i + 1 : i + 2;
            while (j < n) {
                if (sql[j] == u'\'') {
                    if (j + 1 < n && sql[j + 1] == u'\'') { j += 2; continue; }
                    ++j;
                    break;
                }
                ++j;
            }
            type = Token::String;
        } else if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? u']' : u'"';
            while (j < n) {
                if (sql[j] == close) {
                    if (j + 1 < n && sql[j + 1] == close) { j += 2; continue; }
                    ++j;
                    break;
                }
                ++j;
            }
            type = Token::QuotedName;
        } else if (c == u':' && i + 1 < n && isIdentStart(sql[i + 1]) && (i == 0 || sql[i - 1] != u':')) {
            j = i + 1;
            while (j < n && isIdentChar(sql[j])) ++j;
            type = Token::Param;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (j < n && (sql[j].isDigit() || sql[j] == u'.')) ++j;
            type = Token::Number;
        } else if (isIdentStart(c)) {
            while (j < n && isIdentChar(sql[j])) ++j;
            type = Token::Word;
        }
        toks.append({type, sql.mid(i, j - i)});
        i = j;
    }
    return toks;
}

QString translate(const QString &tsql, Target target, QStringList *paramNames)
{
    QString sql = tsql;
    sql.remove(QChar(u'\0'));   // a NUL would end the statement early in every engine
    const QVector<Token> toks = tokenize(sql);
    if (target == Target::Mssql) {
        // SQL Server takes T-SQL as written; only named parameters become positional.
        QString out;
        for (const Token &t : toks) {
            if (t.type == Token::Param) {
                if (paramNames) paramNames->append(t.text.mid(1));
                out += u'?';
            } else {
                out += t.text;
            }
        }
        return out;
    }
    return Emitter(toks, target, paramNames).run();
}

QString withoutOrderBy(const QString &sql, bool *hasLimit)
{
    const QVector<Token> toks = tokenize(sql);
    int depth = 0, orderAt = -1;
    bool limit = false;
    for (int i = 0; i < toks.size(); ++i) {
        const Token &t = toks[i];
        if (punctIs(t, '(')) ++depth;
        else if (punctIs(t, ')')) --depth;
        else if (depth == 0 && wordIs(t, "order")) {
            int k = i + 1;
            while (k < toks.size() && toks[k].type == Token::Space) ++k;
            if (k < toks.size() && wordIs(toks[k], "by")) orderAt = i;
        } else if (depth == 0 && (wordIs(t, "limit") || wordIs(t, "offset"))) {
            limit = true;
        } else if (depth == 0 && (wordIs(t, "union") || wordIs(t, "except") || wordIs(t, "intersect"))) {
            orderAt = -1;   // an ORDER BY before a set operator belongs to a branch
        }
    }
    if (hasLimit) *hasLimit = limit;
    if (orderAt < 0 || limit) return sql;
    QString out;
    for (int i = 0; i < orderAt; ++i) out += toks[i].text;
    return out;
}

} // namespace Tsql
