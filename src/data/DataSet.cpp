#include "DataSet.h"

#include "ContainsScan.h"
#include "Schema.h"
#include "TsqlTranslator.h"

#include "app/BoolValue.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSqlError>
#include <QSqlField>
#include <algorithm>

// --- Field --------------------------------------------------------------

QString Field::name() const { return m_ds->fieldName(m_col); }
FieldKind Field::kind() const { return m_ds->fieldKind(m_col); }

QVariant Field::value() const
{
    if (m_col < 0 || m_ds->recNo() < 0) return {};
    return m_ds->value(m_ds->recNo(), m_col);
}

bool Field::isNull() const { return value().isNull(); }
QString Field::asString() const { return DataSet::displayText(value(), kind()); }

int Field::asInteger() const
{
    const QVariant v = value();
    if (v.isNull()) return 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok) return int(qRound64(d));
    return v.toString().trimmed().toInt();
}

double Field::asFloat() const { return value().toDouble(); }

bool Field::asBoolean() const { return boolValue(value()); }

// --- DataSet ------------------------------------------------------------

namespace {
constexpr int kMaterializeLimit = 20000;   // sets up to this size are sorted in memory

// How two values of a field order, the same for loaded rows and for a long
// list sorted by its keys: empty first, numbers as numbers, text by
// character without regard to case (as the database orders it).
int compareValues(const QVariant &a, const QVariant &b, FieldKind k)
{
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (k == FieldKind::Integer || k == FieldKind::Float || k == FieldKind::Bool) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (k == FieldKind::DateTime) return DataSet::displayText(a, k).compare(DataSet::displayText(b, k));
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

QString dateText(const QDateTime &dt)
{
    return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                    : dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
} // namespace

DataSet::DataSet(Connection *cnn, QObject *parent) : QObject(parent), m_cnn(cnn) {}

QVector<DataSet::Row> DataSet::readRows(QSqlQuery &q, int columns)
{
    QVector<Row> rows;
    while (q.next()) {
        Row r(columns);
        for (int c = 0; c < columns; ++c) r[c] = q.value(c);
        rows.append(std::move(r));
    }
    return rows;
}

QString DataSet::orderedSql() const
{
    if (m_dbOrder.isEmpty()) return m_native;
    return QStringLiteral("select * from (%1) as sort_q %2").arg(Tsql::withoutOrderBy(m_native), m_dbOrder);
}

DataSet::~DataSet() = default;

void DataSet::setSql(const QString &tsql)
{
    if (m_active) close();
    m_sql = tsql;
}

QString DataSet::displayText(const QVariant &v, FieldKind kind)
{
    if (v.isNull() || !v.isValid()) return {};
    switch (kind) {
    case FieldKind::Bool: return boolValue(v) ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::DateTime:
        if (v.typeId() == QMetaType::QDateTime) return dateText(v.toDateTime());
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        {
            QString s = v.toString();
            if (s.size() > 10 && s.endsWith(QLatin1String(" 00:00:00"))) s.truncate(10);
            if (s.size() > 10 && s[10] == u'T') s[10] = u' ';
            return s;
        }
    case FieldKind::Float: {
        const double d = v.toDouble();
        return QString::number(d, 'g', 15);
    }
    default: return v.toString();
    }
}

void DataSet::setupFields(const QSqlRecord &rec)
{
    m_names.clear();
    m_index.clear();
    m_kinds.clear();
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        const QString name = f.name();
        m_names << name;
        const QString lower = name.toLower();
        if (!m_index.contains(lower)) m_index.insert(lower, i);
        FieldKind kind = FieldKind::Text;
        const int type = f.metaType().id();
        switch (type) {
        case QMetaType::Bool: kind = FieldKind::Bool; break;
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Short: case QMetaType::UShort:
            kind = FieldKind::Integer; break;
        case QMetaType::Double: case QMetaType::Float: kind = FieldKind::Float; break;
        case QMetaType::QDate: case QMetaType::QDateTime: kind = FieldKind::DateTime; break;
        default: break;
        }
        // The engines report bit columns as small integers and SQLite dates as
        // text; the schema knows what they are.
        if (const auto ct = Schema::columnType(name)) {
            if (*ct == ColType::Bit) kind = FieldKind::Bool;
            else if (*ct == ColType::DateTime) kind = FieldKind::DateTime;
            else if (*ct == ColType::Float) kind = FieldKind::Float;
            else if ((*ct == ColType::Integer || *ct == ColType::Identity) && kind != FieldKind::Float) kind = FieldKind::Integer;
        } else if (lower == QLatin1String("f_flag") && kind == FieldKind::Integer) {
            kind = FieldKind::Bool;
        }
        m_kinds << kind;
    }
}

void DataSet::resetState()
{
    m_full = false;
    m_hasRows = false;
    m_rows.clear();
    m_order.clear();
    m_count = -1;
    m_knownSums.clear();
    m_pages.clear();
    m_lru.clear();
    m_keyOrder.clear();
    ++m_generation;
    m_cur = -1;
    m_bof = m_eof = true;
    m_modified.clear();
    m_inserted.clear();
    m_deleted.clear();
    m_original.clear();
}

bool DataSet::open()
{
    close();
    resetState();
    m_lastError.clear();
    if (!m_cnn || !m_cnn->ensureOpen()) {
        m_lastError = m_cnn ? m_cnn->lastError() : QStringLiteral("数据库未连接");
        return false;
    }
    m_paramNames.clear();
    m_native = m_cnn->dialect().translate(m_sql, &m_paramNames);
    m_dbOrder.clear();
    m_sortText.clear();

    if (m_cached) {
        if (!fetchAll()) return false;
    } else if (bool traced = false; !openByMatchingKeys(&traced)) {
        // One page more than a screen tells whether the set is small.
        QSqlQuery q;
        const QString sql = m_cnn->dialect().pageSql(m_native, 0, kPageRows + 1);
        if (!(traced ? m_cnn->execUntraced(q, sql, m_paramNames, m_params)
                     : m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql))) {
            m_lastError = m_cnn->lastError();
            return false;
        }
        setupFields(q.record());
        Page page;
        page.generation = m_generation;
        page.rows = readRows(q, m_names.size());
        m_hasRows = !page.rows.isEmpty();
        if (page.rows.size() <= kPageRows) {
            m_rows = std::move(page.rows);
            m_full = true;
            m_count = m_rows.size();
        } else {
            page.rows.removeLast();
            m_pages.insert(0, std::move(page));
            m_lru.push_front(0);
        }
    }
    m_active = true;
    setCurrent(isEmpty() ? -1 : 0);
    emit rowsReset();
    emit opened();
    return true;
}

