#include "TFrmDataClear.h"

#include "DataClear.h"

#include "app/Companion.h"
#include "app/ProgramFolder.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFrmDataClear::TFrmDataClear(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmDataClear"));
    setWindowTitle(QStringLiteral("数据清理"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::MSWindowsFixedSizeDialogHint);

    auto *title = new QLabel(QStringLiteral("数据清理"), this);
    title->setStyleSheet(QStringLiteral("color: blue; font-size: 16pt; font-weight: bold;"));

    auto *group = new QGroupBox(this);
    QCheckBox **boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5};
    auto *grid = new QGridLayout(group);
    for (int i = 0; i < 5; ++i) {
        *boxes[i] = FormFields::named(new QCheckBox(QString::fromUtf8(dataClearCaptions()[size_t(i)]), group),
                                      qPrintable(QStringLiteral("CheckBox%1").arg(i + 1)));
        grid->addWidget(*boxes[i], i, 0);
    }
    Button3 = FormFields::button(group, "Button3", QStringLiteral("全选"));
    Button4 = FormFields::button(group, "Button4", QStringLiteral("全清"));
    grid->addWidget(Button3, 0, 1);
    grid->addWidget(Button4, 1, 1);

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto *warning = new QLabel(QStringLiteral("    清理掉不需要的数据，及测试数据，数据被清理将不能恢复，请做好备份"), this);
    warning->setWordWrap(true);
    Button1 = FormFields::button(this, "Button1", QStringLiteral("确定"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("关闭"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(picture);
    bottom->addWidget(warning, 1);
    bottom->addWidget(Button1);
    bottom->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(group);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Removing customers removes their service records too, unless unticked again.
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
        for (QCheckBox *b : {CheckBox2, CheckBox3, CheckBox4}) b->setChecked(on);
    });
    connect(Button3, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(Button4, &QPushButton::clicked, this, [this] { setAll(false); });
    connect(Button1, &QPushButton::clicked, this, &TFrmDataClear::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmDataClear::setAll(bool ticked)
{
    for (QCheckBox *b : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5}) b->setChecked(ticked);
}

bool TFrmDataClear::backupFirst()
{
    if (ShowMess(QStringLiteral("清理之前，先备份当前数据吗？"), 1, Mess::Yes) != Mess::Yes) return true;
    // The company's backup folder, or the program's own "back" folder when none is set.
    QString folder = dmData->GetStrValue(QStringLiteral("select F_BakPath from SysInfo")).trimmed();
    if (folder.isEmpty()) folder = QDir(ProgramFolder::path()).filePath(QStringLiteral("back"));
    QString error;
    bool ok = QDir().mkpath(folder);
    if (!ok) error = QStringLiteral("无法创建目录 ") + folder;
    const QString file = clearBackupFileName(folder, QDateTime::currentDateTime());
    if (ok) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ok = dmData->backupTo(file, &error);
        QApplication::restoreOverrideCursor();
    }
    if (!ok) {
        ShowMess(QStringLiteral("备份失败，数据没有清理：") + error, 3);
        return false;
    }
    return true;
}

void TFrmDataClear::Button1Click()
{
    if (!dmData) return;
    if (ShowMess(QStringLiteral("数据清理，将删除所有列表框所选中的所有数据表的数据，\n建议您在清理之前，备份当前数据，真的要清除当前数据吗？"),
                 1, Mess::No) == Mess::No)
        return;
    const DataClearChoice choice{CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked(),
                                 CheckBox4->isChecked(), CheckBox5->isChecked()};
    const bool anything = std::find(choice.begin(), choice.end(), true) != choice.end();
    if (anything && !backupFirst()) return;
    DataClearStore store(*dmData);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = store.clear(choice);
    QApplication::restoreOverrideCursor();
    if (ok) {
        ShowMess(QStringLiteral("数据清理成功！"), 0);
    } else {
        qWarning("data clearing failed: %s", qPrintable(store.lastError()));
        ShowMess(QStringLiteral("操作失败，请检查连接..."), 3);
    }
}
