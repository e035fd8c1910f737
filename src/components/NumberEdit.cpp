#include "NumberEdit.h"

#include "data/NumberFormat.h"

#include <QDoubleValidator>
#include <QLocale>
#include <cmath>

NumberEdit::NumberEdit(QWidget *parent, int decimals) : QLineEdit(parent), m_decimals(decimals)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *validator = new QDoubleValidator(-1e12, 1e12, decimals, this);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    setValidator(validator);
    connect(this, &QLineEdit::textEdited, this, &NumberEdit::takeTyped);
    showValue();
}

void NumberEdit::setValue(double value)
{
    if (!std::isfinite(value)) value = 0;
    const double factor = std::pow(10.0, m_decimals);
    value = std::round(value * factor) / factor;
    const bool changed = value != m_value;
    m_value = value;
    showValue();
    if (changed) emit valueChanged(m_value);
}

void NumberEdit::setDisplayFormat(const QString &pattern)
{
    m_pattern = pattern;
    showValue();
}

void NumberEdit::showValue()
{
    QString plain = QString::number(m_value, 'f', m_decimals);
    if (plain.contains(u'.')) {
        while (plain.endsWith(u'0')) plain.chop(1);
        if (plain.endsWith(u'.')) plain.chop(1);
    }
    // The pattern's text ("￥1,500.00") is not typed input: set it past the validator.
    const QValidator *v = validator();
    setValidator(nullptr);
    setText(m_editing || m_pattern.trimmed().isEmpty() ? plain : formatNumber(m_pattern, m_value));
    setValidator(v);
}

void NumberEdit::takeTyped()
{
    bool ok = false;
    double v = QLocale::c().toDouble(text().trimmed(), &ok);
    if (!ok) v = 0;
    if (v != m_value) {
        m_value = v;
        emit valueChanged(m_value);
    }
}

void NumberEdit::focusInEvent(QFocusEvent *event)
{
    m_editing = true;
    showValue();
    QLineEdit::focusInEvent(event);
    selectAll();
}

void NumberEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    m_editing = false;
    showValue();
}
