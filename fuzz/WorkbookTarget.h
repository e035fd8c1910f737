#pragma once
// One spreadsheet reader fed any bytes: it opens the file and reads every
// table, or says why not.

#include "FuzzSupport.h"

#include "maintenance/Workbook.h"

namespace Fuzz {

// The readers' messages are the program's own, in Chinese; a bare library
// text ("Unknown error") is no answer for the counter.
inline bool ownMessage(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
}

using WorkbookOpener = std::unique_ptr<Workbook> (*)(const QString &path, QString *error);

inline int readWorkbook(const uint8_t *data, size_t size, const QString &name, WorkbookOpener open)
{
    QString error;
    std::unique_ptr<Workbook> book = open(inputFile(bytes(data, size), name), &error);
    if (!book) {
        require(ownMessage(error), "a refused workbook gives no message of ours");
        return 0;
    }
    for (const QString &table : book->tableNames()) {
        qint64 rows = 0;
        const bool read = book->read(
            table,
            [&rows](QStringList &&cells) {
                require(cells.size() <= Workbook::kMaxColumns, "a row has more cells than a sheet");
                require(++rows <= Workbook::kMaxRows, "a table has more rows than a sheet");
                return true;
            },
            {}, &error);
        require(read || ownMessage(error), "a failed reading gives no message of ours");
    }
    return 0;
}

} // namespace Fuzz
