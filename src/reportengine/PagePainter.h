#pragma once
// Paints a prepared page on any painter: the preview's screen, a printer, a
// PDF writer or an image. Positions are millimetres on the page; `scale`
// turns them into device units, and fonts follow the same scale whatever the
// device's resolution, so a page looks alike on screen, paper and PDF.

#include "PreparedReport.h"

#include <QImage>

class QPainter;

namespace Report {

// Texts keep this distance (mm) from the top and bottom of their box (the
// room the renderer adds to a stretching text). Lines are broken as the
// renderer measures them, on a 600 dpi device over the box's full width,
// and drawn scaled from there, so a text breaks alike on every device and
// fits the height the renderer gave it.
inline constexpr double TextInset = 0.5;
inline constexpr double TextLayoutDpi = 600;
// The one device texts are laid out on, by the renderer when it measures and
// by the painter when it draws, so both break lines alike.
const QImage &textLayoutDevice();

// Device units per millimetre of a painter's device at its logical resolution.
double unitsPerMm(const QPainter &painter);

// Paints `page` with its top-left corner at the painter's origin, `scale`
// device units to the millimetre. The painter's state is left as found.
void paintPage(QPainter &painter, const PreparedPage &page, double scale);

// The page as an image at `dpi`, white paper underneath.
QImage pageImage(const PreparedPage &page, double dpi);

} // namespace Report
