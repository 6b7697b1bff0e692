#pragma once
// The embedded engine keeps its lock files in a folder: the one that
// FIREBIRD_LOCK names, else /tmp/firebird. A Firebird server on the same
// machine makes /tmp/firebird its own (firebird:firebird, mode 0770), and a
// user outside that group could then open no local store at all. So, before
// the client library is first used, a user who cannot use the default
// folder gets a folder of their own: under $XDG_RUNTIME_DIR, else the
// temporary folder, named with the user id, mode 0700. A folder the user
// named in FIREBIRD_LOCK is always kept. A store that another process (a
// server) holds stays refused: the engine locks the database file itself.

#include <QString>

inline const QString kDefaultEngineLockFolder = QStringLiteral("/tmp/firebird");

// Whether this user can keep lock files in the folder: it exists and may be
// read, written and entered, or it can be made in its parent.
bool LockFolderUsable(const QString &folder);

// The folder of this user's own: "vrkx-firebird-UID" under the runtime
// folder when that is an absolute path, else under the temporary folder.
QString OwnLockFolder(const QString &runtimeDir, const QString &tempDir, unsigned uid);

// Makes the folder (mode 0700) or checks the one there: a real folder of
// this user that nobody else may enter; a folder of this user with a wider
// mode is narrowed. False when it cannot be had.
bool MakePrivateFolder(const QString &folder);

// Decides the lock folder and sets FIREBIRD_LOCK when it is the user's own.
// Returns the folder set, or "" when the environment's or the default stays.
QString PrepareEngineLockFolder();
