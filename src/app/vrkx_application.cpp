#include "app/vrkx_application.h"

#include "widgets/messages.h"

#include <QLibraryInfo>
#include <QLocale>
#include <exception>

VrkxApplication::VrkxApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("VRKX_Query"));
    InstallErrorMessageBox();
    // The program speaks Russian: so do the toolkit's own dialogs (the save
    // dialog, its question before a file is replaced, the input box).
    if (qtTranslator_.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslator_);
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
