#include "FormFields.h"

#include "CheckedDateEdit.h"
#include "NumberEdit.h"

#include "app/SetIme.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>

namespace FormFields {

QLineEdit *textBox(QWidget *parent, const char *name, bool chinese)
{
    auto *edit = named(new QLineEdit(parent), name);
    markChineseInput(edit, chinese);
    return edit;
}

QComboBox *codeBox(QWidget *parent, const char *name, bool chinese)
{
    auto *box = named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    markChineseInput(box, chinese);
    return box;
}

NumberEdit *numberBox(QWidget *parent, const char *name)
{
    auto *edit = named(new NumberEdit(parent), name);
    markChineseInput(edit, false);
    return edit;
}

CheckedDateEdit *dateBox(QWidget *parent, const char *name, bool tick)
{
    return named(new CheckedDateEdit(parent, tick), name);
}

QToolButton *pickerButton(QWidget *parent, const char *name, const QString &hint)
{
    auto *b = named(new QToolButton(parent), name);
    b->setText(QStringLiteral("…"));
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QPlainTextEdit *memoBox(QWidget *parent, const char *name, int height, bool tabStop)
{
    auto *m = named(new QPlainTextEdit(parent), name);
    m->setTabChangesFocus(true);
    if (height > 0) m->setFixedHeight(height);
    if (!tabStop) m->setFocusPolicy(Qt::ClickFocus);
    markChineseInput(m);
    return m;
}

QToolButton *toolBarButton(QToolBar *bar, const char *name, const QString &text, QStyle::StandardPixmap icon)
{
    auto *b = named(new QToolButton(bar), name);
    b->setText(text);
    b->setIcon(bar->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->addWidget(b);
    return b;
}

QWidget *withButton(QWidget *parent, QWidget *field, QToolButton *button)
{
    auto *w = new QWidget(parent);
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    field->setParent(w);
    button->setParent(w);
    l->addWidget(field, 1);
    l->addWidget(button);
    return w;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QGroupBox *radioRow(QWidget *parent, const char *name, const QStringList &items, int start, QButtonGroup **group)
{
    auto *box = named(new QGroupBox(parent), name);
    auto *row = new QHBoxLayout(box);
    *group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], box);
        (*group)->addButton(b, i);
        row->addWidget(b);
    }
    (*group)->button(start)->setChecked(true);
    return box;
}

} // namespace FormFields
