#include "BoolValue.h"

#include <QString>

bool boolValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) return false;
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool();
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const QString s = v.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        bool ok = false;
        const double d = s.toDouble(&ok);
        return ok && d != 0;
    }
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok && d != 0;
    }
    }
}
