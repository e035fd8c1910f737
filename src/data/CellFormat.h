#pragma once
// How a cell of a list reads, wherever the list is shown: the grid, the
// printed list, the spreadsheet and reports all turn a value into text here,
// so one cell reads the same in all of them.

#include "DataSet.h"

#include <QString>
#include <QVariant>

struct CellFormat {
    FieldKind kind = FieldKind::Text;
    QString pattern;            // number pattern ("￥,0.00", MakeDisplayFormat); numbers only
    bool blankNoDate = false;   // a text sorting before 1901-08-14 reads blank (the no-date value, empty dates)

    // The pattern a spreadsheet cell of this column takes: empty for
    // booleans and dates, which never read as numbers.
    QString numberFormat() const;
    // Numbers with the pattern, dates as yyyy-MM-dd (with the time when it
    // is not midnight), booleans as a tick or nothing, NULL as nothing.
    QString text(const QVariant &value) const;
};

// The kind of a value held in memory rather than read from a table.
FieldKind kindOfValue(const QVariant &value);
