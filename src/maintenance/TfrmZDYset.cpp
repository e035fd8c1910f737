#include "TfrmZDYset.h"

#include "CustomSettings.h"

#include "access/FieldLimit.h"
#include "access/Session.h"
#include "app/Companion.h"
#include "app/PrivateProfile.h"
#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/SetIme.h"
#include "app/Settings.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "data/TdmData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace FormFields;

namespace {

// Config.ini of the run; before start-up has opened it (tests) the program folder's file.
template <typename F>
auto withIni(F &&f)
{
    if (PubUnit::IniFile) return f(*PubUnit::IniFile);
    PrivateProfile ini(ProgramFolder::filePath(QStringLiteral("Config.ini")));
    return f(ini);
}

const char *const kNumbers[] = {"一", "二", "三", "四", "五"};

// "字符项一" ... "日期项三": the caption box of a settings position, as its label names it.
QString captionLabel(int position)
{
    if (position <= 5) return QStringLiteral("字符项") + QString::fromUtf8(kNumbers[position - 1]);
    if (position <= 8) return QStringLiteral("数值项") + QString::fromUtf8(kNumbers[position - 6]);
    return QStringLiteral("日期项") + QString::fromUtf8(kNumbers[position - 9]);
}

QSpinBox *decimals(QWidget *parent, const char *name)
{
    auto *s = named(new QSpinBox(parent), name);
    s->setRange(0, 8);
    return s;
}

} // namespace

TfrmZDYset::TfrmZDYset(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZDYset"));
    setWindowTitle(QStringLiteral("自定义设置"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);

    auto *band = new QWidget(this);
    auto *picture = new QLabel(band);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogInfoView).pixmap(32, 32));
    auto *hint = new QLabel(QStringLiteral("客服信息中的自定义项目，根据你的需要，可以自定义字段名称 \n"
                                           "字符项1--字符项5为文本型;  数值项1--数值项3为数值型;  \n"
                                           "日期项1--日期项3为日期型"),
                            band);
    auto *bandLayout = new QHBoxLayout(band);
    bandLayout->addWidget(picture);
    bandLayout->addWidget(hint, 1);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    auto *page1 = new QWidget(PageControl1);
    auto *places = new QGroupBox(QStringLiteral("小数位数"), page1);
    rsAmount = decimals(places, "rsAmount");
    rsPrice = decimals(places, "rsPrice");
    rsTotal = decimals(places, "rsTotal");
    auto *placesForm = new QFormLayout(places);
    placesForm->addRow(QStringLiteral("数    量："), rsAmount);
    placesForm->addRow(QStringLiteral("单    价："), rsPrice);
    placesForm->addRow(QStringLiteral("金    额："), rsTotal);
    auto *ime = new QGroupBox(QStringLiteral("默认中文输入法"), page1);
    cbbImeName = named(new QComboBox(ime), "cbbImeName");
    cbbImeName->setEditable(true);
    cbbImeName->setInsertPolicy(QComboBox::NoInsert);
    cbbImeName->installEventFilter(this);
    auto *imeLayout = new QVBoxLayout(ime);
    imeLayout->addWidget(cbbImeName);
    cbZDcode = named(new QCheckBox(QStringLiteral("自动生成编号"), page1), "cbZDcode");
    auto *page1Layout = new QVBoxLayout(page1);
    page1Layout->addWidget(places);
    page1Layout->addWidget(ime);
    page1Layout->addWidget(cbZDcode);
    page1Layout->addStretch();

    auto *page2 = new QWidget(PageControl1);
    auto *grid = new QGridLayout(page2);
    for (int i = 0; i < 5; ++i) {
        edtZF[i] = textBox(page2, qPrintable(QStringLiteral("edtZF%1").arg(i + 1)), true);
        grid->addWidget(new QLabel(captionLabel(i + 1) + QStringLiteral("："), page2), i, 0);
        grid->addWidget(edtZF[i], i, 1);
    }
    for (int i = 0; i < 3; ++i) {
        edtSZ[i] = textBox(page2, qPrintable(QStringLiteral("edtSZ%1").arg(i + 1)), true);
        edtRQ[i] = textBox(page2, qPrintable(QStringLiteral("edtRQ%1").arg(i + 1)), true);
        grid->addWidget(new QLabel(captionLabel(i + 6) + QStringLiteral("："), page2), i, 2);
        grid->addWidget(edtSZ[i], i, 3);
        grid->addWidget(new QLabel(captionLabel(i + 9) + QStringLiteral("："), page2), i + 3, 2);
        grid->addWidget(edtRQ[i], i + 3, 3);
    }
    grid->setRowStretch(6, 1);

    PageControl1->addTab(page1, QStringLiteral("小数位数"));
    PageControl1->addTab(page2, QStringLiteral("自定义项目"));

    Button2 = button(this, "Button2", QStringLiteral("确定"));
    Button3 = button(this, "Button3", QStringLiteral("关闭"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(band);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    connect(Button2, &QPushButton::clicked, this, &TfrmZDYset::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    DialogKeys::install(this, Button2, Button3);
}

QLineEdit *TfrmZDYset::captionBox(int position) const
{
    if (position <= 5) return edtZF[position - 1];
    if (position <= 8) return edtSZ[position - 6];
    return edtRQ[position - 9];
}

void TfrmZDYset::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    FormShow();
}

void TfrmZDYset::FormShow()
{
    SetIme(this);
    cbbImeName->setEditText(PubUnit::ImeName);
    for (int n = 1; n <= 11; ++n) captionBox(n)->setText(PubUnit::KeyValues[n]);
    rsAmount->setValue(Session::decimalPlaces(PubUnit::KeyValues[12]));
    rsPrice->setValue(Session::decimalPlaces(PubUnit::KeyValues[13]));
    rsTotal->setValue(Session::decimalPlaces(PubUnit::KeyValues[14]));
    cbZDcode->setChecked(withIni([](PrivateProfile &ini) { return Settings::flag(ini, Settings::Key::AutoCode); }));
}

bool TfrmZDYset::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cbbImeName && event->type() == QEvent::FocusIn) cbbImeNameEnter();
    return QDialog::eventFilter(watched, event);
}

