#include "app/vrkx_application.h"

#include "widgets/messages.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <exception>

// The program's pictures live in the app library's resources: a static
// library's resources are registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(app);
}

VrkxApplication::VrkxApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("VRKX_Query"));
    // The desktop entry the window belongs to, and its icon where no desktop
    // entry is installed (a build folder).
    setDesktopFileName(QStringLiteral(VRKX_APP_ID));
    initResources();
    QIcon icon;
    for (int size : {48, 128, 256})
        icon.addFile(QStringLiteral(":/app/icon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
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
