#include "exports/excel.h"

#include "exports/automation.h"

QVariant VarArrayCreate(int low, int high)
{
    VariantArray a;
    a.lower[0] = low;
    a.upper[0] = high;
    for (int i = low; i <= high; ++i)
        a.items.append(QVariant());
    return QVariant::fromValue(a);
}

QVariant VarArrayCreate2(int r1, int r2, int c1, int c2)
{
    VariantArray a;
    a.dims = 2;
    a.lower[0] = r1;
    a.upper[0] = r2;
    a.lower[1] = c1;
    a.upper[1] = c2;
    for (int i = 0; i < std::max(0, r2 - r1 + 1) * std::max(0, c2 - c1 + 1); ++i)
        a.items.append(QVariant());
    return QVariant::fromValue(a);
}

bool VarIsArray(const QVariant &v)
{
    return v.userType() == qMetaTypeId<VariantArray>();
}

void VarArraySet(QVariant &v, int i, const QVariant &value)
{
    auto *a = static_cast<VariantArray *>(v.data());
    a->at(i) = value;
}

bool VariantAssigned(const QVariant &V)
{
    return V.isValid() && !V.isNull();
}

bool VariantArraySize(const QVariant &V, int &Rows, int &Cols)
{
    Rows = 0;
    Cols = 0;
    if (VariantAssigned(V) && VarIsArray(V)) {
        const VariantArray a = V.value<VariantArray>();
        Rows = a.upper[0];
        Cols = a.dims > 1 ? a.upper[1] : 0;
    }
    return Rows > 0 && Cols > 0;
}

void ExcelStart(bool Visible, bool AddWorkbook, QVariant &App)
{
    App.clear();
    App = CreateAutomationObject(QStringLiteral("Excel.Application"));
    AutoSet(App, QStringLiteral("Visible"), Visible);
    if (AddWorkbook)
        AutoCall(AutoGet(App, QStringLiteral("Workbooks")), QStringLiteral("Add"), {OmittedArgument()});
}

void ExcelGetSheet(const QVariant &App, int Index, QVariant &Sheet)
{
    Sheet.clear();
    if (!VariantAssigned(App) || Index < 1)
        return;
    const int count = AutoGet(AutoGet(AutoGet(App, QStringLiteral("ActiveWorkBook")), QStringLiteral("WorkSheets")),
                              QStringLiteral("Count"))
                          .toInt();
    if (Index <= count)
        Sheet = AutoGet(AutoGet(App, QStringLiteral("ActiveWorkBook")), QStringLiteral("WorkSheets"), {Index});
}

bool ExcelWriteCell(const QVariant &Sheet, int Row, int Col, bool Borders, bool Bold, bool Italic, const QString &Text,
                    int FontSize, qint64 FontColor, qint64 InteriorColor, bool WrapText, int LineStyle, int Weight)
{
    if (!VariantAssigned(Sheet))
        return false;
    // The cell is taken afresh for every setting.
    auto cell = [&] { return AutoGet(Sheet, QStringLiteral("Cells"), {Row, Col}); };
    auto font = [&] { return AutoGet(cell(), QStringLiteral("Font")); };
    AutoSet(cell(), QStringLiteral("HorizontalAlignment"), 2);
    AutoSet(cell(), QStringLiteral("VerticalAlignment"), 1);
    AutoSet(font(), QStringLiteral("Color"), FontColor);
    AutoSet(font(), QStringLiteral("Bold"), Bold);
    AutoSet(font(), QStringLiteral("Italic"), Italic);
    if (FontSize > 0)
        AutoSet(font(), QStringLiteral("Size"), FontSize);
    AutoSet(cell(), QStringLiteral("WrapText"), WrapText);
    AutoSet(cell(), QStringLiteral("Value"), Text);
    if (Borders) {
        for (int i = 1; i <= 4; ++i) {
            AutoSet(AutoGet(cell(), QStringLiteral("Borders"), {i}), QStringLiteral("LineStyle"), LineStyle);
            AutoSet(AutoGet(cell(), QStringLiteral("Borders"), {i}), QStringLiteral("Weight"), Weight);
        }
    }
    if (InteriorColor != NO_INTERIOR_COLOR)
        AutoSet(AutoGet(cell(), QStringLiteral("Interior")), QStringLiteral("Color"), InteriorColor);
    return true;
}

bool ExcelWriteRange(const QVariant &Sheet, int Row1, int Col1, int Row2, int Col2, const QVariant &Values)
{
    if (!VariantAssigned(Sheet) || !VariantAssigned(Values) || !VarIsArray(Values))
        return false;
    if (Row1 <= 0 || Col1 <= 0 || Row2 <= 0 || Col2 <= 0) {
        Row1 = 1;
        Col1 = 1;
        if (!VariantArraySize(Values, Row2, Col2)) {
            Row2 = 0;
            Col2 = 0;
        }
    }
    if (Row1 < 1 || Row1 > Row2 || Col1 < 1 || Col1 > Col2)
        return false;
    const QVariant range = AutoGet(Sheet, QStringLiteral("Range"),
                                   {AutoGet(Sheet, QStringLiteral("Cells"), {Row1, Col1}),
                                    AutoGet(Sheet, QStringLiteral("Cells"), {Row2, Col2})});
    AutoSet(range, QStringLiteral("Value"), QVariant(Values.value<VariantArray>().items));
    return true;
}
