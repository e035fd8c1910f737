#include "DesignerCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace Report {

namespace {
constexpr int kEdgeGrip = 3;     // pixels either side of a band's lower edge that drag its height
constexpr int kHandle = 7;

int px(double mm) { return qRound(mm * DesignerCanvas::Scale); }
} // namespace

DesignerCanvas::DesignerCanvas(DesignerDocument &doc, QWidget *parent) : QWidget(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("DesignerCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xd0, 0xd0, 0xd0));
    setPalette(pal);
}

int DesignerCanvas::bandLeft() const { return Pad + px(m_doc.templ().page.margins.left()); }

int DesignerCanvas::bandWidth() const
{
    const PageSetup &pg = m_doc.templ().page;
    return qMax(px(20), px(pg.size().width() - pg.margins.left() - pg.margins.right()));
}

int DesignerCanvas::bandTop(int band) const
{
    int y = Pad;
    const QList<Band> &bands = m_doc.templ().bands;
    for (int i = 0; i < band && i < bands.size(); ++i) y += TitleHeight + px(bands.at(i).height);
    return y;
}

QRect DesignerCanvas::bandTitleRect(int band) const
{
    return {bandLeft(), bandTop(band), bandWidth(), TitleHeight};
}

QRect DesignerCanvas::bandRect(int band) const
{
    if (band < 0 || band >= m_doc.templ().bands.size()) return {};
    return {bandLeft(), bandTop(band) + TitleHeight, bandWidth(), px(m_doc.templ().bands.at(band).height)};
}

QRect DesignerCanvas::objectRect(const ObjectRef &ref) const
{
    const ReportObject *o = m_doc.object(ref);
    if (!o) return {};
    const QRect b = bandRect(ref.band);
    const QRectF r = o->rect;
    return QRect(QPoint(b.left() + px(r.left()), b.top() + px(r.top())),
                 QPoint(b.left() + px(r.right()), b.top() + px(r.bottom())))
        .normalized();
}

QRect DesignerCanvas::resizeHandle(const ObjectRef &ref) const
{
    const QRect r = objectRect(ref);
    if (r.isNull()) return {};
    return {r.right() - kHandle / 2, r.bottom() - kHandle / 2, kHandle, kHandle};
}

QSize DesignerCanvas::sizeHint() const
{
    const PageSetup &pg = m_doc.templ().page;
    return {2 * Pad + px(pg.size().width()), bandTop(int(m_doc.templ().bands.size())) + Pad};
}

void DesignerCanvas::refresh()
{
    setMinimumSize(sizeHint());
    resize(sizeHint().expandedTo(size()));
    update();
}

ObjectRef DesignerCanvas::objectAt(const QPoint &p) const
{
    const QList<Band> &bands = m_doc.templ().bands;
    for (int b = int(bands.size()) - 1; b >= 0; --b)
        for (int i = int(bands.at(b).objects.size()) - 1; i >= 0; --i) {
            // Thin objects (lines) are grabbed a few pixels either side.
            if (objectRect({b, i}).adjusted(-kEdgeGrip, -kEdgeGrip, kEdgeGrip, kEdgeGrip).contains(p))
                return {b, i};
        }
    return {};
}

int DesignerCanvas::bandAt(const QPoint &p) const
{
    for (int b = 0; b < m_doc.templ().bands.size(); ++b)
        if (bandTitleRect(b).united(bandRect(b)).contains(p)) return b;
    return -1;
}

int DesignerCanvas::bandEdgeAt(const QPoint &p) const
{
    if (p.x() < bandLeft() || p.x() > bandLeft() + bandWidth()) return -1;
    for (int b = 0; b < m_doc.templ().bands.size(); ++b) {
        const int edge = bandRect(b).top() + px(m_doc.templ().bands.at(b).height);
        if (qAbs(p.y() - edge) <= kEdgeGrip) return b;
    }
    return -1;
}

void DesignerCanvas::paintObject(QPainter &p, const ReportObject &o, const QRect &r) const
{
    if (o.fill.isValid() && o.kind != ObjectKind::Line) p.fillRect(r, o.fill);
    switch (o.kind) {
    case ObjectKind::Text: {
        QFont f(o.font.family);
        f.setPixelSize(qMax(1, qRound(o.font.size * 0.3528 * Scale)));
        f.setBold(o.font.bold);
        f.setItalic(o.font.italic);
        f.setUnderline(o.font.underline);
        p.setFont(f);
        p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 0, Qt::DotLine));
        p.drawRect(r);
        p.setPen(o.color);
        p.drawText(r, o.alignment | (o.wordWrap ? Qt::TextWordWrap : 0), o.text);
        break;
    }
    case ObjectKind::Line:
        p.setPen(QPen(o.color, qMax(1.0, o.frame.width * Scale)));
        p.drawLine(r.topLeft(), r.bottomRight());
        break;
    case ObjectKind::Rect:
        if (!o.frame.any()) {
            p.setPen(QPen(o.color, 1));
            p.drawRect(r);
        }
        break;
    case ObjectKind::CheckBox: {
        p.setPen(QPen(o.color, 1));
        p.drawRect(r);
        QPainterPath tick;
        tick.moveTo(r.left() + r.width() * 0.2, r.top() + r.height() * 0.55);
        tick.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.8);
        tick.lineTo(r.left() + r.width() * 0.8, r.top() + r.height() * 0.2);
        p.drawPath(tick);
        break;
    }
    case ObjectKind::Picture: {
        const QImage img = QImage::fromData(o.picture);
        if (!img.isNull()) {
            p.drawImage(r, img);
        } else {
            p.setPen(QPen(Qt::gray, 0, Qt::DashLine));
            p.drawRect(r);
            p.drawText(r, Qt::AlignCenter, objectKindCaption(o.kind));
        }
        break;
    }
    case ObjectKind::Chart:
        p.setPen(QPen(Qt::darkGray, 0, Qt::DashLine));
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap,
                   objectKindCaption(o.kind) + u' ' + (o.chartType == QLatin1String("bar") ? QStringLiteral("柱形") : QStringLiteral("饼形"))
                       + u'\n' + o.chartSource);
        break;
    }
    if (o.frame.any() && o.kind != ObjectKind::Line) {
        p.setPen(QPen(o.color, qMax(1.0, o.frame.width * Scale)));
        if (o.frame.top) p.drawLine(r.topLeft(), r.topRight());
        if (o.frame.bottom) p.drawLine(r.bottomLeft(), r.bottomRight());
        if (o.frame.left) p.drawLine(r.topLeft(), r.bottomLeft());
        if (o.frame.right) p.drawLine(r.topRight(), r.bottomRight());
    }
}

void DesignerCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const ReportTemplate &t = m_doc.templ();
    const PageSetup &pg = t.page;
    const int last = bandTop(int(t.bands.size()));
    p.fillRect(QRect(Pad, Pad, px(pg.size().width()), last - Pad), Qt::white);

    for (int b = 0; b < t.bands.size(); ++b) {
        const Band &band = t.bands.at(b);
        const QRect title = bandTitleRect(b);
        const bool current = b == m_doc.currentBand();
        p.fillRect(title, current ? QColor(0xc8, 0xdc, 0xf0) : QColor(0xe8, 0xe8, 0xe8));
        p.setPen(Qt::black);
        QFont f = font();
        f.setPixelSize(12);
        p.setFont(f);
        QString caption = bandKindCaption(band.kind);
        if (!band.source.isEmpty()) caption += QStringLiteral("：") + band.source;
        if (!band.groupExpression.isEmpty()) caption += QStringLiteral("：") + band.groupExpression;
        caption += QStringLiteral("  高度 %1 mm").arg(band.height, 0, 'f', 1);
        p.drawText(title.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);

        const QRect area = bandRect(b);
        if (m_doc.snap && m_doc.grid > 0) {
            p.setPen(QColor(0xdd, 0xdd, 0xee));
            const int step = px(5);
            for (int x = area.left(); x <= area.right(); x += step) p.drawLine(x, area.top(), x, area.bottom());
        }
        // Labels: a data band prints once per column, so show where its column ends.
        if (pg.columns > 1 && (band.kind == BandKind::MasterData || band.kind == BandKind::DetailData)) {
            const double colW = (pg.size().width() - pg.margins.left() - pg.margins.right()
                                 - pg.columnGap * (pg.columns - 1)) / pg.columns;
            p.setPen(QPen(Qt::darkCyan, 0, Qt::DashLine));
            const int x = area.left() + px(colW);
            p.drawLine(x, area.top(), x, area.bottom());
        }
        p.setPen(QPen(Qt::gray, 0, Qt::DashLine));
        p.drawLine(area.bottomLeft(), area.bottomRight());

        p.save();
        p.setClipRect(area.adjusted(0, 0, 1, 1));
        for (int i = 0; i < band.objects.size(); ++i) paintObject(p, band.objects.at(i), objectRect({b, i}));
        p.restore();
    }

    p.setBrush(Qt::NoBrush);
    for (const ObjectRef &r : m_doc.selection()) {
        p.setPen(QPen(QColor(0x20, 0x60, 0xe0), 1));
        p.drawRect(objectRect(r).adjusted(-1, -1, 1, 1));
    }
    if (m_doc.selection().size() == 1) p.fillRect(resizeHandle(m_doc.selection().first()), QColor(0x20, 0x60, 0xe0));
    if (m_drag == Drag::Rubber) {
        p.setPen(QPen(Qt::blue, 0, Qt::DashLine));
        p.drawRect(QRect(m_press, m_now).normalized());
    }
}

