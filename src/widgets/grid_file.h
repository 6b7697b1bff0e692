#pragma once
// Saving a string grid to, and loading it from, a grid layout file.

#include "support/grid_layout_file.h"

class StringGrid;

// What the layout file records of the grid, and the grid made from it.
GridLayout GridLayoutOf(const StringGrid &grid);
void ApplyGridLayout(StringGrid &grid, const GridLayout &layout);

// False for an absent grid, a blank name, or an existing file without
// overwrite. Throws AppError("Cannot create file \"<name>\". <reason>") when
// the file cannot be written; the old file is then left as it was.
bool GridSaveToFile(StringGrid *grid, const QString &fileName, bool overwrite);
// False, with the grid untouched, when the file is missing or is not a grid
// layout file this program would have written.
bool GridLoadFromFile(StringGrid *grid, const QString &fileName);
