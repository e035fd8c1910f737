#pragma once
// The detail statistics windows (403-407) for their commands.

void provideStatisticsWindows();
