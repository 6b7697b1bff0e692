#pragma once
// The grid layout file: the text form of a string grid. A "[~~~COMMON]"
// settings section holds the counts, the font and the column widths; then one
// "[~~-^v-~COL_<c>]" section per column holds its cell texts, one line per
// row. Windows-1251 with CR LF line ends. Other programs read and write these
// files, so the format stays exactly as it is.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What the file records of a grid.
struct GridLayout {
    static constexpr const char *kDefaultFontName = "MS Sans Serif";
    static constexpr int kDefaultFontSize = 8;

    QString fontName = QString::fromLatin1(kDefaultFontName);
    int fontSize = kDefaultFontSize;
    int colCount = 0;
    int rowCount = 0;
    int fixedCols = 0;
    int fixedRows = 0;
    int defaultRowHeight = 0;     // 0: the grid keeps its own
    std::vector<int> colWidths;   // one per column; 0 keeps the grid's width
    std::vector<QStringList> cells; // one list per column; a short list leaves the rows below empty
};

// The lines of the file for the layout, as they are written.
QStringList GridLayoutLines(const GridLayout &layout, const QString &fileName);
// Writes the file in one atomic replacement. Throws AppError("Cannot create
// file \"<name>\". <reason>") when it cannot be written; the old file then
// stays as it was.
void WriteGridLayoutFile(const GridLayout &layout, const QString &fileName);
// The layout a file's bytes describe; nullopt for anything this program
// would not have written: a missing signature, counts that are not positive,
// fixed counts not below the counts, or more cells than the file has lines.
std::optional<GridLayout> ParseGridLayout(const QByteArray &bytes);
std::optional<GridLayout> ReadGridLayoutFile(const QString &fileName);

// Whether a cell text can be written and read back as it is: no line break,
// and not beginning like a column section's header.
bool IsStorableGridCell(const QString &text);

// Replaces the lines by those of the named section: the lines after the
// first "[name]" line up to the next column section. False (and no lines)
// when the section is missing or nothing follows its header.
bool ExtractGridSection(const QString &name, QStringList *lines);
