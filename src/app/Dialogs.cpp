#include "Dialogs.h"
#include "PubUnit.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
Dialogs *g_installed = nullptr;

QWidget *owner() { return QApplication::activeWindow(); }

QMessageBox::Icon iconFor(Dialogs::Kind kind)
{
    switch (kind) {
    case Dialogs::Kind::Information: return QMessageBox::Information;
    case Dialogs::Kind::Question: return QMessageBox::Question;
    case Dialogs::Kind::Warning: return QMessageBox::Warning;
    case Dialogs::Kind::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QString captionFor(Dialogs::Kind kind)
{
    switch (kind) {
    case Dialogs::Kind::Information: return QStringLiteral("提示");
    case Dialogs::Kind::Question: return QStringLiteral("询问");
    case Dialogs::Kind::Warning: return QStringLiteral("警告");
    case Dialogs::Kind::Error: return QStringLiteral("错误");
    }
    return {};
}
} // namespace

Dialogs &Dialogs::current()
{
    static WidgetDialogs real;
    return g_installed ? *g_installed : real;
}

void Dialogs::install(Dialogs *replacement) { g_installed = replacement; }

int WidgetDialogs::message(const QString &text, Kind kind, Mess::Answer defaultAnswer)
{
    QMessageBox box(iconFor(kind), captionFor(kind), text, QMessageBox::NoButton, owner());
    if (kind == Kind::Question) {
        QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(defaultAnswer == Mess::No ? no : yes);
        // Esc and the close box answer No: a question has exactly two answers.
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == no || box.clickedButton() == nullptr ? Mess::No : Mess::Yes;
    }
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return 0;
}

void WidgetDialogs::standardMessage(const QString &text, const QString &caption, Kind kind)
{
    QMessageBox box(iconFor(kind), caption, text, QMessageBox::Ok, owner());
    box.exec();
}

bool WidgetDialogs::confirm(const QString &text, const QString &caption)
{
    return QMessageBox::question(owner(), caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<QString> WidgetDialogs::inputText(const QString &caption, const QString &prompt,
                                                const QString &initial, bool password)
{
    bool ok = false;
    const QString v = QInputDialog::getText(owner(), caption, prompt,
                                            password ? QLineEdit::Password : QLineEdit::Normal,
                                            initial, &ok);
    if (!ok) return std::nullopt;
    return v;
}

QString WidgetDialogs::openFileName(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner(), caption, dir, filter);
}

QString WidgetDialogs::saveFileName(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner(), caption, dir, filter);
}

QString WidgetDialogs::directory(const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(owner(), caption, dir);
}

int WidgetDialogs::execDialog(QDialog &dialog)
{
    return dialog.exec();
}
