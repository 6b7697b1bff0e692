#include "results/export_progress.h"

#include <QCoreApplication>
#include <algorithm>
#include <QProgressDialog>

ExportProgress::ExportProgress(QWidget *parent, const QString &title) : parent_(parent), title_(title)
{
    sinceStart_.start();
    sinceEvents_.start();
}

ExportProgress::~ExportProgress()
{
    delete dialog_.data();
}

bool ExportProgress::step(int rowsWritten, int total)
{
    if (cancelled_)
        return false;
    if (sinceEvents_.elapsed() < kEventIntervalMs)
        return true;
    sinceEvents_.restart();
    if (!dialog_ && sinceStart_.elapsed() >= kShowAfterMs) {
        dialog_ = new QProgressDialog(parent_);
        dialog_->setObjectName(QStringLiteral("ExportProgress"));
        dialog_->setWindowTitle(title_);
        dialog_->setCancelButtonText(QStringLiteral("Отмена"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->setMinimumWidth(360);
        QObject::connect(dialog_.data(), &QProgressDialog::canceled, dialog_.data(), [this] { cancelled_ = true; });
        dialog_->show();
    }
    if (dialog_)
        update(rowsWritten, total);
    // Until the modal progress window stands in front of the result window,
    // a click could reach the window whose rows are being written.
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !cancelled_;
}

void ExportProgress::update(int rowsWritten, int total)
{
    if (total >= 0) {
        dialog_->setMaximum(std::max(total, 1));
        dialog_->setValue(std::min(rowsWritten, std::max(total, 1)));
        dialog_->setLabelText(QStringLiteral("Записано строк: %1 из %2").arg(rowsWritten).arg(total));
    } else {
        dialog_->setMaximum(0); // the count is not known yet: a busy bar
        dialog_->setLabelText(QStringLiteral("Записано строк: %1").arg(rowsWritten));
    }
}
