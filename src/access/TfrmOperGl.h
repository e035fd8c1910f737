#pragma once
// The operator list: who may log in, their description and customer
// visibility; opens the operator editor and deletes operators. The default
// operator admin is neither changed nor deleted here.

#include <QDialog>

class DataGrid;
class DataSet;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TfrmOperGl : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOperGl(QWidget *parent = nullptr);

    DataGrid *DBGridEh1;
    DataSet *QryTable;
    QPlainTextEdit *DBMemo1;
    QCheckBox *DBCheckBox1;
    QCheckBox *CheckBox1;   // 显示禁用操作员
    QPushButton *Button1;   // 新增
    QPushButton *Button2;   // 修改
    QPushButton *Button3;   // 删除
    QPushButton *Button4;   // 关闭

    // Reopens the list with the state of 显示禁用操作员 and makes the
    // operator `name` current when it is listed.
    void LoadList(const QString &name = {});

    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showCurrent();
    bool m_shown = false;
};
