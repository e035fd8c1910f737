#pragma once
// The list windows of the repair, return-visit and complaint records: one
// window built from the family's data (ServiceListSql.h); the three classes
// only name which family.

#include "ServiceListSql.h"

#include <QDate>
#include <QDialog>
#include <optional>

class CategoryPanel;
class CheckedDateEdit;
class CustomerListHost;
class DataGrid;
class DataSet;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolBar;
class QToolButton;
class QWidget;

class ServiceListWindow : public QDialog {
    Q_OBJECT
public:
    ServiceListWindow(ServiceKind kind, QWidget *parent = nullptr);
    ~ServiceListWindow() override;

    ServiceKind kind() const { return m_kind; }
    const ServiceListFamily &family() const;

    // Builds the statement from the filter bar and the category panel and
    // reopens QryTable with it.
    void RunQuery();
    void LoadCategoryList(const QString &statement);
    ServiceListFilter filter() const;

    void tbNewClick();
    void tbEditClick();
    void tbDelClick();
    void tbFirstClick();
    void tbPriorClick();
    void tbNextClick();
    void tbLastClick();
    void tbPrintClick();
    void tbsetClick();
    void ToolButton1Click();
    void N1Click();
    void N2Click();

    QToolBar *ToolBar1;
    QToolButton *tbNew, *tbEdit, *tbDel, *tbFirst, *tbPrior, *tbNext, *tbLast, *tbPrint, *tbset, *ToolButton1, *tbExit;
    QWidget *Panel1;
    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QComboBox *ComboBox2 = nullptr;        // the visitor, return visits only
    CheckedDateEdit *dtpFromDate, *dtpToDate;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2 = nullptr;   // these two and the panel: with categories only
    CategoryPanel *Panel3 = nullptr;
    QTableWidget *vleList = nullptr;
    QComboBox *cbbListType = nullptr;
    QPushButton *Button1 = nullptr;
    DataGrid *DBGridEh1;
    DataSet *QryTable;
    QLabel *StatusPanels[4];
    QMenu *PopupMenu1;
    QAction *N1, *N2;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void ComboBox1Change();
    void cbbListTypeChange();
    void openEditor(int mode);
    void reopen(long long savedId);
    std::optional<QDate> fromDate() const;
    std::optional<QDate> toDate() const;

    ServiceKind m_kind;
    bool m_shown = false;
    bool m_queryReady = false;        // off until the window's first query
};

class TfrmWXrecMan : public ServiceListWindow {
public:
    explicit TfrmWXrecMan(QWidget *parent = nullptr) : ServiceListWindow(ServiceKind::Repair, parent) {}
};

class TfrmHFrecMan : public ServiceListWindow {
public:
    explicit TfrmHFrecMan(QWidget *parent = nullptr) : ServiceListWindow(ServiceKind::ReturnVisit, parent) {}
};

class TfrmTSrecMan : public ServiceListWindow {
public:
    explicit TfrmTSrecMan(QWidget *parent = nullptr) : ServiceListWindow(ServiceKind::Complaint, parent) {}
};

// The list window of a kind over the main window, placed, shown modally and
// destroyed on return.
void OpenServiceList(ServiceKind kind, CustomerListHost &host);
