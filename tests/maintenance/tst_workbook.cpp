// Reading spreadsheets for the import: files shaped as other producers
// write them (LibreOffice's .xls and .xlsx, hand-made parts in other places,
// our own writer's inline strings), .csv in its encodings and separators,
// and files that are broken, encrypted, foreign or too large, each of which
// ends with a message instead of a crash.
#include "data/XlsxExport.h"
#include "data/ZipArchive.h"
#include "maintenance/Workbook.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <sys/resource.h>
#include <unistd.h>

namespace {

QString fixture(const QString &name)
{
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/fixtures/") + name;
}

// The table as "names" then one line per row, cells joined by "|".
QStringList readAll(const QString &path, const QString &table, QString *error, QStringList *names = nullptr)
{
    error->clear();
    std::unique_ptr<Workbook> book = Workbook::open(path, error);
    if (!book) return {};
    if (names) *names = book->tableNames();
    SheetTable t;
    if (!loadTable(*book, table.isEmpty() ? book->tableNames().value(0) : table, &t, {}, error)) return {};
    QStringList lines{t.columns.join(u'|')};
    for (const QStringList &r : t.rows) lines << r.join(u'|');
    return lines;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Rows made as they are asked for, so a million-row sheet needs no list.
class CountingRows : public RowSource {
public:
    explicit CountingRows(int rows) : m_rows(rows) {}
    QStringList fieldNames() const override { return {QStringLiteral("n")}; }
    int rowCount() const override { return m_rows; }
    bool start() override
    {
        m_at = -1;
        return true;
    }
    bool nextRow() override { return ++m_at < m_rows; }
    QVariant value(int) const override { return QString::number(m_at); }
    QString text(int) const override { return QString::number(m_at); }

private:
    int m_rows;
    int m_at = -1;
};

} // namespace

class TestWorkbook : public QObject {
    Q_OBJECT
private slots:
    // Files that read: the tables listed, then the first (or named) table.
    void reads_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QStringList>("lines");
        const QStringList lo = {QStringLiteral("用户名称|手机|购买日期|台数|单价|备注"),
                                QStringLiteral("王'五|13905718866|2024-01-02|2|1999.5|两行\n备注"),
                                QStringLiteral("李四|0571-86881234|2023-12-31|1|0.1|")};
        QTest::newRow("LibreOffice .xls") << "lo-written.xls" << "" << QStringList{"lo-source"} << lo;
        QTest::newRow("LibreOffice .xlsx") << "lo-written.xlsx" << "" << QStringList{"lo-source"} << lo;
        // Parts found through relations only; shared strings joined from runs
        // without their phonetic guide; dates by built-in and custom formats,
        // a quoted "d" that is no date, booleans, formulas with and without a
        // cached value, cells and rows without references, a row left out, a
        // merged range read as its one cell, an error value, a formatted empty
        // row at the end that is no row.
        const QStringList tables = {"客户", "Other", "客户范围"};
        QTest::newRow("other producer's parts") << "producers.xlsx" << "客户" << tables
                                                << QStringList{"用户名称|手机|购买日期|台数|收款否|金额",
                                                               "王'五|13905718866|2024-01-01|2|TRUE|3",
                                                               "李四|0571-8688|2024-01-01 18:00:00|0.1|FALSE|",
                                                               "|||||",
                                                               "合并||12:00:00||#N/A|"};
        QTest::newRow("named range") << "producers.xlsx" << "客户范围" << tables
                                     << QStringList{"用户名称|手机", "王'五|13905718866", "李四|0571-8688"};
        // An empty name and a repeated one; a cell right of the names belongs to no column.
        QTest::newRow("names made up") << "producers.xlsx" << "Other" << tables << QStringList{"x|F2|x1", "1||1e+20"};
    }
    void reads()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(QStringList, tables);
        QFETCH(QStringList, lines);
        QString error;
        QStringList names;
        const QStringList got = readAll(fixture(file), table, &error, &names);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(names, tables);
        QCOMPARE(got, lines);
    }

    // Our own writer's file (inline strings, constant memory) reads back as written.
    void readsOwnWriter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.xlsx"));
        MemoryRows rows({"F_code", "F_name", "F_amount", "F_buyDate"},
                        {{QStringLiteral("00123"), QStringLiteral("王'五"), 2.5, QStringLiteral("2024-03-01")},
                         {QStringLiteral("A-2"), QStringLiteral("李四"), 3, QStringLiteral("1900-08-14")}});
        QString error;
        QVERIFY2(writeXlsx(path, QStringLiteral("客户资料"), {{"ID码", {}}, {"用户名称", {}}, {"台数", "0.00"}, {"购买日期", {}}},
                           rows, &error),
                 qPrintable(error));
        const QStringList got = readAll(path, QString(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(got, (QStringList{"ID码|用户名称|台数|购买日期", "00123|王'五|2.5|2024-03-01", "A-2|李四|3|"}));
    }

    // .csv: encoding and separator found from the file itself; quotes,
    // doubled quotes, line breaks inside quotes, CR LF, no final line break.
    void csv_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        const QString text = QStringLiteral("用户名称,手机,备注\r\n\"王'五\",\"139,05\",\"一行\r\n两行 \"\"引\"\"\"\r\n李四,0571,\r\n,,\r\n尾,1,x");
        const QStringList lines = {"用户名称|手机|备注", "王'五|139,05|一行\r\n两行 \"引\"", "李四|0571|", "||",
                                   "尾|1|x"};
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << lines;
        QTest::newRow("UTF-8") << text.toUtf8() << lines;
        QTest::newRow("GBK") << QTextCodec::codecForName("GBK")->fromUnicode(text) << lines;
        QString semi = text;
        semi.replace(u',', u';');
        QStringList semiLines = lines;
        semiLines[1] = QStringLiteral("王'五|139;05|一行\r\n两行 \"引\"");
        QTest::newRow("semicolons, GBK") << QTextCodec::codecForName("GBK")->fromUnicode(semi) << semiLines;
        QTest::newRow("tabs") << QStringLiteral("a\tb\tc,d\n1\t2\t3,4\n").toUtf8() << QStringList{"a|b|c,d", "1|2|3,4"};
        QTest::newRow("empty lines inside") << QByteArray("a,b\n\n1,2\n\n") << QStringList{"a|b", "|", "1|2"};
        QByteArray late = QByteArray("a,b\n").repeated(1) + QByteArray("x,y\n").repeated(30000);
        late += QTextCodec::codecForName("GBK")->fromUnicode(QStringLiteral("王五,李四\n"));
        QStringList lateLines = {"a|b"};
        for (int i = 0; i < 30000; ++i) lateLines << "x|y";
        lateLines << QStringLiteral("王五|李四");
        QTest::newRow("GBK first met after 100 KB") << late << lateLines;
        QTest::newRow("text starting like a zip") << QByteArray("PKG,b\n1,2\n") << QStringList{"PKG|b", "1|2"};
    }
    void csv()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("客户.csv"));
        writeFile(path, bytes);
        QString error;
        QStringList names;
        const QStringList got = readAll(path, QString(), &error, &names);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(names, QStringList{QStringLiteral("客户")});
        QCOMPARE(got, lines);
    }

    // Files that do not read end with a message that says why.
    void refuses_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("password-protected .xlsx") << "password.xlsx" << "密码";
        QTest::newRow("encrypted zip entries") << "encrypted-entry.xlsx" << "加密";
        QTest::newRow("zip64") << "zip64.xlsx" << "ZIP64";
        QTest::newRow("a picture named .xls") << "picture.xls" << "不是 Excel";
        // A text whose length runs past its record (found by fuzzing): freexl reads
        // on past it and finds no valid text.
        QTest::newRow("text longer than its record") << "bad-text-length.xls" << "文字编码";
        // Found by fuzzing: a sheet whose XML breaks off (once reported as "Unknown error"),
        // and an .xls claiming billions of texts, which freexl tries to make room for.
        QTest::newRow("sheet XML broken") << "broken-sheet.xlsx" << "文件已损坏或不完整，无法读取。";
        QTest::newRow("billions of texts claimed") << "huge-count.xls" << "损坏";
        // Found by fuzzing: a sheet claiming 37,382 columns, more than the format and a sheet hold.
        QTest::newRow("more columns than the format has") << "too-many-columns.xls" << "文件已损坏，无法读取工作表";
        // freexl frees a buffer twice on this one: it reads in a child process, which dies alone.
        QTest::newRow("freexl crashes on it") << "freexl-crash.xls" << "文件已损坏或不是有效的 Excel 文件";
        QTest::newRow("truncated") << "*truncated" << "损坏";
        QTest::newRow("damaged inside") << "*flipped" << "损坏";
        QTest::newRow("empty file") << "*empty" << "空";
        QTest::newRow("zip without a workbook") << "*nobook" << "不是 Excel";
        QTest::newRow("unclosed quote in a csv") << "*unclosed" << "引号";
        QTest::newRow("more rows than a sheet has") << "*rows" << "1048576";
    }
    void refuses()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString path = fixture(file);
        if (file.startsWith(u'*')) {
            QFile source(fixture(QStringLiteral("producers.xlsx")));
            QVERIFY(source.open(QIODevice::ReadOnly));
            QByteArray bytes = source.readAll();
            path = dir.filePath(QStringLiteral("made.xlsx"));
            if (file == u"*truncated") {
                bytes.truncate(bytes.size() / 2);
            } else if (file == u"*flipped") {
                // Inside the compressed workbook part, past its local header.
                const qsizetype at = bytes.indexOf("book/main.xml") + 13;
                for (qsizetype i = at + 20; i < at + 120; ++i) bytes[i] = char(bytes[i] ^ 0x5A);
            } else if (file == u"*empty") {
                bytes.clear();
            } else if (file == u"*nobook") {
                bytes = zipOf("other.xml", "<a/>");
            } else if (file == u"*unclosed") {
                path = dir.filePath(QStringLiteral("x.csv"));
                bytes = "a,b\n\"" + QByteArray(1100 * 1024, 'x');
            } else if (file == u"*rows") {
                path = dir.filePath(QStringLiteral("x.csv"));
                bytes = QByteArray("n\n").repeated(Workbook::kMaxRows + 2);
            }
            writeFile(path, bytes);
        }
        QString error;
        const QStringList got = readAll(path, QString(), &error);
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(got.isEmpty());
    }

    // The .xls reader runs in a child process with bounded memory: at most
    // 4 GiB beyond the program's size (less on a machine under 8 GiB). A
    // sheet claiming the whole grid of the format (65,536 rows by 256
    // columns), for which freexl makes room for every cell (some 800 MB),
    // still reads within it; a 6 KB file for which freexl grows to 4 GB
    // (found by fuzzing) ends in a refusal, its reader no larger than that.
    void xlsMemoryBounded()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("under the sanitizer the reader runs without the bound: its shadow memory is address space too");
