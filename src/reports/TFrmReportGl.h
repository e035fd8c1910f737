#pragma once
// 报表管理器: design or preview the six templates that print from the main
// window, on the main window's sources.

#include <QDialog>

class CustomerListHost;
class QListWidget;
class QPushButton;

class TFrmReportGl : public QDialog {
    Q_OBJECT
public:
    explicit TFrmReportGl(CustomerListHost &host, QWidget *parent = nullptr);

    struct Item {
        const char *caption;
        const char *file;
        bool designNeedsCustomers;
    };
    static const Item Items[6];

    QListWidget *ListBox1;
    QPushButton *Button3;   // 设计
    QPushButton *Button4;   // 预览
    QPushButton *Button5;   // 关闭

    void Button3Click();
    void Button4Click();

private:
    const Item *selected() const;
    bool customersListed() const;

    CustomerListHost &m_host;
};

// Provides the windows of the reports library for their commands.
void provideReportWindows();
