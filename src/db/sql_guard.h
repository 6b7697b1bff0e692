#pragma once
// The program only reads the store, and promises that no statement it sends
// moves a sequence (generator). Sequences live outside transactions: a
// SELECT that calls GEN_ID or NEXT VALUE FOR moves one even in a read-only
// transaction, and the software that fills the store would then hand out
// keys twice. So every statement is checked here before it is prepared:
// - its text, read as the engine reads it (see sql_lexer.h), must be a
//   SELECT (or WITH ... SELECT) and must not call GEN_ID or NEXT VALUE FOR
//   outside literals and comments;
// - it must not name an object of the store that reaches a sequence when it
//   is read: a procedure, a function, a package, a view, or a table with a
//   computed column that calls one, directly or through each other, or a
//   routine that runs dynamic SQL (EXECUTE STATEMENT), which nothing can
//   check beforehand.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

// The sequence call the statement makes outside literals and comments
// ("GEN_ID" or "NEXT VALUE FOR"); empty when it makes none.
QString SequenceCallIn(const QString &sql);
// The message that refuses such a statement.
QString SequenceCallMessage(const QString &word);
// The message that refuses a statement other than a plain SELECT, by its
// text here or by its type once the engine has prepared it.
QString OnlySelectMessage();

// One row of the store's dependency list (RDB$DEPENDENCIES): the dependent
// object and what it depends on, with the engine's object type numbers; for
// a computed column (type 3) the table or view that holds it.
struct DependencyRow {
    QString dependent;
    int dependentType = 0;
    QString dependedOn;
    int dependedOnType = 0;
    QString table;
    bool tableIsView = false;
};

namespace ObjectType {
constexpr int Table = 0;
constexpr int View = 1;
constexpr int Trigger = 2;
constexpr int ComputedColumn = 3;
constexpr int Procedure = 5;
constexpr int Sequence = 14;
constexpr int Function = 15;
constexpr int PackageHeader = 18;
constexpr int PackageBody = 19;
// Not an engine type: a routine whose source runs EXECUTE STATEMENT.
constexpr int DynamicSql = -1;
} // namespace ObjectType

// An object of the store that a statement must not name.
struct ReachingObject {
    int type = 0;        // the engine's type of the object named (0, 1, 5, 15, 18)
    bool dynamic = false; // it runs dynamic SQL rather than reaching a sequence
};

// The objects of a store that reach a sequence, by name in upper case.
class SequenceReach {
public:
    SequenceReach() = default;
    // Follows the dependencies to the end (cycles included). Triggers are
    // not followed: reading never fires them.
    explicit SequenceReach(const std::vector<DependencyRow> &rows);

    bool isEmpty() const { return objects_.isEmpty(); }
    int size() const { return int(objects_.size()); }
    const ReachingObject *find(const QString &name) const;

private:
    QHash<QString, ReachingObject> objects_;
};

// Why the statement must not be sent, in a message for the user; empty when
// it may be. The text is the bytes sent to the engine.
QString StatementRefusal(const QByteArray &statement, const SequenceReach &reach);
