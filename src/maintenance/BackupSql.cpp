#include "BackupSql.h"

#include "data/SqlText.h"

QString backupFolderSql() { return QStringLiteral("Select F_BakPath from SysInfo"); }

QString saveBackupFolderSql(const QString &folder)
{
    return QStringLiteral("update sysInfo set F_bakPath = '") + sqlValue(folder) + QStringLiteral("' ");
}
