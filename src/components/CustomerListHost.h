#pragma once
// What the windows of the subsystems may use of the main window: its
// customer list (the current row is the current customer), the service
// records of that customer, reopening them, and its commands. The main
// window implements it; nothing above this layer includes the main window.

#include <memory>

class DataSet;
class DataSetSource;
class QAction;
class QWidget;

class CustomerListHost {
public:
    virtual ~CustomerListHost() = default;
    virtual DataSet *customerList() const = 0;
    // Reopens the list with the statement it was opened with and updates the record count.
    virtual void reopenCustomerList() = 0;
    // The current customer's service records: 0 repairs, 1 return visits, 2 complaints.
    virtual DataSet *detailList(int tab) const = 0;
    virtual void reopenDetailList(int tab) = 0;
    // The detail tab chosen (0 repairs, 1 return visits, 2 complaints).
    virtual int currentDetailTab() const = 0;
    // The lists' rows as their grids show them, every field of the list
    // included, for the reports printed from the main window's sources.
    virtual std::unique_ptr<DataSetSource> customerRows() const = 0;
    virtual std::unique_ptr<DataSetSource> detailRows(int tab) const = 0;
    // A command of the main window by its number (nullptr when there is none).
    virtual QAction *command(int code) const = 0;
    // The window the opened windows belong to.
    virtual QWidget *hostWindow() = 0;
    // The site's settings changed: show the free fields' captions and the
    // number patterns anew, without a restart.
    virtual void applySettings() {}
};
