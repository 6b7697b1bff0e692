#pragma once
// The automation backend that builds a workbook file (.xlsx) with
// libxlsxwriter. Rows are written as they come: a row is complete once a
// later row is touched, and only the rows not yet complete are held, so
// memory does not grow with the rows. Fonts, borders, alignment, wrapping and
// the interior become cell formats, made once for every look used; a value
// beginning with an apostrophe is stored as text without it, as spreadsheet
// applications do; a date-time is stored as a date with a date format.
// Complete rows are turned into the file's XML on a thread of their own while
// the program goes on with the next rows. A text is stored as the sheet can
// hold it (SheetText); the values that had to change are counted. Column
// widths, frozen panes, the filter and the page setup are kept until the
// workbook is saved. The workbook is built in a folder of the user's own
// (WorkFolder, 0700), its file open to the user alone (0600); saving it
// (compressing its parts) can be watched and stopped from another thread.

#include "exports/automation.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>
#include <memory>

class WorkFolder;
struct SaveWatch;
struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class XlsxBackend : public AutomationBackend {
public:
    // The sheets a new workbook has, as a spreadsheet application gives them,
    // and the name of the first one (the application speaks Russian).
    static constexpr int kSheets = 1;
    static inline const QString kFirstSheetName = QStringLiteral("Лист1");

    XlsxBackend();
    ~XlsxBackend() override;

    void setVisible(bool) override {}
    void addWorkbook() override;
    bool hasWorkbook() const override { return workbook_ != nullptr; }
    int sheetCount() const override { return workbook_ ? kSheets : 0; }
    void setCells(const CellRect &cells, const QString &property, const QVariant &value) override;
    void callCells(const CellRect &cells, const QString &method) override;
    void setSheet(int sheet, const QString &property, const QVariant &value) override;

    // Writes the workbook to the file (replacing it in one step once the
    // workbook is complete). Throws AppError naming the file when it fails;
    // nothing is left behind then.
    void save(const QString &fileName);
    // Finishes the workbook in its folder (flushes its rows, compresses its
    // parts) and returns the file, mode 0600; "" when the watch stopped it
    // (nothing of it stays then). Throws AppError when it fails (nothing of
    // it stays either). May run on another thread than the one that wrote
    // the rows, while that one waits.
    QString finish(SaveWatch *watch = nullptr);
    // Moves the finished workbook to the file (copied under the watch onto
    // another file system; the file appears whole or not at all). False when
    // the watch stopped it. Throws AppError naming the file when it fails.
    bool moveTo(const QString &fileName, SaveWatch *watch = nullptr);
    // The finished workbook stays in its folder while the program runs (the
    // desktop's program opens it there).
    void keepWhileRunning();
    // Drops the workbook without a file, and its folder with what it holds.
    void discard();
    // Texts written so far that the sheet could not hold as they were: cut,
    // or characters replaced (complete once the workbook is saved).
    int changedValues() const { return changedValues_; }

    // The look of a cell, as the formats know it.
    struct Look {
        int hAlign = 0, vAlign = 0;
        bool wrap = false;
        qint64 fontColor = -1;
        double fontSize = 0;
        bool bold = false, italic = false;
        int borderStyle[5] = {0, 0, 0, 0, 0}; // line style by border number 1..4
        int borderWeight[5] = {0, 0, 0, 0, 0};
        qint64 interior = -1;
        int numFormat = 0; // 1: date, 2: date and time
        bool operator==(const Look &o) const;
    };

private:
    struct Cell {
        bool used = false;
        QVariant value;
        Look look;
    };
    using Row = std::vector<Cell>; // by column, from 1
    // What the sheet's window and printed pages look like.
    struct Layout {
        QString name = kFirstSheetName;
        std::map<int, double> widths; // by column, from 1
        int splitRow = 0, splitColumn = 0;
        bool frozen = false;
        CellRect filter{1, 0, 0, 0, 0}; // none while row1 is 0
        bool landscape = false;
        int fitWide = -1, fitTall = -1; // pages; -1 not fitted, 0 as many as needed
        int zoom = 0;                   // percent; 0 not set
    };
    lxw_worksheet *worksheet();
    void applyLayout();
    Cell &cell(int row, int col);
    void flushBefore(int row);
    void writeRow(int row, const Row &cells);
    lxw_format *format(const Look &look);
    void writerLoop();
    void stopWriter();
    void freeWorkbook();

    lxw_workbook *workbook_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    std::unique_ptr<WorkFolder> work_; // the file being built and libxlsxwriter's own temporary files
    QString file_;
    std::map<int, Row> pending_; // rows not yet written
    // Complete rows on their way to the writer thread, and cells of written
    // rows for the next ones; both guarded by mutex_.
    static constexpr std::size_t kQueueRows = 1024;
    static constexpr std::size_t kBatchRows = 128; // the writer wakes for this many
    std::deque<std::pair<int, Row>> queue_;
    std::vector<Row> spare_;
    std::mutex mutex_;
    std::condition_variable queued_, taken_;
    bool closing_ = false;
    QString failure_; // what stopped the writer thread
    std::thread writer_;
    int written_ = 0;                    // rows up to this one are written
    std::vector<std::pair<Look, lxw_format *>> formats_;
    Layout layout_;
    std::atomic<int> changedValues_{0};
    QByteArray utf8_;
};
