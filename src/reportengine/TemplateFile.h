#pragma once
// Report templates on disk: one XML document per template (docs/report-templates.md
// describes it for whoever edits templates on site). A template file is data a
// site may have edited by hand or half-copied off a stick, so the reader takes
// any bytes: what is not a template, or is cut short, is refused with a Chinese
// message naming the file; what is a template but carries odd parts (an object
// kind we do not know, sizes beyond any paper) loads with those parts left out
// or brought into range, and says so.

#include "ReportTemplate.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace Report {

inline constexpr int TemplateFormatVersion = 1;

// Limits the reader brings every value into (mm unless named otherwise).
namespace TemplateLimits {
inline constexpr double MinPageSide = 10;
inline constexpr double MaxLength = 2000;        // page sides, band heights, positions, sizes
inline constexpr double MaxMargin = 500;
inline constexpr double MinFontSize = 1;         // points
inline constexpr double MaxFontSize = 400;
inline constexpr double MaxFrameWidth = 10;
inline constexpr int MaxColumns = 50;
inline constexpr int MaxBands = 500;
inline constexpr int MaxObjects = 20000;         // in the whole template
inline constexpr int MaxTextLength = 1000000;    // characters of one object's text
inline constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
} // namespace TemplateLimits

// nullopt when `xml` is not a template or is incomplete; *error then says why.
// When a template is returned, *error is empty or lists, one per line, what was
// left out or changed while reading it.
std::optional<ReportTemplate> readTemplate(const QByteArray &xml, QString *error = nullptr);
// Every field of `t`, read back exactly by readTemplate (characters XML cannot
// carry, such as control codes other than tab and line breaks, are dropped).
QByteArray writeTemplate(const ReportTemplate &t);

// As readTemplate, with the file's path in every message.
std::optional<ReportTemplate> loadTemplate(const QString &path, QString *error = nullptr);
// Writes a temporary file beside `path` and renames it over the old one, so a
// failed save leaves the old template as it was.
bool saveTemplate(const ReportTemplate &t, const QString &path, QString *error = nullptr);

} // namespace Report
