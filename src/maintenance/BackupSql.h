#pragma once
// The statements of the backup window: its folder setting in SysInfo.

#include <QString>

QString backupFolderSql();
QString saveBackupFolderSql(const QString &folder);
