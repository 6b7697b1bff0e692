#pragma once
// The embedded engine keeps its lock files in a folder: the one that
// FIREBIRD_LOCK names, else /tmp/firebird. A Firebird server on the same
// machine makes /tmp/firebird its own (firebird:firebird, mode 0770), and a
// user outside that group could then open no local store at all. So, before
// the client library is first used, a user who cannot use the default
// folder gets a folder of their own, mode 0700: under $XDG_RUNTIME_DIR, else
// the one recorded for the user, else "vrkx-firebird-UID" in the temporary
// folder, else (that name taken by another user) a folder under a name
// nobody can take beforehand (mkdtemp), recorded for the user so that the
// next runs of the program and of the demo-store tool use it too. A folder
// the user named in FIREBIRD_LOCK is always kept. A store that another
// process (a server) holds stays refused: the engine locks the database file
// itself. Where no folder can be had, or FIREBIRD_LOCK names one that cannot
// be used, a local store's attach fails with a Russian message that says so.

#include "db/db_error.h"

#include <QString>
#include <QStringList>

inline const QString kDefaultEngineLockFolder = QStringLiteral("/tmp/firebird");

// Whether this user can keep lock files in the folder: it exists and may be
// read, written and entered, or it can be made in its parent (the engine
// makes it then).
bool LockFolderUsable(const QString &folder);

// The folder of this user's own: "vrkx-firebird-UID" under the runtime
// folder when that is an absolute path, else under the temporary folder.
QString OwnLockFolder(const QString &runtimeDir, const QString &tempDir, unsigned uid);

// Makes the folder (mode 0700) or checks the one there: a real folder of
// this user that nobody else may enter; a folder of this user with a wider
// mode is narrowed. False when it cannot be had.
bool MakePrivateFolder(const QString &folder);

// Where the choice looks; fromEnvironment() is what the program sees.
struct LockFolderPlaces {
    QString lockVariable;  // FIREBIRD_LOCK, "" when not set (the engine ignores an empty one)
    QString defaultFolder = kDefaultEngineLockFolder;
    QString runtimeDir;    // $XDG_RUNTIME_DIR
    QString tempDir;       // the temporary folder
    QString recordFile;    // where a folder under an unforeseeable name is recorded; "" none
    unsigned uid = 0;
    static LockFolderPlaces fromEnvironment();
};

struct LockFolderChoice {
    QString folder;      // to be set as FIREBIRD_LOCK; "" when the environment's or the default stays
    QStringList tried;   // the folders looked at, in order
    QString problem;     // why no usable folder could be had, in Russian; "" when one was
};

// Decides the lock folder (making the user's own when needed, recording an
// unforeseeable one).
LockFolderChoice ChooseEngineLockFolder(const LockFolderPlaces &places);

// Decides the lock folder and sets FIREBIRD_LOCK when it is the user's own.
// Returns the folder set, or "" when the environment's or the default stays.
// Called by the program and the demo-store tool before the client library
// is first used.
QString PrepareEngineLockFolder();

// What PrepareEngineLockFolder found wrong, in Russian: no folder could be
// had, or FIREBIRD_LOCK names one that cannot be used. "" when nothing.
QString EngineLockFolderProblem();

// The error of a failed attach: for a local store while there is a lock
// folder problem, that problem said first, the engine's text kept below.
DbError LockFolderError(const QString &database, const DbError &error);
template <class F>
auto WithLockFolderProblem(const QString &database, F &&attach)
{
    try {
        return attach();
    } catch (const DbError &e) {
        throw LockFolderError(database, e);
    }
}
