#include "widgets/messages.h"

#include "widgets/wait_window.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString title()
{
    return QCoreApplication::applicationName();
}

void showErrorBox(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok);
    box.exec();
}

// Every program with windows shows errors in a box ...
[[maybe_unused]] const bool kErrorBoxInstalled = (InstallErrorMessageBox(), true);
// ... and waits on the store under the wait window.
[[maybe_unused]] const bool kWaitWindowInstalled = (InstallStoreWaitWindow(), true);

} // namespace

void InstallErrorMessageBox()
{
    SetErrorSink(showErrorBox);
}

void ShowInfo(const QString &text, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, title(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool Confirm(const QString &text, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    return box.exec() == QMessageBox::Ok;
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}
