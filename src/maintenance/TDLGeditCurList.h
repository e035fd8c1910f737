#pragma once
// Asks for the value the import preview puts into one column of the chosen rows.

#include <QDialog>
#include <optional>

class QLineEdit;
class QPushButton;

class TDLGeditCurList : public QDialog {
    Q_OBJECT
public:
    explicit TDLGeditCurList(QWidget *parent = nullptr);

    // The text typed on "确定"; nothing on "取消".
    static std::optional<QString> Ask(QWidget *parent);

    QLineEdit *Edit1;
    QPushButton *Button1;   // 确定
    QPushButton *Button2;   // 取消
};
