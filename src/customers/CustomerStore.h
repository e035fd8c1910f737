#pragma once
// Writes customers without any window: the repeat look-ups of the editor's
// checks, the next generated code, the run's area id, and the save itself in
// one transaction, with a changed code carried into the service records.

#include "CustomerEditSql.h"

#include <QString>
#include <optional>

class TdmData;

// The row an edit changes: its id and the code it has in the table.
struct EditedCustomer {
    qint64 id = 0;
    QString code;
};

class CustomerStore {
public:
    explicit CustomerStore(TdmData &dm) : m_dm(dm) {}

    // True when another row holds `value` (trimmed, not empty) in `column`:
    // the first row found is not the edited one. A failed look-up has shown
    // its message and counts as no repeat.
    bool repeats(const QString &column, const QString &value, const std::optional<EditedCustomer> &edited) const;
    // A new customer code, never one in use; empty with *error set when
    // none can be formed.
    QString nextCode(QString *error) const;
    // The area id a save writes, from the one in force for the run: -1 for
    // no area; the one in force when it is a real id (1 or more); otherwise
    // the id of the area's caption (0 when there is none).
    int areaIdFor(const QString &area, int inForce) const;

    // Inserts the record, or updates the edited row and moves its service
    // records when the code changed, all or nothing. `areaId` is the run's
    // area id, updated by areaIdFor first. False: nothing is written and
    // lastError() says why.
    bool save(const CustomerRecord &record, const std::optional<EditedCustomer> &edited, const QString &empName,
              int &areaId);
    QString lastError() const { return m_lastError; }

private:
    TdmData &m_dm;
    QString m_lastError;
};
