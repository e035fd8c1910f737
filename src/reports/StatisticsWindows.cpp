#include "reports/StatisticsWindows.h"

void provideStatisticsWindows()
{
}
