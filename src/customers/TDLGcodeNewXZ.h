#pragma once
// The code picker beside a drop-down: choose an entry of one code list,
// search it by name, or add an entry.

#include <QDialog>
#include <QString>

class DataGrid;
class DataSet;
class QComboBox;
class QLineEdit;
class QPushButton;

class TDLGcodeNewXZ : public QDialog {
    Q_OBJECT
public:
    explicit TDLGcodeNewXZ(QWidget *parent = nullptr);
    ~TDLGcodeNewXZ() override;

    QString CodeType;
    bool CodesAdded = false;

    // Runs the picker on the drop-down and returns the chosen name (empty
    // when closed); the caller sets the caption first.
    QString PickCode(QComboBox *box);

    QLineEdit *edtcode;
    QLineEdit *edtname;
    QPushButton *BitBtn3;   // 查询
    DataGrid *DBGridEh1;
    QPushButton *BitBtn1;   // 确定
    QPushButton *BitBtn2;   // 关闭
    QPushButton *Button1;   // 新增
    DataSet *QryCode;       // the list shown

    void FilterCodes();
    void Button1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
