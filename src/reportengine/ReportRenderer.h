#pragma once
// Lays a template out over its sources into prepared pages.
//
// The master source is read once, front to back, and only the pages are
// kept, so a long list costs memory by its pages, not its rows. Detail
// sources are read once into memory and matched to each master row by key.
// Texts that need figures known only later ([TOTALPAGES], report totals,
// page totals outside the page footer) are filled in when their page or the
// report is complete; a page handed to pageDone before the end therefore
// shows them empty (or as the figures so far).
//
// A band that does not fit in the rest of a page moves to the next page; a
// band taller than a whole page is split across pages: texts by lines,
// frames and lines continue on the next page; pictures, charts and check
// boxes stay on the page they start on, their box ending where the page does.

#include "PreparedReport.h"
#include "ReportSources.h"
#include "ReportTemplate.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

namespace Report {

class ReportRenderer {
public:
    // Pages prepared, master rows done, master rows expected; false cancels.
    using Progress = std::function<bool(int pages, int rowsDone, int rowsTotal)>;
    // A page is complete (index into report.pages).
    using PageDone = std::function<void(int pageIndex, const PreparedReport &report)>;

    ReportRenderer(const ReportTemplate &t, const Sources &sources);
    ~ReportRenderer();
    ReportRenderer(const ReportRenderer &) = delete;
    ReportRenderer &operator=(const ReportRenderer &) = delete;

    void setProgress(Progress progress);
    void setPageDone(PageDone pageDone);
    // What [DATE] and [TIME] print; by default the moment render() starts.
    void setNow(const QDateTime &now);

    // Fills `out` (emptied first). False when cancelled (the pages done so far
    // stay in `out`) or when a source failed to read (error()).
    bool render(PreparedReport &out);
    bool cancelled() const;
    QString error() const;

    // Millimetres a text needs in a box `width` mm wide (the height a
    // stretching object grows to), as the renderer measures it.
    static double textHeight(const Font &font, const QString &text, double width, bool wordWrap);

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace Report
