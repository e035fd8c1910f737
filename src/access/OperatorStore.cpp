#include "OperatorStore.h"

#include "OperatorSql.h"

#include "app/Companion.h"
#include "data/TdmData.h"

#include <QSqlQuery>

bool OperatorStore::save(const OperatorRecord &record, std::optional<qint64> editedId)
{
    Connection &cnn = m_dm.ADOcnn;
    ScopedTransaction transaction(cnn);
    auto failed = [&] {
        m_lastError = cnn.lastError();
        return false;
    };
    if (!transaction.isActive()) return failed();

    Params p;
    p.set(QStringLiteral("fName"), record.name);
    p.set(QStringLiteral("fPassword"), SavePass(record.password));
    p.set(QStringLiteral("mem"), record.mem);
    p.set(QStringLiteral("fFlag"), record.disabled);
    p.set(QStringLiteral("xtFlag"), record.ownClientsOnly);
    if (editedId) p.set(QStringLiteral("iID"), *editedId);
    QSqlQuery q;
    if (!cnn.exec(q, editedId ? operatorUpdateSql() : operatorInsertSql(), p)) return failed();
    // Another workstation deleted the operator meanwhile: nothing to save into.
    if (editedId && q.numRowsAffected() == 0) {
        m_lastError = QStringLiteral("operator %1 is gone").arg(*editedId);
        return false;
    }
    if (!cnn.exec(q, deleteOperLimitSql(record.name))) return failed();
    for (const QString &right : record.rights)
        if (!cnn.exec(q, insertOperLimitSql(record.name, right))) return failed();
    if (!transaction.commit()) return failed();
    m_lastError.clear();
    return true;
}

bool OperatorStore::setPassword(qint64 id, const QString &clear)
{
    Connection &cnn = m_dm.ADOcnn;
    Params p;
    p.set(QStringLiteral("fPassword"), SavePass(clear));
    p.set(QStringLiteral("iID"), id);
    QSqlQuery q;
    if (!cnn.exec(q, passwordUpdateSql(), p)) {
        m_lastError = cnn.lastError();
        return false;
    }
    if (q.numRowsAffected() == 0) {
        m_lastError = QStringLiteral("operator %1 is gone").arg(id);
        return false;
    }
    m_lastError.clear();
    return true;
}
