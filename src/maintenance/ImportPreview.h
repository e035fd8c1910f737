#pragma once
// The rows an import is about to write, apart from any window: one column
// per mapping row of cfg_import, each cell held as the text its target
// column stores (numbers and dates written the one way, texts trimmed
// except memos). Cells are kept column by column, and a column nobody
// filled takes no memory, so a sheet of a hundred thousand rows stays
// small. Nothing here touches the database.

#include "Workbook.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

// One mapping row: display name, target column, spreadsheet column (empty: none).
struct ImportMapping {
    QString fieldName;   // F_fieldName
    QString sField;      // S_Field
    QString fField;      // F_Field
};

// A column of the target table as the import fills it.
struct ImportColumn {
    enum class Kind { Text, Memo, Integer, Float, Bool, Date, Unknown };
    QString field;      // S_Field
    QString caption;    // F_fieldName
    Kind kind = Kind::Text;
    int size = 0;       // characters a text column holds; 0 = unlimited
};

// Target columns for the mapping rows, typed from the schema of `table`; a
// mapping row naming a column the table lacks gets Kind::Unknown (it takes no value).
QList<ImportColumn> importColumns(const QString &table, const QList<ImportMapping> &mappings);

// The sheet column a mapping names: exactly, else without regard to case and
// blanks ("手    机" as a list's title is 手机 to the operator); -1 when none.
int sheetColumn(const QStringList &columns, const QString &name);

// The text a cell stores in the column; false when the column cannot take it.
// Empty cells: "" for texts, nothing (NULL) for numbers, 0 for flags, the
// no-date value 1900-08-14 for dates.
bool importText(const ImportColumn &column, const QString &cell, QString *stored);
// The stored text as the value bound to the insert.
QVariant importValue(const ImportColumn &column, const QString &stored);

class ImportPreview {
public:
    void reset(const QList<ImportColumn> &columns);
    const QList<ImportColumn> &columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return m_rows; }

    // Whether the column is written: a mapping fills it or a cell of it was set.
    bool isWritten(int column) const { return !m_cells.at(column).isEmpty(); }
    QString text(int row, int column) const;
    // Sets a cell through importText; false (nothing changed) when the column cannot take it.
    bool setText(int row, int column, const QString &cell);
    // Rows in any order; rows that do not exist are ignored.
    void removeRows(QList<int> rows);

    // Appends one row whose written columns hold `stored` (by column index, already converted).
    void appendRow(const QVector<QString> &stored, const QVector<int> &columns);

private:
    void allocate(int column);

    QList<ImportColumn> m_columns;
    QVector<QVector<QString>> m_cells;   // per column; empty while the column is unwritten
    int m_rows = 0;
};

// What building the preview ended with.
struct ImportBuild {
    bool ok = true;
    bool cancelled = false;
    int failedRow = -1;       // data row of the sheet (0 = the row under the names)
    QString failedColumn;     // the spreadsheet column (F_Field)
    QString failedText;
};

// Builds the preview (reset with importColumns for the same mappings) from the sheet: one row per sheet row when at least one
// mapping row names a spreadsheet column (none otherwise); each such mapping
// stores the cell of its column. A cell the target column cannot take ends
// the build there; the rows before it stay. progress(done, total) returning
// false cancels (the rows built so far stay).
ImportBuild buildPreview(const SheetTable &sheet, const QList<ImportMapping> &mappings, ImportPreview *preview,
                         const std::function<bool(int done, int total)> &progress = {});
