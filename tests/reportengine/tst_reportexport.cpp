// Prepared pages painted and written out: pixels where frames, ticks and
// pictures must be, text sized alike at every resolution, PDF pages, the
// text exports rebuilt into rows, and the prepared report file read back,
// refused when it is not ours, truncated or damaged.
#include "reportengine/PagePainter.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportRenderer.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Report;

namespace {

PreparedItem text(const QRectF &mm, const QString &s, BandKind band, int bandRow)
{
    PreparedItem item;
    item.kind = PreparedItem::Text;
    item.rect = mm;
    item.text = s;
    item.band = band;
    item.bandRow = bandRow;
    return item;
}

PreparedItem shape(PreparedItem::Kind kind, const QRectF &mm)
{
    PreparedItem item;
    item.kind = kind;
    item.rect = mm;
    return item;
}

// Two pages of a small list: title, headings, rows and a page footer;
// items deliberately out of order inside each page.
PreparedReport listReport()
{
    PreparedReport r;
    PreparedPage p1;
    p1.items << text({60, 30, 40, 6}, QStringLiteral("电话"), BandKind::ColumnHeader, 1)
             << text({10, 10, 100, 8}, QStringLiteral("客户列表"), BandKind::PageHeader, 0)
             << text({10, 30, 40, 6}, QStringLiteral("名称"), BandKind::ColumnHeader, 1)
             << text({60, 40, 40, 6}, QStringLiteral("139"), BandKind::MasterData, 2)
             << text({10, 40, 40, 6}, QStringLiteral("张三;李四"), BandKind::MasterData, 2)
             << text({10, 50, 40, 6}, QStringLiteral("说\"好\""), BandKind::MasterData, 3)
             << text({60, 50, 40, 6}, QString(), BandKind::MasterData, 3)
             << text({10, 280, 40, 6}, QStringLiteral("第 1 页"), BandKind::PageFooter, 4);
    PreparedPage p2;
    p2.items << text({10, 10, 100, 8}, QStringLiteral("客户列表"), BandKind::PageHeader, 0)
             << text({10, 30, 40, 6}, QStringLiteral("名称"), BandKind::ColumnHeader, 1)
             << text({60, 30, 40, 6}, QStringLiteral("电话"), BandKind::ColumnHeader, 1)
             << text({10, 40, 40, 6}, QStringLiteral("王<五>&"), BandKind::MasterData, 2)
             << text({60, 40, 40, 6}, QStringLiteral("138"), BandKind::MasterData, 2)
             << text({10, 50, 90, 6}, QStringLiteral("合计 2"), BandKind::ReportSummary, 3)
             << text({10, 280, 40, 6}, QStringLiteral("第 2 页"), BandKind::PageFooter, 4);
    r.pages << p1 << p2;
    return r;
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return int(QString::fromLatin1(pdf).count(page));
}

// Characters the PDF's embedded fonts map back to text (their ToUnicode tables).
QSet<char32_t> pdfCharacters(const QByteArray &pdf)
{
    QSet<char32_t> out;
    static const QRegularExpression block(QStringLiteral("begin(bfrange|bfchar)(.*?)end\\1"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]{4,8})>"));
    const QString all = QString::fromLatin1(pdf);
    for (auto m = block.globalMatch(all); m.hasNext();) {
        const QString body = m.next().captured(2);
        for (auto h = hex.globalMatch(body); h.hasNext();)
            out.insert(char32_t(h.next().captured(1).toUInt(nullptr, 16)));
    }
    return out;
}

bool dark(const QImage &image, double xMm, double yMm, double dpi)
{
    const QColor c = image.pixelColor(int(xMm * dpi / 25.4), int(yMm * dpi / 25.4));
    return c.lightness() < 128;
}

// The box around every non-white pixel, in mm.
QRectF inkBox(const QImage &image, double dpi)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).lightness() < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) return {};
    const double mm = 25.4 / dpi;
    return QRectF(left * mm, top * mm, (right - left + 1) * mm, (bottom - top + 1) * mm);
}

