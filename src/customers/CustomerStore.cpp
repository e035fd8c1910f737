#include "CustomerStore.h"

#include "data/TdmData.h"

#include <QSqlQuery>

bool CustomerStore::repeats(const QString &column, const QString &value,
                            const std::optional<EditedCustomer> &edited) const
{
    const QString v = value.trimmed();
    if (v.isEmpty()) return false;
    const int found = m_dm.GetIntValue(customerRepeatSql(column, v));
    return found > 0 && (!edited || found != edited->id);
}

QString CustomerStore::nextCode(QString *error) const
{
    try {
        return m_dm.NextCode(QStringLiteral("t_client"), QStringLiteral("F_code"), 8);
    } catch (const DbError &e) {
        if (error) *error = QString::fromStdString(e.what());
        return {};
    }
}

int CustomerStore::areaIdFor(const QString &area, int inForce) const
{
    const QString a = area.trimmed();
    if (a.isEmpty()) return -1;
    if (inForce >= 1) return inForce;
    return m_dm.GetIntValue(areaIdSql(a));
}

bool CustomerStore::save(const CustomerRecord &record, const std::optional<EditedCustomer> &edited,
                         const QString &empName, int &areaId)
{
    areaId = areaIdFor(record.area, areaId);
    const Params params = customerParams(record, areaId, empName,
                                         edited ? std::optional<qint64>(edited->id) : std::nullopt);
    Connection &cnn = m_dm.ADOcnn;
    ScopedTransaction transaction(cnn);
    auto failed = [&] {
        m_lastError = cnn.lastError();
        return false;
    };
    if (!transaction.isActive()) return failed();
    QSqlQuery q;
    if (!cnn.exec(q, edited ? customerUpdateSql() : customerInsertSql(), params)) return failed();
    // The service records follow the customer to its new code.
    const QString code = record.code.trimmed();
    if (edited && code != edited->code)
        for (const QString &sql : serviceCodeChangeSql(code, edited->code))
            if (!cnn.exec(q, sql)) return failed();
    if (!transaction.commit()) return failed();
    m_lastError.clear();
    return true;
}
