#include "DesignerDocument.h"

#include <QSet>
#include <QtMath>
#include <algorithm>

namespace Report {

namespace {

// Lengths are kept to a hundredth of a millimetre so repeated steps do not
// drift into 12.299999 in the file.
double tidy(double mm) { return qRound(mm * 100) / 100.0; }

double minSize(const ReportObject &o) { return o.kind == ObjectKind::Line ? 0 : 0.5; }

// A moved object stays on its band's paper: out of it, it would neither
// show in the designer nor print where it was put.
void keepInside(ReportObject &o, const Band &b, const PageSetup &pg)
{
    const double width = pg.size().width() - pg.margins.left() - pg.margins.right();
    o.rect.moveLeft(qBound(0.0, o.rect.left(), qMax(0.0, tidy(width - o.rect.width()))));
    o.rect.moveTop(qBound(0.0, o.rect.top(), qMax(0.0, tidy(b.height - o.rect.height()))));
}

// A band grows to hold an object made taller than it.
void growBand(Band &b, const ReportObject &o) { b.height = qMax(b.height, tidy(o.rect.bottom())); }

// Highest index first, so the earlier references stay valid.
void removeObjects(ReportTemplate &t, QList<ObjectRef> refs)
{
    std::sort(refs.begin(), refs.end(), [](const ObjectRef &a, const ObjectRef &b) {
        return a.band != b.band ? a.band > b.band : a.index > b.index;
    });
    for (const ObjectRef &r : refs) t.bands[r.band].objects.removeAt(r.index);
}

int pageRank(BandKind kind)
{
    const QList<BandKind> &order = bandKindsInPageOrder();
    return int(order.indexOf(kind));
}

} // namespace

const QList<PaperSize> &paperSizes()
{
    static const QList<PaperSize> sizes {
        {QStringLiteral("A4"), 210, 297},
        {QStringLiteral("A5"), 148, 210},
        {QStringLiteral("B5"), 176, 250},
        {QStringLiteral("DL 信封"), 220, 110},   // designed wide, as it is fed
    };
    return sizes;
}

QString paperNameFor(double width, double height)
{
    for (const PaperSize &p : paperSizes())
        if (qAbs(p.width - width) < 0.5 && qAbs(p.height - height) < 0.5) return p.name;
    return QStringLiteral("自定义");
}

QString bandKindCaption(BandKind kind)
{
    switch (kind) {
    case BandKind::ReportTitle: return QStringLiteral("报表标题");
    case BandKind::PageHeader: return QStringLiteral("页眉");
    case BandKind::ColumnHeader: return QStringLiteral("栏头");
    case BandKind::MasterData: return QStringLiteral("主数据");
    case BandKind::DetailData: return QStringLiteral("明细数据");
    case BandKind::GroupHeader: return QStringLiteral("分组头");
    case BandKind::GroupFooter: return QStringLiteral("分组尾");
    case BandKind::PageFooter: return QStringLiteral("页脚");
    case BandKind::ReportSummary: return QStringLiteral("报表合计");
    }
    return {};
}

QString objectKindCaption(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return QStringLiteral("文本");
    case ObjectKind::Line: return QStringLiteral("线条");
    case ObjectKind::Rect: return QStringLiteral("矩形");
    case ObjectKind::CheckBox: return QStringLiteral("复选框");
    case ObjectKind::Picture: return QStringLiteral("图片");
    case ObjectKind::Chart: return QStringLiteral("图表");
    }
    return {};
}

const QList<BandKind> &bandKindsInPageOrder()
{
    static const QList<BandKind> order {
        BandKind::ReportTitle, BandKind::PageHeader, BandKind::ColumnHeader, BandKind::GroupHeader,
        BandKind::MasterData, BandKind::DetailData, BandKind::GroupFooter, BandKind::ReportSummary,
        BandKind::PageFooter,
    };
    return order;
}

void DesignerDocument::reset(const ReportTemplate &t)
{
    m_t = t;
    m_undo.clear();
    m_redo.clear();
    m_gesture = false;
    m_state = m_savedState = 0;
    m_selection.clear();
    m_currentBand = m_t.bands.isEmpty() ? -1 : 0;
}

void DesignerDocument::pushUndo()
{
    m_undo.append({m_t, m_state});
    m_redo.clear();
    m_state = m_nextState++;
}

void DesignerDocument::edit(const std::function<void(ReportTemplate &)> &change)
{
    if (m_gesture) endGesture();
    pushUndo();
    change(m_t);
    fixSelection();
}

void DesignerDocument::beginGesture()
{
    m_gestureStart = m_t;
    m_gestureSelection = m_selection;
    m_gesture = true;
    m_gestureChanged = false;
}

