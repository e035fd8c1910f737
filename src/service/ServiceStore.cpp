#include "ServiceStore.h"

#include "data/TdmData.h"

#include <QSqlQuery>

bool ServiceStore::save(ServiceKind kind, const ServiceRecord &record, std::optional<qint64> editedId,
                        qint64 *savedId)
{
    Connection &cnn = m_dm.ADOcnn;
    const Params params = serviceParams(kind, record, editedId, QDate::currentDate());
    ScopedTransaction transaction(cnn);
    auto failed = [&] {
        m_lastError = cnn.lastError();
        return false;
    };
    if (!transaction.isActive()) return failed();
    QSqlQuery q;
    if (!cnn.exec(q, editedId ? serviceUpdateSql(kind) : serviceInsertSql(kind), params)) return failed();
    // An update that found no row wrote nothing: someone deleted the record meanwhile.
    if (editedId && q.numRowsAffected() == 0) {
        m_lastError = QStringLiteral("record %1 is gone").arg(*editedId);
        return false;
    }
    const qint64 id = editedId ? *editedId : q.lastInsertId().toLongLong();
    if (!transaction.commit()) return failed();
    m_lastError.clear();
    if (savedId) *savedId = id;
    const ServiceKindData &data = serviceKindData(kind);
    m_dm.WriteLog(QString::fromUtf8(editedId ? data.logEdit : data.logNew));
    return true;
}
