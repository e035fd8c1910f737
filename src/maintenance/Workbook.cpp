#include "Workbook.h"

#include "WorkbookReaders.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cmath>

std::unique_ptr<Workbook> Workbook::open(const QString &path, QString *error)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("无法打开文件：%1").arg(path);
        return nullptr;
    }
    if (f.size() == 0) {
        *error = QStringLiteral("文件是空的，没有可以导入的数据。");
        return nullptr;
    }
    const QByteArray head = f.read(8);
    f.close();
    if (head.startsWith("PK\x03\x04")) return openXlsxWorkbook(path, error);
    if (head.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))) return openXlsWorkbook(path, error);
    // An empty or split zip is no workbook; text that merely starts with "PK" is a .csv.
    if (head.startsWith("PK\x05\x06") || head.startsWith("PK\x07\x08")) {
        *error = QStringLiteral("不是有效的 Excel 文件。");
        return nullptr;
    }
    return openCsvWorkbook(path, error);
}

QStringList columnNames(const QStringList &header)
{
    QStringList names;
    QSet<QString> seen;
    for (int i = 0; i < header.size(); ++i) {
        QString n = header.at(i).trimmed();
        if (n.isEmpty()) n = QStringLiteral("F%1").arg(i + 1);
        // Names are matched without regard to case, so "a" and "A" clash too.
        if (seen.contains(n.toLower())) {
            int k = 1;
            while (seen.contains((n + QString::number(k)).toLower())) ++k;
            n += QString::number(k);
        }
        seen.insert(n.toLower());
        names << n;
    }
    return names;
}

bool loadTable(Workbook &book, const QString &table, SheetTable *out, const Workbook::Progress &progress,
               QString *error)
{
    *out = SheetTable();
    bool header = true;
    QString tooBig;
    int lastFilled = -1;   // trailing empty rows (formatting left below the data) are not rows
    const bool ok = book.read(
        table,
        [&](QStringList &&cells) {
            // A cell costs its characters and the bookkeeping of a string.
            qint64 bytes = 64;
            bool empty = true;
            for (const QString &c : cells) {
                bytes += 40 + 2 * c.size();
                if (empty && !c.trimmed().isEmpty()) empty = false;
            }
            out->bytes += bytes;
            if (out->bytes > kMaxSheetBytes) {
                tooBig = QStringLiteral("表格数据太多（超过 %1 MB），请分成几个文件导入。")
                             .arg(kMaxSheetBytes / (1024 * 1024));
                return false;
            }
            if (header) {
                out->columns = columnNames(cells);
                header = false;
                return true;
            }
            if (!empty) lastFilled = int(out->rows.size());
            out->rows.append(std::move(cells));
            return true;
        },
        progress, error);
    if (!tooBig.isEmpty()) {
        *error = tooBig;
        *out = SheetTable();
        return false;
    }
    if (!ok) {
        *out = SheetTable();
        return false;
    }
    out->rows.resize(lastFilled + 1);
    // Every row has one text per column; cells right of the named columns
    // belong to no column (a header cell gives each column its name).
    const int width = int(out->columns.size());
    for (QStringList &r : out->rows) {
        if (r.size() > width) r.erase(r.begin() + width, r.end());
        while (r.size() < width) r.append(QString());
    }
    return true;
}

QString excelDateText(double serial, bool date1904)
{
    // Day 60 of the 1900 system is the 29th of February 1900 that never was.
    const QDate base = date1904 ? QDate(1904, 1, 1) : (serial < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30));
    const double days = std::floor(serial);
    qint64 ms = qint64(std::llround((serial - days) * 86400000.0));
    const QDate d = base.addDays(qint64(days));
    if (ms >= 86400000) ms = 86400000 - 1000;
    const QTime t = QTime::fromMSecsSinceStartOfDay(int((ms + 500) / 1000 * 1000));
    if (!d.isValid()) return excelNumberText(serial);
    if (t == QTime(0, 0)) return d.toString(QStringLiteral("yyyy-MM-dd"));
    return d.toString(QStringLiteral("yyyy-MM-dd")) + u' ' + t.toString(QStringLiteral("hh:mm:ss"));
}

QString excelNumberText(double v)
{
    if (!std::isfinite(v)) return QString();
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}