// A contains search with no more hits than a page is read by the hits' row
// keys (ContainsScan.h). Anything unexpected leaves it to the plain read,
// which reports errors; `traced` tells it the open has been traced already.
bool DataSet::openByMatchingKeys(bool *traced)
{
    if (!m_cnn->dialect().readsContainsSearchesByKeys()) return false;
    const std::optional<ContainsScan> scan = containsScan(m_native);
    if (!scan) return false;
    QList<qint64> keys;
    {
        QSqlQuery q;
        *traced = true;
        if (!m_cnn->execNative(q, containsKeysSql(*scan, kPageRows + 1), m_paramNames, m_params, true, m_sql)) return false;
        while (q.next()) keys << q.value(0).toLongLong();
    }
    if (keys.size() > kPageRows) return false;
    QSqlQuery q;
    if (!m_cnn->execUntraced(q, containsRowsSql(*scan, keys), {}, {})) return false;
    setupFields(q.record());
    m_rows = readRows(q, m_names.size());
    m_hasRows = !m_rows.isEmpty();
    m_full = true;
    m_count = m_rows.size();
    return true;
}

bool DataSet::fetchAll()
{
    QSqlQuery q;
    if (!m_cnn->execNative(q, orderedSql(), m_paramNames, m_params, true, m_sql)) {
        m_lastError = m_cnn->lastError();
        return false;
    }
    setupFields(q.record());
    m_rows = readRows(q, m_names.size());
    m_full = true;
    m_count = m_rows.size();
    m_pages.clear();
    m_lru.clear();
    if (m_cached) m_original = m_rows;
    return true;
}

