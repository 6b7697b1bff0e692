#pragma once
// Saving a finished export takes seconds for a large one (compressing a
// workbook, copying a page or a workbook to another file system), so it runs
// away from the window's thread, under the wait window: the window's thread
// watches how far it has come and may ask it to stop, which makes it end
// soon and leave nothing of itself.

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>

class QIODevice;

struct SaveWatch {
    std::atomic<bool> stop{false};
    std::atomic<qint64> done{0};  // bytes
    std::atomic<qint64> total{0}; // bytes expected; 0 while unknown
    // Called on the saving thread after every piece (a test slows the save
    // with it).
    std::function<void()> onPiece;

    // Counts a piece written; false when the save is to stop.
    bool advance(qint64 bytes);
    // "what: 45 %", or "what ..." while the size is unknown.
    QString text(const QString &what) const;
};

// Copies the device to the file as CopyFileOver does (the file appears whole
// or not at all), a piece at a time under the watch. False with the reason
// when it fails; false with an empty reason when it was stopped.
bool CopyFileWatched(QIODevice &from, const QString &to, SaveWatch &watch, QString *error, bool *noSpace);

// Runs save on a thread of its own under the wait window, which shows
// watch.text(what) and whose Cancel (or the program's end) sets watch.stop
// (see RunLongWorkAside). Returns save's result: false when it stopped.
bool RunSave(const QString &what, SaveWatch &watch, const std::function<bool()> &save);
