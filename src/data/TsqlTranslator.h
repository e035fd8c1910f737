#pragma once
// Rewrites T-SQL, as the windows write it, into SQLite or PostgreSQL. Works
// on tokens, so nothing inside a string literal is ever touched.

#include <QString>
#include <QStringList>
#include <QVector>

namespace Tsql {

enum class Target { Sqlite, Postgres, Mssql };

struct Token {
    enum Type { Space, Comment, String, QuotedName, Word, Number, Param, Punct };
    Type type;
    QString text;
};

QVector<Token> tokenize(const QString &sql);

// `:name` parameters become `?`; their names are returned in order of use.
QString translate(const QString &tsql, Target target, QStringList *paramNames = nullptr);

// The statement without its last top-level ORDER BY clause (for counting and
// re-sorting); *hasLimit tells whether it ends in a LIMIT of its own.
QString withoutOrderBy(const QString &sql, bool *hasLimit = nullptr);

} // namespace Tsql
