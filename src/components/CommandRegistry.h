#pragma once
// The windows each subsystem opens for its command numbers. The program's
// start-up fills it; the main window runs what it finds, so it never
// includes the windows of the subsystems built on top of it.

#include <QHash>
#include <functional>

class CustomerListHost;

using CommandHandler = std::function<void(CustomerListHost &host)>;

class CommandRegistry {
public:
    static CommandRegistry &instance();

    void provide(int code, CommandHandler handler);
    // An empty handler when no subsystem provides the command.
    CommandHandler handler(int code) const { return m_handlers.value(code); }
    void clear() { m_handlers.clear(); }

private:
    QHash<int, CommandHandler> m_handlers;
};
