#pragma once
// Pieces the main window's command files share (TFrmMain*Menu.cpp).

class DataGrid;
class DataSet;

namespace MainCommands {

bool listEmpty(const DataSet *ds);
// The multi-column sort window for a grid; the returned text becomes its list's sort.
void sortGrid(DataGrid *grid);
// For a command whose window is not part of this build.
void notYetAvailable();

} // namespace MainCommands
