#include "ConnDialog.h"

#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/Settings.h"
#include "data/Connection.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
struct DriverItem {
    const char *key;
    const char *caption;
};
const DriverItem kDrivers[] = {
    {"sqlite", "SQLite 本地数据库文件"},
    {"postgres", "PostgreSQL 网络数据库"},
    {"mssql", "SQL Server 网络数据库"},
};
} // namespace

TfrmConnSet::TfrmConnSet(PrivateProfile &ini, QWidget *parent) : QDialog(parent), m_ini(ini)
{
    setObjectName(QStringLiteral("frmConnSet"));
    setWindowTitle(QStringLiteral("连接网络数据库"));

    cbbDriver = new QComboBox(this);
    cbbDriver->setObjectName(QStringLiteral("cbbDriver"));
    for (const DriverItem &d : kDrivers)
        cbbDriver->addItem(QString::fromUtf8(d.caption), QString::fromLatin1(d.key));
    edtServer = new QLineEdit(this);
    edtServer->setObjectName(QStringLiteral("edtServer"));
    edtPort = new QSpinBox(this);
    edtPort->setObjectName(QStringLiteral("edtPort"));
    edtPort->setRange(0, 65535);
    edtPort->setSpecialValueText(QStringLiteral("默认"));
    edtDatabase = new QLineEdit(this);
    edtDatabase->setObjectName(QStringLiteral("edtDatabase"));
    edtPassWord = new QLineEdit(this);
    edtPassWord->setObjectName(QStringLiteral("edtPassWord"));
    edtPassWord->setEchoMode(QLineEdit::Password);

    btnTest = new QPushButton(QStringLiteral("测试连接"), this);
    btnTest->setObjectName(QStringLiteral("btnTest"));
    btnSave = new QPushButton(QStringLiteral("保存"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnTest->setAutoDefault(false);
    btnCancel->setAutoDefault(false);

    auto *hint = new QLabel(
        QStringLiteral("设置本机连接的数据库（保存到程序目录的 Config.ini）。SQLite 的数据库为程序目录下的文件名。"), this);
    hint->setWordWrap(true);
    hint->setStyleSheet(QStringLiteral("color: blue;"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("数据库类型："), cbbDriver);
    form->addRow(QStringLiteral("服 务 器："), edtServer);
    form->addRow(QStringLiteral("端    口："), edtPort);
    form->addRow(QStringLiteral("数 据 库："), edtDatabase);
    form->addRow(QStringLiteral("sa 密码："), edtPassWord);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnTest);
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(cbbDriver, &QComboBox::currentIndexChanged, this, &TfrmConnSet::cbbDriverChange);
    connect(btnTest, &QPushButton::clicked, this, &TfrmConnSet::btnTestClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmConnSet::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    LoadFields();
}

void TfrmConnSet::LoadFields()
{
    using Settings::Key;
    const QString driver = Settings::text(m_ini, Key::DbDriver).trimmed().toLower();
    int index = cbbDriver->findData(driver);
    if (driver == QLatin1String("postgresql") || driver == QLatin1String("pg")) index = 1;
    if (driver == QLatin1String("sqlserver")) index = 2;
    cbbDriver->setCurrentIndex(index < 0 ? 0 : index);
    edtServer->setText(Settings::text(m_ini, Key::DbServer));
    edtPort->setValue(Settings::integer(m_ini, Key::DbPort));
    edtDatabase->setText(Settings::text(m_ini, Key::DbDatabase));
    edtPassWord->setText(GetPass(Settings::text(m_ini, Key::DbPassword)));
    cbbDriverChange();
}

void TfrmConnSet::cbbDriverChange()
{
    // A database file needs neither server, port nor password.
    const bool network = cbbDriver->currentData().toString() != QLatin1String("sqlite");
    edtServer->setEnabled(network);
    edtPort->setEnabled(network);
    edtPassWord->setEnabled(network);
}

ConnectionSettings TfrmConnSet::settings() const
{
    ConnectionSettings s;
    s.driver = cbbDriver->currentData().toString();
    s.server = edtServer->text().trimmed();
    s.port = edtPort->value();
    s.database = edtDatabase->text();
    s.password = edtPassWord->text();
    return s;
}

void TfrmConnSet::btnTestClick()
{
    if (edtDatabase->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("请输入数据库名称！"), 0);
        edtDatabase->setFocus();
        return;
    }
    QString error;
    {
        Connection c(QStringLiteral("mdconn-test"));
        setCursor(Qt::WaitCursor);
        const bool ok = c.open(settings());
        unsetCursor();
        if (ok) {
            c.close();
            ShowMess(QStringLiteral("连接成功！"), 0);
            return;
        }
        error = c.lastError();
    }
    ShowMess(QStringLiteral("连接失败：") + error, 3);
}

void TfrmConnSet::btnSaveClick()
{
    if (edtDatabase->text().trimmed().isEmpty()) {
        ShowMess(QStringLiteral("请输入数据库名称！"), 0);
        edtDatabase->setFocus();
        return;
    }
    using Settings::Key;
    const ConnectionSettings s = settings();
    const bool ok = Settings::setText(m_ini, Key::DbDriver, s.driver) &&
                    Settings::setText(m_ini, Key::DbServer, s.server) &&
                    Settings::setInteger(m_ini, Key::DbPort, s.port) &&
                    Settings::setText(m_ini, Key::DbDatabase, s.database) &&
                    Settings::setText(m_ini, Key::DbPassword, SavePass(s.password));
    if (!ok) {
        ShowMess(QStringLiteral("无法写入配置文件：") + m_ini.path(), 3);
        return;
    }
    ShowMess(QStringLiteral("数据库连接设置已保存，请重新启动系统。"), 0);
    accept();
}
