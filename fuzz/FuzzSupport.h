#pragma once
// What the fuzz targets share: the Qt application the readers expect, and
// one file for the readers that take a path, rewritten for every input.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace Fuzz {

// A GUI application on the offscreen platform (fonts, images), made once.
void startQt();

QByteArray bytes(const uint8_t *data, size_t size);

// Writes `content` to the same file under a private temporary folder each
// time and returns its path; `name` is the file's name.
QString inputFile(const QByteArray &content, const QString &name);

// Ends the run as a finding (libFuzzer keeps the input) when `ok` is false.
void require(bool ok, const char *what);

} // namespace Fuzz