void compareItems(const PreparedItem &a, const PreparedItem &b)
{
    QCOMPARE(a.kind, b.kind);
    QCOMPARE(a.rect, b.rect);
    QCOMPARE(a.text, b.text);
    QCOMPARE(a.font.family, b.font.family);
    QCOMPARE(a.font.size, b.font.size);
    QCOMPARE(a.font.bold, b.font.bold);
    QCOMPARE(a.font.italic, b.font.italic);
    QCOMPARE(a.font.underline, b.font.underline);
    QCOMPARE(a.alignment, b.alignment);
    QCOMPARE(a.wordWrap, b.wordWrap);
    QCOMPARE(a.frame.left, b.frame.left);
    QCOMPARE(a.frame.top, b.frame.top);
    QCOMPARE(a.frame.right, b.frame.right);
    QCOMPARE(a.frame.bottom, b.frame.bottom);
    QCOMPARE(a.frame.width, b.frame.width);
    QCOMPARE(a.color, b.color);
    QCOMPARE(a.fill.isValid(), b.fill.isValid());
    if (a.fill.isValid()) QCOMPARE(a.fill, b.fill);
    QCOMPARE(a.checked, b.checked);
    QCOMPARE(a.picture.isNull(), b.picture.isNull());
    if (!a.picture.isNull())
        QCOMPARE(a.picture.convertToFormat(QImage::Format_ARGB32), b.picture.convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(a.band, b.band);
    QCOMPARE(a.bandRow, b.bandRow);
}

// Every kind of item with every field set away from its default.
PreparedReport richReport()
{
    PreparedReport r;
    PreparedPage page;
    page.size = QSizeF(297, 210);
    PreparedItem t = text({12.5, 20.25, 80, 14}, QStringLiteral("多行\n文字 'x' \"y\""), BandKind::GroupHeader, 3);
    t.font.family = QStringLiteral("Noto Serif CJK SC");
    t.font.size = 13.5;
    t.font.bold = t.font.italic = t.font.underline = true;
    t.alignment = Qt::AlignRight | Qt::AlignBottom;
    t.wordWrap = true;
    t.frame = {true, false, true, false, 0.6};
    t.color = QColor(10, 20, 30);
    t.fill = QColor(200, 210, 220);
    PreparedItem box = shape(PreparedItem::CheckBox, {100, 20, 5, 5});
    box.checked = true;
    PreparedItem pic = shape(PreparedItem::Picture, {120, 20, 30, 20});
    pic.picture = QImage(7, 5, QImage::Format_ARGB32);
    pic.picture.fill(QColor(255, 0, 0, 128));
    pic.picture.setPixelColor(3, 2, QColor(0, 0, 255));
    page.items << t << box << pic << shape(PreparedItem::Line, {0, 0, 297, 0}) << shape(PreparedItem::Rect, {5, 5, 10, 10});
    PreparedPage empty;
    r.pages << page << empty;
    return r;
}

} // namespace

class TestReportExport : public QObject {
    Q_OBJECT

private slots:
    void paintsFramesTicksAndPictures();
    void textSizeIsTheSameOnEveryDevice();
    void wrappedTextFitsTheHeightTheRendererMeasured();
    void pdfHasEveryPageInItsSizeWithChineseGlyphs();
    void csvRebuildsRowsOnce();
    void plainTextLaysRowsOutByPosition();
    void htmlEscapesAndMakesATablePerPage();
    void rtfPlacesCellsWhereTheItemsStand();
    void writersRefuseAFolderThatCannotBeWritten_data();
    void writersRefuseAFolderThatCannotBeWritten();
    void preparedFileRoundTrip();
    void preparedFileRefusesWhatIsNotWhole_data();
    void preparedFileRefusesWhatIsNotWhole();
    void preparedFileRefusesEveryTruncationAndFlippedByte();
    void formatByExtension();
};

