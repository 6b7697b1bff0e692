#pragma once
// How a row of found objects looks, by the kind of its type and its flags.

#include <QColor>
#include <optional>

struct RowLook {
    QColor foreground;
    std::optional<QColor> background; // unset: the grid's own
    bool bold = false;
    bool italic = false;
};

// kind: ID_KIND of the type (0 when the type row is missing); abstract and
// base: ITS_ABSTRACT and ITS_BASE, read as "> 0" or not.
RowLook ResultRowLook(int kind, int abstract, int base);

struct DbGridCell;
// Draws a data cell of a list of objects in its row's look; the current cell
// of the focused grid keeps the grid's own drawing.
void DrawObjectCell(DbGridCell &cell, int kind, int abstract, int base);
