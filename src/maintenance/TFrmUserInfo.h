#pragma once
// The company window: the dealer's name, address, contacts, homepage,
// e-mail, backup folder, legal representative and profile, saved into the
// one SysInfo row.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
struct CompanyInfo;

class TFrmUserInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFrmUserInfo(QWidget *parent = nullptr);

    QTabWidget *PageControl1;
    QLineEdit *edtCode;
    QLineEdit *edtName;
    QLineEdit *edtManager;
    QLineEdit *edtPhone;
    QLineEdit *edtMovePhone;
    QLineEdit *edtHomepage;
    QLineEdit *edtEmail;
    QLineEdit *edtBakPath;
    QToolButton *SpeedButton1;
    QLineEdit *edtEnroler;
    QPlainTextEdit *Mem;
    QPushButton *BitBtn1;   // 重填
    QPushButton *BitBtn3;   // 修改
    QPushButton *BitBtn2;   // 保存
    QPushButton *BitBtn4;   // 关闭

    void LoadFields();      // show and 修改
    void BitBtn1Click();    // 重填
    void BitBtn2Click();    // 保存
    void SpeedButton1Click();
    void edtHomepageDblClick();
    void edtEmailDblClick();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CompanyInfo fields() const;
    void setFields(const CompanyInfo &info);
    QWidget *box(int field) const;
    bool m_shown = false;
};
