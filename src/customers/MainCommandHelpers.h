#pragma once
// Pieces the main window's command files share (TFrmMain*Menu.cpp).

class DataGrid;
class DataSet;
class QString;

namespace MainCommands {

bool listEmpty(const DataSet *ds);
// The multi-column sort window for a grid; the returned text becomes its list's sort.
void sortGrid(DataGrid *grid);
// The spreadsheet export of a grid under a sheet title.
void exportGrid(DataGrid *grid, const QString &title);
// For a command whose window is not part of this build.
void notYetAvailable();

} // namespace MainCommands
