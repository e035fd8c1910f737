#include "EmailExport.h"

#include "AwokeSql.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/Dialect.h"

#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// One statement read to its end: a million addresses cost one pass, where
// paging the list would read the table over and over. Nothing else runs on
// the connection while it is read.
class StreamedRows : public RowSource {
public:
    StreamedRows(QSqlQuery query, int count) : m_q(std::move(query)), m_count(count) {}
    QStringList fieldNames() const override
    {
        QStringList names;
        const QSqlRecord r = m_q.record();
        for (int i = 0; i < r.count(); ++i) names << r.fieldName(i);
        return names;
    }
    int rowCount() const override { return m_count; }
    bool start() override { return !m_started && (m_started = true); }
    bool nextRow() override
    {
        if (m_q.next()) return true;
        if (m_q.lastError().isValid()) m_error = m_q.lastError().text();
        return false;
    }
    QVariant value(int column) const override { return m_q.value(column); }
    QString text(int column) const override { return m_q.value(column).toString(); }
    QString error() const override { return m_error; }

private:
    QSqlQuery m_q;
    int m_count;
    bool m_started = false;
    QString m_error;
};

} // namespace

std::unique_ptr<RowSource> allCustomerEmails(Connection &cnn, QString *error)
{
    QSqlQuery count(cnn.database());
    if (!cnn.exec(count, QStringLiteral("select count(*) from t_client")) || !count.next()) {
        *error = cnn.lastError();
        return nullptr;
    }
    const int rows = count.value(0).toInt();
    count.finish();
    QSqlQuery q(cnn.database());
    if (!cnn.exec(q, emailAllSql())) {
        *error = cnn.lastError();
        return nullptr;
    }
    return std::make_unique<StreamedRows>(std::move(q), rows);
}

std::unique_ptr<RowSource> listEmails(Connection &cnn, DataSet *list)
{
    const QList<SourceColumn> email{{QStringLiteral("F_email"), {}, {}, false}};
    if (!list || !list->isActive() || list->isFullyFetched() || !list->sort().isEmpty())
        return std::make_unique<DataSetSource>(list, email);
    const int rows = list->recordCount();
    // Only the address of each row, in the list's order: SQLite and
    // PostgreSQL keep an ordered subquery's order for a plain scan of it,
    // and reading every column of a million rows would cost more than the
    // file. An engine that refuses an ordered subquery (SQL Server) gets the
    // list's own rows.
    QStringList names;
    const QString native = cnn.dialect().translate(list->sql(), &names);
    QSqlQuery q(cnn.database());
    if (!cnn.execNative(q, QStringLiteral("select F_email from (%1) as email_q").arg(native), names, list->params(), true,
                        list->sql()))
        return std::make_unique<DataSetSource>(list, email);
    return std::make_unique<StreamedRows>(std::move(q), rows);
}

bool writeEmailFile(RowSource &rows, const QString &path, const std::function<void(int row, int count)> &progress,
                    QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法建立文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    const int column = rows.columnOf(QStringLiteral("F_email"));
    const int count = rows.rowCount();
    QByteArray buffer;
    int row = 0;
    if (rows.start()) {
        while (rows.nextRow()) {
            const QString email = column < 0 ? QString() : rows.value(column).toString();
            if (!email.trimmed().isEmpty()) buffer += email.toUtf8() + "\r\n";
            if (buffer.size() > (1 << 16)) {
                if (file.write(buffer) != buffer.size()) break;
                buffer.clear();
            }
            progress(++row, count);
        }
    }
    if (!rows.error().isEmpty()) {
        file.cancelWriting();
        *error = QStringLiteral("读取客户电子信箱失败：%1").arg(rows.error());
        return false;
    }
    if (file.write(buffer) != buffer.size() || !file.commit()) {
        *error = QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    return true;
}