bool DataSet::fetchPage(int page) const
{
    Page p;
    p.generation = m_generation;
    if (!m_keyOrder.isEmpty()) {
        if (!rowsByKeys(m_keyOrder, m_keyColumn, page * kPageRows, kPageRows, &p.rows)) return false;
    } else {
        QSqlQuery q;
        const QString sql = m_cnn->dialect().pageSql(orderedSql(), qint64(page) * kPageRows, kPageRows);
        if (!m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql)) {
            const_cast<DataSet *>(this)->m_lastError = m_cnn->lastError();
            return false;
        }
        p.rows = readRows(q, m_names.size());
    }
    m_pages.insert(page, std::move(p));
    m_lru.push_front(page);
    while (int(m_lru.size()) > kMaxPages) {
        m_pages.remove(m_lru.back());
        m_lru.pop_back();
    }
    return true;
}

int DataSet::storageRow(int row) const
{
    if (m_order.isEmpty()) return row;
    return row >= 0 && row < m_order.size() ? m_order[row] : -1;
}

const DataSet::Row *DataSet::rowAt(int row) const
{
    if (row < 0) return nullptr;
    if (m_full) {
        const int s = storageRow(row);
        return s >= 0 && s < m_rows.size() ? &m_rows[s] : nullptr;
    }
    const int page = row / kPageRows;
    auto it = m_pages.find(page);
    if (it == m_pages.end() || it->generation != m_generation) {
        if (!fetchPage(page)) return nullptr;
        it = m_pages.find(page);
    } else {
        auto l = std::find(m_lru.begin(), m_lru.end(), page);
        if (l != m_lru.begin()) m_lru.splice(m_lru.begin(), m_lru, l);
    }
    const int off = row % kPageRows;
    return off < it->rows.size() ? &it->rows[off] : nullptr;
}

QString DataSet::countSql() const
{
    return QStringLiteral("select count(*) from (%1) as count_q").arg(Tsql::withoutOrderBy(m_native));
}

int DataSet::recordCount() const
{
    if (!m_active) return 0;
    if (m_full) return m_rows.size();
    if (m_count < 0) {
        QSqlQuery q;
        if (m_cnn->execNative(q, countSql(), m_paramNames, m_params, true, m_sql) && q.next())
            learnCount(q.value(0).toInt());
        else
            const_cast<DataSet *>(this)->m_lastError = m_cnn->lastError();
    }
    return qMax(0, m_count);
}

int DataSet::knownRecordCount() const
{
    if (!m_active) return 0;
    if (m_full) return m_rows.size();
    return m_count >= 0 ? m_count : kPageRows;
}

void DataSet::setRecordCount(int count)
{
    if (isRecordCountKnown() || count < 0) return;
    learnCount(count);
}

void DataSet::setSums(const QVector<int> &columns, const QVector<double> &totals)
{
    if (!m_active || m_full) return;
    for (int i = 0; i < columns.size() && i < totals.size(); ++i) m_knownSums.insert(columns[i], totals[i]);
    emit sumsKnown();
}

bool DataSet::hasSums(const QVector<int> &columns) const
{
    if (!m_active || m_full) return true;
    for (int c : columns)
        if (!m_knownSums.contains(c)) return false;
    return true;
}

void DataSet::learnCount(int count) const
{
    m_count = count;
    emit const_cast<DataSet *>(this)->recordCountKnown(count);
}

bool DataSet::isEmpty() const
{
    if (m_full) return m_rows.isEmpty();
    return !m_hasRows;
}

void DataSet::close()
{
    const bool was = m_active;
    m_active = false;
    resetState();
    m_names.clear();
    m_index.clear();
    m_kinds.clear();
    if (was) {
        emit rowsReset();
        emit closed();
    }
}

bool DataSet::execSql(int *rowsAffected)
{
    if (m_active) close();
    m_lastError.clear();
    QSqlQuery q;
    if (!m_cnn || !m_cnn->exec(q, m_sql, m_params)) {
        m_lastError = m_cnn ? m_cnn->lastError() : QStringLiteral("数据库未连接");
        return false;
    }
    if (rowsAffected) *rowsAffected = q.numRowsAffected();
    return true;
}

// --- cursor -------------------------------------------------------------

void DataSet::setCurrent(int row)
{
    m_cur = row;
    m_bof = row <= 0;
    m_eof = row < 0;
    emit currentRowChanged(row);
}

