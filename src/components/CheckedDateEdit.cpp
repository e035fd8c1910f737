#include "CheckedDateEdit.h"

#include "app/PubUnit.h"
#include "data/DataSet.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

CheckedDateEdit::CheckedDateEdit(QWidget *parent, bool withTickBox) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    if (withTickBox) {
        m_tick = new QCheckBox(this);
        layout->addWidget(m_tick);
        connect(m_tick, &QCheckBox::toggled, this, [this](bool on) {
            m_edit->setEnabled(on);
            emit changed();
        });
    }
    m_edit = new QDateEdit(QDate::currentDate(), this);
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_edit->setCalendarPopup(true);
    m_edit->setMinimumDate(QDate(1900, 1, 1));
    layout->addWidget(m_edit, 1);
    setFocusProxy(withTickBox ? static_cast<QWidget *>(m_tick) : m_edit);
    if (m_tick) m_edit->setEnabled(false);
    connect(m_edit, &QDateEdit::dateChanged, this, &CheckedDateEdit::changed);
}

void CheckedDateEdit::setTabStop(bool on)
{
    const Qt::FocusPolicy policy = on ? Qt::StrongFocus : Qt::ClickFocus;
    setFocusPolicy(policy);
    m_edit->setFocusPolicy(policy);
    if (m_tick) m_tick->setFocusPolicy(policy);
}

QDate CheckedDateEdit::date() const { return m_edit->date(); }
void CheckedDateEdit::setDate(const QDate &date) { m_edit->setDate(date); }
bool CheckedDateEdit::isChecked() const { return !m_tick || m_tick->isChecked(); }
void CheckedDateEdit::setChecked(bool on)
{
    if (m_tick) m_tick->setChecked(on);
}

QString CheckedDateEdit::dateText(const QString &unticked) const
{
    return isChecked() ? m_edit->date().toString(QStringLiteral("yyyy-MM-dd")) : unticked;
}

void CheckedDateEdit::setStoredValue(const QVariant &value)
{
    const QString text = DataSet::displayText(value, FieldKind::DateTime).left(10);
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    const bool real = !text.isEmpty() && text >= QLatin1String(PubUnit::FirstShownDate) && d.isValid();
    setDate(real ? d : QDate::currentDate());
    setChecked(real);
}
