#include "ReportTemplate.h"

namespace Report {

QList<ReportObject *> ReportTemplate::objectsNamed(const QString &name)
{
    QList<ReportObject *> found;
    for (Band &b : bands)
        for (ReportObject &o : b.objects)
            if (o.name.compare(name, Qt::CaseInsensitive) == 0) found << &o;
    return found;
}

bool ReportTemplate::setObjectText(const QString &name, const QString &text)
{
    const QList<ReportObject *> found = objectsNamed(name);
    for (ReportObject *o : found) o->text = text;
    return !found.isEmpty();
}

} // namespace Report
