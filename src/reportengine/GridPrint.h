#pragma once
// A grid printed as a plain list without a template: title, page header,
// framed column headings repeated on every page, framed body cells, page
// footer and page numbers on A4 portrait. The list is laid out into prepared
// pages, so it shows in the one preview window and is printed, saved and
// exported from there like every report.

#include "PreparedReport.h"

#include "data/RowSource.h"

#include <QList>
#include <QString>
#include <optional>

class DataGrid;

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
    // Not owned; its columns are the printed ones, read front to back once.
    // nullptr prints the title and headings only.
    RowSource *rows = nullptr;
    int maxRows = -1;                 // at most this many rows when >= 0
    // The font size the widths were made for: columns grow with the larger
    // print font. 0 or less takes the widths as they are.
    qreal screenPointSize = 0;
};

// The pages of the list; nullopt with *error set when the rows cannot be read.
std::optional<Report::PreparedReport> gridReport(const GridPrintDocument &doc, QString *error);

// The grid's visible columns in grid order, each 2 pixels wider than shown;
// their rows are the grid's rowSource(DataGrid::Columns::Visible).
QList<GridPrintColumn> gridPrintColumns(const DataGrid &grid);

// Writes the pages to a PDF file (replaced only when complete).
bool printGridToPdf(DataGrid &grid, const QString &title, const QString &pageHeader,
                    const QString &pageFooter, const QString &file, QString *error, int maxRows = -1);
bool printGridToPdf(const GridPrintDocument &doc, const QString &file, QString *error);

// Shows the pages in the preview ("预览"), from which the operator prints,
// saves or exports them.
void PrintGrid(DataGrid &grid, const QString &title, const QString &pageHeader, const QString &pageFooter);
