#pragma once
// The three readers behind Workbook::open.

#include "Workbook.h"

std::unique_ptr<Workbook> openXlsxWorkbook(const QString &path, QString *error);
// The import reads .xls in a child process, which a fault of freexl ends
// alone; the fuzz target reads in its own process, so its coverage and
// sanitizers see freexl at work.
enum class XlsReading { InChild, InProcess };
std::unique_ptr<Workbook> openXlsWorkbook(const QString &path, QString *error,
                                          XlsReading reading = XlsReading::InChild);
std::unique_ptr<Workbook> openCsvWorkbook(const QString &path, QString *error);
