#pragma once
// A search that matches inside a text (like '%x%') cannot seek in an index.
// SQLite then walks the list's order index and reads every whole row, which
// on a million customers takes a third of a second when few rows match. The
// narrow search index can tell the matching row keys first, a tenth of the
// reading; the rows are then fetched by key. Only a plain one-table list
// qualifies; anything else is left as written.

#include <QList>
#include <QString>
#include <optional>

struct ContainsScan {
    QString table;
    QString where;   // the condition, as written
    QString order;   // "order by ..." as written, or empty
};

// The parts of `translatedSelect` when it is `select * from <table> where
// ... [order by ...]` with a contains pattern and no other clause.
std::optional<ContainsScan> containsScan(const QString &translatedSelect);

// The row keys of the matches, at most `limit` of them.
QString containsKeysSql(const ContainsScan &scan, int limit);
// The rows of those keys, in the list's order.
QString containsRowsSql(const ContainsScan &scan, const QList<qint64> &keys);
