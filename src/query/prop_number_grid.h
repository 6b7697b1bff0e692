#pragma once
// The numeric property grid and its hidden companion list: line r of the list
// belongs to grid row r and holds one word per grid column ("op", the
// property identifier, the upper and the lower bound).

#include "query/condition.h"

#include <QString>
#include <QStringList>

class QListWidget;
class StringGrid;

namespace PropGrid {
inline const QString NewRowLine = QStringLiteral("op 0 0 0 0 0 0 0 0 0 0 0 1");
inline const QString Operation = QStringLiteral("И");
QStringList Headers();
constexpr int PropertyColumn = 1;
constexpr int MaxColumn = 2;
constexpr int MinColumn = 3;
} // namespace PropGrid

// Four columns with their headers, one data row holding only "И", and the
// companion lines "Top" and the new-row line.
void ResetPropNumberGrid(StringGrid *grid, QListWidget *companion);
// Fits the columns to their texts.
void FitPropNumberGrid(StringGrid *grid);
// Makes the companion line of the row the list's selected line.
void SelectCompanionLine(QListWidget *companion, int row);

// Row editing; each keeps the companion list in step and fits the columns.
void PropGridAddRow(StringGrid *grid, QListWidget *companion);
void PropGridInsertRow(StringGrid *grid, QListWidget *companion);
void PropGridDeleteRow(StringGrid *grid, QListWidget *companion);
void PropGridSetOperation(StringGrid *grid);

// The words of a companion line for a grid of `columns` columns: missing
// words become "И" for column 0 and "0" for the others.
QStringList CompanionWords(const QString &line, int columns);

// What the condition reads: data rows 1.. with their companion lines.
std::vector<PropNumberRow> PropNumberRows(const StringGrid *grid, const QListWidget *companion);
