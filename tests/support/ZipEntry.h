#pragma once
// Reads one member of a zip file (a written .xlsx) as a spreadsheet program
// would, with zlib: QuaZip exports minizip's function names and would take
// over libxlsxwriter's calls in the same process.

#include <QByteArray>
#include <QString>

// Found through the central directory and inflated; empty when missing or damaged.
QByteArray zipEntry(const QString &file, const QString &entry);
