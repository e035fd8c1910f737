#include "SqlText.h"

QString sqlValue(const QString &value)
{
    QString v = value;
    v.remove(QChar(u'\0'));
    v.replace(u'\'', QLatin1String("''"));
    return v;
}

QString sqlQuoted(const QString &value) { return u'\'' + sqlValue(value) + u'\''; }
