#pragma once
// The file dialog that picks a store file to open: from the menu "База
// данных", from the choice shown when no store opened at start, and from the
// path cell of the database list.

#include <QString>

class QWidget;

inline const QString kStoreFileFilter = QStringLiteral("Базы данных Firebird (*.gdb *.fdb)");

// The chosen file (an absolute path), or "" on Cancel. Opens in startFolder.
QString AskStoreFile(QWidget *parent, const QString &startFolder);
// Where to start looking: the folder of the current local store when it is
// there, else startFolder.
QString StoreFileStartFolder(const QString &currentStore, const QString &startFolder);
