#pragma once
// The client-side result set the windows call a query (QryMain, QryPub, ...).
//
// Small results are fetched whole. Large ones are read in pages as they are
// asked for (a bounded page cache, a generation counter that drops stale
// pages after a re-query), so a million-row list costs only what is shown.
// The cursor behaves as the windows expect: Prior on the first row sets Bof
// without moving, Next on the last sets Eof.

#include "Connection.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <list>
#include <memory>

enum class FieldKind { Text, Integer, Float, Bool, DateTime };

class DataSet;

// A field of the current row, as Delphi code reads it (AsString, AsInteger, ...).
class Field {
public:
    Field(const DataSet *ds, int column) : m_ds(ds), m_col(column) {}
    bool isValid() const { return m_col >= 0; }
    QString name() const;
    FieldKind kind() const;
    QVariant value() const;
    bool isNull() const;
    // Dates as yyyy-MM-dd (with hh:mm:ss when there is a time), booleans "True"/"False".
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    bool asBoolean() const;

private:
    const DataSet *m_ds;
    int m_col;
};

class DataSet : public QObject {
    Q_OBJECT
    friend class DataSetReader;
public:
    explicit DataSet(Connection *cnn, QObject *parent = nullptr);
    ~DataSet() override;

    Connection *connection() const { return m_cnn; }

    void setSql(const QString &tsql);
    QString sql() const { return m_sql; }
    Params &params() { return m_params; }
    void setParam(const QString &name, const QVariant &value) { m_params.set(name, value); }

    bool open();                      // false: lastError(), the set stays closed
    void close();
    bool execSql(int *rowsAffected = nullptr);
    bool isActive() const { return m_active; }
    QString lastError() const { return m_lastError; }

    // Rows: a small set is whole; a large set counts with one extra statement
    // the first time the count is asked for.
    int recordCount() const;
    bool isEmpty() const;
    // Whether recordCount() can answer without a statement.
    bool isRecordCountKnown() const { return !m_active || m_full || m_count >= 0; }
    // The rows known to exist without a statement: the count once known,
    // otherwise the rows of the first page.
    int knownRecordCount() const;
    // A count made on a reader of its own for this opening of the set;
    // ignored once the set knows its count.
    void setRecordCount(int count);
    // Totals of columns made on a reader of its own for this opening;
    // sums() of a large set then answers them without a statement.
    void setSums(const QVector<int> &columns, const QVector<double> &totals);
    bool hasSums(const QVector<int> &columns) const;

    // Cursor.
    int recNo() const { return m_cur; }   // 0-based, -1 when empty
    void setRecNo(int row);
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int delta);
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }

    // Fields, found by name without regard to case.
    int fieldCount() const { return int(m_names.size()); }
    QString fieldName(int column) const { return m_names.value(column); }
    int fieldIndex(const QString &name) const;
    FieldKind fieldKind(int column) const { return m_kinds.value(column, FieldKind::Text); }
    Field fieldByName(const QString &name) const { return Field(this, fieldIndex(name)); }
    Field field(int column) const { return Field(this, column); }

    // Random access for models and exports (row in sort order).
    QVariant value(int row, int column) const;
    static QString displayText(const QVariant &v, FieldKind kind);

    // The total of a column over every row (a large set asks the database).
    double sum(int column) const;
    // Several totals at once; a large set counts its rows in the same pass,
    // so a list with footers reads its table once, not once per total.
    QVector<double> sums(const QVector<int> &columns) const;

    // The first row (in sort order) whose value in the column satisfies match,
    // -1 when none. A long list reads only that column.
    int findRow(int column, const std::function<bool(const QVariant &)> &match) const;

    // Moves to the first row whose field equals the value (texts compared
    // without regard to case when caseInsensitive). False leaves the cursor.
    bool locate(const QString &field, const QVariant &value, bool caseInsensitive = true);

    // "F_code ASC,F_name DESC": empty text clears, empty items are ignored,
    // unknown fields are skipped.
    void setSort(const QString &sortText);
    QString sort() const { return m_sortText; }

    // Cached updates: changes stay in memory until applyUpdates() writes them
    // in one transaction (insert/update/delete against updateTable by keyField).
    void setCachedUpdates(bool on, const QString &updateTable = {}, const QString &keyField = QStringLiteral("F_ID"));
    bool cachedUpdates() const { return m_cached; }
    bool setFieldValue(const QString &field, const QVariant &value);   // current row
    void appendRecord();                                               // new row, made current
    void deleteRecord();                                               // current row
    bool hasPendingUpdates() const;
    bool applyUpdates();
    void cancelUpdates();

    // True once every row is in memory.
    bool isFullyFetched() const { return m_full; }

