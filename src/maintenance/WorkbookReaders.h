#pragma once
// The three readers behind Workbook::open.

#include "Workbook.h"

std::unique_ptr<Workbook> openXlsxWorkbook(const QString &path, QString *error);
std::unique_ptr<Workbook> openXlsWorkbook(const QString &path, QString *error);
std::unique_ptr<Workbook> openCsvWorkbook(const QString &path, QString *error);