void DataSet::setRecNo(int row)
{
    if (!m_active || isEmpty()) return;
    row = qMax(0, row);
    if (!rowAt(row)) row = recordCount() - 1;
    m_cur = row;
    m_bof = m_eof = false;
    emit currentRowChanged(row);
}

void DataSet::first()
{
    if (!m_active) return;
    setCurrent(isEmpty() ? -1 : 0);
}

void DataSet::last()
{
    if (!m_active || isEmpty()) return;
    m_cur = recordCount() - 1;
    m_bof = false;
    m_eof = true;
    emit currentRowChanged(m_cur);
}

void DataSet::next()
{
    if (!m_active || m_cur < 0) return;
    if (rowAt(m_cur + 1)) {
        ++m_cur;
        m_bof = false;
        m_eof = false;
        emit currentRowChanged(m_cur);
    } else {
        m_eof = true;
    }
}

void DataSet::prior()
{
    if (!m_active || m_cur < 0) return;
    if (m_cur == 0) {
        m_bof = true;   // stays on the first row
        return;
    }
    --m_cur;
    m_bof = false;
    m_eof = false;
    emit currentRowChanged(m_cur);
}

void DataSet::moveBy(int delta)
{
    if (delta > 0) {
        for (int i = 0; i < delta && !m_eof; ++i) next();
    } else {
        for (int i = 0; i < -delta && !m_bof; ++i) prior();
    }
}

int DataSet::fieldIndex(const QString &name) const { return m_index.value(name.toLower(), -1); }

QVariant DataSet::value(int row, int column) const
{
    const Row *r = rowAt(row);
    if (!r || column < 0 || column >= r->size()) return {};
    return (*r)[column];
}

bool DataSet::locate(const QString &field, const QVariant &value, bool caseInsensitive)
{
    const int col = fieldIndex(field);
    if (col < 0 || !m_active) return false;
    const QString wanted = displayText(value, m_kinds[col]);
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    auto matches = [&](const QVariant &v) { return displayText(v, m_kinds[col]).compare(wanted, cs) == 0; };
    const int found = findRow(col, matches);
    if (found < 0) return false;
    setRecNo(found);
    return true;
}

int DataSet::findRow(int column, const std::function<bool(const QVariant &)> &match) const
{
    if (!m_active || column < 0 || column >= fieldCount()) return -1;
    if (m_full) {
        for (int row = 0; row < m_rows.size(); ++row)
            if (match(m_rows[storageRow(row)][column])) return row;
        return -1;
    }
    // A long list: read only the one column (with the row key when the rows
    // are sorted by key), never the whole rows.
    const Dialect &d = m_cnn->dialect();
    QSqlQuery q;
    if (!m_keyOrder.isEmpty()) {
        const QString sql = QStringLiteral("select %1, %2 from (%3) as find_q")
                                .arg(d.quoteName(m_names[m_keyColumn]), d.quoteName(m_names[column]),
                                     Tsql::withoutOrderBy(m_native));
        if (!m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql)) return -1;
        QHash<qint64, QVariant> values;
        values.reserve(m_keyOrder.size());
        while (q.next()) values.insert(q.value(0).toLongLong(), q.value(1));
        for (int row = 0; row < m_keyOrder.size(); ++row)
            if (match(values.value(m_keyOrder[row]))) return row;
        return -1;
    }
    const QString sql = QStringLiteral("select %1 from (%2) as find_q").arg(d.quoteName(m_names[column]), orderedSql());
    if (!m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql)) return -1;
    for (int row = 0; q.next(); ++row)
        if (match(q.value(0))) {
            q.finish();   // done before the cursor fetches its page
            return row;
        }
    return -1;
}

double DataSet::sum(int column) const
{
    return sums({column}).value(0);
}

