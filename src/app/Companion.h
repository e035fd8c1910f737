#pragma once
// Message boxes, window placement and the two-way coding of stored passwords.

#include <QString>

class QWidget;

namespace Mess {
// The two answers of a question (kind 1); ShowMess returns exactly one of them.
enum Answer : int { Yes = 1, No = 2 };
} // namespace Mess

// kind 0 information, 1 Yes/No question, 2 warning, 3 error. A question
// whose 是 deletes or overwrites data passes Mess::No, so that Enter on the
// box answers 否; every other box offers 是 first.
int ShowMess(const QString &text, int kind, Mess::Answer defaultAnswer = Mess::Yes);

// mode 2 main window, 1 record editors and settings, 0 list and statistics windows.
void DispFormPos(QWidget *form, int mode);

// Coded passwords are printable, at most 255 characters and start with "$c1$".
// Clear text longer than MaxClearBytes (UTF-8) is cut at a character boundary.
inline constexpr int MaxClearPasswordBytes = 180;
QString SavePass(const QString &clear);
// An empty stored value gives the empty password; a value that is not in the
// coded form is taken as clear text, so a site can type a password into Config.ini.
QString GetPass(const QString &stored);
