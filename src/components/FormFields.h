#pragma once
// The fields an entry window is built from, named as the window's controls
// are (objectName), with the input method each one wants: text boxes,
// editable code-list drop-downs that keep whatever is typed, number and date
// boxes, the small picker button beside a drop-down, and a row of choices.

#include <QString>
#include <QStringList>
#include <QStyle>

class CheckedDateEdit;
class NumberEdit;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolBar;
class QToolButton;
class QWidget;

namespace FormFields {

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// `chinese`: the field keeps the Chinese input method (SetIme).
QLineEdit *textBox(QWidget *parent, const char *name, bool chinese = false);
QComboBox *codeBox(QWidget *parent, const char *name, bool chinese = false);
NumberEdit *numberBox(QWidget *parent, const char *name);
// With a tick box unless `tick` is false (then the date is always given).
CheckedDateEdit *dateBox(QWidget *parent, const char *name, bool tick = true);
// Not a tab stop: Enter and Tab go from field to field, past the buttons.
QToolButton *pickerButton(QWidget *parent, const char *name, const QString &hint = {});
// The field with its picker button on its right, as one cell of a form.
QWidget *withButton(QWidget *parent, QWidget *field, QToolButton *button);
// A button that Enter never presses by default: in entry windows Enter
// moves from field to field, and presses a button only when it has the focus.
QPushButton *button(QWidget *parent, const char *name, const QString &text);
// A memo in Chinese: Enter is a new line, Tab leaves it. `height` 0 leaves
// the height to the layout; a memo that is not a tab stop is reached by a click.
QPlainTextEdit *memoBox(QWidget *parent, const char *name, int height = 0, bool tabStop = true);
// A picture-and-caption button added to a window's toolbar.
QToolButton *toolBarButton(QToolBar *bar, const char *name, const QString &text, QStyle::StandardPixmap icon);
// A row of radio buttons with ids 0.. in order, `start` chosen.
QGroupBox *radioRow(QWidget *parent, const char *name, const QStringList &items, int start, QButtonGroup **group);

} // namespace FormFields
