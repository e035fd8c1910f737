// Statements as the windows write them, into every engine: the tokens give
// the statement back whole, and no string literal is changed (an empty one
// may go: isNull(col,'') before a pattern that needs a character is the column;
// a NUL goes everywhere before the statement is read, as it would end it).
#include "FuzzSupport.h"

#include "data/TsqlTranslator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString sql = QString::fromUtf8(Fuzz::bytes(data, size));
    const QVector<Tsql::Token> tokens = Tsql::tokenize(sql);
    QString joined;
    for (const Tsql::Token &t : tokens) joined += t.text;
    Fuzz::require(joined == sql, "the tokens do not give the statement back");
    // The engines are given the statement without its NULs, so its literals are those of that text.
    const QVector<Tsql::Token> sent = Tsql::tokenize(QString(sql).remove(QChar(u'\0')));
    for (const Tsql::Target target : {Tsql::Target::Sqlite, Tsql::Target::Postgres, Tsql::Target::Mssql}) {
        QStringList names;
        const QString out = Tsql::translate(sql, target, &names);
        for (const Tsql::Token &t : sent) {
            // A whole literal ('...' closed) stands in the result as it was.
            if (t.type == Tsql::Token::String && t.text.startsWith(u'\'') && t.text.size() > 2 && t.text.endsWith(u'\''))
                Fuzz::require(out.contains(t.text), "a string literal was changed");
        }
        bool hasLimit = false;
        Tsql::withoutOrderBy(out, &hasLimit);
    }
    return 0;
}
