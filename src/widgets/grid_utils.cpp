#include "widgets/grid_utils.h"

#include "support/str_utils.h"
#include "widgets/string_grid.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace {

int screenWidth(const StringGrid *grid)
{
    const QScreen *screen = grid->screen() ? grid->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

// Hides the grid while it is sized, when asked, and shows it again after.
class HideWhileSizing {
public:
    HideWhileSizing(StringGrid *grid, bool hide) : grid_(grid), hidden_(hide && !grid->isHidden())
    {
        if (hidden_)
            grid_->setVisible(false);
    }
    ~HideWhileSizing()
    {
        if (hidden_)
            grid_->setVisible(true);
    }
    HideWhileSizing(const HideWhileSizing &) = delete;
    HideWhileSizing &operator=(const HideWhileSizing &) = delete;

private:
    StringGrid *grid_;
    bool hidden_;
};

} // namespace

bool GridFitColumns(StringGrid *grid, bool hideWhileSizing, int minRowHeight, QChar heightChar,
                    QChar widthChar)
{
    if (!grid)
        return false;
    GridAutoSizeColumns(grid, hideWhileSizing, widthChar);
    GridFitRowHeight(grid, minRowHeight, hideWhileSizing, heightChar);
    return true;
}

bool GridFitColumns(StringGrid *grid)
{
    return GridFitColumns(grid, false, 0, QChar('A'), QChar('A'));
}

int GridAutoSizeColumns(StringGrid *grid, bool hideWhileSizing, QChar widthChar)
{
    if (!grid || grid->rowCount() <= 0 || grid->colCount() <= 0)
        return 0;
    HideWhileSizing guard(grid, hideWhileSizing);
    for (int c = 0; c < grid->colCount(); ++c) {
        GridSizeColumn(grid, c, 0, 0, widthChar);
        QCoreApplication::processEvents();
    }
    return grid->colCount();
}

int GridSizeColumn(StringGrid *grid, int col, int minChars, int maxChars, QChar widthChar)
{
    if (!grid || grid->rowCount() <= 0 || col < 0 || col >= grid->colCount())
        return 0;
    int longest = 0;
    int widest = 0;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QString text = grid->cell(col, r);
        longest = std::max(longest, int(text.size()));
        if (widthChar.unicode() == 0 && !text.isEmpty())
            widest = std::max(widest, grid->textWidth(text));
    }
    int width = 0;
    if (widthChar.unicode() != 0) {
        if (maxChars < minChars)
            maxChars = minChars;
        if (minChars > 0 && longest < minChars)
            longest = minChars;
        if (maxChars > 0 && maxChars > minChars && maxChars < longest)
            longest = maxChars;
        longest = std::clamp(longest, 1, 100) + 1;
        width = grid->textWidth(RepeatChar(longest, widthChar));
    } else {
        width = grid->textWidth(QStringLiteral("w")) + widest;
    }
    const int screen = screenWidth(grid);
    if (width > screen / 2)
        width = screen / 2 + screen / 4;
    if (width <= 0)
        width = 5;
    grid->setColWidth(col, width);
    return longest;
}

int GridFitRowHeight(StringGrid *grid, int minRowHeight, bool hideWhileSizing, QChar heightChar)
{
    if (!grid || grid->rowCount() <= 0 || grid->colCount() <= 0)
        return 0;
    HideWhileSizing guard(grid, hideWhileSizing);
    if (minRowHeight <= 0)
        minRowHeight = grid->defaultRowHeight();
    const int h = grid->textHeight(QString(heightChar));
    grid->setDefaultRowHeight(std::max(h + h / 8, minRowHeight));
    return 0;
}

int GridAddRow(StringGrid *grid, bool selectNewRow)
{
    if (!grid)
        return 0;
    const int row = grid->rowCount();
    grid->setRowCount(row + 1);
    grid->clearRow(row);
    if (selectNewRow)
        grid->setCurrentCell(std::max(0, std::min(grid->currentCol(), grid->colCount() - 1)), row);
    return grid->rowCount();
}

bool GridInsertRow(StringGrid *grid, int row)
{
    if (!grid || row < grid->fixedRows() || row >= grid->rowCount())
        return false;
    const int last = grid->rowCount();
    grid->setRowCount(last + 1);
    for (int r = last; r > row; --r)
        grid->setRowTexts(r, grid->rowTexts(r - 1));
    grid->clearRow(row);
    return true;
}

bool GridDeleteRow(StringGrid *grid, int row)
{
    if (!grid)
        return false;
    if (grid->rowCount() - 1 <= grid->fixedRows()) {
        grid->clearRow(grid->fixedRows());
        return true;
    }
    for (int r = std::max(row, 0); r < grid->rowCount() - 1; ++r)
        grid->setRowTexts(r, grid->rowTexts(r + 1));
    grid->clearRow(grid->rowCount() - 1);
    grid->setRowCount(grid->rowCount() - 1);
    return true;
}
