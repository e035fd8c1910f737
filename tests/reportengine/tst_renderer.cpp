// Templates laid out into pages where report engines go wrong: totals per
// page, per report and carried forward, the page footer kept free, column
// headers on continued pages, group headers kept with their first row, and
// bands too tall for the rest of a page or for any page.
//
// The small page used throughout: 100 mm high, 10 mm margins, a 10 mm page
// header and footer and a 5 mm column header leave 55 mm for the body from
// 25 mm down to 80 mm: five 10 mm rows a page.
#include "reportengine/ReportRenderer.h"

#include "data/DataSet.h"
#include "data/SqlText.h"
#include "data/TdmData.h"

#include "TestDb.h"

#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Report;

namespace {

constexpr double kFooterTop = 80;

ReportObject text(const QString &t, QRectF rect = QRectF(0, 0, 60, 10))
{
    ReportObject o;
    o.text = t;
    o.rect = rect;
    return o;
}

Band band(BandKind kind, double height, const QList<ReportObject> &objects, const QString &source = {})
{
    Band b;
    b.kind = kind;
    b.height = height;
    b.objects = objects;
    b.source = source;
    return b;
}

ReportTemplate smallPage()
{
    ReportTemplate t;
    t.page.width = 100;
    t.page.height = 100;
    return t;
}

// The usual list: page header and footer with figures, column header, rows, summary.
ReportTemplate listTemplate()
{
    ReportTemplate t = smallPage();
    t.bands << band(BandKind::PageHeader, 10, {text("承前[SUM(frMain.F_price,CARRIED)]")})
            << band(BandKind::ColumnHeader, 5, {text("姓名", QRectF(0, 0, 40, 5))})
            << band(BandKind::MasterData, 10, {text("[frMain.F_name]")}, "frMain")
            << band(BandKind::PageFooter, 10, {text("本页[SUM(frMain.F_price,PAGE)]", QRectF(0, 0, 30, 10)),
                                               text("过次页[SUM(frMain.F_price,CARRIED)]", QRectF(30, 0, 30, 10)),
                                               text("[PAGE#]/[TOTALPAGES]", QRectF(60, 0, 20, 10))})
            << band(BandKind::ReportSummary, 10, {text("合计[SUM(frMain.F_price)] [COUNT(frMain)]笔")});
    return t;
}

// Rows "客户1".."客户n" priced 1..n.
MemoryRows customers(int n, const QStringList &types = {})
{
    QList<QVariantList> rows;
    for (int i = 1; i <= n; ++i)
        rows << QVariantList{QStringLiteral("客户%1").arg(i), i, types.value(i - 1), QStringLiteral("C%1").arg(i)};
    return MemoryRows({"F_name", "F_price", "F_type", "F_code"}, rows);
}

PreparedReport render(const ReportTemplate &t, const Sources &s)
{
    PreparedReport out;
    ReportRenderer r(t, s);
    r.setNow(QDateTime(QDate(2024, 3, 5), QTime(9, 30, 0)));
    if (!r.render(out)) qWarning("render failed: %s", qPrintable(r.error()));
    return out;
}

QStringList textsOf(const PreparedPage &page, BandKind kind)
{
    QStringList out;
    for (const PreparedItem &i : page.items)
        if (i.band == kind && i.kind == PreparedItem::Text) out << i.text;
    return out;
}

// Every page: nothing reaches into the page footer's room, and a page that
// prints rows or the summary has its column header above them.
void checkPages(const PreparedReport &r, bool columnHeader = true)
{
    for (int p = 0; p < r.pages.size(); ++p) {
        double header = -1, firstBody = 1e9;
        for (const PreparedItem &i : r.pages[p].items) {
            if (i.band == BandKind::PageFooter) {
                QVERIFY2(i.rect.top() >= kFooterTop - 1e-6, qPrintable(QStringLiteral("footer moved on page %1").arg(p + 1)));
                continue;
            }
            QVERIFY2(i.rect.bottom() <= kFooterTop + 1e-6,
                     qPrintable(QStringLiteral("page %1: \"%2\" reaches %3 mm").arg(p + 1).arg(i.text.left(20)).arg(i.rect.bottom())));
            if (i.band == BandKind::ColumnHeader) header = i.rect.top();
            else if (i.band != BandKind::PageHeader && i.band != BandKind::ReportTitle) firstBody = std::min(firstBody, i.rect.top());
        }
        if (columnHeader && firstBody < 1e9) QVERIFY2(header >= 0 && header < firstBody, qPrintable(QStringLiteral("no column header on page %1").arg(p + 1)));
    }
}

// Fails half way, as a dropped connection does.
class FailingRows : public RowSource {
public:
    QStringList fieldNames() const override { return {QStringLiteral("F_name")}; }
    int rowCount() const override { return 100; }
    bool start() override { m_at = 0; return true; }
    bool nextRow() override { return ++m_at <= 30; }
    QVariant value(int) const override { return m_at; }
    QString text(int) const override { return QString::number(m_at); }
    QString error() const override { return m_at > 30 ? QStringLiteral("连接中断") : QString(); }

private:
    int m_at = 0;
};

} // namespace

