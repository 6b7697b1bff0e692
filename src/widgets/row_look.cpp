#include "widgets/row_look.h"

#include "db/schema.h"
#include "widgets/db_grid.h"

RowLook ResultRowLook(int kind, int abstract, int base)
{
    RowLook look;
    if (kind != Schema::KIND_OBJECT && kind != Schema::KIND_PROCESS) {
        look.foreground = QColor(255, 0, 0);
        look.background = QColor(255, 255, 0);
        look.bold = true;
    } else if (abstract > 0) {
        look.foreground = QColor(128, 128, 128);
        look.italic = base <= 0;
    } else if (base > 0) {
        look.foreground = kind == Schema::KIND_OBJECT ? QColor(0, 0, 0) : QColor(128, 0, 0);
    } else {
        look.foreground = kind == Schema::KIND_OBJECT ? QColor(0, 0, 255) : QColor(0, 128, 0);
    }
    return look;
}

void DrawObjectCell(DbGridCell &cell, int kind, int abstract, int base)
{
    if (cell.selected && cell.focused)
        return;
    const RowLook look = ResultRowLook(kind, abstract, base);
    cell.textColor = look.foreground;
    if (look.background)
        cell.background = QBrush(*look.background);
    cell.font.setBold(look.bold);
    cell.font.setItalic(look.italic);
    cell.drawDefault();
}
