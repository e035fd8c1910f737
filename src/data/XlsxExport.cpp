#include "XlsxExport.h"

#include "NumberFormat.h"
#include "app/PubUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <sys/stat.h>
#include <xlsxwriter.h>

namespace {

const QString kNoDate = QLatin1String(PubUnit::NoDate);
constexpr int kMaxCellText = 32767;   // characters a cell can hold
constexpr int kSheetNameMax = 31;
constexpr int kMaxSheetRows = LXW_ROW_MAX;
constexpr int kWidthSampleRows = 200;

bool isNoDate(const QString &text)
{
    const QString t = text.trimmed();
    return t == kNoDate || t == kNoDate + QStringLiteral(" 00:00:00");
}

// Excel refuses longer cell texts; cut rather than fail the whole export.
QByteArray cellText(const QString &text)
{
    if (text.size() <= kMaxCellText)
        return text.toUtf8();
    int n = kMaxCellText;
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n).toUtf8();
}

// True for a value held as a number (SQL NULL and non-finite values are not).
bool numericValue(const QVariant &v, double *out)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        if (v.isNull())
            return false;
        *out = v.toDouble();
        return std::isfinite(*out);
    default:
        return false;
    }
}

// Text that reads as a plain number ("12.5", " -3 "), as a spreadsheet would take it.
bool numericText(const QString &text, double *out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    *out = t.toDouble(&ok);
    return ok && std::isfinite(*out);
}

// Rough display width: CJK characters take two columns.
int textWidth(const QString &text)
{
    int w = 0;
    for (QChar c : text)
        w += c.unicode() >= 0x1100 ? 2 : 1;
    return w;
}

QString writeError(const QString &path, const QString &why)
{
    return QStringLiteral("无法写入文件：%1\n%2").arg(QDir::toNativeSeparators(path), why);
}

QString lxwText(lxw_error e)
{
    return QString::fromUtf8(lxw_strerror(e));
}

QString numberedSheetName(const QString &base, int n)
{
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    const QList<uint> cps = base.toUcs4();
    const int room = kSheetNameMax - int(suffix.size());
    return QString::fromUcs4(reinterpret_cast<const char32_t *>(cps.constData()),
                             std::min(int(cps.size()), room))
        + suffix;
}

// One cell as it goes into the sheet, decided on the reading thread.
struct Cell {
    enum Kind : quint8 { Blank, Number, Text };
    Kind kind = Blank;
    double number = 0;
    QByteArray text;
};

// Rows of cells, row after row.
struct Batch {
    QVector<Cell> cells;
    int firstRow = 0;   // in the source, 0-based
    int rows = 0;
};

constexpr int kBatchRows = 500;
constexpr int kQueuedBatches = 4;   // bounds memory while the writer is behind

// Turns source values into cells, and measures column widths on the first rows.
class CellMaker {
public:
    explicit CellMaker(const QList<XlsxColumn> &columns) : m_columns(columns)
    {
        for (const XlsxColumn &c : columns) {
            m_patterns << c.numberFormat.trimmed();
            m_widths << textWidth(c.caption);
        }
    }

    void readRow(const RowSource &rows, QVector<Cell> &out, bool measure)
    {
        for (int c = 0; c < m_columns.size(); ++c) {
            const QString &pattern = m_patterns.at(c);
            Cell cell;
            // A numeric value needs no text: asking for it costs a formatting per cell.
            if (!pattern.isEmpty() && numericValue(rows.value(c), &cell.number)) {
                cell.kind = Cell::Number;
            } else {
                const QString text = rows.text(c);
                if (text.isEmpty() || isNoDate(text)) {
                    cell.kind = Cell::Blank;
                } else if (!pattern.isEmpty() && numericText(text, &cell.number)) {
                    cell.kind = Cell::Number;
                } else {
                    cell.kind = Cell::Text;
                    cell.text = cellText(text);
                    if (measure)
                        m_widths[c] = std::max(m_widths[c], textWidth(text));
                }
            }
            if (measure && cell.kind == Cell::Number)
                m_widths[c] = std::max(m_widths[c], textWidth(formatNumber(pattern, cell.number)));
            out.append(std::move(cell));
        }
    }

    QList<double> widths() const
    {
        QList<double> w;
        for (int c : m_widths)
            w << std::clamp(c + 2, 8, 60);
        return w;
    }

private:
    const QList<XlsxColumn> &m_columns;
    QStringList m_patterns;
    QList<int> m_widths;
};

class Writer {
public:
    Writer(lxw_workbook *wb, const QList<XlsxColumn> &columns) : m_wb(wb), m_columns(columns) {}

    ~Writer()
    {
        if (m_wb)
            workbook_close(m_wb);   // frees it; the temporary file is dropped by the caller
    }