class TestRenderer : public QObject {
    Q_OBJECT
private slots:
    void totalsPerPageAndReport_data();
    void totalsPerPageAndReport();
    void groupHeaderKeepsItsFirstRow();
    void nestedGroupsAndPageBreaks();
    void bandTallerThanTheRestMoves();
    void bandTallerThanAPageIsSplit();
    void detailRowsUnderTheirMaster();
    void currentRowOnlyAndUnknownNames();
    void labelsAcrossThePage();
    void checkBoxesPicturesAndCharts();
    void oddTemplatesFinish_data();
    void oddTemplatesFinish();
    void progressCancelAndFirstPage();
    void failingSourceIsAnError();
    void dataSetSource_data() { TestDb::addBackendRows(); }
    void dataSetSource();
};

void TestRenderer::totalsPerPageAndReport_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("pageTotals");     // page footer: this page
    QTest::addColumn<QStringList>("carried");        // page footer: up to here
    QTest::addColumn<QStringList>("headerCarried");  // page header: before this page
    QTest::addColumn<QString>("summary");
    QTest::addColumn<int>("summaryPage");
    // 12 rows: 5 + 5 + 2, the summary fits under the last two.
    QTest::newRow("summary fits") << 12 << QStringList{"本页15", "本页40", "本页23"}
                                  << QStringList{"过次页15", "过次页55", "过次页78"}
                                  << QStringList{"承前0", "承前15", "承前55"} << "合计78 12笔" << 3;
    // 10 rows fill two pages: the summary starts a third page on its own.
    QTest::newRow("summary alone") << 10 << QStringList{"本页15", "本页40", "本页0"}
                                   << QStringList{"过次页15", "过次页55", "过次页55"}
                                   << QStringList{"承前0", "承前15", "承前55"} << "合计55 10笔" << 3;
    QTest::newRow("exactly a page") << 4 << QStringList{"本页10"} << QStringList{"过次页10"}
                                    << QStringList{"承前0"} << "合计10 4笔" << 1;
    QTest::newRow("no rows") << 0 << QStringList{"本页0"} << QStringList{"过次页0"}
                             << QStringList{"承前0"} << "合计0 0笔" << 1;
}

void TestRenderer::totalsPerPageAndReport()
{
    QFETCH(int, rows);
    QFETCH(QStringList, pageTotals);
    QFETCH(QStringList, carried);
    QFETCH(QStringList, headerCarried);
    QFETCH(QString, summary);
    QFETCH(int, summaryPage);
    MemoryRows src = customers(rows);
    Sources s;
    s.bind("frMain", &src);
    const PreparedReport r = render(listTemplate(), s);
    checkPages(r);
    QCOMPARE(r.pages.size(), pageTotals.size());
    const QString pages = QString::number(r.pages.size());
    int printed = 0;
    for (int p = 0; p < r.pages.size(); ++p) {
        const QStringList footer = textsOf(r.pages[p], BandKind::PageFooter);
        QCOMPARE(footer, (QStringList{pageTotals[p], carried[p], QStringLiteral("%1/%2").arg(p + 1).arg(pages)}));
        QCOMPARE(textsOf(r.pages[p], BandKind::PageHeader), QStringList{headerCarried[p]});
        QCOMPARE(r.pages[p].size, QSizeF(100, 100));
        for (const QString &name : textsOf(r.pages[p], BandKind::MasterData))
            QCOMPARE(name, QStringLiteral("客户%1").arg(++printed));
        QCOMPARE(textsOf(r.pages[p], BandKind::ReportSummary), p + 1 == summaryPage ? QStringList{summary} : QStringList());
    }
    QCOMPARE(printed, rows);
}

