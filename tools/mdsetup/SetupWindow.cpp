#include "SetupWindow.h"
#include "SetupCommands.h"
#include "common/ConnectionForm.h"

#include "app/Companion.h"
#include "app/ProgramFolder.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSetup::TfrmSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("数据库设置"));

    frmConnection = new ConnectionForm(this);

    auto *hint = new QLabel(QStringLiteral("本机数据库文件放在程序文件夹中；数据库不存在时自动建立，已存在时进行检查。"), this);
    hint->setWordWrap(true);

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *box = new QVBoxLayout(this);
    box->addWidget(frmConnection);
    box->addWidget(hint);
    box->addLayout(buttons);

    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    LoadFields();
}

void TfrmSetup::LoadFields()
{
    // Nothing configured yet: offer the embedded default.
    frmConnection->setSettings(QFile::exists(ProgramFolder::filePath(QStringLiteral("Config.ini")))
                                   ? SetupCommands::readSettings()
                                   : SetupCommands::defaultSettings());
}

void TfrmSetup::btnOkClick()
{
    if (!frmConnection->checkDatabaseName()) return;
    const ConnectionSettings s = frmConnection->settings();
    if (s.driver != QLatin1String("sqlite") && s.server.isEmpty()) {
        ShowMess(QStringLiteral("请输入服务器名称！"), 0);
        frmConnection->edtServer->setFocus();
        return;
    }
    QString message;
    if (!SetupCommands::writeSettings(s, &message)) {
        ShowMess(message, 3);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = SetupCommands::createOrCheck(s, &message);
    QApplication::restoreOverrideCursor();
    ShowMess(message, ok ? 0 : 3);
    if (ok) accept();
}
