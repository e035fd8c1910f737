#pragma once
// Paints a prepared page on any painter: the preview's screen, a printer, a
// PDF writer or an image. Positions are millimetres on the page; `scale`
// turns them into device units, and fonts follow the same scale whatever the
// device's resolution, so a page looks alike on screen, paper and PDF.

#include "PreparedReport.h"

#include <QImage>

class QPainter;

namespace Report {

// Texts keep this distance (mm) from the left and right edges of their box,
// so they never touch a frame line.
inline constexpr double TextInset = 0.5;

// Device units per millimetre of a painter's device at its logical resolution.
double unitsPerMm(const QPainter &painter);

// Paints `page` with its top-left corner at the painter's origin, `scale`
// device units to the millimetre. The painter's state is left as found.
void paintPage(QPainter &painter, const PreparedPage &page, double scale);

// The page as an image at `dpi`, white paper underneath.
QImage pageImage(const PreparedPage &page, double dpi);

// The font an item is painted with, sized for `scale` units per mm on a
// device of `deviceDpi` logical dots per inch.
QFont itemFont(const Font &font, double scale, double deviceDpi);

} // namespace Report
