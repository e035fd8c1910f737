#pragma once
// The site's custom settings: the captions of the eleven free fields and the
// decimals of quantities, prices and amounts (KeyValue, shared by every
// workstation), the default Chinese input method and automatic customer
// codes (this workstation's Config.ini).

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

class TfrmZDYset : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZDYset(QWidget *parent = nullptr);

    QTabWidget *PageControl1;
    QSpinBox *rsAmount;
    QSpinBox *rsPrice;
    QSpinBox *rsTotal;
    QComboBox *cbbImeName;
    QCheckBox *cbZDcode;
    QLineEdit *edtZF[5];   // edtZF1 ... edtZF5
    QLineEdit *edtSZ[3];   // edtSZ1 ... edtSZ3
    QLineEdit *edtRQ[3];   // edtRQ1 ... edtRQ3
    QPushButton *Button2;  // 确定
    QPushButton *Button3;  // 关闭

    void FormShow();
    void cbbImeNameEnter();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *captionBox(int position) const;   // 1..11
    bool m_shown = false;
};
