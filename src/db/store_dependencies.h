#pragma once
// What the store's own objects reach, read from its system tables as they
// stand when a statement is sent: the store's software may create or alter
// its code at any time while the program stays connected, so nothing of it
// is kept between statements. Only the objects a statement names are read,
// and what they use, to the end: every lookup goes through the system
// tables' indexes, so the cost follows what the statement uses, not the
// size of the store (bench/statement_guard measures it).
//
// Everything here runs on the store's thread and throws DbError.

#include "db/sql_guard.h"

#include <memory>

namespace Firebird {
class IAttachment;
class ITransaction;
} // namespace Firebird

// The rows SequenceReach follows for the named objects (names in upper
// case): what each named view, procedure, function, package and database
// trigger uses, what the computed columns of each named table and view use,
// followed to the end through every edge the engine records (packages by
// RDB$PACKAGE_NAME), and a row of a pseudo type for every routine on the way
// whose source runs EXECUTE STATEMENT (read with the program's own lexer),
// whose source is gone, or that is external.
std::vector<DependencyRow> ReadDependencies(Firebird::IAttachment *attachment, Firebird::ITransaction *transaction,
                                            const QStringList &names);

// The same reading, its statement prepared once for the attachment and run
// again for every statement checked: what it reads is the store as it is
// then. Used, and ended, on the store's thread before its attachment ends.
class DependencyReader {
public:
    explicit DependencyReader(Firebird::IAttachment *attachment);
    ~DependencyReader();
    DependencyReader(const DependencyReader &) = delete;
    DependencyReader &operator=(const DependencyReader &) = delete;
    std::vector<DependencyRow> read(Firebird::ITransaction *transaction, const QStringList &names);

private:
    struct Prepared;
    Firebird::IAttachment *attachment_;
    std::unique_ptr<Prepared> prepared_;
};

// Why the statement must not be sent (see StatementRefusal), against the
// store as it is now; empty when it may be.
QString StoreStatementRefusal(DependencyReader &reader, Firebird::ITransaction *transaction,
                              const QByteArray &statement);

// The active database triggers the engine runs on connect, disconnect and
// transaction start, commit and rollback.
std::vector<DatabaseTrigger> ReadDatabaseTriggers(Firebird::IAttachment *attachment,
                                                  Firebird::ITransaction *transaction);
// DatabaseTriggerNotice for the store: empty when no database trigger
// reaches a sequence or unchecked code.
QString StoreDatabaseTriggerNotice(Firebird::IAttachment *attachment, Firebird::ITransaction *transaction);
