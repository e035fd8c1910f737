#include "ZipEntry.h"

#include "data/ZipArchive.h"

QByteArray zipEntry(const QString &file, const QString &entry)
{
    ZipArchive zip;
    QString error;
    QByteArray out;
    if (!zip.open(file, &error) || !zip.read(entry, &out, &error)) return {};
    return out;
}
