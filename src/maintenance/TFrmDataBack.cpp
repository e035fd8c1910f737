#include "TFrmDataBack.h"

#include "BackupSql.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PrivateProfile.h"
#include "app/PubUnit.h"
#include "app/Settings.h"
#include "components/FormFields.h"
#include "data/TdmData.h"
#include "maintenance/TDlgSelectPath.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

const QString TFrmDataBack::RestorePassword = QStringLiteral("583920");

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    void restore()
    {
        if (m_on) QApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = true;
};

} // namespace

TFrmDataBack::TFrmDataBack(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDataBack"));
    setWindowTitle(QStringLiteral("系统备份及恢复"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(64, 64).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    RadioGroup1 = FormFields::named(new QGroupBox(QStringLiteral("自动备份"), this), "RadioGroup1");
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    auto *items = new QVBoxLayout(RadioGroup1);
    const QStringList schedule = {QStringLiteral("不备份"), QStringLiteral("每次系统启动备份"),
                                  QStringLiteral("每周星期一备份"), QStringLiteral("每月一号备份")};
    for (int i = 0; i < schedule.size(); ++i) {
        auto *b = new QRadioButton(schedule[i], RadioGroup1);
        RadioGroup1Items->addButton(b, i);
        items->addWidget(b);
    }
    RadioGroup1Items->button(0)->setChecked(true);

    auto *pathGroup = new QGroupBox(QStringLiteral("备份路径"), this);
    edtBackPath = FormFields::textBox(pathGroup, "edtBackPath");
    edtBackPath->setMinimumWidth(300);
    SpeedButton1 = FormFields::named(new QToolButton(pathGroup), "SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    SpeedButton1->setToolTip(QStringLiteral("选择文件路径"));
    auto *note = new QLabel(QStringLiteral("注意：路径指的是数据库所在机器上的目录"), pathGroup);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(edtBackPath, 1);
    pathRow->addWidget(SpeedButton1);
    auto *pathBox = new QVBoxLayout(pathGroup);
    pathBox->addLayout(pathRow);
    pathBox->addWidget(note);

    BackData = FormFields::button(this, "BackData", QStringLiteral("备份"));
    RecoverData = FormFields::button(this, "RecoverData", QStringLiteral("恢复"));
    Button1 = FormFields::button(this, "Button1", QStringLiteral("确定"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("关闭"));

    auto *head = new QHBoxLayout;
    head->addWidget(picture);
    head->addWidget(RadioGroup1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BackData);
    buttons->addWidget(RecoverData);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(head);
    top->addWidget(line);
    top->addWidget(pathGroup);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmDataBack::SpeedButton1Click);
    connect(BackData, &QPushButton::clicked, this, &TFrmDataBack::BackDataClick);
    connect(RecoverData, &QPushButton::clicked, this, &TFrmDataBack::RecoverDataClick);
    connect(Button1, &QPushButton::clicked, this, &TFrmDataBack::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

int TFrmDataBack::Execute() { return Dialogs::current().execDialog(*this); }

void TFrmDataBack::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TFrmDataBack::FormShow()
{
    edtBackPath->setText(dmData->GetStrValue(backupFolderSql()));
    if (QAbstractButton *b = RadioGroup1Items->button(PubUnit::BakMode)) b->setChecked(true);
}

void TFrmDataBack::SpeedButton1Click()
{
    const QString current = edtBackPath->text().trimmed();
    TDlgSelectPath chooser(this);
    QString chosen;
    if (chooser.SelectPath(current, &chosen) && chosen != current) edtBackPath->setText(chosen);
}

bool TFrmDataBack::folderReady(const QString &folder, const QString &failure)
{
    if (QFileInfo(folder).isDir()) return true;
    if (ShowMess(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"), 1) != Mess::Yes) return false;
    if (folder.trimmed().isEmpty() || !QDir().mkpath(folder)) {
        ShowMess(failure, 3);
        return false;
    }
    return true;
}

void TFrmDataBack::BackDataClick()
{
    const QString folder = edtBackPath->text();
    if (!folderReady(folder, QStringLiteral("目录 ") + folder + QStringLiteral(" 创建失败,请检测路径是否合法!"))) return;
    const QString file = TdmData::backupFileName(folder, QDate::currentDate());
    if (QFileInfo::exists(file) && ShowMess(QStringLiteral("真的要覆盖以前备份吗？"), 1, Mess::No) != Mess::Yes) return;
    QString error;
    bool ok;
    {
        WaitCursor wait;
        ok = dmData->backupTo(file, &error);
    }
    if (ok) {
        ShowMess(QStringLiteral("数据备份成功！"), 0);
        return;
    }
    qWarning("backup failed: %s", qPrintable(error));
    ShowMess(QStringLiteral("备份失败，请与管理员联系！"), 3);
}

void TFrmDataBack::Button1Click()
{
    const QString folder = edtBackPath->text();
    if (!folderReady(folder, QStringLiteral("目录") + folder + QStringLiteral("创建失败,请检测路径是否合法!"))) {
        edtBackPath->setFocus();
        return;
    }
    PubUnit::BakMode = RadioGroup1Items->checkedId();
    if (PubUnit::IniFile) Settings::setInteger(*PubUnit::IniFile, Settings::Key::BackupMode, PubUnit::BakMode);
    if (dmData->RunSQL(saveBackupFolderSql(folder))) ShowMess(QStringLiteral("当前软件设置更改成功！"), 0);
}

void TFrmDataBack::reconnect()
{
    QString error;
    if (!dmData->reconnect(&error)) {
        ShowMess(QStringLiteral("无法重新连接数据库：") + error, 3);
        return;
    }
    if (m_afterReconnect) m_afterReconnect();
}

void TFrmDataBack::RecoverDataClick()
{
    const std::optional<QString> password =
        Dialogs::current().inputText(QStringLiteral("密码提示"), QStringLiteral("请输入恢复密码"), QString(), false);
    if (!password) return;
    if (*password != RestorePassword) {
        ShowMess(QStringLiteral("对不起,恢复密码错误，你没有恢复数据的权限！"), 3);
        return;
    }
    RecoverData->setEnabled(false);
    setWindowTitle(QStringLiteral("正在恢复数据...."));
    const QString path = QDir::fromNativeSeparators(edtBackPath->text());
    const QString file = Dialogs::current().openFileName(QStringLiteral("打开"), path.left(path.lastIndexOf(u'/') + 1),
                                                         QStringLiteral("备份文件 (*.back);;所有文件 (*.*)"));
    if (!file.isEmpty()
        && ShowMess(QStringLiteral("此操作将使上次备份以来的所有数据丢失，是否继续？"), 1, Mess::No) == Mess::Yes) {
        WaitCursor wait;
        QString error;
        if (dmData->restoreFrom(file, &error)) {
            wait.restore();
            if (ShowMess(QStringLiteral("数据恢复成功,重新启动当前程序吗？"), 1) == Mess::No) {
                reconnect();
            } else {
                // The operator starts the program again. Ends at once: quit()
                // would ask the main window's exit question, and 否 there
                // would keep a program without its connection.
                reject();
                QCoreApplication::exit(0);
            }
        } else {
            qWarning("restore failed: %s", qPrintable(error));
            ShowMess(QStringLiteral("数据库正在被使用！请确定已关闭其它使用该数据库程序！"), 2);
            wait.restore();
            ShowMess(QStringLiteral("恢复失败！"), 3);
            // The engines leave the database as it was: the program goes on with it.
            reconnect();
        }
    }
    RecoverData->setEnabled(true);
    setWindowTitle(QStringLiteral("数据备份及恢复"));
}

#include "moc_TFrmDataBack.cpp"
