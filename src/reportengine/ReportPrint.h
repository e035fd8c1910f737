#pragma once
// How a window prints through a template: the file is looked up in Qr/ of
// the program folder, the window's named objects get their texts, its rows
// are bound to the named sources, and the report is prepared into the one
// preview window. Design opens the same template in the designer; saving
// writes it back, so the next print from any window uses it.

#include "ReportSources.h"
#include "ReportTemplate.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class CustomerListHost;
class DataSet;
class DataSetSource;
class QWidget;

namespace Report {

// The program folder's Qr/ followed by the file name.
QString templatePath(const QString &fileName);
// A missing or unreadable template is said (kind 2, naming the file) and gives nothing.
std::optional<ReportTemplate> openTemplate(const QString &fileName);

struct PrintJob {
    QString fileName;                  // "frCltList.frf"
    QHash<QString, QString> texts;     // object name -> its whole text ("MemoDate", ...); absent objects are skipped
    Sources sources;
};

// Prepares the report into the preview. Nothing goes to a printer unless the operator prints there.
void preview(const PrintJob &job, QWidget *parent);
void design(const PrintJob &job, QWidget *parent);

// The sources of the templates that print from the main window: frMain (the
// customer list, its current row the current customer), frDetail1..3 (the
// current customer's repairs, return visits and complaints). They live as
// long as this object. Every print also binds SysInfo, the company record,
// unless the window bound its own.
class HostSources {
public:
    explicit HostSources(CustomerListHost &host);
    ~HostSources();
    const Sources &sources() const { return m_sources; }

private:
    std::vector<std::unique_ptr<RowSource>> m_rows;
    Sources m_sources;
};

// The company record (SysInfo) bound into `sources` for the headings of
// every template, unless the window bound its own; lives as long as this object.
class CompanyRecord {
public:
    explicit CompanyRecord(Sources &sources);
    ~CompanyRecord();

private:
    std::unique_ptr<DataSet> m_rows;
    std::unique_ptr<DataSetSource> m_source;
};

} // namespace Report
