#pragma once
// Moving line lists to and from the system clipboard as plain text.

#include <QStringList>

// Splits a text into lines at CR, LF or CR LF; a final line break ends the
// last line rather than starting an empty one.
QStringList SplitLines(const QString &text);

int ListToClipboard(const QStringList *list);
int ListFromClipboard(QStringList *list, bool clearClipboard);
