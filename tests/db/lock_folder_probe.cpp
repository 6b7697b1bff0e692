// The lock-folder choice as the program makes it, for a test that runs this
// as another user: decides the folder, opens the store given and says what
// became of it.
//   lock_folder_probe STORE   prints "FIREBIRD_LOCK=<value>", then "opened"
//                             or the error's text (UTF-8); status 0 or 1

#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/engine_lock_folder.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    PrepareEngineLockFolder();
    QCoreApplication app(argc, argv);
    std::printf("FIREBIRD_LOCK=%s\n", qgetenv("FIREBIRD_LOCK").constData());
    DbConnection conn;
    conn.setDatabaseName(app.arguments().value(1));
    conn.setUserName(QStringLiteral("VeldaRunKX"));
    try {
        conn.open();
        std::printf("opened\n");
        return 0;
    } catch (const DbError &e) {
        std::printf("%s\n", e.message().toUtf8().constData());
        return 1;
    }
}
