#pragma once
// The windows each subsystem opens for its command numbers. The program's
// start-up fills it; the main window runs what it finds, so it never
// includes the windows of the subsystems built on top of it.

#include <QHash>
#include <QList>
#include <functional>

class CustomerListHost;

using CommandHandler = std::function<void(CustomerListHost &host)>;

class CommandRegistry {
public:
    static CommandRegistry &instance();

    void provide(int code, CommandHandler handler);
    // An empty handler when no subsystem provides the command.
    CommandHandler handler(int code) const { return m_handlers.value(code); }
    // What a subsystem opens when the main window is first shown (the
    // reminders at start); the main window runs them after its own start.
    void provideAtMainShown(CommandHandler handler) { m_atMainShown.append(std::move(handler)); }
    void mainShown(CustomerListHost &host) const;

    void clear()
    {
        m_handlers.clear();
        m_atMainShown.clear();
    }

private:
    QHash<int, CommandHandler> m_handlers;
    QList<CommandHandler> m_atMainShown;
};
