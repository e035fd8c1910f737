#include "DataGrid.h"

#include "app/BoolValue.h"
#include "data/DataSet.h"
#include "data/TdmData.h"

#include <QSet>
#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTimer>

namespace {
constexpr int kSearchPauseMs = 1500;                         // a longer pause starts a new search
constexpr int kIndicatorWidth = 14;
constexpr int kSumDelayMs = 400;                             // typing pause before a long list is summed
} // namespace

// --- model --------------------------------------------------------------

class DataGridModel : public QAbstractTableModel {
public:
    explicit DataGridModel(DataGrid *grid) : QAbstractTableModel(grid), m_grid(grid) {}

    void reset();

    int fieldIndex(int column) const { return m_grid->m_source ? m_grid->m_source->field(column) : -1; }

    // A long list shows its first page at once and grows when its count
    // arrives; only a view scrolled to the end waits for the count.
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }

    bool canFetchMore(const QModelIndex &parent) const override
    {
        const DataSet *ds = m_grid->m_ds;
        return !parent.isValid() && ds && ds->isActive() && !ds->isRecordCountKnown();
    }

    void fetchMore(const QModelIndex &parent) override
    {
        if (canFetchMore(parent)) m_grid->m_ds->recordCount();   // arrives through countKnown
    }

    void countKnown(int count)
    {
        if (count > m_rows) {
            beginInsertRows({}, m_rows, count - 1);
            m_rows = count;
            endInsertRows();
        } else if (count < m_rows) {
            beginRemoveRows({}, count, m_rows - 1);
            m_rows = count;
            endRemoveRows();
        }
    }

    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_grid->m_columns.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const DataSet *ds = m_grid->m_ds;
        if (!ds || !index.isValid()) return {};
        const GridColumn &col = m_grid->m_columns.at(index.column());
        const int field = fieldIndex(index.column());
        switch (role) {
        case Qt::DisplayRole:
            if (field >= 0 && ds->fieldKind(field) == FieldKind::Bool) return {};   // a tick box
            return m_grid->m_source->textAt(index.row(), index.column());
        case Qt::EditRole: return ds->value(index.row(), field);
        case Qt::CheckStateRole:
            if (field >= 0 && ds->fieldKind(field) == FieldKind::Bool) {
                return boolValue(ds->value(index.row(), field)) ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        case Qt::TextAlignmentRole: return int(col.alignment);
        case Qt::ForegroundRole:
        case Qt::BackgroundRole:
            if (!rowColours(index.row())) return {};
            return role == Qt::ForegroundRole ? m_text : m_background;
        default: return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
        if (section < 0 || section >= m_grid->m_columns.size()) return {};
        const GridColumn &col = m_grid->m_columns.at(section);
        if (role == Qt::DisplayRole) return col.caption;
        if (role == Qt::TextAlignmentRole) return int(col.titleAlignment);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        const DataSet *ds = m_grid->m_ds;
        if (index.isValid() && !m_grid->m_readOnly && ds && ds->cachedUpdates()
            && !m_grid->m_columns.at(index.column()).readOnly && fieldIndex(index.column()) >= 0)
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        DataSet *ds = m_grid->m_ds;
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
        ds->setRecNo(index.row());
        if (!ds->setFieldValue(m_grid->m_columns.at(index.column()).field, value)) return false;
        emit dataChanged(index, index);   // the grid refreshes its footer sums on this
        return true;
    }

    void invalidateColours() { m_colourRow = -1; }

private:
    // The hook runs once per row, not once per cell.
    bool rowColours(int row) const
    {
        if (!m_grid->m_rowColours) return false;
        if (row != m_colourRow) {
            m_colourRow = row;
            m_text = m_background = QColor();
            m_hasColours = m_grid->m_rowColours(*m_grid->m_ds, row, &m_text, &m_background);
        }
        return m_hasColours;
    }

    DataGrid *m_grid;
    int m_rows = 0;
    mutable int m_colourRow = -1;
    mutable bool m_hasColours = false;
    mutable QColor m_text, m_background;
};

// --- title row with a sort marker per column -----------------------------

