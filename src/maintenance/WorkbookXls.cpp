// .xls (BIFF) through freexl, in a child process: freexl reads the whole
// file when it opens; the cells are then handed out row by row.

#include "WorkbookReaders.h"

#include <QDataStream>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <freexl.h>

namespace {

QString damagedFile() { return QStringLiteral("文件已损坏或不是有效的 Excel 文件，无法读取。"); }

QString openFailure(int rc)
{
    switch (rc) {
    case FREEXL_INSUFFICIENT_MEMORY: return QStringLiteral("内存不足，无法读取文件。");
    case FREEXL_INVALID_CHARACTER: return QStringLiteral("文件中有无法识别的文字编码，无法读取。");
    default: return damagedFile();
    }
}

// Encrypted .xlsx files are OLE containers holding an "EncryptedPackage".
bool isEncryptedPackage(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray marker = QByteArray::fromRawData("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    // The directory of a small file is near its start; a large one is read in
    // slices that overlap by the marker's length.
    QByteArray carry;
    for (int i = 0; i < 256 && !f.atEnd(); ++i) {
        const QByteArray block = carry + f.read(1 << 20);
        if (block.contains(marker)) return true;
        carry = block.right(marker.size());
    }
    return false;
}

// Everything freexl gives of a file: the sheets and their rows, or why not.
struct XlsContent {
    qint32 openCode = FREEXL_OK;   // freexl_open's answer
    bool obfuscated = false;
    QStringList sheets;
    QList<QList<QStringList>> rows;   // per sheet; empty cells at a row's end dropped
    QList<bool> sheetRead;            // false: freexl could not read that sheet
};

QDataStream &operator<<(QDataStream &out, const XlsContent &c)
{
    return out << c.openCode << c.obfuscated << c.sheets << c.rows << c.sheetRead;
}
QDataStream &operator>>(QDataStream &in, XlsContent &c)
{
    return in >> c.openCode >> c.obfuscated >> c.sheets >> c.rows >> c.sheetRead;
}

QList<QStringList> readSheet(const void *handle, unsigned short index, bool *ok)
{
    QList<QStringList> rows;
    unsigned int count = 0;
    unsigned short cols = 0;
    // The format holds at most 65,536 rows of 256 columns; a sheet claiming
    // more is damaged (freexl takes the claim as it stands).
    *ok = freexl_select_active_worksheet(handle, index) == FREEXL_OK
          && freexl_worksheet_dimensions(handle, &count, &cols) == FREEXL_OK && count <= 65536 && cols <= 256;
    for (unsigned int r = 0; *ok && r < count; ++r) {
        QStringList cells;
        int filled = 0;
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) {
                *ok = false;
                break;
            }
            QString text;
            switch (v.type) {
            case FREEXL_CELL_INT: text = QString::number(v.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = excelNumberText(v.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                text = v.value.text_value ? QString::fromUtf8(v.value.text_value) : QString();
                break;
            default: break;
            }
            cells << text;
            if (!text.isEmpty()) filled = c + 1;
        }
        cells.erase(cells.begin() + filled, cells.end());
        rows << std::move(cells);
    }
    return rows;
}

XlsContent readContent(const QByteArray &localPath)
{
    XlsContent c;
    const void *handle = nullptr;
    c.openCode = freexl_open(localPath.constData(), &handle);
    if (c.openCode == FREEXL_OK) {
        unsigned int info = 0;
        c.obfuscated = freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED;
        unsigned int count = 0;
        if (c.obfuscated || freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) count = 0;
        for (unsigned short i = 0; i < count && i < 4096; ++i) {
            const char *name = nullptr;
            c.sheets << (freexl_get_worksheet_name(handle, i, &name) == FREEXL_OK && name ? QString::fromUtf8(name)
                                                                                        : QStringLiteral("Sheet%1").arg(i + 1));
            bool ok = false;
            c.rows << readSheet(handle, i, &ok);
            c.sheetRead << ok;
        }
    }
    // freexl keeps what it allocated until it is closed, even after a failure.
    if (handle) freexl_close(handle);
    return c;
}

// The content as the child sends it through the pipe, and read back.
QByteArray contentBytes(const QByteArray &localPath)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << readContent(localPath);
    return bytes;
}

bool contentFrom(const QByteArray &bytes, XlsContent *content)
{
    QDataStream in(bytes);
    in >> *content;
    return in.status() == QDataStream::Ok;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
#define CLSERVICE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CLSERVICE_ASAN 1
#endif
#endif

// What the reading child may take beyond what it holds when it starts: half
// the machine's memory, at least 1 GiB, at most 4 GiB. A full sheet of a real
// file needs well under 1 GiB; a damaged one claiming billions of cells makes
// freexl ask for far more, and is refused instead of swapping the workstation.
rlim_t readerMemoryBudget()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    const rlim_t half = pages > 0 && pageSize > 0 ? rlim_t(pages) * rlim_t(pageSize) / 2 : rlim_t(1) << 30;
    return std::clamp(half, rlim_t(1) << 30, rlim_t(4) << 30);
}

// The address space the child may use: what the program holds now plus the
// budget. Worked out before the fork, so the child only sets it.
rlim_t readerAddressSpace()
{
#ifdef CLSERVICE_ASAN
    return RLIM_INFINITY;   // the sanitizer's shadow memory is address space too
#else
    unsigned long long pages = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%llu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    return rlim_t(pages) * rlim_t(::sysconf(_SC_PAGE_SIZE)) + readerMemoryBudget();
#endif
}

// freexl crashes on some damaged files (a double free, reads past its
// buffers), so it reads in a child process with bounded memory: a file it
// cannot survive is refused, and the program goes on.
bool readInChild(const QString &path, XlsContent *content)
{
    int fds[2];
    if (::pipe(fds) != 0) return false;
    const QByteArray local = QFile::encodeName(path);
    const rlim_t room = readerAddressSpace();
    const rlimit cap{room, room};
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::setrlimit(RLIMIT_AS, &cap);
        ::_exit(writeAll(fds[1], contentBytes(local)) ? 0 : 1);   // no exit handlers: they belong to the parent
    }
    ::close(fds[1]);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    return contentFrom(bytes, content);
}

