#include "DialogKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace {
bool usable(const QAbstractButton *b)
{
    return b && b->isEnabled() && b->isVisible();
}

// A memo, or a list that uses Enter itself (a grid cell being edited).
bool keepsEnter(QObject *watched)
{
    for (QObject *o = watched; o; o = o->parent()) {
        if (qobject_cast<QPlainTextEdit *>(o) || qobject_cast<QTextEdit *>(o)) return true;
        if (auto *view = qobject_cast<QAbstractItemView *>(o))
            return watched != view && watched != view->viewport()
                   && view->viewport()->isAncestorOf(qobject_cast<QWidget *>(watched));
    }
    return false;
}
} // namespace

DialogKeys::DialogKeys(QWidget *window, QAbstractButton *save, QAbstractButton *cancel)
    : QObject(window), m_window(window), m_save(save), m_cancel(cancel)
{
}

DialogKeys *DialogKeys::install(QWidget *window, QAbstractButton *save, QAbstractButton *cancel)
{
    auto *keys = new DialogKeys(window, save, cancel);
    qApp->installEventFilter(keys);
    return keys;
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != m_window) return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    QAbstractButton *button = nullptr;
    if (key->key() == Qt::Key_S && mods == Qt::ControlModifier) button = m_save;
    else if (key->key() == Qt::Key_Escape && mods == Qt::NoModifier) button = m_cancel;
    if (button) {
        if (!usable(button)) return false;
        if (type == QEvent::ShortcutOverride) {
            key->accept();   // ours, not a control's shortcut
            return true;
        }
        button->click();
        return true;
    }
    const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier;
    // Only where the key lands: a key the control ignores passes up through
    // its parents, which must not take it for an Enter of their own.
    if (type != QEvent::KeyPress || !enter || w != QApplication::focusWidget()) return false;
    if (auto *push = qobject_cast<QPushButton *>(w)) {
        // Enter presses the button that has the focus (the save button
        // reached with Tab), whether or not it is the dialog's default.
        if (!usable(push)) return false;
        push->click();
        return true;
    }
    if (!keepsEnter(watched)) {
        // Moves on to the next field as Tab does between fields. Given to the
        // window, not the control: a date box would take Tab to step to its
        // next section and keep the focus.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(m_window, &tab);
        return true;
    }
    return false;
}
