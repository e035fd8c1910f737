#pragma once
// Stored column layouts of the lists (cfg_Grid), the column chooser and the
// multi-column sort window. Everything goes through the shared data module.

#include <QString>

class DataGrid;

// Replaces the grid's columns with the layout stored under the key. A key
// without rows leaves the grid as built. False when nothing was applied
// (no rows, or a failure, which has been shown).
bool LoadGridLayout(DataGrid &grid, const QString &key);

// Writes every column, in the grid's current order, into its stored row.
// A failing column is reported and the others are still written.
void SaveGridLayout(DataGrid &grid, const QString &key);

// Asks "真的要保存当前网格设置吗？" and saves only on Yes.
void AskAndSaveGridLayout(DataGrid &grid, const QString &key);

// Lets the operator tick the visible columns; not stored.
void ChooseColumns(DataGrid &grid);

// The sort window over the grid's columns. On OK the text is replaced with
// the chosen sort and true is returned; on Cancel the text is left alone.
// The caller applies the text.
bool ArrangeSort(DataGrid &grid, QString &sortText);
