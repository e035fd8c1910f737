#include "ServerBackupSql.h"
#include "SqlText.h"

namespace {
QString bracketed(const QString &name) { return u'[' + QString(name).replace(u']', QLatin1String("]]")) + u']'; }
} // namespace

namespace ServerBackupSql {

QString backup(const QString &database, const QString &file)
{
    return QStringLiteral("Backup DataBase ") + bracketed(database) + QStringLiteral(" to Disk = '") + sqlValue(file)
           + QStringLiteral("' with Init ");
}

QString restore(const QString &database, const QString &file)
{
    return QStringLiteral("Restore DataBase ") + bracketed(database) + QStringLiteral(" from Disk = '") + sqlValue(file)
           + QStringLiteral("' with Replace");
}

QString killProcedureCount()
{
    return QStringLiteral("use master SELECT count(*) FROM sysobjects WHERE (name = 'yh_killspid')");
}

QStringList killProcedureLines()
{
    return {QStringLiteral("CREATE procedure yh_killspid(@dbid varchar(20))"),
            QStringLiteral("as"),
            QStringLiteral("begin"),
            QStringLiteral("declare @sql nvarchar(500)"),
            QStringLiteral("declare @spid int"),
            QStringLiteral("set @sql='declare getspid cursor for"),
            QStringLiteral("select spid from sysprocesses where dbid=db_id('''+@dbid+''')'"),
            QStringLiteral("exec (@sql)"),
            QStringLiteral("open getspid"),
            QStringLiteral("fetch next from getspid into @spid"),
            QStringLiteral("while @@fetch_status<>-1"),
            QStringLiteral("begin"),
            QStringLiteral("exec('kill '+@spid)"),
            QStringLiteral("fetch next from getspid into @spid"),
            QStringLiteral("end"),
            QStringLiteral("close getspid"),
            QStringLiteral("deallocate getspid"),
            QStringLiteral("end")};
}

QString killConnections(const QString &database)
{
    return QStringLiteral("use master exec yh_killspid '") + sqlValue(database) + QStringLiteral("' ");
}

} // namespace ServerBackupSql