#endif
        auto childPeakKb = [] {
            rusage usage{};
            return getrusage(RUSAGE_CHILDREN, &usage) == 0 ? qint64(usage.ru_maxrss) : -1;
        };
        QString error;
        const QStringList got = readAll(fixture(QStringLiteral("full-grid.xls")), QString(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(got, readAll(fixture(QStringLiteral("lo-written.xls")), QString(), &error));   // the same cells
        QVERIFY2(childPeakKb() < 2 * 1024 * 1024, qPrintable(QString::number(childPeakKb() / 1024) + " MB"));

        QFile statm(QStringLiteral("/proc/self/statm"));
        QVERIFY(statm.open(QIODevice::ReadOnly));
        const qint64 ownKb = statm.readAll().split(' ').value(0).toLongLong() * (sysconf(_SC_PAGE_SIZE) / 1024);
        QVERIFY(!readAll(fixture(QStringLiteral("greedy.xls")), QString(), &error).size());
        QCOMPARE(error, QStringLiteral("文件已损坏或不是有效的 Excel 文件，无法读取。"));
        QVERIFY2(childPeakKb() <= ownKb + 4 * 1024 * 1024, qPrintable(QString::number(childPeakKb() / 1024) + " MB"));
    }

    // A cell of 100,000 characters reads whole, from .xlsx and .csv.
    void longCell()
    {
        QString error;
        QStringList got = readAll(fixture(QStringLiteral("longcell.xlsx")), QString(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(got.size(), 2);
        QCOMPARE(got.at(1), QString(100000, u'长'));
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("long.csv"));
        writeFile(csv, "memo\n\"" + QString(100000, u'长').toUtf8() + "\"\n");
        got = readAll(csv, QString(), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(got.value(1), QString(100000, u'长'));
    }

    // The largest sheet there is reads row by row; cancelling stops it.
    void millionRows()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("big.xlsx"));
        CountingRows rows(Workbook::kMaxRows - 1);
        QString error;
        QVERIFY2(writeXlsx(path, QStringLiteral("big"), {{"n", {}}}, rows, &error), qPrintable(error));
        std::unique_ptr<Workbook> book = Workbook::open(path, &error);
        QVERIFY2(book, qPrintable(error));
        int count = 0;
        QString last;
        QVERIFY2(book->read(QStringLiteral("big"), [&](QStringList &&cells) {
            ++count;
            last = cells.value(0);
            return true;
        }, {}, &error), qPrintable(error));
        QCOMPARE(count, Workbook::kMaxRows);
        QCOMPARE(last, QString::number(Workbook::kMaxRows - 2));
        int seen = 0;
        QVERIFY(!book->read(QStringLiteral("big"), [&](QStringList &&) { return ++seen < 10; }, {}, &error));
        QCOMPARE(seen, 10);
        QVERIFY(!book->read(QStringLiteral("big"), [](QStringList &&) { return true; },
                            [](qint64, qint64) { return false; }, &error));
        QVERIFY(error.isEmpty());
    }

    // The zip reader alone: a member read whole is refused above the limit
    // the caller gives, and a streamed member matches the whole one.
    void zipLimits()
    {
        ZipArchive zip;
        QString error;
        QVERIFY2(zip.open(fixture(QStringLiteral("longcell.xlsx")), &error), qPrintable(error));
        QByteArray whole;
        QVERIFY(!zip.read(QStringLiteral("xl/worksheets/s.xml"), &whole, &error, 1000));
        QVERIFY(error.contains(QStringLiteral("太大")));
        QVERIFY2(zip.read(QStringLiteral("xl/worksheets/s.xml"), &whole, &error), qPrintable(error));
        std::unique_ptr<QIODevice> dev = zip.openEntry(QStringLiteral("xl/worksheets/s.xml"), &error);
        QVERIFY(dev);
        QByteArray streamed;
        while (!dev->atEnd()) {
            const QByteArray part = dev->read(777);
            if (part.isEmpty()) break;
            streamed += part;
        }
        QCOMPARE(streamed, whole);
        QVERIFY(!zip.read(QStringLiteral("missing.xml"), &whole, &error));
    }

    void excelDates_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<bool>("date1904");
        QTest::addColumn<QString>("text");
        QTest::newRow("2024-01-01") << 45292.0 << false << "2024-01-01";
        QTest::newRow("before the leap day that never was") << 59.0 << false << "1900-02-28";
        QTest::newRow("after it") << 61.0 << false << "1900-03-01";
        QTest::newRow("with time") << 45292.5 << false << "2024-01-01 12:00:00";
        QTest::newRow("1904 system") << 0.0 << true << "1904-01-01";
    }
    void excelDates()
    {
        QFETCH(double, serial);
        QFETCH(bool, date1904);
        QFETCH(QString, text);
        QCOMPARE(excelDateText(serial, date1904), text);
    }

