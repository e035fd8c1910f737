#include "CellFormat.h"

#include "NumberFormat.h"
#include "app/PubUnit.h"

namespace {
const QLatin1String kFirstDate(PubUnit::FirstShownDate);

// "yyyy-MM-dd" at the start: only a date can be a no-date (a phone number
// such as 0571-8688 also sorts before the first shown date).
bool readsAsDate(const QString &t)
{
    if (t.size() < 10 || t.at(4) != u'-' || t.at(7) != u'-') return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!t.at(i).isDigit()) return false;
    return true;
}

bool heldAsNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double: case QMetaType::Float:
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}
} // namespace

QString CellFormat::numberFormat() const
{
    return kind == FieldKind::Bool || kind == FieldKind::DateTime ? QString() : pattern.trimmed();
}

QString CellFormat::text(const QVariant &value) const
{
    QString t;
    if (value.isNull() || !value.isValid()) {
        t.clear();
    } else if (kind == FieldKind::Bool) {
        // The grid shows a tick box: on paper and in a sheet it is a tick.
        t = DataSet::displayText(value, FieldKind::Bool) == QLatin1String("True") ? QStringLiteral("√") : QString();
    } else {
        // A text column holding a number (a computed column) formats it as one.
        const bool number = kind == FieldKind::Integer || kind == FieldKind::Float
                            || (kind == FieldKind::Text && value.typeId() == QMetaType::Double);
        bool ok = false;
        const double d = number && !numberFormat().isEmpty() ? value.toDouble(&ok) : 0;
        if (ok)
            t = formatNumber(pattern, d);
        else
            t = DataSet::displayText(value, number && kind == FieldKind::Text ? FieldKind::Float : kind);
    }
    if (blankNoDate && readsAsDate(t) && t.left(10) < kFirstDate) return {};
    return t;
}

FieldKind kindOfValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return FieldKind::Bool;
    case QMetaType::QDate: case QMetaType::QDateTime: return FieldKind::DateTime;
    case QMetaType::Double: case QMetaType::Float: return FieldKind::Float;
    default: return heldAsNumber(value) ? FieldKind::Integer : FieldKind::Text;
    }
}
