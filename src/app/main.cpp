// VRKX_Query: the program entry.

#include "app/command_line.h"
#include "app/form_logo.h"
#include "app/main_window.h"
#include "app/quit_signals.h"
#include "app/vrkx_application.h"
#include "app/welcome_dialog.h"
#include "db/db_connection.h"
#include "db/engine_locale.h"
#include "db/engine_lock_folder.h"
#include "db/lookups.h"
#include "db/store_wait.h"
#include "db/store_worker.h"
#include "support/startup_dir.h"
#include "widgets/messages.h"
#include "widgets/sys.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char **argv)
{
    // --help and --version answer before there is an application object: no
    // display is needed for them.
    const QString startupDir = ProgramStartupDir();
    const CommandLine commandLine = ParseCommandLine(ArgumentList(argc, argv), startupDir, QDir::currentPath());
    if (commandLine.action != CommandLine::Action::Run)
        return AnswerCommandLine(commandLine);
    // Before the client library is first used: where the embedded engine
    // may keep its lock files.
    PrepareEngineLockFolder();
    VrkxApplication app(argc, argv);
    // Store paths with any letters, whatever the locale (after the
    // application object has taken the user's).
    PrepareEngineFileNames();
    if (!CheckSingleInstance(true))
        return 0;
    // The failing statement of a lookup is shown before its error.
    SetSqlErrorHook([](const QString &message) { ShowInfo(message); });

    auto *logo = new TForm_Logo;
    logo->show();
    logo->setState(QStringLiteral("Инициализация ..."));

    TForm1 mainWindow(startupDir, logo);
    mainWindow.setStoreArgument(commandLine.store);
    TDlg_Enter_In_Application welcome;
    mainWindow.setWelcomeDialog(&welcome);
    // A signal ends the program as closing its window does.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, [] { QuitAsClose(); });
    QObject::connect(mainWindow.pFIBDatabase1, &DbConnection::opened, &quitSignals, &QuitSignals::reclaim);
    mainWindow.show();
    const int code = app.exec();
    // The windows are gone: whatever still waits, no wait window stands
    // alone on the screen for it.
    EndWaiting();
    // The settings were saved when the window closed; now the store.
    mainWindow.pFIBDatabase1->close();
    if (StoreWorker::abandonedCount() > 0) {
        // A call or disconnect that never ended holds the client library: its
        // own clean-up at exit would wait for it for ever. The process ends
        // here, and with it the single-instance lock.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
