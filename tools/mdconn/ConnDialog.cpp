#include "ConnDialog.h"

#include "common/ConnectionForm.h"

#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "data/Connection.h"
#include "data/ConnectionConfig.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmConnSet::TfrmConnSet(PrivateProfile &ini, QWidget *parent) : QDialog(parent), m_ini(ini)
{
    setObjectName(QStringLiteral("frmConnSet"));
    setWindowTitle(QStringLiteral("连接网络数据库"));

    frmConnection = new ConnectionForm(this);
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

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnTest);
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(frmConnection);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(btnTest, &QPushButton::clicked, this, &TfrmConnSet::btnTestClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmConnSet::btnSaveClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    frmConnection->setSettings(readConnectionSettings(m_ini));
}

void TfrmConnSet::btnTestClick()
{
    if (!frmConnection->checkDatabaseName()) return;
    QString error;
    {
        Connection c(QStringLiteral("mdconn-test"));
        setCursor(Qt::WaitCursor);
        const bool ok = c.open(frmConnection->settings());
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
    if (!frmConnection->checkDatabaseName()) return;
    if (!writeConnectionSettings(m_ini, frmConnection->settings())) {
        ShowMess(QStringLiteral("无法写入配置文件：") + m_ini.path(), 3);
        return;
    }
    ShowMess(QStringLiteral("数据库连接设置已保存，请重新启动系统。"), 0);
    accept();
}
