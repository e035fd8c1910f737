#include "TfrmExportEmail.h"

#include "AwokeSql.h"
#include "EmailExport.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/ProgramFolder.h"
#include "app/Shell.h"
#include "components/CustomerListHost.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfrmExportEmail::TfrmExportEmail(CustomerListHost &host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("frmExportEmail"));
    setWindowTitle(QStringLiteral("导出客户电子信箱"));
    RadioGroup1 = FormFields::radioRow(this, "RadioGroup1", {QStringLiteral("当前客户记录"), QStringLiteral("所有客户记录")}, 0,
                                       &rangeGroup);
    RadioGroup1->setTitle(QStringLiteral("导出客户范围"));
    edtFilename = FormFields::textBox(this, "edtFilename");
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setValue(0);
    Button1 = FormFields::button(this, "Button1", QStringLiteral("导出"));
    Button2 = FormFields::button(this, "Button2", QStringLiteral("关闭"));

    auto *name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("文件名："), this));
    name->addWidget(edtFilename, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addLayout(name);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    setFixedSize(380, 190);

    connect(Button1, &QPushButton::clicked, this, &TfrmExportEmail::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmExportEmail::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    edtFilename->setText(emailDefaultFileName(QDateTime::currentDateTime()));
    edtFilename->setFocus();
}

// A NUL would end the name at the system's door: the file made would not be the one named.
static QString typedName(const QLineEdit *box) { return box->text().remove(QChar(u'\0')).trimmed(); }

QString TfrmExportEmail::filePath() const
{
    return QDir(ProgramFolder::path()).filePath(typedName(edtFilename) + QStringLiteral(".txt"));
}

void TfrmExportEmail::showProgress(int row, int count, bool last)
{
    // Painting every one of a million rows would cost more than the export:
    // the bar and the caption follow about thirty times a second, and
    // always show the last row.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!last && now - m_lastShownMs < 33) return;
    m_lastShownMs = now;
    ProgressBar1->setMaximum(qMax(count, row));
    ProgressBar1->setValue(row);
    setWindowTitle(emailExportCaption(row));
    ProgressBar1->repaint();
}

void TfrmExportEmail::Button1Click()
{
    if (typedName(edtFilename).isEmpty()) {
        ShowMess(QStringLiteral("生成的文件名字不能为空！"), 0);
        edtFilename->setFocus();
        return;
    }
    if (!dmData) return;
    const QString path = filePath();
    // The main window's list: the same rows in the same order; or everyone.
    QString readError;
    const std::unique_ptr<RowSource> rows = rangeGroup->checkedId() == 0
                                                ? listEmails(dmData->ADOcnn, m_host.customerList())
                                                : allCustomerEmails(dmData->ADOcnn, &readError);
    if (!rows) {
        ShowMess(QStringLiteral("打开操作失败，请检查数据连接... ") + readError, 3);
        return;
    }
    ProgressBar1->setMaximum(qMax(rows->rowCount(), 1));
    ProgressBar1->setValue(0);
    m_lastShownMs = 0;
    int rowsDone = 0;
    QString error;
    const bool written = writeEmailFile(*rows, path, [&](int row, int count) {
        rowsDone = row;
        showProgress(row, count, false);
    }, &error);
    if (rowsDone > 0) showProgress(rowsDone, rows->rowCount(), true);
    if (!written) {
        ShowMess(error, 3);
        return;
    }
    if (!Shell::current().openDocument(path)) ShowMess(QStringLiteral("文件已导出到 %1").arg(path), 0);
}
