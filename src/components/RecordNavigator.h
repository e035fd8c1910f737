#pragma once
// The first / prior / next / last buttons of an editor that steps through
// a list: they move the list's current row and say so; the editor then
// reloads its fields. First and prior are off on the first row, next and
// last on the last one.

#include <QPointer>
#include <QWidget>

class DataSet;
class QToolButton;

class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum Step { First, Prior, Next, Last };

    explicit RecordNavigator(QWidget *parent = nullptr);

    // The list whose current row the buttons move (not owned; may be nullptr).
    void setDataSet(DataSet *list);
    void move(Step step);
    QToolButton *button(Step step) const { return m_buttons[step]; }

signals:
    void moved();

private:
    void updateButtons();

    QPointer<DataSet> m_list;
    QToolButton *m_buttons[4];
};
