#include "NumberFormat.h"

#include <QList>
#include <QStringList>
#include <cmath>
#include <cstdio>

namespace {

struct Token {
    enum Kind { Literal, IntDigit, FracDigit, Point } kind;
    QString text;   // the literal, or "0" / "#"
};

struct Section {
    QList<Token> tokens;
    bool grouping = false;
    int intPlaces = 0;   // "0"/"#" before the point
    int minInt = 0;      // places from the first "0" before the point
    int maxFrac = 0;     // places after the point
    int minFrac = 0;     // up to the last "0" after the point
    bool hasPlaces() const { return intPlaces > 0 || maxFrac > 0; }
};

// Splits on ";" outside quoted text.
QStringList splitSections(const QString &pattern)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

Section parseSection(const QString &text)
{
    Section s;
    bool afterPoint = false;
    bool seenZero = false;
    auto addLiteral = [&s](const QString &t) {
        if (!s.tokens.isEmpty() && s.tokens.last().kind == Token::Literal)
            s.tokens.last().text += t;
        else
            s.tokens.append({Token::Literal, t});
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"' || c == u'\'') {
            const int end = text.indexOf(c, i + 1);
            const int stop = end < 0 ? int(text.size()) : end;
            addLiteral(text.mid(i + 1, stop - i - 1));
            i = stop;
        } else if (c == u'0' || c == u'#') {
            if (afterPoint) {
                s.tokens.append({Token::FracDigit, QString(c)});
                ++s.maxFrac;
                if (c == u'0')
                    s.minFrac = s.maxFrac;
            } else {
                s.tokens.append({Token::IntDigit, QString(c)});
                ++s.intPlaces;
                if (c == u'0')
                    seenZero = true;
                if (seenZero)
                    ++s.minInt;
            }
        } else if (c == u'.' && !afterPoint) {
            s.tokens.append({Token::Point, QStringLiteral(".")});
            afterPoint = true;
        } else if (c == u',') {
            if (!afterPoint)
                s.grouping = true;
        } else {
            addLiteral(QString(c));
        }
    }
    return s;
}

// |value| rounded half away from zero to maxFrac places, as integer and
// fraction digits. Works on the 15 significant digits a double holds, so
// 2.675 rounds to 2.68 as the operator expects, not to its binary neighbour.
void roundDigits(double absValue, int maxFrac, QString *intDigits, QString *fracDigits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", absValue);
    const QString s = QString::fromLatin1(buf);
    const int e = int(s.indexOf(u'e'));
    QString digits = s.left(e);
    digits.remove(u'.');
    int pointPos = s.mid(e + 1).toInt() + 1;   // digits before the point
    if (pointPos < 1) {
        digits.prepend(QString(1 - pointPos, u'0'));
        pointPos = 1;
    }
    digits.prepend(u'0');   // room for a carry
    ++pointPos;

    const int keep = pointPos + maxFrac;
    if (keep < digits.size()) {
        const bool up = digits.at(keep) >= u'5';
        digits.truncate(keep);
        for (int i = keep - 1; up && i >= 0; --i) {
            if (digits.at(i) == u'9') {
                digits[i] = u'0';
            } else {
                digits[i] = QChar(digits.at(i).unicode() + 1);
                break;
            }
        }
    } else {
        digits.append(QString(keep - digits.size(), u'0'));
    }
    QString ip = digits.left(pointPos);
    int lead = 0;
    while (lead < ip.size() && ip.at(lead) == u'0')
        ++lead;
    *intDigits = ip.mid(lead);
    *fracDigits = digits.mid(pointPos);
}

QString general(double value)
{
    return QString::number(value, 'g', 15);
}

// Formats |value| by one section; *isZero tells whether it rounded to zero.
QString formatSection(const Section &s, double absValue, bool *isZero)
{
    QString ip, fp;
    roundDigits(absValue, s.maxFrac, &ip, &fp);
    *isZero = ip.isEmpty() && fp.count(u'0') == fp.size();
    if (ip.size() < s.minInt)
        ip.prepend(QString(s.minInt - ip.size(), u'0'));
    while (fp.size() > s.minFrac && fp.endsWith(u'0'))
        fp.chop(1);

    const int n = int(ip.size());
    QString out;
    auto emitInt = [&](int from, int to) {   // digits [from, to) of ip
        for (int i = from; i < to; ++i) {
            out += ip.at(i);
            const int right = n - 1 - i;
            if (s.grouping && right > 0 && right % 3 == 0)
                out += u',';
        }
    };
    int intSeen = 0;
    int fracSeen = 0;
    for (const Token &t : s.tokens) {
        switch (t.kind) {
        case Token::Literal:
            out += t.text;
            break;
        case Token::IntDigit: {
            const int idx = n - s.intPlaces + intSeen;
            if (intSeen == 0 && idx > 0)
                emitInt(0, idx);   // more digits than places: all go at the first
            if (idx >= 0)
                emitInt(idx, idx + 1);
            ++intSeen;
            break;
        }
        case Token::Point:
            if (s.intPlaces == 0)
                emitInt(0, n);
            if (!fp.isEmpty())
                out += u'.';
            break;
        case Token::FracDigit:
            if (fracSeen < fp.size())
                out += fp.at(fracSeen);
            ++fracSeen;
            break;
        }
    }
    return out;
}

QString quoteLiteral(const QString &text)
{
    QString out;
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            out += u'"' + run + u'"';
        run.clear();
    };
    for (QChar c : text) {
        if (c == u'"') {
            flush();
            out += QStringLiteral("\\\"");
        } else {
            run += c;
        }
    }
    flush();
    return out;
}

QString excelSection(const Section &s)
{
    if (!s.hasPlaces())
        return QStringLiteral("General");
    QString places;
    for (const Token &t : s.tokens)
        if (t.kind == Token::IntDigit)
            places += t.text;
    if (s.grouping) {
        if (places.size() < 4)
            places.prepend(QString(4 - places.size(), u'#'));
        places.insert(places.size() - 3, u',');
    }
    QString out;
    bool intDone = false;
    for (const Token &t : s.tokens) {
        switch (t.kind) {
        case Token::Literal:
            out += quoteLiteral(t.text);
            break;
        case Token::IntDigit:
            if (!intDone)
                out += places;
            intDone = true;
            break;
        case Token::Point:
            if (s.maxFrac > 0)
                out += u'.';
            break;
        case Token::FracDigit:
            out += t.text;
            break;
        }
    }
    return out;
}

} // namespace

QString formatNumber(const QString &pattern, double value)
{
    if (pattern.isEmpty() || !std::isfinite(value))
        return general(value);
    const QStringList parts = splitSections(pattern);
    const Section pos = parseSection(parts.at(0));
    if (!pos.hasPlaces())
        return general(value);

    bool zero = false;
    if (value == 0 && parts.size() >= 3 && !parts.at(2).isEmpty())
        return formatSection(parseSection(parts.at(2)), 0, &zero);
    if (value < 0 && parts.size() >= 2 && !parts.at(1).isEmpty())
        return formatSection(parseSection(parts.at(1)), -value, &zero);

    const QString text = formatSection(pos, std::fabs(value), &zero);
    // A negative that rounds to nothing shows no sign, as 0.00 not -0.00.
    return value < 0 && !zero ? u'-' + text : text;
}

QString excelNumberFormat(const QString &pattern)
{
    if (pattern.isEmpty())
        return QStringLiteral("General");
    QStringList out;
    for (const QString &part : splitSections(pattern))
        out << (part.isEmpty() ? QString() : excelSection(parseSection(part)));
    return out.join(u';');
}
