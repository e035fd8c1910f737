#pragma once
// The customer picker: finds a customer of the archive by name, body code,
// bill number and a category list, for a service record opened from a list
// window. Disabled customers are offered too.

#include "CustomerPickerSql.h"

#include <QDialog>
#include <QtGlobal>
#include <memory>
#include <optional>

class CategoryPanel;
class DataGrid;
class DataSet;
class ListCounter;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTimer;
class QToolButton;

struct PickedCustomer {
    qint64 id = 0;
    QString code, name;
};

// Runs the picker modally. The customer of the current grid row on "确定";
// nothing when it was closed, or confirmed on an empty list, so the caller
// keeps its customer.
std::optional<PickedCustomer> PickCustomer(QWidget *parent);

class TDLGcltrecXZ : public QDialog {
    Q_OBJECT
public:
    explicit TDLGcltrecXZ(QWidget *parent = nullptr);
    ~TDLGcltrecXZ() override;

    // Loads the stored layout and the first category list (every customer),
    // then runs the dialog; see PickCustomer.
    std::optional<PickedCustomer> Pick();

    // Reopens the customer list from the search boxes and the chosen category.
    void RunQuery();
    // Fills the category list from a distinct-values statement (kind 1..5),
    // chooses "全部" and reruns the customer list.
    void LoadCategoryList(const QString &statement, int kind);
    PickerSearch search() const;

    DataSet *QryTable;

    QWidget *Panel41;              // search bar
    QToolButton *SpeedButton4;     // shows or hides the category panel
    QLineEdit *edtName;
    QLineEdit *edtJScode;
    QLineEdit *edtKPcode;
    QPushButton *sbFind;           // 查询(F8)

    QSplitter *Splitter1;          // category panel | grid
    CategoryPanel *Panel3;
    QTableWidget *vleList;
    QComboBox *cbbListType;
    QPushButton *Button1;          // 刷新列表
    DataGrid *DBGridEh1;
    QMenu *PopupMenu1;

    QWidget *Panel1;               // bottom bar
    QPushButton *BitBtn1;          // 确定
    QPushButton *BitBtn2;          // 关闭

protected:
    void showEvent(QShowEvent *event) override;

private:
    void cbbListTypeChange();
    void applyNumberFormats();
    void sumFooters();   // a long list's footer totals, on a reader of its own

    std::unique_ptr<ListCounter> m_counter;
    QTimer *m_sumsDelay;
    int m_listGeneration = 0;   // counts the openings of QryTable
    bool m_placed = false;
};