void DesignerDocument::updateGesture(const std::function<void(ReportTemplate &)> &fromStart)
{
    if (!m_gesture) return;
    ReportTemplate t = m_gestureStart;
    fromStart(t);
    m_t = t;
    m_gestureChanged = true;
}

void DesignerDocument::endGesture()
{
    if (!m_gesture) return;
    m_gesture = false;
    if (!m_gestureChanged) return;
    ReportTemplate now = m_t;
    m_t = m_gestureStart;
    pushUndo();
    m_t = now;
}

void DesignerDocument::undo()
{
    if (m_gesture || m_undo.isEmpty()) return;
    m_redo.append({m_t, m_state});
    const auto [t, state] = m_undo.takeLast();
    m_t = t;
    m_state = state;
    fixSelection();
}

void DesignerDocument::redo()
{
    if (m_gesture || m_redo.isEmpty()) return;
    m_undo.append({m_t, m_state});
    const auto [t, state] = m_redo.takeLast();
    m_t = t;
    m_state = state;
    fixSelection();
}

void DesignerDocument::fixSelection()
{
    m_selection.erase(std::remove_if(m_selection.begin(), m_selection.end(),
                                     [this](const ObjectRef &r) { return !object(r); }),
                      m_selection.end());
    if (m_currentBand >= m_t.bands.size()) m_currentBand = int(m_t.bands.size()) - 1;
    if (m_currentBand < 0 && !m_t.bands.isEmpty()) m_currentBand = 0;
}

const ReportObject *DesignerDocument::object(const ObjectRef &ref) const
{
    if (ref.band < 0 || ref.band >= m_t.bands.size()) return nullptr;
    const Band &b = m_t.bands.at(ref.band);
    if (ref.index < 0 || ref.index >= b.objects.size()) return nullptr;
    return &b.objects.at(ref.index);
}

void DesignerDocument::select(const QList<ObjectRef> &refs)
{
    m_selection.clear();
    for (const ObjectRef &r : refs)
        if (object(r) && !m_selection.contains(r)) m_selection << r;
    if (!m_selection.isEmpty()) m_currentBand = m_selection.last().band;
}

void DesignerDocument::toggle(const ObjectRef &ref)
{
    if (!object(ref)) return;
    if (!m_selection.removeOne(ref)) {
        m_selection << ref;
        m_currentBand = ref.band;
    }
}

void DesignerDocument::setCurrentBand(int band)
{
    if (band >= 0 && band < m_t.bands.size()) m_currentBand = band;
}

double DesignerDocument::snapped(double mm) const
{
    return snap && grid > 0 ? tidy(qRound(mm / grid) * grid) : tidy(mm);
}

void DesignerDocument::stepSelection(int dx, int dy, bool resize, bool fine)
{
    if (m_selection.isEmpty()) return;
    const double step = fine ? 0.1 : (snap ? grid : 1);
    auto place = [&](double from, int dir) {
        const double to = from + dir * step;
        return fine ? tidy(to) : snapped(to);
    };
    const QList<ObjectRef> sel = m_selection;
    edit([&](ReportTemplate &t) {
        for (const ObjectRef &r : sel) {
            Band &b = t.bands[r.band];
            ReportObject &o = b.objects[r.index];
            if (resize) {
                if (dx) o.rect.setWidth(qMax(minSize(o), place(o.rect.width(), dx)));
                if (dy) o.rect.setHeight(qMax(minSize(o), place(o.rect.height(), dy)));
                growBand(b, o);
            } else {
                if (dx) o.rect.moveLeft(place(o.rect.left(), dx));
                if (dy) o.rect.moveTop(place(o.rect.top(), dy));
                keepInside(o, b, t.page);
            }
        }
    });
}

int DesignerDocument::gestureBand() const
{
    if (m_gestureSelection.isEmpty()) return -1;
    const int band = m_gestureSelection.first().band;
    for (const ObjectRef &r : m_gestureSelection)
        if (r.band != band) return -1;
    return band;
}

void DesignerDocument::dragSelection(double dx, double dy, int toBand, double bandShift)
{
    const QList<ObjectRef> sel = m_gestureSelection;
    const int from = gestureBand();
    QList<ObjectRef> now = sel;
    updateGesture([&](ReportTemplate &t) {
        auto place = [&](ReportObject &o, const Band &b, double shift) {
            o.rect.moveTo(snapped(o.rect.left() + dx), snapped(o.rect.top() + dy - shift));
            keepInside(o, b, t.page);
        };
        if (from < 0 || toBand < 0 || toBand >= t.bands.size() || toBand == from) {
            for (const ObjectRef &r : sel) place(t.bands[r.band].objects[r.index], t.bands[r.band], 0);
            return;
        }
        // Dropped on another band: the objects move onto it, in the order they were picked.
        QList<ReportObject> moved;
        for (const ObjectRef &r : sel) moved << t.bands[r.band].objects[r.index];
        removeObjects(t, sel);
        now.clear();
        Band &target = t.bands[toBand];
        for (ReportObject &o : moved) {
            place(o, target, bandShift);
            target.objects.append(o);
            now << ObjectRef {toBand, int(target.objects.size()) - 1};
        }
    });
    m_selection = now;
    if (!now.isEmpty()) m_currentBand = now.first().band;
}