QVector<double> DataSet::sums(const QVector<int> &columns) const
{
    QVector<double> totals(columns.size(), 0.0);
    if (!m_active) return totals;
    if (m_full) {
        for (const Row &r : m_rows)
            for (int i = 0; i < columns.size(); ++i)
                if (columns[i] >= 0 && columns[i] < r.size()) totals[i] += r[columns[i]].toDouble();
        return totals;
    }
    if (hasSums(columns)) {
        for (int i = 0; i < columns.size(); ++i) totals[i] = m_knownSums.value(columns[i]);
        return totals;
    }
    QStringList items {QStringLiteral("count(*)")};
    for (int c : columns)
        items << (c >= 0 && c < fieldCount() ? QStringLiteral("sum(%1)").arg(m_cnn->dialect().quoteName(m_names[c]))
                                             : QStringLiteral("0"));
    QSqlQuery q;
    const QString sql = QStringLiteral("select %1 from (%2) as sum_q").arg(items.join(u','), Tsql::withoutOrderBy(m_native));
    if (!m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql) || !q.next()) {
        const_cast<DataSet *>(this)->m_lastError = m_cnn->lastError();
        return totals;
    }
    if (m_count < 0) learnCount(q.value(0).toInt());   // the same pass counts the rows
    for (int i = 0; i < columns.size(); ++i) totals[i] = q.value(i + 1).toDouble();
    return totals;
}

// --- reader -------------------------------------------------------------

void DataSetReader::begin()
{
    const DataSet &ds = m_ds;
    if (ds.m_full) {
        m_mode = Mode::Memory;
        return;
    }
    if (!ds.m_keyOrder.isEmpty()) {
        m_keys = ds.m_keyOrder;   // a copy: a sort meanwhile does not shift this read
        m_keyColumn = ds.m_keyColumn;
        m_mode = Mode::Keys;
        return;
    }
    m_mode = Mode::Positions;
    const int keyColumn = ds.m_dbOrder.isEmpty() ? ds.rowKeyColumn() : -1;
    if (keyColumn < 0) return;
    // The keys alone, in the list's own order, read to the end at once. An
    // engine that refuses an ordered subquery (SQL Server) reads by position.
    QSqlQuery q;
    const QString sql = QStringLiteral("select %1 from (%2) as key_q")
                            .arg(ds.m_cnn->dialect().quoteName(ds.m_names[keyColumn]), ds.m_native);
    if (!ds.m_cnn->execNative(q, sql, ds.m_paramNames, ds.m_params, true, ds.m_sql)) return;
    QVector<qint64> keys;
    bool nullKey = false;
    while (q.next()) {
        nullKey = nullKey || q.value(0).isNull();
        keys << q.value(0).toLongLong();
    }
    if (q.lastError().isValid()) return;
    QVector<qint64> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    if (nullKey || std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) return;
    m_keys = std::move(keys);
    m_keyColumn = keyColumn;
    m_mode = Mode::Keys;
}

bool DataSetReader::readChunk()
{
    const DataSet &ds = m_ds;
    m_chunkStart += m_chunk.size();
    if (m_mode == Mode::Keys) {
        if (!ds.rowsByKeys(m_keys, m_keyColumn, m_chunkStart, kChunkRows, &m_chunk)) {
            m_error = ds.m_lastError;
            return false;
        }
        m_lastChunk = m_chunkStart + m_chunk.size() >= m_keys.size();
        return true;
    }
    QSqlQuery q;
    const QString sql = ds.m_cnn->dialect().pageSql(ds.orderedSql(), m_chunkStart, kChunkRows);
    if (!ds.m_cnn->execNative(q, sql, ds.m_paramNames, ds.m_params, true, ds.m_sql)) {
        m_error = ds.m_cnn->lastError();
        return false;
    }
    m_chunk = DataSet::readRows(q, ds.m_names.size());
    if (q.lastError().isValid()) {
        m_error = q.lastError().text();
        return false;
    }
    m_lastChunk = m_chunk.size() < kChunkRows;
    return true;
}

bool DataSetReader::next()
{
    if (m_mode == Mode::Done || !m_ds.m_active) return false;
    if (m_mode == Mode::Unstarted) begin();
    if (m_mode == Mode::Memory) {
        if (m_row + 1 >= m_ds.m_rows.size()) return false;
        ++m_row;
        return true;
    }
    for (;;) {
        ++m_row;
        if (m_row >= m_chunkStart + m_chunk.size()) {
            if (m_lastChunk || !readChunk() || m_chunk.isEmpty()) break;
        }
        // A row deleted since its key was read comes back without its key.
        if (m_mode != Mode::Keys || !m_chunk[m_row - m_chunkStart][m_keyColumn].isNull()) return true;
    }
    m_mode = Mode::Done;
    return false;
}

