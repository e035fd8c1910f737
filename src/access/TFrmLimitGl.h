#pragma once
// The operator editor: name, password twice, description, the two flags and
// the rights offered, saved together. New mode stays open for the next
// operator; edit mode edits the list's current row and closes after saving.

#include <QDialog>
#include <functional>
#include <optional>

class DataSet;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
struct OperatorRecord;

class TFrmLimitGl : public QDialog {
    Q_OBJECT
public:
    enum Mode { NewMode = 0, EditMode = 1 };

    // `list` is the operator list (its current row is edited); `saved`
    // reloads it on the saved operator's name.
    TFrmLimitGl(Mode mode, DataSet *list, std::function<void(const QString &)> saved, QWidget *parent = nullptr);

    // Fills the rights, loads the fields and shows the window modally.
    int OpenEditor();
    Mode mode() const { return m_mode; }

    QComboBox *cbbName;
    QLineEdit *edtPassWord;
    QLineEdit *edtRepPass;
    QPlainTextEdit *Mem1;
    QListWidget *clbOperLimt;
    QCheckBox *cbXtFlag;
    QCheckBox *CheckBox1;   // 用户禁用
    QPushButton *BitBtn1;   // 保存
    QPushButton *BitBtn2;   // 关闭
    QPushButton *Button1;   // 全选
    QPushButton *Button2;   // 清除

    void LoadRights();
    void LoadFields();
    void BitBtn1Click();
    void setAllRights(bool ticked);
    QStringList tickedRights() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearFields();
    bool gather(OperatorRecord *record);

    Mode m_mode;
    DataSet *m_list;
    std::function<void(const QString &)> m_saved;
    std::optional<qint64> m_editedId;
};
