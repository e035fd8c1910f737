#pragma once
// A report laid out into pages: every page a list of placed items with their
// final texts. The preview, the printer, PDF and the text exports all draw
// from it, and it is saved and loaded in a format of our own.

#include "ReportTemplate.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace Report {

struct PreparedItem {
    enum Kind { Text, Line, Rect, CheckBox, Picture };
    Kind kind = Text;
    QRectF rect;                  // mm on the page; a Line runs from topLeft to bottomRight
    QString text;                 // Text: final text
    Font font;
    int alignment = 0x0001 | 0x0080;
    bool wordWrap = false;
    Frame frame;
    QColor color = Qt::black;
    QColor fill;                  // invalid: none
    bool checked = false;         // CheckBox
    QImage picture;               // Picture (charts are drawn into one)
    // Which band it came from, so the text exports can rebuild rows.
    BandKind band = BandKind::MasterData;
    int bandRow = 0;              // counts bands placed on the page, top to bottom
};

struct PreparedPage {
    QSizeF size {210, 297};       // mm
    QList<PreparedItem> items;
};

struct PreparedReport {
    QList<PreparedPage> pages;
};

} // namespace Report
