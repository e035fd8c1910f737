#pragma once
// The return-visit record editor.

#include "TfrmServiceEdit.h"

class CheckedDateEdit;
class QPlainTextEdit;

class TfrmHFrecEdit : public TfrmServiceEdit {
    Q_OBJECT
public:
    TfrmHFrecEdit(CustomerListHost *host, QWidget *parent);

    CheckedDateEdit *dtpDate;
    QComboBox *cbbEmpName;
    QToolButton *sbEmpName;
    QPlainTextEdit *mem1;
    QPlainTextEdit *mem2;

protected:
    void fillDropDowns() override;
    void clearFields() override;
    void loadRow(const DataSet &row) override;
    void gather(ServiceRecord &r) const override;
};
