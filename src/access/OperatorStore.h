#pragma once
// Writes operators and their rights without any window: the operator row,
// then its grants, all in one transaction; and the own password change.

#include <QString>
#include <QStringList>
#include <optional>

class TdmData;

struct OperatorRecord {
    QString name;          // trimmed
    QString password;      // clear text as typed
    QString mem;
    bool disabled = false;       // F_Flag
    bool ownClientsOnly = false; // F_xtFlag
    QStringList rights;          // right names (Limits.F_name), in list order
};

class OperatorStore {
public:
    explicit OperatorStore(TdmData &dm) : m_dm(dm) {}

    // Inserts the operator, or updates the row `editedId`, and replaces the
    // grants under its name. False: nothing is written, lastError() says why.
    bool save(const OperatorRecord &record, std::optional<qint64> editedId);
    // Stores the coded password into the operator row `id`.
    bool setPassword(qint64 id, const QString &clear);
    QString lastError() const { return m_lastError; }

private:
    TdmData &m_dm;
    QString m_lastError;
};
