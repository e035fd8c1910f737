#include "ReportRenderer.h"

#include "Expression.h"
#include "PagePainter.h"

#include "app/BoolValue.h"
#include "data/RowSource.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <QVector>
#include <cmath>
#include <optional>

namespace Report {

namespace {

// Texts are measured as the painter lays them out, and a stretching text
// gets the room the painter keeps above and below it.
constexpr double kMmPerPx = 25.4 / TextLayoutDpi;
constexpr double kTextPadding = 2 * TextInset;
constexpr double kChartPxPerMm = 8;       // about 200 dpi
constexpr int kProgressEvery = 256;       // rows


QFont qfont(const Font &f)
{
    QFont q(f.family.isEmpty() ? QString::fromLatin1(DefaultFont) : f.family);
    q.setPointSizeF(f.size > 0 ? f.size : 10);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    return q;
}

QString layoutText(QString text)
{
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// The lines of a text in a box `width` mm wide, as the painter breaks them:
// their height in mm, up to the first line that would end below `limit` mm;
// `cut` is where that line starts (the text's length when all fit).
double layTextOut(const QFont &font, const QString &text, double width, bool wrap, double limit, qsizetype *cut)
{
    QTextLayout layout(layoutText(text), font, const_cast<QImage *>(&textLayoutDevice()));
    QTextOption opt;
    opt.setWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    layout.setTextOption(opt);
    const double widthPx = width / kMmPerPx;
    const double limitPx = limit / kMmPerPx;
    double y = 0;
    if (cut) *cut = text.size();
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(widthPx);
        line.setPosition(QPointF(0, y));
        if (y + line.height() > limitPx) {
            if (cut) *cut = line.textStart();
            break;
        }
        y += line.height();
    }
    layout.endLayout();
    return y * kMmPerPx;
}

// Where a text must be cut so that its first lines fit in a box `height` mm
// high: the index of the first character that does not fit (0: no line fits).
qsizetype fittingPrefix(const QFont &font, const QString &text, double width, double height, bool wrap)
{
    qsizetype cut = 0;
    layTextOut(font, text, width, wrap, height - kTextPadding, &cut);
    return cut;
}

// The current row of a source: the cells the template reads.
struct RowData {
    QVector<QVariant> values;
    QVector<QString> texts;
    bool valid = false;
};

struct Slot {
    QString name;
    RowSource *rows = nullptr;
    const DataSetSource *dataSet = nullptr;
    int currentRow = -1;
    int fieldCount = 0;
    QVector<int> columns;          // the columns anything reads
    RowData cur;                   // the row being laid out
    RowData last;                  // the last row placed on a page
    bool iterated = false;         // a master or detail band reads its rows
    QHash<int, int> aggregateOf;   // column (-1: rows) -> index into the accumulators
    QVector<Accumulator> running;  // rows placed so far
    QVector<Accumulator> page;     // rows placed on the current page

