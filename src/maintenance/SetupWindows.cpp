#include "maintenance/SetupWindows.h"

void provideSetupWindows()
{
}
