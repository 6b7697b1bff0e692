#pragma once
// The description of a store named on the command line.

#include "db/database_entry.h"

#include <QString>

// The entry for the store path (as StoreArgument gives it): the first row of
// the database list in startupDir that names the same store, else the
// remembered entry of the settings file when it names it, else the path with
// the default user name and password and its file name as the description.
// Relative paths of the list and the settings are taken in workingDir, as
// the connection would take them.
DatabaseEntry EntryForStore(const QString &store, const QString &startupDir, const QString &workingDir);
