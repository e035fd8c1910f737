#pragma once
// 客户服务信息统计分析: the customer archive counted by one of six groupings,
// optionally over a purchase-date range and only for customers in use,
// shown as a pie and as a list with a total, and printed from either or
// through a template.

#include "CltStatSql.h"

#include <QDialog>

class CheckedDateEdit;
class DataGrid;
class DataSet;
class QCheckBox;
class QChart;
class QChartView;
class QLabel;
class QListWidget;
class QPieSeries;
class QPushButton;
class QTabWidget;

class TfrmCltStatCx : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCltStatCx(QWidget *parent = nullptr);

    // The count of the selected grouping; nothing when none is selected.
    void RunQuery();
    CltStatFilter filter() const;
    void btnDYClick();
    void Button1Click();

    QLabel *Label1;
    QPushButton *Button1;        // template print
    QTabWidget *TabControl1;     // 统计方式
    QListWidget *ListBox1;
    CheckedDateEdit *dtpfromDate, *dtptoDate;
    QCheckBox *CheckBox1;        // 包含已停用
    QPushButton *btnCX, *btnDY;
    QTabWidget *PageControl1;    // chart page, list page
    QChartView *DBChart1;
    QChart *chart;
    QPieSeries *series;
    DataGrid *DBGridEh1;
    DataSet *QryTable;
    QLabel *StatusPanels[4];

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    QString groupingName() const;

    bool m_shown = false;
    bool m_queryReady = false;
    bool m_queriedThisPress = false;
};
