#pragma once
// Saving a string grid to, and loading it from, a grid layout file: a
// "[~~~COMMON]" settings section with the counts, font and widths, then one
// "[~~-^v-~COL_<c>]" section per column holding its cell texts, Windows-1251
// with CR LF line ends.

#include <QString>
#include <QStringList>

class StringGrid;

// The lines of the layout file for the grid, as they are written.
QStringList GridLayoutLines(const StringGrid &grid, const QString &fileName);
// Throws AppError("Cannot create file \"<name>\". <reason>") when the file
// cannot be written; the old file is then left as it was.
bool GridSaveToFile(StringGrid *grid, const QString &fileName, bool overwrite);
bool GridLoadFromFile(StringGrid *grid, const QString &fileName);
bool ExtractGridSection(const QString &name, QStringList *lines);
