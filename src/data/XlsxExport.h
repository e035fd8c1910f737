#pragma once
// Writes a list to an .xlsx file, apart from any window: the title row, then
// one sheet row per list row, in order, with constant memory however long
// the list is. The caller opens the file afterwards.

#include "DataSet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

struct XlsxColumn {
    QString caption;
    QString numberFormat;   // display pattern ("￥,0.00"); empty = text column
};

// Hands out the rows front to back, each once.
class XlsxRowSource {
public:
    virtual ~XlsxRowSource() = default;
    virtual int rowCount() const = 0;           // for progress; the rows read are what is written
    virtual bool nextRow() = 0;                 // false past the last row, or on error()
    virtual QVariant value(int col) const = 0;  // of the current row
    virtual QString text(int col) const = 0;    // as the list shows it
    virtual QString error() const { return {}; }
};

// The rows are read on the calling thread (where the database connection
// lives) while another thread writes the sheet.
// Columns with a number format get numbers (text that is no number stays
// text in that format); the others are text cells, so codes like 00123 keep
// their zeros. A cell reading "1900-08-14" (no date) is left empty.
// progress(done, total) returning false cancels: nothing is left behind.
// An existing file is replaced only when the new one is complete.
// False with a message in *error when the file cannot be written.
bool writeXlsx(const QString &path, const QString &sheetName, const QList<XlsxColumn> &columns,
               XlsxRowSource &rows, QString *error,
               const std::function<bool(int done, int total)> &progress = {});

// The sheet name as written: forbidden characters replaced, cut to 31
// characters, "Sheet1" when nothing usable is left.
QString xlsxSheetName(const QString &wanted);

// The fields of a DataSet, by name, in the given order; an unknown field
// gives empty cells.
class DataSetRows : public XlsxRowSource {
public:
    DataSetRows(const DataSet &ds, const QStringList &fieldNames);
    int rowCount() const override;
    bool nextRow() override { return m_reader.next(); }
    QVariant value(int col) const override;
    QString text(int col) const override;
    QString error() const override { return m_reader.error(); }

private:
    const DataSet &m_ds;
    DataSetReader m_reader;
    QVector<int> m_fields;
};
