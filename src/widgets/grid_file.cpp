#include "widgets/grid_file.h"

#include "support/files.h"
#include "support/str_utils.h"
#include "widgets/string_grid.h"

#include <QCoreApplication>

GridLayout GridLayoutOf(const StringGrid &grid)
{
    GridLayout layout;
    layout.fontName = grid.fontName();
    layout.fontSize = grid.fontSize();
    layout.colCount = grid.colCount();
    layout.rowCount = grid.rowCount();
    layout.fixedCols = grid.fixedCols();
    layout.fixedRows = grid.fixedRows();
    layout.defaultRowHeight = grid.defaultRowHeight();
    for (int c = 0; c < grid.colCount(); ++c) {
        layout.colWidths.push_back(grid.colWidth(c));
        layout.cells.push_back(grid.colTexts(c));
        QCoreApplication::processEvents();
    }
    return layout;
}

void ApplyGridLayout(StringGrid &grid, const GridLayout &layout)
{
    grid.setColCount(layout.colCount);
    grid.setRowCount(layout.rowCount);
    grid.setFixedCols(layout.fixedCols);
    grid.setFixedRows(layout.fixedRows);
    grid.setFontName(layout.fontName);
    grid.setFontSize(layout.fontSize);
    for (int c = 0; c < layout.colCount && std::size_t(c) < layout.colWidths.size(); ++c)
        if (layout.colWidths[std::size_t(c)] > 0)
            grid.setColWidth(c, layout.colWidths[std::size_t(c)]);
    if (layout.defaultRowHeight > 0)
        grid.setDefaultRowHeight(layout.defaultRowHeight);
    for (int c = 0; c < layout.colCount && std::size_t(c) < layout.cells.size(); ++c) {
        grid.setColTexts(c, layout.cells[std::size_t(c)]);
        QCoreApplication::processEvents();
    }
}

bool GridSaveToFile(StringGrid *grid, const QString &fileName, bool overwrite)
{
    if (!grid)
        return false;
    const QString name = Trim(fileName);
    if (name.isEmpty() || (FileExists(name) && !overwrite))
        return false;
    WriteGridLayoutFile(GridLayoutOf(*grid), name);
    return true;
}

bool GridLoadFromFile(StringGrid *grid, const QString &fileName)
{
    if (!grid)
        return false;
    const std::optional<GridLayout> layout = ReadGridLayoutFile(fileName);
    if (!layout)
        return false;
    ApplyGridLayout(*grid, *layout);
    return true;
}
