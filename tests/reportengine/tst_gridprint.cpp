// The grid printed as a list: its prepared pages (columns, headings on every
// page, cells as the grid shows them, page numbers), Chinese text in the
// PDF, the preview it opens, and failures that must not pass as success.
#include "components/DataGrid.h"
#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"
#include "reportengine/GridPrint.h"
#include "reportengine/ReportRenderer.h"
#include "reportengine/TfrmPreview.h"

#include "ScriptedDialogs.h"
#include "TestDb.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using Report::BandKind;
using Report::PreparedItem;
using Report::PreparedPage;
using Report::PreparedReport;

namespace {

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

// The characters the PDF's embedded fonts map back to text (their ToUnicode
// tables): a character drawn anywhere in the document is among them. The
// font maps a few characters that double as radicals (户, 日, 人, 页) back to the
// radical's code point, so the checks use other characters.
QSet<char32_t> pdfCharacters(const QByteArray &pdf)
{
    QSet<char32_t> out;
    static const QRegularExpression block(QStringLiteral("begin(bfrange|bfchar)(.*?)end\\1"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]{4,8})>"));
    const QString text = QString::fromLatin1(pdf);
    for (auto m = block.globalMatch(text); m.hasNext();) {
        const QString body = m.next().captured(2);
        for (auto h = hex.globalMatch(body); h.hasNext();)
            out.insert(char32_t(h.next().captured(1).toUInt(nullptr, 16)));
    }
    return out;
}

bool pdfShows(const QSet<char32_t> &chars, const QString &text)
{
    for (char32_t c : text.toUcs4())
        if (c > 0x7f && !chars.contains(c)) return false;
    return true;
}

GridColumn col(const QString &field, const QString &caption, int width, bool visible = true,
               const QString &format = {})
{
    GridColumn c;
    c.field = field;
    c.caption = caption;
    c.width = width;
    c.visible = visible;
    c.displayFormat = format;
    return c;
}

// Customers 00000001.. with a Chinese name and a price; every third is paid.
void addCustomers(TdmData &dm, int count)
{
    QVERIFY(dm.ADOcnn.beginTransaction());
    for (int i = 1; i <= count; ++i) {
        const QString sql = QStringLiteral("insert into t_client(F_code,F_name,F_totalprice,F_memo1,F_IFshoukuan) "
                                           "values('%1','%2',%3,'%4',%5)")
                                .arg(QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')),
                                     sqlValue(QStringLiteral("张晓%1").arg(i)))
                                .arg(1234.5 + i)
                                .arg(sqlValue(QStringLiteral("秘密备注'%1").arg(i)))
                                .arg(i % 3 == 0 ? 1 : 0);
        QVERIFY(dm.RunSQL(sql));
    }
    QVERIFY(dm.ADOcnn.commit());
}

// The cells the grid shows for customer i of addCustomers.
QStringList customerCells(int i)
{
    return {QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')), QStringLiteral("张晓%1").arg(i),
            QStringLiteral("￥1,%1").arg(234.5 + i, 6, 'f', 2, QLatin1Char('0')), i % 3 == 0 ? QStringLiteral("√") : QString()};
}

// The columns a list window would show; the memo column is hidden.
void setCustomerColumns(DataGrid &grid)
{
    grid.setColumns({col(QStringLiteral("F_code"), QStringLiteral("编号"), 80),
                     col(QStringLiteral("F_name"), QStringLiteral("姓名"), 120),
                     col(QStringLiteral("F_memo1"), QStringLiteral("隐藏栏"), 200, false),
                     col(QStringLiteral("F_totalprice"), QStringLiteral("总价"), 90, true, QStringLiteral("￥,0.00")),
                     col(QStringLiteral("F_IFshoukuan"), QStringLiteral("收款"), 40)});
}

QList<const PreparedItem *> itemsOf(const PreparedPage &page, BandKind band,
                                    PreparedItem::Kind kind = PreparedItem::Text)
{
    QList<const PreparedItem *> out;
    for (const PreparedItem &item : page.items)
        if (item.band == band && item.kind == kind) out << &item;
    return out;
}

// The texts of a band kind's rows on a page, top to bottom, left to right.
QList<QStringList> rowsOf(const PreparedPage &page, BandKind band)
{
    QMap<int, QMap<double, QString>> rows;
    for (const PreparedItem *item : itemsOf(page, band)) rows[item->bandRow][item->rect.left()] = item->text;
    QList<QStringList> out;
    for (const auto &row : std::as_const(rows)) out << row.values();
    return out;
}

QStringList textsOf(const PreparedPage &page, BandKind band)
{
    QStringList out;
    for (const QStringList &row : rowsOf(page, band)) out << row;
    return out;
}

// Holds in one line of its box: wider text would wrap to a second line.
bool fitsBox(const PreparedItem &item)
{
    return Report::ReportRenderer::textHeight(item.font, item.text, item.rect.width(), true)
        <= item.rect.height() + 1e-6;
}

// Fails half way, as a dropped connection does.
class FailingRows : public RowSource {
public:
    QStringList fieldNames() const override { return {QStringLiteral("F_code")}; }
    int rowCount() const override { return 100; }
    bool start() override { m_at = 0; return true; }
    bool nextRow() override { return ++m_at <= 50; }
    QVariant value(int) const override { return m_at; }
    QString text(int) const override { return QString::number(m_at); }
    QString error() const override { return m_at > 50 ? QStringLiteral("连接已断开") : QString(); }

private:
    int m_at = 0;
};

// Promises more rows than it has, as a list whose rows were deleted meanwhile.
class ShortRows : public MemoryRows {
public:
    ShortRows() : MemoryRows({QStringLiteral("F_code")}, {{"1"}, {"2"}, {"3"}}) {}
    int rowCount() const override { return 500; }
};

} // namespace

