#pragma once
// The repair record editor.

#include "TfrmServiceEdit.h"

class CheckedDateEdit;
class NumberEdit;
class QPlainTextEdit;

class TfrmWXrecEdit : public TfrmServiceEdit {
    Q_OBJECT
public:
    TfrmWXrecEdit(CustomerListHost *host, QWidget *parent);

    CheckedDateEdit *dtpBxDate;
    CheckedDateEdit *dtpXFdate;
    QComboBox *cbbXinghao;
    QToolButton *sbXingHao;
    QLineEdit *edtJScode;
    QComboBox *cbbReason;
    QToolButton *sbReason;
    NumberEdit *rceAmount;
    NumberEdit *cePrice;
    NumberEdit *ceTotalPrice;
    NumberEdit *ceShoukuan;
    QComboBox *cbbSetupDept;
    QToolButton *sbSetupDept;
    QLineEdit *edtbillcode;
    QComboBox *cbbFWname;
    QToolButton *sbFWname;
    QPlainTextEdit *mem1;

protected:
    void fillDropDowns() override;
    void clearFields() override;
    void loadRow(const DataSet &row) override;
    void gather(ServiceRecord &r) const override;
    void FormShow() override;
};
