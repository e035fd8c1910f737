#pragma once
// One member of a written .xlsx, read back as a spreadsheet program would
// (through the program's own zip reader).

#include <QByteArray>
#include <QString>

// Inflated and checked; empty when missing or damaged.
QByteArray zipEntry(const QString &file, const QString &entry);
