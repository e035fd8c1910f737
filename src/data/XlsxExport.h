#pragma once
// Writes a list to an .xlsx file, apart from any window: the title row, then
// one sheet row per list row, in order, with constant memory however long
// the list is. The caller opens the file afterwards.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class DataSet;

struct XlsxColumn {
    QString caption;
    QString numberFormat;   // display pattern ("￥,0.00"); empty = text column
};

class XlsxRowSource {
public:
    virtual ~XlsxRowSource() = default;
    virtual int rowCount() const = 0;
    virtual QVariant value(int row, int col) const = 0;
    virtual QString text(int row, int col) const = 0;
};

// Columns with a number format get numbers (text that is no number stays
// text in that format); the others are text cells, so codes like 00123 keep
// their zeros. A cell reading "1900-08-14" (no date) is left empty.
// progress(done, total) returning false cancels: nothing is left behind.
// An existing file is replaced only when the new one is complete.
// False with a message in *error when the file cannot be written.
bool writeXlsx(const QString &path, const QString &sheetName, const QList<XlsxColumn> &columns,
               const XlsxRowSource &rows, QString *error,
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
    QVariant value(int row, int col) const override;
    QString text(int row, int col) const override;

private:
    const DataSet &m_ds;
    QVector<int> m_fields;
};