    void need(int column)
    {
        if (column >= 0 && !columns.contains(column)) columns << column;
    }
    RowData snapshot() const
    {
        RowData r;
        r.values.resize(fieldCount);
        r.texts.resize(fieldCount);
        for (int c : columns) {
            r.values[c] = rows->value(c);
            r.texts[c] = rows->text(c);
        }
        r.valid = true;
        return r;
    }
    void accumulate(const RowData &r)
    {
        for (auto it = aggregateOf.cbegin(); it != aggregateOf.cend(); ++it) {
            const QVariant v = it.key() >= 0 ? r.values.value(it.key()) : QVariant();
            running[it.value()].addRow(v, it.key() < 0);
            page[it.value()].addRow(v, it.key() < 0);
        }
    }
};

// An object of a band, its text parsed once and its picture drawn once.
struct CompiledObject {
    const ReportObject *object = nullptr;
    Expression expr;
    QImage image;                  // Picture, Chart
    std::optional<QFont> font;     // measured texts
};

struct CompiledBand {
    const Band *band = nullptr;
    QList<CompiledObject> objects;
};

struct PlacedObject {
    const CompiledObject *c = nullptr;
    QRectF rect;                   // band-relative
    QString text;
    Expression pending;            // parts filled in later; empty when final
    bool checked = false;
};

struct BandInstance {
    const CompiledBand *band = nullptr;
    QList<PlacedObject> objects;
    double height = 0;
};

struct Pending {
    int page;
    int item;
    Expression rest;
};

struct GroupLevel {
    Expression expr;
    QString key;                   // how the group expression was written
    const CompiledBand *header = nullptr;
    const CompiledBand *footer = nullptr;
    QString value;
};

struct DetailPlan {
    const CompiledBand *band = nullptr;
    int slot = -1;
    int masterColumn = -1;
    bool all = false;              // no key fields: every row under every master row
    QList<RowData> rows;
    QHash<QString, QList<int>> byKey;
};

struct MasterPlan {
    const CompiledBand *band = nullptr;
    int slot = -1;
    QList<DetailPlan> details;
    QList<GroupLevel> groups;
};

DetailPlan detailPlan(const CompiledBand *band)
{
    DetailPlan d;
    d.band = band;
    return d;
}

bool isDeferred(const ExprPart &p)
{
    return p.kind == ExprPart::TotalPages
           || (p.kind == ExprPart::Aggregate && p.scope != AggregateScope::Carried);
}

QString keyText(const QVariant &v)
{
    return v.toString().trimmed().toLower();
}

const QList<QColor> &chartColours()
{
    static const QList<QColor> c = {QColor(0x4e79a7), QColor(0xf28e2b), QColor(0xe15759), QColor(0x76b7b2),
                                    QColor(0x59a14f), QColor(0xedc948), QColor(0xb07aa1), QColor(0xff9da7),
                                    QColor(0x9c755f), QColor(0xbab0ac)};
    return c;
}

QImage drawChart(const ReportObject &o, const QList<QPair<QString, double>> &data)
{
    const QSize size(std::max(1, int(o.rect.width() * kChartPxPerMm)), std::max(1, int(o.rect.height() * kChartPxPerMm)));
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    img.setDotsPerMeterX(int(kChartPxPerMm * 1000));
    img.setDotsPerMeterY(int(kChartPxPerMm * 1000));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = qfont(o.font);
    p.setFont(f);
    const QFontMetricsF fm(f, &img);
    const double line = fm.height();
    double total = 0;
    double top = 0;
    for (const auto &d : data) {
        total += std::max(0.0, d.second);
        top = std::max(top, d.second);
    }
    if (data.isEmpty() || total <= 0) return img;
    if (o.chartType.compare(QLatin1String("bar"), Qt::CaseInsensitive) == 0) {
        const double left = size.width() * 0.05, right = size.width() * 0.95;
        const double base = size.height() - line * 1.5, ceiling = line * 1.5;
        const double slot = (right - left) / data.size();
        p.setPen(Qt::black);
        p.drawLine(QPointF(left, base), QPointF(right, base));
        for (int i = 0; i < data.size(); ++i) {
            const double h = top > 0 ? (base - ceiling) * std::max(0.0, data[i].second) / top : 0;
            const QRectF bar(left + i * slot + slot * 0.15, base - h, slot * 0.7, h);
            p.fillRect(bar, chartColours().at(i % chartColours().size()));
            p.drawText(QRectF(left + i * slot, base - h - line, slot, line), Qt::AlignCenter,
                       aggregateNumberText(data[i].second, nullptr));
            p.drawText(QRectF(left + i * slot, base, slot, line * 1.5), Qt::AlignCenter | Qt::TextWordWrap, data[i].first);
        }
        return img;
    }
    // Pie: the circle on the left, each slice's name and share on the right.
    const double d = std::min(size.height() * 0.9, size.width() * 0.5);
    const QRectF circle(size.width() * 0.03, (size.height() - d) / 2, d, d);
    double angle = 90 * 16;
    const double legendX = circle.right() + size.width() * 0.05;
    const double legendTop = std::max(0.0, (size.height() - line * data.size()) / 2);
    for (int i = 0; i < data.size(); ++i) {
        const QColor colour = chartColours().at(i % chartColours().size());
        const double share = std::max(0.0, data[i].second) / total;
        const double span = -share * 360 * 16;
        p.setPen(Qt::white);
        p.setBrush(colour);
        p.drawPie(circle, int(std::lround(angle)), int(std::lround(span)));
        angle += span;
        const double y = legendTop + i * line;
        p.fillRect(QRectF(legendX, y + line * 0.2, line * 0.6, line * 0.6), colour);
        p.setPen(Qt::black);
        p.drawText(QRectF(legendX + line, y, size.width() - legendX - line, line), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("%1 %2%").arg(data[i].first, QString::number(share * 100, 'f', 1)));
    }
    return img;
}

} // namespace

// --- Impl ---------------------------------------------------------------------

class ReportRenderer::Impl : public ExpressionContext {
public:
    Impl(const ReportTemplate &t, const Sources &s) : tpl(t), sources(s) {}

    // Copies: a renderer may outlive the template and source list it was given.
    const ReportTemplate tpl;
    const Sources sources;
    Progress progress;
    PageDone pageDone;
    QDateTime fixedNow;
    QDateTime startedAt;
    bool wasCancelled = false;
    QString errorText;

