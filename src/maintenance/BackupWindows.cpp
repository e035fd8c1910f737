#include "maintenance/BackupWindows.h"

void provideBackupWindows()
{
}
