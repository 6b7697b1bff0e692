#include "query/prop_number_grid.h"

#include "widgets/grid_utils.h"
#include "support/str_utils.h"
#include "widgets/string_grid.h"

#include <QListWidget>

QStringList PropGrid::Headers()
{
    return {QStringLiteral("Опер."), QStringLiteral("Свойство"), QStringLiteral("ЗначMax"), QStringLiteral("ЗначMin")};
}

void FitPropNumberGrid(StringGrid *grid)
{
    GridFitColumns(grid);
}

void SelectCompanionLine(QListWidget *companion, int row)
{
    if (companion && row >= 0 && row < companion->count())
        companion->setCurrentRow(row);
}

void ResetPropNumberGrid(StringGrid *grid, QListWidget *companion)
{
    companion->clear();
    companion->addItems({QStringLiteral("Top"), PropGrid::NewRowLine});
    grid->setColCount(4);
    grid->setRowCount(2);
    grid->clearRow(0);
    grid->clearRow(1);
    grid->setRowTexts(0, PropGrid::Headers());
    grid->setCell(0, 1, PropGrid::Operation);
    grid->setCurrentCell(1, 1);
    FitPropNumberGrid(grid);
    SelectCompanionLine(companion, grid->currentRow());
}

void PropGridAddRow(StringGrid *grid, QListWidget *companion)
{
    GridAddRow(grid, true);
    grid->setCell(0, grid->currentRow(), PropGrid::Operation);
    companion->addItem(PropGrid::NewRowLine);
    SelectCompanionLine(companion, grid->currentRow());
    FitPropNumberGrid(grid);
}

void PropGridInsertRow(StringGrid *grid, QListWidget *companion)
{
    const int r = grid->currentRow();
    if (r < grid->fixedRows() || r >= grid->rowCount())
        return;
    companion->insertItem(r, PropGrid::NewRowLine);
    GridInsertRow(grid, r);
    grid->setCell(0, r, PropGrid::Operation);
    SelectCompanionLine(companion, r);
    FitPropNumberGrid(grid);
}

void PropGridDeleteRow(StringGrid *grid, QListWidget *companion)
{
    const int r = grid->currentRow();
    if (grid->rowCount() <= 2) {
        if (companion->count() > 1)
            companion->item(1)->setText(PropGrid::NewRowLine);
    } else if (r >= grid->fixedRows() && r < companion->count()) {
        delete companion->takeItem(r);
    }
    GridDeleteRow(grid, r);
    const int current = grid->currentRow();
    if (Trim(grid->cell(grid->currentCol(), current)).isEmpty() && current >= grid->fixedRows())
        grid->setCell(0, current, PropGrid::Operation);
    SelectCompanionLine(companion, current);
    FitPropNumberGrid(grid);
}

void PropGridSetOperation(StringGrid *grid)
{
    if (grid->currentRow() >= grid->fixedRows())
        grid->setCell(0, grid->currentRow(), PropGrid::Operation);
}

QStringList CompanionWords(const QString &line, int columns)
{
    QStringList words;
    const QString trimmed = Trim(line);
    for (int i = 0; i < columns; ++i) {
        QString w = Trim(ExtractWord(CharSets::Blank, trimmed, i + 1));
        if (w.isEmpty())
            w = i == 0 ? PropGrid::Operation : QStringLiteral("0");
        words << w;
    }
    return words;
}

std::vector<PropNumberRow> PropNumberRows(const StringGrid *grid, const QListWidget *companion)
{
    std::vector<PropNumberRow> rows;
    for (int r = 1; r < grid->rowCount(); ++r) {
        const QListWidgetItem *line = companion->item(r);
        rows.push_back({grid->cell(0, r), line ? line->text() : QString(), grid->cell(PropGrid::MaxColumn, r),
                        grid->cell(PropGrid::MinColumn, r)});
    }
    return rows;
}
