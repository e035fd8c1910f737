#pragma once
// Statements of the grid-layout store (cfg_Grid). Plain data in, exact text
// out, so the data layer needs nothing from the widgets.

#include <QString>

class DataSet;

// One stored column, as cfg_Grid holds it.
struct GridLayoutRow {
    QString field, caption;
    int width = 64;
    bool visible = true, readOnly = false;
    int alignment = 0;   // 0 left, 1 centre, 2 right
    QString displayFormat, footerValue;
    int footerType = 0;  // 0 none, 1 fixed text, 2 sum
    int order = 0;       // position from 0
};

// The stored layout of a key, rows without a field name left out, in order.
QString gridLayoutLoadSql(const QString &key);

// Writes one column back into its row; the key is stored in lower case.
// A column without a stored row updates nothing.
QString gridLayoutUpdateSql(const QString &key, const GridLayoutRow &row);

// The current row of an open load statement. A missing width keeps the
// default rather than giving a column nobody can see.
GridLayoutRow gridLayoutRowFrom(const DataSet &ds);
