#pragma once
// The list of known databases as its file holds it: a grid layout file of
// five columns (description, alias, path, user, password) with a header row.

#include "db/database_entry.h"
#include "support/grid_layout_file.h"

#include <QList>
#include <QStringList>

// The headers, row 0 of the list.
QStringList DatabaseListHeaders();
// The entry a row of the list describes, each text trimmed; an empty user
// name becomes "VELDARUNKX" and an empty password "qzmt".
DatabaseEntry DatabaseEntryFromRow(const QStringList &cells);
// A list of the given data rows, as the file records it.
GridLayout DatabaseListLayout(const QList<QStringList> &rows);
// The entries of the rows below the list's fixed rows, as the list would
// give them when chosen.
QList<DatabaseEntry> DatabaseListEntries(const GridLayout &layout);