private:
    static QByteArray zipOf(const char *name, const char *text);
};

// A zip of one stored member, written by hand.
QByteArray TestWorkbook::zipOf(const char *name, const char *text)
{
    auto le = [](QByteArray &b, quint32 v, int n) {
        for (int i = 0; i < n; ++i) b.append(char((v >> (8 * i)) & 0xFF));
    };
    const QByteArray n(name), t(text);
    const quint32 crc = 0;   // checked only when the member is read
    QByteArray z;
    le(z, 0x04034b50, 4); le(z, 20, 2); le(z, 0, 2); le(z, 0, 2); le(z, 0, 4); le(z, crc, 4);
    le(z, quint32(t.size()), 4); le(z, quint32(t.size()), 4); le(z, quint32(n.size()), 2); le(z, 0, 2);
    z += n + t;
    const quint32 dir = quint32(z.size());
    le(z, 0x02014b50, 4); le(z, 20, 2); le(z, 20, 2); le(z, 0, 2); le(z, 0, 2); le(z, 0, 4); le(z, crc, 4);
    le(z, quint32(t.size()), 4); le(z, quint32(t.size()), 4); le(z, quint32(n.size()), 2); le(z, 0, 2); le(z, 0, 2);
    le(z, 0, 2); le(z, 0, 2); le(z, 0, 4); le(z, 0, 4);
    z += n;
    const quint32 dirSize = quint32(z.size()) - dir;
    le(z, 0x06054b50, 4); le(z, 0, 2); le(z, 0, 2); le(z, 1, 2); le(z, 1, 2); le(z, dirSize, 4); le(z, dir, 4); le(z, 0, 2);
    return z;
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