class GridHeader : public QHeaderView {
public:
    explicit GridHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
    {
        setSectionsClickable(true);
        setSectionsMovable(true);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logical) const override
    {
        painter->save();
        QHeaderView::paintSection(painter, rect, logical);
        painter->restore();
        if (logical < 0 || logical >= m_grid->columnCount()) return;
        const SortMarker marker = m_grid->column(logical).sortMarker;
        if (marker == SortMarker::None) return;
        // A small triangle at the right edge: up for ascending, down for descending.
        const int s = 4;
        const QPoint c(rect.right() - 8, rect.center().y());
        QPainterPath p;
        if (marker == SortMarker::Ascending) {
            p.moveTo(c.x() - s, c.y() + s / 2);
            p.lineTo(c.x() + s, c.y() + s / 2);
            p.lineTo(c.x(), c.y() - s / 2 - 1);
        } else {
            p.moveTo(c.x() - s, c.y() - s / 2);
            p.lineTo(c.x() + s, c.y() - s / 2);
            p.lineTo(c.x(), c.y() + s / 2 + 1);
        }
        p.closeSubpath();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(p, palette().color(QPalette::WindowText));
        painter->restore();
    }

private:
    DataGrid *m_grid;
};

// --- footer row -----------------------------------------------------------

class GridFooter : public QWidget {
public:
    explicit GridFooter(DataGrid *grid) : QWidget(grid), m_grid(grid)
    {
        m_delay.setSingleShot(true);
        m_delay.setInterval(kSumDelayMs);
        connect(&m_delay, &QTimer::timeout, this, [this] {
            computeSums();
            update();
        });
    }

    void invalidate()
    {
        m_sums.clear();
        m_summed = false;
        m_delay.stop();
        update();
    }

    // Asked for by someone who needs the figure now (printing, tests).
    QString textNow(int column) const
    {
        m_computeNow = true;
        const QString t = text(column);
        m_computeNow = false;
        return t;
    }

    // Every summed column in one go (and, for a large list, the row count with them).
    void computeSums() const
    {
        m_summed = true;
        m_sums.clear();
        const DataSet *ds = m_grid->m_ds;
        if (!ds || !ds->isActive()) return;
        QVector<int> columns, fields;
        for (int c = 0; c < m_grid->columnCount(); ++c) {
            if (m_grid->column(c).footerKind != FooterKind::Sum) continue;
            columns << c;
            fields << m_grid->m_model->fieldIndex(c);
        }
        if (columns.isEmpty()) return;
        const QVector<double> totals = ds->sums(fields);
        for (int i = 0; i < columns.size(); ++i) m_sums.insert(columns[i], totals.value(i));
    }

    QString text(int column) const
    {
        if (column < 0 || column >= m_grid->columnCount()) return {};
        const GridColumn &col = m_grid->column(column);
        switch (col.footerKind) {
        case FooterKind::Text: return col.footerValue;
        case FooterKind::Sum: {
            const DataSet *ds = m_grid->m_ds;
            if (!ds || !ds->isActive()) return {};
            if (!m_summed) {
                // Loaded rows are summed at once; a long list reads its whole
                // table for a total, so that waits until the operator stops
                // typing, or until its window supplies the totals.
                if (!ds->isFullyFetched() && !m_computeNow && !ds->hasSums(m_grid->footerSumFields())) {
                    if (!m_grid->m_footerSumsSupplied) m_delay.start();
                    return {};
                }
                computeSums();
            }
            return m_grid->displayText(column, m_sums.value(column));
        }
        case FooterKind::None: break;
        }
        return {};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        const QHeaderView *header = m_grid->horizontalHeader();
        const int x0 = m_grid->viewport()->x() - x();
        for (int col = 0; col < m_grid->columnCount(); ++col) {
            if (header->isSectionHidden(col)) continue;
            const QRect cell(x0 + header->sectionViewportPosition(col), 1, header->sectionSize(col), height() - 1);
            if (cell.right() < x0 || cell.left() > x0 + m_grid->viewport()->width()) continue;
            p.setClipRect(QRect(x0, 0, m_grid->viewport()->width(), height()));
            p.setPen(palette().color(QPalette::Mid));
            p.drawLine(cell.topRight(), cell.bottomRight());
            const QString t = text(col);
            if (t.isEmpty()) continue;
            p.setPen(palette().color(QPalette::ButtonText));
            const QRect inner = cell.adjusted(3, 0, -4, 0);
            p.drawText(inner, int(m_grid->column(col).alignment | Qt::AlignVCenter) & ~Qt::AlignTop & ~Qt::AlignBottom,
                       p.fontMetrics().elidedText(t, Qt::ElideRight, inner.width()));
        }
    }

private:
    DataGrid *m_grid;
    mutable QHash<int, double> m_sums;   // per column, until the rows change
    mutable bool m_summed = false;
    mutable bool m_computeNow = false;
    mutable QTimer m_delay;
};

