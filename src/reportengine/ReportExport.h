#pragma once
// Everything a prepared report is written to: PDF, the printer, text for a
// spreadsheet (";" between fields), plain text, HTML, RTF, and our own prepared
// report file that the preview saves and opens again. Each writer returns
// false with a message for the operator in *error and leaves an existing file
// as it was when it fails.

#include "PreparedReport.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace Report {

enum class ExportFormat { Pdf, Csv, Text, Html, Rtf, Prepared };

bool writePdf(const PreparedReport &report, const QString &path, QString *error);
// Prints pages fromPage..toPage (1-based; 0, 0 for all) on a printer set up
// by the print dialog.
bool printReport(const PreparedReport &report, QPrinter &printer, QString *error, int fromPage = 0, int toPage = 0);
bool writeCsv(const PreparedReport &report, const QString &path, QString *error);
bool writeText(const PreparedReport &report, const QString &path, QString *error);
bool writeHtml(const PreparedReport &report, const QString &path, QString *error);
// For a word processor: each placed band a table row whose cells stand where
// the items stand on the page, with their fonts, frames and pictures.
bool writeRtf(const PreparedReport &report, const QString &path, QString *error);

bool savePrepared(const PreparedReport &report, const QString &path, QString *error);
// A file that is not ours, of a later version, truncated or damaged gives
// nullopt and a message; nothing of it is taken.
std::optional<PreparedReport> loadPrepared(const QString &path, QString *error);

// The contents themselves, for the writers above and their tests.
QByteArray csvText(const PreparedReport &report);
QString plainText(const PreparedReport &report);
QString htmlText(const PreparedReport &report);
QByteArray rtfText(const PreparedReport &report);
QByteArray preparedBytes(const PreparedReport &report);
std::optional<PreparedReport> readPrepared(const QByteArray &bytes, QString *error);

// The rows of one page as the text exports see them: the text items of each
// placed band, left to right.
QList<QStringList> pageRows(const PreparedPage &page);

bool exportReport(const PreparedReport &report, ExportFormat format, const QString &path, QString *error);
// By the file's extension; nullopt for one we do not write.
std::optional<ExportFormat> formatOfFile(const QString &path);
// File dialog filters: the exports, and the prepared report file.
QString exportFilter();
QString preparedFilter();
inline const char *const PreparedSuffix = "clrep";

} // namespace Report
