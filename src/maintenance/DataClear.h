#pragma once
// Emptying whole tables: which statement each box stands for, and the
// deletes run together, all or nothing.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

class TdmData;

// Customers, return visits, repairs, complaints, code lists: the boxes in
// the window's order, which is also the order the tables are emptied in.
using DataClearChoice = std::array<bool, 5>;
const std::array<const char *, 5> &dataClearCaptions();
QStringList dataClearStatements(const DataClearChoice &choice);

// The file a backup before clearing goes to: the day's backup file, or,
// when that is already there, one named for the moment as well, so an
// earlier backup of the day is never overwritten.
QString clearBackupFileName(const QString &folder, const QDateTime &now);

class DataClearStore {
public:
    explicit DataClearStore(TdmData &dm) : m_dm(dm) {}
    // Runs the chosen deletes in one transaction; false: nothing is deleted.
    bool clear(const DataClearChoice &choice);
    QString lastError() const { return m_lastError; }

private:
    TdmData &m_dm;
    QString m_lastError;
};
