#include "ZipArchive.h"

#include <QFile>

#include <zlib.h>

namespace {

constexpr quint32 kEndOfDirectory = 0x06054b50;
constexpr quint32 kZip64EndLocator = 0x07064b50;
constexpr quint32 kDirectoryEntry = 0x02014b50;
constexpr quint32 kLocalHeader = 0x04034b50;
constexpr qint64 kMaxDirectorySize = 32 * 1024 * 1024;

quint32 le(const char *p, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | quint8(p[i]);
    return v;
}

QString damaged() { return QStringLiteral("文件已损坏或不完整，无法读取。"); }

// Inflates one member as it is read, never past its declared size, and
// compares its checksum at the end.
class EntryDevice : public QIODevice {
public:
    EntryDevice(const QString &path, const ZipArchive::Entry &e, qint64 dataOffset)
        : m_file(path), m_entry(e), m_offset(dataOffset)
    {
    }
    ~EntryDevice() override
    {
        if (m_zInit) inflateEnd(&m_z);
    }

    bool start(QString *error)
    {
        if (!m_file.open(QIODevice::ReadOnly) || !m_file.seek(m_offset)) {
            *error = QStringLiteral("无法读取文件：%1").arg(m_file.errorString());
            return false;
        }
        if (m_entry.method == 8) {
            if (inflateInit2(&m_z, -MAX_WBITS) != Z_OK) {
                *error = damaged();
                return false;
            }
            m_zInit = true;
        }
        m_crc = crc32(0L, Z_NULL, 0);
        return QIODevice::open(QIODevice::ReadOnly);
    }

    bool isSequential() const override { return true; }
    // What is left to inflate counts as available, so readers do not take
    // the end of a buffer for the end of the member.
    qint64 bytesAvailable() const override
    {
        return (m_failed ? 0 : m_entry.size - m_produced) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_failed) return -1;
        const qint64 left = m_entry.size - m_produced;
        if (maxSize <= 0) return 0;
        if (left <= 0) return finish() ? 0 : -1;
        const qint64 want = qMin(maxSize, left);
        qint64 got = 0;
        if (m_entry.method == 0) {
            got = m_file.read(data, want);
            if (got <= 0) return fail();
        } else {
            m_z.next_out = reinterpret_cast<Bytef *>(data);
            m_z.avail_out = uInt(qMin<qint64>(want, 1 << 30));
            while (m_z.avail_out > 0) {
                if (m_z.avail_in == 0) {
                    const qint64 packedLeft = m_entry.packedSize - m_consumed;
                    if (packedLeft <= 0) break;
                    const qint64 n = m_file.read(m_in, qMin<qint64>(sizeof m_in, packedLeft));
                    if (n <= 0) return fail();
                    m_consumed += n;
                    m_z.next_in = reinterpret_cast<Bytef *>(m_in);
                    m_z.avail_in = uInt(n);
                }
                const int rc = inflate(&m_z, Z_NO_FLUSH);
                if (rc == Z_STREAM_END) break;
                if (rc != Z_OK && rc != Z_BUF_ERROR) return fail();
                if (rc == Z_BUF_ERROR && m_z.avail_in == 0 && m_consumed >= m_entry.packedSize) break;
            }
            got = want - m_z.avail_out;
            if (got == 0) return fail();   // the data ended before the declared size
        }
        m_crc = crc32(m_crc, reinterpret_cast<const Bytef *>(data), uInt(got));
        m_produced += got;
        if (m_produced == m_entry.size && !finish()) return -1;
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    bool finish()
    {
        if (m_crc != m_entry.crc) {
            fail();
            return false;
        }
        return true;
    }
    qint64 fail()
    {
        m_failed = true;
        setErrorString(damaged());
        return -1;
    }

    QFile m_file;
    ZipArchive::Entry m_entry;
    qint64 m_offset;
    z_stream m_z {};
    bool m_zInit = false;
    char m_in[64 * 1024];
    qint64 m_consumed = 0;
    qint64 m_produced = 0;
    uLong m_crc = 0;
    bool m_failed = false;
};

} // namespace

