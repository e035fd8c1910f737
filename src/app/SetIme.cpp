#include "SetIme.h"
#include "PubUnit.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
const char *const kChinese = "imeChinese";

bool takesText(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QTextEdit *>(w) ||
           qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}
} // namespace

void markChineseInput(QWidget *field, bool chinese) { field->setProperty(kChinese, chinese); }

bool isChineseInput(const QWidget *field) { return field->property(kChinese).toBool(); }

void SetIme(QWidget *window)
{
    if (!window) return;
    const auto children = window->findChildren<QWidget *>();
    for (QWidget *w : children) {
        if (!takesText(w)) continue;
        // A combo box's line edit follows the combo box's marking.
        const QWidget *marked = qobject_cast<QComboBox *>(w->parentWidget()) ? w->parentWidget() : w;
        if (isChineseInput(marked)) {
            w->setAttribute(Qt::WA_InputMethodEnabled, true);
            w->setInputMethodHints(w->inputMethodHints() & ~Qt::ImhLatinOnly);
            w->setProperty("imeName", PubUnit::ImeName);
        } else {
            w->setAttribute(Qt::WA_InputMethodEnabled, false);
            w->setInputMethodHints(w->inputMethodHints() | Qt::ImhLatinOnly);
        }
    }
}
