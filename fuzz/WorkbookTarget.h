#pragma once
// One spreadsheet reader fed any bytes: it opens the file and reads every
// table, or says why not.

#include "FuzzSupport.h"

#include "maintenance/Workbook.h"

namespace Fuzz {

using WorkbookOpener = std::unique_ptr<Workbook> (*)(const QString &path, QString *error);

inline int readWorkbook(const uint8_t *data, size_t size, const QString &name, WorkbookOpener open)
{
    QString error;
    std::unique_ptr<Workbook> book = open(inputFile(bytes(data, size), name), &error);
    if (!book) {
        require(!error.isEmpty(), "a refused workbook gives no message");
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
        require(read || !error.isEmpty(), "a failed reading gives no message");
    }
    return 0;
}

} // namespace Fuzz
