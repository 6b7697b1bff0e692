#include "widgets/wait_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

StoreWaitDialog::StoreWaitDialog()
{
    setObjectName(QStringLiteral("StoreWaitDialog"));
    setWindowTitle(QCoreApplication::applicationName());
    setWindowModality(Qt::ApplicationModal);
    // A title and a close button (which cancels), nothing to resize or hide.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    label = new QLabel(QStringLiteral("Выполняется запрос к базе данных ..."), this);
    label->setObjectName(QStringLiteral("WaitLabel"));
    auto *busy = new QProgressBar(this);
    busy->setObjectName(QStringLiteral("WaitBusy"));
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    cancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    cancelButton->setObjectName(QStringLiteral("WaitCancel"));
    connect(cancelButton, &QPushButton::clicked, this, &StoreWaitDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(busy);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void StoreWaitDialog::begin(std::function<void()> cancel)
{
    cancel_ = std::move(cancel);
    adjustSize();
    // Over the window that waits; no parent, as the window may go first.
    const QWidget *over = QApplication::activeModalWidget();
    if (!over)
        over = QApplication::activeWindow();
    if (over)
        move(over->frameGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    // The caller's busy cursor would stand over the Cancel button too.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    arrowCursor_ = true;
}

StoreWaitDialog::~StoreWaitDialog()
{
    if (arrowCursor_)
        QApplication::restoreOverrideCursor();
}

void StoreWaitDialog::cancelling()
{
    label->setText(QStringLiteral("Запрос отменяется ..."));
    cancelButton->setEnabled(false);
}

void StoreWaitDialog::progress(const QString &text)
{
    if (cancelButton->isEnabled())
        label->setText(text);
}

void StoreWaitDialog::reject()
{
    // When the program ends, the window gives way to the windows' close (the
    // call is left by then); otherwise it stays until the call has ended:
    // the wait routine closes it.
    if (WaitingEnded())
        QDialog::reject();
    else if (cancel_)
        cancel_();
}

void InstallStoreWaitWindow()
{
    SetStoreWaitWindow([]() -> std::unique_ptr<StoreWaitWindow> {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            return nullptr;
        return std::make_unique<StoreWaitDialog>();
    });
}
