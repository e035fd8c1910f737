#include "maintenance/ImportWindows.h"

#include "TfrmExcelImport.h"

#include "app/Dialogs.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"

void provideImportWindows()
{
    // Customers kept elsewhere come into the archive; the main window's list
    // is not re-run, as after any import the operator checks the table.
    CommandRegistry::instance().provide(501, [](CustomerListHost &host) {
        TfrmExcelImport frm(QStringLiteral("t_client"), host.hostWindow());
        Dialogs::current().execDialog(frm);
    });
}
