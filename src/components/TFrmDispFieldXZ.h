#pragma once
// The column chooser: one ticked line per column, ticked when visible.

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;
class QPushButton;

class TFrmDispFieldXZ : public QDialog {
    Q_OBJECT
public:
    TFrmDispFieldXZ(const QStringList &captions, const QList<bool> &visible, QWidget *parent = nullptr);

    // One entry per line, in column order.
    QList<bool> checkedStates() const;

    QListWidget *CheckListBox1;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
