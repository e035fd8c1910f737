#pragma once
// A number box: shows its value in a display pattern ("￥,0.00") while it is
// not being edited, and the plain number while it is. Anything that is not
// a number reads as 0.

#include <QLineEdit>

class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberEdit(QWidget *parent = nullptr, int decimals = 4);

    double value() const { return m_value; }
    void setValue(double value);
    void setDisplayFormat(const QString &pattern);
    QString displayFormat() const { return m_pattern; }

signals:
    void valueChanged(double value);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showValue();
    void takeTyped();

    double m_value = 0;
    int m_decimals;
    QString m_pattern;
    bool m_editing = false;
};
