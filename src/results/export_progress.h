#pragma once
// Progress of a long export: a window-modal progress window that appears when
// the export takes longer than a moment, counts the rows written (of how many,
// once the count is known) and offers to cancel. Pending events run every few
// dozen milliseconds, not per row, so the window stays responsive at little
// cost; while the progress window is not shown yet, user input waits.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

class ExportProgress {
public:
    static constexpr int kEventIntervalMs = 40;
    static constexpr int kShowAfterMs = 400;

    ExportProgress(QWidget *parent, const QString &title);
    ~ExportProgress();
    ExportProgress(const ExportProgress &) = delete;
    ExportProgress &operator=(const ExportProgress &) = delete;

    // Reports rows written so far; total is -1 while unknown. False once the
    // user has cancelled.
    bool step(int rowsWritten, int total);
    bool cancelled() const { return cancelled_; }

private:
    void update(int rowsWritten, int total);

    QWidget *parent_;
    QString title_;
    QPointer<QProgressDialog> dialog_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceEvents_;
    bool cancelled_ = false;
};
