#pragma once
// The settings file beside the executable: the five texts of the database in
// use, in the section DB_CURRENT of VRKX_Query.ini.

#include "db/database_entry.h"

#include <QString>

namespace AppFiles {
inline const QString DefaultDb = QStringLiteral("VRKX_DB_01.GDB");
inline const QString Settings = QStringLiteral("VRKX_Query.ini");
inline const QString DatabaseList = QStringLiteral("VRKX_LocalList_DB.txt");
} // namespace AppFiles

// The built-in description of the default database in the program's folder.
DatabaseEntry DefaultDatabaseEntry(const QString &startupDir);
// The five values from the settings file, trimmed; a missing file, section
// or key gives its default (the path then is the bare "VRKX_DB_01.GDB").
DatabaseEntry ReadCurrentDb(const QString &startupDir);
// Writes the five values, each trimmed. Nothing is written when the folder
// refuses new files; a file that cannot be replaced raises AppError.
void SaveCurrentDb(const QString &startupDir, const DatabaseEntry &entry);
// Whether the settings file can hold the entry as it is: every letter of its
// five texts has a Windows-1251 byte. Such an entry is not written mangled.
bool CanRememberEntry(const DatabaseEntry &entry);
// Whether the entry names the default database file of the program's folder
// (letter case and blanks around the path ignored): such an entry is not
// saved when the program closes.
bool IsDefaultDatabase(const QString &startupDir, const DatabaseEntry &entry);
// The path handed to the connection: as the user gave it.
QString ConnectionPath(const QString &fullFileName);
