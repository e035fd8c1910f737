#pragma once
// The spreadsheet import wizard (501) for its command.

void provideImportWindows();
