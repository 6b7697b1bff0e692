#include "pickers/caption_follower.h"

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
    const QString text = edit_->text();
    QString caption;
    if (ReportingErrors([&] { caption = lookup_(text); }))
        label_->setText(caption);
}
