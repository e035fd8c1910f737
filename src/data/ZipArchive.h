#pragma once
// Reads the members of a zip file (.xlsx workbooks) with zlib alone: QuaZip
// exports minizip's function names and would take over libxlsxwriter's calls
// in the same program.
//
// Files come from anywhere, so nothing in them is trusted: the directory and
// every member are checked against the file's size, a member is inflated
// only up to the size it declares (and its checksum compared), encrypted
// and zip64 members are refused with a message, and a member is either
// streamed or read whole below a limit the caller gives.

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class ZipArchive {
public:
    struct Entry {
        QString name;
        int method = 0;            // 0 stored, 8 deflated
        int flags = 0;
        quint32 crc = 0;
        qint64 packedSize = 0;
        qint64 size = 0;           // declared uncompressed size
        qint64 localOffset = 0;
    };

    // Members larger than this are refused even when streamed.
    static constexpr qint64 kMaxEntrySize = qint64(2047) * 1024 * 1024;

    // Reads the central directory; false with a message in *error.
    bool open(const QString &path, QString *error);
    QString path() const { return m_path; }

    const QList<Entry> &entries() const { return m_entries; }
    const Entry *entry(const QString &name) const;   // exact name; nullptr when missing
    bool contains(const QString &name) const { return entry(name) != nullptr; }

    // The whole member, refused when it declares more than maxSize bytes.
    bool read(const QString &name, QByteArray *out, QString *error, qint64 maxSize = 64 * 1024 * 1024) const;
    // The member as a sequential device inflating as it is read; nullptr with
    // a message. A damaged member ends the device with an error string set.
    std::unique_ptr<QIODevice> openEntry(const QString &name, QString *error) const;

private:
    QString m_path;
    qint64 m_fileSize = 0;
    QList<Entry> m_entries;
};
