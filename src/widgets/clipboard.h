#pragma once
// Moving line lists to and from the system clipboard as plain text.

#include <QStringList>

int ListToClipboard(const QStringList *list);
int ListFromClipboard(QStringList *list, bool clearClipboard);
