#include "TfrmTSrecEdit.h"

#include "app/SetIme.h"
#include "components/CheckedDateEdit.h"
#include "components/FormFields.h"
#include "customers/CustomerListSql.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QComboBox>
#include <QGroupBox>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QTimeEdit>
#include <QToolButton>

using namespace FormFields;

namespace {

// Reached with the mouse only: Tab and Enter pass from the drop-downs to the buttons.

} // namespace

TfrmTSrecEdit::TfrmTSrecEdit(CustomerListHost *host, QWidget *parent)
    : TfrmServiceEdit(ServiceKind::Complaint, host, parent)
{
    QWidget *g = GroupBox1;
    dtpTSdate = dateBox(g, "dtpTSdate", false);
    addField(QStringLiteral("投诉日期："), dtpTSdate, dtpTSdate);
    dtpTStime = named(new QTimeEdit(g), "dtpTStime");
    dtpTStime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    addField(QStringLiteral("投诉时间："), dtpTStime, dtpTStime);
    cbbJibie = codeBox(g, "cbbJibie");
    SpeedButton6 = pickerButton(g, "SpeedButton6");
    addField(QStringLiteral("级    别："),
             withPicker(cbbJibie, SpeedButton6, QStringLiteral("tsjibie"), QStringLiteral("级别")), cbbJibie);
    cbbMaker = codeBox(g, "cbbMaker");
    SpeedButton1 = pickerButton(g, "SpeedButton1");
    addField(QStringLiteral("制 单 人："),
             withPicker(cbbMaker, SpeedButton1, QStringLiteral("maker"), QStringLiteral("制单人")), cbbMaker);
    memReason = memoBox(g, "memReason", 60, false);
    addField(QStringLiteral("投诉原因："), memReason, nullptr, true);
    memo1 = memoBox(g, "memo1", 60, false);
    addField(QStringLiteral("投诉处理结果："), memo1, nullptr, true);
    Memo2 = memoBox(g, "Memo2", 60, false);
    addField(QStringLiteral("备    注："), Memo2, nullptr, true);
    finishFields();
}

void TfrmTSrecEdit::fillDropDowns()
{
    dmData->FillItems(codeValuesSql(QStringLiteral("tsjibie")), cbbJibie);
    dmData->FillItems(codeValuesSql(QStringLiteral("maker")), cbbMaker);
}

void TfrmTSrecEdit::clearFields()
{
    const QDateTime now = QDateTime::currentDateTime();
    dtpTSdate->setDate(now.date());
    dtpTStime->setTime(now.time());
    for (QComboBox *b : {cbbJibie, cbbMaker}) b->setCurrentText(QString());
    for (QPlainTextEdit *m : {memReason, memo1, Memo2}) m->clear();
}

void TfrmTSrecEdit::loadRow(const DataSet &row)
{
    dtpTSdate->setDate(storedDate(row, "F_tsDate"));
    dtpTStime->setTime(storedTime(row, "F_tsDate"));
    TdmData::SelectItem(text(row, "F_Jibie"), cbbJibie);
    TdmData::SelectItem(text(row, "F_maker"), cbbMaker);
    memReason->setPlainText(text(row, "F_Reason"));
    memo1->setPlainText(text(row, "F_memo1"));
    Memo2->setPlainText(text(row, "F_memo2"));
}

void TfrmTSrecEdit::gather(ServiceRecord &r) const
{
    r.set("tsDate", complaintMoment(dtpTSdate->date(), dtpTStime->time()));
    r.set("jibie", cbbJibie->currentText());
    r.set("maker", cbbMaker->currentText());
    r.set("reason", memReason->toPlainText());
    r.set("memo1", memo1->toPlainText());
    r.set("memo2", Memo2->toPlainText());
}