void DataGridModel::reset()
{
    beginResetModel();
    const DataSet *ds = m_grid->m_ds;
    m_grid->m_source = m_grid->rowSource(DataGrid::Columns::All);
    m_rows = ds && ds->isActive() ? ds->knownRecordCount() : 0;
    m_colourRow = -1;
    endResetModel();
}

// --- grid -----------------------------------------------------------------

DataGrid::DataGrid(QWidget *parent) : QTableView(parent)
{
    m_model = new DataGridModel(this);
    m_footer = new GridFooter(this);
    m_footer->hide();
    setHorizontalHeader(new GridHeader(this));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAlternatingRowColors(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(8);
    QHeaderView *rows = verticalHeader();
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    rows->setMinimumSectionSize(fontMetrics().height() / 2 + 2);
    rows->setSectionResizeMode(QHeaderView::Interactive);
    rows->setFixedWidth(kIndicatorWidth);
    rows->hide();

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DataGrid::onTitleClicked);
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, &DataGrid::onSectionMoved);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &DataGrid::onSectionResized);
    connect(rows, &QHeaderView::sectionResized, this, &DataGrid::onRowResized);
    connect(m_model, &QAbstractItemModel::dataChanged, m_footer, &GridFooter::invalidate);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid()) emit rowDoubleClicked(i.row());
    });
}

DataGrid::~DataGrid() = default;

void DataGrid::setDataSet(DataSet *ds)
{
    if (m_ds == ds) return;
    if (m_ds) disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    if (m_ds) {
        connect(m_ds, &DataSet::rowsReset, this, &DataGrid::rebuild);
        connect(m_ds, &QObject::destroyed, this, [this] {
            m_ds = nullptr;
            rebuild();
        });
        connect(m_ds, &DataSet::currentRowChanged, this, &DataGrid::syncCurrentRow);
        connect(m_ds, &DataSet::recordCountKnown, this, [this](int count) { m_model->countKnown(count); });
        connect(m_ds, &DataSet::sumsKnown, this, [this] { m_footer->invalidate(); });
    }
    rebuild();
}

void DataGrid::rebuild()
{
    m_rebuilding = true;
    if (m_ds) setSortMarkers(m_ds->isActive() ? m_ds->sort() : QString());
    m_footer->invalidate();
    m_model->reset();
    QHeaderView *header = horizontalHeader();
    for (int i = 0; i < m_columns.size(); ++i) {
        header->resizeSection(i, m_columns[i].width);
        setColumnHidden(i, !m_columns[i].visible);
    }
    m_rebuilding = false;
    syncCurrentRow();
}

void DataGrid::syncCurrentRow()
{
    if (!m_ds || !m_ds->isActive() || m_ds->recNo() < 0) return;
    const int row = m_ds->recNo();
    if (currentIndex().row() == row) return;
    if (row >= m_ds->knownRecordCount()) m_ds->recordCount();   // past the first page: the grid needs the list's length
    int col = currentIndex().column();
    if (col < 0 || isColumnHidden(col)) {
        col = 0;
        while (col < columnCount() && isColumnHidden(col)) ++col;
    }
    if (col >= columnCount()) return;
    m_rebuilding = true;
    setCurrentIndex(m_model->index(row, col));
    m_rebuilding = false;
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_rebuilding && m_ds && current.isValid() && current.row() != m_ds->recNo()) m_ds->setRecNo(current.row());
}

// --- columns ----------------------------------------------------------------

void DataGrid::setColumns(const QList<GridColumn> &columns)
{
    m_columns = columns;
    rebuild();
}

void DataGrid::setColumn(int i, const GridColumn &column)
{
    if (i < 0 || i >= m_columns.size()) return;
    m_columns[i] = column;
    rebuild();
}

void DataGrid::addColumn(const GridColumn &column)
{
    m_columns.append(column);
    rebuild();
}

void DataGrid::clearColumns()
{
    m_columns.clear();
    rebuild();
}

