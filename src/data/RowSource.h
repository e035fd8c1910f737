#pragma once
// One way to read the rows of a list, whoever shows them: the grid, the
// printed list, the spreadsheet export and reports. A source names its
// fields and hands out its rows front to back, every cell both as its raw
// value and as the text the list shows (made by CellFormat).

#include "CellFormat.h"
#include "DataSet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class RowSource {
public:
    virtual ~RowSource() = default;
    virtual QStringList fieldNames() const = 0;     // one per column, in column order
    int columnOf(const QString &field) const;       // without regard to case; -1 when none
    virtual int rowCount() const = 0;               // rows expected (progress, page counts)
    virtual bool start() = 0;                       // before the first row; again to read once more
    virtual bool nextRow() = 0;                     // false past the last row, or on error()
    virtual QVariant value(int column) const = 0;   // of the current row
    virtual QString text(int column) const = 0;     // as the list shows it
    virtual QString error() const { return {}; }
};

// A column of a data set as a list shows it.
struct SourceColumn {
    QString field;
    QString caption;
    QString displayFormat;      // number pattern, empty for text
    bool blankNoDate = false;   // dates before 1901-08-14 read blank
};

// The rows of a DataSet in its sort order, front to back without moving its
// cursor (see DataSetReader: other statements may run meanwhile), or at
// random for a grid. An unknown field gives empty cells; no data set, or a
// closed one, gives no rows. Field kinds are taken when the source is made.
class DataSetSource : public RowSource {
public:
    DataSetSource(const DataSet *ds, QList<SourceColumn> columns);

    const DataSet *dataSet() const { return m_ds; }
    const QList<SourceColumn> &columns() const { return m_columns; }
    int field(int column) const { return m_fields.value(column, -1); }
    const CellFormat &format(int column) const;

    QVariant valueAt(int row, int column) const;   // row in sort order
    QString textAt(int row, int column) const;

    QStringList fieldNames() const override;
    int rowCount() const override;
    bool start() override;
    bool nextRow() override;
    QVariant value(int column) const override;
    QString text(int column) const override;
    QString error() const override { return m_error; }

private:
    const DataSet *m_ds;
    QList<SourceColumn> m_columns;
    QVector<int> m_fields;
    QVector<CellFormat> m_formats;
    std::unique_ptr<DataSetReader> m_reader;
    QString m_error;
};

// Rows held in memory; a value reads by its own type.
class MemoryRows : public RowSource {
public:
    MemoryRows(QStringList fields, QList<QVariantList> rows);
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return int(m_rows.size()); }
    bool start() override;
    bool nextRow() override;
    QVariant value(int column) const override;
    QString text(int column) const override;

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
    int m_row = -1;
};