void DesignerCanvas::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) return;
    setFocus();
    m_press = m_now = e->position().toPoint();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const QList<ObjectRef> &sel = m_doc.selection();
    if (sel.size() == 1 && resizeHandle(sel.first()).contains(m_press)) {
        m_drag = Drag::Resize;
        m_doc.beginGesture();
        return;
    }
    const ObjectRef hit = objectAt(m_press);
    if (hit.band >= 0) {
        if (shift) {
            m_doc.toggle(hit);
        } else {
            if (!m_doc.isSelected(hit)) m_doc.select({hit});
            m_drag = Drag::Move;
            m_doc.beginGesture();
        }
        update();
        emit changed();
        return;
    }
    const int edge = bandEdgeAt(m_press);
    if (edge >= 0) {
        m_drag = Drag::BandHeight;
        m_dragBand = edge;
        m_doc.setCurrentBand(edge);
        m_doc.beginGesture();
        return;
    }
    const int band = bandAt(m_press);
    if (band >= 0) m_doc.setCurrentBand(band);
    if (!shift) m_doc.select({});
    if (band < 0 || !bandTitleRect(band).contains(m_press)) {
        m_drag = Drag::Rubber;
        m_rubberAdds = shift;
    }
    update();
    emit changed();
}

void DesignerCanvas::mouseMoveEvent(QMouseEvent *e)
{
    if (m_drag == Drag::None) return;
    m_now = e->position().toPoint();
    const double dx = (m_now.x() - m_press.x()) / Scale;
    const double dy = (m_now.y() - m_press.y()) / Scale;
    switch (m_drag) {
    case Drag::Move: {
        const int from = m_doc.gestureBand();
        const int to = bandAt(m_now);
        if (from >= 0 && to >= 0 && to != from)
            m_doc.dragSelection(dx, dy, to, (bandRect(to).top() - bandRect(from).top()) / Scale);
        else
            m_doc.dragSelection(dx, dy);
        break;
    }
    case Drag::Resize: m_doc.dragResize(dx, dy); break;
    case Drag::BandHeight: m_doc.dragBandHeight(m_dragBand, dy); refresh(); break;
    case Drag::Rubber:
    case Drag::None: break;
    }
    update();
}

void DesignerCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || m_drag == Drag::None) return;
    m_now = e->position().toPoint();
    if (m_drag == Drag::Rubber) {
        const QRect area = QRect(m_press, m_now).normalized();
        QList<ObjectRef> picked = m_rubberAdds ? m_doc.selection() : QList<ObjectRef>();
        const QList<Band> &bands = m_doc.templ().bands;
        for (int b = 0; b < bands.size(); ++b)
            for (int i = 0; i < bands.at(b).objects.size(); ++i)
                if (area.intersects(objectRect({b, i}).adjusted(0, 0, 1, 1)) && !picked.contains(ObjectRef{b, i}))
                    picked << ObjectRef{b, i};
        m_doc.select(picked);
    } else {
        m_doc.endGesture();
    }
    m_drag = Drag::None;
    refresh();
    emit changed();
}

void DesignerCanvas::mouseDoubleClickEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    const ObjectRef hit = objectAt(p);
    if (hit.band >= 0) {
        m_doc.select({hit});
        emit objectActivated(hit);
        return;
    }
    const int band = bandAt(p);
    if (band >= 0 && bandTitleRect(band).contains(p)) emit bandActivated(band);
}

void DesignerCanvas::keyPressEvent(QKeyEvent *e)
{
    int dx = 0, dy = 0;
    switch (e->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    default: QWidget::keyPressEvent(e); return;
    }
    if (m_doc.selection().isEmpty() || m_drag != Drag::None) return;
    m_doc.stepSelection(dx, dy, e->modifiers() & Qt::ShiftModifier, e->modifiers() & Qt::ControlModifier);
    update();
    emit changed();
}

} // namespace Report
