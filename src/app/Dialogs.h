#pragma once
// The one seam for every modal box. Production shows real Qt dialogs; tests
// install a scripted responder (tests/support) so nothing ever blocks.

#include "Companion.h"

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

class Dialogs {
public:
    enum class Kind { Information = 0, Question = 1, Warning = 2, Error = 3 };

    virtual ~Dialogs() = default;

    // Kind Question returns exactly Mess::Yes or Mess::No, with Enter on
    // `defaultAnswer`; the others return 0.
    virtual int message(const QString &text, Kind kind, Mess::Answer defaultAnswer) = 0;
    // The platform's standard box with its own caption and icon (OK only).
    virtual void standardMessage(const QString &text, const QString &caption, Kind kind) = 0;
    // OK/Cancel question of the platform's standard dialog: true on OK.
    virtual bool confirm(const QString &text, const QString &caption) = 0;
    virtual std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                             const QString &initial, bool password) = 0;
    virtual QString openFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString directory(const QString &caption, const QString &dir) = 0;
    // Runs one of our own modal windows (chooser, sort window, preview) and
    // returns its result code.
    virtual int execDialog(QDialog &dialog) = 0;

    static Dialogs &current();
    // Installs a replacement (not owned); nullptr restores the real dialogs.
    static void install(Dialogs *replacement);
};

// Real Qt dialogs, parented to the active window.
class WidgetDialogs : public Dialogs {
public:
    int message(const QString &text, Kind kind, Mess::Answer defaultAnswer) override;
    void standardMessage(const QString &text, const QString &caption, Kind kind) override;
    bool confirm(const QString &text, const QString &caption) override;
    std::optional<QString> inputText(const QString &caption, const QString &prompt,
                                     const QString &initial, bool password) override;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter) override;
    QString directory(const QString &caption, const QString &dir) override;
    int execDialog(QDialog &dialog) override;
};