void TestReportExport::paintsFramesTicksAndPictures()
{
    PreparedPage page;
    page.size = QSizeF(100, 60);
    PreparedItem framed = text({10, 10, 30, 10}, QString(), BandKind::MasterData, 0);
    framed.frame = {true, true, false, true, 0.5};   // no right side
    PreparedItem on = shape(PreparedItem::CheckBox, {50, 10, 10, 10});
    on.checked = true;
    PreparedItem off = shape(PreparedItem::CheckBox, {65, 10, 10, 10});
    PreparedItem pic = shape(PreparedItem::Picture, {10, 30, 20, 20});
    pic.picture = QImage(4, 4, QImage::Format_RGB32);
    pic.picture.fill(Qt::red);
    PreparedItem line = shape(PreparedItem::Line, {40, 40, 50, 0});
    line.frame.width = 0.5;
    page.items << framed << on << off << pic << line;

    const double dpi = 150;
    const QImage image = pageImage(page, dpi);
    QCOMPARE(image.size(), QSize(qRound(100 * dpi / 25.4), qRound(60 * dpi / 25.4)));
    QVERIFY(dark(image, 10, 15, dpi));      // left side
    QVERIFY(dark(image, 25, 10, dpi));      // top
    QVERIFY(dark(image, 25, 20, dpi));      // bottom
    QVERIFY(!dark(image, 40, 15, dpi));     // the right side is off
    QVERIFY(!dark(image, 25, 15, dpi));     // inside
    QVERIFY(dark(image, 50, 15, dpi));      // both boxes have their outline
    QVERIFY(dark(image, 65, 15, dpi));
    // The tick's stroke passes through the box's lower middle only when checked.
    QVERIFY(dark(image, 54.2, 17.5, dpi));
    QVERIFY(!dark(image, 69.2, 17.5, dpi));
    QCOMPARE(image.pixelColor(int(20 * dpi / 25.4), int(40 * dpi / 25.4)), QColor(Qt::red));
    QVERIFY(dark(image, 65, 40, dpi));
    QVERIFY(!dark(image, 65, 42, dpi));
}

void TestReportExport::textSizeIsTheSameOnEveryDevice()
{
    // A 20 point 国 is about 7 mm high on paper, at any resolution.
    PreparedPage page;
    page.size = QSizeF(40, 20);
    PreparedItem t = text({0, 0, 40, 20}, QStringLiteral("国国"), BandKind::MasterData, 0);
    t.font.size = 20;
    t.alignment = Qt::AlignCenter;
    page.items << t;
    QRectF boxes[2];
    const double dpis[2] = {72, 300};
    for (int i = 0; i < 2; ++i) {
        boxes[i] = inkBox(pageImage(page, dpis[i]), dpis[i]);
        QVERIFY2(boxes[i].height() > 5 && boxes[i].height() < 7.6, qPrintable(QString::number(boxes[i].height())));
    }
    QVERIFY(qAbs(boxes[0].height() - boxes[1].height()) < 0.8);
    QVERIFY(qAbs(boxes[0].width() - boxes[1].width()) < 1.0);
}

void TestReportExport::wrappedTextFitsTheHeightTheRendererMeasured()
{
    // Drawn in a box as high as the renderer says it needs, nothing of the
    // text may fall below the box: a line broken differently on paper than
    // when measured would be cut off.
    const QString pool = QStringLiteral("广州市天河区中山大道西 88 号 A 座 1203 室，电话 020-12345678，来电两次未接 ");
    const double dpis[] = {72, 96, 150, 600};
    for (int i = 0; i < 40; ++i) {
        const QString t = (pool + pool).mid((i * 7) % pool.size(), 8 + (i * 7) % 50);
        Font f;
        f.size = 8 + i % 6;
        const double width = 18 + (i * 11) % 55;
        const double h = ReportRenderer::textHeight(f, t, width, true);
        PreparedPage page;
        page.size = QSizeF(width + 4, h + 40);
        PreparedItem item = text({2, 2, width, h + 30}, t, BandKind::MasterData, 0);
        item.font = f;
        item.wordWrap = true;
        item.alignment = Qt::AlignLeft | Qt::AlignTop;
        page.items << item;
        for (double dpi : dpis) {
            const QRectF ink = inkBox(pageImage(page, dpi), dpi);
            QVERIFY2(ink.bottom() <= 2 + h + 0.2,
                     qPrintable(QStringLiteral("%1 at %2 dpi, width %3: ink to %4 mm, measured %5 mm")
                                    .arg(t).arg(dpi).arg(width).arg(ink.bottom() - 2).arg(h)));
        }
    }
}