QVariant DataSetReader::value(int column) const
{
    if (m_row < 0 || column < 0 || column >= m_ds.fieldCount()) return {};
    if (m_mode == Mode::Memory) return m_ds.m_rows[m_ds.storageRow(m_row)].value(column);
    return m_chunk.value(m_row - m_chunkStart).value(column);
}

// --- sort ---------------------------------------------------------------

void DataSet::setSort(const QString &sortText)
{
    m_sortText = sortText;
    QVector<SortKey> keys;
    for (const QString &item : sortText.split(u',')) {
        const QStringList parts = item.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (parts.isEmpty()) continue;
        const int col = fieldIndex(parts[0]);
        if (col < 0) continue;
        keys.append({col, parts.size() > 1 && parts[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0});
    }
    if (!m_active) return;

    if (!m_full && recordCount() <= kMaterializeLimit) {
        m_dbOrder.clear();
        m_keyOrder.clear();
        fetchAll();
    }
    if (m_full) {
        m_order.clear();
        if (!keys.isEmpty()) {
            m_order.resize(m_rows.size());
            for (int i = 0; i < m_order.size(); ++i) m_order[i] = i;
            std::stable_sort(m_order.begin(), m_order.end(), [&](int x, int y) {
                for (const SortKey &key : keys) {
                    const int c = compareValues(m_rows[x][key.col], m_rows[y][key.col], m_kinds[key.col]);
                    if (c != 0) return key.desc ? c > 0 : c < 0;
                }
                return false;
            });
        }
    } else {
        m_keyOrder.clear();
        m_dbOrder.clear();
        if (!keys.isEmpty() && !sortByRowKeys(keys)) {
            // No unique row key to sort by: the database orders every page.
            // Every other column breaks ties, so each page (and a search)
            // sees the rows in one and the same order.
            QStringList order;
            QVector<bool> used(m_names.size(), false);
            for (const SortKey &key : keys) {
                order << m_cnn->dialect().orderItem(m_names[key.col], key.desc, m_kinds[key.col] == FieldKind::Text);
                used[key.col] = true;
            }
            for (int c = 0; c < m_names.size(); ++c)
                if (!used[c]) order << m_cnn->dialect().orderItem(m_names[c], false, m_kinds[c] == FieldKind::Text);
            m_dbOrder = QLatin1String("order by ") + order.join(u',');
        }
        m_pages.clear();
        m_lru.clear();
        ++m_generation;
    }
    emit rowsReset();
    setCurrent(isEmpty() ? -1 : 0);
}

int DataSet::rowKeyColumn() const
{
    int found = -1;
    for (int c = 0; c < m_names.size(); ++c) {
        if (m_names[c].compare(QLatin1String("F_ID"), Qt::CaseInsensitive) != 0) continue;
        if (found >= 0) return -1;   // a join with two: neither names a row
        found = c;
    }
    return found;
}

// Reads only the row keys and sort values of every row, sorts them as loaded
// rows would be sorted, and keeps the keys in that order; pages are then
// fetched by key. False when the rows have no unique key.
bool DataSet::sortByRowKeys(const QVector<SortKey> &keys)
{
    const int keyCol = rowKeyColumn();
    if (keyCol < 0) return false;
    const Dialect &d = m_cnn->dialect();
    QStringList cols {d.quoteName(m_names[keyCol])};
    for (const SortKey &k : keys) cols << d.quoteName(m_names[k.col]);
    QSqlQuery q;
    const QString sql = QStringLiteral("select %1 from (%2) as key_q").arg(cols.join(u','), m_native);
    if (!m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql)) return false;
    // Sort values read once into plain arrays: a million compares of
    // QVariants or of texts folded on every compare cost seconds.
    struct Column {
        bool number = false;
        QVector<double> numbers;
        QVector<QString> texts;    // case-folded; dates as their text
        QVector<quint64> prefix;   // the first four characters, to settle most compares without the text
        QVector<bool> null;
    };
    auto prefixOf = [](const QString &t) {
        quint64 p = 0;
        for (int i = 0; i < 4; ++i) p = (p << 16) | (i < t.size() ? t[i].unicode() : 0);
        return p;
    };
    QVector<Column> columns;
    for (const SortKey &k : keys) {
        const FieldKind kind = m_kinds[k.col];
        Column c;
        c.number = kind == FieldKind::Integer || kind == FieldKind::Float || kind == FieldKind::Bool;
        columns.append(c);
    }
    QVector<qint64> ids;
    while (q.next()) {
        ids << q.value(0).toLongLong();
        for (int k = 0; k < columns.size(); ++k) {
            const QVariant v = q.value(k + 1);
            Column &c = columns[k];
            c.null << v.isNull();
            if (c.number) {
                c.numbers << v.toDouble();
            } else {
                c.texts << (m_kinds[keys[k].col] == FieldKind::DateTime ? displayText(v, FieldKind::DateTime)
                                                                        : v.toString().toCaseFolded());
                c.prefix << prefixOf(c.texts.constLast());
            }
        }
    }
    QVector<qint64> unique = ids;
    std::sort(unique.begin(), unique.end());
    if (std::adjacent_find(unique.begin(), unique.end()) != unique.end()) return false;

    // The same order as compareValues gives loaded rows.
    QVector<int> order(ids.size());
    for (int i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        for (int k = 0; k < columns.size(); ++k) {
            const Column &col = columns[k];
            int c;
            if (col.null[x] || col.null[y])
                c = col.null[x] == col.null[y] ? 0 : (col.null[x] ? -1 : 1);
            else if (col.number)
                c = col.numbers[x] < col.numbers[y] ? -1 : (col.numbers[x] > col.numbers[y] ? 1 : 0);
            else if (col.prefix[x] != col.prefix[y])
                c = col.prefix[x] < col.prefix[y] ? -1 : 1;
            else
                c = col.texts[x].size() <= 4 && col.texts[y].size() <= 4 ? 0 : col.texts[x].compare(col.texts[y]);
            if (c != 0) return keys[k].desc ? c > 0 : c < 0;
        }
        return false;
    });
    m_keyOrder.resize(order.size());
    for (int i = 0; i < order.size(); ++i) m_keyOrder[i] = ids[order[i]];
    m_keyColumn = keyCol;
    m_count = int(m_keyOrder.size());
    return true;
}