void TestRenderer::groupHeaderKeepsItsFirstRow()
{
    // A 10 mm group header, rows and group footer. Group B's header would
    // fit at 65-75 mm on page 1 with no room for its first row: it moves.
    ReportTemplate t = smallPage();
    Band gh = band(BandKind::GroupHeader, 10, {text("类别[frMain.F_type]")});
    gh.groupExpression = "frMain.F_type";
    Band gf = band(BandKind::GroupFooter, 10, {text("[frMain.F_type]完 [frMain.F_name]")});
    gf.groupExpression = "frMain.F_type";
    t.bands << band(BandKind::PageHeader, 10, {text("页眉")}) << band(BandKind::ColumnHeader, 5, {text("栏")})
            << gh << band(BandKind::MasterData, 10, {text("[frMain.F_name]")}, "frMain") << gf
            << band(BandKind::PageFooter, 10, {text("页脚[frMain.F_name]")})
            << band(BandKind::ReportSummary, 10, {text("总计[COUNT(frMain)]")});
    MemoryRows src = customers(6, {"A", "A", "B", "B", "B", "C"});
    Sources s;
    s.bind("frMain", &src);
    const PreparedReport r = render(t, s);
    checkPages(r);
    QCOMPARE(r.pages.size(), 3);
    const auto bandsOnPage = [&](int p) {
        QStringList out;
        for (const PreparedItem &i : r.pages[p].items)
            if (i.band != BandKind::PageHeader && i.band != BandKind::PageFooter && i.band != BandKind::ColumnHeader) out << i.text;
        return out;
    };
    QCOMPARE(bandsOnPage(0), (QStringList{"类别A", "客户1", "客户2", "A完 客户2"}));
    QCOMPARE(bandsOnPage(1), (QStringList{"类别B", "客户3", "客户4", "客户5", "B完 客户5"}));
    QCOMPARE(bandsOnPage(2), (QStringList{"类别C", "客户6", "C完 客户6", "总计6"}));
    // A page footer reads the last row of its page, not the row that moved on.
    QCOMPARE(textsOf(r.pages[0], BandKind::PageFooter), QStringList{"页脚客户2"});
    QCOMPARE(textsOf(r.pages[1], BandKind::PageFooter), QStringList{"页脚客户5"});
}