    // ExpressionContext
    QString fieldText(const ExprPart &p) const override
    {
        if (p.slot < 0 || p.column < 0) return {};
        const Slot &s = feeds.at(p.slot);
        const RowData &r = useLast && s.last.valid ? s.last : s.cur;
        return r.texts.value(p.column);
    }
    QString aggregateText(const ExprPart &p) const override
    {
        if (p.slot < 0) return {};
        const Slot &s = feeds.at(p.slot);
        const int idx = s.aggregateOf.value(p.field.isEmpty() ? -1 : p.column, -1);
        if (!s.rows || idx < 0) return {};   // unknown source or field
        const Accumulator &a = p.scope == AggregateScope::Page ? s.page.at(idx) : s.running.at(idx);
        const CellFormat *format = s.dataSet && p.column >= 0 ? &s.dataSet->format(p.column) : nullptr;
        return a.text(p.func, p.field.isEmpty(), format);
    }
    int pageNumber() const override { return int(out->pages.size()); }
    int totalPages() const override { return finalPages; }
    QDateTime now() const override { return startedAt; }

    bool run(PreparedReport &report);

private:
    PreparedReport *out = nullptr;
    QList<Slot> feeds;
    QHash<QString, int> slotByName;
    QList<CompiledBand> bands;
    QList<MasterPlan> masters;
    QList<Pending> pending;
    bool useLast = false;
    int finalPages = 0;

    // Page state.
    double y = 0;
    double bottom = 0;
    bool pageHasContent = false;
    bool columnHeaderPlaced = false;
    int bandRow = 0;
    int cellColumn = 0;
    double cellLineHeight = 0;
    bool pendingBreak = false;
    int rowsDone = 0;
    int rowsTotal = 0;

    QList<const CompiledBand *> bandsOf(BandKind k) const
    {
        QList<const CompiledBand *> list;
        for (const CompiledBand &b : bands)
            if (b.band->kind == k) list << &b;
        return list;
    }
    double heightOf(BandKind k) const
    {
        double h = 0;
        for (const CompiledBand *b : bandsOf(k)) h += b->band->height;
        return h;
    }
    double left() const { return tpl.page.margins.left(); }
    double bodyWidth() const { return tpl.page.size().width() - tpl.page.margins.left() - tpl.page.margins.right(); }
    int columns() const { return std::max(1, tpl.page.columns); }
    double cellWidth() const { return (bodyWidth() - tpl.page.columnGap * (columns() - 1)) / columns(); }

    int slotFor(const QString &name);
    void bind(Expression &e);
    void compile();
    void planMasters();
    bool prepareSlots();
    void loadDetails(DetailPlan &d);
    bool readRow(Slot &s, int row);

