#include "support/messages.h"

#include "support/app_error.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString title()
{
    return QCoreApplication::applicationName();
}

} // namespace

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

QString ErrorText(const std::exception &e)
{
    if (const auto *app = dynamic_cast<const AppError *>(&e))
        return app->message();
    return QString::fromLocal8Bit(e.what());
}

void ReportError(const std::exception &e)
{
    QMessageBox box(QMessageBox::Critical, title(), ErrorText(e), QMessageBox::Ok);
    box.exec();
}

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}