class XlsWorkbook : public Workbook {
public:
    bool open(const QString &path, XlsReading reading, QString *error)
    {
        const bool read = reading == XlsReading::InChild ? readInChild(path, &m_content)
                                                         : contentFrom(contentBytes(QFile::encodeName(path)), &m_content);
        if (!read) {
            *error = damagedFile();   // freexl did not survive it
            return false;
        }
        if (m_content.openCode != FREEXL_OK) {
            *error = isEncryptedPackage(path) ? QStringLiteral("文件设有密码保护，请在电子表格程序中取消密码后再导入。")
                                              : openFailure(m_content.openCode);
            return false;
        }
        if (m_content.obfuscated) {
            *error = QStringLiteral("文件设有密码保护，请在电子表格程序中取消密码后再导入。");
            return false;
        }
        if (m_content.sheets.isEmpty()) {
            *error = QStringLiteral("工作簿中没有可以导入的工作表。");
            return false;
        }
        return true;
    }

    QStringList tableNames() const override { return m_content.sheets; }

    bool read(const QString &table, const RowSink &sink, const Progress &progress, QString *error) override
    {
        error->clear();
        const int index = int(m_content.sheets.indexOf(table));
        if (index < 0) {
            *error = QStringLiteral("工作簿中没有“%1”。").arg(table);
            return false;
        }
        if (!m_content.sheetRead.value(index)) {
            *error = QStringLiteral("文件已损坏，无法读取工作表“%1”。").arg(table);
            return false;
        }
        const QList<QStringList> &rows = m_content.rows.at(index);
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (!sink(QStringList(rows.at(r)))) return false;
            if (r % 512 == 511 && progress && !progress(r + 1, rows.size())) return false;
        }
        return true;
    }

private:
    XlsContent m_content;
};

} // namespace

std::unique_ptr<Workbook> openXlsWorkbook(const QString &path, QString *error, XlsReading reading)
{
    auto book = std::make_unique<XlsWorkbook>();
    if (!book->open(path, reading, error)) return nullptr;
    return book;
}
