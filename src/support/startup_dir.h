#pragma once
// The folder the program keeps its files in (StartupDir): the settings file,
// the database list, the default store and the Export, Import and
// Tree_Images folders. A portable program keeps them beside itself; an
// installed one never writes there, also when run as root, and uses a folder
// of the user's own instead.

#include <QString>

// Where an installed program lies: the bin folder of the install prefix the
// build was made for, and its metainfo file relative to that folder (found
// also when the whole tree was installed under another prefix).
struct InstallLayout {
    QString binDir;
    QString metainfoFromBin;
};

// Whether programDir is a portable folder: its permissions let this user
// write in it (a folder without any write bit counts as read-only, also for
// root, whom the system would let write) and it is not the bin folder of an
// installation.
bool IsPortableFolder(const QString &programDir, const InstallLayout &install);
// programDir when it is portable, else dataHome + "/VRKX_Query"; with a
// trailing "/". Creates nothing.
QString ChooseStartupDir(const QString &programDir, const InstallLayout &install, const QString &dataHome);
// The running program's: its executable's folder, the installation this
// build was made for, and $XDG_DATA_HOME (else ~/.local/share). Works before
// the application object exists; creates nothing.
QString ProgramStartupDir();
// The folder of the running executable, without a trailing "/".
QString ProgramDir();
// Creates the folder when it is missing, open to its owner only (the
// settings file in it holds a password). True when it exists afterwards.
bool MakeStartupDir(const QString &dir);
