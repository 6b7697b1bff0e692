#pragma once
// The store's own objects that reach a sequence, read from its system tables
// once per connection (one query).

#include "db/sql_guard.h"

namespace Firebird {
class IAttachment;
class ITransaction;
} // namespace Firebird

// The dependency rows that matter to the guard: every dependency of a view,
// computed column, procedure, function or package, with the table of each
// computed column, and a row of type ObjectType::DynamicSql for every
// routine whose source runs EXECUTE STATEMENT. Throws DbError.
std::vector<DependencyRow> ReadStoreDependencies(Firebird::IAttachment *attachment,
                                                 Firebird::ITransaction *transaction);
