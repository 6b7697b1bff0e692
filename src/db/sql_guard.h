#pragma once
// The program only reads the store, and promises that no statement it sends
// moves a sequence (generator). Sequences live outside transactions: a
// SELECT that calls GEN_ID or NEXT VALUE FOR moves one even in a read-only
// transaction, and the software that fills the store would then hand out
// keys twice. So every statement is checked here before it is prepared:
// - its text, read as the engine reads it (see sql_lexer.h), must hold no
//   NUL byte (the engine would cut the statement there), must be a SELECT
//   (or WITH ... SELECT) and must not call GEN_ID or NEXT VALUE FOR outside
//   literals and comments;
// - it must not name an object of the store that reaches a sequence when it
//   is read: a procedure, a function, a package, a view, or a table with a
//   computed column that calls one, directly or through each other, or that
//   runs code nobody can check beforehand: dynamic SQL (EXECUTE STATEMENT),
//   a routine whose source is gone, an external routine (UDR, UDF).
// What the store's objects reach is read for each statement, for the names
// it holds (see store_dependencies.h): the store's software may change its
// code while the program stays connected.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// The message that refuses a statement other than a plain SELECT, by its
// text here or by its type once the engine has prepared it.
QString OnlySelectMessage();

namespace ObjectType {
// The engine's numbers (RDB$DEPENDENCIES).
constexpr int Table = 0;
constexpr int View = 1;
constexpr int Trigger = 2;
constexpr int Procedure = 5;
constexpr int Sequence = 14;
constexpr int Function = 15;
constexpr int PackageHeader = 18;
constexpr int PackageBody = 19;
// Not engine types: the dependent's own code cannot be checked.
constexpr int DynamicSql = -1; // its source runs EXECUTE STATEMENT
constexpr int NoSource = -2;   // its source was removed from the store
constexpr int External = -3;   // it lives outside the store (UDR, UDF)
} // namespace ObjectType

// One thing an object of the store uses: its name and type, what it uses
// (a name and type, or one of the pseudo types above with no name). A
// computed column counts as its table's or view's; a routine of a package
// as its package (type PackageBody), which the engine keeps as a whole.
struct DependencyRow {
    QString dependent;
    int dependentType = 0;
    QString dependedOn;
    int dependedOnType = 0;
};

// An object of the store that a statement must not name, and why: the
// sequence it moves, or the routine whose code cannot be checked.
struct ReachingObject {
    int type = 0;       // the object's own type (Table, View, Procedure, Function, PackageBody, Trigger)
    int why = 0;        // ObjectType::Sequence, DynamicSql, NoSource or External
    QString origin;     // the sequence, or the routine with that code
    int originType = 0; // the routine's type (for a sequence: Sequence)
};

// The objects that reach a sequence or code that cannot be checked, by name
// in upper case, followed through each other to the end (cycles included).
// A sequence wins over code that cannot be checked, dynamic SQL over the
// rest. Triggers of tables are never followed: no select fires one (the
// engine has no trigger on reading); database triggers come in only as
// rows of their own (see DatabaseTriggerNotice).
class SequenceReach {
public:
    SequenceReach() = default;
    explicit SequenceReach(const std::vector<DependencyRow> &rows);

    bool isEmpty() const { return objects_.isEmpty(); }
    int size() const { return int(objects_.size()); }
    const ReachingObject *find(const QString &name) const;

private:
    QHash<QString, ReachingObject> objects_;
};

// Why the statement must not be sent, in a message for the user; empty when
// it may be. The text is the bytes sent to the engine. With an empty reach
// only the text is checked.
QString StatementRefusal(const QByteArray &statement, const SequenceReach &reach);
// The words of the statement outside literals and comments, once each: the
// names of the store's objects it may use.
QStringList StatementNames(const QByteArray &statement);
// Whether a routine's source runs dynamic SQL: EXECUTE STATEMENT outside
// literals and comments, with anything the engine skips between the words.
bool RunsDynamicSql(const QByteArray &source);

// A database trigger: the engine runs it by itself on an event.
struct DatabaseTrigger {
    QString name;
    int type = 0; // RDB$TRIGGER_TYPE: 8192 connect ... 8196 transaction rollback
};
// What the user is told when the engine would not switch the database
// triggers off: those of them that reach a sequence or unchecked code, with
// why; empty when none does.
QString DatabaseTriggerNotice(const std::vector<DatabaseTrigger> &triggers, const SequenceReach &reach);