void TestRenderer::nestedGroupsAndPageBreaks()
{
    ReportTemplate t = smallPage();
    t.page.height = 297;
    Band outer = band(BandKind::GroupHeader, 6, {text("[frMain.F_type]")});
    outer.groupExpression = "[frMain.F_type]";
    Band inner = band(BandKind::GroupHeader, 6, {text(" [frMain.F_maker]")});
    inner.groupExpression = "frMain.F_maker";
    Band innerEnd = band(BandKind::GroupFooter, 6, {text(" [frMain.F_maker]完")});
    innerEnd.groupExpression = "frMain.F_maker";
    Band outerEnd = band(BandKind::GroupFooter, 6, {text("[frMain.F_type]完")});
    outerEnd.groupExpression = "[frMain.F_type]";
    t.bands << outer << inner << band(BandKind::MasterData, 6, {text("  [frMain.F_name]")}, "frMain") << innerEnd << outerEnd;
    // The last row has the maker of the row before, but a new type: both groups start again.
    MemoryRows src({"F_name", "F_type", "F_maker"},
                   {{"r1", "A", "x"}, {"r2", "A", "x"}, {"r3", "A", "y"}, {"r4", "B", "y"}});
    Sources s;
    s.bind("frMain", &src);
    PreparedReport r = render(t, s);
    QStringList all;
    for (const PreparedItem &i : r.pages[0].items) all << i.text;
    QCOMPARE(all, (QStringList{"A", " x", "  r1", "  r2", " x完", " y", "  r3", " y完", "A完",
                               "B", " y", "  r4", " y完", "B完"}));

    // A master band that ends its page: one row a page, no empty page after the last.
    ReportTemplate paged = listTemplate();
    paged.bands[2].newPageAfter = true;
    MemoryRows three = customers(3);
    s.bind("frMain", &three);
    r = render(paged, s);
    checkPages(r);
    QCOMPARE(r.pages.size(), 3);
    for (int p = 0; p < 3; ++p) QCOMPARE(textsOf(r.pages[p], BandKind::MasterData), QStringList{QStringLiteral("客户%1").arg(p + 1)});
    QCOMPARE(textsOf(r.pages[2], BandKind::ReportSummary), QStringList{"合计6 3笔"});
}

void TestRenderer::bandTallerThanTheRestMoves()
{
    ReportTemplate t = listTemplate();
    t.bands.removeLast();   // no summary
    ReportObject memo = text("[frMain.F_name]");
    memo.wordWrap = true;
    memo.stretch = true;
    t.bands[2].objects = {memo};
    // The third row grows to about 40 mm: at 45 mm it would reach into the footer.
    QList<QVariantList> rows;
    const QString longText = QString(QStringLiteral("长文本")).repeated(40);
    for (int i = 1; i <= 4; ++i) rows << QVariantList{i == 3 ? longText : QStringLiteral("客户%1").arg(i), i};
    MemoryRows src({"F_name", "F_price"}, rows);
    Sources s;
    s.bind("frMain", &src);
    const double need = ReportRenderer::textHeight(memo.font, longText, 60, true);
    QVERIFY2(need > 35 && need <= 45, qPrintable(QString::number(need)));
    const PreparedReport r = render(t, s);
    checkPages(r);
    QCOMPARE(r.pages.size(), 2);
    QCOMPARE(textsOf(r.pages[0], BandKind::MasterData), (QStringList{"客户1", "客户2"}));
    QCOMPARE(textsOf(r.pages[1], BandKind::MasterData), (QStringList{longText, "客户4"}));
    const PreparedItem &grown = r.pages[1].items[2];   // page header, column header, then the row
    QCOMPARE(grown.text, longText);
    QCOMPARE(grown.rect.top(), 25.0);
    QCOMPARE(grown.rect.height(), need);
    // The page footers' totals follow the rows that moved.
    QCOMPARE(textsOf(r.pages[0], BandKind::PageFooter).value(0), QStringLiteral("本页3"));
    QCOMPARE(textsOf(r.pages[1], BandKind::PageFooter).value(0), QStringLiteral("本页7"));
}

