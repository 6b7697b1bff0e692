#pragma once
// The demonstration store made for the user who has none: the demo content
// the demo-store tool writes, in a new file in the folder the program keeps
// its files in, made on a thread of its own under the wait window.

#include <QString>

// The file the demo store goes to in folder: "VRKX_Demo_DB.GDB", or a
// numbered variant when that name is taken.
QString DemoStoreFileName(const QString &folder);

// Makes the store at path (which must not exist) while the wait window shows
// how far it has come. False when the user cancelled; nothing of the file
// stays then, nor after an error (DbError, thrown).
bool MakeDemoStore(const QString &path);

inline const QString kDemoStoreAbout = QStringLiteral("Демонстрационная база данных");
