#include "GridPrint.h"

#include "DataGrid.h"

#include "app/Companion.h"
#include "app/Dialogs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace {

const QString kFontFamily = QStringLiteral("Noto Sans CJK SC");
constexpr qreal kTitlePt = 16;
constexpr qreal kTextPt = 13;
constexpr qreal kMinTablePt = 7;   // below this a printed table is no longer readable
// Even with margins 0 the frame should not touch the paper edge: most office
// printers lose the outer 4-5 mm, and a PDF is often printed later.
constexpr qreal kInsetMm = 5;
constexpr qreal kCellPadMm = 0.8;
constexpr qreal kGapMm = 2;
const QColor kNavy(0, 0, 128);

QFont printFont(qreal points, bool bold)
{
    QFont f(kFontFamily);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

qreal mm(qreal millimetres, const QPaintDevice &device)
{
    return millimetres / 25.4 * device.logicalDpiX();
}

// One line: newlines and tabs of memo fields would otherwise break the row.
QString oneLine(const QString &text)
{
    QString s = text;
    for (QChar &c : s)
        if (c == u'\n' || c == u'\r' || c == u'\t') c = u' ';
    return s;
}

void drawCell(QPainter &p, const QRectF &cell, const QString &text, Qt::Alignment align,
              const QColor &ink, const QColor &paper, qreal pad)
{
    p.fillRect(cell, paper);
    p.drawRect(cell);
    if (text.isEmpty()) return;
    const QRectF inner = cell.adjusted(pad, 0, -pad, 0);
    if (inner.width() <= 0) return;
    const QString shown = p.fontMetrics().elidedText(oneLine(text), Qt::ElideRight, int(inner.width()));
    const QPen frame = p.pen();
    p.setPen(ink);
    p.drawText(inner, int((align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter), shown);
    p.setPen(frame);
}

GridPrintDocument gridDocument(DataGrid &grid, const QString &title, const QString &pageHeader,
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

QString pdfFileNameFromAnswer(QString file)
{
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".pdf");
    return file;
}

} // namespace

void setGridPrintPage(QPagedPaintDevice &device)
{
    const QPageLayout wanted(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                             QPageLayout::Millimeter);
    if (device.setPageLayout(wanted)) return;
    // A printer with a hardware margin refuses 0; it gets its minimum instead.
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    const QPageLayout now = device.pageLayout();
    device.setPageMargins(now.minimumMargins(), now.units());
}

GridPrintLayout gridPrintLayout(const GridPrintDocument &doc, QPagedPaintDevice &device)
{
    GridPrintLayout l;
    // The painter's origin is at the margin corner; widen the margin to the
    // inset where the page's own margin is smaller.
    const QMarginsF have = device.pageLayout().margins(QPageLayout::Millimeter);
    auto extra = [&](qreal side) { return mm(std::max<qreal>(0, kInsetMm - side), device); };
    l.area = QRectF(0, 0, device.width(), device.height())
                 .adjusted(extra(have.left()), extra(have.top()), -extra(have.right()), -extra(have.bottom()));

    const QFontMetricsF titleFm(printFont(kTitlePt, true), &device);
    const QFontMetricsF textFm(printFont(kTextPt, false), &device);
    const qreal gap = mm(kGapMm, device);

    qreal y = l.area.top();
    l.titleRect = QRectF(l.area.left(), y, l.area.width(), doc.title.isEmpty() ? 0 : titleFm.height() + gap);
    y = l.titleRect.bottom();
    qreal headerHeight = 0;
    if (!doc.pageHeader.isEmpty()) {
        headerHeight = textFm.boundingRect(QRectF(0, 0, l.area.width(), 1e9),
                                           Qt::AlignLeft | Qt::TextWordWrap, doc.pageHeader).height() + gap;
    }
    l.headerRect = QRectF(l.area.left(), y, l.area.width(), headerHeight);
    y = l.headerRect.bottom();

    const qreal footerHeight = textFm.height() + gap;
    l.footerRect = QRectF(l.area.left(), l.area.bottom() - footerHeight, l.area.width(), footerHeight);

    // Grid pixels to paper as the screen shows them (96 per inch), grown by
    // the larger print font so a column holds on paper what it holds on
    // screen. Columns wider than the page are narrowed, and the table's text
    // with them, so the cells still hold what they show on screen.
    const qreal screenPt = doc.screenPointSize > 0 ? doc.screenPointSize : kTextPt;
    qreal unit = device.logicalDpiX() / 96.0 * std::max<qreal>(1, kTextPt / screenPt);
    qreal total = 0;
    for (const GridPrintColumn &c : doc.columns) total += std::max(1, c.width);
    l.tablePointSize = kTextPt;
    if (total * unit > l.area.width() && total > 0) {
        const qreal shrink = l.area.width() / (total * unit);
        unit *= shrink;
        l.tablePointSize = std::max(kMinTablePt, kTextPt * shrink);
    }
    qreal x = l.area.left();
    for (const GridPrintColumn &c : doc.columns) {
        const qreal w = std::max(1, c.width) * unit;
        l.columnX << x;
        l.columnWidth << w;
        x += w;
    }

    l.headingHeight = QFontMetricsF(printFont(l.tablePointSize, true), &device).height() * 1.3;
    l.rowHeight = QFontMetricsF(printFont(l.tablePointSize, false), &device).height() * 1.25;
    const qreal room = l.footerRect.top() - y - l.headingHeight;
    l.rowsPerPage = std::max(1, int(std::floor(room / l.rowHeight)));
    l.tableRect = QRectF(l.area.left(), y, x - l.area.left(), l.headingHeight + l.rowsPerPage * l.rowHeight);
    return l;
}

int paintGridPages(const GridPrintDocument &doc, QPagedPaintDevice &device, QString *error)
{
    const GridPrintLayout l = gridPrintLayout(doc, device);
    RowSource *rows = doc.columns.isEmpty() ? nullptr : doc.rows;
    int rowCount = rows ? std::max(0, rows->rowCount()) : 0;
    if (doc.maxRows >= 0) rowCount = std::min(rowCount, doc.maxRows);
    const int pages = l.pageCount(rowCount);

    QPainter p;
    if (!p.begin(&device)) {
        if (error) *error = QStringLiteral("无法开始打印：打印设备不可用。");
        return -1;
    }
    if (rows && !rows->start()) {
        p.end();
        if (error) *error = QStringLiteral("读取数据失败：%1").arg(rows->error());
        return -1;
    }

    const QFont titleFont = printFont(kTitlePt, true);
    const QFont textFont = printFont(kTextPt, false);
    const QFont tableFont = printFont(l.tablePointSize, false);
    const QFont tableBoldFont = printFont(l.tablePointSize, true);
    const qreal pad = mm(kCellPadMm, device);
    p.setPen(QPen(Qt::black, device.logicalDpiX() / 144.0));   // half a point

    int printed = 0;
    int page = 0;
    bool failed = false;
    bool rowsEnded = false;
    while (page < pages && !failed && !rowsEnded) {
        if (page > 0 && !device.newPage()) {
            failed = true;
            break;
        }
        ++page;
        const QPen frame = p.pen();
        p.setPen(Qt::black);
        if (!doc.title.isEmpty()) {
            p.setFont(titleFont);
            p.drawText(l.titleRect, Qt::AlignHCenter | Qt::AlignTop,
                       p.fontMetrics().elidedText(oneLine(doc.title), Qt::ElideRight, int(l.titleRect.width())));
        }
        p.setFont(textFont);
        if (!doc.pageHeader.isEmpty())
            p.drawText(l.headerRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, doc.pageHeader);
        const QString number = QStringLiteral("第 %1 页 / 共 %2 页").arg(page).arg(pages);
        const qreal numberWidth = p.fontMetrics().horizontalAdvance(number) + mm(kGapMm, device);
        p.drawText(l.footerRect, Qt::AlignRight | Qt::AlignBottom, number);
        if (!doc.pageFooter.isEmpty()) {
            const QRectF left = l.footerRect.adjusted(0, 0, -numberWidth, 0);
            p.drawText(left, Qt::AlignLeft | Qt::AlignBottom,
                       p.fontMetrics().elidedText(oneLine(doc.pageFooter), Qt::ElideRight, int(left.width())));
        }
        p.setPen(frame);

        if (doc.columns.isEmpty()) continue;
        p.setFont(tableBoldFont);
        for (int c = 0; c < doc.columns.size(); ++c) {
            const QRectF cell(l.columnX.at(c), l.tableRect.top(), l.columnWidth.at(c), l.headingHeight);
            drawCell(p, cell, doc.columns.at(c).caption, doc.columns.at(c).titleAlignment, Qt::white, kNavy, pad);
        }
        p.setFont(tableFont);
        qreal y = l.tableRect.top() + l.headingHeight;
        for (int r = 0; r < l.rowsPerPage && printed < rowCount; ++r, ++printed) {
            if (!rows->nextRow()) {
                failed = !rows->error().isEmpty();
                // Fewer rows than counted (deleted meanwhile): the pages end here.
                rowsEnded = true;
                break;
            }
            for (int c = 0; c < doc.columns.size(); ++c) {
                const QRectF cell(l.columnX.at(c), y, l.columnWidth.at(c), l.rowHeight);
                drawCell(p, cell, rows->text(c), doc.columns.at(c).alignment, Qt::black, Qt::white, pad);
            }
            y += l.rowHeight;
        }
    }
    const QString readError = rows ? rows->error() : QString();
    p.end();
    if (failed) {
        if (error)
            *error = readError.isEmpty() ? QStringLiteral("无法新建打印页。")
                                         : QStringLiteral("读取数据失败：%1").arg(readError);
        return -1;
    }
    return page;
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
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(file), out.errorString());
        return false;
    }
    {
        QPdfWriter writer(&out);
        writer.setTitle(doc.title);
        writer.setResolution(300);
        setGridPrintPage(writer);
        if (paintGridPages(doc, writer, error) < 0) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(file), out.errorString());
        return false;
    }
    return true;
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

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    setGridPrintPage(printer);

    QPrintPreviewDialog dialog(&printer, grid.window());
    dialog.setObjectName(QStringLiteral("frmGridPreview"));
    dialog.setWindowTitle(title.isEmpty() ? QStringLiteral("打印预览") : QStringLiteral("打印预览 - ") + title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&doc](QPrinter *target) {
        QString error;
        if (paintGridPages(doc, *target, &error) < 0) ShowMess(error, 3);
    });

    auto savePdf = [&doc] {
        const QString file = pdfFileNameFromAnswer(Dialogs::current().saveFileName(
            QStringLiteral("保存为PDF"), QDir::homePath(), QStringLiteral("PDF 文件 (*.pdf)")));
        if (file.isEmpty()) return;
        QString error;
        if (!printGridToPdf(doc, file, &error)) ShowMess(QStringLiteral("保存PDF文件失败！\n%1").arg(error), 3);
    };
    auto *saveAction = new QAction(QStringLiteral("保存为PDF"), &dialog);
    saveAction->setObjectName(QStringLiteral("actSavePdf"));
    saveAction->setToolTip(QStringLiteral("保存为PDF"));
    QObject::connect(saveAction, &QAction::triggered, &dialog, savePdf);
    QToolBar *bar = dialog.findChild<QToolBar *>();
    if (bar) {
        bar->addSeparator();
        bar->addAction(saveAction);
    } else {
        dialog.addAction(saveAction);
    }

    // The preview's own print and page set-up buttons open their windows
    // modally by themselves; send them through our dialog seam instead.
    auto *preview = dialog.findChild<QPrintPreviewWidget *>();
    const QString printText = QPrintPreviewDialog::tr("Print");
    const QString setupText = QPrintPreviewDialog::tr("Page setup");
    for (QAction *a : dialog.findChildren<QAction *>()) {
        if (!preview) break;
        if (a->text() == printText && QObject::disconnect(a, SIGNAL(triggered(bool)), &dialog, SLOT(_q_print()))) {
            QObject::connect(a, &QAction::triggered, &dialog, [&dialog, &printer, preview, savePdf] {
                if (printer.outputFormat() == QPrinter::PdfFormat) {
                    // No printer installed: the only output is a file.
                    savePdf();
                    return;
                }
                QPrintDialog choose(&printer, &dialog);
                if (Dialogs::current().execDialog(choose) != QDialog::Accepted) return;
                preview->print();
                dialog.accept();
            });
        } else if (a->text() == setupText
                   && QObject::disconnect(a, SIGNAL(triggered(bool)), &dialog, SLOT(_q_pageSetup()))) {
            QObject::connect(a, &QAction::triggered, &dialog, [&dialog, &printer, preview] {
                QPageSetupDialog setup(&printer, &dialog);
                if (Dialogs::current().execDialog(setup) == QDialog::Accepted) preview->updatePreview();
            });
        }
    }

    Dialogs::current().execDialog(dialog);
}
