#pragma once
// The password and operator windows (102, 103) for their commands.

void provideAccessWindows();
