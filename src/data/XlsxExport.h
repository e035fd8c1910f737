#pragma once
// Writes a list to an .xlsx file, apart from any window: the title row, then
// one sheet row per list row, in order, with constant memory however long
// the list is. The caller opens the file afterwards.

#include "RowSource.h"

#include <QList>
#include <QString>
#include <functional>

struct XlsxColumn {
    QString caption;
    QString numberFormat;   // display pattern ("￥,0.00"); empty = text column
};

// The columns of a data set's rows as a sheet takes them: booleans and
// dates get no number format, whatever pattern their column carries.
QList<XlsxColumn> xlsxColumns(const DataSetSource &rows);

// The rows (started here) are read on the calling thread (where the database connection
// lives) while another thread writes the sheet.
// Columns with a number format get numbers (text that is no number stays
// text in that format); the others are text cells, so codes like 00123 keep
// their zeros. A cell reading "1900-08-14" (no date) is left empty.
// progress(done, total) returning false cancels: nothing is left behind.
// An existing file is replaced only when the new one is complete.
// False with a message in *error when the file cannot be written.
bool writeXlsx(const QString &path, const QString &sheetName, const QList<XlsxColumn> &columns,
               RowSource &rows, QString *error,
               const std::function<bool(int done, int total)> &progress = {});

// The sheet name as written: forbidden characters replaced, cut to 31
// characters, "Sheet1" when nothing usable is left.
QString xlsxSheetName(const QString &wanted);
