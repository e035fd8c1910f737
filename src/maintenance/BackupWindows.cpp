#include "maintenance/BackupWindows.h"

#include "maintenance/TFrmDataBack.h"

#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"

void provideBackupWindows()
{
    CommandRegistry::instance().provide(503, [](CustomerListHost &host) {
        TFrmDataBack window(host.hostWindow());
        // After a restore the main window's lists show the restored archive.
        window.setAfterReconnect([&host] { host.reopenCustomerList(); });
        window.Execute();
    });
}
