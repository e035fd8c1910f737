#include "DataClear.h"

#include "data/TdmData.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

const std::array<const char *, 5> &dataClearCaptions()
{
    static const std::array<const char *, 5> c{"用户档案资料", "用户回访记录", "用户维修记录", "用户投诉记录", "选项设置"};
    return c;
}

QStringList dataClearStatements(const DataClearChoice &choice)
{
    static const char *const statements[] = {"delete from t_client", "delete from t_HFrec", "delete from t_WXrec",
                                             "delete from t_TSrec ", "delete from t_code"};
    QStringList s;
    for (size_t i = 0; i < choice.size(); ++i)
        if (choice[i]) s << QString::fromLatin1(statements[i]);
    return s;
}

QString clearBackupFileName(const QString &folder, const QDateTime &now)
{
    const QString day = TdmData::backupFileName(folder, now.date());
    if (!QFileInfo::exists(day)) return day;
    QString stamped = day;
    stamped.insert(stamped.size() - int(qstrlen(".back")), now.toString(QStringLiteral("_hhmmss")));
    return stamped;
}

bool DataClearStore::clear(const DataClearChoice &choice)
{
    Connection &cnn = m_dm.ADOcnn;
    ScopedTransaction transaction(cnn);
    auto failed = [&] {
        m_lastError = cnn.lastError();
        return false;
    };
    if (!transaction.isActive()) return failed();
    QSqlQuery q;
    for (const QString &sql : dataClearStatements(choice))
        if (!cnn.exec(q, sql)) return failed();
    if (!transaction.commit()) return failed();
    m_lastError.clear();
    return true;
}
