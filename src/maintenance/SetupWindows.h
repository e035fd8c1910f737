#pragma once
// Company information (101), custom settings (106) and data clearing (502) for their commands.

void provideSetupWindows();
