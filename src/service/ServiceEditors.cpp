#include "ServiceEditors.h"

#include "ServiceListWindow.h"
#include "TfrmHFrecEdit.h"
#include "TfrmTSrecEdit.h"
#include "TfrmWXrecEdit.h"

#include "app/Companion.h"
#include "components/CommandRegistry.h"
#include "components/CustomerListHost.h"

#include <memory>

namespace {

// The main window while one of its list windows is open: an editor opened
// from the list reopens the main window's detail list too.
CustomerListHost *g_listHost = nullptr;

std::unique_ptr<TfrmServiceEdit> makeEditor(ServiceKind kind, CustomerListHost *host, QWidget *parent)
{
    switch (kind) {
    case ServiceKind::Repair: return std::make_unique<TfrmWXrecEdit>(host, parent);
    case ServiceKind::ReturnVisit: return std::make_unique<TfrmHFrecEdit>(host, parent);
    case ServiceKind::Complaint: return std::make_unique<TfrmTSrecEdit>(host, parent);
    }
    return {};
}

} // namespace

void EditFromMain(ServiceKind kind, int mode, CustomerListHost &host)
{
    const std::unique_ptr<TfrmServiceEdit> editor = makeEditor(kind, &host, host.hostWindow());
    DispFormPos(editor.get(), 1);
    editor->SetFromMain(true);
    editor->OpenEditor(mode);
}

void EditFromList(ServiceKind kind, int mode, DataSet &list, QWidget *parent,
                  const std::function<void(long long savedId)> &saved)
{
    const std::unique_ptr<TfrmServiceEdit> editor = makeEditor(kind, g_listHost, parent);
    DispFormPos(editor.get(), 1);
    editor->setSourceList(&list, [saved](qint64 id) {
        if (saved) saved(id);
    });
    editor->OpenEditor(mode);
}

void provideServiceWindows()
{
    CommandRegistry &registry = CommandRegistry::instance();
    // The detail tab chosen decides which record the new and edit commands mean.
    registry.provide(901, [](CustomerListHost &host) {
        EditFromMain(ServiceKind(host.currentDetailTab()), TfrmServiceEdit::NewMode, host);
    });
    registry.provide(902, [](CustomerListHost &host) {
        EditFromMain(ServiceKind(host.currentDetailTab()), TfrmServiceEdit::EditMode, host);
    });
    const struct { int code; ServiceKind kind; } lists[] = {
        {208, ServiceKind::Repair}, {209, ServiceKind::ReturnVisit}, {210, ServiceKind::Complaint}};
    for (const auto &l : lists) {
        const ServiceKind kind = l.kind;
        registry.provide(l.code, [kind](CustomerListHost &host) {
            CustomerListHost *const before = g_listHost;
            g_listHost = &host;
            OpenServiceList(kind, host);
            g_listHost = before;
        });
    }
}
