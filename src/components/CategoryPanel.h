#pragma once
// The category panel beside a list: the values of one category kind under
// "全部", the kind chooser and "刷新列表". Choosing a row (a click, on the
// chosen row too, or moving with the keys) asks the owner to rerun its list;
// a new kind or the button asks it to reload the values.

#include <QStringList>
#include <QWidget>
#include <functional>

class QComboBox;
class QPushButton;
class QTableWidget;

class CategoryPanel : public QWidget {
    Q_OBJECT
public:
    // `editableValues`: a value may be typed over before it is chosen.
    CategoryPanel(const QStringList &kinds, bool editableValues, QWidget *parent = nullptr);

    // Lists "全部" and `values` under `title`, with "全部" chosen. `runList`
    // runs once "全部" is chosen, before the other values are listed, so the
    // owner's list opens on everything.
    void fill(const QString &title, const QStringList &values, const std::function<void()> &runList);
    // Empties the list when the values could not be read.
    void clear(const QString &title);

    int kind() const;
    // The chosen value; empty with "全部" (or nothing) chosen.
    QString chosenValue() const;
    bool valueChosen() const;

    QTableWidget *const vleList;
    QComboBox *const cbbListType;
    QPushButton *const Button1;   // 刷新列表

signals:
    void valueClicked();   // rerun the list
    void kindChanged();    // reload the values for cbbListType's kind

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addRow(int ordinal, const QString &value);
    int m_rowAtPress = -1;
};
