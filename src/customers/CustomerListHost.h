#pragma once
// What the customer editors and the reminder window may use of the main
// window: its customer list (the current row is the current customer),
// reopening it, and its commands.

class DataSet;
class QAction;

class CustomerListHost {
public:
    virtual ~CustomerListHost() = default;
    virtual DataSet *customerList() const = 0;
    // Reopens the list with the statement it was opened with and updates the record count.
    virtual void reopenCustomerList() = 0;
    // A command of the main window by its right code (nullptr when there is none).
    virtual QAction *command(int code) const = 0;
};
