#pragma once
// The customer record editor: a new sale, a change of the current one, or a
// new one copied from it. Saving checks the code (a repeat stops), warns of
// repeated bill numbers and phones, writes the row in one transaction with
// the service records following a changed code, and refreshes the list.

#include "CustomerStore.h"

#include <QDialog>

class CheckedDateEdit;
class CustomerListHost;
class NumberEdit;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;
class RecordNavigator;

class TfrmCltEdit : public QDialog {
    Q_OBJECT
public:
    enum Mode { NewMode = 0, EditMode = 1, CopyMode = 2 };

    explicit TfrmCltEdit(CustomerListHost &host, QWidget *parent = nullptr);

    // Fills the drop-downs, loads the fields for the mode and runs the dialog.
    // False when it could not open (no next code could be formed).
    bool OpenEditor(int mode);
    // Prepares the dialog for a mode without running it (OpenEditor does both).
    bool prepare(int mode);
    void ApplyMode(bool isEdit);
    // From the list's current row, or new-record defaults; false when a new
    // code was needed and could not be formed.
    bool LoadFields(bool fromCurrentRow);
    // The values of the fields, as typed.
    CustomerRecord record() const;

    bool IsEdit = false;
    // The area id written with every save: one value for the whole run.
    static int AreaId;

    QGroupBox *GroupBox1;
    QLineEdit *edtName;
    QLineEdit *edtcode;
    QLineEdit *edtBuyAddress;
    QLineEdit *edtphone;
    QLineEdit *edthandphone;
    QComboBox *cbbType;
    QToolButton *sbType;
    QLineEdit *edtJScode;
    QComboBox *cbbXingHao;
    QToolButton *sbXingHao;
    NumberEdit *rceAmount;
    NumberEdit *cePrice;
    NumberEdit *ceTotalPrice;
    QComboBox *cbbAddgoodA;
    QToolButton *sbAddGoodA;
    NumberEdit *rceAddAmountA;
    QComboBox *cbbAddgoodB;
    QToolButton *sbAddGoodB;
    NumberEdit *rceAddAmountB;
    NumberEdit *ceShoukuan;
    QComboBox *cbbArea;
    QToolButton *sbArea;
    CheckedDateEdit *dtpBuyDate;
    QComboBox *cbbSetupDept;
    QToolButton *sbSetupDept;
    CheckedDateEdit *dtpSetupDate;
    CheckedDateEdit *dtpsetupDate1;
    QLineEdit *edtPostcode;
    QComboBox *cbbKDcode;
    QToolButton *sbKDcode;
    QLineEdit *edtKPcode;
    QComboBox *cbbMaker;
    QToolButton *sbMaker;
    QPlainTextEdit *memo1;
    QLineEdit *edtZF[5];
    QLabel *lblZF[5];
    NumberEdit *rceSZ[3];
    QLabel *lblSZ[3];
    CheckedDateEdit *dtpRQ[3];
    QLabel *lblRQ[3];
    CheckedDateEdit *dtpAwokeDate;
    QCheckBox *cbUseFlag;
    QCheckBox *cbIFshoukuan;

    QWidget *Panel1;
    QCheckBox *CheckBox1;        // 连续新增
    RecordNavigator *DBNavigator1;
    QLineEdit *edtEmpName;
    QPushButton *Button6;        // 打印当前销售单据
    QPushButton *Button1;        // 确定
    QPushButton *Button2;        // 取消

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void FormShow();
    void fillDropDowns();
    void Button1Click();
    bool save(const std::optional<EditedCustomer> &edited);
    bool nextCode(QString *code);
    void pick(QComboBox *box, const QString &type, const QString &caption);
    void navigated();
    void amountOrPriceChanged();

    CustomerListHost &m_host;
};
