#include "maintenance/ImportWindows.h"

void provideImportWindows()
{
}
