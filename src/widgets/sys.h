#pragma once
// The single-instance guard.

#include <QString>

// True when no other instance of the program runs. The guard is a lock
// named after the executable's file name (not its folder), held until the
// process ends however it ends. With showMessages the refusal is shown.
bool CheckSingleInstance(bool showMessages);
// The guard for a given name and lock folder (the program passes its own).
bool CheckSingleInstance(const QString &name, const QString &lockFolder, bool showMessages);
QString SingleInstanceMessage(const QString &executableFileName);
