#pragma once
// The complaint record editor.

#include "TfrmServiceEdit.h"

class CheckedDateEdit;
class QPlainTextEdit;
class QTimeEdit;

class TfrmTSrecEdit : public TfrmServiceEdit {
    Q_OBJECT
public:
    TfrmTSrecEdit(CustomerListHost *host, QWidget *parent);

    CheckedDateEdit *dtpTSdate;
    QTimeEdit *dtpTStime;
    QComboBox *cbbJibie;
    QToolButton *SpeedButton6;
    QComboBox *cbbMaker;
    QToolButton *SpeedButton1;
    QPlainTextEdit *memReason;
    QPlainTextEdit *memo1;
    QPlainTextEdit *Memo2;

protected:
    void fillDropDowns() override;
    void clearFields() override;
    void loadRow(const DataSet &row) override;
    void gather(ServiceRecord &r) const override;
};
