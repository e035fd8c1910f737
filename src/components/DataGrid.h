#pragma once
// The data grid every list of the program is shown in: columns with titles,
// widths, alignments, display patterns and footers over a DataSet, whole-row
// selection, title-click sorting, incremental search and row colours.
//
// Columns are addressed in grid order (left to right as shown); dragging a
// title to another place changes that order. The grid reads rows from its
// DataSet only as they are shown, so a million-row list costs what is on
// screen.

#include "data/RowSource.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QTableView>
#include <functional>
#include <memory>

class DataSet;
class DataGridModel;
class GridFooter;

enum class FooterKind { None = 0, Text = 1, Sum = 2 };
enum class SortMarker { None, Ascending, Descending };

struct GridColumn {
    QString field;
    QString caption;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    int width = 64;
    bool visible = true;
    bool readOnly = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;   // cells and footer
    QString displayFormat;                                         // number pattern, cells and footer
    QString footerValue;                                           // the text of a Text footer
    FooterKind footerKind = FooterKind::None;
    SortMarker sortMarker = SortMarker::None;
};

class DataGrid : public QTableView {
    Q_OBJECT
public:
    // What a click on a column title does.
    enum class TitleSort {
        None,        // nothing but the titleClicked signal
        AllColumns,  // marker changes and the rows are sorted by the column
        SkipMemo,    // as AllColumns, but a field whose name contains "mem" only changes its marker
    };

    // Colours for a row (in sort order); return false to keep the grid's own.
    using RowColours = std::function<bool(const DataSet &ds, int row, QColor *text, QColor *background)>;
    // The date fields (any case) whose cells read blank when their text
    // sorts before 1901-08-14: the no-date value and empty dates. A list of
    // fields rather than code, so the print, the export and reports blank
    // the same cells as the grid.
    struct NoDateFields {
        QStringList fields;
    };
    static NoDateFields blankNoDates(const QStringList &fields) { return {fields}; }

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setDataSet(DataSet *ds);   // not owned; nullptr shows nothing
    DataSet *dataSet() const { return m_ds; }

    // --- columns, in grid order ---
    int columnCount() const { return int(m_columns.size()); }
    const GridColumn &column(int i) const { return m_columns.at(i); }
    QList<GridColumn> columns() const { return m_columns; }
    void setColumns(const QList<GridColumn> &columns);
    void setColumn(int i, const GridColumn &column);
    void addColumn(const GridColumn &column);
    void clearColumns();
    int columnOfField(const QString &field) const;   // first column of the field (any case), -1 if none
    // One column per field of the open data set, captions = field names (used
    // when a grid is built without columns).
    void setColumnsFromDataSet();

    // A value as the column shows it (CellFormat: the display pattern for
    // numbers, a tick for a ticked box, blank no-dates where asked).
    QString displayText(int column, const QVariant &value) const;
    // The cell as shown, row in sort order.
    QString cellText(int row, int column) const;

    // The grid's rows as it shows them, for prints, exports and reports:
    // every column in grid order, or only the visible ones; for reports also
    // every other field of the list after them (no-dates read blank there).
    enum class Columns { All, Visible, AllFields };
    QList<SourceColumn> sourceColumns(Columns which) const;
    std::unique_ptr<DataSetSource> rowSource(Columns which) const;

    // --- footer ---
    void setFooterVisible(bool on);
    bool isFooterVisible() const { return m_footerVisible; }
    // A long list's sums are given to its data set (DataSet::setSums) by its
    // window instead of being read by the grid once typing pauses.
    void setFooterSumsSupplied(bool on) { m_footerSumsSupplied = on; }
    // The fields of the summed columns (data set columns, grid order).
    QVector<int> footerSumFields() const;
    // As shown: fixed text, or the formatted sum (a long list shows its sum
    // once typing pauses; this gives it at once).
    QString footerText(int column) const;

    // --- behaviour ---
    void setReadOnly(bool on);                 // the whole grid; columns may also be read-only
    bool isReadOnly() const { return m_readOnly; }
    void setMultiSelect(bool on);              // several rows (Ctrl/Shift)
    void setRowIndicator(bool on);             // fixed left column to pick rows with the mouse
    void setTitleSort(TitleSort policy) { m_titleSort = policy; }
    TitleSort titleSort() const { return m_titleSort; }
    void setIncrementalSearch(bool on) { m_incrementalSearch = on; }
    void setRowColours(RowColours colours);
    void setDisplayHook(const NoDateFields &blank);
    void setRowsHeight(int pixels);            // every row
    int rowsHeight() const;

    // Sorts the loaded rows by a sort text ("F_code ASC,F_name DESC"; empty
    // clears) and sets the columns' markers to match. The markers follow the
    // data set's sort whenever its rows are reset (a reload, another sort).
    void applySort(const QString &sortText);

    // --- rows ---
    int currentRow() const;                    // in sort order, -1 when empty
    QList<int> selectedRows() const;           // ascending; the current row when nothing is selected

    // Paints the grid as it is on screen into an image (screenshots, tests).
    QImage snapshot();

signals:
    void titleClicked(int column);             // after the marker changed
    void rowDoubleClicked(int row);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    void rebuild();
    void onTitleClicked(int section);
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int oldSize, int newSize);
    void onRowResized(int logical, int oldSize, int newSize);
    void incrementalSearch(const QString &typed);
    void layoutFooter();
    void syncCurrentRow();
    void setSortMarkers(const QString &sortText);

    DataSet *m_ds = nullptr;
    DataGridModel *m_model;
    GridFooter *m_footer;
    QList<GridColumn> m_columns;
    bool m_footerVisible = false;
    bool m_footerSumsSupplied = false;
    bool m_readOnly = true;
    bool m_incrementalSearch = false;
    TitleSort m_titleSort = TitleSort::None;
    RowColours m_rowColours;
    QStringList m_noDateFields;                  // lower case
    std::unique_ptr<DataSetSource> m_source;     // what the cells show: every column, in grid order
    QString m_searchText;
    qint64 m_lastKeyMs = 0;
    bool m_rebuilding = false;

    friend class DataGridModel;
    friend class GridFooter;
};

// Exports every column of the grid, hidden ones included, in grid order, with
// the cells as the grid shows them, and opens the sheet (TdmData::ExportToExcel).
bool ExportGridToExcel(DataGrid &grid, const QString &sheetTitle);
