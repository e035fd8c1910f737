#include "RowSource.h"

int RowSource::columnOf(const QString &field) const
{
    const QStringList names = fieldNames();
    for (int c = 0; c < names.size(); ++c)
        if (names.at(c).compare(field, Qt::CaseInsensitive) == 0) return c;
    return -1;
}

// --- DataSetSource ----------------------------------------------------------

DataSetSource::DataSetSource(const DataSet *ds, QList<SourceColumn> columns)
    : m_ds(ds), m_columns(std::move(columns))
{
    for (const SourceColumn &c : m_columns) {
        const int f = m_ds ? m_ds->fieldIndex(c.field) : -1;
        m_fields << f;
        m_formats << CellFormat{f >= 0 ? m_ds->fieldKind(f) : FieldKind::Text, c.displayFormat, c.blankNoDate};
    }
}

const CellFormat &DataSetSource::format(int column) const
{
    static const CellFormat none;
    return column >= 0 && column < m_formats.size() ? m_formats.at(column) : none;
}

QVariant DataSetSource::valueAt(int row, int column) const
{
    const int f = field(column);
    return f < 0 || !m_ds || !m_ds->isActive() ? QVariant() : m_ds->value(row, f);
}

QString DataSetSource::textAt(int row, int column) const
{
    return format(column).text(valueAt(row, column));
}

QStringList DataSetSource::fieldNames() const
{
    QStringList names;
    for (const SourceColumn &c : m_columns) names << c.field;
    return names;
}

int DataSetSource::rowCount() const
{
    return m_ds && m_ds->isActive() ? m_ds->recordCount() : 0;
}

bool DataSetSource::start()
{
    m_error.clear();
    m_reader.reset();
    if (m_ds && m_ds->isActive()) m_reader = std::make_unique<DataSetReader>(*m_ds);
    return true;
}

bool DataSetSource::nextRow()
{
    if (!m_reader) return false;
    if (m_reader->next()) return true;
    m_error = m_reader->error();
    return false;
}

QVariant DataSetSource::value(int column) const
{
    const int f = field(column);
    return f < 0 || !m_reader ? QVariant() : m_reader->value(f);
}

QString DataSetSource::text(int column) const
{
    return format(column).text(value(column));
}

// --- MemoryRows -------------------------------------------------------------

MemoryRows::MemoryRows(QStringList fields, QList<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows))
{
}

bool MemoryRows::start()
{
    m_row = -1;
    return true;
}

bool MemoryRows::nextRow()
{
    if (m_row + 1 >= m_rows.size()) return false;
    ++m_row;
    return true;
}

QVariant MemoryRows::value(int column) const
{
    return m_row < 0 ? QVariant() : m_rows.at(m_row).value(column);
}

QString MemoryRows::text(int column) const
{
    const QVariant v = value(column);
    return CellFormat{kindOfValue(v), {}, false}.text(v);
}
