#pragma once
// Reading spreadsheet files for the import, apart from any window: .xls
// (freexl), .xlsx (our zip reader and QXmlStreamReader) and .csv (UTF-8 or
// GBK, separator found from the first line). A workbook lists its tables
// (sheets, then named ranges) and reads one front to back as rows of cell
// texts: numbers as the sheet shows them without grouping, dates as
// "yyyy-MM-dd" (with " hh:mm:ss" when there is a time), booleans as
// "TRUE"/"FALSE", formulas by their cached value (empty without one).
//
// Files are untrusted: a damaged, truncated, encrypted or foreign file ends
// with a message, never with a crash, and a reader holds one row at a time.
// Reading may run on a worker thread; progress and cancelling go through
// the callbacks.

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <memory>

class Workbook {
public:
    // One row's cells, left to right (trailing empty cells may be missing).
    // Returning false stops the reading (with the message the sink set).
    using RowSink = std::function<bool(QStringList &&cells)>;
    // Bytes or rows done of the total expected; returning false cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // The most rows a sheet has in any of the formats.
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;

    virtual ~Workbook() = default;

    // Opens by content (an .xlsx is a zip, an .xls an OLE file, anything
    // else that is text is read as .csv); nullptr with a message.
    static std::unique_ptr<Workbook> open(const QString &path, QString *error);

    virtual QStringList tableNames() const = 0;
    // False with a message in *error (cancelled: *error is empty).
    virtual bool read(const QString &table, const RowSink &sink, const Progress &progress, QString *error) = 0;
};

// A table read whole for the wizard: the first row gives the column names
// (an empty one becomes "F" + its number, a repeated one gets its number
// appended), every later row is a data row with one text per column.
struct SheetTable {
    QStringList columns;
    QVector<QStringList> rows;
    qint64 bytes = 0;   // an estimate of the memory the table holds
};

// What a table may hold in memory at most; a larger one is refused.
constexpr qint64 kMaxSheetBytes = qint64(768) * 1024 * 1024;

// Reads a table into memory; false with a message (cancelled: empty message).
bool loadTable(Workbook &book, const QString &table, SheetTable *out, const Workbook::Progress &progress,
               QString *error);

// The column names a header row gives (see SheetTable).
QStringList columnNames(const QStringList &header);

// Excel's day number (1900 system, or 1904) as "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss".
QString excelDateText(double serial, bool date1904 = false);
// A number as a sheet shows it in General format, without exponent for
// whole numbers of up to 15 digits (telephone numbers, codes).
QString excelNumberText(double v);