bool ZipArchive::open(const QString &path, QString *error)
{
    m_path = path;
    m_entries.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法打开文件：%1").arg(f.errorString());
        return false;
    }
    m_fileSize = f.size();
    // The end record sits in the last 22 bytes plus a comment of at most 64 KiB.
    const qint64 tailSize = qMin<qint64>(m_fileSize, 22 + 65535);
    if (!f.seek(m_fileSize - tailSize)) {
        *error = damaged();
        return false;
    }
    const QByteArray tail = f.read(tailSize);
    qsizetype end = -1;
    for (qsizetype at = tail.size() - 22; at >= 0; --at)
        if (le(tail.constData() + at, 4) == kEndOfDirectory) {
            end = at;
            break;
        }
    if (end < 0) {
        *error = damaged();
        return false;
    }
    const char *e = tail.constData() + end;
    const quint32 count = le(e + 10, 2);
    const quint32 dirSize = le(e + 12, 4);
    const quint32 dirOffset = le(e + 16, 4);
    if (count == 0xFFFF || dirSize == 0xFFFFFFFF || dirOffset == 0xFFFFFFFF
        || (end >= 20 && le(e - 20, 4) == kZip64EndLocator)) {
        *error = QStringLiteral("不支持 ZIP64 格式的文件，请在电子表格程序中另存为普通的 xlsx 文件。");
        return false;
    }
    if (qint64(dirOffset) + dirSize > m_fileSize || dirSize > kMaxDirectorySize || !f.seek(dirOffset)) {
        *error = damaged();
        return false;
    }
    const QByteArray dir = f.read(dirSize);
    if (dir.size() != qsizetype(dirSize)) {
        *error = damaged();
        return false;
    }
    qsizetype at = 0;
    for (quint32 n = 0; n < count; ++n) {
        if (at + 46 > dir.size() || le(dir.constData() + at, 4) != kDirectoryEntry) {
            *error = damaged();
            return false;
        }
        const char *d = dir.constData() + at;
        Entry en;
        en.flags = int(le(d + 8, 2));
        en.method = int(le(d + 10, 2));
        en.crc = le(d + 16, 4);
        const quint32 packed = le(d + 20, 4), size = le(d + 24, 4), local = le(d + 42, 4);
        const int nameLen = int(le(d + 28, 2)), extraLen = int(le(d + 30, 2)), commentLen = int(le(d + 32, 2));
        if (at + 46 + nameLen + extraLen + commentLen > dir.size()) {
            *error = damaged();
            return false;
        }
        en.name = QString::fromUtf8(d + 46, nameLen);
        bool zip64 = packed == 0xFFFFFFFF || size == 0xFFFFFFFF || local == 0xFFFFFFFF;
        for (int x = 0; x + 4 <= extraLen && !zip64; x += 4 + int(le(d + 46 + nameLen + x + 2, 2)))
            zip64 = le(d + 46 + nameLen + x, 2) == 0x0001;
        if (zip64) {
            *error = QStringLiteral("不支持 ZIP64 格式的文件，请在电子表格程序中另存为普通的 xlsx 文件。");
            return false;
        }
        en.packedSize = packed;
        en.size = size;
        en.localOffset = local;
        m_entries << en;
        at += 46 + nameLen + extraLen + commentLen;
    }
    return true;
}

const ZipArchive::Entry *ZipArchive::entry(const QString &name) const
{
    for (const Entry &e : m_entries)
        if (e.name == name) return &e;
    return nullptr;
}

std::unique_ptr<QIODevice> ZipArchive::openEntry(const QString &name, QString *error) const
{
    const Entry *e = entry(name);
    if (!e) {
        *error = QStringLiteral("文件中缺少 %1。").arg(name);
        return nullptr;
    }
    if (e->flags & 1) {
        *error = QStringLiteral("文件已加密（设有密码），无法读取。");
        return nullptr;
    }
    if (e->method != 0 && e->method != 8) {
        *error = QStringLiteral("文件使用了不支持的压缩方式（%1）。").arg(e->method);
        return nullptr;
    }
    if (e->size > kMaxEntrySize) {
        *error = QStringLiteral("文件中的 %1 太大，无法读取。").arg(name);
        return nullptr;
    }
    if (e->method == 0 && e->packedSize != e->size) {
        *error = damaged();
        return nullptr;
    }
    QFile f(m_path);
    char header[30];
    if (!f.open(QIODevice::ReadOnly) || e->localOffset + 30 > m_fileSize || !f.seek(e->localOffset)
        || f.read(header, 30) != 30 || le(header, 4) != kLocalHeader) {
        *error = damaged();
        return nullptr;
    }
    if (le(header + 18, 4) == 0xFFFFFFFF || le(header + 22, 4) == 0xFFFFFFFF) {
        *error = QStringLiteral("不支持 ZIP64 格式的文件，请在电子表格程序中另存为普通的 xlsx 文件。");
        return nullptr;
    }
    const qint64 data = e->localOffset + 30 + le(header + 26, 2) + le(header + 28, 2);
    if (data + e->packedSize > m_fileSize) {
        *error = damaged();
        return nullptr;
    }
    auto device = std::make_unique<EntryDevice>(m_path, *e, data);
    if (!device->start(error)) return nullptr;
    return device;
}

bool ZipArchive::read(const QString &name, QByteArray *out, QString *error, qint64 maxSize) const
{
    out->clear();
    const Entry *e = entry(name);
    if (e && e->size > maxSize) {
        *error = QStringLiteral("文件中的 %1 太大，无法读取。").arg(name);
        return false;
    }
    const std::unique_ptr<QIODevice> device = openEntry(name, error);
    if (!device) return false;
    out->resize(qsizetype(e->size));
    qint64 done = 0;
    while (done < e->size) {
        const qint64 n = device->read(out->data() + done, e->size - done);
        if (n <= 0) {
            out->clear();
            *error = damaged();   // cut short or failing its checksum
            return false;
        }
        done += n;
    }
    return true;
}
