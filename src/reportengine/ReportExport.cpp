#include "ReportExport.h"

#include "PagePainter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QStringConverter>
#include <algorithm>
#include <cmath>

namespace Report {

namespace {

QString noPagesText() { return QStringLiteral("报表没有可输出的页。"); }

QString writeFailed(const QString &path, const QString &why)
{
    return QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(path), why);
}

void setError(QString *error, const QString &text)
{
    if (error) *error = text;
}

// Writes through a temporary file beside the target, so a failed write
// leaves an existing file untouched.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, writeFailed(path, file.errorString()));
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        setError(error, writeFailed(path, file.errorString()));
        return false;
    }
    return true;
}

QPageLayout layoutOf(const PreparedPage &page)
{
    const double w = page.size.width() > 0 ? page.size.width() : 210;
    const double h = page.size.height() > 0 ? page.size.height() : 297;
    const QPageSize size(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    return QPageLayout(size, w > h ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

bool isText(const PreparedItem &item)
{
    return item.kind == PreparedItem::Text || item.kind == PreparedItem::CheckBox;
}

QString itemText(const PreparedItem &item)
{
    if (item.kind == PreparedItem::CheckBox) return item.checked ? QStringLiteral("√") : QString();
    return item.text;
}

// The items of each placed band, top to bottom; in a band, left to right.
QList<QList<const PreparedItem *>> bandItems(const PreparedPage &page)
{
    QMap<int, QList<const PreparedItem *>> rows;
    for (const PreparedItem &item : page.items)
        if (isText(item)) rows[item.bandRow].append(&item);
    QList<QList<const PreparedItem *>> out;
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        QList<const PreparedItem *> row = it.value();
        std::stable_sort(row.begin(), row.end(), [](const PreparedItem *a, const PreparedItem *b) {
            if (!qFuzzyCompare(1 + a->rect.left(), 1 + b->rect.left())) return a->rect.left() < b->rect.left();
            return a->rect.top() < b->rect.top();
        });
        out.append(row);
    }
    return out;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Columns a character takes in a fixed-pitch text: Chinese and other wide
// characters take two.
int charColumns(char32_t c)
{
    if (c < 0x1100) return 1;
    const bool wide = (c <= 0x115f) || (c >= 0x2e80 && c <= 0xa4cf) || (c >= 0xac00 && c <= 0xd7a3)
        || (c >= 0xf900 && c <= 0xfaff) || (c >= 0xfe30 && c <= 0xfe4f) || (c >= 0xff00 && c <= 0xff60)
        || (c >= 0xffe0 && c <= 0xffe6) || (c >= 0x20000 && c <= 0x3fffd);
    return wide ? 2 : 1;
}

int textColumns(const QString &text)
{
    int n = 0;
    for (char32_t c : text.toUcs4()) n += charColumns(c);
    return n;
}

// Millimetres per column of the plain text: a 10 point fixed-pitch letter.
constexpr double TextColumnMm = 2.1;

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

QString alignStyle(int alignment)
{
    if (alignment & Qt::AlignRight) return QStringLiteral("text-align:right;");
    if (alignment & Qt::AlignHCenter) return QStringLiteral("text-align:center;");
    return {};
}

QByteArray pictureBytes(const QImage &image)
{
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// ---- RTF ----
constexpr double TwipsPerMm = 1440 / 25.4;

int twips(double mm) { return int(std::lround(mm * TwipsPerMm)); }

// Plain ASCII as it is; everything else as \uN with a "?" for readers that
// cannot show it (\uc1).
QByteArray rtfEscaped(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') out += '\\' + QByteArray(1, char(u));
        else if (u == '\n') out += "\\line ";
        else if (u == '\r') continue;
        else if (u == '\t') out += "\\tab ";
        else if (u >= 0x20 && u < 0x80) out += char(u);
        else if (u >= 0x80) out += "\\u" + QByteArray::number(qint16(u)) + '?';
    }
    return out;
}

class RtfTables {
public:
    int font(const QString &family)
    {
        const QString f = family.isEmpty() ? QString::fromLatin1(DefaultFont) : family;
        qsizetype i = m_fonts.indexOf(f);
        if (i < 0) {
            m_fonts << f;
            i = m_fonts.size() - 1;
        }
        return int(i);
    }
    int color(const QColor &c)   // 0: automatic
    {
        if (!c.isValid()) return 0;
        const QRgb rgb = c.rgb() & 0xffffff;
        qsizetype i = m_colors.indexOf(rgb);
        if (i < 0) {
            m_colors << rgb;
            i = m_colors.size() - 1;
        }
        return int(i) + 1;
    }
    QByteArray header() const
    {
        QByteArray out = "{\\fonttbl";
        for (qsizetype i = 0; i < m_fonts.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 " + rtfEscaped(m_fonts.at(i)) + ";}";
        out += "}\n{\\colortbl;";
        for (QRgb c : m_colors)
            out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
                + QByteArray::number(qBlue(c)) + ';';
        return out + "}\n";
    }

private:
    QStringList m_fonts;
    QList<QRgb> m_colors;
};

QByteArray rtfBorders(const Frame &frame)
{
    const QByteArray w = "\\brdrs\\brdrw" + QByteArray::number(std::clamp(twips(frame.width), 1, 75));
    QByteArray out;
    if (frame.left) out += "\\clbrdrl" + w;
    if (frame.top) out += "\\clbrdrt" + w;
    if (frame.right) out += "\\clbrdrr" + w;
    if (frame.bottom) out += "\\clbrdrb" + w;
    return out;
}

QByteArray rtfCell(const PreparedItem &item, RtfTables &tables, int widthTwips, int heightTwips)
{
    QByteArray out = "\\pard\\intbl";
    if (item.alignment & Qt::AlignRight) out += "\\qr";
    else if (item.alignment & Qt::AlignHCenter) out += "\\qc";
    else out += "\\ql";
    if (item.kind == PreparedItem::Picture) {
        if (!item.picture.isNull()) {
            const QSizeF fitted = QSizeF(item.picture.size()).scaled(QSizeF(widthTwips, heightTwips), Qt::KeepAspectRatio);
            out += "{\\pict\\pngblip\\picw" + QByteArray::number(item.picture.width()) + "\\pich"
                + QByteArray::number(item.picture.height()) + "\\picwgoal" + QByteArray::number(qRound(fitted.width()))
                + "\\pichgoal" + QByteArray::number(qRound(fitted.height())) + ' ' + pictureBytes(item.picture).toHex()
                + '}';
        }
    } else {
        out += "{\\f" + QByteArray::number(tables.font(item.font.family)) + "\\fs"
            + QByteArray::number(qRound((item.font.size > 0 ? item.font.size : 10) * 2));
        if (item.font.bold) out += "\\b";
        if (item.font.italic) out += "\\i";
        if (item.font.underline) out += "\\ul";
        if (const int c = tables.color(item.color)) out += "\\cf" + QByteArray::number(c);
        out += ' ' + rtfEscaped(itemText(item)) + '}';
    }
    return out + "\\cell\n";
}

// ---- the prepared report file ----
// Layout: magic, format version, length and SHA-256 of the payload, then the
// payload (qCompress of a QDataStream). The length and the hash tell a
// truncated or damaged file from a good one before any of it is read.
const QByteArray Magic("CLSVPREP", 8);
constexpr quint32 FormatVersion = 1;
constexpr int HeaderSize = 8 + 4 + 8 + 32;
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_4;

bool validRect(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

} // namespace

// ---------------------------------------------------------------- painting

bool writePdf(const PreparedReport &report, const QString &path, QString *error)
{
    if (report.pages.isEmpty()) {
        setError(error, noPagesText());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, writeFailed(path, file.errorString()));
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("澄岚电器售后服务管理软件"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        writer.setPageLayout(layoutOf(report.pages.first()));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            setError(error, writeFailed(path, QStringLiteral("无法生成 PDF")));
            return false;
        }
        const double scale = writer.resolution() / 25.4;
        for (qsizetype i = 0; i < report.pages.size(); ++i) {
            if (i > 0) {
                writer.setPageLayout(layoutOf(report.pages.at(i)));
                writer.newPage();
            }
            paintPage(painter, report.pages.at(i), scale);
        }
        painter.end();
    }
    if (!file.commit()) {
        setError(error, writeFailed(path, file.errorString()));
        return false;
    }
    return true;
}

bool printReport(const PreparedReport &report, QPrinter &printer, QString *error, int fromPage, int toPage)
{
    const int count = int(report.pages.size());
    const int first = fromPage > 0 ? std::min(fromPage, count) : 1;
    const int last = toPage > 0 ? std::min(toPage, count) : count;
    if (count == 0 || first > last) {
        setError(error, noPagesText());
        return false;
    }
    // Item positions are from the paper's edge.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        setError(error, QStringLiteral("无法开始打印，请检查打印机设置。"));
        return false;
    }
    const double scale = printer.resolution() / 25.4;
    for (int i = first; i <= last; ++i) {
        if (i > first && !printer.newPage()) {
            painter.end();
            setError(error, QStringLiteral("打印中断，请检查打印机。"));
            return false;
        }
        paintPage(painter, report.pages.at(i - 1), scale);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        setError(error, QStringLiteral("打印失败，请检查打印机。"));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- text exports

QList<QStringList> pageRows(const PreparedPage &page)
{
    QList<QStringList> rows;
    for (const QList<const PreparedItem *> &band : bandItems(page)) {
        QStringList row;
        for (const PreparedItem *item : band) row << itemText(*item);
        rows << row;
    }
    return rows;
}

QByteArray csvText(const PreparedReport &report)
{
    // A sheet wants the data once: the page and column headings of the first
    // page only, and no page footers (page numbers, page sums).
    QString out;
    for (qsizetype p = 0; p < report.pages.size(); ++p) {
        for (const QList<const PreparedItem *> &band : bandItems(report.pages.at(p))) {
            const BandKind kind = band.first()->band;
            if (kind == BandKind::PageFooter) continue;
            if (p > 0 && (kind == BandKind::PageHeader || kind == BandKind::ColumnHeader)) continue;
            QStringList fields;
            for (const PreparedItem *item : band) fields << csvField(itemText(*item));
            out += fields.join(QLatin1Char(';')) + QLatin1String("\r\n");
        }
    }
    // With the byte order mark spreadsheet programs read the file as UTF-8.
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QString plainText(const PreparedReport &report)
{
    QStringList pages;
    for (const PreparedPage &page : report.pages) {
        QStringList lines;
        for (const QList<const PreparedItem *> &band : bandItems(page)) {
            QString line;
            int width = 0;
            for (const PreparedItem *item : band) {
                const QString text = oneLine(itemText(*item));
                if (text.isEmpty()) continue;
                const int column = std::max(0, int(std::lround(item->rect.left() / TextColumnMm)));
                int pad = column - width;
                if (width > 0 && pad < 1) pad = 1;
                if (pad > 0) {
                    line += QString(pad, QLatin1Char(' '));
                    width += pad;
                }
                line += text;
                width += textColumns(text);
            }
            while (line.endsWith(QLatin1Char(' '))) line.chop(1);
            lines << line;
        }
        pages << lines.join(QLatin1Char('\n'));
    }
    // A form feed starts each new page, as a line printer expects.
    return pages.isEmpty() ? QString() : pages.join(QLatin1String("\n\f")) + QLatin1Char('\n');
}

QString htmlText(const PreparedReport &report)
{
    QString out = QStringLiteral(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>报表</title>\n<style>\n"
        "table.page { border-collapse: collapse; margin-bottom: 2em; page-break-after: always; }\n"
        "table.page td { padding: 2px 6px; vertical-align: top; }\n"
        "</style>\n</head>\n<body>\n");
    for (qsizetype p = 0; p < report.pages.size(); ++p) {
        const PreparedPage &page = report.pages.at(p);
        out += QStringLiteral("<table class=\"page\" id=\"page%1\">\n").arg(p + 1);
        for (const QList<const PreparedItem *> &band : bandItems(page)) {
            out += QLatin1String("<tr>");
            for (const PreparedItem *item : band) {
                QString style = alignStyle(item->alignment);
                if (item->font.bold) style += QLatin1String("font-weight:bold;");
                if (item->font.italic) style += QLatin1String("font-style:italic;");
                if (item->font.underline) style += QLatin1String("text-decoration:underline;");
                if (item->frame.any()) style += QLatin1String("border:1px solid #000;");
                if (item->fill.isValid()) style += QStringLiteral("background:%1;").arg(item->fill.name());
                if (item->color.isValid() && item->color != Qt::black)
                    style += QStringLiteral("color:%1;").arg(item->color.name());
                QString cell = itemText(*item).toHtmlEscaped();
                cell.replace(QLatin1Char('\n'), QLatin1String("<br>"));
                out += style.isEmpty() ? QStringLiteral("<td>%1</td>").arg(cell)
                                       : QStringLiteral("<td style=\"%1\">%2</td>").arg(style, cell);
            }
            out += QLatin1String("</tr>\n");
        }
        for (const PreparedItem &item : page.items) {
            if (item.kind != PreparedItem::Picture || item.picture.isNull()) continue;
            out += QStringLiteral("<tr><td><img alt=\"\" src=\"data:image/png;base64,%1\"></td></tr>\n")
                       .arg(QString::fromLatin1(pictureBytes(item.picture).toBase64()));
        }
        out += QLatin1String("</table>\n");
    }
    out += QLatin1String("</body>\n</html>\n");
    return out;
}

QByteArray rtfText(const PreparedReport &report)
{
    RtfTables tables;
    tables.font(QString::fromLatin1(DefaultFont));
    QByteArray pages;
    for (qsizetype p = 0; p < report.pages.size(); ++p) {
        const PreparedPage &page = report.pages.at(p);
        const QSizeF size = page.size;
        pages += p == 0 ? "\\sectd" : "\\sect\\sectd\\sbkpage";
        pages += "\\pgwsxn" + QByteArray::number(twips(size.width())) + "\\pghsxn" + QByteArray::number(twips(size.height()));
        if (size.width() > size.height()) pages += "\\lndscpsxn";
        pages += "\\marglsxn0\\margrsxn0\\margtsxn0\\margbsxn0\n";
        QMap<int, QList<const PreparedItem *>> bands;
        for (const PreparedItem &item : page.items)
            if (item.kind != PreparedItem::Line && item.kind != PreparedItem::Rect) bands[item.bandRow].append(&item);
        int lastBottom = 0;
        for (QList<const PreparedItem *> row : std::as_const(bands)) {
            std::stable_sort(row.begin(), row.end(), [](const PreparedItem *a, const PreparedItem *b) {
                return a->rect.left() < b->rect.left();
            });
            double top = row.first()->rect.top(), bottom = row.first()->rect.bottom();
            for (const PreparedItem *item : row) {
                top = std::min(top, item->rect.top());
                bottom = std::max(bottom, item->rect.bottom());
            }
            // The space above the band, as an empty paragraph of that height.
            const int gap = twips(top) - lastBottom;
            if (gap > 20) pages += "\\pard\\sl-" + QByteArray::number(gap) + "\\slmult0\\fs2\\par\n";
            lastBottom = twips(bottom);
            const int height = std::max(20, twips(bottom - top));
            QByteArray cells, texts;
            int x = std::max(0, twips(row.first()->rect.left()));
            const int left = x;
            for (const PreparedItem *item : row) {
                const int start = twips(item->rect.left());
                if (start > x + 10) {   // the gap before it: an empty cell
                    cells += "\\cellx" + QByteArray::number(start);
                    texts += "\\pard\\intbl\\cell\n";
                    x = start;
                }
                const int right = std::max(x + 20, twips(item->rect.right()));
                cells += rtfBorders(item->frame);
                if (const int fill = tables.color(item->fill)) cells += "\\clcbpat" + QByteArray::number(fill);
                if (item->alignment & Qt::AlignBottom) cells += "\\clvertalb";
                else if (item->alignment & Qt::AlignVCenter) cells += "\\clvertalc";
                cells += "\\cellx" + QByteArray::number(right) + '\n';
                texts += rtfCell(*item, tables, right - x, height);
                x = right;
            }
            pages += "\\trowd\\trgaph0\\trleft" + QByteArray::number(left) + "\\trrh" + QByteArray::number(height) + '\n'
                + cells + texts + "\\row\n";
        }
        pages += "\\pard\\par\n";
    }
    return "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\n" + tables.header() + pages + "}\n";
}

bool writeCsv(const PreparedReport &report, const QString &path, QString *error)
{
    return writeFile(path, csvText(report), error);
}

bool writeText(const PreparedReport &report, const QString &path, QString *error)
{
    return writeFile(path, plainText(report).toUtf8(), error);
}

bool writeHtml(const PreparedReport &report, const QString &path, QString *error)
{
    return writeFile(path, htmlText(report).toUtf8(), error);
}

bool writeRtf(const PreparedReport &report, const QString &path, QString *error)
{
    return writeFile(path, rtfText(report), error);
}

// ---------------------------------------------------------------- prepared file

QByteArray preparedBytes(const PreparedReport &report)
{
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(StreamVersion);
        out << quint32(report.pages.size());
        for (const PreparedPage &page : report.pages) {
            out << page.size << quint32(page.items.size());
            for (const PreparedItem &item : page.items) {
                out << qint32(item.kind) << item.rect << item.text;
                out << item.font.family << item.font.size << item.font.bold << item.font.italic << item.font.underline;
                out << qint32(item.alignment) << item.wordWrap;
                out << item.frame.left << item.frame.top << item.frame.right << item.frame.bottom << item.frame.width;
                out << item.color << item.fill << item.checked << pictureBytes(item.picture);
                out << qint32(item.band) << qint32(item.bandRow);
            }
        }
    }
    const QByteArray payload = qCompress(body);
    QByteArray file;
    QDataStream head(&file, QIODevice::WriteOnly);
    head.setVersion(StreamVersion);
    head.writeRawData(Magic.constData(), int(Magic.size()));
    head << FormatVersion << quint64(payload.size());
    const QByteArray hash = QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    head.writeRawData(hash.constData(), int(hash.size()));
    head.writeRawData(payload.constData(), int(payload.size()));
    return file;
}

std::optional<PreparedReport> readPrepared(const QByteArray &bytes, QString *error)
{
    const QString damaged = QStringLiteral("文件已损坏，无法打开。");
    if (bytes.size() < qsizetype(Magic.size()) || !bytes.startsWith(Magic)) {
        setError(error, QStringLiteral("这不是预览报表文件。"));
        return std::nullopt;
    }
    if (bytes.size() < HeaderSize) {
        setError(error, QStringLiteral("文件不完整（可能没有保存完），无法打开。"));
        return std::nullopt;
    }
    QDataStream head(bytes);
    head.setVersion(StreamVersion);
    head.skipRawData(int(Magic.size()));
    quint32 version = 0;
    quint64 length = 0;
    head >> version >> length;
    if (version == 0 || version > FormatVersion) {
        setError(error, QStringLiteral("文件由较新版本的程序保存，无法打开。"));
        return std::nullopt;
    }
    const QByteArray hash = bytes.mid(HeaderSize - 32, 32);
    if (quint64(bytes.size() - HeaderSize) < length) {
        setError(error, QStringLiteral("文件不完整（可能没有保存完），无法打开。"));
        return std::nullopt;
    }
    const QByteArray payload = bytes.mid(HeaderSize, qsizetype(length));
    if (quint64(bytes.size() - HeaderSize) != length
        || QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != hash) {
        setError(error, damaged);
        return std::nullopt;
    }
    const QByteArray body = qUncompress(payload);
    if (body.isEmpty()) {
        setError(error, damaged);
        return std::nullopt;
    }

    QDataStream in(body);
    in.setVersion(StreamVersion);
    // Counts are checked against what is left, so a bad one cannot make us
    // reserve more than the file holds.
    const auto left = [&] { return quint64(body.size() - in.device()->pos()); };
    PreparedReport report;
    quint32 pageCount = 0;
    in >> pageCount;
    if (in.status() != QDataStream::Ok || pageCount > left()) {
        setError(error, damaged);
        return std::nullopt;
    }
    for (quint32 p = 0; p < pageCount; ++p) {
        PreparedPage page;
        quint32 itemCount = 0;
        in >> page.size >> itemCount;
        if (in.status() != QDataStream::Ok || itemCount > left() || !(page.size.width() > 0)
            || !(page.size.height() > 0) || !std::isfinite(page.size.width()) || !std::isfinite(page.size.height())) {
            setError(error, damaged);
            return std::nullopt;
        }
        for (quint32 i = 0; i < itemCount; ++i) {
            PreparedItem item;
            qint32 kind = 0, alignment = 0, band = 0, bandRow = 0;
            QByteArray png;
            in >> kind >> item.rect >> item.text;
            in >> item.font.family >> item.font.size >> item.font.bold >> item.font.italic >> item.font.underline;
            in >> alignment >> item.wordWrap;
            in >> item.frame.left >> item.frame.top >> item.frame.right >> item.frame.bottom >> item.frame.width;
            in >> item.color >> item.fill >> item.checked >> png;
            in >> band >> bandRow;
            if (in.status() != QDataStream::Ok || kind < PreparedItem::Text || kind > PreparedItem::Picture
                || band < int(BandKind::ReportTitle) || band > int(BandKind::ReportSummary) || !validRect(item.rect)
                || !std::isfinite(item.font.size) || !std::isfinite(item.frame.width)) {
                setError(error, damaged);
                return std::nullopt;
            }
            if (!png.isEmpty() && !item.picture.loadFromData(png, "PNG")) {
                setError(error, damaged);
                return std::nullopt;
            }
            item.kind = PreparedItem::Kind(kind);
            item.alignment = alignment;
            item.band = BandKind(band);
            item.bandRow = bandRow;
            page.items.append(std::move(item));
        }
        report.pages.append(std::move(page));
    }
    if (!in.atEnd()) {
        setError(error, damaged);
        return std::nullopt;
    }
    return report;
}

bool savePrepared(const PreparedReport &report, const QString &path, QString *error)
{
    return writeFile(path, preparedBytes(report), error);
}

std::optional<PreparedReport> loadPrepared(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("无法打开文件“%1”：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return std::nullopt;
    }
    QString why;
    std::optional<PreparedReport> report = readPrepared(file.readAll(), &why);
    if (!report) setError(error, QStringLiteral("无法打开文件“%1”：%2").arg(QDir::toNativeSeparators(path), why));
    return report;
}

// ---------------------------------------------------------------- by file type

bool exportReport(const PreparedReport &report, ExportFormat format, const QString &path, QString *error)
{
    switch (format) {
    case ExportFormat::Pdf: return writePdf(report, path, error);
    case ExportFormat::Csv: return writeCsv(report, path, error);
    case ExportFormat::Text: return writeText(report, path, error);
    case ExportFormat::Html: return writeHtml(report, path, error);
    case ExportFormat::Rtf: return writeRtf(report, path, error);
    case ExportFormat::Prepared: return savePrepared(report, path, error);
    }
    return false;
}

std::optional<ExportFormat> formatOfFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return ExportFormat::Pdf;
    if (suffix == QLatin1String("csv")) return ExportFormat::Csv;
    if (suffix == QLatin1String("txt")) return ExportFormat::Text;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return ExportFormat::Html;
    if (suffix == QLatin1String("rtf")) return ExportFormat::Rtf;
    if (suffix == QLatin1String(PreparedSuffix)) return ExportFormat::Prepared;
    return std::nullopt;
}

QString exportFilter()
{
    return QStringLiteral("PDF 文件 (*.pdf);;CSV 文件，分号分隔 (*.csv);;文本文件 (*.txt);;RTF 文件 (*.rtf);;HTML 文件 (*.html *.htm)");
}

QString preparedFilter()
{
    return QStringLiteral("预览报表文件 (*.%1)").arg(QLatin1String(PreparedSuffix));
}

} // namespace Report
