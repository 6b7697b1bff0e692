// VRKX_Query: the program entry.

#include "app/form_logo.h"
#include "app/main_window.h"
#include "app/vrkx_application.h"
#include "app/welcome_dialog.h"
#include "db/lookups.h"
#include "widgets/messages.h"
#include "widgets/sys.h"

#include <memory>

int main(int argc, char **argv)
{
    VrkxApplication app(argc, argv);
    if (!CheckSingleInstance(true))
        return 0;
    // The failing statement of a lookup is shown before its error.
    SetSqlErrorHook([](const QString &message) { ShowInfo(message); });

    auto *logo = new TForm_Logo;
    logo->show();
    logo->setState(QStringLiteral("Инициализация ..."));

    TForm1 mainWindow(QCoreApplication::applicationDirPath() + QChar('/'), logo);
    TDlg_Enter_In_Application welcome;
    mainWindow.setWelcomeDialog(&welcome);
    mainWindow.show();
    return app.exec();
}
