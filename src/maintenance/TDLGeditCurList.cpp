#include "TDLGeditCurList.h"

#include "app/Dialogs.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDLGeditCurList::TDLGeditCurList(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DLGeditCurList"));
    setWindowTitle(QStringLiteral("批量修改当前列"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("请输入要填写的字段值："), this);
    layout->addWidget(label);
    Edit1 = FormFields::textBox(this, "Edit1", true);
    Edit1->setMinimumWidth(260);
    label->setBuddy(Edit1);
    layout->addWidget(Edit1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    Button1 = FormFields::button(this, "Button1", QStringLiteral("确定"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("取消"));
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    DialogKeys::install(this, Button1, Button2);
    setFixedSize(sizeHint());
}

std::optional<QString> TDLGeditCurList::Ask(QWidget *parent)
{
    TDLGeditCurList dlg(parent);
    if (Dialogs::current().execDialog(dlg) != QDialog::Accepted) return std::nullopt;
    return dlg.Edit1->text();
}
