#include "TFrmUserInfo.h"

#include "CompanyInfo.h"

#include "app/Companion.h"
#include "app/ProgramFolder.h"
#include "app/SetIme.h"
#include "app/Shell.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace FormFields;

TFrmUserInfo::TFrmUserInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmUserInfo"));
    setWindowTitle(QStringLiteral("公司信息"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto *main = new QWidget(PageControl1);
    auto *other = new QWidget(PageControl1);
    edtCode = textBox(main, "edtCode", true);
    edtName = textBox(main, "edtName", true);
    edtManager = textBox(main, "edtManager", true);
    edtPhone = textBox(main, "edtPhone");
    edtMovePhone = textBox(main, "edtMovePhone");
    edtHomepage = textBox(main, "edtHomepage");
    edtEmail = textBox(main, "edtEmail");
    edtBakPath = textBox(main, "edtBakPath");
    SpeedButton1 = pickerButton(main, "SpeedButton1", QStringLiteral("程序目录下的 back 文件夹"));
    edtEnroler = textBox(other, "edtEnroler", true);
    Mem = memoBox(other, "Mem", 120);
    // Addresses look like links and open on a double-click.
    for (QLineEdit *e : {edtHomepage, edtEmail}) {
        e->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
        e->setCursor(Qt::PointingHandCursor);
        e->installEventFilter(this);
    }

    auto *mainForm = new QFormLayout(main);
    mainForm->addRow(QStringLiteral("公司名称："), edtCode);
    mainForm->addRow(QStringLiteral("联系地址："), edtName);
    mainForm->addRow(QStringLiteral("负责人："), edtManager);
    mainForm->addRow(QStringLiteral("联系电话："), edtPhone);
    mainForm->addRow(QStringLiteral("手机："), edtMovePhone);
    mainForm->addRow(QStringLiteral("主页："), edtHomepage);
    mainForm->addRow(QStringLiteral("电子邮箱："), edtEmail);
    mainForm->addRow(QStringLiteral("数据备份路径："), withButton(main, edtBakPath, SpeedButton1));
    auto *otherForm = new QFormLayout(other);
    otherForm->addRow(QStringLiteral("注册法人："), edtEnroler);
    otherForm->addRow(QStringLiteral("公司简介："), Mem);
    PageControl1->addTab(main, QStringLiteral("主要资料"));
    PageControl1->addTab(other, QStringLiteral("其他资料"));

    BitBtn1 = button(this, "BitBtn1", QStringLiteral("重填"));
    BitBtn3 = button(this, "BitBtn3", QStringLiteral("修改"));
    BitBtn2 = button(this, "BitBtn2", QStringLiteral("保存"));
    BitBtn4 = button(this, "BitBtn4", QStringLiteral("关闭"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {BitBtn1, BitBtn3, BitBtn2, BitBtn4}) buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(BitBtn1, &QPushButton::clicked, this, &TFrmUserInfo::BitBtn1Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFrmUserInfo::LoadFields);
    connect(BitBtn2, &QPushButton::clicked, this, &TFrmUserInfo::BitBtn2Click);
    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFrmUserInfo::SpeedButton1Click);
    DialogKeys::install(this, BitBtn2, BitBtn4);
}

void TFrmUserInfo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    SetIme(this);
    LoadFields();
}

bool TFrmUserInfo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == edtHomepage) edtHomepageDblClick();
        if (watched == edtEmail) edtEmailDblClick();
    }
    return QDialog::eventFilter(watched, event);
}

QWidget *TFrmUserInfo::box(int field) const
{
    const QWidget *boxes[] = {edtCode,  edtName,  edtManager, edtPhone,   edtMovePhone,
                              edtHomepage, edtEmail, edtBakPath, edtEnroler, Mem};
    return const_cast<QWidget *>(boxes[field]);
}

CompanyInfo TFrmUserInfo::fields() const
{
    CompanyInfo info;
    for (int i = 0; i < 10; ++i) {
        const QWidget *w = box(i);
        if (auto *e = qobject_cast<const QLineEdit *>(w))
            info.values[size_t(i)] = e->text();
        else if (auto *m = qobject_cast<const QPlainTextEdit *>(w))
            info.values[size_t(i)] = m->toPlainText();
    }
    return info;
}

void TFrmUserInfo::setFields(const CompanyInfo &info)
{
    for (int i = 0; i < 10; ++i) {
        QWidget *w = box(i);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setText(info.values[size_t(i)]);
        else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
            m->setPlainText(info.values[size_t(i)]);
    }
}

void TFrmUserInfo::LoadFields()
{
    if (!dmData) return;
    setFields(CompanyStore(*dmData).load().value_or(CompanyInfo{}));
}

void TFrmUserInfo::BitBtn1Click() { setFields(CompanyInfo{}); }

void TFrmUserInfo::SpeedButton1Click()
{
    if (edtBakPath->text().trimmed().isEmpty())
        edtBakPath->setText(QDir::toNativeSeparators(QDir(ProgramFolder::path()).filePath(QStringLiteral("back"))));
}

void TFrmUserInfo::BitBtn2Click()
{
    if (!dmData) return;
    const CompanyInfo info = fields();
    if (const auto tooLong = firstTooLong(info)) {
        ShowMess(tooLong->message, 0);
        PageControl1->setCurrentWidget(box(tooLong->field)->parentWidget());
        box(tooLong->field)->setFocus();
        return;
    }
    // A blank folder means none is set yet: nothing to test or create.
    const QString folder = edtBakPath->text().trimmed();
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        if (ShowMess(QStringLiteral("当前目录") + edtBakPath->text() + QStringLiteral(" 不存在，是否创建！"), 1) != Mess::Yes) {
            PageControl1->setCurrentIndex(0);
            edtBakPath->setFocus();
            return;
        }
        if (!QDir().mkpath(folder)) {
            ShowMess(QStringLiteral("目录") + edtBakPath->text() + QStringLiteral("创建失败,请检测路径是否合法!"), 3);
            return;
        }
    }
    CompanyStore store(*dmData);
    if (!store.save(info)) {
        qWarning("company save failed: %s", qPrintable(store.lastError()));
        ShowMess(QStringLiteral("保存失败，请检测数据库连接！"), 3);
    }
}

void TFrmUserInfo::edtHomepageDblClick()
{
    const QString url = homepageUrl(edtHomepage->text());
    if (!url.isEmpty()) Shell::current().openDocument(url);
}

void TFrmUserInfo::edtEmailDblClick()
{
    const QString url = mailtoUrl(edtEmail->text());
    if (!url.isEmpty()) Shell::current().openDocument(url);
}
