#pragma once
// Display patterns for quantities, prices and totals ("0.##", "￥,0.00"),
// formatted the way the grids and printed lists show them, and the same
// pattern in the form a spreadsheet program understands.

#include <QString>

// "0" digit always shown, "#" digit shown only when significant, "," before
// the decimal point groups thousands, "." the decimal point; anything else
// (and text in quotes) is printed as it stands. Rounds half away from zero.
// A negative value gets "-" in front of the whole text unless the pattern
// has a second ";" section for negatives. Empty pattern: general format.
QString formatNumber(const QString &pattern, double value);

// The pattern as a spreadsheet number format: literal text quoted
// ("\"￥\"#,##0.00"), grouping written as "#,##0", a decimal point without
// decimal places dropped. Empty pattern gives "General".
QString excelNumberFormat(const QString &pattern);
