#include "app/vrkx_application.h"

#include "widgets/messages.h"

#include <exception>

VrkxApplication::VrkxApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("VRKX_Query"));
}

bool VrkxApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ReportError(e);
    } catch (...) {
        ReportError(std::runtime_error("Unknown error"));
    }
    return false;
}
