#pragma once
// The multi-column sort window: one row per grid column (hidden ones too),
// each with an empty, ascending or descending choice; the row order is the
// priority of the sort.

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>
#include <QTableWidget>

class QLabel;
class QPushButton;

// The two-column list of the window; rows can be dragged to a new place.
class RowArrangeList : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
    // Moves a whole row, its field included; the moved row becomes current.
    void moveRow(int from, int to);

protected:
    void dropEvent(QDropEvent *event) override;
};

class TfrmRowArrangeGl : public QDialog {
    Q_OBJECT
public:
    static const QString kAscending;    // "升序"
    static const QString kDescending;   // "降序"

    // columns: (field, caption) of every grid column in grid order.
    explicit TfrmRowArrangeGl(const QList<QPair<QString, QString>> &columns, QWidget *parent = nullptr);

    // "f_code ASC,f_name DESC," from the rows in their current order; rows
    // without a choice are left out, so nothing chosen gives an empty text.
    QString sortText() const;

    // (lower-case field, caption) of every column as the window was opened.
    const QList<QPair<QString, QString>> &remembered() const { return m_columns; }

    QString caption(int row) const;
    QString value(int row) const;
    void setValue(int row, const QString &value);

    RowArrangeList *vle1;
    QLabel *lblHint;
    QPushButton *btnUp;
    QPushButton *btnDown;
    QPushButton *btnOK;
    QPushButton *btnCancel;

    void vle1DblClick(int row);
    void btnUpClick();
    void btnDownClick();

private:
    QList<QPair<QString, QString>> m_columns;
};
