#include "ZipEntry.h"

#include <QFile>

#include <zlib.h>

namespace {

quint32 le(const QByteArray &b, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | quint8(b.at(at + i));
    return v;
}

} // namespace

QByteArray zipEntry(const QString &file, const QString &entry)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray zip = f.readAll();
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size()) return {};
    qsizetype at = le(zip, end + 16, 4);
    for (quint32 n = le(zip, end + 10, 2); n > 0 && at + 46 <= zip.size(); --n) {
        const int method = int(le(zip, at + 10, 2));
        const quint32 packed = le(zip, at + 20, 4), size = le(zip, at + 24, 4);
        const int nameLen = int(le(zip, at + 28, 2));
        const quint32 local = le(zip, at + 42, 4);
        const QByteArray name = zip.mid(at + 46, nameLen);
        at += 46 + nameLen + le(zip, at + 30, 2) + le(zip, at + 32, 2);
        if (name != entry.toUtf8()) continue;
        const qsizetype data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
        const QByteArray raw = zip.mid(data, packed);
        if (method == 0) return raw;
        QByteArray out(qsizetype(size), Qt::Uninitialized);
        z_stream z {};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return {};
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
        z.avail_in = uInt(raw.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        const int rc = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        return rc == Z_STREAM_END ? out : QByteArray();
    }
    return {};
}
