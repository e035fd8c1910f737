#include "GridLayout.h"

#include "DataGrid.h"
#include "TFrmDispFieldXZ.h"
#include "TfrmRowArrangeGl.h"

#include "app/Companion.h"
#include "app/Dialogs.h"
#include "data/GridLayoutSql.h"
#include "data/TdmData.h"

#include <QStringList>

namespace {

const QString kLoadFailed = QStringLiteral("操作失败，请检查数据连接... ");

Qt::Alignment alignmentOf(int stored, Qt::Alignment fallback)
{
    switch (stored) {
    case 0: return Qt::AlignLeft | Qt::AlignVCenter;
    case 1: return Qt::AlignHCenter | Qt::AlignVCenter;
    case 2: return Qt::AlignRight | Qt::AlignVCenter;
    default: return fallback;
    }
}

int storedAlignment(Qt::Alignment a)
{
    const Qt::Alignment h = a & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignHCenter) return 1;
    if (h & (Qt::AlignRight | Qt::AlignTrailing)) return 2;
    return 0;
}

FooterKind footerKindOf(int stored)
{
    switch (stored) {
    case 1: return FooterKind::Text;
    case 2: return FooterKind::Sum;
    default: return FooterKind::None;
    }
}

int storedFooterType(FooterKind k)
{
    switch (k) {
    case FooterKind::Text: return 1;
    case FooterKind::Sum: return 2;
    default: return 0;
    }
}

GridColumn columnFrom(const GridLayoutRow &r)
{
    GridColumn c;
    c.field = r.field;
    c.caption = r.caption;
    c.titleAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
    c.width = r.width;
    c.visible = r.visible;
    c.readOnly = r.readOnly;
    c.alignment = alignmentOf(r.alignment, c.alignment);
    c.displayFormat = r.displayFormat;
    c.footerValue = r.footerValue;
    c.footerKind = footerKindOf(r.footerType);
    return c;
}

GridLayoutRow rowFrom(const GridColumn &c, int order)
{
    GridLayoutRow r;
    r.field = c.field;
    r.caption = c.caption;
    r.width = c.width;
    r.visible = c.visible;
    r.readOnly = c.readOnly;
    r.alignment = storedAlignment(c.alignment);
    r.displayFormat = c.displayFormat;
    r.footerValue = c.footerValue;
    r.footerType = storedFooterType(c.footerKind);
    r.order = order;
    return r;
}

} // namespace

bool LoadGridLayout(DataGrid &grid, const QString &key)
{
    if (!dmData) return false;
    DataSet *q = dmData->QryTemp;
    q->close();
    q->params().clear();
    q->setSql(gridLayoutLoadSql(key));
    if (!q->open()) {
        ShowMess(kLoadFailed, 3);
        return false;
    }
    if (q->isEmpty()) return false;

    // Columns go in one by one, so whatever was read before a failure stays.
    grid.clearColumns();
    for (q->first(); !q->eof(); q->next()) {
        if (!q->lastError().isEmpty()) {
            ShowMess(kLoadFailed, 3);
            return false;
        }
        grid.addColumn(columnFrom(gridLayoutRowFrom(*q)));
    }
    if (!q->lastError().isEmpty()) {
        ShowMess(kLoadFailed, 3);
        return false;
    }
    return true;
}

void SaveGridLayout(DataGrid &grid, const QString &key)
{
    if (!dmData) return;
    // Taken once: a statement failing half-way must not change what the rest write.
    const QList<GridColumn> columns = grid.columns();
    for (int i = 0; i < columns.size(); ++i)
        dmData->RunSQL(gridLayoutUpdateSql(key, rowFrom(columns.at(i), i)));
}

void AskAndSaveGridLayout(DataGrid &grid, const QString &key)
{
    if (ShowMess(QStringLiteral("真的要保存当前网格设置吗？"), 1) == Mess::Yes) SaveGridLayout(grid, key);
}

void ChooseColumns(DataGrid &grid)
{
    QStringList captions;
    QList<bool> visible;
    for (int i = 0; i < grid.columnCount(); ++i) {
        captions << grid.column(i).caption;
        visible << grid.column(i).visible;
    }
    TFrmDispFieldXZ form(captions, visible, grid.window());
    if (Dialogs::current().execDialog(form) != QDialog::Accepted) return;

    const QList<bool> ticked = form.checkedStates();
    for (int i = 0; i < grid.columnCount() && i < ticked.size(); ++i) {
        if (grid.column(i).visible == ticked.at(i)) continue;
        GridColumn c = grid.column(i);
        c.visible = ticked.at(i);
        grid.setColumn(i, c);
    }
}

bool ArrangeSort(DataGrid &grid, QString &sortText)
{
    QList<QPair<QString, QString>> columns;
    for (int i = 0; i < grid.columnCount(); ++i) columns.append({grid.column(i).field, grid.column(i).caption});
    TfrmRowArrangeGl form(columns, grid.window());
    if (Dialogs::current().execDialog(form) != QDialog::Accepted) return false;
    sortText = form.sortText();
    return true;
}
