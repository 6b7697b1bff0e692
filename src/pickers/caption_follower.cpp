#include "pickers/caption_follower.h"

#include "db/store_wait.h"
#include "support/app_error.h"

#include <QLabel>
#include <QLineEdit>

CaptionFollower::CaptionFollower(QLineEdit *edit, QLabel *label, Lookup lookup)
    : QObject(edit), edit_(edit), label_(label), lookup_(std::move(lookup))
{
    pending_.setSingleShot(true);
    pending_.setInterval(0);
    connect(&pending_, &QTimer::timeout, this, &CaptionFollower::update);
    connect(edit, &QLineEdit::textChanged, &pending_, qOverload<>(&QTimer::start));
}

void CaptionFollower::update()
{
    pending_.stop();
    if (!edit_ || !label_)
        return;
    if (StoreCallWaiting()) {
        // A window waits on the store: this lookup comes after it.
        pending_.start(kRetryMs);
        return;
    }
    pending_.setInterval(0);
    const QString text = edit_->text();
    QString caption;
    try {
        caption = lookup_(text);
        lastError_.clear();
    } catch (const std::exception &e) {
        caption = QStringLiteral("???");
        const QString message = QString::fromUtf8(e.what());
        if (message != lastError_) {
            lastError_ = message;
            ReportingErrors([&] { throw; });
        }
    }
    label_->setText(caption);
}