class TestGridPrint : public QObject {
    Q_OBJECT
private slots:
    void printsGridRows_data() { TestDb::addBackendRows(); }
    void printsGridRows();
    void pageLayout_data();
    void pageLayout();
    void gridWithoutDataPrintsHeadings();
    void readsThatEndEarlyOrFail();
    void previewShowsThePages();
};

void TestGridPrint::printsGridRows()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(backend, dir.path());
    // More rows than one fetch holds, so the print reads a set that is not all in memory.
    const int total = 520;
    addCustomers(*dm, total);

    DataSet list(&dm->ADOcnn);
    list.setSql(QStringLiteral("select * from t_client order by F_code"));
    QVERIFY2(list.open(), qPrintable(list.lastError()));
    DataGrid grid;
    setCustomerColumns(grid);
    grid.setDataSet(&list);
    list.setRecNo(7);

    GridPrintDocument doc;
    doc.title = QStringLiteral("维修清单");
    doc.pageHeader = QStringLiteral("统计日期：自 启用系统");
    doc.pageFooter = QStringLiteral("制表人：管理员");
    doc.columns = gridPrintColumns(grid);
    doc.screenPointSize = grid.font().pointSizeF();
    const auto rows = grid.rowSource(DataGrid::Columns::Visible);
    doc.rows = rows.get();
    QString error;
    const std::optional<PreparedReport> report = gridReport(doc, &error);
    QVERIFY2(report, qPrintable(error));

    // Every page full but the last, every row once, in order, as the grid shows it.
    const int pages = int(report->pages.size());
    const int perPage = int(rowsOf(report->pages.first(), BandKind::MasterData).size());
    QVERIFY(perPage > 10);
    QCOMPARE(pages, (total + perPage - 1) / perPage);
    QVERIFY(pages >= 2);
    QList<QStringList> body;
    for (int p = 0; p < pages; ++p) {
        const PreparedPage &page = report->pages.at(p);
        QCOMPARE(page.size, QSizeF(210, 297));
        const QList<QStringList> onPage = rowsOf(page, BandKind::MasterData);
        if (p < pages - 1) QCOMPARE(onPage.size(), perPage);
        body << onPage;

        // Title, page header, headings and footer on every page; the hidden column nowhere.
        QCOMPARE(textsOf(page, BandKind::PageHeader), (QStringList{doc.title, doc.pageHeader}));
        QCOMPARE(rowsOf(page, BandKind::ColumnHeader), (QList<QStringList>{{"编号", "姓名", "总价", "收款"}}));
        QCOMPARE(textsOf(page, BandKind::PageFooter),
                 (QStringList{doc.pageFooter, QStringLiteral("第 %1 页 / 共 %2 页").arg(p + 1).arg(pages)}));
        // White bold on navy inside black frames; black on white inside black frames.
        for (const PreparedItem *h : itemsOf(page, BandKind::ColumnHeader)) {
            QCOMPARE(h->color, QColor(Qt::white));
            QVERIFY(h->font.bold);
        }
        for (const auto &[band, paper] : {std::pair{BandKind::ColumnHeader, QColor(0, 0, 128)},
                                          std::pair{BandKind::MasterData, QColor(Qt::white)}}) {
            const QList<const PreparedItem *> boxes = itemsOf(page, band, PreparedItem::Rect);
            QCOMPARE(boxes.size(), itemsOf(page, band).size());
            for (const PreparedItem *box : boxes) {
                QCOMPARE(box->fill, paper);
                QCOMPARE(box->color, QColor(Qt::black));
                QVERIFY(box->frame.left && box->frame.top && box->frame.right && box->frame.bottom);
            }
        }

        // Inside the printable inset, the table clear of the footer, every text in its named font.
        const double footerTop = itemsOf(page, BandKind::PageFooter).first()->rect.top();
        for (const PreparedItem &item : page.items) {
            QVERIFY(QRectF(5, 5, 200, 287).adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(item.rect));
            QCOMPARE(item.font.family, QStringLiteral("Noto Sans CJK SC"));
            if (item.band == BandKind::MasterData) QVERIFY(item.rect.bottom() <= footerTop);
        }
    }
    QCOMPARE(body.size(), total);
    for (int i : {1, 2, 3, perPage, perPage + 1, total})
        QCOMPARE(body.at(i - 1), customerCells(i));
    for (int i = 0; i < total; ++i) QCOMPARE(body.at(i).first(), customerCells(i + 1).first());

    // The PDF has those pages and shows the Chinese texts.
    const QString file = dir.filePath("list.pdf");
    QVERIFY2(printGridToPdf(grid, doc.title, doc.pageHeader, doc.pageFooter, file, &error), qPrintable(error));
    const QByteArray pdf = readAll(file);
    QCOMPARE(pdfPages(pdf), pages);
    const QSet<char32_t> chars = pdfCharacters(pdf);
    for (const char *shown : {"维修清单", "统计", "制表", "编号", "姓名", "总价", "张晓"})
        QVERIFY2(pdfShows(chars, QString::fromUtf8(shown)), shown);
    QVERIFY2(!pdfShows(chars, QStringLiteral("隐藏栏")), "a hidden column's caption was printed");
    QVERIFY2(!pdfShows(chars, QStringLiteral("秘密")), "a hidden column's cells were printed");

    // The print did not move the grid.
    QCOMPARE(list.recNo(), 7);
    QCOMPARE(grid.currentRow(), 7);

    // A limit prints only the first rows; the set can still be read afterwards.
    QVERIFY2(printGridToPdf(grid, doc.title, doc.pageHeader, doc.pageFooter, file, &error, perPage + 1),
             qPrintable(error));
    QCOMPARE(pdfPages(readAll(file)), 2);
    QCOMPARE(grid.cellText(total - 1, 0), customerCells(total).first());
}

