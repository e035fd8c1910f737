#pragma once
// The one reading of a stored flag as true or false. Bit columns arrive as
// numbers on one engine, booleans on another and text from a spreadsheet or
// a text column: a non-zero number, a true boolean and the word "true" (any
// case, blanks around) are true; null, zero, empty text and any other text
// are false.

#include <QVariant>

bool boolValue(const QVariant &v);