    bool setUp(const QString &sheetName, const QList<double> &widths)
    {
        m_sheetName = sheetName;
        m_widths = widths;
        m_textFormat = workbook_add_format(m_wb);
        if (!m_textFormat)
            return fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        format_set_num_format_index(m_textFormat, 49);

        QHash<QString, lxw_format *> byPattern;
        for (const XlsxColumn &c : m_columns) {
            const QString p = c.numberFormat.trimmed();
            if (p.isEmpty()) {
                m_formats << m_textFormat;
                continue;
            }
            lxw_format *f = byPattern.value(p);
            if (!f) {
                f = workbook_add_format(m_wb);
                if (!f)
                    return fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
                format_set_num_format(f, excelNumberFormat(p).toUtf8().constData());
                byPattern.insert(p, f);
            }
            m_formats << f;
        }
        return addSheet(m_sheetName);
    }

    bool writeBatch(const Batch &batch)
    {
        const int columns = int(m_columns.size());
        for (int r = 0; r < batch.rows; ++r) {
            if (!writeRow(batch.cells.constData() + qsizetype(r) * columns)) {
                m_failedRow = batch.firstRow + r;
                return false;
            }
        }
        return true;
    }

    // Writes the file; the writer is spent afterwards.
    bool close()
    {
        const lxw_error e = workbook_close(m_wb);
        m_wb = nullptr;
        if (e != LXW_NO_ERROR)
            return fail(e);
        return true;
    }

    lxw_error lastError() const { return m_error; }
    int failedRow() const { return m_failedRow; }

private:
    bool writeRow(const Cell *cells)
    {
        if (m_sheetRow >= kMaxSheetRows) {
            // Past the last row a sheet can hold: go on in a further sheet.
            ++m_sheetCount;
            if (!addSheet(numberedSheetName(m_sheetName, m_sheetCount)))
                return false;
        }
        const lxw_row_t r = lxw_row_t(m_sheetRow);
        for (int c = 0; c < m_columns.size(); ++c) {
            const lxw_col_t col = lxw_col_t(c);
            lxw_format *f = m_formats.at(c);
            const Cell &cell = cells[c];
            lxw_error e;
            switch (cell.kind) {
            case Cell::Number: e = worksheet_write_number(m_ws, r, col, cell.number, f); break;
            case Cell::Text: e = worksheet_write_string(m_ws, r, col, cell.text.constData(), f); break;
            default: continue;   // the column's format covers an empty cell
            }
            if (e != LXW_NO_ERROR)
                return fail(e);
        }
        ++m_sheetRow;
        return true;
    }

    bool fail(lxw_error e)
    {
        m_error = e;
        return false;
    }

    bool addSheet(const QString &name)
    {
        QByteArray n = name.toUtf8();
        if (workbook_validate_sheet_name(m_wb, n.constData()) != LXW_NO_ERROR)
            n = m_sheetCount == 1 ? QByteArrayLiteral("Sheet1")
                                  : QStringLiteral("Sheet%1").arg(m_sheetCount).toUtf8();
        m_ws = workbook_add_worksheet(m_wb, n.constData());
        if (!m_ws)
            return fail(LXW_ERROR_PARAMETER_VALIDATION);
        for (int c = 0; c < m_widths.size(); ++c) {
            const lxw_error e = worksheet_set_column(m_ws, lxw_col_t(c), lxw_col_t(c), m_widths.at(c), m_formats.at(c));
            if (e != LXW_NO_ERROR)
                return fail(e);
        }
        for (int c = 0; c < m_columns.size(); ++c) {
            const QString caption = m_columns.at(c).caption;
            if (caption.isEmpty())
                continue;
            const lxw_error e = worksheet_write_string(m_ws, 0, lxw_col_t(c), cellText(caption).constData(), nullptr);
            if (e != LXW_NO_ERROR)
                return fail(e);
        }
        m_sheetRow = 1;
        return true;
    }

    lxw_workbook *m_wb;
    const QList<XlsxColumn> &m_columns;
    lxw_worksheet *m_ws = nullptr;
    lxw_format *m_textFormat = nullptr;
    QList<lxw_format *> m_formats;
    QList<double> m_widths;
    QString m_sheetName;
    int m_sheetCount = 1;
    int m_sheetRow = 0;
    int m_failedRow = -1;
    lxw_error m_error = LXW_NO_ERROR;
};

// Batches from the reading thread to the writing one. The writer takes an
// empty batch as the end; once it fails it takes nothing more.
class BatchQueue {
public:
    // False when the writer has stopped.
    bool push(Batch batch)
    {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] { return m_queue.size() < kQueuedBatches || m_writerStopped; });
        if (m_writerStopped)
            return false;
        m_queue.push_back(std::move(batch));
        m_ready.notify_one();
        return true;
    }

    Batch pop()
    {
        std::unique_lock lock(m_mutex);
        m_ready.wait(lock, [&] { return !m_queue.empty(); });
        Batch b = std::move(m_queue.front());
        m_queue.pop_front();
        m_space.notify_one();
        return b;
    }

    void writerStopped()
    {
        std::lock_guard lock(m_mutex);
        m_writerStopped = true;
        m_space.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::condition_variable m_space;
    std::deque<Batch> m_queue;
    bool m_writerStopped = false;
};

