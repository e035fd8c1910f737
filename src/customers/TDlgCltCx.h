#pragma once
// The advanced customer query: conditions on many customer columns at once,
// with three date ranges. It only builds the statement; the main window
// runs it.

#include "AdvancedQuerySql.h"

#include <QDialog>

class CheckedDateEdit;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TDlgCltCx : public QDialog {
    Q_OBJECT
public:
    explicit TDlgCltCx(QWidget *parent = nullptr);

    // Fills the drop-downs, runs the dialog modally and gives the statement
    // on "查询", an empty text when it was closed.
    QString AskQuery();
    // The conditions as the controls hold them now.
    AdvancedQuery query() const;

    QGroupBox *GroupBox1;
    QLineEdit *edtName;
    QLineEdit *edtJScode;
    QLineEdit *edtBuyAddress;
    QLineEdit *edtphone;
    QLineEdit *edthandphone;
    QComboBox *cbbType;
    QComboBox *cbbKDcode;
    QComboBox *cbbXingHao;
    QComboBox *cbbArea;
    QComboBox *cbbSetupDept;
    QLineEdit *edtKPcode;   // shown for the layout's sake; bill numbers are searched from the main window
    QComboBox *cbbMaker;
    QPlainTextEdit *Mem;
    QGroupBox *RadioGroup1;           // 全    部 / 正在使用 / 不再使用
    QButtonGroup *RadioGroup1Items;   // ids 0..2 in that order
    QGroupBox *RadioGroup2;           // 全    部 / 未收款 / 已收款
    QButtonGroup *RadioGroup2Items;

    QGroupBox *GroupBox2;
    QCheckBox *CheckBox1;   // purchase date
    CheckedDateEdit *dtpfromDate;
    CheckedDateEdit *dtptoDate;
    QCheckBox *CheckBox2;   // appointment
    CheckedDateEdit *dtpfromDate1;
    CheckedDateEdit *dtptoDate1;
    QCheckBox *CheckBox3;   // re-appointment
    CheckedDateEdit *dtpfromDate2;
    CheckedDateEdit *dtptoDate2;

    QPushButton *Button1;   // 查询(&P)
    QPushButton *Button2;   // 关闭(&C)

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void fillDropDowns();

    bool m_shown = false;
};
