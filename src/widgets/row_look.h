#pragma once
// How a row of found objects looks, by the kind of its type and its flags:
// one table, which the grids paint from, their row hints read and the
// legend ("Цвета строк") shows.

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

struct RowLook {
    QColor foreground;
    std::optional<QColor> background; // unset: the grid's own
    bool bold = false;
    bool italic = false;
};

// One line of the table: the rows it takes and how they look. The first line
// that takes a row decides.
struct RowLookRule {
    enum class Kind { Other, ObjectOrProcess, Object, Process };
    enum class Flag { Any, Set, Clear }; // Set: the flag is > 0
    Kind kind;
    Flag abstract;
    Flag base;
    RowLook look;
    QString meaning; // what such a row is, for the hint and the legend
};
const std::vector<RowLookRule> &RowLookRules();

// The rule that takes the row. kind: ID_KIND of the type (0 when the type row
// is missing); abstract and base: ITS_ABSTRACT and ITS_BASE.
const RowLookRule &RowLookRuleFor(int kind, int abstract, int base);
RowLook ResultRowLook(int kind, int abstract, int base);

// What the "Детально" column shows for a detailed text and for none, and
// what that means.
struct MemoMark {
    QString text;
    QString meaning;
};
std::vector<MemoMark> MemoMarks();

struct DbGridCell;
// Draws a data cell of a list of objects in its row's look; the current cell
// of the focused grid, and the cells of a selected range, keep the grid's own
// drawing.
void DrawObjectCell(DbGridCell &cell, int kind, int abstract, int base);
