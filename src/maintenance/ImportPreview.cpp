#include "ImportPreview.h"

#include "data/Schema.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

ImportColumn::Kind kindOf(ColType t)
{
    switch (t) {
    case ColType::Identity:
    case ColType::Integer: return ImportColumn::Kind::Integer;
    case ColType::Float: return ImportColumn::Kind::Float;
    case ColType::Bit: return ImportColumn::Kind::Bool;
    case ColType::DateTime: return ImportColumn::Kind::Date;
    case ColType::Text: return ImportColumn::Kind::Text;
    case ColType::LongText: return ImportColumn::Kind::Memo;
    }
    return ImportColumn::Kind::Unknown;
}

bool parseNumber(QString t, double *out)
{
    t.remove(u' ');
    if (t.startsWith(u'￥') || t.startsWith(u'¥')) t.remove(0, 1);
    // Grouping commas as a sheet shows them ("1,234.50"), never a decimal comma.
    static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    if (grouped.match(t).hasMatch()) t.remove(u',');
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d)) return false;
    *out = d;
    return true;
}

bool parseDate(const QString &t, QString *out)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?"
        "(?:[ T]+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.\\d+)?)?)?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch()) m = compact.match(t);
    if (!m.hasMatch()) return false;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid()) return false;
    const QTime time = m.lastCapturedIndex() >= 5 ? QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt())
                                                  : QTime(0, 0);
    if (!time.isValid()) return false;
    *out = d.toString(QStringLiteral("yyyy-MM-dd"));
    if (time != QTime(0, 0)) *out += u' ' + time.toString(QStringLiteral("hh:mm:ss"));
    return true;
}

bool parseFlag(const QString &t, QString *out)
{
    static const QStringList yes = {QStringLiteral("1"), QStringLiteral("-1"), QStringLiteral("true"), QStringLiteral("√"),
                                    QStringLiteral("是"), QStringLiteral("y"), QStringLiteral("yes")};
    static const QStringList no = {QStringLiteral("0"), QStringLiteral("false"), QStringLiteral("×"),
                                   QStringLiteral("否"), QStringLiteral("n"), QStringLiteral("no")};
    const QString l = t.toLower();
    if (yes.contains(l)) *out = QStringLiteral("1");
    else if (no.contains(l)) *out = QStringLiteral("0");
    else return false;
    return true;
}

} // namespace

int sheetColumn(const QStringList &columns, const QString &name)
{
    int i = int(columns.indexOf(name));
    if (i >= 0) return i;
    auto plain = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))).toLower(); };
    const QString p = plain(name);
    for (i = 0; i < columns.size(); ++i)
        if (plain(columns.at(i)) == p) return i;
    return -1;
}

QList<ImportColumn> importColumns(const QString &table, const QList<ImportMapping> &mappings)
{
    const Schema::TableDef *def = Schema::table(table);
    QList<ImportColumn> cols;
    for (const ImportMapping &m : mappings) {
        ImportColumn c;
        c.field = m.sField;
        c.caption = m.fieldName;
        c.kind = ImportColumn::Kind::Unknown;
        if (def)
            for (const Schema::ColumnDef &d : def->columns)
                if (d.name.compare(m.sField, Qt::CaseInsensitive) == 0 && d.type != ColType::Identity) {
                    c.field = d.name;
                    c.kind = kindOf(d.type);
                    c.size = d.size;
                }
        cols << c;
    }
    return cols;
}

bool importText(const ImportColumn &column, const QString &cell, QString *stored)
{
    using K = ImportColumn::Kind;
    if (column.kind == K::Unknown) return false;
    if (column.kind == K::Memo) {
        *stored = cell;
        return true;
    }
    const QString t = cell.trimmed();
    if (t.isEmpty()) {
        stored->clear();
        return true;
    }
    switch (column.kind) {
    case K::Text:
        if (column.size > 0 && t.size() > column.size) return false;
        *stored = t;
        return true;
    case K::Float: {
        double d = 0;
        if (!parseNumber(t, &d)) return false;
        *stored = excelNumberText(d);
        return true;
    }
    case K::Integer: {
        double d = 0;
        if (!parseNumber(t, &d) || d != std::floor(d) || std::fabs(d) > 2147483647.0) return false;
        *stored = QString::number(qint64(d));
        return true;
    }
    case K::Bool: return parseFlag(t, stored);
    case K::Date: return parseDate(t, stored);
    case K::Memo:
    case K::Unknown: break;
    }
    return false;
}

