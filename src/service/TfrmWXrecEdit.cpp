#include "TfrmWXrecEdit.h"

#include "app/PubUnit.h"
#include "app/SetIme.h"
#include "components/CheckedDateEdit.h"
#include "components/FormFields.h"
#include "components/NumberEdit.h"
#include "customers/CustomerListSql.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace FormFields;

TfrmWXrecEdit::TfrmWXrecEdit(CustomerListHost *host, QWidget *parent)
    : TfrmServiceEdit(ServiceKind::Repair, host, parent)
{
    QWidget *g = GroupBox1;
    dtpBxDate = dateBox(g, "dtpBxDate", false);
    addField(QStringLiteral("报修日期："), dtpBxDate, dtpBxDate);
    dtpXFdate = dateBox(g, "dtpXFdate");
    addField(QStringLiteral("修复日期："), dtpXFdate, dtpXFdate);
    cbbXinghao = codeBox(g, "cbbXinghao");
    sbXingHao = pickerButton(g, "sbXingHao", QStringLiteral("增加型号资料"));
    addField(QStringLiteral("型    号："),
             withPicker(cbbXinghao, sbXingHao, QStringLiteral("xinghao"), QStringLiteral("型号资料")), cbbXinghao);
    edtJScode = textBox(g, "edtJScode");
    addField(QStringLiteral("机身编码："), edtJScode, edtJScode);
    cbbReason = codeBox(g, "cbbReason", true);
    sbReason = pickerButton(g, "sbReason", QStringLiteral("增加故障原因"));
    addField(QStringLiteral("故障原因："),
             withPicker(cbbReason, sbReason, QStringLiteral("reason"), QStringLiteral("故障原因资料")), cbbReason);
    rceAmount = numberBox(g, "rceAmount");
    addField(QStringLiteral("数    量："), rceAmount, rceAmount);
    cePrice = numberBox(g, "cePrice");
    addField(QStringLiteral("单    价："), cePrice, cePrice);
    ceTotalPrice = numberBox(g, "ceTotalPrice");
    addField(QStringLiteral("总 金 额："), ceTotalPrice, ceTotalPrice);
    ceShoukuan = numberBox(g, "ceShoukuan");
    addField(QStringLiteral("维修费用："), ceShoukuan, ceShoukuan);
    cbbSetupDept = codeBox(g, "cbbSetupDept");
    sbSetupDept = pickerButton(g, "sbSetupDept", QStringLiteral("增加安装部信息"));
    addField(QStringLiteral("维 修 部："),
             withPicker(cbbSetupDept, sbSetupDept, QStringLiteral("setupdept"), QStringLiteral("维修部门资料")),
             cbbSetupDept);
    edtbillcode = textBox(g, "edtbillcode");
    addField(QStringLiteral("维修单号："), edtbillcode, edtbillcode);
    cbbFWname = codeBox(g, "cbbFWname");
    sbFWname = pickerButton(g, "sbFWname", QStringLiteral("增加维修人员资料"));
    addField(QStringLiteral("维修人员："),
             withPicker(cbbFWname, sbFWname, QStringLiteral("fwname"), QStringLiteral("维修人员资料")), cbbFWname);
    mem1 = memoBox(g, "mem1", 60);
    addField(QStringLiteral("备    注："), mem1, mem1, true);
    addPrintButton();
    finishFields();

    // The total follows the price only; a changed quantity leaves it as it is.
    connect(cePrice, &NumberEdit::valueChanged, this,
            [this] { ceTotalPrice->setValue(cePrice->value() * rceAmount->value()); });
}

void TfrmWXrecEdit::fillDropDowns()
{
    const struct { QComboBox *box; const char *type; } lists[] = {
        {cbbXinghao, "xinghao"}, {cbbReason, "reason"}, {cbbSetupDept, "setupdept"}, {cbbFWname, "fwname"}};
    for (const auto &l : lists) dmData->FillItems(codeValuesSql(QString::fromLatin1(l.type)), l.box);
}

void TfrmWXrecEdit::FormShow()
{
    TfrmServiceEdit::FormShow();
    rceAmount->setDisplayFormat(PubUnit::FmtAmount);
    cePrice->setDisplayFormat(PubUnit::FmtPrice);
    ceTotalPrice->setDisplayFormat(PubUnit::FmtTotal);
    ceShoukuan->setDisplayFormat(PubUnit::FmtTotal);
}

void TfrmWXrecEdit::clearFields()
{
    dtpBxDate->setDate(QDate::currentDate());
    dtpXFdate->setDate(QDate::currentDate());
    dtpXFdate->setChecked(false);
    for (QComboBox *b : {cbbXinghao, cbbReason, cbbSetupDept, cbbFWname}) b->setCurrentText(QString());
    for (NumberEdit *e : {rceAmount, ceShoukuan, cePrice, ceTotalPrice}) e->setValue(0);
    edtbillcode->clear();
    edtJScode->clear();
    mem1->clear();
}

void TfrmWXrecEdit::loadRow(const DataSet &row)
{
    dtpBxDate->setDate(storedDate(row, "F_BXdate"));
    dtpXFdate->setStoredValue(row.fieldByName(QStringLiteral("F_XFdate")).value());
    TdmData::SelectItem(text(row, "F_xingHao"), cbbXinghao);
    TdmData::SelectItem(text(row, "F_reason"), cbbReason);
    // The stored total is shown, not price x quantity: it is set last.
    rceAmount->setValue(row.fieldByName(QStringLiteral("F_amount")).asFloat());
    cePrice->setValue(row.fieldByName(QStringLiteral("F_price")).asFloat());
    ceTotalPrice->setValue(row.fieldByName(QStringLiteral("F_totalPrice")).asFloat());
    ceShoukuan->setValue(row.fieldByName(QStringLiteral("F_shoukuan")).asFloat());
    TdmData::SelectItem(text(row, "F_setupDept"), cbbSetupDept);
    edtbillcode->setText(text(row, "F_billcode"));
    mem1->setPlainText(text(row, "F_mem1"));
    TdmData::SelectItem(text(row, "F_FWname"), cbbFWname);
    edtJScode->setText(text(row, "F_JScode"));
}

void TfrmWXrecEdit::gather(ServiceRecord &r) const
{
    r.set("BXdate", dtpBxDate->dateText());
    r.set("XFdate", dtpXFdate->dateText());
    r.set("xinghao", cbbXinghao->currentText());
    r.set("reason", cbbReason->currentText());
    r.set("amount", rceAmount->value());
    r.set("shoukuan", ceShoukuan->value());
    r.set("setupDept", cbbSetupDept->currentText());
    r.set("billcode", edtbillcode->text());
    r.set("mem1", mem1->toPlainText());
    r.set("price", cePrice->value());
    r.set("totalPrice", ceTotalPrice->value());
    r.set("FWname", cbbFWname->currentText());
    r.set("JScode", edtJScode->text());
}
