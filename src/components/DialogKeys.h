#pragma once
// The keys every entry dialog sees before its controls: Enter moves on like
// Tab (a memo keeps it for a new line) and presses a push button that has
// the focus, Ctrl+S presses the save button and
// Esc the cancel button, each only while that button is enabled and shown.

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QWidget;

class DialogKeys : public QObject {
public:
    // Installs on the window; either button may be nullptr.
    static DialogKeys *install(QWidget *window, QAbstractButton *save, QAbstractButton *cancel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DialogKeys(QWidget *window, QAbstractButton *save, QAbstractButton *cancel);
    QWidget *m_window;
    QPointer<QAbstractButton> m_save;
    QPointer<QAbstractButton> m_cancel;
};
