#pragma once
// Asks for the name of a new code-list entry.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class TDLGaddText : public QDialog {
    Q_OBJECT
public:
    explicit TDLGaddText(QWidget *parent = nullptr);

    // True and the name exactly as typed when confirmed; false when closed.
    bool AskText(QString *name);

    QLineEdit *edtName;
    QPushButton *BitBtn1;   // 确定
    QPushButton *BitBtn2;   // 关闭

    void BitBtn1Click();
};
