#pragma once
// Empties whole tables, typically the test data before a site goes live,
// after a question and an offered backup.

#include <QDialog>

class QCheckBox;
class QPushButton;

class TFrmDataClear : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDataClear(QWidget *parent = nullptr);

    QCheckBox *CheckBox1;   // 用户档案资料
    QCheckBox *CheckBox2;   // 用户回访记录
    QCheckBox *CheckBox3;   // 用户维修记录
    QCheckBox *CheckBox4;   // 用户投诉记录
    QCheckBox *CheckBox5;   // 选项设置
    QPushButton *Button1;   // 确定
    QPushButton *Button2;   // 关闭
    QPushButton *Button3;   // 全选
    QPushButton *Button4;   // 全清

    void Button1Click();
    void setAll(bool ticked);

private:
    // Offers a backup before anything is deleted; false when the operator
    // wanted one and it could not be made.
    bool backupFirst();
};