// The rows of keys[from .. from + count), in that order. A row deleted
// since the keys were read comes back empty rather than shifting the others.
bool DataSet::rowsByKeys(const QVector<qint64> &keys, int keyColumn, int from, int count, QVector<Row> *out) const
{
    out->clear();
    count = qMin(count, int(keys.size()) - from);
    if (count <= 0) return true;
    QStringList list;
    QHash<qint64, int> position;
    for (int i = 0; i < count; ++i) {
        const qint64 id = keys[from + i];
        list << QString::number(id);
        position.insert(id, i);
    }
    QSqlQuery q;
    const QString sql = QStringLiteral("select * from (%1) as page_q where %2 in (%3)")
                            .arg(Tsql::withoutOrderBy(m_native), m_cnn->dialect().quoteName(m_names[keyColumn]),
                                 list.join(u','));
    if (!m_cnn->execNative(q, sql, m_paramNames, m_params, true, m_sql)) {
        const_cast<DataSet *>(this)->m_lastError = m_cnn->lastError();
        return false;
    }
    out->fill(Row(m_names.size()), count);
    for (Row &r : readRows(q, m_names.size())) {
        const int at = position.value(r[keyColumn].toLongLong(), -1);
        if (at >= 0) (*out)[at] = std::move(r);
    }
    return true;
}

// --- cached updates -----------------------------------------------------

void DataSet::setCachedUpdates(bool on, const QString &updateTable, const QString &keyField)
{
    m_cached = on;
    m_updateTable = updateTable;
    m_keyField = keyField;
}

bool DataSet::setFieldValue(const QString &field, const QVariant &value)
{
    const int col = fieldIndex(field);
    if (!m_cached || !m_full || col < 0 || m_cur < 0) return false;
    const int s = storageRow(m_cur);
    m_rows[s][col] = value;
    if (!m_inserted.contains(s) && !m_modified.contains(s)) m_modified.append(s);
    return true;
}

