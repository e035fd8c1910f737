#pragma once
// 业务提醒: the customers whose reminder date falls from today through a
// chosen number of days ahead, those due today in red; printed through a
// template, and a reminder leads to its customer's record in the main
// window. Opened from the menu (modal), or by itself at start (modeless, on
// top) when the operator asked for it.

#include <QDialog>

class CustomerListHost;
class DataGrid;
class DataSet;
class QAction;
class QCheckBox;
class QMenu;
class QPushButton;
class QSpinBox;

class TfrmAwokeGl : public QDialog {
    Q_OBJECT
public:
    // `atStart`: the window opened by itself beside the main window.
    TfrmAwokeGl(CustomerListHost &host, bool atStart, QWidget *parent = nullptr);

    // The reminders from today through the spin box's days ahead.
    void RunQuery();
    bool hasReminders() const;

    void Button1Click();   // 刷新
    void Button2Click();   // 打印
    void Button4Click();   // 报表设置
    void N1Click();
    void N2Click();
    void N3Click();        // 定位到此记录

    DataGrid *DBGridEh1;
    DataSet *QryTable1;
    QCheckBox *CheckBox1;
    QSpinBox *rseDate1;
    QPushButton *Button1, *Button2, *Button3, *Button4;
    QMenu *PopupMenu1;
    QAction *N1, *N2, *N3;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormShow();
    void FormClose();

    CustomerListHost &m_host;
    bool m_atStart;
    bool m_shown = false;
};

// The reminder window over the main window, modal, destroyed on return.
void OpenAwokeWindow(CustomerListHost &host);
// At start: when the operator asked for it, the reminders beside the main
// window, modeless and on top, closed again at once when none is due.
// Returns the window left open, if any.
TfrmAwokeGl *OpenAwokeWindowAtStart(CustomerListHost &host);