void TestReportExport::pdfHasEveryPageInItsSizeWithChineseGlyphs()
{
    QTemporaryDir dir;
    PreparedReport r = listReport();
    PreparedPage wide;
    wide.size = QSizeF(297, 210);
    wide.items << text({10, 10, 100, 10}, QStringLiteral("横向页面"), BandKind::ReportSummary, 0);
    r.pages << wide;
    const QString file = dir.filePath(QStringLiteral("list.pdf"));
    QString error;
    QVERIFY2(writePdf(r, file, &error), qPrintable(error));
    const QByteArray pdf = readAll(file);
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdfPages(pdf), 3);
    // A4 portrait twice, then A4 landscape (points).
    static const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    QList<QSizeF> sizes;
    for (auto m = mediaBox.globalMatch(QString::fromLatin1(pdf)); m.hasNext();) {
        const auto hit = m.next();
        sizes << QSizeF(hit.captured(1).toDouble(), hit.captured(2).toDouble());
    }
    QCOMPARE(sizes.size(), 3);
    QVERIFY(qAbs(sizes[0].width() - 595.3) < 1 && qAbs(sizes[0].height() - 841.9) < 1);
    QVERIFY(qAbs(sizes[2].width() - 841.9) < 1 && qAbs(sizes[2].height() - 595.3) < 1);
    QVERIFY(pdf.contains("NotoSansCJK"));
    const QSet<char32_t> chars = pdfCharacters(pdf);
    for (char32_t c : QStringLiteral("客列表横向").toUcs4()) QVERIFY(chars.contains(c));

    QVERIFY(!writePdf(PreparedReport(), dir.filePath(QStringLiteral("none.pdf")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.pdf"))));
}

void TestReportExport::csvRebuildsRowsOnce()
{
    const QByteArray csv = csvText(listReport());
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(csv.mid(3)),
             QStringLiteral("客户列表\r\n"
                            "名称;电话\r\n"
                            "\"张三;李四\";139\r\n"
                            "\"说\"\"好\"\"\";\r\n"
                            "王<五>&;138\r\n"
                            "合计 2\r\n"));
    PreparedReport ticks;
    PreparedPage page;
    PreparedItem on = shape(PreparedItem::CheckBox, {30, 0, 5, 5});
    on.checked = true;
    page.items << on << text({0, 0, 20, 5}, QStringLiteral("已收款"), BandKind::MasterData, 0)
               << shape(PreparedItem::Line, {0, 5, 100, 5});
    ticks.pages << page;
    QCOMPARE(QString::fromUtf8(csvText(ticks).mid(3)), QStringLiteral("已收款;√\r\n"));
}

void TestReportExport::plainTextLaysRowsOutByPosition()
{
    // 2.1 mm a column: x 10 mm is column 5, x 60 mm column 29; Chinese
    // characters take two columns each.
    const QString t = plainText(listReport());
    const QStringList pages = t.split(QLatin1Char('\f'));
    QCOMPARE(pages.size(), 2);
    const QStringList lines = pages[0].split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("     客户列表"));
    QCOMPARE(lines.value(1), QStringLiteral("     名称") + QString(29 - 5 - 4, QLatin1Char(' ')) + QStringLiteral("电话"));
    QCOMPARE(lines.value(2), QStringLiteral("     张三;李四") + QString(29 - 5 - 9, QLatin1Char(' ')) + QStringLiteral("139"));
    QCOMPARE(lines.value(4), QStringLiteral("     第 1 页"));
    QVERIFY(pages[1].contains(QStringLiteral("第 2 页")));
    QVERIFY(t.endsWith(QLatin1Char('\n')));

    // Items that would run into each other keep one blank apart.
    PreparedReport tight;
    PreparedPage page;
    page.items << text({0, 0, 5, 5}, QStringLiteral("长长的名字"), BandKind::MasterData, 0)
               << text({4, 0, 5, 5}, QStringLiteral("x\ny"), BandKind::MasterData, 0);
    tight.pages << page;
    QCOMPARE(plainText(tight), QStringLiteral("长长的名字 x y\n"));
}

void TestReportExport::htmlEscapesAndMakesATablePerPage()
{
    PreparedReport r = listReport();
    r.pages[0].items[0].font.bold = true;
    r.pages[0].items[0].alignment = Qt::AlignRight | Qt::AlignVCenter;
    PreparedItem pic = shape(PreparedItem::Picture, {0, 0, 10, 10});
    pic.picture = QImage(2, 2, QImage::Format_RGB32);
    pic.picture.fill(Qt::blue);
    r.pages[1].items << pic;
    const QString html = htmlText(r);
    QCOMPARE(html.count(QStringLiteral("<table class=\"page\"")), 2);
    QVERIFY(html.contains(QStringLiteral("<td>王&lt;五&gt;&amp;</td>")));
    QVERIFY(!html.contains(QStringLiteral("<五>")));
    QVERIFY(html.contains(QStringLiteral("<td style=\"text-align:right;font-weight:bold;\">电话</td>")));
    QVERIFY(html.contains(QStringLiteral("src=\"data:image/png;base64,")));
    QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    // The rows in band order: title, headings, data.
    const int title = html.indexOf(QStringLiteral("客户列表"));
    const int heading = html.indexOf(QStringLiteral("名称"));
    const int row = html.indexOf(QStringLiteral("张三"));
    QVERIFY(title < heading && heading < row);
}

