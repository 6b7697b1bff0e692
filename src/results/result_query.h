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

// The expression the result is ordered by for a field of it: the column's
// own expression in the statement; "" for a field it cannot be ordered by
// (the detailed text, a blob).
QString ResultSortExpression(const QString &fieldName);
// The ordering text for a field: its expression, "desc" when descending, and
// the identifier after it, so that rows of equal values always come in one
// order. "" when the field cannot be ordered by.
QString ResultSortOrder(const QString &fieldName, bool descending);
