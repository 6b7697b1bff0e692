#pragma once
// The result rows written as the HTML page, and the temporary file the page
// is written to before the user has chosen where it goes.

#include "exports/export_rows.h"

#include <QFile>
#include <QString>

class DbDataSet;
class QIODevice;
struct SaveWatch;

// Writes the page of every row of the open row set in one pass, as long
// work in steps with the wait window's progress and Cancel (see
// ForEachExportRow; run replaces RunLongWork). False when cancelled. The
// current row stays. Throws DbError or AppError.
bool WriteResultPage(DbDataSet &rows, QIODevice &out, const LongWorkRunner &run = {});

// The page while it is written and while the user chooses its name: a file
// in the system's temporary folder that has no name there (it is removed as
// soon as it is made), so that nothing of it is left anywhere however the
// program ends, and nothing appears in the user's folder before the page is
// saved there.
class TemporaryPage {
public:
    // In the temporary folder, or, where that takes no file, in otherFolder
    // (as nameless there). Throws AppError when neither does.
    explicit TemporaryPage(const QString &otherFolder = QString());
    TemporaryPage(const TemporaryPage &) = delete;
    TemporaryPage &operator=(const TemporaryPage &) = delete;

    QIODevice &device() { return file_; }
    // Writes the page under the chosen name, replacing a file of that name
    // in one step once it is complete; a new file gets the usual
    // permissions, a replaced one keeps its own. Throws AppError naming the
    // file ("Недостаточно места на диске: ..." when the disk is full); the
    // chosen name is then unchanged. Under a watch (from another thread) it
    // may be stopped: false, and the chosen name is unchanged too.
    bool saveAs(const QString &fileName, SaveWatch *watch = nullptr);

private:
    QFile file_;
};