void TestRenderer::bandTallerThanAPageIsSplit()
{
    // A memo of 10,000 characters: far taller than a page. It is split by
    // lines over the pages, nothing lost, nothing in the footer's room.
    ReportTemplate t = listTemplate();
    ReportObject memo = text("[frMain.F_name]", QRectF(0, 0, 60, 8));
    memo.wordWrap = true;
    memo.stretch = true;
    t.bands[2].objects = {memo};
    QString longText;
    for (int i = 0; longText.size() < 10000; ++i) longText += QStringLiteral("第%1条维修记录：更换压缩机。").arg(i);
    MemoryRows src({"F_name", "F_price"}, {{QStringLiteral("客户1"), 1}, {longText, 2}, {QStringLiteral("客户3"), 3}});
    Sources s;
    s.bind("frMain", &src);
    const PreparedReport r = render(t, s);
    checkPages(r);
    QVERIFY(r.pages.size() > 10);
    QString joined;
    int firstPiece = -1, lastPiece = -1;
    for (int p = 0; p < r.pages.size(); ++p)
        for (const PreparedItem &i : r.pages[p].items) {
            if (i.band != BandKind::MasterData) continue;
            if (i.kind != PreparedItem::Text || i.text.startsWith(QStringLiteral("客户"))) continue;
            joined += i.text;
            // Every piece holds no more lines than its box shows.
            QVERIFY(ReportRenderer::textHeight(memo.font, i.text, 60, true) <= i.rect.height() + 1e-6);
            if (firstPiece < 0) firstPiece = p;
            lastPiece = p;
        }
    QCOMPARE(joined, longText);
    QCOMPARE(textsOf(r.pages[0], BandKind::MasterData), QStringList{"客户1"});
    QCOMPARE(firstPiece, 1);   // too tall for the rest of page 1: it starts on a fresh page
    QVERIFY(lastPiece >= r.pages.size() - 2);
    QCOMPARE(textsOf(r.pages.last(), BandKind::MasterData).last(), QStringLiteral("客户3"));
    QCOMPARE(textsOf(r.pages.last(), BandKind::ReportSummary), QStringList{"合计6 3笔"});

    // A frame taller than a page goes on, page by page.
    ReportObject box;
    box.kind = ObjectKind::Rect;
    box.rect = QRectF(0, 0, 10, 200);
    t.bands[2].objects = {box};
    MemoryRows one({"F_name", "F_price"}, {{QStringLiteral("客户1"), 1}});
    s.bind("frMain", &one);
    const PreparedReport framed = render(t, s);
    checkPages(framed);
    QList<double> pieces;
    for (const PreparedPage &p : framed.pages)
        for (const PreparedItem &i : p.items)
            if (i.kind == PreparedItem::Rect) pieces << i.rect.height();
    QCOMPARE(pieces, (QList<double>{55, 55, 55, 35}));
}

void TestRenderer::detailRowsUnderTheirMaster()
{
    ReportTemplate t = smallPage();
    t.page.height = 297;
    Band detail = band(BandKind::DetailData, 6, {text("  [frDetail1.F_fault] [frDetail1.F_fee]")}, "frDetail1");
    detail.detailField = "F_cltcode";
    detail.masterField = "F_code";
    t.bands << band(BandKind::MasterData, 8, {text("[frMain.F_code] [frMain.F_name]")}, "frMain") << detail
            << band(BandKind::ReportSummary, 8, {text("[COUNT(frDetail1)]次 [SUM(frDetail1.F_fee)]元")});
    MemoryRows master = customers(3);
    // Keys match without regard to case, as the database compares them; rows of
    // a customer that is not printed are left out.
    MemoryRows repairs({"F_cltcode", "F_fault", "F_fee"},
                       {{"C2", "不制冷", 80.5}, {"C1", "漏水", 30}, {"c2", "噪音", 20}, {"C9", "无关", 999}});
    Sources s;
    s.bind("frMain", &master);
    s.bind("frDetail1", &repairs);
    const PreparedReport r = render(t, s);
    QCOMPARE(r.pages.size(), 1);
    QStringList all;
    for (const PreparedItem &i : r.pages[0].items) all << i.text;
    QCOMPARE(all, (QStringList{"C1 客户1", "  漏水 30", "C2 客户2", "  不制冷 80.5", "  噪音 20", "C3 客户3", "3次 130.5元"}));

    // No key fields: every detail row under every master row.
    t.bands[1].detailField.clear();
    t.bands[1].masterField.clear();
    MemoryRows two = customers(2);
    s.bind("frMain", &two);
    QCOMPARE(textsOf(render(t, s).pages[0], BandKind::DetailData).size(), 8);
}

