#pragma once
// Maintenance of every code list, one tab per type. Changes are kept in the
// window and written to t_code in one batch on 保存 (or dropped on 取消).

#include <QDialog>
#include <QString>

class DataGrid;
class DataSet;
class QLabel;
class QStatusBar;
class QTabBar;
class QToolBar;
class QToolButton;

class TFrmCodeMan : public QDialog {
    Q_OBJECT
public:
    explicit TFrmCodeMan(QWidget *parent = nullptr);
    ~TFrmCodeMan() override;

    QString CodeType;
    bool isEditing() const { return m_editing; }

    QToolBar *ToolBar1;
    QToolButton *tbNew;
    QToolButton *tbEdit;
    QToolButton *tbDel;
    QToolButton *tbSave;
    QToolButton *tbCancel;
    QToolButton *tbPrint;
    QToolButton *tbRefresh;
    QToolButton *tbExit;
    // One tab per code type, in one row with scroll buttons; each tab's data
    // is its component name (ttype ... TabSheet1).
    QTabBar *PageControl1;
    DataGrid *DBGrid1;
    DataSet *QryCode;
    QStatusBar *StatusBar1;
    QLabel *StatusPanels[4];

    void FormShow();
    void ShowCodeType(int tab);
    void SetBrowseMode(bool browse);
    void tbNewClick();
    void tbEditClick();
    void tbDelClick();
    void tbSaveClick();   // stamps every row with the tab's type, then writes the batch
    void tbCancelClick();
    void tbPrintClick();
    void tbRefreshClick();
    void tbExitClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Ends typing in a cell: kept (commit) or thrown away.
    void endCellEdit(bool commit);
    void nextColumn();
    bool m_editing = false;
    bool m_shown = false;
};