void TestGridPrint::pageLayout_data()
{
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<bool>("fitsPage");
    QTest::addColumn<double>("minPoints");
    QTest::addColumn<double>("maxPoints");
    QTest::newRow("narrow list") << QList<int>{82, 122, 42} << false << 13.0 << 13.0;
    QTest::newRow("wider than the page") << QList<int>{200, 450, 125, 350} << true << 7.1 << 12.9;
    QTest::newRow("far wider: smallest readable font") << QList<int>{3000, 3000, 3000, 3000, 3000} << true << 7.0 << 7.0;
}

void TestGridPrint::pageLayout()
{
    QFETCH(QList<int>, widths);
    QFETCH(bool, fitsPage);
    QFETCH(double, minPoints);
    QFETCH(double, maxPoints);
    GridPrintDocument doc;
    doc.title = QStringLiteral("客户列表");
    doc.pageHeader = QStringLiteral("第一行\n第二行");
    QStringList fields;
    QVariantList longRow, memoRow;
    for (int i = 0; i < widths.size(); ++i) {
        doc.columns << GridPrintColumn{QStringLiteral("列%1").arg(i), widths.at(i)};
        fields << QStringLiteral("F%1").arg(i);
        longRow << QStringLiteral("很长的备注文字").repeated(30);
        memoRow << QStringLiteral("1\n2");
    }
    MemoryRows rows(fields, {longRow, memoRow});
    doc.rows = &rows;
    QString error;
    const std::optional<PreparedReport> report = gridReport(doc, &error);
    QVERIFY2(report, qPrintable(error));
    QCOMPARE(report->pages.size(), 1);
    const PreparedPage &page = report->pages.first();

    // Columns side by side from the inset, in the grid's proportions.
    const QList<const PreparedItem *> headings = itemsOf(page, BandKind::ColumnHeader);
    QCOMPARE(headings.size(), widths.size());
    const QList<const PreparedItem *> cells = itemsOf(page, BandKind::ColumnHeader, PreparedItem::Rect);
    QCOMPARE(cells.size(), widths.size());
    QCOMPARE(cells.first()->rect.left(), 5.0);
    for (int i = 0; i < widths.size(); ++i) {
        const PreparedItem &h = *cells.at(i);
        QVERIFY(qAbs(h.rect.width() / cells.first()->rect.width() - double(widths.at(i)) / widths.first()) < 1e-9);
        if (i > 0) QVERIFY(qAbs(h.rect.left() - cells.at(i - 1)->rect.right()) < 1e-9);
        const double points = headings.at(i)->font.size;
        QVERIFY2(points >= minPoints - 1e-9 && points <= maxPoints + 1e-9, qPrintable(QString::number(points)));
    }
    const double right = cells.last()->rect.right();
    if (fitsPage)
        QVERIFY(qAbs(right - 205) < 1e-6);
    else
        QVERIFY(right < 105);

    // Long texts are cut with an ellipsis, a memo's lines joined; every text
    // holds in one line of its box, however small the font.
    const QList<QStringList> body = rowsOf(page, BandKind::MasterData);
    QCOMPARE(body.size(), 2);
    for (const QString &cut : body.at(0)) QVERIFY2(cut.endsWith(QChar(0x2026)) && cut.size() > 1, qPrintable(cut));
    for (const QString &memo : body.at(1)) QCOMPARE(memo, QStringLiteral("1 2"));
    for (const PreparedItem &item : page.items)
        if (item.kind == PreparedItem::Text && !item.wordWrap) QVERIFY2(fitsBox(item), qPrintable(item.text));
    // Cell texts keep clear of their frames.
    for (BandKind band : {BandKind::ColumnHeader, BandKind::MasterData}) {
        const QList<const PreparedItem *> texts = itemsOf(page, band);
        const QList<const PreparedItem *> boxes = itemsOf(page, band, PreparedItem::Rect);
        QCOMPARE(texts.size(), boxes.size());
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY(boxes.at(i)->rect.adjusted(0.5, 0, -0.5, 0).contains(texts.at(i)->rect));
    }

    // Title, both header lines, the table and the footer one below the other.
    const QList<const PreparedItem *> top = itemsOf(page, BandKind::PageHeader);
    QCOMPARE(top.size(), 2);
    const PreparedItem &title = *top.at(0), &header = *top.at(1);
    const PreparedItem &footer = *itemsOf(page, BandKind::PageFooter).first();
    QCOMPARE(title.rect.top(), 5.0);
    QVERIFY(header.rect.top() >= title.rect.bottom());
    QVERIFY(header.rect.height() > 1.5 * footer.rect.height());
    QVERIFY(Report::ReportRenderer::textHeight(header.font, header.text, header.rect.width(), true)
            <= header.rect.height() + 1e-6);
    QVERIFY(cells.first()->rect.top() >= header.rect.bottom());
    for (const PreparedItem *cell : itemsOf(page, BandKind::MasterData)) QVERIFY(cell->rect.bottom() <= footer.rect.top());
    QCOMPARE(footer.rect.bottom(), 292.0);
}