void TestRenderer::currentRowOnlyAndUnknownNames()
{
    ReportTemplate t = smallPage();
    Band one = band(BandKind::MasterData, 10, {text("[frMain.F_name]|[frMain.F_nosuch]|[nosuch.F_name]|[SUM(nosuch.F_x)]|[SUM(frMain.F_nosuch)]")}, "frMain");
    one.currentRowOnly = true;
    t.bands << band(BandKind::ReportTitle, 10, {text("[frMain.F_name]的报表 [DATE] [TIME]")})
            << band(BandKind::MasterData, 10, {text("[frMain.F_code]")}, "frMain") << one
            << band(BandKind::MasterData, 10, {text("不存在的来源")}, "frDBDataSet2");
    MemoryRows src = customers(5);
    Sources s;
    s.bind("frMain", &src, 3);
    const PreparedReport r = render(t, s);
    // The title shows the first row of the first row band; the one-row band
    // its row, though the band before it read every row.
    QCOMPARE(textsOf(r.pages[0], BandKind::ReportTitle), QStringList{"客户1的报表 2024-03-05 09:30:00"});
    QCOMPARE(textsOf(r.pages[0], BandKind::MasterData), (QStringList{"C1", "C2", "C3", "C4", "C5", "客户4||||"}));
}

void TestRenderer::labelsAcrossThePage()
{
    ReportTemplate t = smallPage();
    t.page.columns = 3;
    t.page.columnGap = 5;   // (80 - 10) / 3 wide
    t.bands << band(BandKind::PageHeader, 10, {text("标签")})
            << band(BandKind::MasterData, 20, {text("[frMain.F_name]", QRectF(0, 0, 20, 20))}, "frMain")
            << band(BandKind::PageFooter, 10, {text("[PAGE#]")});
    MemoryRows src = customers(11);
    Sources s;
    s.bind("frMain", &src);
    const PreparedReport r = render(t, s);
    checkPages(r, false);
    // Three rows of three fit between 20 and 80 mm.
    QCOMPARE(r.pages.size(), 2);
    QList<QPointF> at;
    for (const PreparedItem &i : r.pages[0].items)
        if (i.band == BandKind::MasterData) at << i.rect.topLeft();
    const double step = 70.0 / 3 + 5;
    QCOMPARE(at.size(), 9);
    QCOMPARE(at[0], QPointF(10, 20));
    QCOMPARE(at[1], QPointF(10 + step, 20));
    QCOMPARE(at[2], QPointF(10 + 2 * step, 20));
    QCOMPARE(at[3], QPointF(10, 40));
    QCOMPARE(at[8], QPointF(10 + 2 * step, 60));
    QCOMPARE(textsOf(r.pages[1], BandKind::MasterData), (QStringList{"客户10", "客户11"}));
}

