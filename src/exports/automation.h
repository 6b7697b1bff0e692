#pragma once
// A small automation object model in the manner of a spreadsheet
// application's: an application with workbooks and its active window, a
// workbook with worksheets, a sheet with its name, page setup, cells and
// ranges, a range with its font, borders and interior.
// Objects travel in QVariants; properties are read and set by name with
// positional arguments. What the calls do is left to a backend: the one that
// builds a workbook file, or one that records the calls for tests.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

// The size of a sheet: its last row and its last column.
constexpr int kSheetRows = 1048576;
constexpr int kSheetColumns = 16384;

// A rectangle of cells of one sheet, rows and columns from 1.
struct CellRect {
    int sheet = 1;
    int row1 = 0, col1 = 0, row2 = 0, col2 = 0;
};

class AutomationBackend {
public:
    virtual ~AutomationBackend() = default;
    // Every call made on the model, in order, as text ("Cells(7,1).Font.Bold = true"),
    // for a backend that wants them.
    virtual bool tracing() const { return false; }
    virtual void trace(const QString &call) { Q_UNUSED(call); }
    virtual void setVisible(bool visible) = 0;
    virtual void addWorkbook() = 0;
    virtual bool hasWorkbook() const = 0;
    virtual int sheetCount() const = 0;
    // A property of every cell of the rectangle: "HorizontalAlignment",
    // "VerticalAlignment", "WrapText", "Value", "Font.Color", "Font.Size",
    // "Font.Bold", "Font.Italic", "Borders(n).LineStyle", "Borders(n).Weight",
    // "Interior.Color", and "ColumnWidth" (of the rectangle's columns, in
    // characters). A Value for a rectangle of several cells is an array.
    virtual void setCells(const CellRect &cells, const QString &property, const QVariant &value) = 0;
    // A method of a rectangle of cells: "AutoFilter".
    virtual void callCells(const CellRect &cells, const QString &method) = 0;
    // A property of a sheet: "Name", "PageSetup.Orientation" (1 portrait,
    // 2 landscape), "PageSetup.Zoom", "PageSetup.FitToPagesWide",
    // "PageSetup.FitToPagesTall" (false: as many as needed); and of the
    // window that shows it: "Window.SplitRow", "Window.SplitColumn",
    // "Window.FreezePanes".
    virtual void setSheet(int sheet, const QString &property, const QVariant &value) = 0;
};

// What creating "Excel.Application" gives; tests install a recording backend.
using AutomationServer = std::function<std::shared_ptr<AutomationBackend>(const QString &progId)>;
void SetAutomationServer(AutomationServer server);

// The error an automation call raises (no such object or member, no server).
QString AutomationError(const QString &what);

// The model's calls. obj holds an automation object; every failure throws AppError.
QVariant CreateAutomationObject(const QString &progId);
QVariant AutoGet(const QVariant &obj, const QString &member, const QVariantList &args = {});
void AutoSet(const QVariant &obj, const QString &member, const QVariant &value, const QVariantList &args = {});
QVariant AutoCall(const QVariant &obj, const QString &method, const QVariantList &args = {});
// The backend behind an automation object (nullptr for an empty variant).
std::shared_ptr<AutomationBackend> AutomationBackendOf(const QVariant &obj);

// An argument left out, as an optional argument of a call may be.
QVariant OmittedArgument();

// Records every call; answers with a workbook of `sheets` sheets.
class RecordingBackend : public AutomationBackend {
public:
    explicit RecordingBackend(int sheets = 3) : sheets_(sheets) {}
    QStringList calls;

    bool tracing() const override { return true; }
    void trace(const QString &call) override { calls << call; }
    void setVisible(bool) override {}
    void addWorkbook() override { workbook_ = true; }
    bool hasWorkbook() const override { return workbook_; }
    int sheetCount() const override { return workbook_ ? sheets_ : 0; }
    void setCells(const CellRect &, const QString &, const QVariant &) override {}
    void callCells(const CellRect &, const QString &) override {}
    void setSheet(int, const QString &, const QVariant &) override {}

private:
    int sheets_;
    bool workbook_ = false;
};
