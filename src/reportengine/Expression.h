#pragma once
// Texts of report objects: literal text with parts in square brackets.
//   [src.field]          the cell of the source's current row as the grid shows it
//   [PAGE#] [TOTALPAGES] the page number, the number of pages
//   [DATE] [TIME]        when the report was prepared (yyyy-MM-dd, hh:mm:ss)
//   [SUM(src.field)] [COUNT(src)] [AVG(src.field)] [MIN(src.field)] [MAX(src.field)]
//                        over the whole report; ",PAGE" for the rows of the page,
//                        ",CARRIED" for the rows printed so far (a carried-forward total)
// Anything else in brackets, and a bracket left open, prints as it stands.
// A text is parsed once into parts and evaluated for every band it prints on.

#include "data/CellFormat.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace Report {

enum class AggregateFunc { Sum, Count, Avg, Min, Max };
enum class AggregateScope { Report, Page, Carried };

struct ExprPart {
    enum Kind { Literal, Field, PageNumber, TotalPages, Date, Time, Aggregate };
    Kind kind = Literal;
    QString text;                 // Literal
    QString source;               // Field, Aggregate: as written
    QString field;                // Field, Aggregate; empty for COUNT(src)
    AggregateFunc func = AggregateFunc::Sum;
    AggregateScope scope = AggregateScope::Report;
    // Set by whoever evaluates it, so a row's cells are found without a search.
    int slot = -1;                // the source's index in the evaluator; -1: unknown source
    int column = -1;              // the field's column in that source; -1: unknown field
};

// What an expression reads while it is evaluated.
class ExpressionContext {
public:
    virtual ~ExpressionContext() = default;
    virtual QString fieldText(const ExprPart &part) const = 0;
    virtual QString aggregateText(const ExprPart &part) const = 0;
    virtual int pageNumber() const = 0;
    virtual int totalPages() const = 0;   // 0 while not known yet: prints nothing
    virtual QDateTime now() const = 0;
};

class Expression {
public:
    Expression() = default;
    explicit Expression(const QString &text);

    const QList<ExprPart> &parts() const { return m_parts; }
    QList<ExprPart> &parts() { return m_parts; }
    bool isLiteral() const;
    bool uses(ExprPart::Kind kind) const;
    bool usesAggregate(AggregateScope scope) const;
    // The part when the expression is exactly one field reference, else nullptr.
    const ExprPart *onlyField() const;

    QString evaluate(const ExpressionContext &ctx) const;
    // The parts `keep` accepts stay as they are; all others become their text now.
    Expression resolvedExcept(const ExpressionContext &ctx, const std::function<bool(const ExprPart &)> &keep) const;

private:
    QString partText(const ExprPart &p, const ExpressionContext &ctx) const;
    QList<ExprPart> m_parts;
};

// Running figures of one field (or the rows of a source, for COUNT(src)).
struct Accumulator {
    qint64 rows = 0;       // rows seen
    qint64 values = 0;     // of them, rows whose value reads as a number
    qint64 filled = 0;     // of them, rows with a value that is not empty
    double sum = 0;
    double min = 0;
    double max = 0;

    void addRow(const QVariant &value, bool countOnly);   // countOnly: COUNT(src)
    // Empty text when the figure has no value (no rows for AVG, MIN, MAX).
    QString text(AggregateFunc func, bool rowCount, const CellFormat *format) const;
};

// A number as an aggregate prints: with the column's pattern when it has one,
// otherwise plainly (no exponent, no trailing zeros).
QString aggregateNumberText(double value, const CellFormat *format);

} // namespace Report
