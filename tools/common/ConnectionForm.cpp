#include "ConnectionForm.h"

#include "app/Companion.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

ConnectionForm::ConnectionForm(QWidget *parent) : QWidget(parent)
{
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
    edtUser = new QLineEdit(QStringLiteral("sa"), this);
    edtUser->setObjectName(QStringLiteral("edtUser"));
    edtUser->setEnabled(false);   // the program always logs in as sa
    edtPassWord = new QLineEdit(this);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);

    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QStringLiteral("数据库类型："), cbbDriver);
    form->addRow(QStringLiteral("服 务 器："), edtServer);
    form->addRow(QStringLiteral("端    口："), spnPort);
    form->addRow(QStringLiteral("数 据 库："), edtDatabase);
    form->addRow(QStringLiteral("用 户 名："), edtUser);
    form->addRow(QStringLiteral("密    码："), edtPassWord);

    connect(cbbDriver, &QComboBox::currentIndexChanged, this, [this] { cbbDriverChange(); });
    cbbDriverChange();
}

void ConnectionForm::setSettings(const ConnectionSettings &s)
{
    // Spellings such as "PostgreSQL" or "pg" name the same engine.
    const auto dialect = Dialect::create(s.driver);
    const int i = dialect ? cbbDriver->findData(dialect->name()) : -1;
    cbbDriver->setCurrentIndex(i >= 0 ? i : 0);
    edtServer->setText(s.server);
    spnPort->setValue(s.port);
    edtDatabase->setText(s.database);
    edtPassWord->setText(s.password);
    cbbDriverChange();
}

ConnectionSettings ConnectionForm::settings() const
{
    ConnectionSettings s;
    s.driver = cbbDriver->currentData().toString();
    s.server = edtServer->text().trimmed();
    s.port = spnPort->value();
    s.database = edtDatabase->text().trimmed();
    s.password = edtPassWord->text();
    return s;
}

bool ConnectionForm::checkDatabaseName()
{
    if (!edtDatabase->text().trimmed().isEmpty()) return true;
    ShowMess(QStringLiteral("请输入数据库名称！"), 0);
    edtDatabase->setFocus();
    return false;
}

void ConnectionForm::cbbDriverChange()
{
    // A database file needs neither server, port nor password.
    const bool server = cbbDriver->currentData().toString() != QLatin1String("sqlite");
    edtServer->setEnabled(server);
    spnPort->setEnabled(server);
    edtPassWord->setEnabled(server);
}
