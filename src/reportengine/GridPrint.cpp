#include "GridPrint.h"

#include "PagePainter.h"
#include "ReportExport.h"
#include "ReportRenderer.h"
#include "TfrmPreview.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "components/DataGrid.h"

#include <QFontMetricsF>
#include <QImage>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <memory>

using Report::BandKind;
using Report::PreparedItem;
using Report::PreparedPage;
using Report::PreparedReport;

namespace {

constexpr double kTitlePt = 16;
constexpr double kTextPt = 13;
constexpr double kMinTablePt = 7;   // below this a printed table is no longer readable
// The page has margins 0, yet the frame should not touch the paper's edge:
// most office printers lose the outer 4-5 mm, and a PDF is often printed later.
constexpr double kInsetMm = 5;
constexpr double kGapMm = 2;
// Room between a cell's frame and its text on either side.
constexpr double kCellPadMm = 0.8;
const Report::Frame kCellFrame = Report::Frame::all();
const QSizeF kA4(210, 297);
const QColor kNavy(0, 0, 128);

Report::Font printFont(double points, bool bold)
{
    Report::Font f;
    f.family = QString::fromLatin1(Report::DefaultFont);
    f.size = points;
    f.bold = bold;
    return f;
}

// Texts are measured on the device the painter lays its lines out on, so a
// text cut here fits the box it is drawn in on screen, paper and PDF.
QFontMetricsF layoutMetrics(const Report::Font &font)
{
    static const QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        const int dpm = int(std::lround(Report::TextLayoutDpi / 0.0254));
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    QFont f(font.family);
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    return QFontMetricsF(f, &device);
}

constexpr double kUnitsPerMm = Report::TextLayoutDpi / 25.4;

// Height of one line of text, without the box's inset, as the painter lays it out.
double lineHeight(const Report::Font &font)
{
    return Report::ReportRenderer::textHeight(font, QStringLiteral("国Ag"), 1e4, false) - 2 * Report::TextInset;
}

double textWidth(const Report::Font &font, const QString &text)
{
    return layoutMetrics(font).horizontalAdvance(text) / kUnitsPerMm;
}

// A box that holds one line of that height inside the painter's inset.
double boxHeight(double line) { return line + 2 * Report::TextInset; }

// One line: newlines and tabs of memo fields would otherwise break the row.
QString oneLine(const QString &text)
{
    QString s = text;
    for (QChar &c : s)
        if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
    return s;
}

// Cut with an ellipsis where it would run past `widthMm`, so a cut cell
// reads as cut instead of as a shorter value.
QString fitted(const QFontMetricsF &metrics, const QString &text, double widthMm)
{
    if (widthMm <= 0) return QString();
    return metrics.elidedText(oneLine(text), Qt::ElideRight, widthMm * kUnitsPerMm);
}

// Where everything goes on a page, in mm from the paper's corner.
struct Layout {
    QRectF area;
    QRectF titleRect;
    QRectF headerRect;
    double tableTop = 0;
    QRectF footerRect;
    double tablePointSize = kTextPt;
    double headingHeight = 0;
    double rowHeight = 0;
    int rowsPerPage = 1;
    QVector<double> columnX;
    QVector<double> columnWidth;
};

Layout layoutOf(const GridPrintDocument &doc)
{
    Layout l;
    l.area = QRectF(QPointF(0, 0), kA4).adjusted(kInsetMm, kInsetMm, -kInsetMm, -kInsetMm);
    double y = l.area.top();
    if (!doc.title.isEmpty()) {
        l.titleRect = QRectF(l.area.left(), y, l.area.width(), boxHeight(lineHeight(printFont(kTitlePt, true))));
        y = l.titleRect.bottom() + kGapMm;
    }
    if (!doc.pageHeader.isEmpty()) {
        const double h =
            Report::ReportRenderer::textHeight(printFont(kTextPt, false), doc.pageHeader, l.area.width(), true);
        l.headerRect = QRectF(l.area.left(), y, l.area.width(), h);
        y = l.headerRect.bottom() + kGapMm;
    }
    l.tableTop = y;
    const double footerHeight = boxHeight(lineHeight(printFont(kTextPt, false)));
    l.footerRect = QRectF(l.area.left(), l.area.bottom() - footerHeight, l.area.width(), footerHeight);

    // Grid pixels to paper as the screen shows them (96 per inch), grown by
    // the larger print font so a column holds on paper what it holds on
    // screen. Columns wider than the page are narrowed, and the table's text
    // with them, so the cells still hold what they show on screen.
    const double screenPt = doc.screenPointSize > 0 ? doc.screenPointSize : kTextPt;
    double unit = 25.4 / 96.0 * std::max(1.0, kTextPt / screenPt);
    double total = 0;
    for (const GridPrintColumn &c : doc.columns) total += std::max(1, c.width);
    if (total > 0 && total * unit > l.area.width()) {
        const double shrink = l.area.width() / (total * unit);
        unit *= shrink;
        l.tablePointSize = std::max(kMinTablePt, kTextPt * shrink);
    }
    double x = l.area.left();
    for (const GridPrintColumn &c : doc.columns) {
        const double w = std::max(1, c.width) * unit;
        l.columnX << x;
        l.columnWidth << w;
        x += w;
    }

    // The spacing of today's list, but never less than the text needs.
    const double headingLine = lineHeight(printFont(l.tablePointSize, true));
    const double rowLine = lineHeight(printFont(l.tablePointSize, false));
    const double frames = 2 * kCellFrame.width;
    l.headingHeight = std::max(headingLine * 1.3, boxHeight(headingLine) + frames);
    l.rowHeight = std::max(rowLine * 1.25, boxHeight(rowLine) + frames);
    const double room = l.footerRect.top() - kGapMm - l.tableTop - l.headingHeight;
    l.rowsPerPage = std::max(1, int(std::floor(room / l.rowHeight + 1e-9)));
    return l;
}

PreparedItem textItem(const QRectF &rect, const QString &text, const Report::Font &font, int alignment,
                      BandKind band, int bandRow)
{
    PreparedItem item;
    item.kind = PreparedItem::Text;
    item.rect = rect;
    item.text = text;
    item.font = font;
    item.alignment = alignment;
    item.band = band;
    item.bandRow = bandRow;
    return item;
}

// Bands on a page, top to bottom, for the text exports.
enum Row { TitleRow, HeaderRow, HeadingRow, FirstBodyRow };

// A framed cell: the frame and paper as a box, the text inside it clear of
// the frame. The painter keeps no room beside a text, and a text's frame
// takes the text's colour, which would lose the headings' frames in white.
void addCell(PreparedPage &page, const QRectF &cell, const QString &text, const Report::Font &font,
             const QFontMetricsF &metrics, Qt::Alignment alignment, const QColor &ink, const QColor &paper,
             BandKind band, int row)
{
    PreparedItem box;
    box.kind = PreparedItem::Rect;
    box.rect = cell;
    box.frame = kCellFrame;
    box.fill = paper;
    box.band = band;
    box.bandRow = row;
    page.items << box;
    const double pad = std::min(kCellPadMm, cell.width() / 4);
    const QRectF inner = cell.adjusted(pad, kCellFrame.width, -pad, -kCellFrame.width);
    PreparedItem item = textItem(inner, fitted(metrics, text, inner.width()), font,
                                 int((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter), band, row);
    item.color = ink;
    // The exports that show no boxes still colour the cell.
    if (paper != Qt::white) item.fill = paper;
    page.items << item;
}

void addHeadings(PreparedPage &page, const GridPrintDocument &doc, const Layout &l)
{
    const Report::Font font = printFont(kTextPt, false);
    if (!doc.title.isEmpty()) {
        const Report::Font title = printFont(kTitlePt, true);
        page.items << textItem(l.titleRect, fitted(layoutMetrics(title), doc.title, l.titleRect.width()), title,
                               int(Qt::AlignHCenter | Qt::AlignTop), BandKind::PageHeader, TitleRow);
    }
    if (!doc.pageHeader.isEmpty()) {
        PreparedItem header = textItem(l.headerRect, doc.pageHeader, font, int(Qt::AlignLeft | Qt::AlignTop),
                                       BandKind::PageHeader, HeaderRow);
        header.wordWrap = true;
        page.items << header;
    }
    const Report::Font bold = printFont(l.tablePointSize, true);
    const QFontMetricsF boldMetrics = layoutMetrics(bold);
    for (int c = 0; c < doc.columns.size(); ++c) {
        const GridPrintColumn &column = doc.columns.at(c);
        const QRectF cell(l.columnX.at(c), l.tableTop, l.columnWidth.at(c), l.headingHeight);
        addCell(page, cell, column.caption, bold, boldMetrics, column.titleAlignment, Qt::white, kNavy,
                BandKind::ColumnHeader, HeadingRow);
    }
}

void addFooters(PreparedReport &report, const GridPrintDocument &doc, const Layout &l)
{
    const Report::Font font = printFont(kTextPt, false);
    const int pages = int(report.pages.size());
    for (int p = 0; p < pages; ++p) {
        PreparedPage &page = report.pages[p];
        const int row = page.items.isEmpty() ? FirstBodyRow : page.items.last().bandRow + 1;
        const QString number = QStringLiteral("第 %1 页 / 共 %2 页").arg(p + 1).arg(pages);
        const double numberWidth = std::min(l.footerRect.width(), textWidth(font, number) + kGapMm);
        if (!doc.pageFooter.isEmpty()) {
            const QRectF left = l.footerRect.adjusted(0, 0, -numberWidth, 0);
            page.items << textItem(left, fitted(layoutMetrics(font), doc.pageFooter, left.width()), font,
                                   int(Qt::AlignLeft | Qt::AlignBottom), BandKind::PageFooter, row);
        }
        const QRectF right = l.footerRect.adjusted(l.footerRect.width() - numberWidth, 0, 0, 0);
        page.items << textItem(right, number, font, int(Qt::AlignRight | Qt::AlignBottom), BandKind::PageFooter, row);
    }
}

QString readFailed(const RowSource &rows)
{
    return QStringLiteral("读取数据失败：%1").arg(rows.error());
}

GridPrintDocument gridDocument(const DataGrid &grid, const QString &title, const QString &pageHeader,
                               const QString &pageFooter)
{
    GridPrintDocument doc;
    doc.title = title;
    doc.pageHeader = pageHeader;
    doc.pageFooter = pageFooter;
    doc.columns = gridPrintColumns(grid);
    doc.screenPointSize = grid.font().pointSizeF();
    return doc;
}

} // namespace

std::optional<PreparedReport> gridReport(const GridPrintDocument &doc, QString *error)
{
    const Layout l = layoutOf(doc);
    RowSource *rows = doc.columns.isEmpty() ? nullptr : doc.rows;
    if (rows && !rows->start()) {
        if (error) *error = readFailed(*rows);
        return std::nullopt;
    }
    int printed = 0;
    // One row ahead, so a list that ends with a full page gets no empty page after it.
    auto fetch = [&] {
        if (!rows || (doc.maxRows >= 0 && printed >= doc.maxRows)) return false;
        return rows->nextRow();
    };
    const auto failed = [&] {
        if (!rows || rows->error().isEmpty()) return false;
        if (error) *error = readFailed(*rows);
        return true;
    };

    const Report::Font font = printFont(l.tablePointSize, false);
    const QFontMetricsF metrics = layoutMetrics(font);
    PreparedReport report;
    bool have = fetch();
    if (failed()) return std::nullopt;
    do {
        PreparedPage page;
        page.size = kA4;
        addHeadings(page, doc, l);
        double y = l.tableTop + l.headingHeight;
        for (int r = 0; r < l.rowsPerPage && have; ++r) {
            for (int c = 0; c < doc.columns.size(); ++c) {
                const QRectF cell(l.columnX.at(c), y, l.columnWidth.at(c), l.rowHeight);
                addCell(page, cell, rows->text(c), font, metrics, doc.columns.at(c).alignment, Qt::black, Qt::white,
                        BandKind::MasterData, FirstBodyRow + r);
            }
            y += l.rowHeight;
            ++printed;
            have = fetch();
            if (failed()) return std::nullopt;
        }
        report.pages << page;
    } while (have);
    addFooters(report, doc, l);
    return report;
}

QList<GridPrintColumn> gridPrintColumns(const DataGrid &grid)
{
    QList<GridPrintColumn> out;
    for (int i = 0; i < grid.columnCount(); ++i) {
        const GridColumn &c = grid.column(i);
        if (!c.visible) continue;
        out << GridPrintColumn{c.caption, c.width + 2, c.titleAlignment, c.alignment};
    }
    return out;
}

bool printGridToPdf(const GridPrintDocument &doc, const QString &file, QString *error)
{
    const std::optional<PreparedReport> report = gridReport(doc, error);
    return report && Report::writePdf(*report, file, error);
}

bool printGridToPdf(DataGrid &grid, const QString &title, const QString &pageHeader, const QString &pageFooter,
                    const QString &file, QString *error, int maxRows)
{
    GridPrintDocument doc = gridDocument(grid, title, pageHeader, pageFooter);
    const std::unique_ptr<RowSource> rows = grid.rowSource(DataGrid::Columns::Visible);
    doc.rows = rows.get();
    doc.maxRows = maxRows;
    return printGridToPdf(doc, file, error);
}

void PrintGrid(DataGrid &grid, const QString &title, const QString &pageHeader, const QString &pageFooter)
{
    GridPrintDocument doc = gridDocument(grid, title, pageHeader, pageFooter);
    const std::unique_ptr<RowSource> rows = grid.rowSource(DataGrid::Columns::Visible);
    doc.rows = rows.get();
    QString error;
    std::optional<PreparedReport> report = gridReport(doc, &error);
    // A list cut short by a failed read is not shown as if it were complete.
    if (!report) {
        ShowMess(error, 3);
        return;
    }
    Report::TfrmPreview view(grid.window());
    view.setReport(std::move(*report));
    Dialogs::current().execDialog(view);
}