void TestRenderer::checkBoxesPicturesAndCharts()
{
    ReportTemplate t = smallPage();
    t.page.height = 297;
    ReportObject tick;
    tick.kind = ObjectKind::CheckBox;
    tick.text = "[frMain.F_paid]";
    ReportObject literal = tick;
    literal.text = "1";
    QImage red(4, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    red.save(&buf, "PNG");
    ReportObject picture;
    picture.kind = ObjectKind::Picture;
    picture.picture = png;
    picture.rect = QRectF(10, 0, 4, 2);
    ReportObject pie;
    pie.kind = ObjectKind::Chart;
    pie.chartType = "pie";
    pie.chartSource = "frDBDataSet1";
    pie.labelField = "F_type";
    pie.valueField = "F_count";
    pie.rect = QRectF(0, 0, 80, 40);
    ReportObject bar = pie;
    bar.chartType = "bar";
    t.bands << band(BandKind::ReportTitle, 90, {pie, [&] { ReportObject b = bar; b.rect.moveTop(45); return b; }()})
            << band(BandKind::MasterData, 6, {tick, picture}, "frMain")
            << band(BandKind::ReportSummary, 6, {literal});
    // Flags as the engines hand them over: bit as number, boolean, text, null.
    MemoryRows src({"F_paid"}, {{1}, {0}, {true}, {QStringLiteral("True")}, {QVariant()}, {QStringLiteral("x")}});
    MemoryRows counts({"F_type", "F_count"}, {{"空调", 30}, {"冰箱", 10}});
    Sources s;
    s.bind("frMain", &src);
    s.bind("frDBDataSet1", &counts);
    const PreparedReport r = render(t, s);
    QList<bool> ticks;
    int pictures = 0;
    QList<QImage> charts;
    for (const PreparedItem &i : r.pages[0].items) {
        if (i.kind == PreparedItem::CheckBox) ticks << i.checked;
        if (i.kind == PreparedItem::Picture && i.band == BandKind::MasterData) {
            QCOMPARE(i.picture.size(), QSize(4, 2));
            QCOMPARE(i.picture.pixelColor(0, 0), QColor(Qt::red));
            ++pictures;
        }
        if (i.kind == PreparedItem::Picture && i.band == BandKind::ReportTitle) charts << i.picture;
    }
    QCOMPARE(ticks, (QList<bool>{true, false, true, true, false, false, true}));
    QCOMPARE(pictures, 6);
    QCOMPARE(charts.size(), 2);
    for (const QImage &c : charts) {
        QVERIFY(c.width() > 300);
        // Both slices or bars are drawn: the first two colours are on the image.
        QSet<QRgb> colours;
        for (int y = 0; y < c.height(); y += 2)
            for (int x = 0; x < c.width(); x += 2) colours.insert(c.pixel(x, y) & 0xffffff);
        QVERIFY(colours.contains(0x4e79a7));
        QVERIFY(colours.contains(0xf28e2b));
    }
}

void TestRenderer::oddTemplatesFinish_data()
{
    QTest::addColumn<int>("oddity");
    QTest::newRow("page without height") << 0;
    QTest::newRow("margins larger than the page") << 1;
    QTest::newRow("negative band height") << 2;
    QTest::newRow("page header taller than the page") << 3;
    QTest::newRow("columns with a gap wider than the page") << 4;
}

void TestRenderer::oddTemplatesFinish()
{
    // Whatever a hand-edited template says, every row is laid out once and the report ends.
    QFETCH(int, oddity);
    ReportTemplate t = listTemplate();
    switch (oddity) {
    case 0: t.page.height = 0; break;
    case 1: t.page.margins = QMarginsF(60, 60, 60, 60); break;
    case 2: t.bands[2].height = -20; break;
    case 3: t.bands[0].height = 500; break;
    case 4: t.page.columns = 4; t.page.columnGap = 300; break;
    }
    MemoryRows src = customers(30);
    Sources s;
    s.bind("frMain", &src);
    const PreparedReport r = render(t, s);
    QVERIFY(!r.pages.isEmpty());
    QVERIFY(r.pages.size() <= 32);
    QStringList names;
    for (const PreparedPage &p : r.pages) names += textsOf(p, BandKind::MasterData);
    QCOMPARE(names.size(), 30);
    QCOMPARE(names.last(), QStringLiteral("客户30"));
}

void TestRenderer::progressCancelAndFirstPage()
{
    MemoryRows src = customers(1000);
    Sources s;
    s.bind("frMain", &src);
    const ReportTemplate t = listTemplate();
    {
        // The first page is handed over complete while later pages are still to come.
        PreparedReport out;
        ReportRenderer r(t, s);
        int pagesWhenFirstDone = -1;
        QString firstFooter;
        r.setPageDone([&](int index, const PreparedReport &rep) {
            if (index != 0) return;
            pagesWhenFirstDone = int(rep.pages.size());
            firstFooter = textsOf(rep.pages[0], BandKind::PageFooter).join('|');
        });
        QList<QList<int>> calls;
        r.setProgress([&](int pages, int done, int total) {
            calls << QList<int>{pages, done, total};
            return true;
        });
        QVERIFY(r.render(out));
        QCOMPARE(pagesWhenFirstDone, 1);
        QCOMPARE(firstFooter, QStringLiteral("本页15|过次页15|1/"));   // the page count comes at the end
        QCOMPARE(textsOf(out.pages[0], BandKind::PageFooter).last(), QStringLiteral("1/201"));
        QVERIFY(calls.size() > 2);
        QCOMPARE(calls.first(), (QList<int>{0, 0, 1000}));
        QCOMPARE(calls.last(), (QList<int>{201, 1000, 1000}));
    }
    {
        PreparedReport out;
        ReportRenderer r(t, s);
        r.setProgress([&](int, int done, int) { return done < 500; });
        QVERIFY(!r.render(out));
        QVERIFY(r.cancelled());
        QVERIFY(r.error().isEmpty());
        QVERIFY(!out.pages.isEmpty() && out.pages.size() < 150);
        QVERIFY(textsOf(out.pages.last(), BandKind::ReportSummary).isEmpty());
    }
}

void TestRenderer::failingSourceIsAnError()
{
    FailingRows rows;
    Sources s;
    s.bind("frMain", &rows);
    PreparedReport out;
    ReportRenderer r(listTemplate(), s);
    QVERIFY(!r.render(out));
    QCOMPARE(r.error(), QStringLiteral("连接中断"));
    QVERIFY(!r.cancelled());
    // The summary of a report cut short never prints a total as if it were complete.
    for (const PreparedPage &p : out.pages) QVERIFY(textsOf(p, BandKind::ReportSummary).isEmpty());
}

void TestRenderer::dataSetSource()
{
    FETCH_BACKEND(backend);
    QTemporaryDir dir;
    auto dm = TestDb::freshModule(backend, dir.path());
    QVERIFY(dm->ADOcnn.beginTransaction());
    for (int i = 1; i <= 12; ++i)
        QVERIFY(dm->RunSQL(QStringLiteral("insert into t_client(F_code,F_name,F_totalprice,F_IFshoukuan) values('%1','%2',%3,%4)")
                               .arg(QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')), sqlValue(QStringLiteral("王'%1").arg(i)))
                               .arg(1000 + i + 0.25)
                               .arg(i % 2)));
    QVERIFY(dm->ADOcnn.commit());
    DataSet list(&dm->ADOcnn);
    list.setSql(QStringLiteral("select F_code, F_name, F_totalprice as F_price, F_IFshoukuan from t_client order by F_code"));
    QVERIFY2(list.open(), qPrintable(list.lastError()));
    DataSetSource src(&list, {{"F_code", "编号", {}, false}, {"F_name", "姓名", {}, false},
                              {"F_price", "总价", "￥,0.00", false}, {"F_IFshoukuan", "收款", {}, false}});

    ReportTemplate t = listTemplate();
    ReportObject paid;
    paid.kind = ObjectKind::CheckBox;
    paid.text = "[frMain.F_IFshoukuan]";
    paid.rect = QRectF(70, 0, 5, 5);
    t.bands[2].objects = {text("[frMain.F_name] [frMain.F_price] [frMain.F_IFshoukuan]"), paid};
    Sources s;
    s.bind("frMain", &src);
    const PreparedReport r = render(t, s);
    checkPages(r);
    QCOMPARE(r.pages.size(), 3);
    // Cells read as the grid shows them; totals take the column's pattern.
    QCOMPARE(textsOf(r.pages[0], BandKind::MasterData).value(0), QStringLiteral("王'1 ￥1,001.25 √"));
    QCOMPARE(textsOf(r.pages[0], BandKind::MasterData).value(1), QStringLiteral("王'2 ￥1,002.25 "));
    QCOMPARE(textsOf(r.pages[0], BandKind::PageFooter).value(0), QStringLiteral("本页￥5,016.25"));
    QCOMPARE(textsOf(r.pages[1], BandKind::PageHeader), QStringList{"承前￥5,016.25"});
    QCOMPARE(textsOf(r.pages[2], BandKind::PageFooter).value(1), QStringLiteral("过次页￥12,081.00"));
    QCOMPARE(textsOf(r.pages[2], BandKind::ReportSummary), QStringList{"合计￥12,081.00 12笔"});
    QList<bool> ticks;
    for (const PreparedItem &i : r.pages[0].items)
        if (i.kind == PreparedItem::CheckBox) ticks << i.checked;
    QCOMPARE(ticks, (QList<bool>{true, false, true, false, true}));
}

QTEST_MAIN(TestRenderer)
#include "tst_renderer.moc"