QVariant importValue(const ImportColumn &column, const QString &stored)
{
    using K = ImportColumn::Kind;
    switch (column.kind) {
    case K::Text:
    case K::Memo: return stored.isNull() ? QVariant(QStringLiteral("")) : QVariant(stored);
    case K::Float: return stored.isEmpty() ? QVariant(QMetaType(QMetaType::Double)) : QVariant(stored.toDouble());
    case K::Integer: return stored.isEmpty() ? QVariant(QMetaType(QMetaType::Int)) : QVariant(stored.toInt());
    case K::Bool: return QVariant(stored == u"1" ? 1 : 0);
    case K::Date: return stored.isEmpty() ? QStringLiteral("1900-08-14") : stored;
    case K::Unknown: break;
    }
    return {};
}

void ImportPreview::reset(const QList<ImportColumn> &columns)
{
    m_columns = columns;
    m_cells = QVector<QVector<QString>>(columns.size());
    m_rows = 0;
}

void ImportPreview::allocate(int column)
{
    if (m_cells[column].isEmpty()) m_cells[column].resize(m_rows);
}

QString ImportPreview::text(int row, int column) const
{
    const QVector<QString> &c = m_cells.at(column);
    return row < c.size() ? c.at(row) : QString();
}

bool ImportPreview::setText(int row, int column, const QString &cell)
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns.size()) return false;
    QString stored;
    if (!importText(m_columns.at(column), cell, &stored)) return false;
    allocate(column);
    m_cells[column][row] = stored;
    return true;
}

void ImportPreview::removeRows(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= m_rows; }), rows.end());
    if (rows.isEmpty()) return;
    for (QVector<QString> &c : m_cells) {
        if (c.isEmpty()) continue;
        int to = 0, next = 0;
        for (int from = 0; from < c.size(); ++from) {
            if (next < rows.size() && rows.at(next) == from) {
                ++next;
                continue;
            }
            if (to != from) c[to] = std::move(c[from]);
            ++to;
        }
        c.resize(to);
    }
    m_rows -= int(rows.size());
}

void ImportPreview::appendRow(const QVector<QString> &stored, const QVector<int> &columns)
{
    for (int i = 0; i < columns.size(); ++i) {
        const int c = columns.at(i);
        allocate(c);
        m_cells[c].append(stored.at(i));
    }
    ++m_rows;
    // Written columns that this row did not name still get their (empty) cell.
    for (QVector<QString> &c : m_cells)
        if (!c.isEmpty() && c.size() < m_rows) c.resize(m_rows);
}

ImportBuild buildPreview(const SheetTable &sheet, const QList<ImportMapping> &mappings, ImportPreview *preview,
                         const std::function<bool(int done, int total)> &progress)
{
    ImportBuild result;
    QVector<int> targets, sources;
    QStringList sourceNames;
    for (int i = 0; i < mappings.size(); ++i) {
        if (mappings.at(i).fField.isEmpty()) continue;
        targets << i;
        sources << sheetColumn(sheet.columns, mappings.at(i).fField);
        sourceNames << mappings.at(i).fField;
    }
    if (targets.isEmpty()) return result;
    const int total = int(sheet.rows.size());
    QVector<QString> stored(targets.size());
    for (int r = 0; r < total; ++r) {
        const QStringList &row = sheet.rows.at(r);
        for (int k = 0; k < targets.size(); ++k) {
            const int s = sources.at(k);
            const QString cell = s >= 0 ? row.value(s) : QString();
            if (s < 0 || !importText(preview->columns().at(targets.at(k)), cell, &stored[k])) {
                result.ok = false;
                result.failedRow = r;
                result.failedColumn = sourceNames.at(k);
                result.failedText = cell;
                return result;
            }
        }
        preview->appendRow(stored, targets);
        if (progress && (r % 1024 == 1023) && !progress(r + 1, total)) {
            result.cancelled = true;
            return result;
        }
    }
    if (progress) progress(total, total);
    return result;
}
