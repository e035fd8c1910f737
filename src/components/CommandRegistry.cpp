#include "CommandRegistry.h"

CommandRegistry &CommandRegistry::instance()
{
    static CommandRegistry registry;
    return registry;
}

void CommandRegistry::provide(int code, CommandHandler handler) { m_handlers.insert(code, std::move(handler)); }

void CommandRegistry::mainShown(CustomerListHost &host) const
{
    for (const CommandHandler &handler : m_atMainShown) handler(host);
}
