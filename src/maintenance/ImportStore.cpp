#include "ImportStore.h"

#include "ImportPreview.h"
#include "ImportSql.h"

#include "data/Connection.h"
#include "data/Schema.h"

#include <QVector>
#include <memory>

namespace {

// Rows per statement: several rows per round trip, within the parameters
// every engine takes in one statement (SQL Server: 2,100).
int rowsPerStatement(int columns) { return qBound(1, 2000 / qMax(1, columns), 100); }

// The rows the table holds now; -1 when it cannot be counted.
qint64 rowsNow(Connection &cnn, const QString &table)
{
    QSqlQuery q;
    if (!cnn.exec(q, QStringLiteral("select count(*) from ") + table) || !q.next()) return -1;
    return q.value(0).toLongLong();
}

bool runAll(Connection &cnn, const QStringList &statements, QString *error)
{
    for (const QString &st : statements) {
        QSqlQuery q;
        if (!cnn.execNative(q, st, {}, {})) {
            *error = cnn.lastError();
            return false;
        }
    }
    return true;
}

} // namespace

ImportWriteResult writeImport(Connection &cnn, const QString &table, const ImportPreview &preview,
                              const std::function<void(int done, int total)> &progress)
{
    ImportWriteResult result;
    QStringList columns;
    QVector<int> index;
    for (int c = 0; c < preview.columnCount(); ++c)
        if (preview.isWritten(c)) {
            columns << preview.columns().at(c).field;
            index << c;
        }
    const int total = preview.rowCount();
    if (columns.isEmpty() || total == 0) {
        result.ok = true;
        return result;
    }
    const int batch = rowsPerStatement(int(columns.size()));

    ScopedTransaction tx(cnn);
    if (!tx.isActive()) {
        result.reason = cnn.lastError();
        return result;
    }
    // A batch larger than the table loads faster into it without its
    // secondary indexes, built again once the rows are in (all inside the
    // transaction: a failure brings them back as they were).
    const qint64 existing = total >= 10000 ? rowsNow(cnn, table) : -1;
    const bool rebuildIndexes = existing >= 0 && existing < total;
    if (rebuildIndexes && !runAll(cnn, Schema::dropIndexStatements(cnn.dialect(), table), &result.reason)) return result;
    std::unique_ptr<PreparedStatement> full, single;
    auto statement = [&](int rows, QString *error) -> PreparedStatement * {
        std::unique_ptr<PreparedStatement> &slot = rows == batch ? full : single;
        if (slot && rows == batch) return slot.get();
        QStringList names;
        const QString sql = importInsertSql(table, columns, rows, &names);
        slot = std::make_unique<PreparedStatement>(cnn, sql, names);
        if (!slot->prepare(error)) return nullptr;
        return slot.get();
    };
    QVector<QVariant> values;
    auto bind = [&](int from, int rows) {
        values.clear();
        for (int r = from; r < from + rows; ++r)
            for (int k = 0; k < index.size(); ++k)
                values << importValue(preview.columns().at(index.at(k)), preview.text(r, index.at(k)));
    };
    // Each batch in a savepoint, so that a refused one can be gone through
    // row by row for the row and the reason to show.
    auto runBatch = [&](int from, int rows, QString *error) -> bool {
        ScopedTransaction part(cnn);
        if (!part.isActive()) {
            *error = cnn.lastError();
            return false;
        }
        PreparedStatement *st = statement(rows, error);
        bind(from, rows);
        if (st && st->exec(values, error) && part.commit()) return true;
        if (error->isEmpty()) *error = cnn.lastError();
        return false;
    };
    auto findRefusedRow = [&](int from, int rows) {
        // The statement outlives the savepoint: it is freed only once the
        // savepoint's rollback has made the connection usable again.
        QStringList names;
        PreparedStatement one(cnn, importInsertSql(table, columns, 1, &names), names);
        QString error;
        if (!one.prepare(&error)) return;
        ScopedTransaction part(cnn);
        if (!part.isActive()) return;
        for (int r = from; r < from + rows; ++r) {
            bind(r, 1);
            if (!one.exec(values, &error)) {
                result.failedRow = r;
                result.reason = error;
                return;
            }
        }
    };
    for (int from = 0; from < total; from += batch) {
        const int rows = qMin(batch, total - from);
        QString error;
        if (!runBatch(from, rows, &error)) {
            result.reason = error;
            findRefusedRow(from, rows);
            return result;
        }
        if (progress) progress(from + rows, total);
    }
    if (rebuildIndexes && !runAll(cnn, Schema::indexStatements(cnn.dialect(), table), &result.reason)) return result;
    if (!tx.commit()) {
        result.reason = cnn.lastError();
        return result;
    }
    result.ok = true;
    return result;
}
