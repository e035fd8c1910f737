#include "TDLGaddText.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDLGaddText::TDLGaddText(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DLGaddText"));
    setWindowTitle(QStringLiteral("请输入要增加的标题名称"));

    auto *label = new QLabel(QStringLiteral("名    称："), this);
    edtName = FormFields::textBox(this, "edtName");
    edtName->setMinimumWidth(220);
    label->setBuddy(edtName);

    BitBtn1 = FormFields::button(this, "BitBtn1", QStringLiteral("确定"));
    BitBtn2 = FormFields::button(this, "BitBtn2", QStringLiteral("关闭"));

    auto *field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(edtName, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(field);
    top->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &TDLGaddText::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    DialogKeys::install(this, BitBtn1, BitBtn2);
}

void TDLGaddText::BitBtn1Click()
{
    if (edtName->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("名称不能为空！"), 0);
        edtName->setFocus();
        return;
    }
    accept();
}

bool TDLGaddText::AskText(QString *name)
{
    edtName->setFocus();
    if (Dialogs::current().execDialog(*this) != QDialog::Accepted) return false;
    if (name) *name = edtName->text();
    return true;
}
