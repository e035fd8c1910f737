#include "TfrmCltEdit.h"

#include "CustomerListSql.h"
#include "CustomerStore.h"
#include "TDLGcodeNewXZ.h"
#include "components/CustomerListHost.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "app/PubUnit.h"
#include "app/SetIme.h"
#include "components/CheckedDateEdit.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"
#include "components/NumberEdit.h"
#include "components/RecordNavigator.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

int TfrmCltEdit::AreaId = 0;

using namespace FormFields;

namespace {

const QString kSaveFailed = QStringLiteral("保存失败，请检测数据库连接！");
const QColor kGeneratedCode(163, 149, 242);   // the light violet of a generated, fixed code

// The drop-downs of the form keep the Chinese input method.
QComboBox *dropDown(QWidget *parent, const char *name) { return codeBox(parent, name, true); }

} // namespace

TfrmCltEdit::TfrmCltEdit(CustomerListHost &host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setObjectName(QStringLiteral("frmCltEdit"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    buildLayout();
    DialogKeys::install(this, Button1, Button2);
}

void TfrmCltEdit::buildLayout()
{
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    QWidget *g = GroupBox1;
    edtName = textBox(g, "edtName", true);
    edtcode = textBox(g, "edtcode");
    edtBuyAddress = textBox(g, "edtBuyAddress", true);
    edtphone = textBox(g, "edtphone");
    edthandphone = textBox(g, "edthandphone");
    cbbType = dropDown(g, "cbbType");
    sbType = pickerButton(g, "sbType", QStringLiteral("增加类别"));
    edtJScode = textBox(g, "edtJScode");
    cbbXingHao = dropDown(g, "cbbXingHao");
    sbXingHao = pickerButton(g, "sbXingHao", QStringLiteral("增加型号"));
    rceAmount = numberBox(g, "rceAmount");
    cePrice = numberBox(g, "cePrice");
    ceTotalPrice = numberBox(g, "ceTotalPrice");
    cbbAddgoodA = dropDown(g, "cbbAddgoodA");
    sbAddGoodA = pickerButton(g, "sbAddGoodA");
    rceAddAmountA = numberBox(g, "rceAddAmountA");
    cbbAddgoodB = dropDown(g, "cbbAddgoodB");
    sbAddGoodB = pickerButton(g, "sbAddGoodB");
    rceAddAmountB = numberBox(g, "rceAddAmountB");
    ceShoukuan = numberBox(g, "ceShoukuan");
    cbbArea = dropDown(g, "cbbArea");
    sbArea = pickerButton(g, "sbArea");
    dtpBuyDate = dateBox(g, "dtpBuyDate", false);
    cbbSetupDept = dropDown(g, "cbbSetupDept");
    sbSetupDept = pickerButton(g, "sbSetupDept");
    dtpSetupDate = dateBox(g, "dtpSetupDate");
    dtpsetupDate1 = dateBox(g, "dtpsetupDate1");
    edtPostcode = textBox(g, "edtPostcode");
    cbbKDcode = dropDown(g, "cbbKDcode");
    sbKDcode = pickerButton(g, "sbKDcode");
    edtKPcode = textBox(g, "edtKPcode");
    cbbMaker = dropDown(g, "cbbMaker");
    sbMaker = pickerButton(g, "sbMaker");
    memo1 = memoBox(g, "memo1", 0, false);
    static const char *const zfCaptions[] = {"字符项一：", "字符项二：", "字符项三：", "字符项四：", "字符项五："};
    static const char *const szCaptions[] = {"数值项一：", "数值项二：", "数值项三："};
    static const char *const rqCaptions[] = {"日期项一：", "日期项二：", "日期项三："};
    for (int i = 0; i < 5; ++i) {
        edtZF[i] = textBox(g, QStringLiteral("edtZF%1").arg(i + 1).toLatin1().constData(), true);
        lblZF[i] = new QLabel(QString::fromUtf8(zfCaptions[i]), g);
        lblZF[i]->setObjectName(QStringLiteral("lblZF%1").arg(i + 1));
    }
    for (int i = 0; i < 3; ++i) {
        rceSZ[i] = numberBox(g, QStringLiteral("rceSZ%1").arg(i + 1).toLatin1().constData());
        lblSZ[i] = new QLabel(QString::fromUtf8(szCaptions[i]), g);
        lblSZ[i]->setObjectName(QStringLiteral("lblSZ%1").arg(i + 1));
        dtpRQ[i] = dateBox(g, QStringLiteral("dtpRQ%1").arg(i + 1).toLatin1().constData());
        dtpRQ[i]->setTabStop(false);
        lblRQ[i] = new QLabel(QString::fromUtf8(rqCaptions[i]), g);
        lblRQ[i]->setObjectName(QStringLiteral("lblRQ%1").arg(i + 1));
    }
    dtpAwokeDate = dateBox(g, "dtpAwokeDate");
    dtpAwokeDate->setTabStop(false);
    cbUseFlag = new QCheckBox(QStringLiteral("使用否"), g);
    cbUseFlag->setObjectName(QStringLiteral("cbUseFlag"));
    cbUseFlag->setFocusPolicy(Qt::ClickFocus);
    cbIFshoukuan = new QCheckBox(QStringLiteral("收款否"), g);
    cbIFshoukuan->setObjectName(QStringLiteral("cbIFshoukuan"));
    cbIFshoukuan->setFocusPolicy(Qt::ClickFocus);

    // Three columns of label and field, in the order the fields are entered.
    auto *grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    int n = 0;
    auto place = [&](const QString &label, QWidget *field, QLabel *lbl = nullptr) {
        const int row = n / 3, col = (n % 3) * 2;
        QLabel *l = lbl ? lbl : new QLabel(label, GroupBox1);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(l, row, col);
        grid->addWidget(field, row, col + 1);
        ++n;
    };
    place(QStringLiteral("用户名称："), edtName);
    place(QStringLiteral("ID    码："), edtcode);
    place(QStringLiteral("地    址："), edtBuyAddress);
    place(QStringLiteral("固定电话："), edtphone);
    place(QStringLiteral("手    机："), edthandphone);
    place(QStringLiteral("类    别："), withButton(GroupBox1, cbbType, sbType));
    place(QStringLiteral("机身编码："), edtJScode);
    place(QStringLiteral("型    号："), withButton(GroupBox1, cbbXingHao, sbXingHao));
    place(QStringLiteral("台    数："), rceAmount);
    place(QStringLiteral("零 售 价："), cePrice);
    place(QStringLiteral("总 金 额："), ceTotalPrice);
    place(QStringLiteral("赠品名称A："), withButton(GroupBox1, cbbAddgoodA, sbAddGoodA));
    place(QStringLiteral("赠品数量A："), rceAddAmountA);
    place(QStringLiteral("赠品名称B："), withButton(GroupBox1, cbbAddgoodB, sbAddGoodB));
    place(QStringLiteral("赠品数量B："), rceAddAmountB);
    place(QStringLiteral("收    款："), ceShoukuan);
    place(QStringLiteral("购买地点："), withButton(GroupBox1, cbbArea, sbArea));
    place(QStringLiteral("购买日期："), dtpBuyDate);
    place(QStringLiteral("安 装 部："), withButton(GroupBox1, cbbSetupDept, sbSetupDept));
    place(QStringLiteral("预约安装日期："), dtpSetupDate);
    place(QStringLiteral("重约安装日期："), dtpsetupDate1);
    place(QStringLiteral("邮政编码："), edtPostcode);
    place(QStringLiteral("开单批号："), withButton(GroupBox1, cbbKDcode, sbKDcode));
    place(QStringLiteral("票 据 号："), edtKPcode);
    place(QStringLiteral("业 务 员："), withButton(GroupBox1, cbbMaker, sbMaker));
    place(QStringLiteral("用户提醒："), dtpAwokeDate);
    auto *flags = new QWidget(GroupBox1);
    auto *flagsLayout = new QHBoxLayout(flags);
    flagsLayout->setContentsMargins(0, 0, 0, 0);
    flagsLayout->addWidget(cbUseFlag);
    flagsLayout->addWidget(cbIFshoukuan);
    flagsLayout->addStretch();
    place(QString(), flags);
    for (int i = 0; i < 5; ++i) place(QString(), edtZF[i], lblZF[i]);
    for (int i = 0; i < 3; ++i) place(QString(), rceSZ[i], lblSZ[i]);
    for (int i = 0; i < 3; ++i) place(QString(), dtpRQ[i], lblRQ[i]);
    const int memoRow = (n + 2) / 3;
    auto *memoLabel = new QLabel(QStringLiteral("备注信息："), GroupBox1);
    memoLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(memoLabel, memoRow, 0);
    grid->addWidget(memo1, memoRow, 1, 1, 5);
    memo1->setFixedHeight(60);
    for (int c = 1; c < 6; c += 2) grid->setColumnStretch(c, 1);

    // The order the fields are entered in.
    QList<QWidget *> order {edtName, edtcode, edtBuyAddress, edtphone, edthandphone, cbbType, edtJScode, cbbXingHao,
                            rceAmount, cePrice, ceTotalPrice, cbbAddgoodA, rceAddAmountA, cbbAddgoodB, rceAddAmountB,
                            ceShoukuan, cbbArea, dtpBuyDate, cbbSetupDept, dtpSetupDate, dtpsetupDate1, edtPostcode,
                            cbbKDcode, edtKPcode, cbbMaker};
    for (QLineEdit *e : edtZF) order << e;
    for (NumberEdit *e : rceSZ) order << e;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // Lower panel.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    CheckBox1 = new QCheckBox(QStringLiteral("连续新增"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setFocusPolicy(Qt::ClickFocus);
    DBNavigator1 = named(new RecordNavigator(Panel1), "DBNavigator1");
    DBNavigator1->setDataSet(m_host.customerList());
    connect(DBNavigator1, &RecordNavigator::moved, this, &TfrmCltEdit::navigated);
    auto *empLabel = new QLabel(QStringLiteral("制 单 人："), Panel1);
    edtEmpName = new QLineEdit(Panel1);
    edtEmpName->setObjectName(QStringLiteral("edtEmpName"));
    edtEmpName->setReadOnly(true);
    edtEmpName->setFocusPolicy(Qt::NoFocus);
    edtEmpName->setStyleSheet(QStringLiteral("background-color: rgb(0, 255, 255);"));
    edtEmpName->setMaximumWidth(100);
    Button6 = button(Panel1, "Button6", QStringLiteral("打印当前销售单据"));
    Button1 = button(Panel1, "Button1", QStringLiteral("确定"));
    Button2 = button(Panel1, "Button2", QStringLiteral("取消"));
    panel->addWidget(CheckBox1);
    panel->addWidget(DBNavigator1);
    panel->addStretch();
    panel->addWidget(empLabel);
    panel->addWidget(edtEmpName);
    panel->addWidget(Button6);
    panel->addWidget(Button1);
    panel->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(Panel1);

    connect(Button1, &QPushButton::clicked, this, &TfrmCltEdit::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(rceAmount, &NumberEdit::valueChanged, this, &TfrmCltEdit::amountOrPriceChanged);
    connect(cePrice, &NumberEdit::valueChanged, this, &TfrmCltEdit::amountOrPriceChanged);
    const struct { QToolButton *button; QComboBox *box; const char *type; const char *caption; } pickers[] = {
        {sbType, cbbType, "type", "类别资料"},          {sbXingHao, cbbXingHao, "xinghao", "型号资料"},
        {sbAddGoodA, cbbAddgoodA, "addgood", "赠品资料"}, {sbAddGoodB, cbbAddgoodB, "addgood", "赠品资料"},
        {sbArea, cbbArea, "area", "购买地点资料"},       {sbSetupDept, cbbSetupDept, "setupdept", "安装部资料"},
        {sbKDcode, cbbKDcode, "kdcode", "开单批号资料"}, {sbMaker, cbbMaker, "maker", "业务员资料"}};
    for (const auto &p : pickers) {
        const QString type = QString::fromLatin1(p.type), caption = QString::fromUtf8(p.caption);
        QComboBox *box = p.box;
        connect(p.button, &QToolButton::clicked, this, [this, box, type, caption] { pick(box, type, caption); });
    }
    // The sales voucher is the main window's command, with its right.
    if (QAction *print = m_host.command(308)) {
        Button6->setVisible(print->isVisible());
        connect(Button6, &QPushButton::clicked, print, &QAction::trigger);
    } else {
        Button6->hide();
    }
}

// --- opening --------------------------------------------------------------------

bool TfrmCltEdit::OpenEditor(int mode)
{
    if (!prepare(mode)) return false;
    Dialogs::current().execDialog(*this);
    return true;
}

bool TfrmCltEdit::prepare(int mode)
{
    fillDropDowns();
    ApplyMode(mode == EditMode);
    return LoadFields(mode != NewMode);
}

void TfrmCltEdit::fillDropDowns()
{
    if (!dmData) return;
    const struct { QComboBox *box; const char *type; } lists[] = {
        {cbbType, "type"},   {cbbXingHao, "xinghao"},     {cbbAddgoodA, "addgood"}, {cbbAddgoodB, "addgood"},
        {cbbArea, "area"},   {cbbSetupDept, "setupdept"}, {cbbKDcode, "kdcode"},    {cbbMaker, "maker"}};
    for (const auto &l : lists) dmData->FillItems(codeValuesSql(QString::fromLatin1(l.type)), l.box);
}

void TfrmCltEdit::ApplyMode(bool isEdit)
{
    IsEdit = isEdit;
    CheckBox1->setVisible(!IsEdit);
    DBNavigator1->setVisible(IsEdit);
    setWindowTitle(IsEdit ? QStringLiteral("用户档案 - 修改") : QStringLiteral("用户档案 - 新增"));
}

void TfrmCltEdit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmCltEdit::FormShow()
{
    SetIme(this);
    for (int i = 0; i < 5; ++i) lblZF[i]->setText(PubUnit::KeyValues[i + 1] + QStringLiteral("："));
    for (int i = 0; i < 3; ++i) lblSZ[i]->setText(PubUnit::KeyValues[i + 6] + QStringLiteral("："));
    for (int i = 0; i < 3; ++i) lblRQ[i]->setText(PubUnit::KeyValues[i + 9] + QStringLiteral("："));
    cePrice->setDisplayFormat(PubUnit::FmtPrice);
    for (NumberEdit *e : {rceAmount, rceAddAmountA, rceAddAmountB}) e->setDisplayFormat(PubUnit::FmtAmount);
    for (NumberEdit *e : {ceTotalPrice, ceShoukuan}) e->setDisplayFormat(PubUnit::FmtTotal);
    edtName->setFocus();
}

// --- fields -----------------------------------------------------------------------

bool TfrmCltEdit::LoadFields(bool fromCurrentRow)
{
    const DataSet *ds = m_host.customerList();
    if (fromCurrentRow && ds && ds->isActive() && !ds->isEmpty()) {
        auto text = [ds](const char *f) { return ds->fieldByName(QString::fromLatin1(f)).asString(); };
        auto number = [ds](const char *f) { return ds->fieldByName(QString::fromLatin1(f)).asFloat(); };
        auto value = [ds](const char *f) { return ds->fieldByName(QString::fromLatin1(f)).value(); };
        edtcode->setText(text("F_Code"));
        edtName->setText(text("F_Name"));
        edtBuyAddress->setText(text("F_buyAddress"));
        edtphone->setText(text("F_phone"));
        edthandphone->setText(text("F_handPhone"));
        edtJScode->setText(text("F_JScode"));
        edtKPcode->setText(text("F_KPcode"));
        edtPostcode->setText(text("F_postCode"));
        memo1->setPlainText(text("F_memo1"));
        for (int i = 0; i < 5; ++i) edtZF[i]->setText(text(QStringLiteral("F_ZF%1").arg(i + 1).toLatin1().constData()));
        edtEmpName->setText(text("F_empName"));
        TdmData::SelectItem(text("F_type"), cbbType);
        TdmData::SelectItem(text("F_xingHao"), cbbXingHao);
        TdmData::SelectItem(text("F_AddGoodA"), cbbAddgoodA);
        TdmData::SelectItem(text("F_AddGoodB"), cbbAddgoodB);
        TdmData::SelectItem(text("F_Area"), cbbArea);
        TdmData::SelectItem(text("F_setupDept"), cbbSetupDept);
        TdmData::SelectItem(text("F_KDcode"), cbbKDcode);
        TdmData::SelectItem(text("F_maker"), cbbMaker);
        // The stored total is shown, not amount x price: it is set last.
        rceAmount->setValue(number("F_amount"));
        cePrice->setValue(number("F_price"));
        ceTotalPrice->setValue(number("F_totalPrice"));
        rceAddAmountA->setValue(number("F_addAmountA"));
        rceAddAmountB->setValue(number("F_addAmountB"));
        ceShoukuan->setValue(number("F_shoukuan"));
        for (int i = 0; i < 3; ++i) rceSZ[i]->setValue(number(QStringLiteral("F_SZ%1").arg(i + 1).toLatin1().constData()));
        const QDate buy = QDate::fromString(text("F_buyDate").left(10), QStringLiteral("yyyy-MM-dd"));
        dtpBuyDate->setDate(buy.isValid() ? buy : QDate::currentDate());
        dtpSetupDate->setStoredValue(value("F_setupDate"));
        dtpAwokeDate->setStoredValue(value("F_awokeDate"));
        dtpsetupDate1->setStoredValue(value("F_setupDate1"));
        for (int i = 0; i < 3; ++i) dtpRQ[i]->setStoredValue(value(QStringLiteral("F_RQ%1").arg(i + 1).toLatin1().constData()));
        cbUseFlag->setChecked(ds->fieldByName(QStringLiteral("F_useFlag")).asBoolean());
        cbIFshoukuan->setChecked(ds->fieldByName(QStringLiteral("F_IFshoukuan")).asBoolean());
        AreaId = ds->fieldByName(QStringLiteral("F_areaID")).asInteger();
        return true;
    }

    // New-record defaults; the area id stays as it is.
    for (QLineEdit *e : {edtName, edtBuyAddress, edtphone, edthandphone, edtJScode, edtPostcode, edtKPcode, edtEmpName})
        e->clear();
    for (QLineEdit *e : edtZF) e->clear();
    for (QComboBox *b : {cbbType, cbbXingHao, cbbAddgoodA, cbbAddgoodB, cbbArea, cbbSetupDept, cbbKDcode, cbbMaker})
        b->setCurrentText(QString());
    memo1->clear();
    for (NumberEdit *e : {rceAmount, cePrice, ceTotalPrice, rceAddAmountA, rceAddAmountB, ceShoukuan}) e->setValue(0);
    for (NumberEdit *e : rceSZ) e->setValue(0);
    dtpBuyDate->setDate(QDate::currentDate());
    for (CheckedDateEdit *d : {dtpSetupDate, dtpsetupDate1, dtpAwokeDate}) {
        d->setDate(QDate::currentDate());
        d->setChecked(false);
    }
    for (CheckedDateEdit *d : dtpRQ) {
        d->setDate(QDate::currentDate());
        d->setChecked(false);
    }
    cbUseFlag->setChecked(false);
    cbIFshoukuan->setChecked(false);

    QPalette normal = palette();
    if (PubUnit::AutoCode) {
        QString code;
        if (!nextCode(&code)) return false;
        edtcode->setText(code);
        edtcode->setReadOnly(true);
        edtcode->setFocusPolicy(Qt::NoFocus);
        normal.setColor(QPalette::Base, kGeneratedCode);
    } else {
        edtcode->clear();
        edtcode->setReadOnly(false);
        edtcode->setFocusPolicy(Qt::StrongFocus);
    }
    edtcode->setPalette(normal);
    return true;
}

bool TfrmCltEdit::nextCode(QString *code)
{
    if (!dmData) return false;
    QString error;
    *code = CustomerStore(*dmData).nextCode(&error);
    if (code->isEmpty()) {
        ShowMess(QStringLiteral("无法生成新的客户ID码：") + error, 3);
        return false;
    }
    return true;
}

void TfrmCltEdit::amountOrPriceChanged()
{
    ceTotalPrice->setValue(rceAmount->value() * cePrice->value());
}

CustomerRecord TfrmCltEdit::record() const
{
    CustomerRecord r;
    r.code = edtcode->text();
    r.name = edtName->text();
    r.buyAddress = edtBuyAddress->text();
    r.phone = edtphone->text();
    r.handPhone = edthandphone->text();
    r.type = cbbType->currentText();
    r.jsCode = edtJScode->text();
    r.xingHao = cbbXingHao->currentText();
    r.amount = rceAmount->value();
    r.price = cePrice->value();
    r.totalPrice = ceTotalPrice->value();
    r.addGoodA = cbbAddgoodA->currentText();
    r.addAmountA = rceAddAmountA->value();
    r.addGoodB = cbbAddgoodB->currentText();
    r.addAmountB = rceAddAmountB->value();
    r.shoukuan = ceShoukuan->value();
    r.area = cbbArea->currentText();
    r.setupDept = cbbSetupDept->currentText();
    r.buyDate = dtpBuyDate->date().toString(QStringLiteral("yyyy-MM-dd"));
    r.setupDate = dtpSetupDate->dateText();
    r.setupDate1 = dtpsetupDate1->dateText();
    r.postCode = edtPostcode->text();
    r.kdCode = cbbKDcode->currentText();
    r.kpCode = edtKPcode->text();
    r.maker = cbbMaker->currentText();
    r.memo1 = memo1->toPlainText();
    for (int i = 0; i < 5; ++i) r.zf[i] = edtZF[i]->text();
    for (int i = 0; i < 3; ++i) r.sz[i] = rceSZ[i]->value();
    for (int i = 0; i < 3; ++i) r.rq[i] = dtpRQ[i]->dateText();
    r.awokeDate = dtpAwokeDate->dateText();
    r.useFlag = cbUseFlag->isChecked();
    r.ifShoukuan = cbIFshoukuan->isChecked();
    return r;
}

// --- saving -------------------------------------------------------------------------

void TfrmCltEdit::Button1Click()
{
    if (!dmData) return;
    const CustomerStore store(*dmData);
    DataSet *list = m_host.customerList();
    std::optional<EditedCustomer> edited;
    if (IsEdit && list && list->isActive() && !list->isEmpty())
        edited = EditedCustomer {list->fieldByName(QStringLiteral("F_ID")).asInteger(),
                                 list->fieldByName(QStringLiteral("F_code")).asString()};

    if (store.repeats(QStringLiteral("F_Code"), edtcode->text(), edited)) {
        if (!PubUnit::AutoCode) {
            ShowMess(QStringLiteral("用户ID码重复，请重新输入！"), 0);
            edtcode->setFocus();
            return;
        }
        QString code;
        if (!nextCode(&code)) return;
        edtcode->setText(code);
    }
    const struct { const char *column; QLineEdit *box; const char *question; } warnings[] = {
        {"F_kpcode", edtKPcode, "票据号重复，是否保存当前输入？"},
        {"F_phone", edtphone, "客户电话重复，是否保存当前输入？"},
        {"F_handphone", edthandphone, "客户手机重复，是否保存当前输入？"}};
    for (const auto &w : warnings) {
        if (store.repeats(QString::fromLatin1(w.column), w.box->text(), edited)
            && ShowMess(QString::fromUtf8(w.question), 1) == Mess::No) {
            w.box->setFocus();
            return;
        }
    }
    if (!save(edited)) {
        ShowMess(kSaveFailed, 3);
        return;
    }

    if (IsEdit) {
        accept();
    } else if (CheckBox1->isChecked()) {
        // Continuous add: a clean form with the next code, editable unless
        // codes are generated (then the defaults hold it already). The row
        // itself is saved whatever happens here.
        QString code;
        if (LoadFields(false) && !PubUnit::AutoCode && nextCode(&code)) edtcode->setText(code);
        edtName->setFocus();
    } else {
        accept();
    }
    ApplyMode(false);
}

// Writes the row through the store, then refreshes the list on the saved customer.
bool TfrmCltEdit::save(const std::optional<EditedCustomer> &edited)
{
    if (IsEdit && !edited) return false;   // nothing to change
    const CustomerRecord r = record();
    CustomerStore store(*dmData);
    if (!store.save(r, edited, PubUnit::CurOper, AreaId)) {
        qWarning("customer save failed: %s", qPrintable(store.lastError()));
        return false;
    }
    m_host.reopenCustomerList();
    DataSet *list = m_host.customerList();
    if (list && list->isActive() && !list->locate(QStringLiteral("F_name"), r.name.trimmed(), false)) list->first();
    return true;
}

// --- navigator and pickers ----------------------------------------------------------

void TfrmCltEdit::navigated()
{
    const DataSet *list = m_host.customerList();
    LoadFields(true);
    if (list) edtcode->setText(list->fieldByName(QStringLiteral("F_code")).asString());
}

void TfrmCltEdit::pick(QComboBox *box, const QString &type, const QString &caption)
{
    TDLGcodeNewXZ picker(this);
    picker.CodeType = type;
    picker.setWindowTitle(caption);
    picker.PickCode(box);
}
