#pragma once
// Answers every modal box from a script and records what was asked, so no
// test ever waits on a dialog. Install with a ScopedDialogs guard.

#include "app/Dialogs.h"
#include "app/Shell.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class ScriptedDialogs : public Dialogs {
public:
    struct Call {
        QString what;    // "message", "standard", "confirm", "input", "open", "save", "directory", "dialog"
        QString text;
        int kind = -1;
        int defaultAnswer = 0;   // a question: the answer Enter would give (Mess::Yes or Mess::No)
    };

    // Answers are taken in order; with none left a question answers No (2),
    // confirm answers false, inputs and file names answer "cancelled".
    void answer(const QVariant &v) { m_answers.enqueue(v); }
    // Our own modal windows are handed to these in order: the handler works
    // the window as an operator would (it is shown, not run modally) and
    // returns its result. With none left a window is rejected unseen.
    using DialogHandler = std::function<int(QDialog &)>;
    void handleDialog(DialogHandler handler) { m_dialogHandlers.enqueue(std::move(handler)); }

    QList<Call> calls;
    QStringList texts() const;
    int count(const QString &text) const;

    int message(const QString &text, Kind kind, Mess::Answer defaultAnswer) override;
    void standardMessage(const QString &text, const QString &caption, Kind kind) override;
    bool confirm(const QString &text, const QString &caption) override;
    std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                     const QString &initial, bool password) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString directory(const QString &caption, const QString &dir) override;
    int execDialog(QDialog &dialog) override;   // recorded as "dialog" with the window title

private:
    QVariant next();
    QQueue<QVariant> m_answers;
    QQueue<DialogHandler> m_dialogHandlers;
};

class RecordingShell : public Shell {
public:
    QStringList opened;
    QStringList started;   // "program arg1 arg2"
    bool result = true;
    bool openDocument(const QString &pathOrUrl) override;
    bool startProgram(const QString &program, const QStringList &args) override;
};

// Installs scripted dialogs and a recording shell for one scope.
class ScopedSeams {
public:
    ScopedSeams();
    ~ScopedSeams();
    ScriptedDialogs dialogs;
    RecordingShell shell;
};
