#pragma once
// Backup and restore (503) for its command.

void provideBackupWindows();