void DataSet::appendRecord()
{
    if (!m_cached || !m_full) return;
    m_rows.append(Row(m_names.size()));
    const int s = m_rows.size() - 1;
    m_inserted.append(s);
    if (!m_order.isEmpty()) m_order.append(s);
    m_count = m_rows.size();
    emit rowsReset();
    setRecNo(m_rows.size() - 1);
}

void DataSet::deleteRecord()
{
    if (!m_cached || !m_full || m_cur < 0) return;
    const int s = storageRow(m_cur);
    if (!m_inserted.contains(s)) m_deleted.append(m_rows[s]);
    m_rows.remove(s);
    auto shift = [s](QVector<int> &v) {
        v.removeAll(s);
        for (int &i : v)
            if (i > s) --i;
    };
    shift(m_inserted);
    shift(m_modified);
    if (!m_order.isEmpty()) shift(m_order);
    m_count = m_rows.size();
    const int next = qMin(m_cur, int(m_rows.size()) - 1);
    emit rowsReset();
    setCurrent(next);
    if (next > 0) m_bof = false;
}

bool DataSet::hasPendingUpdates() const
{
    return !m_modified.isEmpty() || !m_inserted.isEmpty() || !m_deleted.isEmpty();
}

bool DataSet::applyUpdates()
{
    if (!m_cached || !hasPendingUpdates()) return true;
    const Schema::TableDef *table = Schema::table(m_updateTable);
    const int keyCol = fieldIndex(m_keyField);
    if (!table || keyCol < 0) {
        m_lastError = QStringLiteral("无法保存：未知的数据表 %1").arg(m_updateTable);
        return false;
    }
    // Only real columns of the table are written; the key is assigned by the engine.
    QVector<int> cols;
    for (int c = 0; c < m_names.size(); ++c) {
        if (c == keyCol) continue;
        for (const Schema::ColumnDef &def : table->columns)
            if (def.name.compare(m_names[c], Qt::CaseInsensitive) == 0 && def.type != ColType::Identity) {
                cols << c;
                break;
            }
    }
    ScopedTransaction tx(*m_cnn);
    if (!tx.isActive()) {
        m_lastError = m_cnn->lastError();
        return false;
    }
    QSqlQuery q;
    const QString key = m_names[keyCol];
    for (const Row &r : std::as_const(m_deleted)) {
        Params p;
        p.set(QStringLiteral("key"), r[keyCol]);
        if (!m_cnn->exec(q, QStringLiteral("delete from %1 where %2 = :key").arg(m_updateTable, key), p)) {
            m_lastError = m_cnn->lastError();
            return false;
        }
    }
    for (int s : std::as_const(m_modified)) {
        QStringList sets;
        Params p;
        for (int c : cols) {
            sets << QStringLiteral("%1 = :p%2").arg(m_names[c]).arg(c);
            p.set(QStringLiteral("p%1").arg(c), m_rows[s][c]);
        }
        p.set(QStringLiteral("key"), m_rows[s][keyCol]);
        if (!m_cnn->exec(q, QStringLiteral("update %1 set %2 where %3 = :key").arg(m_updateTable, sets.join(u','), key), p)) {
            m_lastError = m_cnn->lastError();
            return false;
        }
    }
    for (int s : std::as_const(m_inserted)) {
        QStringList names, values;
        Params p;
        for (int c : cols) {
            names << m_names[c];
            values << QStringLiteral(":p%1").arg(c);
            p.set(QStringLiteral("p%1").arg(c), m_rows[s][c]);
        }
        if (!m_cnn->exec(q, QStringLiteral("insert into %1(%2) values(%3)").arg(m_updateTable, names.join(u','), values.join(u',')), p)) {
            m_lastError = m_cnn->lastError();
            return false;
        }
    }
    if (!tx.commit()) {
        m_lastError = m_cnn->lastError();
        return false;
    }
    // Re-read so new rows carry the keys the engine gave them.
    const int keep = m_cur;
    if (!open()) return false;
    setRecNo(keep);
    return true;
}

void DataSet::cancelUpdates()
{
    if (!m_cached) return;
    m_rows = m_original;
    m_order.clear();
    m_modified.clear();
    m_inserted.clear();
    m_deleted.clear();
    m_count = m_rows.size();
    emit rowsReset();
    setCurrent(m_rows.isEmpty() ? -1 : 0);
}