int DataGrid::columnOfField(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

void DataGrid::setColumnsFromDataSet()
{
    QList<GridColumn> cols;
    if (m_ds) {
        for (int f = 0; f < m_ds->fieldCount(); ++f) {
            GridColumn c;
            c.field = c.caption = m_ds->fieldName(f);
            const FieldKind k = m_ds->fieldKind(f);
            if (k == FieldKind::Integer || k == FieldKind::Float) c.alignment = Qt::AlignRight | Qt::AlignVCenter;
            cols << c;
        }
    }
    setColumns(cols);
}

QString DataGrid::displayText(int column, const QVariant &value) const
{
    return m_source ? m_source->format(column).text(value) : QString();
}

QString DataGrid::cellText(int row, int column) const
{
    return m_source ? m_source->textAt(row, column) : QString();
}

QList<SourceColumn> DataGrid::sourceColumns(Columns which) const
{
    QList<SourceColumn> out;
    for (const GridColumn &c : m_columns)
        if (which == Columns::All || c.visible)
            out.append({c.field, c.caption, c.displayFormat, m_noDateFields.contains(c.field.toLower())});
    if (which == Columns::AllFields && m_ds) {
        QSet<QString> shown;
        for (const GridColumn &c : m_columns) shown.insert(c.field.toLower());
        for (int f = 0; f < m_ds->fieldCount(); ++f) {
            const QString name = m_ds->fieldName(f);
            if (!shown.contains(name.toLower())) out.append({name, name, QString(), true});
        }
    }
    return out;
}

std::unique_ptr<DataSetSource> DataGrid::rowSource(Columns which) const
{
    return std::make_unique<DataSetSource>(m_ds, sourceColumns(which));
}

bool ExportGridToExcel(DataGrid &grid, const QString &sheetTitle)
{
    return dmData && dmData->ExportToExcel(grid.sourceColumns(DataGrid::Columns::All), grid.dataSet(), sheetTitle, true);
}

// --- footer -------------------------------------------------------------------

void DataGrid::setFooterVisible(bool on)
{
    m_footerVisible = on;
    m_footer->setVisible(on);
    updateGeometries();
}

QVector<int> DataGrid::footerSumFields() const
{
    QVector<int> fields;
    for (int c = 0; c < columnCount(); ++c)
        if (m_columns[c].footerKind == FooterKind::Sum) fields << m_model->fieldIndex(c);
    return fields;
}

QString DataGrid::footerText(int column) const
{
    return m_footer->textNow(column);
}

void DataGrid::updateGeometries()
{
    const int h = m_footerVisible ? fontMetrics().height() + 8 : 0;
    setViewportMargins(verticalHeader()->isVisible() ? verticalHeader()->width() : 0,
                       horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0, 0, h);
    QTableView::updateGeometries();
    layoutFooter();
}

void DataGrid::layoutFooter()
{
    if (!m_footerVisible) return;
    const QRect vp = viewport()->geometry();
    const int f = frameWidth();
    m_footer->setGeometry(f, vp.bottom() + 1, width() - 2 * f, fontMetrics().height() + 8);
    m_footer->update();
}

void DataGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    layoutFooter();
}

void DataGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dx) m_footer->update();
}

// --- behaviour ---------------------------------------------------------------

void DataGrid::setReadOnly(bool on)
{
    m_readOnly = on;
    setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                       : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed);
}