void DesignerDocument::dragResize(double dw, double dh)
{
    const QList<ObjectRef> sel = m_gestureSelection;
    updateGesture([&](ReportTemplate &t) {
        for (const ObjectRef &r : sel) {
            Band &b = t.bands[r.band];
            ReportObject &o = b.objects[r.index];
            // The far corner lands on the grid, not the size.
            const double right = snapped(o.rect.right() + dw);
            const double bottom = snapped(o.rect.bottom() + dh);
            o.rect.setWidth(qMax(minSize(o), tidy(right - o.rect.left())));
            o.rect.setHeight(qMax(minSize(o), tidy(bottom - o.rect.top())));
            growBand(b, o);
        }
    });
}

void DesignerDocument::dragBandHeight(int band, double dh)
{
    if (band < 0 || band >= m_t.bands.size()) return;
    updateGesture([&](ReportTemplate &t) {
        Band &b = t.bands[band];
        b.height = qMax(0.0, snapped(b.height + dh));
    });
}

bool DesignerDocument::addObject(ObjectKind kind, const QByteArray &picture)
{
    if (m_t.bands.isEmpty()) return false;
    const int band = m_currentBand < 0 ? 0 : m_currentBand;
    ReportObject o;
    o.kind = kind;
    const double h = qMax(1.0, qMin(6.0, m_t.bands.at(band).height));
    switch (kind) {
    case ObjectKind::Text: o.rect = {0, 0, 30, h}; o.text = QStringLiteral("文本"); break;
    case ObjectKind::Line: o.rect = {0, 0, 30, 0}; break;
    case ObjectKind::Rect: o.rect = {0, 0, 30, h}; o.frame = Frame::all(); break;
    case ObjectKind::CheckBox: o.rect = {0, 0, 5, 5}; break;
    case ObjectKind::Picture: o.rect = {0, 0, 30, 30}; o.picture = picture; break;
    case ObjectKind::Chart: o.rect = {0, 0, 80, 60}; o.chartType = QStringLiteral("pie"); break;
    }
    // A name of its own, as the windows find objects by name.
    QSet<QString> names;
    for (const Band &b : m_t.bands)
        for (const ReportObject &x : b.objects) names.insert(x.name.toLower());
    const QString stem = kind == ObjectKind::Text ? QStringLiteral("Memo") : QStringLiteral("Object");
    int n = 1;
    while (names.contains((stem + QString::number(n)).toLower())) ++n;
    o.name = stem + QString::number(n);
    edit([&](ReportTemplate &t) {
        Band &b = t.bands[band];
        b.objects.append(o);
        growBand(b, o);   // a chart or picture is taller than most bands
    });
    select({{band, int(m_t.bands.at(band).objects.size()) - 1}});
    return true;
}

void DesignerDocument::deleteSelection()
{
    if (m_selection.isEmpty()) return;
    const QList<ObjectRef> sel = m_selection;
    m_selection.clear();
    edit([&](ReportTemplate &t) { removeObjects(t, sel); });
}

void DesignerDocument::addBand(BandKind kind)
{
    Band b;
    b.kind = kind;
    b.name = bandKindCaption(kind);
    b.height = kind == BandKind::MasterData || kind == BandKind::DetailData ? 8 : 12;
    int at = 0;
    while (at < m_t.bands.size() && pageRank(m_t.bands.at(at).kind) <= pageRank(kind)) ++at;
    // Bands below the new one move down a place; the selection follows them.
    QList<ObjectRef> sel = m_selection;
    for (ObjectRef &r : sel)
        if (r.band >= at) ++r.band;
    edit([&](ReportTemplate &t) { t.bands.insert(at, b); });
    m_selection = sel;
    m_currentBand = at;
}

void DesignerDocument::deleteBand(int band)
{
    if (band < 0 || band >= m_t.bands.size()) return;
    QList<ObjectRef> sel;
    for (ObjectRef r : m_selection) {
        if (r.band == band) continue;
        if (r.band > band) --r.band;
        sel << r;
    }
    m_selection.clear();
    edit([&](ReportTemplate &t) { t.bands.removeAt(band); });
    m_selection = sel;
    fixSelection();
}

} // namespace Report
