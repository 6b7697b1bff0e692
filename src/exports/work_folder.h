#pragma once
// Where workbooks are built before the user has them: a folder of this
// user's own, mode 0700 ("vrkx-query" under $XDG_RUNTIME_DIR, else
// "vrkx-query-UID" under the temporary folder), with a folder of each export
// inside it. An export's folder is held (locked) by the process while the
// export lives, or for as long as the process runs once the workbook is
// handed to the desktop's program; a folder that no running process holds
// is what a killed run left behind, and the next export sweeps it. Nothing
// outside the user's own folder is touched.

#include <QString>
#include <memory>

class WorkFolder {
public:
    // A new folder for one export; first sweeps what earlier runs left.
    // Throws AppError when no folder can be had.
    static std::unique_ptr<WorkFolder> make();
    // Removes the folder and what it holds, unless it is kept.
    ~WorkFolder();
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    const QString &path() const { return path_; }
    QString filePath(const QString &name) const;
    // The folder stays, held, while this process runs (a workbook the
    // desktop's program is opening); an export after the process has ended
    // sweeps it.
    void keepWhileRunning();

    // The user's own folder the export folders are made in: made (0700) or
    // checked; "" when none can be had.
    static QString root(const QString &runtimeDir, const QString &tempDir);
    // Removes the export folders under root that no running process holds.
    // Returns how many were removed.
    static int sweep(const QString &root);

private:
    WorkFolder(QString path, int lock) : path_(std::move(path)), lock_(lock) {}
    QString path_;
    int lock_ = -1; // the folder opened, with a shared lock on it
    bool kept_ = false;
};
