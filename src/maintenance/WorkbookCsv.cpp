// .csv: one table named after the file. The encoding is UTF-8 (with or
// without its mark) when the start of the file is valid UTF-8, UTF-16 with
// its mark, otherwise GBK (read as GB18030, which contains it). The
// separator is the one of ",", ";" and tab found most often in the first
// line outside quotes. Quoted fields may hold separators, doubled quotes
// and line breaks.

#include "WorkbookReaders.h"

#include <QFile>
#include <QFileInfo>
#include <QTextCodec>
#include <memory>

namespace {

constexpr qint64 kSample = 64 * 1024;
// The encoding is judged on this much of the file: a GBK name far down a
// list that starts in plain ASCII still decides it.
constexpr qint64 kDetect = 4 * 1024 * 1024;
constexpr qsizetype kMaxField = 1024 * 1024;

QTextCodec *detectCodec(const QByteArray &sample, int *skip)
{
    *skip = 0;
    if (sample.startsWith("\xEF\xBB\xBF")) {
        *skip = 3;
        return QTextCodec::codecForName("UTF-8");
    }
    if (sample.startsWith("\xFF\xFE")) {
        *skip = 2;
        return QTextCodec::codecForName("UTF-16LE");
    }
    if (sample.startsWith("\xFE\xFF")) {
        *skip = 2;
        return QTextCodec::codecForName("UTF-16BE");
    }
    QTextCodec *utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state;
    utf8->toUnicode(sample.constData(), int(sample.size()), &state);
    // A character cut at the end of the sample is not an invalid one.
    if (state.invalidChars == 0) return utf8;
    return QTextCodec::codecForName("GB18030");
}

QChar detectSeparator(const QString &text)
{
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (const QChar ch : text) {
        if (ch == u'"') quoted = !quoted;
        else if (quoted) continue;
        else if (ch == u'\n' || ch == u'\r') break;
        else if (ch == u',') ++comma;
        else if (ch == u';') ++semicolon;
        else if (ch == u'\t') ++tab;
    }
    if (tab > comma && tab >= semicolon) return u'\t';
    if (semicolon > comma && semicolon > tab) return u';';
    return u',';
}

class CsvWorkbook : public Workbook {
public:
    explicit CsvWorkbook(const QString &path) : m_path(path), m_name(QFileInfo(path).completeBaseName())
    {
        if (m_name.isEmpty()) m_name = QStringLiteral("Sheet1");
    }

    bool check(QString *error)
    {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("无法打开文件：%1").arg(f.errorString());
            return false;
        }
        const QByteArray sample = f.read(kDetect);
        int skip = 0;
        QTextCodec *codec = detectCodec(sample, &skip);
        const bool utf16 = codec && codec->name().startsWith("UTF-16");
        if (!codec || (!utf16 && sample.contains('\0'))) {
            *error = QStringLiteral("不是 Excel 文件，也不是 CSV 文本文件。");
            return false;
        }
        return true;
    }

    QStringList tableNames() const override { return {m_name}; }

    bool read(const QString &table, const RowSink &sink, const Progress &progress, QString *error) override
    {
        error->clear();
        if (table != m_name) {
            *error = QStringLiteral("工作簿中没有“%1”。").arg(table);
            return false;
        }
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("无法打开文件：%1").arg(f.errorString());
            return false;
        }
        const qint64 total = f.size();
        int skip = 0;
        QTextCodec *codec = detectCodec(f.peek(kDetect), &skip);
        QByteArray chunk = f.read(kSample);
        std::unique_ptr<QTextDecoder> decoder(codec->makeDecoder());
        QString text = decoder->toUnicode(chunk.constData() + skip, int(chunk.size() - skip));
        const QChar sep = detectSeparator(text);

        enum State { FieldStart, Unquoted, Quoted, QuoteInQuoted } state = FieldStart;
        QStringList cells;
        QString field;
        int rows = 0;
        bool lastWasCr = false;
        auto endField = [&]() -> bool {
            if (cells.size() >= Workbook::kMaxColumns) {
                *error = QStringLiteral("第 %1 行的列数超过 %2 列，无法读取。").arg(rows + 1).arg(Workbook::kMaxColumns);
                return false;
            }
            cells << field;
            field.clear();
            return true;
        };
        auto endRow = [&]() -> bool {
            if (!endField()) return false;
            if (++rows > Workbook::kMaxRows) {
                *error = QStringLiteral("文件超过 %1 行，无法读取。").arg(Workbook::kMaxRows);
                return false;
            }
            if (cells.size() == 1 && cells.first().isEmpty()) cells.clear();
            if (!sink(std::move(cells))) return false;
            cells = QStringList();
            if (rows % 512 == 0 && progress && !progress(f.pos(), total)) return false;
            return true;
        };

        for (;;) {
            for (const QChar ch : std::as_const(text)) {
                const bool crlf = lastWasCr && ch == u'\n';
                lastWasCr = ch == u'\r';
                if (crlf && state == FieldStart) continue;   // the second half of a CR LF
                switch (state) {
                case FieldStart:
                    if (ch == u'"') {
                        state = Quoted;
                        continue;
                    }
                    state = Unquoted;
                    [[fallthrough]];
                case Unquoted:
                    if (ch == sep) {
                        if (!endField()) return false;
                        state = FieldStart;
                    } else if (ch == u'\n' || ch == u'\r') {
                        if (!endRow()) return false;
                        state = FieldStart;
                    } else {
                        field += ch;
                    }
                    break;
                case Quoted:
                    if (ch == u'"') state = QuoteInQuoted;
                    else field += ch;
                    break;
                case QuoteInQuoted:
                    if (ch == u'"') {
                        field += ch;
                        state = Quoted;
                    } else if (ch == sep) {
                        if (!endField()) return false;
                        state = FieldStart;
                    } else if (ch == u'\n' || ch == u'\r') {
                        if (!endRow()) return false;
                        state = FieldStart;
                    } else {
                        field += ch;   // text after the closing quote is kept, as spreadsheet programs do
                        state = Unquoted;
                    }
                    break;
                }
                if (field.size() > kMaxField) {
                    *error = QStringLiteral("第 %1 行有超过 %2 个字的单元格（可能缺少结束的引号），无法读取。")
                                 .arg(rows + 1)
                                 .arg(kMaxField);
                    return false;
                }
            }
            if (f.atEnd()) break;
            chunk = f.read(kSample);
            if (chunk.isEmpty()) {
                *error = QStringLiteral("读取文件出错：%1").arg(f.errorString());
                return false;
            }
            text = decoder->toUnicode(chunk);
        }
        // The last line need not end with a line break.
        if (state != FieldStart || !cells.isEmpty() || !field.isEmpty())
            if (!endRow()) return false;
        return true;
    }

private:
    QString m_path;
    QString m_name;
};

} // namespace

std::unique_ptr<Workbook> openCsvWorkbook(const QString &path, QString *error)
{
    auto book = std::make_unique<CsvWorkbook>(path);
    if (!book->check(error)) return nullptr;
    return book;
}
