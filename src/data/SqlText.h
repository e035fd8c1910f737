#pragma once
#include <QString>

// A value for placing between single quotes in a statement: quotes doubled,
// NUL characters removed, so no text can end the literal.
QString sqlValue(const QString &value);
// The value with its surrounding quotes: 'O''Brien'.
QString sqlQuoted(const QString &value);
