#pragma once
// The result query around a condition: the fixed SELECT over OBJECTS_TREE
// left-joined to L_TYPEOBJ_LIST, and the fields the result window shows.

#include "db/db_dataset.h"

#include <QStringList>
#include <vector>

// The statement lines; "where " and the condition only for a non-empty
// condition, "order by " and the ordering only for a non-empty ordering.
QStringList ResultQueryLines(const QString &condition, const QString &orderBy);

// The 21 fields of the result row set, in grid and export order.
std::vector<FieldDef> ResultFieldDefs();
