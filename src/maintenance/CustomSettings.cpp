#include "CustomSettings.h"

#include "access/FieldLimit.h"
#include "data/TdmData.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>

QString keyValueUpdateSql() { return QStringLiteral("update KeyValue set F_Value = :value where F_ID = :id"); }

int keyValueLimit()
{
    const int limit = columnLimit(QStringLiteral("KeyValue"), QStringLiteral("F_Value"));
    return limit > 0 ? limit : 255;
}

bool KeyValueStore::write(const PubUnit::KeyValueList &values)
{
    Connection &cnn = m_dm.ADOcnn;
    m_rows = 0;
    DataSet rows(&cnn);
    rows.setSql(QStringLiteral("select * from KeyValue order by F_ID"));
    if (!rows.open()) {
        m_lastError = rows.lastError();
        return false;
    }
    QList<QVariant> ids;
    for (rows.first(); !rows.eof(); rows.next()) ids << rows.fieldByName(QStringLiteral("F_ID")).value();
    rows.close();
    m_rows = int(ids.size());

    ScopedTransaction transaction(cnn);
    auto failed = [&] {
        m_lastError = cnn.lastError();
        return false;
    };
    if (!transaction.isActive()) return failed();
    QSqlQuery q;
    for (int n = 1; n <= 15 && n <= ids.size(); ++n) {
        Params p;
        p.set(QStringLiteral("value"), values[n]);
        p.set(QStringLiteral("id"), ids.at(n - 1));
        if (!cnn.exec(q, keyValueUpdateSql(), p)) return failed();
    }
    if (!transaction.commit()) return failed();
    m_lastError.clear();
    return true;
}

QString keyValueRowsNote(int rows)
{
    if (rows < 15)
        return QStringLiteral("设置表 KeyValue 只有 %1 行，应有 15 行：第 %2 至 15 项没有保存。").arg(rows).arg(rows + 1);
    if (rows > 15)
        return QStringLiteral("设置表 KeyValue 有 %1 行，应有 15 行：第 16 行起的内容保持不变。").arg(rows);
    return {};
}

QStringList fcitx5ProfileNames(const QString &profileText)
{
    static const QRegularExpression item(QStringLiteral("^\\[Groups/\\d+/Items/\\d+\\]$"));
    QStringList names;
    bool inItem = false;
    for (const QString &raw : profileText.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inItem = item.match(line).hasMatch();
            continue;
        }
        if (inItem && line.startsWith(QLatin1String("Name="))) {
            const QString name = line.mid(5).trimmed();
            if (!name.isEmpty() && !names.contains(name)) names << name;
        }
    }
    return names;
}

QStringList ibusEngineNames(const QString &gsettingsText)
{
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    QStringList names;
    for (auto it = quoted.globalMatch(gsettingsText); it.hasNext();) {
        const QString name = it.next().captured(1).trimmed();
        if (!name.isEmpty() && !names.contains(name)) names << name;
    }
    return names;
}

QStringList installedInputMethods()
{
    QStringList names;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::home().filePath(QStringLiteral(".config"));
    QFile profile(QDir(config).filePath(QStringLiteral("fcitx5/profile")));
    if (profile.open(QIODevice::ReadOnly)) names << fcitx5ProfileNames(QString::fromUtf8(profile.readAll()));

    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (!gsettings.isEmpty()) {
        QProcess p;
        p.start(gsettings, {QStringLiteral("get"), QStringLiteral("org.freedesktop.ibus.general"),
                            QStringLiteral("preload-engines")});
        // A desktop without the ibus schema answers at once with an error; never wait long.
        if (p.waitForFinished(1500) && p.exitCode() == 0) {
            for (const QString &n : ibusEngineNames(QString::fromUtf8(p.readAllStandardOutput())))
                if (!names.contains(n)) names << n;
        } else {
            p.kill();
            p.waitForFinished(500);
        }
    }
    return names;
}
