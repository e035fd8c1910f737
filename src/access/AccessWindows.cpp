#include "access/AccessWindows.h"

#include "TfrmModPass.h"
#include "TfrmOperGl.h"

#include "app/Dialogs.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"

void provideAccessWindows()
{
    CommandRegistry &registry = CommandRegistry::instance();
    registry.provide(102, [](CustomerListHost &host) {
        TfrmModPass frm(host.hostWindow());
        Dialogs::current().execDialog(frm);
    });
    registry.provide(103, [](CustomerListHost &host) {
        TfrmOperGl frm(host.hostWindow());
        Dialogs::current().execDialog(frm);
    });
}
