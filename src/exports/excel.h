#pragma once
// The spreadsheet routines: starting the spreadsheet application, taking a
// sheet, writing a formatted cell and a range of values, and the two variant
// tests they rest on. Objects and values are QVariants (see automation.h).

#include <QVariant>
#include <QVariantList>

// Colours are 0x00BBGGRR; this one leaves a cell's interior alone.
constexpr qint64 NO_INTERIOR_COLOR = 0x1FFFFFFF;

// An array of variants with bounds per dimension (1 or 2 dimensions), as a
// range's values travel.
struct VariantArray {
    int lower[2] = {1, 1};
    int upper[2] = {0, 0};
    int dims = 1;
    QVariantList items; // row by row
    QVariant &at(int i) { return items[i - lower[0]]; }
};
Q_DECLARE_METATYPE(VariantArray)

// A one-dimensional array of variants with indexes low to high.
QVariant VarArrayCreate(int low, int high);
// A two-dimensional one, rows r1..r2 and columns c1..c2.
QVariant VarArrayCreate2(int r1, int r2, int c1, int c2);
bool VarIsArray(const QVariant &v);
// Element i of a one-dimensional array held in v.
void VarArraySet(QVariant &v, int i, const QVariant &value);

bool VariantAssigned(const QVariant &V);
bool VariantArraySize(const QVariant &V, int &Rows, int &Cols);
void ExcelStart(bool Visible, bool AddWorkbook, QVariant &App);
void ExcelGetSheet(const QVariant &App, int Index, QVariant &Sheet);
bool ExcelWriteCell(const QVariant &Sheet, int Row, int Col, bool Borders, bool Bold, bool Italic, const QString &Text,
                    int FontSize, qint64 FontColor, qint64 InteriorColor, bool WrapText, int LineStyle, int Weight);
bool ExcelWriteRange(const QVariant &Sheet, int Row1, int Col1, int Row2, int Col2, const QVariant &Values);
