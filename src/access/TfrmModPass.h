#pragma once
// The logged-in operator changes the own password: the old one tested,
// the new one typed twice. Closes after 确定 whatever the outcome.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmModPass : public QDialog {
    Q_OBJECT
public:
    explicit TfrmModPass(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label5;
    QLineEdit *edtOldPass;
    QLineEdit *edtNewPass;
    QLineEdit *edtAdjustPass;
    QPushButton *BitBtn1;   // 确定(&O)
    QPushButton *BitBtn2;   // 取消(&C)

    void BitBtn1Click();
};