// New files get the permissions the user's umask gives, not the temporary
// file's private ones.
void setDefaultPermissions(const QString &file, const QString &replaced)
{
    const QByteArray name = QFile::encodeName(file);
    struct stat st;
    if (stat(QFile::encodeName(replaced).constData(), &st) == 0) {
        chmod(name.constData(), st.st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    chmod(name.constData(), 0666 & ~mask);
}

} // namespace

QString xlsxSheetName(const QString &wanted)
{
    QString name = wanted;
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    auto tidy = [](QString s) {
        s = s.trimmed();
        while (s.startsWith(u'\''))
            s.remove(0, 1);
        while (s.endsWith(u'\''))
            s.chop(1);
        return s.trimmed();
    };
    name = tidy(name);
    const QList<uint> cps = name.toUcs4();
    if (cps.size() > kSheetNameMax)
        name = tidy(QString::fromUcs4(reinterpret_cast<const char32_t *>(cps.constData()), kSheetNameMax));
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

bool writeXlsx(const QString &path, const QString &sheetName, const QList<XlsxColumn> &columns,
               RowSource &rows, QString *error,
               const std::function<bool(int done, int total)> &progress)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    err.clear();

    if (columns.size() > LXW_COL_MAX) {
        err = QStringLiteral("列数超过了Excel工作表的上限（%1列），无法导出。").arg(LXW_COL_MAX);
        return false;
    }
    const QFileInfo target(path);
    if (path.trimmed().isEmpty() || target.isDir()) {
        err = writeError(path, QStringLiteral("文件名无效。"));
        return false;
    }
    if (!target.absoluteDir().exists()) {
        err = writeError(path, QStringLiteral("文件夹不存在。"));
        return false;
    }
    if (!rows.start()) {
        err = QStringLiteral("导出Excel文件失败：读取数据出错：%1").arg(rows.error());
        return false;
    }
    // Written beside the target and renamed at the end, so a failed or
    // cancelled export never leaves half a file or spoils an existing one.
    QTemporaryFile tmp(target.absolutePath() + QStringLiteral("/.~export-XXXXXX.xlsx"));
    if (!tmp.open()) {
        err = writeError(path, tmp.errorString());
        return false;
    }
    tmp.close();
    const QString tmpName = tmp.fileName();

    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(tmpName).constData(), &options);
    if (!wb) {
        err = QStringLiteral("导出Excel文件失败：内存不足。");
        return false;
    }

    const int total = rows.rowCount();
    Writer writer(wb, columns);
    auto failed = [&](const QString &where) {
        const lxw_error e = writer.lastError();
        err = e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_ZIP_FILE_OPERATION
                ? writeError(path, lxwText(e))
                : QStringLiteral("导出Excel文件失败：%1%2").arg(where, lxwText(e));
        return false;
    };

    // The first rows are read before the sheet exists: they set the column widths.
    CellMaker maker(columns);
    auto readBatch = [&](int firstRow, int maxRows, bool measure) {
        Batch b;
        b.firstRow = firstRow;
        b.cells.reserve(qsizetype(maxRows) * columns.size());
        while (b.rows < maxRows && rows.nextRow()) {
            maker.readRow(rows, b.cells, measure);
            ++b.rows;
        }
        return b;
    };
    Batch batch = readBatch(0, kWidthSampleRows, true);
    if (!writer.setUp(xlsxSheetName(sheetName), maker.widths()))
        return failed(QString());

    bool cancelled = progress && !progress(0, total);
    bool writerFailed = false;
    int done = 0;
    {
        BatchQueue queue;
        std::jthread writing([&] {
            for (Batch b = queue.pop(); b.rows > 0; b = queue.pop()) {
                if (!writer.writeBatch(b)) {
                    writerFailed = true;
                    queue.writerStopped();
                    return;
                }
            }
        });
        while (!cancelled && batch.rows > 0) {
            done += batch.rows;
            const bool full = batch.rows == (batch.firstRow == 0 ? kWidthSampleRows : kBatchRows);
            if (!queue.push(std::move(batch)))
                break;
            if (!full)
                break;
            if (progress && done < total && !progress(done, total))
                cancelled = true;
            else
                batch = readBatch(done, kBatchRows, false);
        }
        queue.push(Batch {});   // the end; refused if the writer already stopped
    }
    if (writerFailed)
        return failed(QStringLiteral("第%1行：").arg(writer.failedRow() + 1));
    if (!cancelled && !rows.error().isEmpty()) {
        err = QStringLiteral("导出Excel文件失败：读取数据出错：%1").arg(rows.error());
        return false;
    }
    if (!cancelled && progress && total > 0 && !progress(total, total))
        cancelled = true;
    if (cancelled) {
        err = QStringLiteral("导出已取消。");
        return false;   // the writer closes the workbook; tmp removes the file
    }
    if (!writer.close())
        return failed(QString());

    setDefaultPermissions(tmpName, path);
    if (std::rename(QFile::encodeName(tmpName).constData(), QFile::encodeName(path).constData()) != 0) {
        err = writeError(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    tmp.setAutoRemove(false);
    return true;
}

QList<XlsxColumn> xlsxColumns(const DataSetSource &rows)
{
    QList<XlsxColumn> cols;
    for (int c = 0; c < rows.columns().size(); ++c)
        cols.append({rows.columns().at(c).caption, rows.format(c).numberFormat()});
    return cols;
}
