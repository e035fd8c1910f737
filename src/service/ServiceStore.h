#pragma once
// Writes service records without any window: the insert or update of one
// record in a transaction, then the operation log.

#include "ServiceEditSql.h"

class TdmData;

class ServiceStore {
public:
    explicit ServiceStore(TdmData &dm) : m_dm(dm) {}

    // Inserts the record, or updates the row `editedId`, all or nothing, and
    // logs the save. *savedId receives the row's id (a new row's when the
    // engine tells it, else 0). False: nothing is written and lastError() says why.
    bool save(ServiceKind kind, const ServiceRecord &record, std::optional<qint64> editedId,
              qint64 *savedId = nullptr);
    QString lastError() const { return m_lastError; }

private:
    TdmData &m_dm;
    QString m_lastError;
};
