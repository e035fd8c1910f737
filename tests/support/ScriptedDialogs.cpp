#include "ScriptedDialogs.h"

#include <QDialog>

QStringList ScriptedDialogs::texts() const
{
    QStringList r;
    for (const Call &c : calls) r << c.text;
    return r;
}

int ScriptedDialogs::count(const QString &text) const
{
    int n = 0;
    for (const Call &c : calls) n += c.text == text;
    return n;
}

QVariant ScriptedDialogs::next() { return m_answers.isEmpty() ? QVariant() : m_answers.dequeue(); }

int ScriptedDialogs::message(const QString &text, Kind kind, Mess::Answer defaultAnswer)
{
    calls.append({QStringLiteral("message"), text, int(kind), kind == Kind::Question ? int(defaultAnswer) : 0});
    if (kind != Kind::Question) return 0;
    const QVariant a = next();
    return a.isValid() ? a.toInt() : 2;
}

void ScriptedDialogs::standardMessage(const QString &text, const QString &caption, Kind kind)
{
    calls.append({QStringLiteral("standard"), text + u'|' + caption, int(kind)});
}

bool ScriptedDialogs::confirm(const QString &text, const QString &)
{
    calls.append({QStringLiteral("confirm"), text, -1});
    return next().toBool();
}

std::optional<QString> ScriptedDialogs::inputText(const QString &, const QString &prompt,
                                                  const QString &, bool)
{
    calls.append({QStringLiteral("input"), prompt, -1});
    const QVariant a = next();
    if (!a.isValid()) return std::nullopt;
    return a.toString();
}

QString ScriptedDialogs::openFileName(const QString &caption, const QString &, const QString &)
{
    calls.append({QStringLiteral("open"), caption, -1});
    return next().toString();
}

QString ScriptedDialogs::saveFileName(const QString &caption, const QString &, const QString &)
{
    calls.append({QStringLiteral("save"), caption, -1});
    return next().toString();
}

QString ScriptedDialogs::directory(const QString &caption, const QString &)
{
    calls.append({QStringLiteral("directory"), caption, -1});
    return next().toString();
}

int ScriptedDialogs::execDialog(QDialog &dialog)
{
    calls.append({QStringLiteral("dialog"), dialog.windowTitle(), -1});
    if (m_dialogHandlers.isEmpty()) return QDialog::Rejected;
    dialog.show();
    const int result = m_dialogHandlers.dequeue()(dialog);
    dialog.hide();
    dialog.setResult(result);
    return result;
}

bool RecordingShell::openDocument(const QString &pathOrUrl)
{
    opened << pathOrUrl;
    return result;
}

bool RecordingShell::startProgram(const QString &program, const QStringList &args)
{
    started << (QStringList{program} + args).join(u' ');
    return result;
}

ScopedSeams::ScopedSeams()
{
    Dialogs::install(&dialogs);
    Shell::install(&shell);
}

ScopedSeams::~ScopedSeams()
{
    Dialogs::install(nullptr);
    Shell::install(nullptr);
}