void TestGridPrint::gridWithoutDataPrintsHeadings()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    DataSet closed(nullptr);
    for (DataSet *ds : {static_cast<DataSet *>(nullptr), &closed}) {
        DataGrid grid;
        setCustomerColumns(grid);
        grid.setDataSet(ds);
        const QString file = dir.filePath("empty.pdf");
        QString error;
        QVERIFY2(printGridToPdf(grid, QStringLiteral("维修清单"), {}, {}, file, &error), qPrintable(error));
        const QByteArray pdf = readAll(file);
        QCOMPARE(pdfPages(pdf), 1);
        QVERIFY(pdfShows(pdfCharacters(pdf), QStringLiteral("维修清单编号姓名总价")));
    }
}

void TestGridPrint::readsThatEndEarlyOrFail()
{
    QTemporaryDir dir;
    GridPrintDocument doc;
    doc.columns << GridPrintColumn{QStringLiteral("编号"), 80};

    // Fewer rows than the source promised: those there are, and a page count that is true.
    ShortRows few;
    doc.rows = &few;
    QString error;
    std::optional<PreparedReport> report = gridReport(doc, &error);
    QVERIFY2(report, qPrintable(error));
    QCOMPARE(report->pages.size(), 1);
    QCOMPARE(rowsOf(report->pages.first(), BandKind::MasterData), (QList<QStringList>{{"1"}, {"2"}, {"3"}}));
    QVERIFY(textsOf(report->pages.first(), BandKind::PageFooter).contains(QStringLiteral("第 1 页 / 共 1 页")));

    // A folder that is not there: a message naming the file, nothing written.
    const QString missing = dir.filePath("no/such/folder/list.pdf");
    QVERIFY(!printGridToPdf(doc, missing, &error));
    QVERIFY2(error.contains(QStringLiteral("list.pdf")), qPrintable(error));
    QVERIFY(!QFile::exists(missing));

    // Rows that fail half way: reported, no pages, and an earlier file kept whole.
    const QString file = dir.filePath("kept.pdf");
    QVERIFY(printGridToPdf(doc, file, &error));
    const QByteArray before = readAll(file);
    FailingRows failing;
    doc.rows = &failing;
    error.clear();
    QVERIFY(!gridReport(doc, &error));
    QVERIFY2(error.contains(QStringLiteral("连接已断开")), qPrintable(error));
    error.clear();
    QVERIFY(!printGridToPdf(doc, file, &error));
    QVERIFY2(error.contains(QStringLiteral("连接已断开")), qPrintable(error));
    QCOMPARE(readAll(file), before);
}

