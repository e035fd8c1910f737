#include "maintenance/SetupWindows.h"

#include "TFrmDataClear.h"
#include "TFrmUserInfo.h"
#include "TfrmZDYset.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"

void provideSetupWindows()
{
    CommandRegistry &registry = CommandRegistry::instance();
    registry.provide(101, [](CustomerListHost &host) {
        TFrmUserInfo frm(host.hostWindow());
        Dialogs::current().execDialog(frm);
    });
    registry.provide(106, [](CustomerListHost &host) {
        TfrmZDYset frm(host.hostWindow());
        DispFormPos(&frm, 1);
        if (Dialogs::current().execDialog(frm) == QDialog::Accepted) host.applySettings();
    });
    registry.provide(502, [](CustomerListHost &host) {
        TFrmDataClear frm(host.hostWindow());
        Dialogs::current().execDialog(frm);
        // The main window's lists may show rows that are gone now.
        host.reopenCustomerList();
    });
}
