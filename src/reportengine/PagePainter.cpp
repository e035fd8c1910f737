#include "PagePainter.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace Report {

namespace {

// A hairline stays visible at small zooms.
QPen linePen(const QColor &color, double widthMm, double scale)
{
    QPen pen(color.isValid() ? color : QColor(Qt::black));
    pen.setWidthF(std::max(1.0, widthMm * scale));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QRectF toDevice(const QRectF &mm, double scale)
{
    return QRectF(mm.x() * scale, mm.y() * scale, mm.width() * scale, mm.height() * scale);
}

void paintFrame(QPainter &p, const PreparedItem &item, const QRectF &r, double scale)
{
    if (!item.frame.any()) return;
    p.setPen(linePen(item.color, item.frame.width, scale));
    p.setBrush(Qt::NoBrush);
    if (item.frame.left) p.drawLine(r.topLeft(), r.bottomLeft());
    if (item.frame.top) p.drawLine(r.topLeft(), r.topRight());
    if (item.frame.right) p.drawLine(r.topRight(), r.bottomRight());
    if (item.frame.bottom) p.drawLine(r.bottomLeft(), r.bottomRight());
}

QFont itemFont(const Font &font)
{
    QFont f(font.family.isEmpty() ? QString::fromLatin1(DefaultFont) : font.family);
    f.setPointSizeF(font.size > 0 ? font.size : 10);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    return f;
}


void paintText(QPainter &p, const PreparedItem &item, const QRectF &r, double scale)
{
    if (item.text.isEmpty()) return;
    const double ref = TextLayoutDpi / 25.4;   // layout units per mm
    const QRectF box(0, TextInset * ref, item.rect.width() * ref, std::max(0.0, item.rect.height() - 2 * TextInset) * ref);
    QString text = item.text;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, itemFont(item.font), const_cast<QImage *>(&textLayoutDevice()));
    QTextOption option(Qt::Alignment(item.alignment) & Qt::AlignHorizontal_Mask);
    option.setWrapMode(item.wordWrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(option);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    // A text taller than its box keeps its first lines, whatever the alignment.
    double top = box.top();
    if (height < box.height()) {
        if (item.alignment & Qt::AlignBottom) top = box.bottom() - height;
        else if (item.alignment & Qt::AlignVCenter) top = box.top() + (box.height() - height) / 2;
    }
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(item.color.isValid() ? item.color : QColor(Qt::black));
    p.translate(r.topLeft());
    p.scale(scale / ref, scale / ref);
    layout.draw(&p, QPointF(box.left(), top));
    p.restore();
}

void paintCheckBox(QPainter &p, const PreparedItem &item, const QRectF &r, double scale)
{
    const double side = std::min(r.width(), r.height());
    const QRectF box(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    const QPen pen = linePen(item.color, std::max(0.2, item.frame.width), scale);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    if (!item.checked) return;
    QPen tick = pen;
    tick.setWidthF(std::max(1.0, side * 0.12));
    tick.setCapStyle(Qt::RoundCap);
    tick.setJoinStyle(Qt::RoundJoin);
    p.setPen(tick);
    QPainterPath path;
    path.moveTo(box.left() + side * 0.2, box.top() + side * 0.52);
    path.lineTo(box.left() + side * 0.42, box.top() + side * 0.75);
    path.lineTo(box.left() + side * 0.8, box.top() + side * 0.25);
    p.drawPath(path);
}

void paintPicture(QPainter &p, const PreparedItem &item, const QRectF &r)
{
    if (item.picture.isNull() || r.isEmpty()) return;
    // Kept in proportion and centred in its box.
    const QSizeF fitted = QSizeF(item.picture.size()).scaled(r.size(), Qt::KeepAspectRatio);
    const QRectF target(r.center().x() - fitted.width() / 2, r.center().y() - fitted.height() / 2,
                        fitted.width(), fitted.height());
    p.drawImage(target, item.picture);
}

} // namespace

const QImage &textLayoutDevice()
{
    static const QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        const int dpm = int(std::lround(TextLayoutDpi / 0.0254));
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return device;
}

double unitsPerMm(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    return device ? device->logicalDpiX() / 25.4 : 96 / 25.4;
}


void paintPage(QPainter &painter, const PreparedPage &page, double scale)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PreparedItem &item : page.items) {
        const QRectF r = toDevice(item.rect, scale);
        switch (item.kind) {
        case PreparedItem::Line:
            painter.setPen(linePen(item.color, item.frame.width, scale));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case PreparedItem::Rect:
            painter.setPen(item.frame.width > 0 ? linePen(item.color, item.frame.width, scale) : QPen(Qt::NoPen));
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(r);
            painter.setBrush(Qt::NoBrush);
            break;
        case PreparedItem::Text:
            if (item.fill.isValid()) painter.fillRect(r, item.fill);
            paintText(painter, item, r, scale);
            paintFrame(painter, item, r, scale);
            break;
        case PreparedItem::CheckBox:
            if (item.fill.isValid()) painter.fillRect(r, item.fill);
            paintCheckBox(painter, item, r, scale);
            break;
        case PreparedItem::Picture:
            if (item.fill.isValid()) painter.fillRect(r, item.fill);
            paintPicture(painter, item, r);
            paintFrame(painter, item, r, scale);
            break;
        }
    }
    painter.restore();
}

QImage pageImage(const PreparedPage &page, double dpi)
{
    const double scale = dpi / 25.4;
    QImage image(QSize(std::max(1, qRound(page.size.width() * scale)), std::max(1, qRound(page.size.height() * scale))),
                 QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, page, scale);
    painter.end();
    return image;
}

} // namespace Report
