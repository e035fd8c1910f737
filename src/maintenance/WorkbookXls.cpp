// .xls (BIFF) through freexl. freexl reads the whole file when it opens;
// the cells of a sheet are then handed out row by row.

#include "WorkbookReaders.h"

#include <QFile>

#include <freexl.h>

namespace {

QString openFailure(int rc)
{
    switch (rc) {
    case FREEXL_INSUFFICIENT_MEMORY: return QStringLiteral("内存不足，无法读取文件。");
    case FREEXL_INVALID_CHARACTER: return QStringLiteral("文件中有无法识别的文字编码，无法读取。");
    default: return QStringLiteral("文件已损坏或不是有效的 Excel 文件，无法读取。");
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

class XlsWorkbook : public Workbook {
public:
    ~XlsWorkbook() override
    {
        if (m_handle) freexl_close(m_handle);
    }

    bool open(const QString &path, QString *error)
    {
        const QByteArray local = QFile::encodeName(path);
        const int rc = freexl_open(local.constData(), &m_handle);
        if (rc != FREEXL_OK) {
            // freexl keeps what it allocated until it is closed, even after a failure.
            if (m_handle) freexl_close(m_handle);
            m_handle = nullptr;
            *error = isEncryptedPackage(path) ? QStringLiteral("文件设有密码保护，请在电子表格程序中取消密码后再导入。")
                                              : openFailure(rc);
            return false;
        }
        unsigned int info = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
            *error = QStringLiteral("文件设有密码保护，请在电子表格程序中取消密码后再导入。");
            return false;
        }
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) count = 0;
        for (unsigned short i = 0; i < count && i < 4096; ++i) {
            const char *name = nullptr;
            if (freexl_get_worksheet_name(m_handle, i, &name) == FREEXL_OK && name)
                m_sheets << QString::fromUtf8(name);
            else
                m_sheets << QStringLiteral("Sheet%1").arg(i + 1);
        }
        if (m_sheets.isEmpty()) {
            *error = QStringLiteral("工作簿中没有可以导入的工作表。");
            return false;
        }
        return true;
    }

    QStringList tableNames() const override { return m_sheets; }

    bool read(const QString &table, const RowSink &sink, const Progress &progress, QString *error) override
    {
        error->clear();
        const int index = int(m_sheets.indexOf(table));
        if (index < 0) {
            *error = QStringLiteral("工作簿中没有“%1”。").arg(table);
            return false;
        }
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_select_active_worksheet(m_handle, (unsigned short)index) != FREEXL_OK
            || freexl_worksheet_dimensions(m_handle, &rows, &cols) != FREEXL_OK) {
            *error = QStringLiteral("文件已损坏，无法读取工作表“%1”。").arg(table);
            return false;
        }
        for (unsigned int r = 0; r < rows; ++r) {
            QStringList cells;
            int filled = 0;
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(m_handle, r, c, &v) != FREEXL_OK) {
                    *error = QStringLiteral("文件已损坏，无法读取工作表“%1”。").arg(table);
                    return false;
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
            if (!sink(std::move(cells))) return false;
            if (r % 512 == 511 && progress && !progress(r + 1, rows)) return false;
        }
        return true;
    }

private:
    const void *m_handle = nullptr;
    QStringList m_sheets;
};

} // namespace

std::unique_ptr<Workbook> openXlsWorkbook(const QString &path, QString *error)
{
    auto book = std::make_unique<XlsWorkbook>();
    if (!book->open(path, error)) return nullptr;
    return book;
}
