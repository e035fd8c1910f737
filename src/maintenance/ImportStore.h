#pragma once
// Writes an import's preview rows to the target table, apart from any
// window: all rows in one transaction or none. Only the columns the
// preview writes are named; the table's defaults fill the others.

#include <QString>
#include <functional>

class Connection;
class ImportPreview;

struct ImportWriteResult {
    bool ok = false;
    int failedRow = -1;   // preview row whose insert the server refused; -1 when none is known
    QString reason;       // the server's message
};

// progress(done, total) after each batch of rows.
ImportWriteResult writeImport(Connection &cnn, const QString &table, const ImportPreview &preview,
                              const std::function<void(int done, int total)> &progress = {});
