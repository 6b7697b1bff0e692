#include "widgets/messages.h"

#include "db/engine_messages.h"
#include "widgets/wait_window.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

namespace {

QString title()
{
    return QCoreApplication::applicationName();
}

void showErrorBox(const QString &text)
{
    // A call the user stopped is no fault: said without the error's icon.
    const bool cancel = text.startsWith(kQueryCancelled.chopped(1)) || text.startsWith(QStringLiteral("Подключение отменено"));
    QMessageBox box(cancel ? QMessageBox::Information : QMessageBox::Critical, title(), text, QMessageBox::Ok);
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
    ShowInfo(text, QString(), parent);
}

bool Confirm(const QString &text, QWidget *parent)
{
    return Confirm(text, QString(), parent);
}

void ShowInfo(const QString &text, const QString &below, QWidget *parent)
{
    QMessageBox box(QMessageBox::Information, title(), text, QMessageBox::Ok, parent);
    box.setInformativeText(below);
    box.exec();
}

bool Confirm(const QString &text, const QString &below, QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setInformativeText(below);
    return box.exec() == QMessageBox::Ok;
}

QString SavedToText(const QString &fileName)
{
    return QStringLiteral("Сохранено в файл %1").arg(QDir::toNativeSeparators(fileName));
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}
