#include "TfrmOperLogin.h"

#include "OperatorSql.h"
#include "Session.h"

#include "app/Companion.h"
#include "app/SetIme.h"
#include "components/FormFields.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TfrmOperLogin::TfrmOperLogin(int mode, std::function<void(const QString &)> applyRights, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_mode(mode),
      m_applyRights(std::move(applyRights))
{
    setObjectName(QStringLiteral("frmOperLogin"));
    setWindowTitle(QStringLiteral("登录窗口"));
    setModal(true);

    lblHint = new QLabel(QStringLiteral("请输入正确的操作员编号及密码，系统管理员“admin”，系统初始密码为空："), this);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
    lblHint->setStyleSheet(QStringLiteral("color: blue;"));

    cbbOperName = new QComboBox(this);
    cbbOperName->setObjectName(QStringLiteral("cbbOperName"));
    cbbOperName->setEditable(true);
    cbbOperName->setInsertPolicy(QComboBox::NoInsert);
    markChineseInput(cbbOperName);

    edtPassWord = new QLineEdit(this);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);

    // Enter is handled by the window itself, never by a default button.
    btnOk = FormFields::button(this, "btnOk", QStringLiteral("确定"));
    btnCancel = FormFields::button(this, "btnCancel", QStringLiteral("取消"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("姓  名："), cbbOperName);
    form->addRow(QStringLiteral("密  码："), edtPassWord);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblHint);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    setTabOrder(cbbOperName, edtPassWord);
    setTabOrder(edtPassWord, btnOk);
    setTabOrder(btnOk, btnCancel);

    for (QObject *o : std::initializer_list<QObject *>{cbbOperName, cbbOperName->lineEdit(), edtPassWord,
                                                         btnOk, btnCancel})
        o->installEventFilter(this);
    connect(btnOk, &QPushButton::clicked, this, &TfrmOperLogin::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOperLogin::btnCancelClick);

    if (dmData) dmData->FillItems(QStringLiteral("select F_name from OperList where F_name <> '' "), cbbOperName);
    cbbOperName->setEditText(Session::lastOperator());
}

void TfrmOperLogin::reject() {}

void TfrmOperLogin::closeEvent(QCloseEvent *event) { event->ignore(); }

void TfrmOperLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmOperLogin::FormShow()
{
    SetIme(this);
    // With the last operator already in the box, typing starts in the password.
    if (cbbOperName->currentText().trimmed().isEmpty())
        cbbOperName->setFocus();
    else
        edtPassWord->setFocus();
}

bool TfrmOperLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnter(event)) {
        if (auto *button = qobject_cast<QPushButton *>(watched))
            button->click();
        else
            focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOperLogin::btnOkClick()
{
    if (!dmData) return;
    const QString name = cbbOperName->currentText().trimmed();
    if (name.isEmpty()) {
        ShowMess(QStringLiteral("请选择用户！"), 0);
        cbbOperName->setFocus();
        return;
    }
    if (dmData->GetIntValue("select F_ID from OperList where F_name = '" + sqlValue(name) + "' ") <= 0) {
        ShowMess(QStringLiteral("此操作员并不存在，请重新选择操作员！"), 0);
        cbbOperName->setFocus();
        return;
    }
    const QString stored =
        dmData->GetStrValue("select f_PassWord from OperList Where F_Name = '" + sqlValue(name) + "' ");
    if (GetPass(stored) == edtPassWord->text()) {
        // A disabled operator keeps its row (and its old customers) but may not
        // work; the default operator can never be disabled, as no window edits it.
        if (!isDefaultOperator(name) && dmData->GetIntValue(operatorDisabledSql(name)) != 0) {
            ShowMess(QStringLiteral("此操作员已被禁用，不能登录！"), 0);
            cbbOperName->setFocus();
            return;
        }
        LoginSucceeded(name);
        QDialog::done(Accepted);
        return;
    }

    // Counted over all names since the window opened.
    ++m_failures;
    if (m_failures < 4) {
        ShowMess(QStringLiteral("用户名或密码不正确，请重新输入！"), 0);
        edtPassWord->setFocus();
        edtPassWord->selectAll();
        return;
    }
    // The log row carries the operator of the moment: the previous one at a
    // change, nobody at the first login.
    if (m_mode == ChangeOperator) {
        dmData->WriteLog(QStringLiteral("更换操作员失败！"));
        ShowMess(QStringLiteral("更换操作员失败!"), 3);
    } else {
        dmData->WriteLog(QStringLiteral("登录失败！"));
        ShowMess(QStringLiteral("非法操作员!"), 3);
    }
    QDialog::done(Rejected);
}

void TfrmOperLogin::btnCancelClick() { QDialog::done(Rejected); }

void TfrmOperLogin::LoginSucceeded(const QString &name)
{
    Session::SetUp(name);
    dmData->WriteLog(QStringLiteral("登录成功！"));
    if (m_applyRights) m_applyRights(name);
}

bool RunLogin(int mode, const std::function<void(const QString &)> &applyRights)
{
    QWidget *parent = mode == TfrmOperLogin::ChangeOperator ? QApplication::activeWindow() : nullptr;
    TfrmOperLogin frm(mode, applyRights, parent);
    return frm.exec() == QDialog::Accepted;
}