    BandInstance layout(const CompiledBand &b);
    bool split(const BandInstance &in, double avail, BandInstance *first, BandInstance *rest) const;
    void place(const BandInstance &inst, double x);
    void startPage();
    void endPage();
    bool needsColumnHeader(BandKind k) const
    {
        return k != BandKind::PageHeader && k != BandKind::PageFooter && k != BandKind::ReportTitle
               && k != BandKind::ColumnHeader;
    }
    double columnHeaderRoom() const { return columnHeaderPlaced ? 0 : heightOf(BandKind::ColumnHeader); }
    void ensureRoom(double h);
    void placeColumnHeader();
    void placeBand(const CompiledBand &b);
    void placeInstance(BandInstance inst);
    void placeCell(const CompiledBand &b);
    void flushCells();
    void placeGroupFooters(MasterPlan &m, int from);
    bool runMaster(MasterPlan &m);
    bool reportProgress();
};

int ReportRenderer::Impl::slotFor(const QString &name)
{
    const QString key = name.trimmed().toLower();
    if (key.isEmpty()) return -1;
    const auto it = slotByName.constFind(key);
    if (it != slotByName.cend()) return it.value();
    Slot s;
    s.name = key;
    const BoundSource b = sources.find(key);
    s.rows = b.rows;
    s.dataSet = dynamic_cast<const DataSetSource *>(b.rows);
    s.currentRow = b.currentRow;
    s.fieldCount = b.rows ? int(b.rows->fieldNames().size()) : 0;
    feeds << s;
    slotByName.insert(key, int(feeds.size() - 1));
    return int(feeds.size() - 1);
}

void ReportRenderer::Impl::bind(Expression &e)
{
    for (ExprPart &p : e.parts()) {
        if (p.kind != ExprPart::Field && p.kind != ExprPart::Aggregate) continue;
        p.slot = slotFor(p.source);
        Slot &s = feeds[p.slot];
        p.column = s.rows && !p.field.isEmpty() ? s.rows->columnOf(p.field) : -1;
        s.need(p.column);
        if (p.kind == ExprPart::Aggregate) {
            // An unknown field has no figures; COUNT(src) counts rows.
            const int key = p.field.isEmpty() ? -1 : p.column;
            if ((key >= 0 || p.field.isEmpty()) && !s.aggregateOf.contains(key)) {
                s.aggregateOf.insert(key, int(s.running.size()));
                s.running << Accumulator();
                s.page << Accumulator();
            }
        }
    }
}

void ReportRenderer::Impl::compile()
{
    for (const Band &b : tpl.bands) {
        CompiledBand cb;
        cb.band = &b;
        for (const ReportObject &o : b.objects) {
            CompiledObject c;
            c.object = &o;
            if (o.kind == ObjectKind::Text || o.kind == ObjectKind::CheckBox) {
                c.expr = Expression(o.text);
                bind(c.expr);
                if (o.kind == ObjectKind::Text) c.font = qfont(o.font);
            } else if (o.kind == ObjectKind::Picture) {
                c.image = QImage::fromData(o.picture);
            }
            cb.objects << c;
        }
        bands << cb;
    }
}

void ReportRenderer::Impl::planMasters()
{
    MasterPlan *current = nullptr;
    QList<const CompiledBand *> orphanDetails;
    for (const CompiledBand &b : bands) {
        if (b.band->kind == BandKind::MasterData) {
            MasterPlan m;
            m.band = &b;
            m.slot = slotFor(b.band->source);
            masters << m;
            current = &masters.last();
            for (const CompiledBand *orphan : orphanDetails) current->details << detailPlan(orphan);
            orphanDetails.clear();
        } else if (b.band->kind == BandKind::DetailData) {
            if (current) current->details << detailPlan(&b);
            else orphanDetails << &b;
        }
    }
    if (masters.isEmpty()) return;
    // Groups go with the master band whose source their expression names.
    auto masterFor = [&](const Expression &e) -> MasterPlan & {
        for (const ExprPart &p : e.parts())
            for (MasterPlan &m : masters)
                if (p.kind == ExprPart::Field && p.slot == m.slot) return m;
        return masters.first();
    };
    auto groupExpression = [](const QString &text) {
        const QString t = text.trimmed();
        return Expression(t.contains(QLatin1Char('[')) ? t : QStringLiteral("[%1]").arg(t));
    };
    for (const CompiledBand &b : bands) {
        if (b.band->kind != BandKind::GroupHeader && b.band->kind != BandKind::GroupFooter) continue;
        Expression e = groupExpression(b.band->groupExpression);
        bind(e);
        MasterPlan &m = masterFor(e);
        const QString key = b.band->groupExpression.trimmed().toLower();
        GroupLevel *level = nullptr;
        for (GroupLevel &g : m.groups)
            if (g.key == key && !(b.band->kind == BandKind::GroupHeader ? g.header : g.footer)) level = &g;
        if (!level) {
            GroupLevel g;
            g.expr = e;
            g.key = key;
            m.groups << g;
            level = &m.groups.last();
        }
        (b.band->kind == BandKind::GroupHeader ? level->header : level->footer) = &b;
    }
    for (MasterPlan &m : masters) {
        feeds[m.slot].iterated = true;
        for (DetailPlan &plan : m.details) {
            const Band &band = *plan.band->band;
            plan.slot = slotFor(band.source);
            feeds[plan.slot].iterated = true;
            Slot &ms = feeds[m.slot];
            plan.all = band.detailField.trimmed().isEmpty() && band.masterField.trimmed().isEmpty();
            plan.masterColumn = ms.rows && !plan.all ? ms.rows->columnOf(band.masterField.trimmed()) : -1;
            ms.need(plan.masterColumn);
        }
    }
}

bool ReportRenderer::Impl::readRow(Slot &s, int row)
{
    if (!s.rows || row < 0) return false;
    if (s.dataSet) {
        // Random access: no need to read up to the row.
        if (row >= s.dataSet->rowCount()) return false;
        RowData r;
        r.values.resize(s.fieldCount);
        r.texts.resize(s.fieldCount);
        for (int c : s.columns) {
            r.values[c] = s.dataSet->valueAt(row, c);
            r.texts[c] = s.dataSet->textAt(row, c);
        }
        r.valid = true;
        s.cur = r;
        return true;
    }
    if (!s.rows->start()) return false;
    for (int i = 0; i <= row; ++i)
        if (!s.rows->nextRow()) return false;
    s.cur = s.snapshot();
    return true;
}

void ReportRenderer::Impl::loadDetails(DetailPlan &plan)
{
    Slot &s = feeds[plan.slot];
    if (!s.rows) return;
    const int keyColumn = plan.all ? -1 : s.rows->columnOf(plan.band->band->detailField.trimmed());
    if (!plan.all && (keyColumn < 0 || plan.masterColumn < 0)) return;   // unknown key: no row matches
    s.need(keyColumn);
    if (!s.rows->start()) return;
    while (s.rows->nextRow()) {
        plan.rows << s.snapshot();
        if (!plan.all) plan.byKey[keyText(plan.rows.last().values.value(keyColumn))] << int(plan.rows.size() - 1);
    }
    if (!s.rows->error().isEmpty()) errorText = s.rows->error();
}

bool ReportRenderer::Impl::prepareSlots()
{
    // Charts read their whole source before any band streams it.
    for (CompiledBand &b : bands)
        for (CompiledObject &c : b.objects) {
            const ReportObject &o = *c.object;
            if (o.kind != ObjectKind::Chart) continue;
            const BoundSource src = sources.find(o.chartSource);
            QList<QPair<QString, double>> data;
            if (src.rows && src.rows->start()) {
                const int lc = src.rows->columnOf(o.labelField), vc = src.rows->columnOf(o.valueField);
                while (lc >= 0 && vc >= 0 && src.rows->nextRow())
                    data << qMakePair(src.rows->text(lc), src.rows->value(vc).toDouble());
            }
            c.image = drawChart(o, data);
        }
    for (MasterPlan &m : masters) {
        for (DetailPlan &plan : m.details) loadDetails(plan);
        // The title and the first page header show the first row (or the one
        // row) of the first band that reads the source.
        Slot &s = feeds[m.slot];
        if (!s.cur.valid) readRow(s, m.band->band->currentRowOnly ? s.currentRow : 0);
    }
    // A source no band reads shows its current row (else its first), and
    // its totals are over all its rows.
    for (Slot &s : feeds) {
        if (s.iterated || !s.rows) continue;
        readRow(s, std::max(0, s.currentRow));
        if (s.aggregateOf.isEmpty() || !s.rows->start()) continue;
        while (s.rows->nextRow()) s.accumulate(s.snapshot());
        if (!s.rows->error().isEmpty()) errorText = s.rows->error();
    }
    return errorText.isEmpty();
}

BandInstance ReportRenderer::Impl::layout(const CompiledBand &b)
{
    BandInstance inst;
    inst.band = &b;
    inst.height = std::max(0.0, b.band->height);
    for (const CompiledObject &c : b.objects) {
        PlacedObject p;
        p.c = &c;
        p.rect = c.object->rect;
        const ObjectKind kind = c.object->kind;
        if (kind == ObjectKind::Text || kind == ObjectKind::CheckBox) {
            bool deferred = false;
            for (const ExprPart &part : c.expr.parts()) deferred = deferred || isDeferred(part);
            if (deferred) {
                p.pending = c.expr.resolvedExcept(*this, isDeferred);
                p.text = p.pending.evaluate(*this);
            } else {
                p.text = c.expr.evaluate(*this);
            }
            if (kind == ObjectKind::CheckBox) {
                // A field is read by its value: a bit column's text is a tick, not a flag.
                const ExprPart *f = c.expr.onlyField();
                if (f && f->slot >= 0 && f->column >= 0) {
                    const Slot &s = feeds.at(f->slot);
                    const RowData &r = useLast && s.last.valid ? s.last : s.cur;
                    p.checked = boolValue(r.values.value(f->column));
                } else {
                    p.checked = boolValue(p.text) || p.text.trimmed() == QStringLiteral("√");
                }
            } else if (c.object->stretch && !p.text.isEmpty()) {
                const double h = textHeight(c.object->font, p.text, p.rect.width(), c.object->wordWrap);
                if (h > p.rect.height()) p.rect.setHeight(h);
            }
        }
        inst.height = std::max(inst.height, p.rect.bottom());
        inst.objects << p;
    }
    return inst;
}

// Cuts a band at `avail` mm: what fits stays, the rest moves up to the top of
// the remainder. False when nothing would move on, so the caller cuts it off.
bool ReportRenderer::Impl::split(const BandInstance &in, double avail, BandInstance *first, BandInstance *rest) const
{
    *first = BandInstance{in.band, {}, avail};
    *rest = BandInstance{in.band, {}, std::max(0.0, in.band->band->height - avail)};
    for (const PlacedObject &o : in.objects) {
        const QRectF r = o.rect;
        if (r.bottom() <= avail) {
            first->objects << o;
            continue;
        }
        if (r.top() >= avail) {
            PlacedObject moved = o;
            moved.rect.translate(0, -avail);
            rest->objects << moved;
            rest->height = std::max(rest->height, moved.rect.bottom());
            continue;
        }
        const ObjectKind kind = o.c->object->kind;
        if (kind == ObjectKind::Text && o.pending.parts().isEmpty() && o.c->font) {
            const qsizetype cut = fittingPrefix(*o.c->font, o.text, r.width(), avail - r.top(), o.c->object->wordWrap);
            PlacedObject head = o, tail = o;
            head.rect.setBottom(avail);
            head.text = o.text.left(cut);
            if (head.text.endsWith(QLatin1Char('\n'))) head.text.chop(1);
            tail.text = o.text.mid(cut);
            tail.rect = QRectF(r.left(), 0, r.width(), r.bottom() - avail);
            const double need = textHeight(o.c->object->font, tail.text, r.width(), o.c->object->wordWrap);
            tail.rect.setHeight(std::max(tail.rect.height(), need));
            if (!head.text.isEmpty()) first->objects << head;
            rest->objects << tail;
            rest->height = std::max(rest->height, tail.rect.bottom());
        } else if (kind == ObjectKind::Rect || kind == ObjectKind::Line || kind == ObjectKind::Text) {
            PlacedObject head = o, tail = o;
            head.rect.setBottom(avail);
            tail.rect = QRectF(r.left(), 0, r.width(), r.bottom() - avail);
            first->objects << head;
            rest->objects << tail;
            rest->height = std::max(rest->height, tail.rect.bottom());
        } else {
            PlacedObject cutOff = o;
            cutOff.rect.setBottom(avail);
            first->objects << cutOff;
        }
    }
    return rest->height < in.height;
}

void ReportRenderer::Impl::place(const BandInstance &inst, double x)
{
    PreparedPage &page = out->pages.last();
    const BandKind kind = inst.band->band->kind;
    for (const PlacedObject &p : inst.objects) {
        const ReportObject &o = *p.c->object;
        PreparedItem item;
        switch (o.kind) {
        case ObjectKind::Text: item.kind = PreparedItem::Text; break;
        case ObjectKind::Line: item.kind = PreparedItem::Line; break;
        case ObjectKind::Rect: item.kind = PreparedItem::Rect; break;
        case ObjectKind::CheckBox: item.kind = PreparedItem::CheckBox; break;
        case ObjectKind::Picture: case ObjectKind::Chart: item.kind = PreparedItem::Picture; break;
        }
        item.rect = p.rect.translated(x, y);
        item.text = p.text;
        item.font = o.font;
        item.alignment = o.alignment;
        item.wordWrap = o.wordWrap;
        item.frame = o.frame;
        item.color = o.color;
        item.fill = o.fill;
        item.checked = p.checked;
        item.picture = p.c->image;
        item.band = kind;
        item.bandRow = bandRow;
        if (!p.pending.parts().isEmpty() && !p.pending.isLiteral())
            pending << Pending{int(out->pages.size() - 1), int(page.items.size()), p.pending};
        page.items << item;
    }
    ++bandRow;
}

void ReportRenderer::Impl::startPage()
{
    PreparedPage page;
    page.size = tpl.page.size();
    out->pages << page;
    y = tpl.page.margins.top();
    bottom = page.size.height() - tpl.page.margins.bottom() - heightOf(BandKind::PageFooter);
    pageHasContent = false;
    columnHeaderPlaced = false;
    bandRow = 0;
    cellColumn = 0;
    cellLineHeight = 0;
    for (Slot &s : feeds)
        for (Accumulator &a : s.page) a = Accumulator();
    if (out->pages.size() == 1) {
        for (const CompiledBand *b : bandsOf(BandKind::ReportTitle)) {
            placeInstance(layout(*b));
            pageHasContent = true;
        }
        // A title taller than a page went on to the next, which has its page header already.
        if (out->pages.size() > 1) return;
    }
    for (const CompiledBand *b : bandsOf(BandKind::PageHeader)) {
        BandInstance inst = layout(*b);
        inst.height = std::min(inst.height, std::max(0.0, bottom - y));
        place(inst, left());
        y += inst.height;
    }
}

void ReportRenderer::Impl::endPage()
{
    flushCells();
    const int index = int(out->pages.size() - 1);
    y = out->pages.last().size.height() - tpl.page.margins.bottom() - heightOf(BandKind::PageFooter);
    const bool wasUsingLast = useLast;
    useLast = true;
    for (const CompiledBand *b : bandsOf(BandKind::PageFooter)) {
        BandInstance inst = layout(*b);
        inst.height = b->band->height;   // its room is kept free; it never grows into the page
        place(inst, left());
        y += inst.height;
    }
    // Page totals are known now.
    const auto notPageScope = [](const ExprPart &p) {
        return !(p.kind == ExprPart::Aggregate && p.scope == AggregateScope::Page);
    };
    for (qsizetype i = 0; i < pending.size();) {
        Pending &pd = pending[i];
        if (pd.page != index || !pd.rest.usesAggregate(AggregateScope::Page)) {
            ++i;
            continue;
        }
        pd.rest = pd.rest.resolvedExcept(*this, notPageScope);
        out->pages[index].items[pd.item].text = pd.rest.evaluate(*this);
        if (pd.rest.isLiteral()) pending.removeAt(i);
        else ++i;
    }
    useLast = wasUsingLast;
    if (pageDone) pageDone(index, *out);
}

void ReportRenderer::Impl::ensureRoom(double h)
{
    if (y + h <= bottom + 1e-9 || !pageHasContent) return;
    endPage();
    startPage();
}

void ReportRenderer::Impl::placeColumnHeader()
{
    if (columnHeaderPlaced) return;
    columnHeaderPlaced = true;
    for (const CompiledBand *b : bandsOf(BandKind::ColumnHeader)) placeInstance(layout(*b));
}

void ReportRenderer::Impl::placeInstance(BandInstance inst)
{
    const BandKind kind = inst.band->band->kind;
    for (;;) {
        const double avail = bottom - y;
        if (inst.height <= avail + 1e-9 || kind == BandKind::ColumnHeader) break;
        BandInstance first, rest;
        if (avail <= 0 || !split(inst, avail, &first, &rest)) {
            // Nothing would move on (a line taller than a page): cut it at the page's end.
            inst.height = std::max(0.0, avail);
            for (PlacedObject &o : inst.objects)
                if (o.rect.bottom() > avail) o.rect.setBottom(std::max(o.rect.top(), avail));
            break;
        }
        place(first, left());
        y += first.height;
        pageHasContent = true;
        endPage();
        startPage();
        if (needsColumnHeader(kind)) placeColumnHeader();
        inst = rest;
    }
    place(inst, left());
    y += inst.height;
    if (kind != BandKind::ColumnHeader) pageHasContent = true;
}

void ReportRenderer::Impl::placeBand(const CompiledBand &b)
{
    flushCells();
    const qsizetype pages = out->pages.size();
    BandInstance inst = layout(b);
    const bool header = needsColumnHeader(b.band->kind);
    ensureRoom(inst.height + (header ? columnHeaderRoom() : 0));
    if (header) placeColumnHeader();
    if (out->pages.size() != pages) inst = layout(b);   // on the next page: its page number
    placeInstance(inst);
}

// Labels: master rows fill the page across, then down.
void ReportRenderer::Impl::placeCell(const CompiledBand &b)
{
    const qsizetype pages = out->pages.size();
    BandInstance inst = layout(b);
    if (cellColumn == 0 || y + inst.height > bottom) {
        flushCells();
        ensureRoom(inst.height + columnHeaderRoom());
        placeColumnHeader();
        if (out->pages.size() != pages) inst = layout(b);
    }
    inst.height = std::min(inst.height, bottom - y);
    place(inst, left() + cellColumn * (cellWidth() + tpl.page.columnGap));
    pageHasContent = true;
    cellLineHeight = std::max(cellLineHeight, inst.height);
    if (++cellColumn == columns()) flushCells();
}

void ReportRenderer::Impl::flushCells()
{
    if (cellColumn == 0) return;
    y += cellLineHeight;
    cellColumn = 0;
    cellLineHeight = 0;
}

void ReportRenderer::Impl::placeGroupFooters(MasterPlan &m, int from)
{
    useLast = true;
    for (int level = int(m.groups.size()) - 1; level >= from; --level) {
        const GroupLevel &g = m.groups.at(level);
        if (!g.footer) continue;
        placeBand(*g.footer);
        if (g.footer->band->newPageAfter) pendingBreak = true;
    }
    useLast = false;
}

bool ReportRenderer::Impl::reportProgress()
{
    if (progress && !progress(int(out->pages.size()), rowsDone, rowsTotal)) {
        wasCancelled = true;
        return false;
    }
    return true;
}

bool ReportRenderer::Impl::runMaster(MasterPlan &m)
{
    Slot &s = feeds[m.slot];
    if (!s.rows) return true;
    const bool one = m.band->band->currentRowOnly;
    // The one row is read again: a band before may have read the source to its end.
    if (one ? !readRow(s, s.currentRow) : !s.rows->start()) return true;
    bool first = true;
    bool more = one || s.rows->nextRow();
    while (more) {
        if (!one) s.cur = s.snapshot();
        // Which groups end with the row before and start with this one.
        int changed = first ? 0 : int(m.groups.size());
        for (int level = 0; level < m.groups.size(); ++level) {
            const QString v = m.groups[level].expr.evaluate(*this);
            if (!first && changed == m.groups.size() && v != m.groups[level].value) changed = level;
            m.groups[level].value = v;
        }
        if (!first && changed < m.groups.size()) placeGroupFooters(m, changed);
        if (pendingBreak) {
            pendingBreak = false;
            flushCells();
            if (pageHasContent) {
                endPage();
                startPage();
            }
        }
        if (changed < m.groups.size()) {
            // A group header keeps its first row with it.
            flushCells();
            double need = columnHeaderRoom();
            for (int level = changed; level < m.groups.size(); ++level)
                if (m.groups[level].header) need += layout(*m.groups[level].header).height;
            need += layout(*m.band).height;
            ensureRoom(need);
            for (int level = changed; level < m.groups.size(); ++level)
                if (m.groups[level].header) placeBand(*m.groups[level].header);
        }
        if (columns() > 1) placeCell(*m.band);
        else placeBand(*m.band);
        s.accumulate(s.cur);
        s.last = s.cur;
        for (DetailPlan &plan : m.details) {
            Slot &ds = feeds[plan.slot];
            const QList<int> rows = plan.all ? QList<int>() : plan.byKey.value(keyText(s.cur.values.value(plan.masterColumn)));
            const int n = plan.all ? int(plan.rows.size()) : int(rows.size());
            for (int i = 0; i < n; ++i) {
                ds.cur = plan.rows.at(plan.all ? i : rows.at(i));
                placeBand(*plan.band);
                ds.accumulate(ds.cur);
                ds.last = ds.cur;
            }
        }
        if (m.band->band->newPageAfter) pendingBreak = true;
        first = false;
        ++rowsDone;
        if (rowsDone % kProgressEvery == 0 && !reportProgress()) return false;
        more = !one && s.rows->nextRow();
    }
    if (!one && !s.rows->error().isEmpty()) {
        errorText = s.rows->error();
        return false;
    }
    if (!first) placeGroupFooters(m, 0);
    flushCells();
    return true;
}

bool ReportRenderer::Impl::run(PreparedReport &report)
{
    out = &report;
    report.pages.clear();
    startedAt = fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime();
    compile();
    planMasters();
    if (!prepareSlots()) return false;
    for (const MasterPlan &m : masters) {
        const Slot &s = feeds.at(m.slot);
        rowsTotal += !s.rows ? 0 : m.band->band->currentRowOnly ? 1 : s.rows->rowCount();
    }
    if (!reportProgress()) return false;
    startPage();
    for (MasterPlan &m : masters)
        if (!runMaster(m)) break;
    if (!wasCancelled && errorText.isEmpty()) {
        pendingBreak = false;
        for (const CompiledBand *b : bandsOf(BandKind::ReportSummary)) placeBand(*b);
    }
    endPage();
    // The figures of the whole report.
    finalPages = int(report.pages.size());
    for (const Pending &p : pending) report.pages[p.page].items[p.item].text = p.rest.evaluate(*this);
    pending.clear();
    if (!wasCancelled && errorText.isEmpty()) reportProgress();
    return !wasCancelled && errorText.isEmpty();
}

// --- ReportRenderer -------------------------------------------------------------

ReportRenderer::ReportRenderer(const ReportTemplate &t, const Sources &sources)
    : d(std::make_unique<Impl>(t, sources))
{
}

ReportRenderer::~ReportRenderer() = default;

void ReportRenderer::setProgress(Progress progress) { d->progress = std::move(progress); }
void ReportRenderer::setPageDone(PageDone pageDone) { d->pageDone = std::move(pageDone); }
void ReportRenderer::setNow(const QDateTime &now) { d->fixedNow = now; }
bool ReportRenderer::cancelled() const { return d->wasCancelled; }
QString ReportRenderer::error() const { return d->errorText; }

bool ReportRenderer::render(PreparedReport &out)
{
    // A second call starts afresh.
    auto fresh = std::make_unique<Impl>(d->tpl, d->sources);
    fresh->progress = d->progress;
    fresh->pageDone = d->pageDone;
    fresh->fixedNow = d->fixedNow;
    d = std::move(fresh);
    return d->run(out);
}

double ReportRenderer::textHeight(const Font &font, const QString &text, double width, bool wordWrap)
{
    if (text.isEmpty()) return 0;
    return layTextOut(qfont(font), text, width, wordWrap, 1e12, nullptr) + kTextPadding;
}

} // namespace Report
