#pragma once
// The three service records (repairs, return visits, complaints) and how
// the other windows open their editors. The editors share one structure;
// what differs by kind is data.

#include <functional>

class CustomerListHost;
class DataSet;
class QWidget;

enum class ServiceKind { Repair = 0, ReturnVisit = 1, Complaint = 2 };   // = the main window's detail tab

// From the main window's detail tab: the customer is the main window's
// current customer (locked); mode 0 new, 1 edit of the tab's current row.
// The editor reopens the detail list itself.
void EditFromMain(ServiceKind kind, int mode, CustomerListHost &host);

// From a list window: the customer is picked (TDLGcltrecXZ) or typed; mode 0
// new, 1 edit of `list`'s current row. After each save `saved` is called
// with the saved record's F_ID (0 when unknown) so the list reopens on it.
void EditFromList(ServiceKind kind, int mode, DataSet &list, QWidget *parent,
                  const std::function<void(long long savedId)> &saved);

// Gives the main window's detail commands (901 new, 902 edit) their editors.
void provideServiceWindows();
