#pragma once
// A report template: a page set-up and bands, each band a strip of the page
// with objects on it. Lengths are millimetres; an object's rectangle is
// relative to its band's top-left corner. Texts carry expressions in square
// brackets ("[frMain.F_name]", "[PAGE#]", "[SUM(frMain.F_price)]"), see
// Expression.h. The file format is ours (TemplateFile.h).

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QString>

namespace Report {

inline const char *const DefaultFont = "Noto Sans CJK SC";

enum class BandKind {
    ReportTitle,     // once, at the top of the first page
    PageHeader,      // at the top of every page (below the title on the first)
    ColumnHeader,    // below the page header on every page that prints data or the summary
    MasterData,      // once per row of its source
    DetailData,      // once per row of its source that belongs to the current master row
    GroupHeader,     // before the first row of each group of the master band
    GroupFooter,     // after the last row of each group
    PageFooter,      // at the bottom of every page; nothing else ever overlaps it
    ReportSummary,   // once, after the last row
};

enum class ObjectKind { Text, Line, Rect, CheckBox, Picture, Chart };

struct Frame {
    bool left = false, top = false, right = false, bottom = false;
    double width = 0.2;   // mm
    bool any() const { return left || top || right || bottom; }
    static Frame all() { return {true, true, true, true, 0.2}; }
};

struct Font {
    QString family = QString::fromLatin1(DefaultFont);
    double size = 10;     // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct ReportObject {
    ObjectKind kind = ObjectKind::Text;
    QString name;                 // windows fill objects by name ("MemoDate", "Memo1", "Memo2")
    QRectF rect;                  // mm, relative to the band
    QString text;                 // Text: literal text with [expressions]; CheckBox: the expression ticked when true
    Font font;
    int alignment = 0x0001 | 0x0080;   // Qt::AlignLeft | Qt::AlignVCenter
    bool wordWrap = false;
    bool stretch = false;         // the object (and its band) grows to fit its text
    Frame frame;
    QColor color = Qt::black;     // text and line colour
    QColor fill;                  // background; invalid for none
    QByteArray picture;           // Picture: PNG or JPEG bytes
    // Chart: a pie or bar chart over two fields of a source.
    QString chartType;            // "pie" | "bar"
    QString chartSource;
    QString labelField;
    QString valueField;
};

struct Band {
    BandKind kind = BandKind::MasterData;
    QString name;
    double height = 8;            // mm
    QString source;               // MasterData / DetailData: the named source of its rows
    bool currentRowOnly = false;  // MasterData: only the source's current row (one customer's report)
    // DetailData: a detail row belongs to the master row when these fields are equal;
    // both empty: every row of the detail source prints under each master row.
    QString detailField;
    QString masterField;
    QString groupExpression;      // GroupHeader / GroupFooter: a new value starts a group
    bool newPageAfter = false;    // MasterData / GroupFooter: the next row starts a page
    QList<ReportObject> objects;
};

struct PageSetup {
    double width = 210;           // mm, as seen in portrait
    double height = 297;
    bool landscape = false;
    QMarginsF margins {10, 10, 10, 10};
    int columns = 1;              // data bands across the page (labels)
    double columnGap = 0;         // mm between columns
    QSizeF size() const { return landscape ? QSizeF(height, width) : QSizeF(width, height); }
};

struct ReportTemplate {
    PageSetup page;
    QList<Band> bands;

    // Every object with that name, in every band.
    QList<ReportObject *> objectsNamed(const QString &name);
    // Replaces the whole text of the objects named `name`; false when there is none.
    bool setObjectText(const QString &name, const QString &text);
};

} // namespace Report