signals:
    void opened();
    void closed();
    void currentRowChanged(int row);
    void rowsReset();
    // A long set learnt its row count (a view showing the first page grows to it).
    void recordCountKnown(int count);
    void sumsKnown();                   // after setSums

private:
    using Row = QVector<QVariant>;
    struct Page {
        int generation = 0;
        QVector<Row> rows;
    };

    struct SortKey {
        int col;
        bool desc;
    };

    static QVector<Row> readRows(QSqlQuery &q, int columns);
    int rowKeyColumn() const;
    bool sortByRowKeys(const QVector<SortKey> &keys);
    bool rowsByKeys(const QVector<qint64> &keys, int keyColumn, int from, int count, QVector<Row> *out) const;
    QString orderedSql() const;   // the statement with the sort applied in the database
    bool fetchAll();
    bool openByMatchingKeys(bool *traced);
    bool fetchPage(int page) const;
    const Row *rowAt(int row) const;   // in storage order
    int storageRow(int row) const;     // sort order -> storage order
    void setupFields(const QSqlRecord &rec);
    QString countSql() const;
    void learnCount(int count) const;
    void setCurrent(int row);
    void resetState();
    bool applySortInDatabase(const QString &orderBy);

    Connection *m_cnn;
    QString m_sql;
    QString m_native;              // translated select
    QStringList m_paramNames;
    Params m_params;
    bool m_active = false;
    QString m_lastError;

    QStringList m_names;
    QHash<QString, int> m_index;   // lower-case name -> column
    QVector<FieldKind> m_kinds;

    // whole set
    bool m_full = false;
    QVector<Row> m_rows;
    QVector<int> m_order;          // sort permutation (empty: storage order)

    // paged set
    static constexpr int kPageRows = 500;
    static constexpr int kMaxPages = 32;
    bool m_hasRows = false;        // a paged set may drop its first page from the cache
    mutable int m_count = -1;
    QHash<int, double> m_knownSums;   // column -> total, given by setSums
    mutable QHash<int, Page> m_pages;
    mutable std::list<int> m_lru;
    int m_generation = 0;
    QString m_dbOrder;             // order by applied in the database for a paged set
    QVector<qint64> m_keyOrder;    // a sorted paged set: the row key (F_ID) of every row in order
    int m_keyColumn = -1;

    int m_cur = -1;
    bool m_bof = true;
    bool m_eof = true;
    QString m_sortText;

    // cached updates
    bool m_cached = false;
    QString m_updateTable;
    QString m_keyField;
    QVector<int> m_modified;       // storage rows changed
    QVector<int> m_inserted;       // storage rows appended
    QVector<Row> m_deleted;        // original rows removed
    QVector<Row> m_original;       // copy at open, for cancel
};

// Reads every row in sort order once, front to back, for exports, prints and
// reports, without moving the set's cursor: the rows in memory for a whole
// set; for a long list, chunks of rows by their row keys (read first, in
// the list's order), or by position when the rows have no unique key. Each
// chunk is one statement read to its end, so other statements may run on
// the connection between two rows (a repaint, a look-up): a statement left
// streaming would be thrown away by them on some engines. A row deleted
// since the keys were read is skipped.
class DataSetReader {
public:
    explicit DataSetReader(const DataSet &ds) : m_ds(ds) {}
    bool next();                        // false past the last row, or on error()
    QVariant value(int column) const;   // of the current row
    QString error() const { return m_error; }

private:
    using Row = QVector<QVariant>;
    enum class Mode { Unstarted, Memory, Keys, Positions, Done };
    static constexpr int kChunkRows = 1000;
    void begin();
    bool readChunk();

    const DataSet &m_ds;
    Mode m_mode = Mode::Unstarted;
    QVector<qint64> m_keys;      // every row's key, in the list's order
    int m_keyColumn = -1;
    QVector<Row> m_chunk;
    int m_chunkStart = 0;        // position of m_chunk's first row
    bool m_lastChunk = false;
    int m_row = -1;              // position in the list's order
    QString m_error;
};
