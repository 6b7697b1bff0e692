#pragma once
// Sizing a string grid to its contents and adding, inserting and deleting rows
// while keeping the cell texts in place. Every routine accepts an absent grid.

#include <QChar>

class StringGrid;

bool GridFitColumns(StringGrid *grid, bool hideWhileSizing, int minRowHeight, QChar heightChar,
                    QChar widthChar);
// Fits with the arguments every caller of the program passes.
bool GridFitColumns(StringGrid *grid);
int GridAutoSizeColumns(StringGrid *grid, bool hideWhileSizing, QChar widthChar);
int GridSizeColumn(StringGrid *grid, int col, int minChars, int maxChars, QChar widthChar);
int GridFitRowHeight(StringGrid *grid, int minRowHeight, bool hideWhileSizing, QChar heightChar);
int GridAddRow(StringGrid *grid, bool selectNewRow);
bool GridInsertRow(StringGrid *grid, int row);
bool GridDeleteRow(StringGrid *grid, int row);
