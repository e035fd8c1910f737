#pragma once
// Drives the real login window from a 10 ms polling timer: each step fills
// the name and password boxes and presses a button. What the window showed
// when it was first found is kept for the test to check.

#include "access/TfrmOperLogin.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QQueue>
#include <QTimer>

class LoginDriver : public QObject {
public:
    struct Step {
        QString name;
        QString password;
        bool ok = true;   // false: btnCancel
    };
    struct Seen {
        bool found = false;
        QString title;
        QString hint;
        QString nameText;
        QStringList items;
        Qt::WindowFlags flags;
        bool passwordMasked = false;
        bool nameMarkedChinese = false;
    };

    LoginDriver()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &LoginDriver::tick);
        m_timer.start();
    }
    void add(const QString &name, const QString &password) { m_steps.enqueue({name, password, true}); }
    void cancel() { m_steps.enqueue({QString(), QString(), false}); }

    Seen seen;
    int stepsDone = 0;
    bool ranOut = false;   // the window was still open with no step left

private:
    void tick()
    {
        TfrmOperLogin *frm = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<TfrmOperLogin *>(w); f && f->isVisible()) frm = f;
        if (!frm) return;
        if (!seen.found) {
            seen.found = true;
            seen.title = frm->windowTitle();
            seen.hint = frm->lblHint->text();
            seen.nameText = frm->cbbOperName->currentText();
            for (int i = 0; i < frm->cbbOperName->count(); ++i) seen.items << frm->cbbOperName->itemText(i);
            seen.flags = frm->windowFlags();
            seen.passwordMasked = frm->edtPassWord->echoMode() == QLineEdit::Password;
            seen.nameMarkedChinese = frm->cbbOperName->lineEdit()->testAttribute(Qt::WA_InputMethodEnabled);
        }
        if (m_steps.isEmpty()) {
            // Never leave a test hanging on the window.
            ranOut = true;
            frm->btnCancel->click();
            return;
        }
        const Step s = m_steps.dequeue();
        ++stepsDone;
        if (!s.ok) {
            frm->btnCancel->click();
            return;
        }
        frm->cbbOperName->setEditText(s.name);
        frm->edtPassWord->setText(s.password);
        frm->btnOk->click();
    }

    QTimer m_timer;
    QQueue<Step> m_steps;
};
