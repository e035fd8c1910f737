#pragma once
// Opening documents with their associated program and starting programs by
// name. Tests install a recorder instead, so nothing is launched.

#include <QString>
#include <QStringList>

class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openDocument(const QString &pathOrUrl) = 0;
    // Starts a program without waiting. A bare name is looked up in the
    // program folder first, then beside the executable, then on the search path.
    virtual bool startProgram(const QString &program, const QStringList &args = {}) = 0;

    static Shell &current();
    static void install(Shell *replacement);   // not owned; nullptr restores the real one
};

class DesktopShell : public Shell {
public:
    bool openDocument(const QString &pathOrUrl) override;
    bool startProgram(const QString &program, const QStringList &args) override;
};