void DataGrid::setMultiSelect(bool on)
{
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void DataGrid::setRowIndicator(bool on)
{
    verticalHeader()->setVisible(on);
    updateGeometries();
}

void DataGrid::setRowColours(RowColours colours)
{
    m_rowColours = std::move(colours);
    m_model->invalidateColours();
    viewport()->update();
}

void DataGrid::setDisplayHook(const NoDateFields &blank)
{
    m_noDateFields.clear();
    for (const QString &f : blank.fields) m_noDateFields << f.toLower();
    m_source = rowSource(Columns::All);
    viewport()->update();
    m_footer->update();
}

void DataGrid::setRowsHeight(int pixels)
{
    QHeaderView *rows = verticalHeader();
    const QSignalBlocker block(rows);
    // Gives every row the new height, also one just dragged to its own.
    rows->setDefaultSectionSize(qMax(rows->minimumSectionSize(), pixels));
    viewport()->update();
}

int DataGrid::rowsHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void DataGrid::onRowResized(int, int, int newSize)
{
    // Dragging one row's edge sets the height of all rows.
    setRowsHeight(newSize);
}

void DataGrid::onSectionResized(int logical, int, int newSize)
{
    if (m_rebuilding || logical < 0 || logical >= m_columns.size()) return;
    if (newSize > 0) m_columns[logical].width = newSize;
    m_footer->update();
}

void DataGrid::onSectionMoved(int, int, int)
{
    if (m_rebuilding) return;
    // Keep grid order and model order the same: rebuild in the new visual order.
    QHeaderView *header = horizontalHeader();
    QList<GridColumn> ordered;
    for (int v = 0; v < header->count(); ++v) ordered << m_columns.value(header->logicalIndex(v));
    const int current = currentIndex().column() >= 0 ? header->visualIndex(currentIndex().column()) : -1;
    m_rebuilding = true;
    {
        const QSignalBlocker block(header);
        header->reset();
        for (int l = 0; l < header->count(); ++l) header->moveSection(header->visualIndex(l), l);
    }
    m_rebuilding = false;
    m_columns = ordered;
    const int row = currentIndex().row();
    rebuild();
    if (row >= 0 && current >= 0) setCurrentIndex(m_model->index(row, current));
}

void DataGrid::onTitleClicked(int section)
{
    if (section < 0 || section >= m_columns.size()) return;
    if (m_titleSort != TitleSort::None && m_ds && m_ds->isActive()) {
        GridColumn &col = m_columns[section];
        col.sortMarker = col.sortMarker == SortMarker::Ascending ? SortMarker::Descending : SortMarker::Ascending;
        horizontalHeader()->viewport()->update();
        const bool memo = col.field.toLower().contains(QLatin1String("mem"));
        if (!(m_titleSort == TitleSort::SkipMemo && memo)) {
            const QString sort = col.field + (col.sortMarker == SortMarker::Ascending ? QLatin1String(" ASC")
                                                                                      : QLatin1String(" DESC"));
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_ds->setSort(sort);
            QApplication::restoreOverrideCursor();
        }
    }
    emit titleClicked(section);
}

void DataGrid::setSortMarkers(const QString &sortText)
{
    for (GridColumn &c : m_columns) c.sortMarker = SortMarker::None;
    for (const QString &item : sortText.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = item.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (parts.isEmpty()) continue;
        const int col = columnOfField(parts[0]);
        if (col < 0) continue;
        const bool desc = parts.size() > 1 && parts[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        m_columns[col].sortMarker = desc ? SortMarker::Descending : SortMarker::Ascending;
    }
    horizontalHeader()->viewport()->update();
}

void DataGrid::applySort(const QString &sortText)
{
    setSortMarkers(sortText);
    if (m_ds && m_ds->isActive()) m_ds->setSort(sortText);
}

// --- rows ---------------------------------------------------------------------

int DataGrid::currentRow() const
{
    if (!m_ds || !m_ds->isActive() || m_ds->isEmpty()) return -1;
    return currentIndex().isValid() ? currentIndex().row() : m_ds->recNo();
}

QList<int> DataGrid::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && currentRow() >= 0) rows << currentRow();
    return rows;
}

QImage DataGrid::snapshot()
{
    return grab().toImage();
}

// --- incremental search ---------------------------------------------------------

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint()
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (m_incrementalSearch && m_readOnly && printable) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now - m_lastKeyMs > kSearchPauseMs) m_searchText.clear();
        m_lastKeyMs = now;
        m_searchText += typed;
        incrementalSearch(m_searchText);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Backspace) m_searchText.clear();
    QTableView::keyPressEvent(event);
}

void DataGrid::incrementalSearch(const QString &typed)
{
    const int col = currentIndex().isValid() ? currentIndex().column() : -1;
    if (!m_ds || !m_ds->isActive() || col < 0) return;
    const int field = m_model->fieldIndex(col);
    if (field < 0) return;
    // First row, in the shown order, whose cell starts with what was typed.
    const int found = m_ds->findRow(field, [&](const QVariant &v) {
        return displayText(col, v).startsWith(typed, Qt::CaseInsensitive);
    });
    if (found < 0) return;
    setCurrentIndex(m_model->index(found, col));
    scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}
