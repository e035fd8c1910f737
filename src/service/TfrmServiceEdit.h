#pragma once
// The editor of one service record: a new one or a change of the source
// list's current row, for a customer that is either the main window's
// current one (fixed) or picked. The three kinds share this window; each
// adds its own fields and moves their values in and out.

#include "ServiceRecord.h"

#include <QDialog>
#include <functional>
#include <optional>

class CustomerListHost;
class DataSet;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class RecordNavigator;

class TfrmServiceEdit : public QDialog {
    Q_OBJECT
public:
    enum Mode { NewMode = 0, EditMode = 1 };

    // `host` is the main window, when there is one: its detail list of the
    // kind is reopened after every save, whoever opened the editor.
    TfrmServiceEdit(ServiceKind kind, CustomerListHost *host, QWidget *parent);

    // Opened from the main window: the customer is its current one, locked.
    void SetFromMain(bool fromMain);
    // Opened from a list window: the list whose current row is edited, and
    // what to call after a save (with the saved row's id, 0 when unknown).
    void setSourceList(DataSet *list, std::function<void(qint64)> saved);

    // Prepares the dialog for the mode and runs it.
    void OpenEditor(int mode);
    void prepare(int mode);
    void ApplyMode(int mode);
    void LoadFields(bool edit);
    ServiceRecord record() const;

    const ServiceKind Kind;
    bool IsEdit = false;
    bool FromMain = false;
    qint64 CustomerId = 0;

    QGroupBox *GroupBox1;
    QLineEdit *edtCLTcode;
    QToolButton *sbCLTcode;
    QLineEdit *edtCLTname;
    QGroupBox *GroupBox2;
    QCheckBox *CheckBox1;          // 连续新增
    RecordNavigator *DBNavigator1;
    QPushButton *bPrint = nullptr; // the repair work order only
    QPushButton *Button1;          // 确定
    QPushButton *Button2;          // 取消

protected:
    // What each kind adds: its lists, new-record values, the source row's
    // values and the form's. Its fields are placed by its constructor with
    // addField, in entry order, followed by finishFields().
    virtual void fillDropDowns() = 0;
    virtual void clearFields() = 0;
    virtual void loadRow(const DataSet &row) = 0;
    virtual void gather(ServiceRecord &r) const = 0;
    virtual void FormShow();

    // `entry`: the control Tab and Enter reach (nullptr: none, a memo reached by mouse).
    void addField(const QString &label, QWidget *field, QWidget *entry, bool wide = false);
    // Adds a control to the entry order without placing it (one placed out of order).
    void addEntry(QWidget *entry) { m_order << entry; }
    void finishFields();
    // A stored date or moment: its date, and its time of day (midnight when it has none).
    static QDate storedDate(const DataSet &row, const char *field);
    static QTime storedTime(const DataSet &row, const char *field);
    static QString text(const DataSet &row, const char *field);
    // A code-list drop-down with its picker button, placed as one field.
    QWidget *withPicker(QComboBox *box, QToolButton *button, const QString &codeType, const QString &caption);
    void addPrintButton();

    CustomerListHost *m_host;

    void showEvent(QShowEvent *event) override;

private:
    DataSet *sourceList() const;
    void Button1Click();
    void sbCLTcodeClick();
    void edtCLTcodeExit();
    void bPrintClick();
    void positionAfterSave(qint64 id);

    DataSet *m_list = nullptr;
    std::function<void(qint64)> m_saved;
    QGridLayout *m_grid = nullptr;
    int m_row = 0;
    int m_col = 0;
    QList<QWidget *> m_order;
};