void TestReportExport::rtfPlacesCellsWhereTheItemsStand()
{
    PreparedReport r = listReport();
    r.pages[0].items[1].text = QStringLiteral("{客户}\\列表");
    r.pages[0].items[1].font.bold = true;
    r.pages[0].items[1].frame = Frame::all();
    r.pages[1].size = QSizeF(297, 210);
    const QByteArray rtf = rtfText(r);
    QVERIFY(rtf.startsWith("{\\rtf1"));
    // Braces balance once the escaped ones are set aside.
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') { ++i; continue; }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}') --depth;
        QVERIFY(depth >= 0);
    }
    QCOMPARE(depth, 0);
    // The text read back from the \uN escapes.
    QString shown;
    static const QRegularExpression token(QStringLiteral("\\\\u(-?\\d+)\\?|\\\\([{}\\\\])|\\\\[a-z]+-?\\d* ?|([^\\\\{}\\n])"));
    for (auto m = token.globalMatch(QString::fromLatin1(rtf)); m.hasNext();) {
        const auto t = m.next();
        if (!t.captured(1).isEmpty()) shown += QChar(ushort(t.captured(1).toInt()));
        else if (!t.captured(2).isEmpty()) shown += t.captured(2);
        else if (!t.captured(3).isEmpty()) shown += t.captured(3);
    }
    QVERIFY2(shown.contains(QStringLiteral("{客户}\\列表")), qPrintable(shown.left(200)));
    QVERIFY(shown.contains(QStringLiteral("张三;李四")));
    QVERIFY(shown.indexOf(QStringLiteral("名称")) < shown.indexOf(QStringLiteral("张三")));
    // The heading row: 名称 at 10 mm, 40 wide; 电话 at 60 mm after an empty cell for the gap.
    const int mm10 = qRound(10 * 1440 / 25.4), mm50 = qRound(50 * 1440 / 25.4), mm60 = qRound(60 * 1440 / 25.4),
              mm100 = qRound(100 * 1440 / 25.4);
    QVERIFY(rtf.contains("\\trleft" + QByteArray::number(mm10)));
    const QByteArray heading = "\\clvertalc\\cellx" + QByteArray::number(mm50) + "\n\\cellx" + QByteArray::number(mm60)
        + "\\clvertalc\\cellx" + QByteArray::number(mm100);
    QVERIFY2(rtf.contains(heading), rtf.constData());
    QVERIFY(rtf.contains("\\clbrdrl\\brdrs\\brdrw11\\clbrdrt\\brdrs\\brdrw11"));
    QCOMPARE(rtf.count("\\sect\\sectd\\sbkpage"), 1);
    QCOMPARE(rtf.count("\\lndscpsxn"), 1);
    QVERIFY(rtf.contains("\\fcharset134 Noto Sans CJK SC;"));
}

void TestReportExport::writersRefuseAFolderThatCannotBeWritten_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("pdf") << int(ExportFormat::Pdf);
    QTest::newRow("csv") << int(ExportFormat::Csv);
    QTest::newRow("text") << int(ExportFormat::Text);
    QTest::newRow("html") << int(ExportFormat::Html);
    QTest::newRow("rtf") << int(ExportFormat::Rtf);
    QTest::newRow("prepared") << int(ExportFormat::Prepared);
}

