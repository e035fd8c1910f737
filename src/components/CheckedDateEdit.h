#pragma once
// A date picker with a tick box in front: unticked means "no date", which
// is stored as the no-date value 1900-08-14.

#include "app/PubUnit.h"

#include <QDate>
#include <QWidget>

class QCheckBox;
class QDateEdit;

class CheckedDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit CheckedDateEdit(QWidget *parent = nullptr, bool withTickBox = true);

    QDate date() const;
    void setDate(const QDate &date);
    bool isChecked() const;
    void setChecked(bool on);
    // "yyyy-MM-dd", or `unticked` ("1900-08-14" unless given) when not ticked.
    QString dateText(const QString &unticked = QLatin1String(PubUnit::NoDate)) const;
    // Shows a stored value: a date before 1901-08-14 (or none) shows today, unticked.
    void setStoredValue(const QVariant &value);

    // Off: neither the tick box nor the date is reached by Tab or Enter,
    // ticked or not; a click still reaches both.
    void setTabStop(bool on);

    QCheckBox *tickBox() const { return m_tick; }
    QDateEdit *dateEdit() const { return m_edit; }

signals:
    void changed();

private:
    QCheckBox *m_tick = nullptr;
    QDateEdit *m_edit;
};
