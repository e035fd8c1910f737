#include "TfrmHFrecEdit.h"

#include "app/SetIme.h"
#include "components/CheckedDateEdit.h"
#include "components/FormFields.h"
#include "customers/CustomerListSql.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace FormFields;

TfrmHFrecEdit::TfrmHFrecEdit(CustomerListHost *host, QWidget *parent)
    : TfrmServiceEdit(ServiceKind::ReturnVisit, host, parent)
{
    QWidget *g = GroupBox1;
    dtpDate = dateBox(g, "dtpDate", false);
    addField(QStringLiteral("回访日期："), dtpDate, dtpDate);
    // The visitor stands beside the date but is entered last.
    cbbEmpName = codeBox(g, "cbbEmpName");
    sbEmpName = pickerButton(g, "sbEmpName");
    addField(QStringLiteral("回访人员："),
             withPicker(cbbEmpName, sbEmpName, QStringLiteral("maker"), QStringLiteral("业务员资料")), nullptr);
    mem1 = memoBox(g, "mem1", 70);
    addField(QStringLiteral("回访内容："), mem1, mem1, true);
    mem2 = memoBox(g, "mem2", 70);
    addField(QStringLiteral("回访事项处理："), mem2, mem2, true);
    addEntry(cbbEmpName);
    finishFields();
}

void TfrmHFrecEdit::fillDropDowns()
{
    dmData->FillItems(codeValuesSql(QStringLiteral("maker")), cbbEmpName);
}

void TfrmHFrecEdit::clearFields()
{
    dtpDate->setDate(QDate::currentDate());
    cbbEmpName->setCurrentText(QString());
    mem1->clear();
    mem2->clear();
}

void TfrmHFrecEdit::loadRow(const DataSet &row)
{
    dtpDate->setDate(storedDate(row, "F_date"));
    TdmData::SelectItem(text(row, "F_empName"), cbbEmpName);
    mem1->setPlainText(text(row, "F_mem1"));
    mem2->setPlainText(text(row, "F_mem2"));
}

void TfrmHFrecEdit::gather(ServiceRecord &r) const
{
    r.set("date", dtpDate->dateText());
    r.set("empName", cbbEmpName->currentText());
    r.set("mem1", mem1->toPlainText());
    r.set("mem2", mem2->toPlainText());
}