void TestReportExport::writersRefuseAFolderThatCannotBeWritten()
{
    QFETCH(int, format);
    QTemporaryDir dir;
    // A file where the folder should be: no user, root included, can write under it.
    const QString notAFolder = dir.filePath(QStringLiteral("plain"));
    {
        QFile f(notAFolder);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QString error;
    QVERIFY(!exportReport(listReport(), ExportFormat(format), notAFolder + QStringLiteral("/out.x"), &error));
    QVERIFY2(error.startsWith(QStringLiteral("无法写入文件")), qPrintable(error));

    // A good write replaces the file as a whole.
    const QString file = dir.filePath(QStringLiteral("out.x"));
    QVERIFY2(exportReport(listReport(), ExportFormat(format), file, &error), qPrintable(error));
    QVERIFY(QFileInfo(file).size() > 0);
}

void TestReportExport::preparedFileRoundTrip()
{
    QTemporaryDir dir;
    const PreparedReport r = richReport();
    const QString file = dir.filePath(QStringLiteral("a.clrep"));
    QString error;
    QVERIFY2(savePrepared(r, file, &error), qPrintable(error));
    const std::optional<PreparedReport> back = loadPrepared(file, &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(back->pages.size(), r.pages.size());
    for (qsizetype p = 0; p < r.pages.size(); ++p) {
        QCOMPARE(back->pages[p].size, r.pages[p].size);
        QCOMPARE(back->pages[p].items.size(), r.pages[p].items.size());
        for (qsizetype i = 0; i < r.pages[p].items.size(); ++i) {
            compareItems(back->pages[p].items[i], r.pages[p].items[i]);
            if (QTest::currentTestFailed()) return;
        }
    }
    // What is read back draws the same.
    QCOMPARE(pageImage(back->pages[0], 50), pageImage(r.pages[0], 50));
}

void TestReportExport::preparedFileRefusesWhatIsNotWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray good = preparedBytes(richReport());
    QByteArray newer = good;
    newer[11] = char(9);   // the version, big-endian after the 8-byte mark
    QByteArray flipped = good;
    flipped[good.size() - 3] = char(flipped[good.size() - 3] ^ 0x55);
    QTest::newRow("empty") << QByteArray() << QStringLiteral("不是预览报表文件");
    QTest::newRow("text file") << QByteArray("name;phone\r\n") << QStringLiteral("不是预览报表文件");
    QTest::newRow("mark only") << good.left(8) << QStringLiteral("不完整");
    QTest::newRow("half") << good.left(good.size() / 2) << QStringLiteral("不完整");
    QTest::newRow("last byte missing") << good.left(good.size() - 1) << QStringLiteral("不完整");
    QTest::newRow("flipped byte") << flipped << QStringLiteral("已损坏");
    QTest::newRow("appended") << good + QByteArray("x") << QStringLiteral("已损坏");
    QTest::newRow("newer version") << newer << QStringLiteral("较新版本");
}

void TestReportExport::preparedFileRefusesWhatIsNotWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bad.clrep"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString error;
    QVERIFY(!loadPrepared(file, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("bad.clrep")));

    QVERIFY(!loadPrepared(dir.filePath(QStringLiteral("missing.clrep")), &error));
    QVERIFY(error.startsWith(QStringLiteral("无法打开文件")));
}

void TestReportExport::preparedFileRefusesEveryTruncationAndFlippedByte()
{
    const QByteArray good = preparedBytes(richReport());
    QVERIFY(readPrepared(good, nullptr));
    for (qsizetype n = 0; n < good.size(); ++n) {
        QString error;
        QVERIFY2(!readPrepared(good.left(n), &error), qPrintable(QString::number(n)));
        QVERIFY(!error.isEmpty());
        QByteArray flipped = good;
        flipped[n] = char(flipped[n] ^ 0x01);
        if (n != 11) QVERIFY2(!readPrepared(flipped, nullptr), qPrintable(QString::number(n)));
    }
}

void TestReportExport::formatByExtension()
{
    const struct { const char *file; int format; } cases[] = {
        {"a.pdf", int(ExportFormat::Pdf)}, {"a.PDF", int(ExportFormat::Pdf)}, {"b.csv", int(ExportFormat::Csv)},
        {"c.txt", int(ExportFormat::Text)}, {"d.htm", int(ExportFormat::Html)}, {"d.html", int(ExportFormat::Html)}, {"g.RTF", int(ExportFormat::Rtf)},
        {"e.clrep", int(ExportFormat::Prepared)}, {"f.doc", -1}, {"noext", -1},
    };
    for (const auto &c : cases) {
        const std::optional<ExportFormat> f = formatOfFile(QString::fromLatin1(c.file));
        QCOMPARE(f ? int(*f) : -1, c.format);
    }
}

QTEST_MAIN(TestReportExport)
#include "tst_reportexport.moc"