void TfrmZDYset::cbbImeNameEnter()
{
    // Whatever is typed or shown stays; the list only offers names.
    const QString shown = cbbImeName->currentText();
    cbbImeName->clear();
    cbbImeName->addItems(installedInputMethods());
    cbbImeName->setEditText(shown);
}

void TfrmZDYset::Button2Click()
{
    if (!dmData) return;
    const int limit = keyValueLimit();
    PubUnit::KeyValueList values = PubUnit::KeyValues;
    for (int n = 1; n <= 11; ++n) {
        QLineEdit *box = captionBox(n);
        const QString text = box->text().remove(QChar(u'\0'));
        if (text.size() > limit) {
            ShowMess(tooLongMessage(captionLabel(n), limit, int(text.size())), 0);
            PageControl1->setCurrentIndex(1);
            box->setFocus();
            return;
        }
        values.set(n, text);
    }
    values.set(12, QString::number(rsAmount->value()));
    values.set(13, QString::number(rsPrice->value()));
    values.set(14, QString::number(rsTotal->value()));

    KeyValueStore store(*dmData);
    if (!store.write(values)) {
        // Nothing was written, Config.ini included; the entries stay for another try.
        ShowMess(QStringLiteral("当前软件设置保存失败，数据库返回：") + store.lastError(), 3);
        return;
    }
    PubUnit::ImeName = cbbImeName->currentText().trimmed();
    withIni([this](PrivateProfile &ini) {
        Settings::setText(ini, Settings::Key::CurImeName, PubUnit::ImeName);
        return Settings::setFlag(ini, Settings::Key::AutoCode, cbZDcode->isChecked());
    });
    // Re-read as a login would: the rows, the number patterns and the code switch.
    PubUnit::KeyValues = values;
    Session::SetUp(PubUnit::CurOper);
    if (const QString note = keyValueRowsNote(store.rowsFound()); !note.isEmpty()) ShowMess(note, 2);
    ShowMess(QStringLiteral("当前软件设置更改成功！"), 0);
    accept();
}
