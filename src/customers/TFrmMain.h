#pragma once
// The main window: the customer list with its search bar, category panel and
// detail tabs (TFrmMain.cpp), and the command centre around it: menus,
// toolbars, context menus, keys, status bar and the commands themselves
// (TFrmMainCommands.cpp).

#include "components/CustomerListHost.h"

#include <QHash>
#include <QMainWindow>
#include <QSet>
#include <QStyle>
#include <QVariant>
#include <functional>
#include <initializer_list>
#include <memory>

class CategoryPanel;
class DataGrid;
class ListCounter;
class QAbstractScrollArea;
class DataSet;
class QAction;
class QCheckBox;
class QKeyEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTableWidget;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

class TFrmMain : public QMainWindow, public CustomerListHost {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);
    ~TFrmMain() override;

    // CustomerListHost
    DataSet *customerList() const override { return QryMain; }
    void reopenCustomerList() override { RefreshList(); }
    DataSet *detailList(int tab) const override { return detailQuery(tab); }
    void reopenDetailList(int tab) override { ReopenDetail(tab); }
    int currentDetailTab() const override;
    std::unique_ptr<DataSetSource> customerRows() const override;
    std::unique_ptr<DataSetSource> detailRows(int tab) const override;
    QAction *command(int code) const override { return action(code); }
    QWidget *hostWindow() override { return this; }
    void applySettings() override { ApplyGridCaptions(); }

    // --- the customer list --------------------------------------------------
    // Builds the list statement from the search state, reopens the list and
    // the detail lists, and updates the record count.
    void RunQuery();
    // Fills the category panel from a distinct-values statement (kind 1..5)
    // and shows every customer of the other filters.
    void LoadCategoryList(const QString &statement, int kind);
    void ApplyGridCaptions();
    // "刷新": reopens the list with the statement it was opened with
    // (filters, category and an advanced query stay in force).
    void RefreshList();
    // Reopens one detail list (0 repairs, 1 return visits, 2 complaints) for the current customer.
    void ReopenDetail(int tab);

    // The current customer is the current row of QryMain.
    DataSet *QryMain;
    DataSet *QryDetail1;   // repairs
    DataSet *QryDetail2;   // return visits
    DataSet *QryDetail3;   // complaints
    DataSet *detailQuery(int tab) const;
    DataGrid *detailGrid(int tab) const;

    // Search bar.
    QWidget *Panel1;
    QToolButton *SpeedButton1;   // shows or hides the category panel
    QCheckBox *CheckBox1;        // 包含已停用
    QCheckBox *CheckBox2;        // 包含已收款
    QComboBox *ComboBox1;        // search field
    QLineEdit *Edit1;            // search text
    QComboBox *cbbValue;         // search value for gifts and salesmen
    QPushButton *BitBtn1;        // 查找(F3)
    QToolButton *SpeedButton2;   // 高级查找...

    // Category panel.
    CategoryPanel *pList;
    QTableWidget *vleList;
    QComboBox *cbbListType;
    QPushButton *Button1;        // 刷新列表

    // List area.
    QSplitter *Splitter1;        // category panel | list area
    QSplitter *Splitter2;        // customer grid / detail area
    DataGrid *DBGridEh1;         // customers
    QListWidget *ListView1;
    QToolBar *tbDetail;          // the detail area's own toolbar (filled by the commands)
    QTabWidget *rpcList;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QWidget *TabSheet3;
    DataGrid *DBGridEh2;         // repairs
    DataGrid *DBGridEh3;         // return visits
    DataGrid *DBGridEh4;         // complaints
    QLabel *lblCLTnum;

    QStatusBar *StatusBar1;

    // --- the commands -----------------------------------------------------------
    // The action with a right code (101 ... 504, 901 ... 906, 31); nullptr for others.
    QAction *action(int code) const { return m_actions.value(code); }
    // Shows each coded command by the operator's rights (admin: all), with
    // their followers and the menu groups.
    void SetLimits(const QString &loginName);

    QToolBar *ToolBar1;
    QMenu *mnuFile;
    QMenu *mnuEdit;
    QMenu *mnuOutput;
    QMenu *mnuStat;
    QMenu *mnuData;
    QMenu *mnuView;
    QMenu *mnuTools;
    QMenu *mnuHelp;
    QMenu *PopupMenu1;   // customer grid
    QMenu *PopupMenu2;   // detail tab control
    QMenu *PopupMenu3;   // detail grids
    QTimer *Timer1;      // the status bar clock

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // TFrmMain.cpp
    void buildLayout();
    void FormShow();
    void openList(const QString &statement);
    void setRecordCount();
    void ComboBox1Change();
    void SpeedButton2Click();
    void vleListClick();
    void cbbListTypeChange();
    void followCurrentCustomer();
    // A count made for the list of `generation`; one for an older list is dropped.
    void recordCounted(int generation, int count);
    void sumFooters();   // a long list's footer totals, on the counting reader
    void recordSummed(int generation, const QVector<int> &fields, const QVector<double> &totals);

    // TFrmMainCommands.cpp
    void createCommands();
    void createToolBar();
    void createStatusBar();
    QAction *namedAction(const char *objectName, const QString &caption, QStyle::StandardPixmap icon);
    QMenu *addMainMenu(const char *objectName, const QString &title);
    void fillMenu(QMenu *menu, std::initializer_list<QVariant> items);
    void attachPopup(QAbstractScrollArea *area, QMenu *menu);
    // A numbered command the main window does itself; the others open the
    // window a subsystem provides for the number (CommandRegistry).
    void ownCommand(int code, const std::function<void()> &handler);
    void runProvidedCommand(int code);
    void showClock();
    bool commandKey(QKeyEvent *event);   // Ctrl+A/E/S, Esc; true when handled
    // One file per menu: TFrmMainFileMenu.cpp, TFrmMainEditMenu.cpp,
    // TFrmMainOutputMenu.cpp, TFrmMainDataMenu.cpp, TFrmMainHelpMenu.cpp
    // (view, tools, help) and TFrmMainDetailCommands.cpp (the detail tabs).
    void createFileMenu();
    void createEditMenu();
    void createOutputMenu();
    void createDataMenu();
    void createViewToolsHelpMenus();
    void createDetailCommands();

    QHash<int, QAction *> m_actions;
    QSet<int> m_ownCommands;
    QString m_statement;         // what QryMain was last opened with
    QString m_followedCode;      // the customer the detail lists show
    std::unique_ptr<ListCounter> m_counter;
    int m_listGeneration = 0;    // counts the openings of QryMain
    QTimer *m_sumsDelay = nullptr;
    bool m_shown = false;
    bool m_closeConfirmed = false;
};
