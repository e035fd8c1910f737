#pragma once
// A grid printed as a plain list: title, page header, framed column headings
// repeated on every page, framed body cells, page footer and page numbers on
// A4. The pages are painted onto any paged device (printer, preview, PDF)
// without a window, from a plain description or straight from a DataGrid.

#include "data/RowSource.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class DataGrid;
class QPagedPaintDevice;
class QPaintDevice;

struct GridPrintColumn {
    QString caption;
    int width = 64;   // grid pixels; the page keeps the proportions
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

struct GridPrintDocument {
    QString title;
    QString pageHeader;
    QString pageFooter;
    QList<GridPrintColumn> columns;   // printed columns, left to right
    // Not owned; its columns are the printed ones, read front to back once
    // per rendering (a preview renders again when its page setup changes).
    // nullptr prints the title and headings only.
    RowSource *rows = nullptr;
    int maxRows = -1;                 // at most this many rows when >= 0
    // The font size the widths were made for: columns grow with the larger
    // print font. 0 or less takes the widths as they are.
    qreal screenPointSize = 0;
};

// Where everything goes on a page, in the device's units.
struct GridPrintLayout {
    QRectF area;            // the page less the printable inset
    QRectF titleRect;
    QRectF headerRect;      // empty height without a page header
    QRectF tableRect;       // headings + body rows
    QRectF footerRect;      // page footer text and page number
    qreal tablePointSize = 13;   // headings and cells; smaller when the columns would not fit the page
    qreal headingHeight = 0;
    qreal rowHeight = 0;
    int rowsPerPage = 1;
    QVector<qreal> columnX;       // left edge of each column
    QVector<qreal> columnWidth;

    int pageCount(int rows) const { return rows <= 0 ? 1 : (rows + rowsPerPage - 1) / rowsPerPage; }
};

// A4 portrait with margins 0. A printer that cannot print to the edge keeps
// its own minimum margins.
void setGridPrintPage(QPagedPaintDevice &device);

// The page geometry for a document on a device already set up.
GridPrintLayout gridPrintLayout(const GridPrintDocument &doc, QPagedPaintDevice &device);

// Paints every page; returns the number of pages, or -1 with *error set when
// the device cannot be painted on or the rows cannot be read.
int paintGridPages(const GridPrintDocument &doc, QPagedPaintDevice &device, QString *error = nullptr);

// The grid's visible columns in grid order, each 2 pixels wider than shown;
// their rows are the grid's rowSource(DataGrid::Columns::Visible).
QList<GridPrintColumn> gridPrintColumns(const DataGrid &grid);

// Writes the pages to a PDF file (replaced only when complete).
bool printGridToPdf(DataGrid &grid, const QString &title, const QString &pageHeader,
                    const QString &pageFooter, const QString &file, QString *error, int maxRows = -1);
bool printGridToPdf(const GridPrintDocument &doc, const QString &file, QString *error);

// Shows the pages in a print preview (zoom, page through, print, save as PDF).
void PrintGrid(DataGrid &grid, const QString &title, const QString &pageHeader, const QString &pageFooter);
