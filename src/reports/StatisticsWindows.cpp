#include "reports/StatisticsWindows.h"

#include "components/CommandRegistry.h"
#include "reports/DetailStatWindow.h"

void provideStatisticsWindows()
{
    for (DetailStatKind kind : kDetailStatKinds)
        CommandRegistry::instance().provide(detailStatFamily(kind).rightCode,
                                            [kind](CustomerListHost &host) { OpenDetailStat(kind, host); });
}
