#include "access/AccessWindows.h"

void provideAccessWindows()
{
}
