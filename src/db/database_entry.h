#pragma once
// The description of one database: the settings file keeps one, the
// database list many.

#include <QString>

struct DatabaseEntry {
    QString About_DB;        // free description, shown in the main window's top line
    QString AliasBDE5;       // alias; carried, listed and saved, never used to connect
    QString FullFileNameGDB; // the path as the user entered it
    QString USER_NAME;
    QString PASSWORD;        // kept as plain text

    bool operator==(const DatabaseEntry &) const = default;
};

// The credentials of the demo store, used where nobody gave any. The list
// of databases fills an empty user name with the upper-case form.
inline const QString kDefaultUserName = QStringLiteral("VeldaRunKX");
inline const QString kDefaultPassword = QStringLiteral("qzmt");
