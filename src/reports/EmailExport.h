#pragma once
// The e-mail address file: every row's address that is not blank, exactly
// as stored, one a line (CR LF), in UTF-8. No widgets; the window shows the
// progress it is told.

#include "data/RowSource.h"

#include <QString>
#include <functional>
#include <memory>

class Connection;
class DataSet;

// Every customer's address, read front to back by one statement; nullptr
// with *error when it fails.
std::unique_ptr<RowSource> allCustomerEmails(Connection &cnn, QString *error);

// The rows of a list as it shows them, read front to back: a list in memory,
// or one the operator sorted, through its own rows; a long list in its own
// order again by its own statement in one pass, since paging it by keys
// costs a statement for every thousand rows. No list gives no rows.
std::unique_ptr<RowSource> listEmails(Connection &cnn, DataSet *list);

// Writes the F_email column of the rows to `path`, replacing the file only
// once it is complete. `progress` gets each row's number (1-based) and the
// row count. False with *error naming the path when it cannot be written.
bool writeEmailFile(RowSource &rows, const QString &path, const std::function<void(int row, int count)> &progress,
                    QString *error);
