#pragma once
// What the spreadsheet export is checked by: the calls the spreadsheet
// routines make, as the recording backend writes them down, and the parts of
// a saved workbook.

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

// The settings of one cell written by ExcelWriteCell, in order.
inline QStringList CellCalls(int row, int col, const QString &text, int size, qint64 color, bool bold, bool borders)
{
    const QString cell = QStringLiteral("Sheet1.Cells(%1,%2)").arg(row).arg(col);
    QStringList calls;
    auto set = [&](const QString &what, const QString &value) {
        calls << "get " + cell << cell + what + " = " + value;
    };
    set(".HorizontalAlignment", "2");
    set(".VerticalAlignment", "1");
    auto font = [&](const QString &what, const QString &value) {
        calls << "get " + cell << "get " + cell + ".Font" << cell + ".Font." + what + " = " + value;
    };
    font("Color", QString::number(color));
    font("Bold", bold ? "true" : "false");
    font("Italic", "false");
    if (size > 0)
        font("Size", QString::number(size));
    set(".WrapText", "false");
    set(".Value", '"' + text + '"');
    for (int i = 1; borders && i <= 4; ++i)
        for (const char *p : {"LineStyle", "Weight"})
            calls << "get " + cell << QStringLiteral("get %1.Borders(%2)").arg(cell).arg(i)
                  << QStringLiteral("%1.Borders(%2).%3 = %4").arg(cell).arg(i).arg(p).arg(QLatin1String(p) == QLatin1String("Weight") ? 2 : 1);
    calls << "get " + cell << "get " + cell + ".Interior" << cell + ".Interior.Color = 16777215";
    return calls;
}

// One part of a saved workbook ("xl/worksheets/sheet1.xml"), as text.
inline QString WorkbookPart(const QString &file, const QString &name)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", file, name});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// The XML of one cell of a sheet's XML, e.g. CellXml(sheet, "B9").
inline QString CellXml(const QString &sheet, const QString &ref)
{
    const QRegularExpression re(QStringLiteral("<c r=\"%1\"[^>]*(/>|>.*?</c>)").arg(ref));
    return re.match(sheet).captured(0);
}