void TestGridPrint::previewShowsThePages()
{
    QTemporaryDir dir;
    ScopedSeams seams;
    auto dm = TestDb::freshModule(QStringLiteral("sqlite"), dir.path());
    addCustomers(*dm, 45);
    DataSet list(&dm->ADOcnn);
    list.setSql(QStringLiteral("select * from t_client order by F_code"));
    QVERIFY(list.open());
    DataGrid grid;
    setCustomerColumns(grid);
    grid.setDataSet(&list);

    int shownPages = -1;
    QList<QStringList> firstPage, lastPage;
    QStringList footer;
    seams.dialogs.handleDialog([&](QDialog &d) {
        auto *preview = qobject_cast<Report::TfrmPreview *>(&d);
        if (!preview) return int(QDialog::Rejected);
        shownPages = preview->pageCount();
        if (shownPages > 0) {
            firstPage = rowsOf(preview->report().pages.first(), BandKind::MasterData);
            lastPage = rowsOf(preview->report().pages.last(), BandKind::MasterData);
            footer = textsOf(preview->report().pages.last(), BandKind::PageFooter);
        }
        return int(QDialog::Rejected);
    });
    PrintGrid(grid, QStringLiteral("客户列表"), {}, QStringLiteral("售后服务管理"));

    // The one preview, nothing else asked, with every row on its pages.
    QCOMPARE(seams.dialogs.calls.size(), 1);
    QCOMPARE(seams.dialogs.calls.first().what, QStringLiteral("dialog"));
    QCOMPARE(seams.dialogs.calls.first().text, QStringLiteral("预览"));
    QVERIFY(shownPages >= 2);
    QVERIFY(!firstPage.isEmpty());
    QCOMPARE(firstPage.first(), customerCells(1));
    QCOMPARE(lastPage.last(), customerCells(45));
    QCOMPARE(footer, (QStringList{QStringLiteral("售后服务管理"),
                                  QStringLiteral("第 %1 页 / 共 %1 页").arg(shownPages)}));
}

QTEST_MAIN(TestGridPrint)
#include "tst_gridprint.moc"
