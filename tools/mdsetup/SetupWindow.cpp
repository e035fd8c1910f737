#include "SetupWindow.h"
#include "SetupCommands.h"

#include "app/Companion.h"
#include "app/ProgramFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TfrmSetup::TfrmSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("数据库设置"));

    cbbDriver = new QComboBox(this);
    cbbDriver->setObjectName(QStringLiteral("cbbDriver"));
    cbbDriver->addItem(QStringLiteral("本机数据库文件 (SQLite)"), QStringLiteral("sqlite"));
    cbbDriver->addItem(QStringLiteral("PostgreSQL 服务器"), QStringLiteral("postgres"));
    cbbDriver->addItem(QStringLiteral("SQL Server 服务器"), QStringLiteral("mssql"));
    edtServer = new QLineEdit(this);
    edtServer->setObjectName(QStringLiteral("edtServer"));
    spnPort = new QSpinBox(this);
    spnPort->setObjectName(QStringLiteral("spnPort"));
    spnPort->setRange(0, 65535);
    spnPort->setSpecialValueText(QStringLiteral("默认"));
    edtDatabase = new QLineEdit(this);
    edtDatabase->setObjectName(QStringLiteral("edtDatabase"));
    edtUser = new QLineEdit(this);
    edtUser->setObjectName(QStringLiteral("edtUser"));
    edtUser->setText(QStringLiteral("sa"));
    edtUser->setEnabled(false);   // the program always logs in as sa
    edtPassWord = new QLineEdit(this);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("数据库类型："), cbbDriver);
    form->addRow(QStringLiteral("服 务 器："), edtServer);
    form->addRow(QStringLiteral("端    口："), spnPort);
    form->addRow(QStringLiteral("数 据 库："), edtDatabase);
    form->addRow(QStringLiteral("用 户 名："), edtUser);
    form->addRow(QStringLiteral("密    码："), edtPassWord);

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
    box->addLayout(form);
    box->addWidget(hint);
    box->addLayout(buttons);

    connect(cbbDriver, &QComboBox::currentIndexChanged, this, [this] { cbbDriverChange(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    LoadFields();
}

void TfrmSetup::LoadFields()
{
    ConnectionSettings s = SetupCommands::readSettings();
    if (!QFile::exists(ProgramFolder::filePath(QStringLiteral("Config.ini")))) {
        // Nothing configured yet: offer the embedded default.
        s = ConnectionSettings();
        s.database = QStringLiteral("clservice.db");
    }
    const int i = cbbDriver->findData(s.driver);
    cbbDriver->setCurrentIndex(i >= 0 ? i : 0);
    edtServer->setText(s.server);
    spnPort->setValue(s.port);
    edtDatabase->setText(s.database);
    edtPassWord->setText(s.password);
    cbbDriverChange();
}

void TfrmSetup::cbbDriverChange()
{
    const bool server = cbbDriver->currentData().toString() != QLatin1String("sqlite");
    edtServer->setEnabled(server);
    spnPort->setEnabled(server);
    edtPassWord->setEnabled(server);
}

void TfrmSetup::btnOkClick()
{
    ConnectionSettings s;
    s.driver = cbbDriver->currentData().toString();
    s.server = edtServer->text().trimmed();
    s.port = spnPort->value();
    s.database = edtDatabase->text().trimmed();
    s.password = edtPassWord->text();
    if (s.database.isEmpty()) {
        ShowMess(QStringLiteral("请输入数据库名称！"), 0);
        edtDatabase->setFocus();
        return;
    }
    if (s.driver != QLatin1String("sqlite") && s.server.isEmpty()) {
        ShowMess(QStringLiteral("请输入服务器名称！"), 0);
        edtServer->setFocus();
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
