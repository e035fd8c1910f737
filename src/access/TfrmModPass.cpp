#include "TfrmModPass.h"

#include "OperatorSql.h"
#include "OperatorStore.h"

#include "app/Companion.h"
#include "app/PubUnit.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmModPass::TfrmModPass(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmModPass"));
    setWindowTitle(QStringLiteral("更改当前用户密码"));

    Label1 = new QLabel(QStringLiteral("当前操作员：") + PubUnit::CurOper + QStringLiteral(" "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label5 = new QLabel(QStringLiteral("更改登录密码"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setStyleSheet(QStringLiteral("color: blue; font-size: 16pt; font-weight: bold;"));
    auto password = [this](const char *name) {
        QLineEdit *e = FormFields::textBox(this, name);
        e->setEchoMode(QLineEdit::Password);
        return e;
    };
    edtOldPass = password("edtOldPass");
    edtNewPass = password("edtNewPass");
    edtAdjustPass = password("edtAdjustPass");
    BitBtn1 = FormFields::button(this, "BitBtn1", QStringLiteral("确定(&O)"));
    BitBtn2 = FormFields::button(this, "BitBtn2", QStringLiteral("取消(&C)"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("旧密码："), edtOldPass);
    form->addRow(QStringLiteral("新密码："), edtNewPass);
    form->addRow(QStringLiteral("再输一遍："), edtAdjustPass);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label5);
    layout->addWidget(Label1);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // Enter moves on; Esc cancels.
    DialogKeys::install(this, nullptr, BitBtn2);
}

void TfrmModPass::BitBtn1Click()
{
    if (!dmData) return;
    DataSet q(&dmData->ADOcnn);
    if (!dmData->OpenSQL(ownPasswordSql(PubUnit::CurOper), &q) || q.isEmpty()) return;
    if (GetPass(q.fieldByName(QStringLiteral("F_PassWord")).asString()) != edtOldPass->text()) {
        ShowMess(QStringLiteral("旧口令输入错误，不能更改！"), 2);
        return;
    }
    if (edtNewPass->text().trimmed() != edtAdjustPass->text().trimmed()) {
        ShowMess(QStringLiteral("新口令错误，不能更改！"), 0);
        edtNewPass->clear();
        edtAdjustPass->clear();
        return;
    }
    // Coding would cut a longer one, and the password typed would no longer log in.
    if (edtNewPass->text().toUtf8().size() > MaxClearPasswordBytes) {
        ShowMess(QStringLiteral("新口令太长：最多 %1 个字节（一个汉字占 3 个），不能更改！").arg(MaxClearPasswordBytes), 0);
        return;
    }
    OperatorStore store(*dmData);
    if (!store.setPassword(q.fieldByName(QStringLiteral("F_ID")).value().toLongLong(), edtNewPass->text())) {
        qWarning("password change failed: %s", qPrintable(store.lastError()));
        ShowMess(QStringLiteral("更改口令失败，请检测数据库连接！"), 3);
        return;
    }
    ShowMess(QStringLiteral("更改口令成功！"), 0);
}
