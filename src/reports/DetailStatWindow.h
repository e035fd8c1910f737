#pragma once
// The detail statistics windows of sales, repairs, installations, gifts and
// complaints: one window built from the family's data (DetailStatSql.h);
// the five classes only name which family.

#include "DetailStatSql.h"

#include <QDialog>
#include <QHash>
#include <memory>

class CheckedDateEdit;
class CustomerListHost;
class DataGrid;
class DataSet;
class ListCounter;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;

class DetailStatWindow : public QDialog {
    Q_OBJECT
public:
    DetailStatWindow(DetailStatKind kind, QWidget *parent = nullptr);
    ~DetailStatWindow() override;

    DetailStatKind kind() const { return m_kind; }
    const DetailStatFamily &family() const;

    // The filter group as it stands.
    DetailStatFilter filter() const;
    // A filter control by its name ("edtName", "cbbArea"); nullptr if the window has none.
    QLineEdit *textBox(const QString &name) const;
    QComboBox *listBox(const QString &name) const;

    void tbQueryClick();
    void tbFirstClick();
    void tbPriorClick();
    void tbNextClick();
    void tbLastClick();
    void tbPrintClick();
    void tbSetClick();
    void tbExpertClick();
    void N1Click();
    void N2Click();

    QToolBar *ToolBar1;
    QToolButton *tbQuery, *tbFirst, *tbPrior, *tbNext, *tbLast, *tbPrint, *tbSet, *tbExpert, *tbExit;
    QGroupBox *GroupBox1;
    CheckedDateEdit *dtpFromDate, *dtpToDate;
    CheckedDateEdit *dtpfromDate1 = nullptr, *dtptoDate1 = nullptr;   // installations: the second range
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
    void buildFilterGroup();
    void setRecordCount();
    void recordCounted(int generation, int count);
    void sumFooters();
    std::optional<QDate> bound(const CheckedDateEdit *box) const;

    DetailStatKind m_kind;
    bool m_shown = false;
    QHash<QString, QWidget *> m_filters;   // control name -> its text box or drop-down
    std::unique_ptr<ListCounter> m_counter;
    QTimer *m_sumsDelay;
    int m_listGeneration = 0;
};

class TfrmXSdetailTj : public DetailStatWindow {
public:
    explicit TfrmXSdetailTj(QWidget *parent = nullptr) : DetailStatWindow(DetailStatKind::Sales, parent) {}
};

class TfrmWXdetailTJ : public DetailStatWindow {
public:
    explicit TfrmWXdetailTJ(QWidget *parent = nullptr) : DetailStatWindow(DetailStatKind::Repairs, parent) {}
};

class TfrmAZdetailTj : public DetailStatWindow {
public:
    explicit TfrmAZdetailTj(QWidget *parent = nullptr) : DetailStatWindow(DetailStatKind::Installations, parent) {}
};

class TfrmZPdetailTj : public DetailStatWindow {
public:
    explicit TfrmZPdetailTj(QWidget *parent = nullptr) : DetailStatWindow(DetailStatKind::Gifts, parent) {}
};

class TfrmTSdetailTj : public DetailStatWindow {
public:
    explicit TfrmTSdetailTj(QWidget *parent = nullptr) : DetailStatWindow(DetailStatKind::Complaints, parent) {}
};

// The window of a kind over the main window, placed, shown modally and
// destroyed on return.
void OpenDetailStat(DetailStatKind kind, CustomerListHost &host);
